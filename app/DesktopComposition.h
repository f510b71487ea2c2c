#ifndef GLIMWICK_APP_DESKTOPCOMPOSITION_H
#define GLIMWICK_APP_DESKTOPCOMPOSITION_H

#include <windows.h>

// Whether the desktop is composed from each window's own picture
// (DwmIsCompositionEnabled, looked up: older systems do not have it). There
// the screen's device context is not part of any window's picture, so what
// is drawn on it goes whenever the window below repaints.
class CDesktopComposition
{
public:
    static BOOL IsEnabled();
};

#endif
