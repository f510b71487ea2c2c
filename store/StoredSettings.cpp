#include "store/StoredSettings.h"

#include "store/RegistryKey.h"

#include <algorithm>

const char* const CStoredSettings::DEFAULT_MESSAGE =
    "パソコン画面を長時間見つづけると、あなたの健康を損なうおそれがあります。\r\n"
    "姿勢を正し、目を画面から６０cm以上離して下さい。\r\n"
    "軽い運動も忘れずに．．．";

UINT CStoredSettings::ReminderPeriod(DWORD nIndex)
{
    static const UINT kPeriods[INTERVAL_NONE] = {
        10 * 60 * 1000, 30 * 60 * 1000, 60 * 60 * 1000, 2 * 60 * 60 * 1000, 3 * 60 * 60 * 1000,
    };
    return nIndex < INTERVAL_NONE ? kPeriods[nIndex] : 0;
}

DWORD CStoredSettings::ReadInterval()
{
    // Only a four-byte DWORD is an interval: a value of another type (a
    // string "5", a short binary) or of another length would read as some
    // other number.
    CRegistryKey key(KEY_PATH);
    DWORD dwType = REG_NONE;
    DWORD dwIndex = 0;
    DWORD cbIndex = sizeof dwIndex;
    if (!key.GetValueType("", VALUE_INTERVAL, &dwType) || dwType != REG_DWORD ||
        !key.ReadBinary("", VALUE_INTERVAL, reinterpret_cast<BYTE*>(&dwIndex), &cbIndex) || cbIndex != sizeof dwIndex)
        return 0;
    return dwIndex;
}

CString CStoredSettings::ReadMessage()
{
    // A text stored as anything but a string is not a message. ReadString
    // copes with a missing terminator.
    CRegistryKey key(KEY_PATH);
    DWORD dwType = REG_NONE;
    CString strMessage;
    if (!key.GetValueType("", VALUE_MESSAGE, &dwType) || dwType != REG_SZ ||
        !key.ReadString("", VALUE_MESSAGE, strMessage))
        return CString();
    return strMessage;
}

BOOL CStoredSettings::WriteInterval(DWORD dwIndex)
{
    return CRegistryKey(KEY_PATH).WriteDword("", VALUE_INTERVAL, dwIndex);
}

BOOL CStoredSettings::WriteMessage(const CString& strMessage)
{
    return CRegistryKey(KEY_PATH).WriteString("", VALUE_MESSAGE, strMessage);
}

BOOL CStoredSettings::DeleteAll()
{
    return CRegistryKey(PARENT_PATH).DeleteKey(KEY_NAME);
}

CString CStoredSettings::MessageToEdit(const CString& strMessage)
{
    return strMessage.IsEmpty() ? CString(DEFAULT_MESSAGE) : strMessage;
}

CString CStoredSettings::MessageToShow(const CString& strStored)
{
    const CString strMessage = MessageToEdit(strStored);
    // Whole characters only: a lead byte is never left without its trail,
    // neither by the cut nor by the end of the stored text.
    const int nLimit = std::min(strMessage.GetLength(), MAX_SHOWN_MESSAGE);
    LPCSTR psz = strMessage;
    int nEnd = 0;
    while (nEnd < nLimit)
    {
        const int nWidth = ::IsDBCSLeadByte(static_cast<BYTE>(psz[nEnd])) ? 2 : 1;
        if (nEnd + nWidth > nLimit)
            break;
        nEnd += nWidth;
    }
    return strMessage.Left(nEnd);
}
