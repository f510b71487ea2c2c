// Measures the tray eye of the real program under the current desktop:
// start-up, the first search (which needs no report from outside), the scan
// of the notification area,
// and the resident process's CPU time with the pointer still and moving.
// Prints figures only; run it in the project's Wine session.
#include "app/TrayLibrary.h"
#include "res/Protocol.h"
#include "tests/TestSupport.h"

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

// The full scan of the area as the search does it when nothing matches.
void BenchScan()
{
    RECT rc;
    if (!CTrayLibrary::Bind() || !SillbeckGetTrayRect(&rc))
    {
        std::printf("scan: no notification area\n");
        return;
    }
    HDC hdc = ::GetDC(NULL);
    long nProbes = 0;
    const ULONGLONG t0 = ::GetTickCount64();
    for (int x = rc.left; x < rc.right; ++x)
        for (int y = rc.top; y < rc.bottom - 10; ++y, ++nProbes)
            ::GetPixel(hdc, x, y);
    const ULONGLONG nMs = ::GetTickCount64() - t0;
    ::ReleaseDC(NULL, hdc);
    std::printf("scan of (%ld,%ld)-(%ld,%ld): %ld probes in %.3f s (%.1f us a probe)\n", rc.left, rc.top, rc.right,
                rc.bottom, nProbes, Seconds(nMs), nProbes ? 1000.0 * nMs / nProbes : 0.0);
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
    return bFound ? 0 : 1;
}
