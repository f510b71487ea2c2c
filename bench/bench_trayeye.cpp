// Measures the tray eye of the real program under the current desktop:
// start-up, the first search (which needs no report from outside), the scan
// of the notification area read pixel by pixel and at once, the resident
// process's CPU time with the pointer still and moving, and the share of an
// hour that searches hold the program's thread when the icon is never found.
// Prints figures only; run it in the project's Wine session.
#include "app/AreaPixels.h"
#include "app/GlimwickDlg.h"
#include "app/SearchBackoff.h"
#include "app/TrayLibrary.h"
#include "bench/BenchTimer.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
double Seconds(ULONGLONG nTicks)
{
    return static_cast<double>(nTicks) / 1000.0;
}

// Kernel plus user time of a process, in milliseconds.
double CpuMs(HANDLE hProcess)
{
    FILETIME ftCreate, ftExit, ftKernel, ftUser;
    if (!::GetProcessTimes(hProcess, &ftCreate, &ftExit, &ftKernel, &ftUser))
        return 0;
    auto Ms = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000.0;
    };
    return Ms(ftKernel) + Ms(ftUser);
}

std::string LogPath()
{
    return TempFolder() + "Glimwick_v2.log";
}

// The full scan of the area as a search does it when nothing matches,
// reading the screen pixel by pixel (as the search did before) and at once.
void BenchScan()
{
    RECT rc;
    if (!CTrayLibrary::Bind() || !SillbeckGetTrayRect(&rc))
    {
        std::printf("scan: no notification area\n");
        return;
    }
    for (CAreaPixels::Reading reading : {CAreaPixels::READ_EACH_PIXEL, CAreaPixels::READ_AT_ONCE})
    {
        CAreaPixels pixels(rc, reading);
        int nRuns = 0;
        const double nMs = Time([&] {
            pixels.Read();
            for (POINT pt = {rc.left, rc.top}; pixels.FindRun(pt, RGB(0, 0, 0), RGB(0, 0, 255), NULL); ++pt.y)
                ++nRuns;
        });
        std::printf("scan of (%ld,%ld)-(%ld,%ld) %s: screen reads %ld, %.1f ms%s\n", rc.left, rc.top, rc.right,
                    rc.bottom, reading == CAreaPixels::READ_AT_ONCE ? "read at once" : "pixel by pixel",
                    pixels.ScreenReads(), nMs, nRuns ? " (a marker was on screen)" : "");
    }
    CTrayLibrary::Unbind();
}

// The share of an hour that searches hold the thread when every one fails
// and takes nSearchMs: before, a retry 10 s after each failure and a search
// on every watch tick (a failure emptied the area, so it looked changed);
// now the retries back off and the watch leaves an unchanged area alone.
double HeldShare(ULONGLONG nSearchMs, bool bBackoff, int& nSearches)
{
    const ULONGLONG kHourMs = 3600 * 1000;
    const ULONGLONG kWatchMs = 30000;
    const RECT rcArea = {0, 780, 1280, 800};
    CSearchBackoff backoff;
    ULONGLONG nHeld = 0;
    nSearches = 0;
    for (ULONGLONG t = 0; t < kHourMs; ++nSearches)
    {
        const ULONGLONG tEnd = t + nSearchMs;
        nHeld += std::min(nSearchMs, kHourMs - t);
        const ULONGLONG tRetry = tEnd + (bBackoff ? backoff.OnFailure(rcArea) : CSearchBackoff::FIRST_WAIT_MS);
        // A watch tick that fell due during the search comes right after it.
        const ULONGLONG tWatch = std::max(tEnd, (t / kWatchMs + 1) * kWatchMs);
        t = bBackoff ? tRetry : std::min(tRetry, tWatch);
    }
    return 100.0 * static_cast<double>(nHeld) / kHourMs;
}

