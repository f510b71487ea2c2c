// The controller's search for its own icon on screen: a worker shows a
// marker image in the icon and scans the notification area's pixels for it
// (CIconSearch); the main thread waits, polling once a second for at most
// 20 seconds.
#include "app/GlimwickDlg.h"

#include "app/IconSearch.h"
#include "app/TrayLibrary.h"
#include "diag/Log.h"
#include "frame/WinThread.h"

namespace
{
const UINT kMsPerSecond = 1000;
} // namespace

BOOL CGlimwickDlg::StartIconSearch()
{
    // Sent messages are handled inside the shell calls at the end of a
    // search; a report among them must not start a second search within it.
    if (m_bSearching)
        return FALSE;
    m_bSearching = TRUE;
    WriteLog("FindTrayIcon\n");
    m_bIconFound = FALSE;
    if (m_bTrackerStarted)
        SillbeckStop();

    const BOOL bFound = RunSearchWorker() == SEARCH_FOUND;
    if (bFound)
        OnSearchFound();
    else
        OnSearchNotFound();
    m_bSearching = FALSE;
    return bFound;
}

UINT CGlimwickDlg::RunSearchWorker()
{
    // Known again once the worker has read it.
    ::SetRectEmpty(&m_rcTrayArea);
    // Asked once per search: how the worker reads the screen, and how the
    // found eyes are drawn.
    m_bComposed = IsDesktopComposed();
    CIconSearch* pSearch = CIconSearch::Create(this);
    CWinThread* pThread =
        pSearch ? AfxBeginThread(SearchTrayIcon, pSearch, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED) : nullptr;
    if (!pThread)
    {
        WriteLog("THREAD ERROR 1\n");
        if (pSearch)
            pSearch->Release();
        return SEARCH_NOT_FOUND;
    }
    // The worker's own reference, given up when it ends.
    pSearch->AddRef();

    UINT nResult = SEARCH_NOT_FOUND;
    HANDLE hThread = NULL;
    if (!::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hThread, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
    {
        WriteLog("THREAD ERROR 2\n");
        // The suspended worker must not linger: it is let run with the stop
        // already requested, so it ends at once without touching anything.
        pThread->m_bAutoDelete = FALSE;
        pSearch->Abandon();
        pThread->ResumeThread();
        ::WaitForSingleObject(pThread->m_hThread, INFINITE);
        delete pThread;
    }
    else
    {
        pThread->ResumeThread();
        BOOL bEnded = FALSE;
        for (int i = 0; i < SEARCH_POLLS && !bEnded; ++i)
        {
            ::Sleep(SEARCH_POLL_MS);
            DWORD dwCode = 0;
            if (!::GetExitCodeThread(hThread, &dwCode))
            {
                WriteLog("THREAD ERROR 3\n");
                break;
            }
            if (dwCode != STILL_ACTIVE)
            {
                nResult = dwCode;
                bEnded = TRUE;
            }
        }
        if (bEnded)
        {
            m_rcIcon = pSearch->IconRect();
        }
        else
        {
            // Never cut off: the worker may hold the log's lock or the
            // screen. It stops at its next pause and frees what it holds.
            pSearch->Abandon();
            WriteLog("TERMINATE\n");
            ::SetRectEmpty(&m_rcIcon);
            nResult = SEARCH_NOT_FOUND;
        }
        // Read once the worker is cut off: one that overstayed may be in a
        // log line, holding the lock that guards the area.
        m_rcTrayArea = pSearch->TrayArea();
        ::CloseHandle(hThread);
    }
    pSearch->Release();
    return nResult;
}

void CGlimwickDlg::OnSearchFound()
{
    WriteLog("FIND!\n");
    // A retry armed by an earlier failure would only search again.
    KillTimer(TIMER_RETRY);
    m_backoff.Reset();
    m_ptEyeRight.x = m_rcIcon.left + 10;
    // Off screen: the first erase of old pupils changes nothing.
    m_ptPupilLeft.x = PUPIL_OFFSCREEN;
    m_ptPupilRight.x = PUPIL_OFFSCREEN;
    m_ptEyeLeft.y = m_rcIcon.top + 5;
    m_ptEyeRight.y = m_rcIcon.top + 5;
    ShowFrame(FRAME_OPEN);
    m_ptEyeLeft.x = m_rcIcon.left + 3;
    if (m_bTrackerStarted)
        SillbeckStart();
    m_bIconFound = TRUE;
}

void CGlimwickDlg::OnSearchNotFound()
{
    WriteLog("NOT FOUND!\n");
    const UINT nWait = m_backoff.OnFailure(m_rcTrayArea);
    ::SetRectEmpty(&m_rcTrayArea);
    m_trayIcon.ShowTrayIcon(FALSE);
    m_trayIcon.SetTrayIcon(m_hIconIdle);
    m_trayIcon.ShowTrayIcon(TRUE);
    if (m_bTrackerStarted)
        SillbeckStart();
    if (nWait > CSearchBackoff::FIRST_WAIT_MS)
        WriteLog("SEARCH RETRY IN %u S\n", nWait / kMsPerSecond);
    SetTimer(TIMER_RETRY, nWait);
}

HRESULT CGlimwickDlg::ShellIconRect(RECT* prc)
{
    return m_trayIcon.GetShellRect(prc);
}

UINT __cdecl CGlimwickDlg::SearchTrayIcon(LPVOID pParam)
{
    CIconSearch* pSearch = static_cast<CIconSearch*>(pParam);
    const UINT nResult = pSearch->Scan();
    pSearch->Release();
    return nResult;
}
