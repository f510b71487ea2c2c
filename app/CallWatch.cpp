#include "app/CallWatch.h"

namespace
{
const char* const kDeviceKeys[CCallWatch::DEVICE_COUNT] = {"webcam", "microphone"};
const char kDesktopApps[] = "NonPackaged";
const char kStartValue[] = "LastUsedTimeStart";
const char kStopValue[] = "LastUsedTimeStop";
// Any change of a value or a key anywhere below the device's key.
const DWORD kChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// Longer than any key name the registry allows, with its terminator.
const DWORD kMaxKeyName = 256;

// A QWORD value; FALSE when it is missing or of another type or size.
BOOL ReadTime(HKEY hKey, LPCSTR pszName, ULONGLONG* pnTime)
{
    DWORD dwType = 0;
    DWORD cb = sizeof *pnTime;
    return ::RegQueryValueExA(hKey, pszName, NULL, &dwType, reinterpret_cast<BYTE*>(pnTime), &cb) ==
               ERROR_SUCCESS &&
           dwType == REG_QWORD && cb == sizeof *pnTime;
}

// Whether fnUses holds for any subkey of hParent.
template <typename Fn> BOOL AnySubkey(HKEY hParent, Fn fnUses)
{
    char szName[kMaxKeyName];
    for (DWORD i = 0;; ++i)
    {
        DWORD cchName = kMaxKeyName;
        const LONG lResult = ::RegEnumKeyExA(hParent, i, szName, &cchName, NULL, NULL, NULL, NULL);
        if (lResult != ERROR_SUCCESS)
            return FALSE;
        CKeyHandle sub;
        if (sub.Open(hParent, szName, KEY_READ) && fnUses(sub.Get(), szName))
            return TRUE;
    }
}
} // namespace

CCallWatch::CCallWatch(HKEY hRoot, LPCSTR pszStore) : m_hRoot(hRoot), m_strStore(pszStore)
{
    for (Device& device : m_devices)
        device.hChanged = ::CreateEventA(NULL, FALSE, FALSE, NULL);
}

CCallWatch::~CCallWatch()
{
    for (Device& device : m_devices)
    {
        // The key goes first, which ends the registry's hold on the event.
        device.key.Close();
        if (device.hChanged)
            ::CloseHandle(device.hChanged);
    }
}

BOOL CCallWatch::InCall()
{
    BOOL bInUse = FALSE;
    for (int i = 0; i < DEVICE_COUNT; ++i)
    {
        Device& device = m_devices[i];
        if (!device.key.Get() || !device.hChanged || ::WaitForSingleObject(device.hChanged, 0) == WAIT_OBJECT_0)
            Refresh(i);
        bInUse = bInUse || device.bInUse;
    }
    return bInUse;
}

void CCallWatch::Refresh(int nDevice)
{
    Device& device = m_devices[nDevice];
    device.bInUse = FALSE;
    const std::string strPath = m_strStore + "\\" + kDeviceKeys[nDevice];
    // A key that went is opened afresh; one never made is looked for again
    // at the next look.
    if (!device.key.Open(m_hRoot, strPath.c_str(), KEY_READ | KEY_NOTIFY))
        return;
    // Asked before reading, so a change while reading is not missed.
    const BOOL bWatched = device.hChanged && ::RegNotifyChangeKeyValue(device.key.Get(), TRUE, kChanges,
                                                                         device.hChanged, TRUE) == ERROR_SUCCESS;
    device.bInUse = DeviceInUse(device.key.Get());
    // Unwatched, it is read at every look.
    if (!bWatched)
        device.key.Close();
}

BOOL CCallWatch::DeviceInUse(HKEY hDevice)
{
    // Apps from the store have their key here; desktop programs one lower.
    return AnySubkey(hDevice, [](HKEY hApp, LPCSTR pszName) {
        if (::lstrcmpiA(pszName, kDesktopApps) == 0)
            return AnySubkey(hApp, [](HKEY hProgram, LPCSTR) { return AppUsesDevice(hProgram); });
        return AppUsesDevice(hApp);
    });
}

BOOL CCallWatch::AppUsesDevice(HKEY hApp)
{
    ULONGLONG nStart = 0;
    ULONGLONG nStop = 0;
    return ReadTime(hApp, kStartValue, &nStart) && ReadTime(hApp, kStopValue, &nStop) && nStart != 0 &&
           nStop == 0;
}
