#ifndef GLIMWICK_FRAME_FILE_H
#define GLIMWICK_FRAME_FILE_H

#include <windows.h>

// What GetStatus reports of a file.
struct CFileStatus
{
    ULONGLONG m_size = 0;
    DWORD m_attribute = 0;
    FILETIME m_mtime = {};
};

// A file opened for one job and closed when the object goes. In text mode
// every line feed written reaches the disk as carriage return and line feed.
class CFile
{
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
    };

    CFile() = default;
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE, with the object left closed, when the file cannot be opened.
    BOOL Open(LPCSTR pszPath, UINT nOpenFlags);
    void Close();
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // FALSE when not every byte could be read or written.
    BOOL Write(const void* pData, DWORD nCount);
    BOOL Read(void* pData, DWORD nCount, DWORD* pnRead);
    BOOL SeekToEnd();
    // The size in bytes; 0 when closed or unknown.
    ULONGLONG GetLength() const;

    // FALSE, with rStatus untouched, when the file does not exist.
    static BOOL GetStatus(LPCSTR pszPath, CFileStatus& rStatus);
    static BOOL Remove(LPCSTR pszPath);
    static BOOL Rename(LPCSTR pszOldPath, LPCSTR pszNewPath);

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    BOOL m_bText = FALSE;
};

#endif
