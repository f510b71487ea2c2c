#include "app/ReminderGate.h"

namespace
{
const ULONGLONG kMsPerSecond = 1000;

ULONGLONG SecondsUp(ULONGLONG nMs)
{
    return (nMs + kMsPerSecond - 1) / kMsPerSecond;
}

const char* const kHoldNames[] = {"none", "fullscreen", "call", "quiet"};
} // namespace

CReminderGate::Hold CReminderGate::HoldFor(const Moment& moment)
{
    if (moment.bCall)
        return HOLD_CALL;
    if (moment.bFullScreen)
        return HOLD_FULLSCREEN;
    return moment.bQuiet ? HOLD_QUIET : HOLD_NONE;
}

const char* CReminderGate::HoldName(Hold hold)
{
    return kHoldNames[hold];
}

BOOL CReminderGate::StartsRest(DWORD dwIdleMs, BOOL bLocked, const Moment& moment)
{
    if (bLocked)
        return TRUE;
    return dwIdleMs >= REST_IDLE_MS && !moment.bCall && !moment.bFullScreen;
}

void CReminderGate::Armed(UINT nPeriod, ULONGLONG tNow)
{
    m_nPeriod = nPeriod;
    m_tArmed = tNow;
    m_hold = HOLD_NONE;
}

CReminderGate::Due CReminderGate::OnDue(ULONGLONG tNow, const Moment& moment)
{
    if (EndRunOutPause(tNow))
        return DUE_RESTART;
    // A reminder already waiting stands for this one too: they never queue.
    if (IsPaused(tNow) || m_bResting || IsHeld())
        return DUE_DROP;
    m_hold = HoldFor(moment);
    return IsHeld() ? DUE_HOLD : DUE_SHOW;
}

CReminderGate::Tick CReminderGate::OnTick(ULONGLONG tNow, DWORD dwIdleMs, BOOL bLocked, const Moment& moment)
{
    BOOL bRestart = EndRunOutPause(tNow);
    if (!m_bResting && StartsRest(dwIdleMs, bLocked, moment))
    {
        // The break is the rest the held reminder asked for.
        m_bResting = TRUE;
        m_hold = HOLD_NONE;
    }
    else if (m_bResting && !bLocked && dwIdleMs < REST_IDLE_MS)
    {
        m_bResting = FALSE;
        bRestart = TRUE;
    }
    if (bRestart)
        return TICK_RESTART;
    if (!IsHeld())
        return TICK_NONE;
    // One reason may end while another goes on.
    m_hold = HoldFor(moment);
    return IsHeld() ? TICK_NONE : TICK_SHOW_HELD;
}

BOOL CReminderGate::Pause(UINT nMinutes, ULONGLONG tNow)
{
    if (nMinutes < PAUSE_MIN_MINUTES || nMinutes > PAUSE_MAX_MINUTES)
        return FALSE;
    m_tPauseEnd = tNow + static_cast<ULONGLONG>(nMinutes) * 60 * kMsPerSecond;
    m_hold = HOLD_NONE;
    return TRUE;
}

BOOL CReminderGate::Resume()
{
    const BOOL bWasPaused = m_tPauseEnd != 0;
    m_tPauseEnd = 0;
    return bWasPaused;
}

BOOL CReminderGate::EndRunOutPause(ULONGLONG tNow)
{
    if (!m_tPauseEnd || IsPaused(tNow))
        return FALSE;
    m_tPauseEnd = 0;
    return TRUE;
}

ULONGLONG CReminderGate::PauseLeftSeconds(ULONGLONG tNow) const
{
    return IsPaused(tNow) ? SecondsUp(m_tPauseEnd - tNow) : 0;
}

LONGLONG CReminderGate::NextSeconds(ULONGLONG tNow) const
{
    if (!m_nPeriod || m_bResting)
        return -1;
    if (IsHeld())
        return 0;
    // The count-down starts afresh when the pause ends, or now if it ran out
    // since the last look.
    if (m_tPauseEnd)
        return static_cast<LONGLONG>(SecondsUp((IsPaused(tNow) ? m_tPauseEnd - tNow : 0) + m_nPeriod));
    const ULONGLONG nIntoPeriod = tNow > m_tArmed ? (tNow - m_tArmed) % m_nPeriod : 0;
    return static_cast<LONGLONG>(SecondsUp(m_nPeriod - nIntoPeriod));
}
