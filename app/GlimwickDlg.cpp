#include "app/GlimwickDlg.h"

#include "app/TrayLibrary.h"
#include "diag/Log.h"
#include "frame/Ime.h"
#include "frame/PaintDC.h"
#include "frame/String.h"
#include "frame/WinApp.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/StoredSettings.h"
#include "windows/AboutDlg.h"
#include "windows/AdviceDlg.h"
#include "windows/LoupeDlg.h"
#include "windows/SettingsDlg.h"

namespace
{
// The group icons of m_hFrames, in frame order.
const UINT kFrameIcons[CGlimwickDlg::FRAME_COUNT] = {
    IDI_EYE_OPEN,     IDI_EYE_SHUT,     IDI_EYE_STARE,    IDI_EYE_LID1,     IDI_EYE_LID2,
    IDI_EYE_LID3,     IDI_EYE_LID4,     IDI_EYE_LID5,     IDI_EYE_LID6,     IDI_EYE_SLEEP,
    IDI_EYE_BUBBLE1,  IDI_EYE_BUBBLE2,  IDI_EYE_BUBBLE3,  IDI_EYE_BUBBLE4,  IDI_EYE_BUBBLE5,
    IDI_EYE_BUBBLE6,  IDI_EYE_STARTLED, IDI_MARKER_A,     IDI_MARKER_B,
};

} // namespace

CGlimwickDlg::CGlimwickDlg(CWnd* pParent)
    : CDialog(IDD_GLIMWICK_DIALOG, pParent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

CGlimwickDlg::~CGlimwickDlg()
{
    SillbeckStop();
    m_bTrackerStarted = 0;
    if (m_hWnd)
        KillTimer(TIMER_ANIMATE);
}

BOOL CGlimwickDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    WINNLSEnableIME(m_hWnd, FALSE);

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu)
    {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty())
        {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, NULL);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    HINSTANCE hInst = AfxGetResourceHandle();
    m_hIconIdle = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(IDI_IDLE), IMAGE_ICON, 16, 16, LR_SHARED));
    for (int i = 0; i < FRAME_COUNT; ++i)
        m_hFrames[i] = static_cast<HICON>(
            ::LoadImageA(hInst, MAKEINTRESOURCEA(kFrameIcons[i]), IMAGE_ICON, 16, 16, LR_SHARED));

    m_bTrackerStarted = 0;
    m_bIconFound = FALSE;
    m_nDozeStage = 0;
    m_nStillTicks = 0;

    m_trayIcon.CreateTray(this, IDR_TRAYMENU, m_hIconIdle, TRUE, 0);
    m_wndBalloon.Create(IDD_BALLOON, this);
    m_trayIcon.SetTrayIcon(m_hIconIdle);
    SetTimer(TIMER_TRAYWATCH, TRAYWATCH_PERIOD);
    SetTimer(TIMER_MOMENT, MOMENT_PERIOD);
    m_session.Start(m_hWnd);
    OnTrackerStart();
    m_policies.Read();
    ApplyInterval();
    return TRUE;
}

BOOL CGlimwickDlg::DestroyWindow()
{
    static const UINT_PTR kTimers[] = {
        TIMER_ANIMATE, TIMER_RETRY, TIMER_TRAYWATCH, TIMER_HIDEBALLOON, TIMER_REMINDER, TIMER_MOMENT,
    };
    if (m_hWnd)
    {
        for (UINT_PTR nTimer : kTimers)
            KillTimer(nTimer);
    }
    m_session.Stop();
    m_trayIcon.ShowTrayIcon(FALSE);
    if (m_wndBalloon.m_hWnd)
    {
        m_wndBalloon.ShowWindow(SW_HIDE);
        m_wndBalloon.DestroyWindow();
    }
    return CDialog::DestroyWindow();
}

LRESULT CGlimwickDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_GLIMWICK_TRAY_REPORT:
        OnTrayReport(wParam, lParam);
        break;
    case WM_WTSSESSION_CHANGE:
        m_session.OnSessionChange(wParam);
        break;
    case WM_SETTINGCHANGE:
        OnSettingChange(reinterpret_cast<LPCSTR>(lParam));
        break;
    case WM_DWMCOMPOSITIONCHANGED:
        OnCompositionChanged();
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CGlimwickDlg::OnCommand(UINT nID, UINT nCode, HWND hWndControl)
{
    if (nCode == 0 && OnMenuCommand(nID))
        return TRUE;
    return CDialog::OnCommand(nID, nCode, hWndControl);
}

