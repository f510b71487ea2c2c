#include "app/TrayLibrary.h"

#include "frame/String.h"
#include "frame/WinApp.h"

namespace
{
typedef int(__cdecl* StartFn)(void);
typedef void(__cdecl* StopFn)(void);
typedef int(__cdecl* GetRectFn)(RECT*);

const WORD kOrdinalStart = 10;
const WORD kOrdinalStop = 20;
const WORD kOrdinalGetRect = 30;

// Set on the main thread before any worker exists and cleared after the
// last one ended, so readers on other threads need no lock.
HMODULE s_hLibrary = NULL;
StartFn s_pfnStart = nullptr;
StopFn s_pfnStop = nullptr;
GetRectFn s_pfnGetRect = nullptr;

FARPROC Entry(WORD nOrdinal)
{
    return ::GetProcAddress(s_hLibrary, MAKEINTRESOURCEA(nOrdinal));
}

CString LibraryBesideProgram()
{
    char szPath[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(AfxGetInstanceHandle(), szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return CString("Sillbeck.dll");
    CString strPath(szPath);
    return strPath.Left(strPath.ReverseFind('\\') + 1) + "Sillbeck.dll";
}
} // namespace

BOOL CTrayLibrary::Bind(LPCSTR pszPath)
{
    Unbind();
    const CString strPath = pszPath ? CString(pszPath) : LibraryBesideProgram();
    s_hLibrary = ::LoadLibraryA(strPath);
    if (!s_hLibrary)
        return FALSE;
    s_pfnStart = reinterpret_cast<StartFn>(reinterpret_cast<void*>(Entry(kOrdinalStart)));
    s_pfnStop = reinterpret_cast<StopFn>(reinterpret_cast<void*>(Entry(kOrdinalStop)));
    s_pfnGetRect = reinterpret_cast<GetRectFn>(reinterpret_cast<void*>(Entry(kOrdinalGetRect)));
    if (!s_pfnStart && !s_pfnStop && !s_pfnGetRect)
    {
        Unbind();
        return FALSE;
    }
    return TRUE;
}

void CTrayLibrary::Unbind()
{
    s_pfnStart = nullptr;
    s_pfnStop = nullptr;
    s_pfnGetRect = nullptr;
    if (s_hLibrary)
        ::FreeLibrary(s_hLibrary);
    s_hLibrary = NULL;
}

BOOL CTrayLibrary::IsBound()
{
    return s_pfnStart && s_pfnStop && s_pfnGetRect;
}

int SillbeckStart()
{
    return s_pfnStart ? s_pfnStart() : 0;
}

void SillbeckStop()
{
    if (s_pfnStop)
        s_pfnStop();
}

int SillbeckGetTrayRect(RECT* prc)
{
    return s_pfnGetRect && prc ? s_pfnGetRect(prc) : 0;
}
