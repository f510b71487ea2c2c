#include "app/DesktopComposition.h"

namespace
{
typedef HRESULT(WINAPI* IsCompositionEnabledFn)(BOOL*);
} // namespace

BOOL CDesktopComposition::IsEnabled()
{
    // Loaded only to ask: the answer changes seldom, and where it is always
    // no (as under Wine) the library need not stay in memory.
    HMODULE hDwm = ::LoadLibraryA("dwmapi.dll");
    if (!hDwm)
        return FALSE;
    const auto pfnIsEnabled = reinterpret_cast<IsCompositionEnabledFn>(
        reinterpret_cast<void*>(::GetProcAddress(hDwm, "DwmIsCompositionEnabled")));
    BOOL bEnabled = FALSE;
    const BOOL bComposed = pfnIsEnabled && pfnIsEnabled(&bEnabled) == S_OK && bEnabled;
    ::FreeLibrary(hDwm);
    return bComposed;
}
