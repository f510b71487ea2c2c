#include "app/TrayLibrary.h"

#include "frame/WinApp.h"

#include <cwchar>

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

const char kLibraryName[] = "Sillbeck.dll";
const WCHAR kLibraryNameW[] = L"Sillbeck.dll";
} // namespace

BOOL CTrayLibrary::SystemHasSearchFlags()
{
    // The LOAD_LIBRARY_SEARCH_ flags came with AddDllDirectory (Windows 8,
    // and Windows 7 with its update KB2533623); without it LoadLibraryEx
    // refuses them.
    return ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "AddDllDirectory") != NULL;
}

HMODULE CTrayLibrary::LoadBesideProgram(BOOL bSearchFlags)
{
    // Only the program's own folder, never the current one or PATH, and no
    // path through the ANSI code page, which cannot spell every folder name.
    if (bSearchFlags)
        return ::LoadLibraryExA(kLibraryName, NULL, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    WCHAR szPath[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(AfxGetInstanceHandle(), szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return NULL;
    WCHAR* pName = std::wcsrchr(szPath, L'\\');
    const size_t nFolder = pName ? pName + 1 - szPath : 0;
    if (nFolder + sizeof kLibraryNameW / sizeof kLibraryNameW[0] > MAX_PATH)
        return NULL;
    std::wcscpy(szPath + nFolder, kLibraryNameW);
    return ::LoadLibraryW(szPath);
}

BOOL CTrayLibrary::Bind(LPCSTR pszPath)
{
    Unbind();
    s_hLibrary = pszPath ? ::LoadLibraryA(pszPath) : LoadBesideProgram(SystemHasSearchFlags());
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
