#include "store/StoredSettings.h"

#include <vector>

const char* const CStoredSettings::DEFAULT_MESSAGE =
    "パソコン画面を長時間見つづけると、あなたの健康を損なうおそれがあります。\r\n"
    "姿勢を正し、目を画面から６０cm以上離して下さい。\r\n"
    "軽い運動も忘れずに．．．";

namespace
{
const char kSubkey[] = "Software\\MOSS-HARK\\Glimwick";
}

UINT CStoredSettings::ReminderPeriod(DWORD nIndex)
{
    static const UINT kPeriods[INTERVAL_NONE] = {
        10 * 60 * 1000, 30 * 60 * 1000, 60 * 60 * 1000, 2 * 60 * 60 * 1000, 3 * 60 * 60 * 1000,
    };
    return nIndex < INTERVAL_NONE ? kPeriods[nIndex] : 0;
}

DWORD CStoredSettings::ReadInterval()
{
    DWORD dwType = 0;
    DWORD dwValue = 0;
    DWORD cbValue = sizeof dwValue;
    if (::RegGetValueA(HKEY_CURRENT_USER, kSubkey, VALUE_INTERVAL, RRF_RT_ANY, &dwType, &dwValue, &cbValue) !=
            ERROR_SUCCESS ||
        dwType != REG_DWORD || cbValue != sizeof dwValue)
        return 0;
    return dwValue;
}

CString CStoredSettings::ReadMessage()
{
    DWORD dwType = 0;
    DWORD cbValue = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, kSubkey, VALUE_MESSAGE, RRF_RT_REG_SZ, &dwType, NULL, &cbValue) !=
            ERROR_SUCCESS ||
        cbValue == 0)
        return CString();
    std::vector<char> buf(cbValue + 1, '\0');
    if (::RegGetValueA(HKEY_CURRENT_USER, kSubkey, VALUE_MESSAGE, RRF_RT_REG_SZ, &dwType, buf.data(), &cbValue) !=
        ERROR_SUCCESS)
        return CString();
    return CString(buf.data());
}

CString CStoredSettings::MessageToShow()
{
    CString strMessage = ReadMessage();
    if (strMessage.IsEmpty())
        strMessage = DEFAULT_MESSAGE;
    return strMessage;
}
