#include "windows/LoupeDlg.h"

#include "frame/Ime.h"
#include "frame/PaintDC.h"
#include "frame/WindowDC.h"
#include "res/resource.h"

CLoupeDlg::CLoupeDlg(CWnd* pParent) : CDialog(IDD_LOUPE, pParent)
{
}

BOOL CLoupeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    WINNLSEnableIME(m_hWnd, FALSE);
    SetTimer(TIMER_REFRESH, REFRESH_PERIOD);
    return TRUE;
}

void CLoupeDlg::OnOK()
{
    KillTimer(TIMER_REFRESH);
    CDialog::OnOK();
}

void CLoupeDlg::OnCancel()
{
    KillTimer(TIMER_REFRESH);
    CDialog::OnCancel();
}

BOOL CLoupeDlg::DestroyWindow()
{
    if (m_hWnd)
        KillTimer(TIMER_REFRESH);
    return CDialog::DestroyWindow();
}

void CLoupeDlg::PostNcDestroy()
{
    // Also when the window goes with its owner at the program's end.
    delete this;
}

BOOL CLoupeDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    DrawLoupe(dc);
    return TRUE;
}

void CLoupeDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_REFRESH)
        return;
    CWindowDC dc(m_hWnd);
    DrawLoupe(dc);
}

RECT CLoupeDlg::SourceRect(POINT pt, int cx, int cy, int cxScreen, int cyScreen)
{
    RECT rc;
    rc.left = pt.x - cx / 4;
    rc.top = pt.y - cy / 4;
    rc.right = rc.left + cx / 2;
    rc.bottom = rc.top + cy / 2;
    if (rc.left < 0)
    {
        rc.right -= rc.left;
        rc.left = 0;
    }
    if (rc.right > cxScreen)
    {
        rc.left += cxScreen - rc.right;
        rc.right = cxScreen;
    }
    if (rc.top < 0)
    {
        rc.bottom -= rc.top;
        rc.top = 0;
    }
    if (rc.bottom > cyScreen)
    {
        rc.top += cyScreen - rc.bottom;
        rc.bottom = cyScreen;
    }
    return rc;
}

CString CLoupeDlg::ReadoutText(COLORREF cr)
{
    CString str;
    str.Format("%d %d %d", static_cast<int>(GetRValue(cr)), static_cast<int>(GetGValue(cr)),
               static_cast<int>(GetBValue(cr)));
    return str;
}

void CLoupeDlg::DrawLoupe(HDC hdc)
{
    CWindowDC screen(NULL);
    POINT pt = {};
    ::GetCursorPos(&pt);
    RECT rcClient;
    GetClientRect(&rcClient);
    const int cx = rcClient.right - rcClient.left;
    const int cy = rcClient.bottom - rcClient.top;
    const CString strReadout = ReadoutText(screen.GetPixel(pt.x, pt.y));

    const RECT rcSource =
        SourceRect(pt, cx, cy, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    ::StretchBlt(hdc, 0, 0, cx, cy, screen, rcSource.left, rcSource.top, rcSource.right - rcSource.left,
                 rcSource.bottom - rcSource.top, SRCCOPY);

    // Black figures with a white edge above and to the left.
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, READOUT_EDGE);
    RECT rcText = {0, cy - READOUT_HEIGHT, cx, cy};
    ::DrawTextA(hdc, strReadout, -1, &rcText, READOUT_FORMAT);
    ::SetTextColor(hdc, READOUT_FIGURES);
    rcText = {1, cy - READOUT_HEIGHT + 1, cx, cy};
    ::DrawTextA(hdc, strReadout, -1, &rcText, READOUT_FORMAT);
}
