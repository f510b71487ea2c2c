#include "windows/BalloonDlg.h"

#include "draw/FontCache.h"
#include "draw/Region.h"
#include "frame/Ime.h"
#include "frame/Rgn.h"
#include "frame/WinApp.h"
#include "frame/WindowDC.h"
#include "res/resource.h"
#include "windows/MonitorChoice.h"

#include <algorithm>
#include <climits>

namespace
{
const char kFontFace[] = "ＭＳ ゴシック";
// The text's top edge: the shadow's, and the letters' a pixel higher.
const int kShadowTop = 8;
const int kLettersTop = 7;
// One line of the reminder's letters, to measure a line's height.
const char kLineProbe[] = "目";
// Size (and, with the origin, place) only: the window keeps its stacking
// and never takes the focus.
const UINT kResizeFlags = SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
} // namespace

CBalloonDlg::CBalloonDlg() : CDialog(IDD_BALLOON)
{
}

BOOL CBalloonDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    WINNLSEnableIME(m_hWnd, FALSE);
    ShowWindow(SW_HIDE);
    LetGo();
    return TRUE;
}

BOOL CBalloonDlg::ReadWorkArea(RECT* prcWork, POINT* pptOrigin) const
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (m_hMonitor && ::GetMonitorInfoA(m_hMonitor, &mi) && !(mi.dwFlags & MONITORINFOF_PRIMARY))
    {
        *prcWork = mi.rcWork;
        *pptOrigin = {mi.rcMonitor.left, mi.rcMonitor.top};
        return TRUE;
    }
    *pptOrigin = {0, 0};
    return ::SystemParametersInfoA(SPI_GETWORKAREA, 0, prcWork, 0);
}

void CBalloonDlg::FitToWorkArea()
{
    POINT ptOrigin;
    ReadWorkArea(&m_rcWorkArea, &ptOrigin);
    const int cx = m_rcWorkArea.right - m_rcWorkArea.left;
    const int cy = m_rcWorkArea.bottom - m_rcWorkArea.top;
    m_rcClient = {0, 0, cx, cy};
    // From the monitor's origin: only the work area's size counts.
    SetWindowPos(HWND_TOP, ptOrigin.x, ptOrigin.y, cx, cy, kResizeFlags);
}

