#ifndef GLIMWICK_APP_REMINDERGATE_H
#define GLIMWICK_APP_REMINDERGATE_H

#include "res/Protocol.h"

#include <windows.h>

// Decides, for the controller, whether a reminder that falls due is shown
// now, held until full-screen work ends, or dropped because the user is on a
// break or asked for a pause. It keeps no timers and reads nothing from the
// system: the controller hands it the time (milliseconds of
// GetTickCount64), the idle time and what is in front, and carries out the
// answers with its own timers.
class CReminderGate
{
public:
    // This long without keyboard or mouse input counts as a break.
    static constexpr DWORD REST_IDLE_MS = 5 * 60 * 1000;
    static constexpr UINT PAUSE_MIN_MINUTES = GLIMWICK_PAUSE_MIN_MINUTES;
    static constexpr UINT PAUSE_MAX_MINUTES = GLIMWICK_PAUSE_MAX_MINUTES;

    enum Due
    {
        DUE_SHOW, // show it now
        DUE_HOLD, // full-screen work: wait for it to end (log it)
        DUE_DROP, // paused, on a break, or one is already held
    };

    enum Tick
    {
        TICK_NONE,
        TICK_SHOW_HELD, // the held reminder may show now (log it)
        TICK_RESTART,   // a pause or a break ended: count a full interval from now
    };

    // Whether an idle time (and the session's lock) make a break.
    static BOOL IsRest(DWORD dwIdleMs, BOOL bLocked);

    // The reminder timer was armed at tNow with nPeriod ms; 0: it is off.
    void Armed(UINT nPeriod, ULONGLONG tNow);
    UINT Period() const { return m_nPeriod; }

    // A reminder fell due at tNow; bBusy: full-screen work is in front.
    Due OnDue(ULONGLONG tNow, BOOL bBusy);
    // The regular look at the user: idle time, lock and what is in front.
    Tick OnTick(ULONGLONG tNow, DWORD dwIdleMs, BOOL bLocked, BOOL bBusy);

    // No reminder for nMinutes from tNow; a held one is dropped. FALSE for
    // a number of minutes out of range.
    BOOL Pause(UINT nMinutes, ULONGLONG tNow);
    // Ends a pause at once; TRUE when there was one to end (the count-down
    // then starts again).
    BOOL Resume(ULONGLONG tNow);

    BOOL IsHeld() const { return m_bHeld; }
    BOOL IsResting() const { return m_bResting; }
    BOOL IsPaused(ULONGLONG tNow) const { return m_tPauseEnd > tNow; }
    // Seconds left of a pause, rounded up; 0 when not paused.
    ULONGLONG PauseLeftSeconds(ULONGLONG tNow) const;
    // Seconds until the next reminder, rounded up; -1 when none will come
    // (no interval, or on a break until input resumes).
    LONGLONG NextSeconds(ULONGLONG tNow) const;

private:
    UINT m_nPeriod = 0;
    ULONGLONG m_tArmed = 0;
    ULONGLONG m_tPauseEnd = 0; // 0: no pause to end
    BOOL m_bHeld = FALSE;
    BOOL m_bResting = FALSE;
};

#endif
