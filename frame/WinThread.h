#ifndef GLIMWICK_FRAME_WINTHREAD_H
#define GLIMWICK_FRAME_WINTHREAD_H

#include <windows.h>

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

// A worker thread started by AfxBeginThread. With m_bAutoDelete (the
// default) the object closes its handle and deletes itself when the thread
// ends, so a caller that waits for the thread needs a handle of its own
// (DuplicateHandle).
class CWinThread
{
public:
    CWinThread(AFX_THREADPROC pfnProc, LPVOID pParam) : m_pfnProc(pfnProc), m_pParam(pParam) {}
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // FALSE, and no thread, when the system refuses one.
    BOOL CreateThread(DWORD dwCreateFlags, UINT nStackSize);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }

    HANDLE m_hThread = NULL;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

private:
    static unsigned __stdcall ThreadEntry(void* pThis);

    AFX_THREADPROC m_pfnProc;
    LPVOID m_pParam;
};

// Starts pfnProc(pParam) on a new thread; NULL when no thread was created.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0);

#endif
