#ifndef GLIMWICK_APP_GLIMWICKDLG_H
#define GLIMWICK_APP_GLIMWICKDLG_H

#include "app/CallWatch.h"
#include "app/PupilIcon.h"
#include "app/ReminderGate.h"
#include "app/SearchBackoff.h"
#include "app/SessionWatch.h"
#include "app/TrayIcon.h"
#include "frame/Dialog.h"
#include "frame/String.h"
#include "res/Protocol.h"
#include "store/Policies.h"
#include "windows/BalloonDlg.h"

// The hidden controller: the program's hub. It is never shown; its caption
// is the marker by which other processes find the running instance, and its
// modal loop is the program's main loop. It owns the tray icon, finds the
// icon on screen and animates the eyes in it.
class CGlimwickDlg : public CDialog
{
    // The search's worker shows the markers through ShowFrame.
    friend class CIconSearch;

public:
    // Timers of the controller's window.
    static constexpr UINT_PTR TIMER_ANIMATE = 100;
    static constexpr UINT_PTR TIMER_RETRY = 777;
    static constexpr UINT_PTR TIMER_TRAYWATCH = 888;
    static constexpr UINT_PTR TIMER_REMINDER = GLIMWICK_TIMER_REMINDER;
    static constexpr UINT_PTR TIMER_HIDEBALLOON = 2000;
    static constexpr UINT ANIMATE_PERIOD = 200;
    static constexpr UINT HIDEBALLOON_PERIOD = 10000;
    static constexpr UINT TRAYWATCH_PERIOD = 30000;
    // A look at the user's moment: the end of full-screen work, of a break
    // and of a pause.
    static constexpr UINT_PTR TIMER_MOMENT = 3000;
    static constexpr UINT MOMENT_PERIOD = 2000;

    // The About item appended to the system menu.
    static constexpr UINT IDM_ABOUTBOX = 0x10;
    // The bits of a system command that name it; the low four are the system's.
    static constexpr WPARAM SYSCOMMAND_MASK = 0xFFF0;

    // Positions in m_hFrames.
    enum Frame
    {
        FRAME_OPEN = 0,       // open eyes, pupils painted by the program
        FRAME_SHUT = 1,       // the blink
        FRAME_STARE = 2,      // doze stage 1; stage s shows frame s + 1
        FRAME_ASLEEP = 9,     // eyes shut, stage 8
        FRAME_STARTLED = 16,
        FRAME_MARKER_A = 17,
        FRAME_MARKER_B = 18,
        FRAME_COUNT = 19,
    };

    // The pupils' x offset after a search, far off screen.
    static constexpr LONG PUPIL_OFFSCREEN = -100000;

    // Worker results of a search.
    static constexpr UINT SEARCH_NOT_FOUND = 0;
    static constexpr UINT SEARCH_FOUND = 1;
    // How the waiting side polls the worker.
    static constexpr int SEARCH_POLLS = 20;
    static constexpr DWORD SEARCH_POLL_MS = 1000;

    explicit CGlimwickDlg(CWnd* pParent = nullptr);
    ~CGlimwickDlg() override;

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Re-reads the interval in force (a policy's or the stored one) and
    // restarts the reminder count-down.
    void ApplyInterval();
    // The system announced changed settings; pszArea names which (NULL: any).
    void OnSettingChange(LPCSTR pszArea);
    // Shows the message in force (or the default one) for ten seconds.
    void ShowReminder();
    // One blocking search for the icon on screen; TRUE when found.
    BOOL StartIconSearch();
    void AnimateTick();

    // Where a pupil goes for the pointer at ptCursor: its offset from the
    // icon rectangle's top-left corner, for the eye centred at ptEye, whose
    // resting offset has the x nBaseX; dy is measured from the left eye.
    static POINT PupilOffset(POINT ptCursor, POINT ptEye, int nDy, int nBaseX);

protected:
    BOOL OnCommand(UINT nID, UINT nCode, HWND hWndControl) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnSysCommand(UINT nID, LPARAM lParam) override;
    BOOL OnPaint() override;
    // The commands of the tray menu and of other processes; TRUE when done.
    BOOL OnMenuCommand(UINT nID);
    void OnTrayWatch();
    void OnLoupe();
    void OnSettings();
    void OnAbout();
    void OnTrackerStart();
    void OnTrackerStop();
    void OnTrayReport(WPARAM wParam, LPARAM lParam);
    void OnPaintIconic();

    // The reminder timer fell due: show, hold or drop (GlimwickDlgMoment).
    void OnReminderDue();
    // What the system says of the user's moment now.
    CReminderGate::Moment ReadMoment();
    void OnMomentTick();
    // Starts the count-down of the next reminder afresh, if there is one.
    void RestartReminder();
    // A request of another process; TRUE when done.
    BOOL OnCopyData(HWND hFrom, const COPYDATASTRUCT* pData) override;
    // The status as key=value lines.
    CString StatusText() const;

    // TRUE when it showed a doze frame (the tick is then over).
    BOOL DozeStep();
    void DrawPupils();
    // Every change of the tray image to a frame goes through here.
    virtual void ShowFrame(int nFrame);
    // Whether the desktop is composed: the pupils then go into the icon.
    // Asked when the eyes start and when the system says it changed.
    virtual BOOL IsDesktopComposed();
    void OnCompositionChanged();
    // Where the shell shows the icon, as Shell_NotifyIconGetRect answers.
    virtual HRESULT ShellIconRect(RECT* prc);

    // The worker's procedure; its argument is the CIconSearch it works on.
    static UINT __cdecl SearchTrayIcon(LPVOID pParam);
    // Starts the worker and waits for it; its exit code or SEARCH_NOT_FOUND.
    UINT RunSearchWorker();
    void OnSearchFound();
    void OnSearchNotFound();

    CBalloonDlg m_wndBalloon;
    CTrayIcon m_trayIcon;
    RECT m_rcTrayArea = {};
    RECT m_rcReported = {};
    RECT m_rcIcon = {};
    HICON m_hIconIdle = NULL;
    HICON m_hFrames[FRAME_COUNT] = {};
    int m_bTrackerStarted = 0;
    int m_bIconFound = FALSE;
    int m_nDozeStage = 0;
    int m_nStillTicks = 0;
    POINT m_ptEyeLeft = {};
    POINT m_ptEyeRight = {};
    POINT m_ptPupilLeft = {};
    POINT m_ptPupilRight = {};
    POINT m_ptLastCursor = {};
    HICON m_hIcon;
    // TRUE while StartIconSearch runs.
    BOOL m_bSearching = FALSE;
    // When to search again for an icon that was not found.
    CSearchBackoff m_backoff;
    // The open eyes with their pupils, on a composed desktop.
    BOOL m_bComposed = FALSE;
    CPupilIcon m_pupilIcon;
    CReminderGate m_gate;
    CSessionWatch m_session;
    CCallWatch m_call;
    // An administrator's settings over the user's; read at start, at
    // reload and when the system announces changed policies.
    CPolicies m_policies;

    // Awake ticks of the whole process; starts at 2, never reset.
    static int s_nBlinkCounter;
};

#endif
