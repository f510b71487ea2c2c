// CRegistryKey: deleting whole key trees, with the guard against system keys.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"
#include "store/NameCheck.h"

namespace
{
// Subkeys the guarded deletion never touches, under any root, each compared
// with the whole resolved subkey without regard to case.
constexpr LPCSTR PROTECTED_SUBKEYS[] = {
    "AppEvent", "Control Panel", "EUDC", "Software", "Hardware",
    "CLSID",    "Network",       "System", "Security", ".Default",
};

bool IsProtected(const CString& strSubKey)
{
    if (strSubKey.IsEmpty() || strSubKey == "\\")
        return true;
    for (LPCSTR pszProtected : PROTECTED_SUBKEYS)
    {
        if (strSubKey.CompareNoCase(pszProtected) == 0)
            return true;
    }
    return false;
}

// Whether some component of the path is longer than a key name may be, so
// that the path can only name a value. Two-byte aware: a trail byte may
// have the backslash's code.
bool CannotNameKey(LPCSTR pszPath)
{
    const int nBytes = static_cast<int>(std::strlen(pszPath));
    int nChars = 0;
    for (int i = 0; i < nBytes;)
    {
        if (CString::IsLeadByteAt(pszPath, nBytes, i))
        {
            i += 2;
            ++nChars;
            continue;
        }
        nChars = pszPath[i] == '\\' ? 0 : nChars + 1;
        if (nChars > CRegistryKey::MAX_KEY_NAME_CHARS)
            return true;
        ++i;
    }
    return nChars > CRegistryKey::MAX_KEY_NAME_CHARS;
}
} // namespace

BOOL CRegistryKey::DeleteTree(HKEY hKey, LPCSTR pszSubKey)
{
    if (!pszSubKey)
        return FALSE;
    // Each pass re-opens the key and takes the subkey at index 0, so the
    // order never depends on how the registry renumbers what is left, and
    // keys added meanwhile are found by the next pass.
    for (;;)
    {
        // A symbolic link is opened as itself: it has no subkeys, so it is
        // deleted without a look at its target, which lies outside the tree.
        CKeyHandle key;
        const LONG lOpened = key.OpenResult(hKey, pszSubKey, ACCESS_DELETE, REG_OPTION_OPEN_LINK);
        // Only a name that is no key may name a value: a key that refuses
        // access stays, and so does any value beside it.
        if (lOpened == ERROR_FILE_NOT_FOUND || (lOpened != ERROR_SUCCESS && CannotNameKey(pszSubKey)))
            return DeleteValuePath(hKey, pszSubKey);
        if (lOpened != ERROR_SUCCESS)
            return FALSE;
        char szName[MAX_KEY_NAME_BYTES] = {};
        const bool bHasSubKey = ::RegEnumKeyA(key.Get(), 0, szName, sizeof szName) == ERROR_SUCCESS;
        if (bHasSubKey && !DeleteTree(key.Get(), szName))
            return FALSE;
        // By the handle: a deletion by name would follow a link.
        const bool bDeleted = !bHasSubKey && ::RegDeleteKeyA(key.Get(), "") == ERROR_SUCCESS;
        key.Close();
        ::Sleep(DELETE_PASS_PAUSE);
        if (!bHasSubKey)
            return bDeleted;
    }
}

BOOL CRegistryKey::DeleteValuePath(HKEY hKey, const CString& strPath)
{
    // Two-byte aware: the trail byte of a character such as 表 is 0x5C.
    const int nLast = strPath.ReverseFind('\\');
    if (nLast < 0)
        return ::RegDeleteValueA(hKey, strPath) == ERROR_SUCCESS;
    // The key part may be longer than one key name: it is a path of its own.
    const CString strKeyPart = strPath.Left(nLast);
    const CString strValue = strPath.Mid(nLast + 1, strPath.GetLength() - nLast - 1);
    CKeyHandle key;
    if (!key.Open(hKey, strKeyPart, ACCESS_MODIFY))
        return FALSE;
    return ::RegDeleteValueA(key.Get(), strValue) == ERROR_SUCCESS;
}

BOOL CRegistryKey::DeleteKey(HKEY hKey, CString strSubKey)
{
    if (HasZeroByte(strSubKey))
        return FALSE;
    return DeleteTree(hKey, strSubKey);
}

BOOL CRegistryKey::DeleteKey(CString strRelPath)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    if (IsProtected(strSubKey))
        return FALSE;
    CKeyHandle root;
    if (!root.Open(hRoot, "", ACCESS_MODIFY))
        return FALSE;
    return DeleteTree(root.Get(), strSubKey);
}
