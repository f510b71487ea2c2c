// The worker's side of the search for the program's icon on screen: it
// takes the icon's place from the shell where the shell can tell, and
// otherwise shows a marker image in the icon and scans the notification
// area's pixels for it.
#include "app/IconSearch.h"

#include "app/AreaPixels.h"
#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "diag/Log.h"

namespace
{
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const DWORD kMarkerSettleMs = 500;
// Where the markers' run starts in the icon, and where the located
// rectangle starts and ends around the run's top pixel.
const int kRunColumn = 7;
const int kRunRow = 6;
const int kRectBefore = 5;
const int kRectAfter = 9;
} // namespace

CIconSearch* CIconSearch::Create(CGlimwickDlg* pOwner)
{
    HANDLE hStop = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    return hStop ? new CIconSearch(pOwner, hStop) : nullptr;
}

CIconSearch::CIconSearch(CGlimwickDlg* pOwner, HANDLE hStop) : m_hStop(hStop), m_pOwner(pOwner)
{
    m_hrShell = pOwner->ShellIconRect(&m_rcShell);
    m_bReadAtOnce = pOwner->m_bComposed;
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

RECT CIconSearch::TrayArea()
{
    CSingleLock lock(m_gate);
    return m_rcArea;
}

BOOL CIconSearch::IsIconPlace(HRESULT hr, const RECT& rcShell, const RECT& rcArea)
{
    return hr == S_OK && rcShell.right - rcShell.left == ICON_SIZE && rcShell.bottom - rcShell.top == ICON_SIZE &&
           rcShell.left >= rcArea.left && rcShell.top >= rcArea.top && rcShell.right <= rcArea.right &&
           rcShell.bottom <= rcArea.bottom;
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

void CIconSearch::Log(LPCSTR pszFormat, const RECT& rc)
{
    // The stop request comes before the cut-off, so a line the worker has
    // not begun by then is never written after the controller's own.
    CSingleLock lock(m_gate);
    if (m_pOwner && !Pause(0))
        WriteLog(pszFormat, rc.left, rc.top, rc.right, rc.bottom);
}

UINT CIconSearch::Found(POINT pt)
{
    m_rcIcon = {pt.x - kRectBefore, pt.y - kRectBefore, pt.x + kRectAfter, pt.y + kRectAfter};
    Log("FIND ICON RECT ( %d, %d )-( %d, %d )\n", m_rcIcon);
    return CGlimwickDlg::SEARCH_FOUND;
}

UINT CIconSearch::Scan()
{
    if (Pause(0))
        return CGlimwickDlg::SEARCH_NOT_FOUND;
    RECT rcArea = {};
    if (!SillbeckGetTrayRect(&rcArea))
    {
        Log("GET TRAY RECT ERROR\n", rcArea);
        return CGlimwickDlg::SEARCH_NOT_FOUND;
    }
    {
        CSingleLock lock(m_gate);
        m_rcArea = rcArea;
    }
    Log("GET TRAY RECT ( %d, %d )-( %d, %d )\n", rcArea);

    if (IsIconPlace(m_hrShell, m_rcShell, rcArea))
        return Found({m_rcShell.left + kRunColumn, m_rcShell.top + kRunRow});

    if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_A) || Pause(kMarkerSettleMs))
        return CGlimwickDlg::SEARCH_NOT_FOUND;
    CAreaPixels pixels(rcArea, m_bReadAtOnce ? CAreaPixels::READ_AT_ONCE : CAreaPixels::READ_EACH_PIXEL);
    pixels.Read();
    for (POINT pt = {rcArea.left, rcArea.top}; pixels.FindRun(pt, kBlack, kBlue, m_hStop); ++pt.y)
    {
        // Only the own icon turns the run over when the marker changes.
        if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_B) || Pause(kMarkerSettleMs))
            return CGlimwickDlg::SEARCH_NOT_FOUND;
        pixels.Read();
        if (pixels.IsRun(pt, kBlue, kBlack))
            return Found(pt);
        if (!ShowMarker(CGlimwickDlg::FRAME_MARKER_A) || Pause(kMarkerSettleMs))
            return CGlimwickDlg::SEARCH_NOT_FOUND;
        pixels.Read();
    }
    return CGlimwickDlg::SEARCH_NOT_FOUND;
}
