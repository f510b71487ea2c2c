#include "windows/AboutDlg.h"

#include "frame/DataExchange.h"
#include "frame/WindowDC.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cmath>

const char CAboutDlg::LINK_FACE[] = "ＭＳ ゴシック";
const char CAboutDlg::LINK_STYLE[] = "標準|下線";
const char CAboutDlg::MAKER_PAGE[] = "http://www.moss-hark.example/amuse/";

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_ABOUT_ICON, m_wndIcon);
    DDX_Control(pDX, IDC_ABOUT_LINK, m_wndLink);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetTimer(TIMER_PUPILS, PUPILS_PERIOD);
    m_ptPupilLeft.x = PUPIL_OFFSCREEN;
    m_ptPupilRight.x = PUPIL_OFFSCREEN;
    m_wndLink.SetLinkColor(LINK_COLOR);
    m_wndLink.SetLinkFont(LINK_FACE, LINK_POINT_SIZE, LINK_STYLE);
    m_wndLink.EnableHandCursor(TRUE);
    return TRUE;
}

BOOL CAboutDlg::DestroyWindow()
{
    if (m_hWnd)
        KillTimer(TIMER_PUPILS);
    return CDialog::DestroyWindow();
}

BOOL CAboutDlg::OnCommand(UINT nID, UINT nCode, HWND hWndControl)
{
    if (nID == IDC_ABOUT_LINK && nCode == STN_CLICKED)
    {
        OnLinkClicked();
        return TRUE;
    }
    return CDialog::OnCommand(nID, nCode, hWndControl);
}

void CAboutDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_PUPILS || !IsWindowVisible())
        return;
    POINT pt;
    if (!::GetCursorPos(&pt))
        return;
    // A still pointer leaves the pupils as they are.
    if (m_bCursorKnown && pt.x == m_ptLastCursor.x && pt.y == m_ptLastCursor.y)
        return;
    UpdatePupils(pt);
    m_ptLastCursor = pt;
    m_bCursorKnown = TRUE;
}

POINT CAboutDlg::PupilOffset(POINT ptPointer, POINT ptIcon, int nCentreX)
{
    const double dx = static_cast<double>(ptPointer.x) - (ptIcon.x + nCentreX);
    const double dy = static_cast<double>(ptPointer.y) - (ptIcon.y + EYE_Y);
    // k: the distance in units of the pupil's reach.
    const double k = std::sqrt(dx * dx + dy * dy) * (1.0 / PUPIL_REACH);
    // Within reach of the centre the pupil sits on the pointer itself.
    if (k <= 1.0)
        return {ptPointer.x - ptIcon.x, ptPointer.y - ptIcon.y};
    const double f = 1.0 / k;
    return {static_cast<LONG>(dx * f) + nCentreX, static_cast<LONG>(dy * f) + EYE_Y};
}

void CAboutDlg::UpdatePupils(POINT ptPointer)
{
    HWND hIcon = m_wndIcon.m_hWnd;
    RECT rc;
    if (!hIcon || !::GetWindowRect(hIcon, &rc))
        return;
    const POINT ptIcon = {rc.left, rc.top};

    // The icon's own context rather than the screen's: the pupils land on
    // the icon where it is visible and never on a window that covers it.
    CWindowDC dc(hIcon);
    if (!dc.GetSafeHdc())
        return;
    POINT ptOrigin = {0, 0};
    ::ClientToScreen(hIcon, &ptOrigin);
    const int x0 = ptIcon.x - ptOrigin.x;
    const int y0 = ptIcon.y - ptOrigin.y;

    dc.FillSolidRect(x0 + m_ptPupilLeft.x, y0 + m_ptPupilLeft.y, PUPIL_SIZE, PUPIL_SIZE, EYE_WHITE);
    dc.FillSolidRect(x0 + m_ptPupilRight.x, y0 + m_ptPupilRight.y, PUPIL_SIZE, PUPIL_SIZE, EYE_WHITE);
    m_ptPupilLeft = PupilOffset(ptPointer, ptIcon, EYE_LEFT_X);
    m_ptPupilRight = PupilOffset(ptPointer, ptIcon, EYE_RIGHT_X);
    dc.FillSolidRect(x0 + m_ptPupilLeft.x, y0 + m_ptPupilLeft.y, PUPIL_SIZE, PUPIL_SIZE, PUPIL_COLOR);
    dc.FillSolidRect(x0 + m_ptPupilRight.x, y0 + m_ptPupilRight.y, PUPIL_SIZE, PUPIL_SIZE, PUPIL_COLOR);
}

void CAboutDlg::OnLinkClicked()
{
    // Every click opens the page again; the box stays open.
    OpenWebPage(MAKER_PAGE);
}

void CAboutDlg::OpenWebPage(LPCSTR pszUrl)
{
    ::ShellExecuteA(NULL, "open", pszUrl, NULL, NULL, SW_SHOW);
}
