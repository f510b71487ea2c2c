#ifndef GLIMWICK_APP_TRAYICON_H
#define GLIMWICK_APP_TRAYICON_H

#include "frame/Menu.h"
#include "frame/Static.h"
#include "frame/String.h"
#include "res/Protocol.h"

// The program's one icon in the taskbar's notification area: adds, changes
// and removes it, shows its tooltip, opens its menu on a right click,
// forwards the menu's commands and the icon's mouse messages to the parent,
// and brings the icon back when the taskbar is re-created. Its hidden child
// window is the one the shell notifies.
class CTrayIcon : public CStatic, public CMenu
{
public:
    // The icon's identifier, and the message the shell notifies it with.
    static constexpr UINT TRAY_ICON_ID = GLIMWICK_TRAY_ICON_ID;
    static constexpr UINT WM_TRAY_NOTIFY = WM_GLIMWICK_TRAY_NOTIFY;
    // The tooltip reaches the shell cut to 127 characters.
    static constexpr int TIP_LIMIT = 128;

    CTrayIcon() = default;
    ~CTrayIcon() override;

    // FALSE when the window exists already, the parent is NULL, the menu is
    // missing or the window cannot be created; the object is then left not
    // created.
    BOOL CreateTray(CWnd* pParent, UINT nMenuId, HICON hIcon, BOOL bShow, UINT nTag);
    // The shell's answer; FALSE also when the taskbar is missing or the icon
    // is hidden (an icon set while hidden is kept for the next show).
    BOOL ShowTrayIcon(BOOL bShow);
    BOOL SetTrayIcon(HICON hIcon);
    BOOL SetTooltipText(LPCSTR pszTip);
    BOOL NotifyShell(DWORD dwAction);

    // Where the shell shows the icon (Shell_NotifyIconGetRect, looked up:
    // older systems do not have it); E_NOTIMPL where it cannot tell, and
    // E_FAIL while the icon is not in the notification area.
    HRESULT GetShellRect(RECT* prc) const;

    // The tooltip the shell gets now; NULL for none.
    LPCSTR CurrentTip() const;

    BOOL IsAdded() const { return m_bAdded; }
    BOOL IsBusy() const { return m_bBusy; }
    HICON GetTrayIcon() const { return m_hTrayIcon; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

protected:
    void OnDestroy();
    LRESULT OnTaskbarCreated();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    // The menu's commands go on to the parent.
    BOOL OnCommand(UINT nID, UINT nCode, HWND hWndControl) override;
    // Sends the parent a message with the busy tooltip shown meanwhile.
    void Forward(UINT message, WPARAM wParam, LPARAM lParam);

    CWnd* m_pParent = nullptr;
    UINT m_nTag = 0;
    UINT m_nMenuId = 0;
    HICON m_hTrayIcon = NULL;
    BOOL m_bBusy = FALSE;
    // TRUE while the parent handles a forwarded message: only then is a
    // click refused. Within the rest of the busy bracket (the tooltip's shell
    // calls, inside which the shell's notifications arrive as sent messages)
    // a click is put off until the bracket is over.
    BOOL m_bForwarding = FALSE;
    BOOL m_bAdded = FALSE;
    BOOL m_bHidden = TRUE;
    CString m_strTip;
    CMenu m_menu;

private:
    static LRESULT CALLBACK SubstituteProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

#endif
