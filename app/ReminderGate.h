#ifndef GLIMWICK_APP_REMINDERGATE_H
#define GLIMWICK_APP_REMINDERGATE_H

#include "res/Protocol.h"

#include <windows.h>

// Decides, for the controller, whether a reminder that falls due is shown
// now, held until the moment that holds it ends, or dropped because the
// user is on a break or asked for a pause. It keeps no timers and reads
// nothing from the system: the controller hands it the time (milliseconds
// of GetTickCount64), the idle time and what the system says of the moment,
// and carries out the answers with its own timers.
class CReminderGate
{
public:
    // This long without keyboard or mouse input counts as a break.
    static constexpr DWORD REST_IDLE_MS = 5 * 60 * 1000;
    static constexpr UINT PAUSE_MIN_MINUTES = GLIMWICK_PAUSE_MIN_MINUTES;
    static constexpr UINT PAUSE_MAX_MINUTES = GLIMWICK_PAUSE_MAX_MINUTES;

    // Why a reminder waits, the strongest first when several hold it.
    enum Hold
    {
        HOLD_NONE,
        HOLD_FULLSCREEN, // full-screen work in front, or presentation mode
        HOLD_CALL,       // an app uses the camera or the microphone
        HOLD_QUIET,      // Windows says do not disturb
    };

    // What the system says of the user's moment.
    struct Moment
    {
        BOOL bFullScreen;
        BOOL bCall;
        BOOL bQuiet;
    };

    enum Due
    {
        DUE_SHOW,    // show it now
        DUE_HOLD,    // wait for the moment to end (log it)
        DUE_DROP,    // paused, on a break, or one is already held
        DUE_RESTART, // a pause ran out just now: count a full interval from now
    };

    enum Tick
    {
        TICK_NONE,
        TICK_SHOW_HELD, // the held reminder may show now (log it)
        TICK_RESTART,   // a pause or a break ended: count a full interval from now
    };

    // The reason a moment holds a reminder. A call outranks full-screen
    // work, which a shared screen in a call often is too.
    static Hold HoldFor(const Moment& moment);
    // "none", "fullscreen", "call" or "quiet".
    static const char* HoldName(Hold hold);
    // Whether an idle time (and the session's lock) begin a break. Idle in
    // front of full-screen work or in a call is watching or listening, not
    // rest for the eyes. A break ends only with input or the unlock.
    static BOOL StartsRest(DWORD dwIdleMs, BOOL bLocked, const Moment& moment);

    // The reminder timer was armed at tNow with nPeriod ms; 0: it is off.
    // A held reminder goes: the count-down starts afresh.
    void Armed(UINT nPeriod, ULONGLONG tNow);
    UINT Period() const { return m_nPeriod; }

    // A reminder fell due at tNow.
    Due OnDue(ULONGLONG tNow, const Moment& moment);
    // The regular look at the user: idle time, lock and the moment.
    Tick OnTick(ULONGLONG tNow, DWORD dwIdleMs, BOOL bLocked, const Moment& moment);

    // No reminder for nMinutes from tNow; a held one is dropped. FALSE for
    // a number of minutes out of range.
    BOOL Pause(UINT nMinutes, ULONGLONG tNow);
    // Ends a pause at once; TRUE when there was one to end, also one that
    // ran out since the last look (the count-down then starts again).
    BOOL Resume();

    BOOL IsHeld() const { return m_hold != HOLD_NONE; }
    // Why the held reminder waits; HOLD_NONE when none is held.
    Hold Held() const { return m_hold; }
    BOOL IsResting() const { return m_bResting; }
    BOOL IsPaused(ULONGLONG tNow) const { return m_tPauseEnd > tNow; }
    // Seconds left of a pause, rounded up; 0 when not paused.
    ULONGLONG PauseLeftSeconds(ULONGLONG tNow) const;
    // Seconds until the next reminder, rounded up; -1 when none will come
    // (no interval, or on a break until input resumes).
    LONGLONG NextSeconds(ULONGLONG tNow) const;

private:
    // A pause ends the moment it runs out, whoever looks first.
    BOOL EndRunOutPause(ULONGLONG tNow);

    UINT m_nPeriod = 0;
    ULONGLONG m_tArmed = 0;
    ULONGLONG m_tPauseEnd = 0; // 0: no pause to end
    Hold m_hold = HOLD_NONE;
    BOOL m_bResting = FALSE;
};

#endif
