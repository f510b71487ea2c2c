#include "frame/File.h"

#include <string>

BOOL CFile::Open(LPCSTR pszPath, UINT nOpenFlags)
{
    Close();
    DWORD dwAccess = GENERIC_READ;
    if (nOpenFlags & modeWrite)
        dwAccess = GENERIC_WRITE;
    else if (nOpenFlags & modeReadWrite)
        dwAccess = GENERIC_READ | GENERIC_WRITE;
    DWORD dwCreation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    // Others may read, replace or delete the file while it is open.
    m_hFile = ::CreateFileA(pszPath, dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            dwCreation, FILE_ATTRIBUTE_NORMAL, NULL);
    m_bText = (nOpenFlags & typeText) != 0;
    return IsOpen();
}

void CFile::Close()
{
    if (IsOpen())
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

BOOL CFile::Write(const void* pData, DWORD nCount)
{
    if (!IsOpen())
        return FALSE;
    const char* p = static_cast<const char*>(pData);
    std::string strText;
    if (m_bText)
    {
        strText.reserve(nCount + nCount / 16);
        for (DWORD i = 0; i < nCount; ++i)
        {
            if (p[i] == '\n')
                strText += '\r';
            strText += p[i];
        }
        p = strText.data();
        nCount = static_cast<DWORD>(strText.size());
    }
    DWORD nWritten = 0;
    return ::WriteFile(m_hFile, p, nCount, &nWritten, NULL) && nWritten == nCount;
}

BOOL CFile::Read(void* pData, DWORD nCount, DWORD* pnRead)
{
    DWORD nRead = 0;
    const BOOL bOk = IsOpen() && ::ReadFile(m_hFile, pData, nCount, &nRead, NULL);
    if (pnRead)
        *pnRead = bOk ? nRead : 0;
    return bOk;
}

BOOL CFile::SeekToEnd()
{
    LARGE_INTEGER zero = {};
    return IsOpen() && ::SetFilePointerEx(m_hFile, zero, NULL, FILE_END);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size = {};
    if (!IsOpen() || !::GetFileSizeEx(m_hFile, &size))
        return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

BOOL CFile::GetStatus(LPCSTR pszPath, CFileStatus& rStatus)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data))
        return FALSE;
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = data.dwFileAttributes;
    rStatus.m_mtime = data.ftLastWriteTime;
    return TRUE;
}

BOOL CFile::Remove(LPCSTR pszPath)
{
    return ::DeleteFileA(pszPath);
}

BOOL CFile::Rename(LPCSTR pszOldPath, LPCSTR pszNewPath)
{
    return ::MoveFileA(pszOldPath, pszNewPath);
}
