// The controller's reminders around the user's moment: a reminder that falls
// due over full-screen work, during a call or while Windows says do not
// disturb waits for that to end, one that falls due during a break or a
// pause is dropped, and other processes may ask for the state or pause the
// reminders (WM_COPYDATA).
#include "app/GlimwickDlg.h"

#include "app/QuietState.h"
#include "app/UserActivity.h"
#include "diag/Log.h"
#include "res/Protocol.h"

#include <cstring>

namespace
{
const UINT kMsPerMinute = 60 * 1000;
// How long the answer to a status request may wait for the asker, who waits
// for it inside its request.
const UINT kReplyTimeoutMs = 500;
// Why a reminder waits, by CReminderGate::Hold.
const char* const kHoldLines[] = {"", "HOLD FOR FULL SCREEN\n", "HOLD FOR CALL\n", "HOLD FOR QUIET TIME\n"};
} // namespace

CReminderGate::Moment CGlimwickDlg::ReadMoment()
{
    return {CUserActivity::FullScreenWork(m_wndBalloon.m_hWnd), m_call.InCall(), CQuietState::IsQuiet()};
}

void CGlimwickDlg::OnReminderDue()
{
    switch (m_gate.OnDue(::GetTickCount64(), ReadMoment()))
    {
    case CReminderGate::DUE_SHOW:
        ShowReminder();
        break;
    case CReminderGate::DUE_HOLD:
        WriteLog("REMINDER HELD\n");
        WriteLog("%s", kHoldLines[m_gate.Held()]);
        break;
    case CReminderGate::DUE_RESTART:
        RestartReminder();
        break;
    case CReminderGate::DUE_DROP:
        break;
    }
}

void CGlimwickDlg::OnMomentTick()
{
    const DWORD dwIdle = CUserActivity::IdleMilliseconds();
    // The moment matters only while a reminder waits or a break may begin.
    const BOOL bLook = m_gate.IsHeld() || (!m_gate.IsResting() && dwIdle >= CReminderGate::REST_IDLE_MS);
    const CReminderGate::Moment moment = bLook ? ReadMoment() : CReminderGate::Moment{};
    const CReminderGate::Hold holdBefore = m_gate.Held();
    switch (m_gate.OnTick(::GetTickCount64(), dwIdle, m_session.IsLocked(), moment))
    {
    case CReminderGate::TICK_SHOW_HELD:
        WriteLog("REMINDER SHOWN AFTER HOLD\n");
        ShowReminder();
        break;
    case CReminderGate::TICK_RESTART:
        RestartReminder();
        break;
    case CReminderGate::TICK_NONE:
        // One reason ended while another goes on.
        if (m_gate.IsHeld() && m_gate.Held() != holdBefore)
            WriteLog("%s", kHoldLines[m_gate.Held()]);
        break;
    }
}

void CGlimwickDlg::RestartReminder()
{
    const UINT nPeriod = m_gate.Period();
    if (!nPeriod)
        return;
    // Setting a running timer again starts its period afresh.
    SetTimer(TIMER_REMINDER, nPeriod);
    m_gate.Armed(nPeriod, ::GetTickCount64());
}

BOOL CGlimwickDlg::OnCopyData(HWND hFrom, const COPYDATASTRUCT* pData)
{
    if (!pData)
        return FALSE;
    const ULONGLONG tNow = ::GetTickCount64();
    switch (pData->dwData)
    {
    case GLIMWICK_COPY_STATUS:
    {
        // Only glimctl's own answer window gets the answer: a request cannot
        // make the program send to any window it names.
        char szClass[sizeof GLIMWICK_REPLY_CLASS + 1] = {};
        if (!::GetClassNameA(hFrom, szClass, sizeof szClass) || std::strcmp(szClass, GLIMWICK_REPLY_CLASS) != 0)
            return FALSE;
        const CString strStatus = StatusText();
        COPYDATASTRUCT reply = {GLIMWICK_COPY_STATUS_REPLY, static_cast<DWORD>(strStatus.GetLength()),
                                const_cast<char*>(strStatus.GetString())};
        // An asker that stopped answering cannot hold the program up.
        DWORD_PTR dwResult = 0;
        return ::SendMessageTimeoutA(hFrom, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd),
                                     reinterpret_cast<LPARAM>(&reply), SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                                     &dwResult) != 0;
    }
    case GLIMWICK_COPY_PAUSE:
    {
        DWORD dwMinutes = 0;
        if (pData->cbData != sizeof dwMinutes || !pData->lpData)
            return FALSE;
        std::memcpy(&dwMinutes, pData->lpData, sizeof dwMinutes);
        if (m_policies.DisablesPause())
        {
            SetMessageResult(GLIMWICK_COPY_REFUSED_BY_POLICY);
            return TRUE;
        }
        if (!m_gate.Pause(dwMinutes, tNow))
            return FALSE;
        // A pause means no reminder on screen either.
        KillTimer(TIMER_HIDEBALLOON);
        m_wndBalloon.ShowWindow(SW_HIDE);
        return TRUE;
    }
    case GLIMWICK_COPY_RESUME:
        if (m_gate.Resume())
            RestartReminder();
        return TRUE;
    }
    return FALSE;
}

CString CGlimwickDlg::StatusText() const
{
    const ULONGLONG tNow = ::GetTickCount64();
    const char* pszEyes = m_bIconFound ? "found" : m_bSearching ? "searching" : "idle";
    CString str;
    str.Format("interval=%u\nnext=%d\nheld=%d\nhold=%s\npaused=%d\nresting=%d\neyes=%s\n",
               m_gate.Period() / kMsPerMinute, static_cast<int>(m_gate.NextSeconds(tNow)), m_gate.IsHeld() ? 1 : 0,
               CReminderGate::HoldName(m_gate.Held()),
               static_cast<int>(m_gate.PauseLeftSeconds(tNow)), m_gate.IsResting() ? 1 : 0, pszEyes);
    str += "policy=" + m_policies.SetNames() + "\n";
    return str;
}
