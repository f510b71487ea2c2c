// CRegistryKey: the 32-bit and 16-bit number families, all stored as REG_DWORD.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"
#include "store/NameCheck.h"

namespace
{
// Stores four bytes as REG_DWORD.
BOOL SetNumber(HKEY hKey, const CString& strName, DWORD dwValue)
{
    if (HasZeroByte(strName))
        return FALSE;
    return ::RegSetValueExA(hKey, strName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                            sizeof dwValue) == ERROR_SUCCESS;
}

// Whatever type is stored, up to four bytes are taken and widened with
// zeros; a longer value fails. The caller's variable is written only on
// success, so a failed read never leaves part of a value behind.
BOOL QueryNumber(HKEY hKey, const CString& strName, DWORD* pdwValue)
{
    if (!pdwValue || HasZeroByte(strName))
        return FALSE;
    DWORD dwType = REG_DWORD;
    DWORD dwRead = 0;
    DWORD cbRead = sizeof dwRead;
    if (::RegQueryValueExA(hKey, strName, NULL, &dwType, reinterpret_cast<BYTE*>(&dwRead), &cbRead) !=
        ERROR_SUCCESS)
        return FALSE;
    *pdwValue = dwRead;
    return TRUE;
}
} // namespace

BOOL CRegistryKey::WriteDword(HKEY hRoot, CString strSubKey, CString strName, DWORD dwValue)
{
    CKeyHandle key;
    if (!key.Create(hRoot, strSubKey, ACCESS_WRITE))
        return FALSE;
    return WriteDword(key.Get(), strName, dwValue);
}

BOOL CRegistryKey::WriteDword(HKEY hKey, CString strName, DWORD dwValue)
{
    return SetNumber(hKey, strName, dwValue);
}

BOOL CRegistryKey::WriteDword(CString strRelPath, CString strName, DWORD dwValue)
{
    CKeyHandle key;
    if (!OpenRelativeForWrite(strRelPath, key))
        return FALSE;
    return WriteDword(key.Get(), strName, dwValue);
}

BOOL CRegistryKey::ReadDword(HKEY hRoot, CString strSubKey, CString strName, DWORD* pdwValue)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return ReadDword(key.Get(), strName, pdwValue);
}

BOOL CRegistryKey::ReadDword(HKEY hKey, CString strName, DWORD* pdwValue)
{
    return QueryNumber(hKey, strName, pdwValue);
}

BOOL CRegistryKey::ReadDword(CString strRelPath, CString strName, DWORD* pdwValue)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return ReadDword(hRoot, strSubKey, strName, pdwValue);
}

BOOL CRegistryKey::DeleteDword(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteValue(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteDword(HKEY hKey, CString strName)
{
    return DeleteValue(hKey, strName);
}

BOOL CRegistryKey::DeleteDword(CString strRelPath, CString strName)
{
    return DeleteValue(strRelPath, strName);
}

// The Int family, like the Long one below, is the DWORD family under a
// signed type: every form calls the DWORD form of the same arguments.
BOOL CRegistryKey::WriteInt(HKEY hRoot, CString strSubKey, CString strName, int nValue)
{
    return WriteDword(hRoot, strSubKey, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::WriteInt(HKEY hKey, CString strName, int nValue)
{
    return WriteDword(hKey, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::WriteInt(CString strRelPath, CString strName, int nValue)
{
    return WriteDword(strRelPath, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::ReadInt(HKEY hRoot, CString strSubKey, CString strName, int* pnValue)
{
    return ReadDword(hRoot, strSubKey, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::ReadInt(HKEY hKey, CString strName, int* pnValue)
{
    return ReadDword(hKey, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::ReadInt(CString strRelPath, CString strName, int* pnValue)
{
    return ReadDword(strRelPath, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::DeleteInt(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteDword(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteInt(HKEY hKey, CString strName)
{
    return DeleteDword(hKey, strName);
}

BOOL CRegistryKey::DeleteInt(CString strRelPath, CString strName)
{
    return DeleteDword(strRelPath, strName);
}

// The Word family stores a WORD as a DWORD and reads back the low 16 bits
// of whatever DWORD the value holds.
BOOL CRegistryKey::WriteWord(HKEY hRoot, CString strSubKey, CString strName, WORD wValue)
{
    return WriteDword(hRoot, strSubKey, strName, wValue);
}

BOOL CRegistryKey::WriteWord(HKEY hKey, CString strName, WORD wValue)
{
    return WriteDword(hKey, strName, wValue);
}

BOOL CRegistryKey::WriteWord(CString strRelPath, CString strName, WORD wValue)
{
    return WriteDword(strRelPath, strName, wValue);
}

namespace
{
// Runs a DWORD read and keeps its low 16 bits in *pwValue; *pwValue is
// untouched when the read fails.
template <typename Read>
BOOL ReadLowWord(WORD* pwValue, Read read)
{
    DWORD dwValue = 0;
    if (!pwValue || !read(&dwValue))
        return FALSE;
    *pwValue = LOWORD(dwValue);
    return TRUE;
}
} // namespace

BOOL CRegistryKey::ReadWord(HKEY hRoot, CString strSubKey, CString strName, WORD* pwValue)
{
    return ReadLowWord(pwValue, [&](DWORD* pdw) { return ReadDword(hRoot, strSubKey, strName, pdw); });
}

BOOL CRegistryKey::ReadWord(HKEY hKey, CString strName, WORD* pwValue)
{
    return ReadLowWord(pwValue, [&](DWORD* pdw) { return ReadDword(hKey, strName, pdw); });
}

BOOL CRegistryKey::ReadWord(CString strRelPath, CString strName, WORD* pwValue)
{
    return ReadLowWord(pwValue, [&](DWORD* pdw) { return ReadDword(strRelPath, strName, pdw); });
}

BOOL CRegistryKey::DeleteWord(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteDword(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteWord(HKEY hKey, CString strName)
{
    return DeleteDword(hKey, strName);
}

BOOL CRegistryKey::DeleteWord(CString strRelPath, CString strName)
{
    return DeleteDword(strRelPath, strName);
}

// The Long family: as the Int family.
BOOL CRegistryKey::WriteLong(HKEY hRoot, CString strSubKey, CString strName, LONG nValue)
{
    return WriteDword(hRoot, strSubKey, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::WriteLong(HKEY hKey, CString strName, LONG nValue)
{
    return WriteDword(hKey, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::WriteLong(CString strRelPath, CString strName, LONG nValue)
{
    return WriteDword(strRelPath, strName, static_cast<DWORD>(nValue));
}

BOOL CRegistryKey::ReadLong(HKEY hRoot, CString strSubKey, CString strName, LONG* pnValue)
{
    return ReadDword(hRoot, strSubKey, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::ReadLong(HKEY hKey, CString strName, LONG* pnValue)
{
    return ReadDword(hKey, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::ReadLong(CString strRelPath, CString strName, LONG* pnValue)
{
    return ReadDword(strRelPath, strName, reinterpret_cast<DWORD*>(pnValue));
}

BOOL CRegistryKey::DeleteLong(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteDword(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteLong(HKEY hKey, CString strName)
{
    return DeleteDword(hKey, strName);
}

BOOL CRegistryKey::DeleteLong(CString strRelPath, CString strName)
{
    return DeleteDword(strRelPath, strName);
}
