#include "app/ReminderGate.h"

namespace
{
const ULONGLONG kMsPerSecond = 1000;

ULONGLONG SecondsUp(ULONGLONG nMs)
{
    return (nMs + kMsPerSecond - 1) / kMsPerSecond;
}
} // namespace

BOOL CReminderGate::IsRest(DWORD dwIdleMs, BOOL bLocked)
{
    return bLocked || dwIdleMs >= REST_IDLE_MS;
}

void CReminderGate::Armed(UINT nPeriod, ULONGLONG tNow)
{
    m_nPeriod = nPeriod;
    m_tArmed = tNow;
}

CReminderGate::Due CReminderGate::OnDue(ULONGLONG tNow, BOOL bBusy)
{
    // A reminder already waiting stands for this one too: they never queue.
    if (IsPaused(tNow) || m_bResting || m_bHeld)
        return DUE_DROP;
    if (bBusy)
    {
        m_bHeld = TRUE;
        return DUE_HOLD;
    }
    return DUE_SHOW;
}

CReminderGate::Tick CReminderGate::OnTick(ULONGLONG tNow, DWORD dwIdleMs, BOOL bLocked, BOOL bBusy)
{
    BOOL bRestart = FALSE;
    if (m_tPauseEnd && !IsPaused(tNow))
    {
        m_tPauseEnd = 0;
        bRestart = TRUE;
    }
    const BOOL bRest = IsRest(dwIdleMs, bLocked);
    if (bRest && !m_bResting)
    {
        // The break is the rest the held reminder asked for.
        m_bResting = TRUE;
        m_bHeld = FALSE;
    }
    else if (!bRest && m_bResting)
    {
        m_bResting = FALSE;
        bRestart = TRUE;
    }
    if (bRestart)
        return TICK_RESTART;
    if (m_bHeld && !bBusy)
    {
        m_bHeld = FALSE;
        return TICK_SHOW_HELD;
    }
    return TICK_NONE;
}

BOOL CReminderGate::Pause(UINT nMinutes, ULONGLONG tNow)
{
    if (nMinutes < PAUSE_MIN_MINUTES || nMinutes > PAUSE_MAX_MINUTES)
        return FALSE;
    m_tPauseEnd = tNow + static_cast<ULONGLONG>(nMinutes) * 60 * kMsPerSecond;
    m_bHeld = FALSE;
    return TRUE;
}

BOOL CReminderGate::Resume(ULONGLONG tNow)
{
    const BOOL bWasPaused = IsPaused(tNow);
    m_tPauseEnd = 0;
    return bWasPaused;
}

ULONGLONG CReminderGate::PauseLeftSeconds(ULONGLONG tNow) const
{
    return IsPaused(tNow) ? SecondsUp(m_tPauseEnd - tNow) : 0;
}

LONGLONG CReminderGate::NextSeconds(ULONGLONG tNow) const
{
    if (!m_nPeriod || m_bResting)
        return -1;
    if (m_bHeld)
        return 0;
    // The count-down starts afresh when the pause ends.
    if (IsPaused(tNow))
        return static_cast<LONGLONG>(SecondsUp(m_tPauseEnd - tNow + m_nPeriod));
    const ULONGLONG nIntoPeriod = tNow > m_tArmed ? (tNow - m_tArmed) % m_nPeriod : 0;
    return static_cast<LONGLONG>(SecondsUp(m_nPeriod - nIntoPeriod));
}
