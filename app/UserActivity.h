#ifndef GLIMWICK_APP_USERACTIVITY_H
#define GLIMWICK_APP_USERACTIVITY_H

#include <windows.h>

// What the system says about the user's moment: how long since the last
// keyboard or mouse input, and whether full-screen work is in front.
class CUserActivity
{
public:
    // Milliseconds since the last input of the session; 0 when unknown.
    static DWORD IdleMilliseconds();

    // TRUE when the shell reports presentation mode, busy or a full-screen
    // program, or when the foreground window (other than hIgnore, the
    // desktop and the shell's own windows) covers its whole monitor with
    // its client area.
    static BOOL FullScreenWork(HWND hIgnore);

    // The shell's QUERY_USER_NOTIFICATION_STATE; 0 when it gives none.
    static int ShellNotificationState();

private:
    static BOOL CoversItsMonitor(HWND hWnd);
    static BOOL IsShellWindow(HWND hWnd);
};

#endif
