#include "windows/BalloonDlg.h"

#include "draw/Region.h"
#include "frame/Ime.h"
#include "frame/WinApp.h"
#include "frame/WindowDC.h"
#include "res/resource.h"

namespace
{
const char kFontFace[] = "ＭＳ ゴシック";
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

void CBalloonDlg::FitToWorkArea()
{
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &m_rcWorkArea, 0);
    const int cx = m_rcWorkArea.right - m_rcWorkArea.left;
    const int cy = m_rcWorkArea.bottom - m_rcWorkArea.top;
    m_rcClient = {0, 0, cx, cy};
    if (m_surface.GetWidth() != cx || m_surface.GetHeight() != cy)
    {
        m_surface.Release();
        m_surface.CreateBlank(0, cx, cy, CDibCanvas::NO_KEY);
    }
    // From the screen's origin: only the work area's size counts.
    SetWindowPos(HWND_TOP, 0, 0, cx, cy, kResizeFlags);
}

void CBalloonDlg::OnWorkAreaChanged()
{
    // A hidden balloon reads the work area afresh for the next reminder.
    if (!IsWindowVisible())
        return;
    FitToWorkArea();
    m_surface.FillSolidRect(&m_rcClient, RGB(0, 0, 0));
}

void CBalloonDlg::LetGo()
{
    KillTimer(TIMER_WORKAREA);
    m_surface.Release();
    // A hidden window keeps the window system's screen-sized copy of its
    // pixels until its size changes and its device context is next taken.
    SetWindowPos(NULL, 0, 0, 1, 1, kResizeFlags | SWP_NOZORDER);
    CWindowDC dc(m_hWnd);
}

void CBalloonDlg::SetMessageText(CString strText)
{
    FitToWorkArea();
    const RECT& rc = m_rcClient;
    m_surface.FillSolidRect(&rc, KEY_COLOUR);

    // Two green passes a pixel apart thicken the strokes; the black pass,
    // a pixel right of and below them, is the shadow.
    m_surface.BeginDraw();
    m_surface.SetBkMode(TRANSPARENT);
    RECT rcShadow = {rc.left, rc.top + 8, rc.right, rc.bottom};
    m_surface.DrawTextFont(strText, &rcShadow, TEXT_FORMAT, SHADOW_COLOUR, FONT_POINTS, kFontFace);
    RECT rcLetters = {rc.left - 1, rc.top + 7, rc.right - 1, rc.bottom - 1};
    m_surface.DrawTextFont(strText, &rcLetters, TEXT_FORMAT, LETTER_COLOUR, FONT_POINTS, kFontFace);
    rcLetters = {rc.left - 2, rc.top + 7, rc.right - 2, rc.bottom - 1};
    m_surface.DrawTextFont(strText, &rcLetters, TEXT_FORMAT, LETTER_COLOUR, FONT_POINTS, kFontFace);
    m_surface.EndDraw();

    // The eyes stand on the bottom edge, centred, over any text there.
    CDibCanvas eyes(AfxGetResourceHandle(), IDB_BALLOON_EYES, CDibCanvas::NO_KEY);
    const int cxEyes = eyes.GetWidth();
    const int cyEyes = eyes.GetHeight();
    if (cxEyes > 0 && cyEyes > 0)
        m_surface.DrawImage(&eyes, (rc.right - rc.left - cxEyes) / 2, rc.bottom - rc.top - cyEyes, cxEyes, cyEyes,
                            0, 0, SRCCOPY);

    // The window system owns the region from here on.
    HRGN hRegion = m_surface.CreateRegion(KEY_COLOUR);
    m_hRegion = SetWindowRegion(m_hWnd, hRegion) ? hRegion : NULL;
    ::InvalidateRect(m_hWnd, NULL, TRUE);
}

BOOL CBalloonDlg::OnPaint()
{
    // The picture is composed once per reminder: painting is one copy.
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
    CWindowDC dc(m_hWnd);
    m_surface.Draw(&dc, 0, 0, m_rcClient.right, m_rcClient.bottom, 0, 0, SRCCOPY);
    return TRUE;
}

void CBalloonDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_WORKAREA)
        return;
    RECT rc;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0))
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
    return CDialog::DestroyWindow();
}
