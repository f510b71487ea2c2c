#include "store/Policies.h"

#include "diag/Log.h"
#include "store/RegistryKey.h"
#include "store/StoredSettings.h"

namespace
{
// Read in this order, each over the one before: the machine's wins.
const char* const kHives[] = {"HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\"};
const int kHiveCount = sizeof kHives / sizeof kHives[0];

const char* const kNames[] = {CPolicies::VALUE_INTERVAL, CPolicies::VALUE_MESSAGE, CPolicies::VALUE_DISABLE_PAUSE};

const DWORD kPauseDisabled = 1;

// A four-byte REG_DWORD no larger than dwMax; anything else of that name
// would read as some other number.
BOOL ReadSmallDword(CRegistryKey& key, LPCSTR pszName, DWORD dwMax, DWORD* pdw, BOOL* pbPresent)
{
    DWORD dwType = REG_NONE;
    *pbPresent = key.GetValueType("", pszName, &dwType);
    DWORD cb = sizeof *pdw;
    return *pbPresent && dwType == REG_DWORD && key.ReadBinary("", pszName, reinterpret_cast<BYTE*>(pdw), &cb) &&
           cb == sizeof *pdw && *pdw <= dwMax;
}
} // namespace

void CPolicies::Read()
{
    const UINT nLogged = m_nLogged;
    *this = CPolicies();
    m_nLogged = nLogged;
    for (int nHive = 0; nHive < kHiveCount; ++nHive)
        ReadHive(nHive);
}

void CPolicies::ReadHive(int nHive)
{
    CRegistryKey key(CString(kHives[nHive]) + KEY);
    BOOL bPresent = FALSE;
    DWORD dw = 0;
    const BOOL bInterval = ReadSmallDword(key, VALUE_INTERVAL, CStoredSettings::INTERVAL_NONE, &dw, &bPresent);
    Note(nHive, POLICY_INTERVAL, bInterval ? READ_GOOD : bPresent ? READ_BAD : READ_ABSENT);
    if (bInterval)
    {
        m_bInterval = TRUE;
        m_dwInterval = dw;
    }

    DWORD dwType = REG_NONE;
    CString strMessage;
    bPresent = key.GetValueType("", VALUE_MESSAGE, &dwType);
    const BOOL bMessage = bPresent && dwType == REG_SZ && key.ReadString("", VALUE_MESSAGE, strMessage);
    Note(nHive, POLICY_MESSAGE, bMessage ? READ_GOOD : bPresent ? READ_BAD : READ_ABSENT);
    if (bMessage)
    {
        m_bMessage = TRUE;
        m_strMessage = strMessage;
    }

    const BOOL bNoPause = ReadSmallDword(key, VALUE_DISABLE_PAUSE, kPauseDisabled, &dw, &bPresent);
    Note(nHive, POLICY_DISABLE_PAUSE, bNoPause ? READ_GOOD : bPresent ? READ_BAD : READ_ABSENT);
    if (bNoPause)
        m_bNoPause = dw == kPauseDisabled;
}

void CPolicies::Note(int nHive, Value value, Reading reading)
{
    const UINT nBit = 1u << (nHive * POLICY_COUNT + value);
    if (reading != READ_BAD)
    {
        m_nLogged &= ~nBit;
        return;
    }
    if (m_nLogged & nBit)
        return;
    m_nLogged |= nBit;
    WriteLog("POLICY VALUE IGNORED: %s%s\\%s\n", kHives[nHive], KEY, kNames[value]);
}

CString CPolicies::SetNames() const
{
    const BOOL bSet[POLICY_COUNT] = {m_bInterval, m_bMessage, m_bNoPause};
    CString strNames;
    for (int i = 0; i < POLICY_COUNT; ++i)
    {
        if (!bSet[i])
            continue;
        if (!strNames.IsEmpty())
            strNames += ',';
        strNames += kNames[i];
    }
    return strNames;
}

DWORD CPolicies::Interval() const
{
    return m_bInterval ? m_dwInterval : CStoredSettings::ReadInterval();
}

CString CPolicies::Message() const
{
    return m_bMessage ? m_strMessage : CStoredSettings::ReadMessage();
}

CString CPolicies::MessageToEdit() const
{
    return CStoredSettings::MessageToEdit(Message());
}

CString CPolicies::MessageToShow() const
{
    return CStoredSettings::MessageToShow(Message());
}
