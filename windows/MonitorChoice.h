#ifndef GLIMWICK_WINDOWS_MONITORCHOICE_H
#define GLIMWICK_WINDOWS_MONITORCHOICE_H

#include <windows.h>

#include <vector>

// Which monitor the reminder goes to: the one where the user works, that is
// the one holding the window in front, or the pointer when no window is in
// front. With one monitor that is always the primary one.
class CMonitorChoice
{
public:
    // The place of one monitor on the virtual screen.
    struct Monitor
    {
        HMONITOR hMonitor;
        RECT rcMonitor;
    };

    // The index in layout of the monitor that holds most of *prcFront (the
    // nearest when it lies on none), or with no window in front (prcFront
    // NULL) the one under ptPointer (the nearest when it is on none); the
    // first on a tie; -1 for an empty layout.
    static int Choose(const std::vector<Monitor>& layout, const RECT* prcFront, POINT ptPointer);

    // The system's monitor where the user works now, hIgnore (the reminder
    // itself) not counting as a window in front; NULL when it cannot be
    // told.
    static HMONITOR WhereUserWorks(HWND hIgnore);

private:
    // The square of the distance between two rectangles; 0 when they touch
    // or overlap.
    static LONGLONG Distance(const RECT& rcA, const RECT& rcB);
    // The foreground window's rectangle; FALSE when nothing (or only the
    // desktop, hIgnore or a minimised window) is in front.
    static BOOL FrontRect(HWND hIgnore, RECT* prc);
};

#endif
