#include "app/UserActivity.h"

#include <shellapi.h>

namespace
{
// The shell's notification states (Windows Vista and later) that mean the
// user is presenting or something runs full-screen.
const int kBusyStates[] = {QUNS_BUSY, QUNS_RUNNING_D3D_FULL_SCREEN, QUNS_PRESENTATION_MODE};

typedef HRESULT(WINAPI* QueryNotificationStateFn)(QUERY_USER_NOTIFICATION_STATE*);

const char kTaskbarClass[] = "Shell_TrayWnd";
} // namespace

DWORD CUserActivity::IdleMilliseconds()
{
    LASTINPUTINFO lii = {sizeof lii, 0};
    if (!::GetLastInputInfo(&lii))
        return 0;
    // Both are 32-bit tick counts: the difference is right across a wrap.
    return ::GetTickCount() - lii.dwTime;
}

BOOL CUserActivity::FullScreenWork(HWND hIgnore)
{
    const int nState = ShellNotificationState();
    for (int nBusy : kBusyStates)
    {
        if (nState == nBusy)
            return TRUE;
    }
    HWND hWnd = ::GetForegroundWindow();
    if (!hWnd || hWnd == hIgnore || IsShellWindow(hWnd))
        return FALSE;
    return CoversItsMonitor(hWnd);
}

int CUserActivity::ShellNotificationState()
{
    // Looked up, not imported: older systems do not have it.
    HMODULE hShell = ::GetModuleHandleA("shell32.dll");
    if (!hShell)
        hShell = ::LoadLibraryA("shell32.dll");
    if (!hShell)
        return 0;
    const auto pfnQuery = reinterpret_cast<QueryNotificationStateFn>(
        reinterpret_cast<void*>(::GetProcAddress(hShell, "SHQueryUserNotificationState")));
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (!pfnQuery || FAILED(pfnQuery(&state)))
        return 0;
    return state;
}

BOOL CUserActivity::CoversItsMonitor(HWND hWnd)
{
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd))
        return FALSE;
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (!::GetMonitorInfoA(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi))
        return FALSE;
    // The client area, so a maximised window with its caption does not
    // count even where the taskbar hides itself.
    RECT rc;
    if (!::GetClientRect(hWnd, &rc))
        return FALSE;
    ::MapWindowPoints(hWnd, NULL, reinterpret_cast<POINT*>(&rc), 2);
    return rc.left <= mi.rcMonitor.left && rc.top <= mi.rcMonitor.top && rc.right >= mi.rcMonitor.right &&
           rc.bottom >= mi.rcMonitor.bottom;
}

BOOL CUserActivity::IsShellWindow(HWND hWnd)
{
    if (hWnd == ::GetDesktopWindow() || hWnd == ::GetShellWindow())
        return TRUE;
    // Every window of the shell's process: the desktop, the taskbar and
    // their pop-ups.
    DWORD dwPid = 0;
    ::GetWindowThreadProcessId(hWnd, &dwPid);
    const HWND shellWindows[] = {::GetShellWindow(), ::FindWindowA(kTaskbarClass, NULL)};
    for (HWND hShell : shellWindows)
    {
        DWORD dwShellPid = 0;
        if (hShell && ::GetWindowThreadProcessId(hShell, &dwShellPid) && dwShellPid == dwPid)
            return TRUE;
    }
    return FALSE;
}
