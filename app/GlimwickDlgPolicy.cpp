// The controller and the administrator's policies: re-read when the system
// announces that they changed.
#include "app/GlimwickDlg.h"

#include "store/StoredSettings.h"

namespace
{
// What the system names in WM_SETTINGCHANGE after policies were applied.
const char kPolicyArea[] = "Policy";
} // namespace

void CGlimwickDlg::OnSettingChange(LPCSTR pszArea)
{
    if (!pszArea || ::lstrcmpiA(pszArea, kPolicyArea) != 0)
        return;
    m_policies.Read();
    // Policies are refreshed every hour or two with nothing changed: only a
    // changed interval restarts the count-down, or a long interval would
    // never come round.
    if (CStoredSettings::ReminderPeriod(m_policies.Interval()) != m_gate.Period())
        ApplyInterval();
    // Pauses turned off end the pause that runs.
    if (m_policies.DisablesPause() && m_gate.Resume())
        RestartReminder();
}
