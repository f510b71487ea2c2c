// CRegistryKey: deleting values, strings, value types and existence.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"
#include "store/NameCheck.h"

#include <algorithm>
#include <memory>
#include <new>

namespace
{
// Attempts at ReadString when the value grows between its two queries.
constexpr int STRING_READ_TRIES = 3;

// The text of stored bytes: everything up to the first zero byte.
CString TextOfBytes(const char* pBytes, DWORD cbBytes)
{
    DWORD nLength = 0;
    while (nLength < cbBytes && pBytes[nLength] != '\0')
        ++nLength;
    return CString(pBytes, static_cast<int>(nLength));
}
} // namespace

BOOL CRegistryKey::DeleteValue(HKEY hRoot, CString strSubKey, CString strName)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_MODIFY))
        return FALSE;
    return DeleteValue(key.Get(), strName);
}

BOOL CRegistryKey::DeleteValue(HKEY hKey, CString strName)
{
    if (HasZeroByte(strName))
        return FALSE;
    return ::RegDeleteValueA(hKey, strName) == ERROR_SUCCESS;
}

BOOL CRegistryKey::DeleteValue(CString strRelPath, CString strName)
{
    CKeyHandle key;
    if (!OpenRelativeForWrite(strRelPath, key))
        return FALSE;
    return DeleteValue(key.Get(), strName);
}

BOOL CRegistryKey::WriteString(HKEY hRoot, CString strSubKey, CString strName, CString strValue)
{
    CKeyHandle key;
    if (!key.Create(hRoot, strSubKey, ACCESS_WRITE))
        return FALSE;
    return WriteString(key.Get(), strName, strValue);
}

BOOL CRegistryKey::WriteString(HKEY hKey, CString strName, CString strValue)
{
    if (HasZeroByte(strName))
        return FALSE;
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(strValue.GetString());
    const DWORD cbBytes = static_cast<DWORD>(strValue.GetLength()) + 1;
    return ::RegSetValueExA(hKey, strName, 0, REG_SZ, pBytes, cbBytes) == ERROR_SUCCESS;
}

BOOL CRegistryKey::WriteString(CString strRelPath, CString strName, CString strValue)
{
    CKeyHandle key;
    if (!OpenRelativeForWrite(strRelPath, key))
        return FALSE;
    return WriteString(key.Get(), strName, strValue);
}

BOOL CRegistryKey::ReadString(HKEY hRoot, CString strSubKey, CString strName, CString& strValue)
{
    strValue.Empty();
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return ReadString(key.Get(), strName, strValue);
}

BOOL CRegistryKey::ReadString(HKEY hKey, CString strName, CString& strValue)
{
    strValue.Empty();
    if (HasZeroByte(strName))
        return FALSE;
    for (int nTry = 0; nTry < STRING_READ_TRIES; ++nTry)
    {
        DWORD cbSize = 0;
        if (::RegQueryValueExA(hKey, strName, NULL, NULL, NULL, &cbSize) != ERROR_SUCCESS)
            return FALSE;
        if (cbSize == MAXDWORD)
            return FALSE;
        // One more zero byte than asked for: the text ends inside the buffer
        // even when the stored data has no terminator.
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[cbSize + 1]());
        if (!buffer)
            return FALSE;
        DWORD cbRead = cbSize;
        const LONG lResult =
            ::RegQueryValueExA(hKey, strName, NULL, NULL, reinterpret_cast<BYTE*>(buffer.get()), &cbRead);
        if (lResult == ERROR_MORE_DATA)
            continue;
        if (lResult != ERROR_SUCCESS)
            return FALSE;
        strValue = TextOfBytes(buffer.get(), std::min(cbRead, cbSize));
        return TRUE;
    }
    return FALSE;
}

BOOL CRegistryKey::ReadString(CString strRelPath, CString strName, CString& strValue)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return ReadString(hRoot, strSubKey, strName, strValue);
}

BOOL CRegistryKey::DeleteString(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteValue(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteString(HKEY hKey, CString strName)
{
    return DeleteValue(hKey, strName);
}

BOOL CRegistryKey::DeleteString(CString strRelPath, CString strName)
{
    return DeleteValue(strRelPath, strName);
}

BOOL CRegistryKey::GetValueType(HKEY hRoot, CString strSubKey, CString strName, DWORD* pdwType)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return GetValueType(key.Get(), strName, pdwType);
}

BOOL CRegistryKey::GetValueType(HKEY hKey, CString strName, DWORD* pdwType)
{
    if (HasZeroByte(strName))
        return FALSE;
    DWORD cbData = sizeof(DWORD);
    return ::RegQueryValueExA(hKey, strName, NULL, pdwType, NULL, &cbData) == ERROR_SUCCESS;
}

BOOL CRegistryKey::GetValueType(CString strRelPath, CString strName, DWORD* pdwType)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return GetValueType(hRoot, strSubKey, strName, pdwType);
}

BOOL CRegistryKey::ValueExists(HKEY hRoot, CString strSubKey, CString strName)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    if (strName.IsEmpty())
        return TRUE;
    return ValueExists(key.Get(), strName);
}

BOOL CRegistryKey::ValueExists(HKEY hKey, CString strName)
{
    DWORD dwType = 0;
    return GetValueType(hKey, strName, &dwType);
}

BOOL CRegistryKey::ValueExists(CString strRelPath, CString strName)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return ValueExists(hRoot, strSubKey, strName);
}
