// The tray helper library: tells the program where the taskbar's
// notification area is. Its only state is whether it has already told the
// calling process's controller where the area lies.
#include "res/Protocol.h"

#include <windows.h>

namespace
{
// Set once the controller of this process has been sent its first report.
LONG s_nReported = 0;

// The marker window of this process: another instance's never counts.
HWND OwnController()
{
    const DWORD dwOwnProcess = ::GetCurrentProcessId();
    for (HWND hWnd = ::FindWindowExA(NULL, NULL, NULL, GLIMWICK_MARKER_TITLE); hWnd;
         hWnd = ::FindWindowExA(NULL, hWnd, NULL, GLIMWICK_MARKER_TITLE))
    {
        DWORD dwProcess = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcess);
        if (dwProcess == dwOwnProcess)
            return hWnd;
    }
    return NULL;
}
} // namespace

extern "C" {

int __cdecl SillbeckGetTrayRect(RECT* prc);

// Tells the own controller where the notification area is, once per
// process, so that it looks for its icon at once instead of at its first
// watch tick. Only the first report that reaches the controller counts: the
// starts that follow every search must not start another one, but a start
// that could not read the area or post leaves the report to the next.
int __cdecl SillbeckStart(void)
{
    HWND hController = OwnController();
    RECT rc;
    if (hController && SillbeckGetTrayRect(&rc) && ::InterlockedExchange(&s_nReported, 1) == 0 &&
        !::PostMessageA(hController, WM_GLIMWICK_TRAY_REPORT, TrayReportWParam(rc), TrayReportLParam(rc)))
        ::InterlockedExchange(&s_nReported, 0);
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
