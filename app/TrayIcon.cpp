#include "app/TrayIcon.h"

#include "app/TrayParentTable.h"
#include "frame/WinApp.h"

#include <shellapi.h>

namespace
{
const char kDefaultTip[] = "右クリックでメニュー表示";
const char kBusyTip[] = "コマンド処理中のためメニュー表示できません";

UINT s_nTaskbarCreated = 0;
UINT s_nNotifyTaskbarCreated = 0;

typedef HRESULT(WINAPI* GetIconRectFn)(const NOTIFYICONIDENTIFIER*, RECT*);

BOOL TaskbarExists()
{
    return ::FindWindowA("Shell_TrayWnd", NULL) != NULL;
}
} // namespace

CTrayIcon::~CTrayIcon()
{
    // Destroyed here, while the object is still a tray icon, so that its
    // WM_DESTROY removes the icon and gives the parent its procedure back.
    if (m_hWnd)
        DestroyWindow();
    if (m_menu.GetSafeHmenu())
        CMenu::Detach();
}

BOOL CTrayIcon::CreateTray(CWnd* pParent, UINT nMenuId, HICON hIcon, BOOL bShow, UINT nTag)
{
    if (m_hWnd || !pParent)
        return FALSE;
    m_pParent = pParent;
    m_nTag = nTag;
    m_nMenuId = nMenuId;
    m_hTrayIcon = hIcon;
    m_bBusy = m_bAdded = FALSE;

    if (nMenuId)
    {
        if (!m_menu.LoadMenu(nMenuId))
        {
            m_pParent = nullptr;
            return FALSE;
        }
        if (!CMenu::Attach(m_menu.GetSubMenu(0)))
        {
            m_menu.DestroyMenu();
            m_pParent = nullptr;
            return FALSE;
        }
    }

    const RECT rcNone = {0, 0, 0, 0};
    if (!Create("", WS_CHILD | SS_USERITEM, rcNone, pParent, TRAY_ICON_ID))
    {
        CMenu::Detach();
        m_menu.DestroyMenu();
        m_pParent = nullptr;
        return FALSE;
    }
    m_strTip = kDefaultTip;

    s_nTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    s_nNotifyTaskbarCreated = ::RegisterWindowMessageA("NotifyTaskbarCreated");

    HWND hParent = pParent->m_hWnd;
    const WNDPROC pfnPrevious = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hParent, GWLP_WNDPROC));
    if (CTrayParentTable::Register(hParent, pfnPrevious, m_hWnd) && pfnPrevious != SubstituteProc)
        ::SetWindowLongPtrA(hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubstituteProc));

    if (bShow)
    {
        m_bHidden = FALSE;
        NotifyShell(NIM_ADD);
    }
    return TRUE;
}

void CTrayIcon::PreSubclassWindow()
{
    ::ShowWindow(m_hWnd, SW_HIDE);
    NotifyShell(NIM_ADD);
}

BOOL CTrayIcon::NotifyShell(DWORD dwAction)
{
    if (!m_pParent)
        return FALSE;

    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = TRAY_ICON_ID;
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = WM_TRAY_NOTIFY;
    nid.hIcon = m_hTrayIcon;
    CWnd* pMain = AfxGetMainWnd();
    // Only the main window's own thread may ask it: the search's worker
    // calls here while the main thread waits for it and answers nothing.
    if (!nid.hIcon && pMain && pMain->m_hWnd &&
        ::GetWindowThreadProcessId(pMain->m_hWnd, NULL) == ::GetCurrentThreadId())
        nid.hIcon = reinterpret_cast<HICON>(pMain->SendMessage(WM_GETICON, ICON_SMALL));

    if (LPCSTR pszTip = CurrentTip())
    {
        ::lstrcpynA(nid.szTip, pszTip, TIP_LIMIT);
        nid.uFlags |= NIF_TIP;
    }

    if (dwAction == NIM_MODIFY && !m_bAdded)
        dwAction = NIM_ADD;
    else if (dwAction == NIM_ADD && m_bAdded)
        dwAction = NIM_MODIFY;

    BOOL bResult = FALSE;
    if (TaskbarExists() && (dwAction == NIM_DELETE || !m_bHidden))
        bResult = ::Shell_NotifyIconA(dwAction, &nid);

    if (dwAction == NIM_DELETE)
        m_bAdded = FALSE;
    else
        m_bAdded = bResult;
    return bResult;
}

HRESULT CTrayIcon::GetShellRect(RECT* prc) const
{
    if (!m_bAdded || !prc)
        return E_FAIL;
    const auto pfnGetRect = reinterpret_cast<GetIconRectFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("shell32.dll"), "Shell_NotifyIconGetRect")));
    if (!pfnGetRect)
        return E_NOTIMPL;
    NOTIFYICONIDENTIFIER nii = {};
    nii.cbSize = sizeof nii;
    nii.hWnd = m_hWnd;
    nii.uID = TRAY_ICON_ID;
    return pfnGetRect(&nii, prc);
}

