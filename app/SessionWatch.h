#ifndef GLIMWICK_APP_SESSIONWATCH_H
#define GLIMWICK_APP_SESSIONWATCH_H

#include <windows.h>

// Asks the system to tell a window when the session is locked or unlocked
// (WM_WTSSESSION_CHANGE), and remembers what it was told. Where the system
// has no such reports, the session simply never counts as locked.
class CSessionWatch
{
public:
    CSessionWatch() = default;
    ~CSessionWatch();
    CSessionWatch(const CSessionWatch&) = delete;
    CSessionWatch& operator=(const CSessionWatch&) = delete;

    // Starts the reports to hWnd; the window must outlive Stop.
    void Start(HWND hWnd);
    void Stop();

    // Handles the wParam of a WM_WTSSESSION_CHANGE.
    void OnSessionChange(WPARAM nEvent);
    BOOL IsLocked() const { return m_bLocked; }

private:
    HWND m_hWnd = NULL;
    BOOL m_bLocked = FALSE;
};

#endif
