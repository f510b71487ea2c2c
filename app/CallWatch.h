#ifndef GLIMWICK_APP_CALLWATCH_H
#define GLIMWICK_APP_CALLWATCH_H

#include "store/KeyHandle.h"

#include <windows.h>

#include <string>

// Whether an app uses the camera or the microphone, as Windows records it
// in the consent store: below the device's key, one key per app (desktop
// programs one level lower, under "NonPackaged") with the QWORD values
// "LastUsedTimeStart" and "LastUsedTimeStop"; while the device is in use
// the stop time is 0 and the start time is not. The device keys are
// watched for changes, so a look costs nothing while nothing changes.
class CCallWatch
{
public:
    static constexpr LPCSTR CONSENT_STORE =
        "Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore";
    static constexpr int DEVICE_COUNT = 2;

    // Watches the devices' keys below pszStore in hRoot.
    explicit CCallWatch(HKEY hRoot = HKEY_CURRENT_USER, LPCSTR pszStore = CONSENT_STORE);
    ~CCallWatch();
    CCallWatch(const CCallWatch&) = delete;
    CCallWatch& operator=(const CCallWatch&) = delete;

    // TRUE while any app uses either device; the keys are read again only
    // after they changed (or while one of them is missing).
    BOOL InCall();

    // Whether any app below the device key hDevice uses the device.
    static BOOL DeviceInUse(HKEY hDevice);
    // Whether the app key hApp says the device is in use now; missing
    // values, or values of another type or size, say it is not.
    static BOOL AppUsesDevice(HKEY hApp);

private:
    struct Device
    {
        CKeyHandle key;
        HANDLE hChanged;
        BOOL bInUse;
    };

    // Opens the device's key if need be, asks to hear of its next change
    // and reads it.
    void Refresh(int nDevice);

    HKEY m_hRoot;
    std::string m_strStore;
    Device m_devices[DEVICE_COUNT] = {};
};

#endif
