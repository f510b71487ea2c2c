#include "app/QuietState.h"

#include "app/UserActivity.h"

#include <shellapi.h>

namespace
{
// The shell publishes Focus assist's profile (0 off, 1 priority only,
// 2 alarms only) as this notification-facility state, and nowhere that is
// documented.
const ULONGLONG kFocusAssistState = 0x0D83063EA3BF1C75ull;

typedef LONG(NTAPI* QueryStateFn)(const ULONGLONG* pStateName, const void* pTypeId, const void* pScope,
                                  ULONG* pChangeStamp, void* pBuffer, ULONG* pcbBuffer);

CQuietState::Reading s_pfnReading = &CQuietState::SystemReading;
} // namespace

BOOL CQuietState::IsQuiet()
{
    return s_pfnReading();
}

void CQuietState::ReplaceReading(Reading pfnReading)
{
    s_pfnReading = pfnReading ? pfnReading : &CQuietState::SystemReading;
}

BOOL CQuietState::SystemReading()
{
    return CUserActivity::ShellNotificationState() == QUNS_QUIET_TIME || FocusAssistProfile() != 0;
}

DWORD CQuietState::FocusAssistProfile()
{
    HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
    const auto pfnQuery = hNtdll ? reinterpret_cast<QueryStateFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(hNtdll, "NtQueryWnfStateData")))
                                 : nullptr;
    if (!pfnQuery)
        return 0;
    DWORD dwProfile = 0;
    ULONG cbProfile = sizeof dwProfile;
    ULONG nStamp = 0;
    // A negative status is a failure; anything but a whole DWORD is no answer.
    if (pfnQuery(&kFocusAssistState, nullptr, nullptr, &nStamp, &dwProfile, &cbProfile) < 0 ||
        cbProfile != sizeof dwProfile)
        return 0;
    return dwProfile;
}