void CBalloonDlg::OnWorkAreaChanged()
{
    // A hidden balloon reads the work area afresh for the next reminder.
    if (!IsWindowVisible())
        return;
    FitToWorkArea();
    m_surface.Release();
    m_eyes.Release();
    ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CBalloonDlg::LetGo()
{
    KillTimer(TIMER_WORKAREA);
    m_surface.Release();
    m_eyes.Release();
    // A hidden window keeps the window system's screen-sized copy of its
    // pixels until its size changes and its device context is next taken.
    SetWindowPos(NULL, 0, 0, 1, 1, kResizeFlags | SWP_NOZORDER);
    CWindowDC dc(m_hWnd);
    // The letters' font is long deleted, but the window system holds on to
    // its face until other fonts push it out.
    if (m_bLettersDrawn)
        CFontCache::Sweep();
    m_bLettersDrawn = false;
}

int CBalloonDlg::TextReach(const CString& strText, int cx, int& cyLine)
{
    // Laid out as it is drawn: same font, format and width.
    CDibCanvas probe;
    probe.CreateBlank(0, 1, 1, CDibCanvas::NO_KEY);
    RECT rcText = {0, 0, cx, 0};
    const int cyText = probe.DrawTextFont(strText, &rcText, TEXT_FORMAT | DT_CALCRECT, CDibCanvas::NO_KEY,
                                          FONT_POINTS, kFontFace);
    RECT rcLine = {0, 0, cx, 0};
    cyLine = probe.DrawTextFont(kLineProbe, &rcLine, TEXT_FORMAT | DT_CALCRECT, CDibCanvas::NO_KEY,
                                          FONT_POINTS, kFontFace);
    if (cyLine <= 0)
    {
        cyLine = 0;
        return INT_MAX;
    }
    // The shadow's drop below the window's top, the lines, and a line more
    // for glyphs that reach below their cell.
    return kShadowTop + cyText + cyLine;
}

void CBalloonDlg::SetMessageText(CString strText)
{
    m_hMonitor = CMonitorChoice::WhereUserWorks(m_hWnd);
    FitToWorkArea();
    const RECT& rc = m_rcClient;
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;

    CDibCanvas eyes(AfxGetResourceHandle(), IDB_BALLOON_EYES, CDibCanvas::NO_KEY);
    const int cxEyes = eyes.GetWidth();
    const int cyEyes = eyes.GetHeight();
    const bool bEyes = cxEyes > 0 && cyEyes > 0;
    // The eyes stand on the bottom edge, centred.
    m_ptEyes = {(cx - cxEyes) / 2, cy - cyEyes};
    int cyLine = 0;
    int cyBand = std::min(TextReach(strText, cx, cyLine), cy);
    // Where the text may reach the eyes' rows, they go over it in a band that
    // runs to the bottom; so do eyes wider than the window, cut at its edges.
    const bool bEyesApart = bEyes && cyBand <= m_ptEyes.y && m_ptEyes.x >= 0;
    if (bEyes && !bEyesApart)
        cyBand = cy;

    m_surface.Release();
    m_surface.CreateBlank(0, cx, cyBand, CDibCanvas::NO_KEY);
    m_surface.FillSolidRect(0, 0, cx, cyBand, KEY_COLOUR);

    // Two green passes a pixel apart thicken the strokes; the black pass,
    // a pixel right of and below them, is the shadow. The rectangles are the
    // whole window's: the band cuts nothing the text reaches.
    m_surface.BeginDraw();
    m_surface.SetBkMode(TRANSPARENT);
    RECT rcShadow = {rc.left, rc.top + kShadowTop, rc.right, rc.bottom};
    m_surface.DrawTextFont(strText, &rcShadow, TEXT_FORMAT, SHADOW_COLOUR, FONT_POINTS, kFontFace);
    RECT rcLetters = {rc.left - 1, rc.top + kLettersTop, rc.right - 1, rc.bottom - 1};
    m_surface.DrawTextFont(strText, &rcLetters, TEXT_FORMAT, LETTER_COLOUR, FONT_POINTS, kFontFace);
    rcLetters = {rc.left - 2, rc.top + kLettersTop, rc.right - 2, rc.bottom - 1};
    m_surface.DrawTextFont(strText, &rcLetters, TEXT_FORMAT, LETTER_COLOUR, FONT_POINTS, kFontFace);
    m_surface.EndDraw();
    m_bLettersDrawn = true;

    m_eyes.Release();
    ::SetRectEmpty(&m_rcEyesInBand);
    if (bEyesApart)
    {
        // At the band's depth, so that they show and cut the region as they
        // would drawn into it.
        m_eyes.CreateBlank(0, cxEyes, cyEyes, CDibCanvas::NO_KEY);
        m_eyes.DrawImage(&eyes, 0, 0, cxEyes, cyEyes, 0, 0, SRCCOPY);
    }
    else if (bEyes)
    {
        m_surface.DrawImage(&eyes, m_ptEyes.x, m_ptEyes.y, cxEyes, cyEyes, 0, 0, SRCCOPY);
        m_rcEyesInBand = {m_ptEyes.x, m_ptEyes.y, m_ptEyes.x + cxEyes, m_ptEyes.y + cyEyes};
    }

    // The window system owns the region from here on.
    HRGN hRegion = MakeRegion(cyLine);
    m_hRegion = SetWindowRegion(m_hWnd, hRegion) ? hRegion : NULL;
    ::InvalidateRect(m_hWnd, NULL, TRUE);
}

namespace
{
DWORD RegionRects(HRGN hRegion)
{
    const DWORD cb = ::GetRegionData(hRegion, 0, NULL);
    return cb > sizeof(RGNDATAHEADER) ? (cb - sizeof(RGNDATAHEADER)) / sizeof(RECT) : 0;
}
} // namespace

HRGN CBalloonDlg::MakeRegion(int cyLine)
{
    CRgn rgnEyes;
    DWORD nEyes = 0;
    if (m_eyes.IsCreated() && rgnEyes.Attach(m_eyes.CreateRegion(KEY_COLOUR)))
    {
        ::OffsetRgn(rgnEyes, m_ptEyes.x, m_ptEyes.y);
        nEyes = RegionRects(rgnEyes);
    }
    HRGN hRegion = m_surface.CreateRegion(KEY_COLOUR);
    if (hRegion && RegionRects(hRegion) + nEyes > MAX_REGION_RECTS)
        hRegion = KeepLinesThatFit(hRegion, cyLine, nEyes < MAX_REGION_RECTS ? MAX_REGION_RECTS - nEyes : 0);
    if (hRegion && rgnEyes.GetSafeHandle())
        ::CombineRgn(hRegion, hRegion, rgnEyes, RGN_OR);
    return hRegion;
}

HRGN CBalloonDlg::KeepLinesThatFit(HRGN hBand, int cyLine, DWORD nRects)
{
    CRgn rgnBand;
    rgnBand.Attach(hBand);
    const int cx = m_surface.GetWidth();
    const int cyBand = m_surface.GetHeight();
    // The part of the band above yCut, and the eyes.
    auto Kept = [&](int yCut) -> HRGN {
        CRgn rgnKeep;
        if (!rgnKeep.CreateRectRgn(0, 0, cx, yCut))
            return NULL;
        CRgn rgnEyes;
        if (!::IsRectEmpty(&m_rcEyesInBand) && rgnEyes.CreateRectRgnIndirect(&m_rcEyesInBand))
            ::CombineRgn(rgnKeep, rgnKeep, rgnEyes, RGN_OR);
        CRgn rgnKept;
        if (!rgnKept.CreateRectRgn(0, 0, 0, 0) || ::CombineRgn(rgnKept, rgnBand, rgnKeep, RGN_AND) == ERROR)
            return NULL;
        return static_cast<HRGN>(rgnKept.Detach());
    };
    // A line's letters start a pixel above its shadow: the cut before line
    // k keeps the lines above it whole.
    auto CutBefore = [&](int k) { return std::min(kLettersTop + k * cyLine, cyBand); };
    int nFit = 0;
    if (cyLine > 0)
    {
        // The most lines that fit: fewer lines, never more rectangles.
        int nOver = (cyBand - kLettersTop) / cyLine + 1;
        while (nOver - nFit > 1)
        {
            const int k = nFit + (nOver - nFit) / 2;
            CRgn rgnTry;
            rgnTry.Attach(Kept(CutBefore(k)));
            if (rgnTry.GetSafeHandle() && RegionRects(rgnTry) <= nRects)
                nFit = k;
            else
                nOver = k;
        }
    }
    // What is cut goes from the picture too, so that it and the region agree.
    const int yCut = CutBefore(nFit);
    const RECT& rcEyes = m_rcEyesInBand;
    const int yEyes = ::IsRectEmpty(&rcEyes) ? cyBand : std::max(yCut, static_cast<int>(rcEyes.top));
    m_surface.FillSolidRect(0, yCut, cx, yEyes - yCut, KEY_COLOUR);
    if (yEyes < cyBand)
    {
        // Eyes wider than the window leave nothing beside them.
        if (rcEyes.left > 0)
            m_surface.FillSolidRect(0, yEyes, rcEyes.left, cyBand - yEyes, KEY_COLOUR);
        if (rcEyes.right < cx)
            m_surface.FillSolidRect(rcEyes.right, yEyes, cx - rcEyes.right, cyBand - yEyes, KEY_COLOUR);
    }
    return Kept(yCut);
}

void CBalloonDlg::DrawPicture(CDC* pDC)
{
    if (!m_surface.IsCreated())
    {
        pDC->FillSolidRect(&m_rcClient, SHADOW_COLOUR);
        return;
    }
    m_surface.Draw(pDC, 0, 0, m_surface.GetWidth(), m_surface.GetHeight(), 0, 0, SRCCOPY);
    if (m_eyes.IsCreated())
        m_eyes.Draw(pDC, m_ptEyes.x, m_ptEyes.y, m_eyes.GetWidth(), m_eyes.GetHeight(), 0, 0, SRCCOPY);
}

BOOL CBalloonDlg::OnPaint()
{
    // The pictures are composed once per reminder: painting is two copies.
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
    CWindowDC dc(m_hWnd);
    DrawPicture(&dc);
    return TRUE;
}

void CBalloonDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_WORKAREA)
        return;
    RECT rc;
    POINT ptOrigin;
    if (!ReadWorkArea(&rc, &ptOrigin))
        return;
    if (rc.right - rc.left != m_rcWorkArea.right - m_rcWorkArea.left ||
        rc.bottom - rc.top != m_rcWorkArea.bottom - m_rcWorkArea.top)
        OnWorkAreaChanged();
}

void CBalloonDlg::OnWindowPosChanged(const WINDOWPOS& pos)
{
    // The work area is watched only while the reminder is up.
    if (pos.flags & SWP_SHOWWINDOW)
        SetTimer(TIMER_WORKAREA, WORKAREA_PERIOD);
    else if (pos.flags & SWP_HIDEWINDOW)
        LetGo();
}

LRESULT CBalloonDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_ERASEBKGND:
        return 1;
    case WM_NCPAINT:
        return 0;
    case WM_DISPLAYCHANGE:
        OnWorkAreaChanged();
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CBalloonDlg::DestroyWindow()
{
    if (m_hWnd)
        ::SetWindowRgn(m_hWnd, NULL, FALSE);
    m_hRegion = NULL;
    m_surface.Release();
    m_eyes.Release();
    return CDialog::DestroyWindow();
}