// Times searches that fail, with the notification area under a window of
// the bench's, and prints the share of an hour they would hold the thread.
void BenchFailedSearches()
{
    const HWND hTray = ::FindWindowA("Shell_TrayWnd", NULL);
    RECT rcTray;
    if (!hTray || !::GetWindowRect(hTray, &rcTray) || !CTrayLibrary::Bind())
    {
        std::printf("failed searches: no notification area\n");
        return;
    }
    HWND hCover = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT,
                                    rcTray.left, rcTray.top, rcTray.right - rcTray.left,
                                    rcTray.bottom - rcTray.top, NULL, NULL, NULL, NULL);
    {
        CGlimwickDlg dlg;
        dlg.Create(IDD_GLIMWICK_DIALOG);
        // The library's first report searches once; then the bench's own.
        PumpMessages(3000);
        const int kSearches = 3;
        int nFound = 0;
        const double nMs = Time([&] {
                               for (int i = 0; i < kSearches; ++i)
                                   nFound += dlg.StartIconSearch();
                           }) /
                           kSearches;
        int nBefore = 0;
        int nNow = 0;
        const double nShareBefore = HeldShare(static_cast<ULONGLONG>(nMs), false, nBefore);
        const double nShareNow = HeldShare(static_cast<ULONGLONG>(nMs), true, nNow);
        std::printf("a failed search holds the thread %.2f s%s; share of an hour held by searches when the icon is "
                    "never found: before %.1f %% (%d searches), now %.1f %% (%d searches)\n",
                    nMs / 1000.0, nFound ? " (BUT THE ICON WAS FOUND)" : "", nShareBefore, nBefore, nShareNow, nNow);
    }
    ::DestroyWindow(hCover);
    CTrayLibrary::Unbind();
}
} // namespace

int main()
{
    EndRunningProgram();
    ::DeleteFileA(LogPath().c_str());

    CChildProcess program;
    const ULONGLONG tStart = ::GetTickCount64();
    if (!program.Start("\"" + ProgramFolder() + "Glimwick.exe\""))
    {
        std::printf("cannot start Glimwick.exe\n");
        return 1;
    }
    HWND hWnd = NULL;
    if (!WaitUntil([&] { return (hWnd = ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE)) != NULL; }, 30000))
    {
        std::printf("Glimwick did not start\n");
        return 1;
    }
    const ULONGLONG tUp = ::GetTickCount64();
    std::printf("start-up to the marker window: %.3f s\n", Seconds(tUp - tStart));

    // No report is posted: the program finds its icon by itself.
    const bool bFound = WaitUntil(
        [] { return ReadWholeFile(LogPath()).find("\tFIND!") != std::string::npos; }, 40000);
    const ULONGLONG tFound = ::GetTickCount64();
    std::printf("start-up to \"FIND!\" without any report: %s %.3f s (goal 3 s; marker pauses 0.5 s each, "
                "polled every 1 s)\n",
                bFound ? "found in" : "NOT found after", Seconds(tFound - tStart));
    std::printf("marker window to \"FIND!\": %.3f s\n", Seconds(tFound - tUp));

    BenchScan();

    const DWORD kWindowMs = 20000;
    ::SetCursorPos(640, 400);
    HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, program.Id());
    double cpu0 = CpuMs(hProcess);
    ::Sleep(kWindowMs);
    const double cpuStill = CpuMs(hProcess) - cpu0;
    std::printf("CPU with the pointer still:  %.1f ms per minute\n", cpuStill * 60000.0 / kWindowMs);

    cpu0 = CpuMs(hProcess);
    const ULONGLONG tEnd = ::GetTickCount64() + kWindowMs;
    for (int i = 0; ::GetTickCount64() < tEnd; ++i)
    {
        ::SetCursorPos(300 + (i * 7) % 600, 200 + (i * 3) % 300);
        ::Sleep(50);
    }
    const double cpuMoving = CpuMs(hProcess) - cpu0;
    std::printf("CPU with the pointer moving: %.1f ms per minute\n", cpuMoving * 60000.0 / kWindowMs);
    ::CloseHandle(hProcess);

    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    program.WaitForExit(10000);

    BenchFailedSearches();
    return bFound ? 0 : 1;
}
