// The worker's side of the search for the program's icon on screen: it
// shows a marker image in the icon and scans the notification area's pixels
// for it.
#include "app/IconSearch.h"

#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "diag/Log.h"
#include "frame/WindowDC.h"

namespace
{
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
// The worker gives the rest of the system a breath after this many probes.
const int kProbesPerPause = 500;
const DWORD kMarkerSettleMs = 500;

// The marker's three pixels in column x from row y: outer, middle, outer.
BOOL IsMarkerRun(HDC hdc, int x, int y, COLORREF crOuter, COLORREF crMiddle)
{
    return ::GetPixel(hdc, x, y) == crOuter && ::GetPixel(hdc, x, y + 1) == crMiddle &&
           ::GetPixel(hdc, x, y + 2) == crOuter;
}
} // namespace

CIconSearch* CIconSearch::Create(CGlimwickDlg* pOwner)
{
    HANDLE hStop = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    return hStop ? new CIconSearch(pOwner, hStop) : nullptr;
}

CIconSearch::CIconSearch(CGlimwickDlg* pOwner, HANDLE hStop) : m_hStop(hStop), m_pOwner(pOwner)
{
}

CIconSearch::~CIconSearch()
{
    ::CloseHandle(m_hStop);
}

void CIconSearch::AddRef()
{
    ::InterlockedIncrement(&m_nRefs);
}

void CIconSearch::Release()
{
    if (::InterlockedDecrement(&m_nRefs) == 0)
        delete this;
}

void CIconSearch::Abandon()
{
    ::SetEvent(m_hStop);
    CSingleLock lock(m_gate);
    m_pOwner = nullptr;
}

BOOL CIconSearch::Pause(DWORD nMilliseconds) const
{
    return ::WaitForSingleObject(m_hStop, nMilliseconds) == WAIT_OBJECT_0;
}

BOOL CIconSearch::ShowMarker(int nFrame)
{
    CSingleLock lock(m_gate);
    if (!m_pOwner)
        return FALSE;
    m_pOwner->ShowFrame(nFrame);
    return TRUE;
}

UINT CIconSearch::Scan()
{
    if (Pause(0))
        return CGlimwickDlg::SEARCH_NOT_FOUND;
    if (!SillbeckGetTrayRect(&m_rcArea))
    {
        WriteLog("GET TRAY RECT ERROR\n");
        return CGlimwickDlg::SEARCH_NOT_FOUND;
    }
    const RECT rcArea = m_rcArea;
    WriteLog("GET TRAY RECT ( %d, %d )-( %d, %d )\n", rcArea.left, rcArea.top, rcArea.right, rcArea.bottom);

    if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_A) || Pause(kMarkerSettleMs))
        return CGlimwickDlg::SEARCH_NOT_FOUND;

    CWindowDC dc(NULL);
    ::SetMapMode(dc, MM_TEXT);
    int nProbes = 0;
    // Counts a probe; every so many it pauses a moment and looks for a stop.
    auto Probe = [&]() -> BOOL {
        if (++nProbes < kProbesPerPause)
            return FALSE;
        nProbes = 0;
        return Pause(1);
    };
    for (int x = rcArea.left; x < rcArea.right; ++x)
    {
        if (Probe())
            return CGlimwickDlg::SEARCH_NOT_FOUND;
        for (int y = rcArea.top; y < rcArea.bottom - 10; ++y)
        {
            if (Probe())
                return CGlimwickDlg::SEARCH_NOT_FOUND;
            if (!IsMarkerRun(dc, x, y, kBlack, kBlue))
                continue;
            // Only the own icon turns the run over when the marker changes.
            if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_B) || Pause(kMarkerSettleMs))
                return CGlimwickDlg::SEARCH_NOT_FOUND;
            if (IsMarkerRun(dc, x, y, kBlue, kBlack))
            {
                m_rcIcon = {x - 5, y - 5, x + 9, y + 9};
                WriteLog("FIND ICON RECT ( %d, %d )-( %d, %d )\n", m_rcIcon.left, m_rcIcon.top, m_rcIcon.right,
                         m_rcIcon.bottom);
                return CGlimwickDlg::SEARCH_FOUND;
            }
            if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_A) || Pause(kMarkerSettleMs))
                return CGlimwickDlg::SEARCH_NOT_FOUND;
        }
    }
    return CGlimwickDlg::SEARCH_NOT_FOUND;
}
