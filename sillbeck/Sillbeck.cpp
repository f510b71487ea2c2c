// The tray helper library: tells the program where the taskbar's
// notification area is. It keeps no state, so every entry is safe on any
// thread and at any time.
#include <windows.h>

extern "C" {

// Nothing needs preparing: the area is looked up afresh on every call.
int __cdecl SillbeckStart(void)
{
    return 1;
}

void __cdecl SillbeckStop(void)
{
}

// Non-zero with *prc set to the notification area in screen pixels (the
// taskbar's notify child, or the whole taskbar where it has none); zero,
// with *prc untouched, when there is no taskbar.
int __cdecl SillbeckGetTrayRect(RECT* prc)
{
    if (!prc)
        return 0;
    HWND hTray = ::FindWindowA("Shell_TrayWnd", NULL);
    if (!hTray)
        return 0;
    HWND hNotify = ::FindWindowExA(hTray, NULL, "TrayNotifyWnd", NULL);
    RECT rc;
    if (!::GetWindowRect(hNotify ? hNotify : hTray, &rc))
        return 0;
    *prc = rc;
    return 1;
}

} // extern "C"
