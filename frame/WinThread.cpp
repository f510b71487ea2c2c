#include "frame/WinThread.h"

#include <process.h>

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize)
{
    // Always created suspended, so the thread cannot end (and delete this
    // object) before the handle and identifier are stored.
    unsigned nID = 0;
    const uintptr_t h = ::_beginthreadex(NULL, nStackSize, ThreadEntry, this, CREATE_SUSPENDED, &nID);
    if (!h)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = nID;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis)
{
    CWinThread* pThread = static_cast<CWinThread*>(pThis);
    UINT nResult = 0;
    try
    {
        nResult = pThread->m_pfnProc(pThread->m_pParam);
    }
    catch (...)
    {
        // A failing worker ends with 0 instead of ending the process.
        nResult = 0;
    }
    if (pThread->m_bAutoDelete)
        delete pThread;
    return nResult;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags)
{
    CWinThread* pThread = new CWinThread(pfnProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize))
    {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}
