#include "app/DesktopComposition.h"

namespace
{
typedef HRESULT(WINAPI* IsCompositionEnabledFn)(BOOL*);
} // namespace

BOOL CDesktopComposition::IsEnabled()
{
    // Looked up once and kept: the eyes ask on every tick.
    static const IsCompositionEnabledFn s_pfnIsEnabled = [] {
        HMODULE hDwm = ::LoadLibraryA("dwmapi.dll");
        return hDwm ? reinterpret_cast<IsCompositionEnabledFn>(
                          reinterpret_cast<void*>(::GetProcAddress(hDwm, "DwmIsCompositionEnabled")))
                    : nullptr;
    }();
    BOOL bEnabled = FALSE;
    return s_pfnIsEnabled && s_pfnIsEnabled(&bEnabled) == S_OK && bEnabled;
}
