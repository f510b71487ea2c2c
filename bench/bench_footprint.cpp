// The Windows side of bench/footprint.sh, which measures the running
// program from the Linux side: one step per run, named on the command line.
//   start       starts Glimwick.exe and the minimal eye, printing the time
//               to the marker window and to "FIND!" in the log
//   move MS     moves the pointer about for MS milliseconds
//   remind      asks the running program for a reminder now
//   stop        ends both programs
// Prints figures only.
#include "res/Protocol.h"
#include "tests/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
const char kMinimalTitle[] = "Glimwick minimal eye";
// The first search starts on the 30 s watch of the notification area.
const DWORD kStartWaitMs = 60000;
const DWORD kMoveStepMs = 50;

double Seconds(ULONGLONG nTicks)
{
    return static_cast<double>(nTicks) / 1000.0;
}

std::string LogPath()
{
    return TempFolder() + "Glimwick_v2.log";
}

// Starts a program of the build folder and leaves it running.
bool Launch(const char* pszName)
{
    std::string strCommand = "\"" + ProgramFolder() + pszName + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(NULL, &strCommand[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

int Start()
{
    EndRunningProgram();
    ::DeleteFileA(LogPath().c_str());
    const ULONGLONG tStart = ::GetTickCount64();
    if (!Launch("Glimwick.exe"))
    {
        std::printf("cannot start Glimwick.exe\n");
        return 1;
    }
    if (!WaitUntil([] { return FindProgram() != NULL; }, kStartWaitMs))
    {
        std::printf("Glimwick did not start\n");
        return 1;
    }
    std::printf("start-up to the marker window: %.3f s\n", Seconds(::GetTickCount64() - tStart));
    const bool bFound = WaitUntil(
        [] { return ReadWholeFile(LogPath()).find("\tFIND!") != std::string::npos; }, kStartWaitMs);
    std::printf("start-up to \"FIND!\": %s%.3f s\n", bFound ? "" : "NOT found after ",
                Seconds(::GetTickCount64() - tStart));
    if (!Launch("minimal_eye.exe") ||
        !WaitUntil([] { return ::FindWindowA(NULL, kMinimalTitle) != NULL; }, kStartWaitMs))
    {
        std::printf("cannot start minimal_eye.exe\n");
        return 1;
    }
    return 0;
}

void Move(DWORD nMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + nMilliseconds;
    for (int i = 0; ::GetTickCount64() < tEnd; ++i)
    {
        ::SetCursorPos(300 + (i * 7) % 600, 200 + (i * 3) % 300);
        ::Sleep(kMoveStepMs);
    }
}

int Stop()
{
    if (HWND hMinimal = ::FindWindowA(NULL, kMinimalTitle))
        ::PostMessageA(hMinimal, WM_CLOSE, 0, 0);
    const bool bEnded = EndRunningProgram();
    return bEnded && WaitUntil([] { return ::FindWindowA(NULL, kMinimalTitle) == NULL; }, kStartWaitMs) ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string strStep = argc > 1 ? argv[1] : "";
    if (strStep == "start")
        return Start();
    if (strStep == "move" && argc > 2)
    {
        Move(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
        return 0;
    }
    if (strStep == "remind")
    {
        HWND hWnd = FindProgram();
        return hWnd && ::PostMessageA(hWnd, WM_TIMER, GLIMWICK_TIMER_REMINDER, 0) ? 0 : 1;
    }
    if (strStep == "stop")
        return Stop();
    std::fprintf(stderr, "usage: bench_footprint start | move MS | remind | stop\n");
    return 2;
}
