#include "diag/Log.h"

#include "frame/CriticalSection.h"
#include "frame/File.h"
#include "frame/String.h"
#include "frame/WinApp.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace
{
const size_t kMessageMax = 1024;
const char kDefaultName[] = "DefError_v2.log";

struct LogState
{
    // Never deleted: a worker may still log while the process ends.
    CCriticalSection* pLock = nullptr;
    BOOL bEcho = FALSE;
    char szPath[256] = {};
};

LogState s_state;
INIT_ONCE s_initOnce = INIT_ONCE_STATIC_INIT;

struct InitArgs
{
    BOOL bEcho;
    LPCSTR pszName;
    LPCSTR pszLocation;
};

BOOL CALLBACK InitOnce(PINIT_ONCE, PVOID pParam, PVOID*)
{
    const InitArgs* pArgs = static_cast<const InitArgs*>(pParam);
    s_state.pLock = new CCriticalSection;
    s_state.bEcho = pArgs->bEcho;
    MakeLogPath(pArgs->pszName, pArgs->pszLocation, s_state.szPath);
    return TRUE;
}

// Copies pszText into szOut when it fits (with its terminator); otherwise
// szOut becomes empty.
void CopyIfFits(char (&szOut)[256], LPCSTR pszText)
{
    const size_t n = std::strlen(pszText);
    if (n < sizeof szOut)
        std::memcpy(szOut, pszText, n + 1);
    else
        szOut[0] = '\0';
}

// The program file's name without its last extension, plus "_v2.log".
void DefaultName(char (&szName)[256])
{
    CopyIfFits(szName, kDefaultName);
    char szModule[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(AfxGetInstanceHandle(), szModule, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    // Character by character: in Shift-JIS the second byte of a character
    // such as 表 is a backslash.
    const CString strModule(szModule, static_cast<int>(n));
    const int nSlash = strModule.ReverseFind('\\');
    if (nSlash < 0)
        return;
    CString strBase = strModule.Mid(nSlash + 1, strModule.GetLength());
    const int nDot = strBase.ReverseFind('.');
    if (nDot >= 0)
        strBase = strBase.Left(nDot);
    char szCandidate[MAX_PATH + 8];
    std::snprintf(szCandidate, sizeof szCandidate, "%s_v2.log", static_cast<LPCSTR>(strBase));
    CopyIfFits(szName, szCandidate);
}

void WriteLine(LPCSTR pszMessage)
{
    if (!s_state.szPath[0])
        return;

    char szStamp[128] = "";
    const time_t now = std::time(nullptr);
    if (const struct tm* pLocal = std::localtime(&now))
    {
        if (std::strftime(szStamp, sizeof szStamp, "%Y/%m/%d(%A) %H:%M:%S\t", pLocal) == 0)
            szStamp[0] = '\0';
    }

    CFile file;
    if (!file.Open(s_state.szPath, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate | CFile::typeText))
        return;
    char szLine[sizeof szStamp + kMessageMax + 2];
    const int nLine = std::snprintf(szLine, sizeof szLine, "%s%s\n", szStamp, pszMessage);
    if (nLine > 0 && file.SeekToEnd())
        file.Write(szLine, static_cast<DWORD>(std::strlen(szLine)));
    file.Close();

    CFileStatus status;
    if (CFile::GetStatus(s_state.szPath, status) && status.m_size > LOG_ROTATE_SIZE)
    {
        char szBackup[256];
        MakeBackupPath(s_state.szPath, szBackup);
        if (szBackup[0])
        {
            CFile::Remove(szBackup);
            CFile::Rename(s_state.szPath, szBackup);
        }
    }
}
} // namespace

void MakeLogPath(LPCSTR pszName, LPCSTR pszLocation, char (&szPath)[256])
{
    char szName[256];
    DefaultName(szName);
    if (pszName && *pszName)
        CopyIfFits(szName, pszName);

    if (pszLocation == nullptr)
    {
        CopyIfFits(szPath, szName);
    }
    else if (pszLocation == LOG_LOCATION_TEMP)
    {
        char szTemp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathA(sizeof szTemp, szTemp);
        char szFull[MAX_PATH + 1 + sizeof szName];
        if (n == 0 || n >= sizeof szTemp)
            szTemp[0] = '\0';
        std::snprintf(szFull, sizeof szFull, "%s%s", szTemp, szName);
        CopyIfFits(szPath, szFull);
    }
    else
    {
        CopyIfFits(szPath, pszLocation);
    }
    if (!szName[0])
        szPath[0] = '\0';
}

void MakeBackupPath(LPCSTR pszPath, char (&szBackup)[256])
{
    char szFull[256 + 4];
    std::snprintf(szFull, sizeof szFull, "%s", pszPath);
    char* pDot = std::strrchr(szFull, '.');
    if (pDot && pDot != szFull)
        *pDot = '\0';
    std::strcat(szFull, ".bak");
    CopyIfFits(szBackup, szFull);
}

void InitLog(BOOL bEcho, LPCSTR pszName, LPCSTR pszLocation)
{
    InitArgs args = {bEcho, pszName, pszLocation};
    ::InitOnceExecuteOnce(&s_initOnce, InitOnce, &args, NULL);
}

LPCSTR GetLogPath()
{
    BOOL bPending = FALSE;
    if (!::InitOnceBeginInitialize(&s_initOnce, INIT_ONCE_CHECK_ONLY, &bPending, NULL))
        return "";
    return s_state.szPath;
}

void WriteLog(LPCSTR pszFormat, ...)
{
    char szMessage[kMessageMax + 1];
    va_list args;
    va_start(args, pszFormat);
    if (std::vsnprintf(szMessage, sizeof szMessage, pszFormat, args) < 0)
        szMessage[0] = '\0';
    va_end(args);

    InitLog(FALSE, nullptr, LOG_LOCATION_TEMP);
    {
        CSingleLock lock(*s_state.pLock);
        WriteLine(szMessage);
    }

    if (s_state.bEcho)
        ::MessageBoxA(NULL, szMessage, NULL, MB_ICONERROR | MB_SERVICE_NOTIFICATION);
}
