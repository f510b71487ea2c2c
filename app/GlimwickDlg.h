#ifndef GLIMWICK_APP_GLIMWICKDLG_H
#define GLIMWICK_APP_GLIMWICKDLG_H

#include "frame/Dialog.h"

// The hidden controller: the program's hub. It is never shown; its caption
// is the marker by which other processes find the running instance, and its
// modal loop is the program's main loop.
class CGlimwickDlg : public CDialog
{
public:
    // Timers of the controller's window.
    static constexpr UINT_PTR TIMER_ANIMATE = 100;
    static constexpr UINT_PTR TIMER_RETRY = 777;
    static constexpr UINT_PTR TIMER_TRAYWATCH = 888;
    static constexpr UINT_PTR TIMER_REMINDER = 1000;
    static constexpr UINT_PTR TIMER_HIDEBALLOON = 2000;
    static constexpr UINT ANIMATE_PERIOD = 200;
    static constexpr UINT TRAYWATCH_PERIOD = 30000;

    // The About item appended to the system menu.
    static constexpr UINT IDM_ABOUTBOX = 0x10;

    // The "Interval" index with no reminder; indices past it mean none too.
    static constexpr DWORD INTERVAL_NONE = 5;

    explicit CGlimwickDlg(CWnd* pParent = nullptr);
    ~CGlimwickDlg() override;

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Re-reads the stored interval and restarts the reminder count-down.
    void ApplyInterval();

    // The reminder period of an "Interval" index in milliseconds; 0 for none.
    static UINT ReminderPeriod(DWORD nIndex);

protected:
    BOOL OnCommand(UINT nID);
    void OnTrackerStart();
    void OnTrackerStop();
    void OnTrayReport(WPARAM wParam, LPARAM lParam);
    void OnPaintIconic();

    RECT m_rcTrayArea = {};
    RECT m_rcReported = {};
    RECT m_rcIcon = {};
    int m_bTrackerStarted = 0;
    int m_bIconFound = FALSE;
    int m_nDozeStage = 0;
    int m_nStillTicks = 0;
    POINT m_ptLastCursor = {};
    HICON m_hIcon;
};

#endif
