// CRegistryKey: paths, their roots, and creating keys.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"
#include "store/NameCheck.h"

#include <cstring>

namespace
{
struct RootName
{
    LPCSTR pszName;
    HKEY hKey;
};

bool IsPathSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool IsBackslash(char ch)
{
    return ch == '\\';
}

// Removes the single-byte characters that pfnTrim picks from both ends; a
// double-byte character is never removed, and nothing behind it is taken
// for a trimmable byte (a Shift-JIS trail byte can be a backslash).
void TrimEnds(CString& str, bool (*pfnTrim)(char))
{
    LPCSTR p = str;
    const int n = str.GetLength();
    int nFirst = 0;
    while (nFirst < n && !CString::IsLeadByteAt(p, n, nFirst) && pfnTrim(p[nFirst]))
        ++nFirst;
    int nEnd = nFirst;
    for (int i = nFirst; i < n;)
    {
        const int nWidth = CString::IsLeadByteAt(p, n, i) ? 2 : 1;
        if (nWidth == 2 || !pfnTrim(p[i]))
            nEnd = i + nWidth;
        i += nWidth;
    }
    str = str.Mid(nFirst, nEnd - nFirst);
}

// The root a normalised path begins with, compared without regard to case,
// and where its subkey starts: the character after the root name (normally
// the backslash) is stepped over unexamined, a double-byte one whole.
bool FindRoot(const CString& strPath, HKEY& hRoot, int& nSubKeyStart)
{
    const RootName kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
    };
    for (const RootName& root : kRoots)
    {
        const int nName = static_cast<int>(std::strlen(root.pszName));
        if (strPath.Left(nName).CompareNoCase(root.pszName) != 0)
            continue;
        hRoot = root.hKey;
        const bool bDoubleByte = CString::IsLeadByteAt(strPath, strPath.GetLength(), nName);
        nSubKeyStart = nName + (bDoubleByte ? 2 : 1);
        return true;
    }
    return false;
}
} // namespace

CRegistryKey::CRegistryKey(CString strPath) : m_bValid(FALSE), m_hRoot(NULL)
{
    CRegistryKey::SetPath(strPath);
}

BOOL CRegistryKey::SetPath(CString strPath)
{
    m_strPath = NormalizePath(strPath);
    // ParsePath clears the members it parses into before it could fall back
    // on m_hRoot, so a path without a root name is refused here.
    if (ParsePath(m_strPath, m_hRoot, m_strSubKey))
    {
        m_bValid = TRUE;
        return TRUE;
    }
    m_bValid = FALSE;
    m_strPath.Empty();
    m_strSubKey.Empty();
    m_hRoot = NULL;
    return FALSE;
}

CString CRegistryKey::GetPath() const
{
    return m_strPath;
}

CString& CRegistryKey::NormalizePath(CString& strPath)
{
    TrimEnds(strPath, IsPathSpace);
    if (strPath.IsEmpty())
        return strPath;
    TrimEnds(strPath, IsBackslash);
    return strPath;
}

BOOL CRegistryKey::ParsePath(CString strPath, HKEY& hRoot, CString& strSubKey)
{
    hRoot = NULL;
    strSubKey.Empty();
    NormalizePath(strPath);
    if (strPath.IsEmpty() || HasZeroByte(strPath))
        return FALSE;
    HKEY hNamed = NULL;
    int nStart = 0;
    if (FindRoot(strPath, hNamed, nStart))
    {
        hRoot = hNamed;
        if (strPath.GetLength() > nStart)
            strSubKey = strPath.Mid(nStart, strPath.GetLength() - nStart);
        return TRUE;
    }
    if (!m_hRoot)
        return FALSE;
    hRoot = m_hRoot;
    strSubKey = strPath;
    return TRUE;
}

BOOL CRegistryKey::ResolvePath(CString strRelPath, HKEY& hRoot, CString& strSubKey)
{
    if (!m_bValid || HasZeroByte(strRelPath))
        return FALSE;
    NormalizePath(strRelPath);
    if (strRelPath.IsEmpty())
    {
        hRoot = m_hRoot;
        strSubKey = m_strSubKey;
        return TRUE;
    }
    // A root name inside a relative path would put the object's subkey under
    // another root; nobody means that.
    HKEY hNamed = NULL;
    int nStart = 0;
    if (FindRoot(strRelPath, hNamed, nStart))
        return FALSE;
    HKEY hFound = NULL;
    CString strFound;
    if (!ParsePath(strRelPath, hFound, strFound) || !hFound)
        return FALSE;
    if (!m_strSubKey.IsEmpty())
    {
        CString strJoined;
        strJoined.Format("%s\\%s", m_strSubKey.GetString(), strFound.GetString());
        strFound = strJoined;
    }
    hRoot = hFound;
    strSubKey = strFound;
    return TRUE;
}

BOOL CRegistryKey::OpenRelativeForWrite(CString strRelPath, CKeyHandle& key)
{
    HKEY hRoot = NULL;
    CString strSubKey;
    if (!ResolvePath(strRelPath, hRoot, strSubKey))
        return FALSE;
    CKeyHandle root;
    if (!root.Open(hRoot, "", ACCESS_MODIFY))
        return FALSE;
    return key.Create(root.Get(), strSubKey, ACCESS_WRITE);
}

BOOL CRegistryKey::CreateKey(HKEY hParent, CString strSubKey)
{
    CKeyHandle key;
    return key.Create(hParent, strSubKey, ACCESS_WRITE);
}

BOOL CRegistryKey::CreateKey(CString strRelPath)
{
    CKeyHandle key;
    return OpenRelativeForWrite(strRelPath, key);
}

BOOL CRegistryKey::ReservedA(DWORD, CString, DWORD)
{
    return TRUE;
}

BOOL CRegistryKey::ReservedB(DWORD, CString, DWORD)
{
    return TRUE;
}

BOOL CRegistryKey::ReservedC(DWORD, CString, DWORD, DWORD)
{
    return TRUE;
}
