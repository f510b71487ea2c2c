#ifndef GLIMWICK_TESTS_TESTSUPPORT_H
#define GLIMWICK_TESTS_TESTSUPPORT_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <string>

// Dispatches this thread's messages for about nMilliseconds.
void PumpMessages(DWORD nMilliseconds);
// Dispatches messages until pred holds or nMilliseconds passed; returns pred.
bool PumpUntil(const std::function<bool()>& pred, DWORD nMilliseconds);
// Sleeps in short steps until pred holds or nMilliseconds passed.
bool WaitUntil(const std::function<bool()>& pred, DWORD nMilliseconds);

// Waits for a thread that sets bDone at its end; false, with the thread
// left behind, when it does not end within nMilliseconds (a deadlock).
bool RunsToEnd(DWORD nMilliseconds, std::thread thread, std::atomic<bool>& bDone);

// The folder of the running test program (the build folder), with a
// trailing backslash.
std::string ProgramFolder();

// A child process, ended and waited for when the object goes.
class CChildProcess
{
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts the command line; stdout and stderr go to the files given
    // (when not empty). FALSE if the process could not be started.
    bool Start(const std::string& strCommandLine, const std::string& strOutFile = std::string(),
               const std::string& strErrFile = std::string());
    // TRUE when the process ended within nMilliseconds.
    bool WaitForExit(DWORD nMilliseconds);
    DWORD ExitCode() const;
    bool IsRunning() const;
    DWORD Id() const { return m_dwId; }
    void Kill();

private:
    HANDLE m_hProcess = NULL;
    DWORD m_dwId = 0;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& strPath);
// How often strWhat occurs in strText, overlaps counted.
size_t CountOf(const std::string& strText, const std::string& strWhat);

// The system's temporary folder, with a trailing backslash.
std::string TempFolder();

// The header of a 32-bit picture cx by cy with its top row first: what the
// tests read pixels as, one 0x00RRGGBB value each.
BITMAPINFO TopDownInfo32(int cx, int cy);

// Saves the whole screen as build/artefacts/<strName> (a .bmp), for a
// person to look at after the run.
void SaveScreenshot(const std::string& strName);

// Puts the pointer at (x, y) and waits until it stays there: input that an
// earlier program sent may still move it once more. False when it would not
// stay.
bool PlacePointer(int x, int y);

// A mouse move of no distance: the session has had input just now, so the
// program does not take the test run for the user's break.
void NudgeInput();

// The running program's controller window, or NULL.
HWND FindProgram();
// Asks a running program (of an earlier test) to exit and waits until it
// is gone; false when it stayed.
bool EndRunningProgram();
// Starts the program (Glimwick.exe beside the tests unless strProgram is
// given) and waits until its controller is initialised, with the icon's
// window in place; returns the controller, or NULL.
HWND StartProgram(CChildProcess& proc, const std::string& strProgram = std::string());

#endif
