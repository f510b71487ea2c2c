// The controller's search for its own icon on screen: the worker shows a
// marker image in the icon and scans the notification area's pixels for it;
// the main thread waits, polling once a second for at most 20 seconds.
#include "app/GlimwickDlg.h"

#include "app/TrayLibrary.h"
#include "diag/Log.h"
#include "frame/WinThread.h"
#include "frame/WindowDC.h"

namespace
{
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
// The worker gives the rest of the system a breath after this many probes.
const int kProbesPerPause = 500;
const DWORD kMarkerSettleMs = 500;
// How long an overdue worker that was asked to stop may take to notice.
const DWORD kStopGraceMs = 5000;

// The marker's three pixels in column x from row y: outer, middle, outer.
BOOL IsMarkerRun(HDC hdc, int x, int y, COLORREF crOuter, COLORREF crMiddle)
{
    return ::GetPixel(hdc, x, y) == crOuter && ::GetPixel(hdc, x, y + 1) == crMiddle &&
           ::GetPixel(hdc, x, y + 2) == crOuter;
}
} // namespace

BOOL CGlimwickDlg::StartIconSearch()
{
    WriteLog("FindTrayIcon\n");
    m_bIconFound = FALSE;
    m_bSearching = TRUE;
    if (m_bTrackerStarted)
        SillbeckStop();
    ::ResetEvent(m_hStopSearch);

    UINT nResult = SEARCH_NOT_FOUND;
    CWinThread* pThread =
        AfxBeginThread(SearchTrayIcon, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    HANDLE hThread = NULL;
    if (!pThread)
    {
        WriteLog("THREAD ERROR 1\n");
    }
    else if (!::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hThread, 0,
                                FALSE, DUPLICATE_SAME_ACCESS))
    {
        WriteLog("THREAD ERROR 2\n");
        // The suspended worker must not linger: it is let run with the stop
        // already requested, so it ends at once without touching anything.
        pThread->m_bAutoDelete = FALSE;
        ::SetEvent(m_hStopSearch);
        pThread->ResumeThread();
        ::WaitForSingleObject(pThread->m_hThread, INFINITE);
        delete pThread;
    }
    else
    {
        pThread->ResumeThread();
        BOOL bEnded = FALSE;
        for (int i = 0; i < SEARCH_POLLS; ++i)
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
                break;
            }
        }
        if (!bEnded)
        {
            StopWorker(hThread);
            WriteLog("TERMINATE\n");
            nResult = SEARCH_NOT_FOUND;
        }
        ::CloseHandle(hThread);
    }

    if (nResult == SEARCH_FOUND)
    {
        OnSearchFound();
        return TRUE;
    }
    OnSearchNotFound();
    return FALSE;
}

void CGlimwickDlg::StopWorker(HANDLE hThread)
{
    ::SetEvent(m_hStopSearch);
    // The worker stops at its next pause; only one that hangs inside the
    // system is cut off.
    if (::WaitForSingleObject(hThread, kStopGraceMs) == WAIT_TIMEOUT)
        ::TerminateThread(hThread, SEARCH_NOT_FOUND);
}

void CGlimwickDlg::OnSearchFound()
{
    m_bSearching = FALSE;
    WriteLog("FIND!\n");
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
    m_bSearching = FALSE;
    WriteLog("NOT FOUND!\n");
    ::SetRectEmpty(&m_rcTrayArea);
    m_trayIcon.ShowTrayIcon(FALSE);
    m_trayIcon.SetTrayIcon(m_hIconIdle);
    m_trayIcon.ShowTrayIcon(TRUE);
    if (m_bTrackerStarted)
        SillbeckStart();
    SetTimer(TIMER_RETRY, RETRY_PERIOD);
}

UINT __cdecl CGlimwickDlg::SearchTrayIcon(LPVOID pParam)
{
    return static_cast<CGlimwickDlg*>(pParam)->ScanForIcon();
}

BOOL CGlimwickDlg::SearchPause(DWORD nMilliseconds) const
{
    return ::WaitForSingleObject(m_hStopSearch, nMilliseconds) == WAIT_OBJECT_0;
}

UINT CGlimwickDlg::ScanForIcon()
{
    if (SearchPause(0))
        return SEARCH_NOT_FOUND;
    ::SetRectEmpty(&m_rcIcon);
    if (!SillbeckGetTrayRect(&m_rcTrayArea))
    {
        WriteLog("GET TRAY RECT ERROR\n");
        return SEARCH_NOT_FOUND;
    }
    const RECT rcArea = m_rcTrayArea;
    WriteLog("GET TRAY RECT ( %d, %d )-( %d, %d )\n", rcArea.left, rcArea.top, rcArea.right, rcArea.bottom);

    ShowFrame(FRAME_MARKER_A);
    if (SearchPause(kMarkerSettleMs))
        return SEARCH_NOT_FOUND;

    CWindowDC dc(NULL);
    ::SetMapMode(dc, MM_TEXT);
    int nProbes = 0;
    // Counts a probe; every so many it pauses a moment and looks for a stop.
    auto Probe = [&]() -> BOOL {
        if (++nProbes < kProbesPerPause)
            return FALSE;
        nProbes = 0;
        return SearchPause(1);
    };
    for (int x = rcArea.left; x < rcArea.right; ++x)
    {
        if (Probe())
            return SEARCH_NOT_FOUND;
        for (int y = rcArea.top; y < rcArea.bottom - 10; ++y)
        {
            if (Probe())
                return SEARCH_NOT_FOUND;
            if (!IsMarkerRun(dc, x, y, kBlack, kBlue))
                continue;
            // Only the own icon turns the run over when the marker changes.
            ShowFrame(FRAME_MARKER_B);
            if (SearchPause(kMarkerSettleMs))
                return SEARCH_NOT_FOUND;
            if (IsMarkerRun(dc, x, y, kBlue, kBlack))
            {
                m_rcIcon = {x - 5, y - 5, x + 9, y + 9};
                WriteLog("FIND ICON RECT ( %d, %d )-( %d, %d )\n", m_rcIcon.left, m_rcIcon.top, m_rcIcon.right,
                         m_rcIcon.bottom);
                return SEARCH_FOUND;
            }
            ShowFrame(FRAME_MARKER_A);
            if (SearchPause(kMarkerSettleMs))
                return SEARCH_NOT_FOUND;
        }
    }
    return SEARCH_NOT_FOUND;
}