BOOL CGlimwickDlg::OnSysCommand(UINT nID, LPARAM)
{
    // The low four bits of a system command belong to the system.
    if ((nID & SYSCOMMAND_MASK) != IDM_ABOUTBOX)
        return FALSE;
    OnAbout();
    return TRUE;
}

BOOL CGlimwickDlg::OnPaint()
{
    if (!IsIconic())
        return FALSE;
    OnPaintIconic();
    return TRUE;
}

BOOL CGlimwickDlg::OnMenuCommand(UINT nID)
{
    switch (nID)
    {
    case IDC_RELOAD_INTERVAL:
        m_policies.Read();
        ApplyInterval();
        return TRUE;
    case IDC_TRACKER_START:
        OnTrackerStart();
        return TRUE;
    case IDC_TRACKER_STOP:
        OnTrackerStop();
        return TRUE;
    case ID_MENU_SETTINGS:
        OnSettings();
        return TRUE;
    case ID_MENU_LOUPE:
        OnLoupe();
        return TRUE;
    case ID_MENU_ABOUT:
        OnAbout();
        return TRUE;
    case ID_MENU_ADVICE:
    {
        CAdviceDlg dlg;
        dlg.DoModal();
        return TRUE;
    }
    }
    return FALSE;
}

void CGlimwickDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case TIMER_ANIMATE:
        AnimateTick();
        break;
    case TIMER_RETRY:
        KillTimer(TIMER_RETRY);
        WriteLog("FEILD FIND\n");
        StartIconSearch();
        break;
    case TIMER_TRAYWATCH:
        OnTrayWatch();
        break;
    case TIMER_REMINDER:
        OnReminderDue();
        break;
    case TIMER_MOMENT:
        OnMomentTick();
        break;
    case TIMER_HIDEBALLOON:
        KillTimer(TIMER_HIDEBALLOON);
        m_wndBalloon.ShowWindow(SW_HIDE);
        break;
    }
}

void CGlimwickDlg::OnTrayWatch()
{
    RECT rc;
    if (!SillbeckGetTrayRect(&rc))
        return;
    // The worker stores the new rectangle and a failed search empties it;
    // the area that search scanned in vain is left to the retries.
    if (!::EqualRect(&rc, &m_rcTrayArea) && m_backoff.IsNewArea(rc))
    {
        WriteLog("TRAY MOVE FIND\n");
        m_backoff.Reset();
        StartIconSearch();
    }
}

void CGlimwickDlg::OnSettings()
{
    KillTimer(TIMER_REMINDER);
    m_gate.Armed(0, ::GetTickCount64());
    m_wndBalloon.ShowWindow(SW_HIDE);
    CSettingsDlg dlg(m_policies);
    dlg.DoModal();
    // Whatever the answer, the count-down starts again from the value in force.
    ApplyInterval();
}

void CGlimwickDlg::OnLoupe()
{
    // Every use opens one more; each deletes itself when closed.
    CLoupeDlg* pLoupe = new CLoupeDlg;
    if (!pLoupe->Create(IDD_LOUPE, this))
        delete pLoupe;
}

void CGlimwickDlg::OnAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CGlimwickDlg::OnTrackerStart()
{
    m_bTrackerStarted = SillbeckStart();
    if (m_bTrackerStarted)
        SetTimer(TIMER_ANIMATE, ANIMATE_PERIOD);
}

void CGlimwickDlg::OnTrackerStop()
{
    SillbeckStop();
    m_bTrackerStarted = 0;
    if (m_hWnd)
        KillTimer(TIMER_ANIMATE);
}

void CGlimwickDlg::OnTrayReport(WPARAM wParam, LPARAM lParam)
{
    const RECT rc = TrayReportRect(wParam, lParam);
    if (!::EqualRect(&rc, &m_rcReported))
    {
        m_rcReported = rc;
        WriteLog("WM_APP FIND\n");
        m_backoff.Reset();
        StartIconSearch();
    }
}

void CGlimwickDlg::ApplyInterval()
{
    const UINT nPeriod = CStoredSettings::ReminderPeriod(m_policies.Interval());
    KillTimer(TIMER_REMINDER);
    if (nPeriod)
        SetTimer(TIMER_REMINDER, nPeriod);
    m_gate.Armed(nPeriod, ::GetTickCount64());
}

void CGlimwickDlg::ShowReminder()
{
    m_wndBalloon.SetMessageText(m_policies.MessageToShow());
    // Topmost, but without taking the focus from what the user is doing.
    m_wndBalloon.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetTimer(TIMER_HIDEBALLOON, HIDEBALLOON_PERIOD);
}

void CGlimwickDlg::OnPaintIconic()
{
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rc;
    GetClientRect(&rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}