LPCSTR CTrayIcon::CurrentTip() const
{
    if (m_bBusy)
        return kBusyTip;
    if (!m_strTip.IsEmpty())
        return m_strTip;
    if (m_nMenuId)
        return kDefaultTip;
    return nullptr;
}

BOOL CTrayIcon::ShowTrayIcon(BOOL bShow)
{
    m_bHidden = !bShow;
    return NotifyShell(bShow ? NIM_ADD : NIM_DELETE);
}

BOOL CTrayIcon::SetTrayIcon(HICON hIcon)
{
    m_hTrayIcon = hIcon;
    return NotifyShell(NIM_MODIFY);
}

BOOL CTrayIcon::SetTooltipText(LPCSTR pszTip)
{
    m_strTip = pszTip;
    return NotifyShell(NIM_MODIFY);
}

LRESULT CTrayIcon::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == s_nTaskbarCreated && message != 0)
        return OnTaskbarCreated();
    switch (message)
    {
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_DESTROY:
    {
        const LRESULT lResult = CStatic::WindowProc(message, wParam, lParam);
        OnDestroy();
        return lResult;
    }
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CTrayIcon::OnCommand(UINT nID, UINT nCode, HWND)
{
    Forward(WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
    // A menu command is answered 1, not 0.
    SetMessageResult(1);
    return TRUE;
}

void CTrayIcon::Forward(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_bBusy = TRUE;
    NotifyShell(NIM_MODIFY);
    if (m_pParent)
    {
        m_bForwarding = TRUE;
        m_pParent->SendMessage(message, wParam, lParam);
        m_bForwarding = FALSE;
    }
    m_bBusy = FALSE;
    NotifyShell(NIM_MODIFY);
}

LRESULT CTrayIcon::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    if (m_bBusy)
    {
        if (!m_bForwarding)
            PostMessage(WM_TRAY_NOTIFY, wParam, lParam);
        return 1;
    }
    const WPARAM wTag = MAKEWPARAM(0, m_nTag);
    POINT pt = {};
    switch (static_cast<UINT>(lParam))
    {
    case WM_RBUTTONUP:
        ::GetCursorPos(&pt);
        if (m_hMenu)
        {
            if (m_pParent)
                m_pParent->SendMessage(WM_COMMAND, m_nTag, 0);
            if (m_pParent)
                ::SetForegroundWindow(m_pParent->m_hWnd);
            TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RIGHTALIGN, pt.x, pt.y, m_hWnd);
            PostMessage(WM_NULL);
        }
        else
        {
            Forward(WM_RBUTTONUP, wTag, 0);
        }
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::GetCursorPos(&pt);
        Forward(static_cast<UINT>(lParam), wTag + 1, MAKELPARAM(pt.x, pt.y));
        return 1;
    case WM_LBUTTONUP:
        ::GetCursorPos(&pt);
        Forward(WM_LBUTTONUP, wTag, MAKELPARAM(pt.x, pt.y));
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        ::GetCursorPos(&pt);
        Forward(static_cast<UINT>(lParam), wTag + 2, MAKELPARAM(pt.x, pt.y));
        return 1;
    }
    return DefWindowProc(WM_TRAY_NOTIFY, wParam, lParam);
}

LRESULT CTrayIcon::OnTaskbarCreated()
{
    if (!m_bAdded)
        return 0;
    if (!TaskbarExists())
    {
        m_bAdded = FALSE;
        return 0;
    }
    m_bHidden = TRUE;
    NotifyShell(NIM_DELETE);
    m_bHidden = FALSE;
    NotifyShell(NIM_ADD);
    if (m_pParent)
        m_pParent->PostMessage(s_nNotifyTaskbarCreated, MAKEWPARAM(0, m_nTag), 0);
    return 0;
}

void CTrayIcon::OnDestroy()
{
    if (!m_pParent)
        return;
    NotifyShell(NIM_DELETE);
    HWND hParent = m_pParent->m_hWnd;
    WNDPROC pfnPrevious = NULL;
    if (CTrayParentTable::Remove(hParent, &pfnPrevious) && pfnPrevious)
        ::SetWindowLongPtrA(hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnPrevious));
    m_pParent = nullptr;
}

LRESULT CALLBACK CTrayIcon::SubstituteProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC pfnPrevious = NULL;
    HWND hTray = NULL;
    CTrayParentTable::Lookup(hWnd, &pfnPrevious, &hTray);
    if (message == s_nTaskbarCreated && message != 0 && hTray)
        ::PostMessageA(hTray, message, wParam, lParam);
    if (!pfnPrevious)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return ::CallWindowProcA(pfnPrevious, hWnd, message, wParam, lParam);
}
