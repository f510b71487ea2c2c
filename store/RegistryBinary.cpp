// CRegistryKey: raw byte values (REG_BINARY), from pointers or CBinary buffers.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"
#include "store/NameCheck.h"

#include <climits>

BOOL CRegistryKey::WriteBinary(HKEY hRoot, CString strSubKey, CString strName, const BYTE* pData, DWORD cbData)
{
    CKeyHandle key;
    if (!key.Create(hRoot, strSubKey, ACCESS_WRITE))
        return FALSE;
    return WriteBinary(key.Get(), strName, pData, cbData);
}

BOOL CRegistryKey::WriteBinary(HKEY hKey, CString strName, const BYTE* pData, DWORD cbData)
{
    if (!pData || HasZeroByte(strName))
        return FALSE;
    return ::RegSetValueExA(hKey, strName, 0, REG_BINARY, pData, cbData) == ERROR_SUCCESS;
}

BOOL CRegistryKey::WriteBinary(HKEY hRoot, CString strSubKey, CString strName, const CBinary& data)
{
    CKeyHandle key;
    if (!key.Create(hRoot, strSubKey, ACCESS_WRITE))
        return FALSE;
    return WriteBinary(key.Get(), strName, data);
}

BOOL CRegistryKey::WriteBinary(HKEY hKey, CString strName, const CBinary& data)
{
    return WriteBinary(hKey, strName, data.GetData(), static_cast<DWORD>(data.GetLength()));
}

BOOL CRegistryKey::WriteBinary(CString strRelPath, CString strName, const BYTE* pData, DWORD cbData)
{
    CKeyHandle key;
    if (!OpenRelativeForWrite(strRelPath, key))
        return FALSE;
    return WriteBinary(key.Get(), strName, pData, cbData);
}

BOOL CRegistryKey::WriteBinary(CString strRelPath, CString strName, const CBinary& data)
{
    CKeyHandle key;
    if (!OpenRelativeForWrite(strRelPath, key))
        return FALSE;
    return WriteBinary(key.Get(), strName, data);
}

BOOL CRegistryKey::ReadBinary(HKEY hRoot, CString strSubKey, CString strName, BYTE* pBuffer, DWORD* pcbData)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return ReadBinary(key.Get(), strName, pBuffer, pcbData);
}

BOOL CRegistryKey::ReadBinary(HKEY hKey, CString strName, BYTE* pBuffer, DWORD* pcbData)
{
    if (!pBuffer || !pcbData || HasZeroByte(strName))
        return FALSE;
    return ::RegQueryValueExA(hKey, strName, NULL, NULL, pBuffer, pcbData) == ERROR_SUCCESS;
}

BOOL CRegistryKey::ReadBinary(HKEY hRoot, CString strSubKey, CString strName, CBinary* pData)
{
    if (!pData || pData->IsLocked())
        return FALSE;
    pData->Empty();
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return ReadBinary(key.Get(), strName, pData);
}

BOOL CRegistryKey::ReadBinary(HKEY hKey, CString strName, CBinary* pData)
{
    if (!pData || pData->IsLocked())
        return FALSE;
    pData->Empty();
    if (HasZeroByte(strName))
        return FALSE;
    DWORD cbSize = 0;
    if (::RegQueryValueExA(hKey, strName, NULL, NULL, NULL, &cbSize) != ERROR_SUCCESS)
        return FALSE;
    if (cbSize == 0)
        return TRUE;
    // The query must never be given more room than the buffer really has
    // (a locked buffer cannot be resized).
    const int nSize = cbSize > INT_MAX ? -1 : static_cast<int>(cbSize);
    if (nSize < 0 || !pData->Resize(nSize) || pData->GetLength() != nSize)
    {
        pData->Empty();
        return FALSE;
    }
    DWORD cbRead = cbSize;
    if (::RegQueryValueExA(hKey, strName, NULL, NULL, pData->GetData(), &cbRead) != ERROR_SUCCESS)
    {
        pData->Empty();
        return FALSE;
    }
    // The value may have shrunk since its size was asked.
    if (cbRead < cbSize)
        pData->Resize(static_cast<int>(cbRead));
    return TRUE;
}

BOOL CRegistryKey::ReadBinary(CString strRelPath, CString strName, BYTE* pBuffer, DWORD* pcbData)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return ReadBinary(hRoot, strSubKey, strName, pBuffer, pcbData);
}

BOOL CRegistryKey::ReadBinary(CString strRelPath, CString strName, CBinary* pData)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    return ReadBinary(hRoot, strSubKey, strName, pData);
}

BOOL CRegistryKey::DeleteBinary(HKEY hRoot, CString strSubKey, CString strName)
{
    return DeleteValue(hRoot, strSubKey, strName);
}

BOOL CRegistryKey::DeleteBinary(HKEY hKey, CString strName)
{
    return DeleteValue(hKey, strName);
}

BOOL CRegistryKey::DeleteBinary(CString strRelPath, CString strName)
{
    return DeleteValue(strRelPath, strName);
}
