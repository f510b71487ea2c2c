#include "tests/TestSupport.h"

#include "draw/DibCanvas.h"
#include "frame/WindowDC.h"
#include "res/Protocol.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

void PumpMessages(DWORD nMilliseconds)
{
    PumpUntil([] { return false; }, nMilliseconds);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD nMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + nMilliseconds;
    for (;;)
    {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (pred())
            return true;
        const ULONGLONG tNow = ::GetTickCount64();
        if (tNow >= tEnd)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, static_cast<DWORD>(tEnd - tNow < 20 ? tEnd - tNow : 20),
                                    QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& pred, DWORD nMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + nMilliseconds;
    while (!pred())
    {
        if (::GetTickCount64() >= tEnd)
            return false;
        ::Sleep(20);
    }
    return true;
}

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(NULL, szPath, MAX_PATH);
    std::string strPath(szPath, n);
    return strPath.substr(0, strPath.find_last_of('\\') + 1);
}

namespace
{
HANDLE OpenOutput(const std::string& strFile)
{
    if (strFile.empty())
        return NULL;
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE h = ::CreateFileA(strFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    return h == INVALID_HANDLE_VALUE ? NULL : h;
}
} // namespace

CChildProcess::~CChildProcess()
{
    Kill();
}

bool CChildProcess::Start(const std::string& strCommandLine, const std::string& strOutFile,
                          const std::string& strErrFile)
{
    Kill();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    HANDLE hOut = OpenOutput(strOutFile);
    HANDLE hErr = OpenOutput(strErrFile);
    if (hOut || hErr)
    {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hOut ? hOut : ::GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = hErr ? hErr : ::GetStdHandle(STD_ERROR_HANDLE);
    }
    std::vector<char> cmd(strCommandLine.begin(), strCommandLine.end());
    cmd.push_back('\0');
    PROCESS_INFORMATION pi = {};
    const BOOL bOk = ::CreateProcessA(NULL, cmd.data(), NULL, NULL, hOut || hErr, 0, NULL, NULL, &si, &pi);
    if (hOut)
        ::CloseHandle(hOut);
    if (hErr)
        ::CloseHandle(hErr);
    if (!bOk)
        return false;
    ::CloseHandle(pi.hThread);
    m_hProcess = pi.hProcess;
    m_dwId = pi.dwProcessId;
    return true;
}

bool CChildProcess::WaitForExit(DWORD nMilliseconds)
{
    return m_hProcess && ::WaitForSingleObject(m_hProcess, nMilliseconds) == WAIT_OBJECT_0;
}

DWORD CChildProcess::ExitCode() const
{
    DWORD dwCode = STILL_ACTIVE;
    if (m_hProcess)
        ::GetExitCodeProcess(m_hProcess, &dwCode);
    return dwCode;
}

bool CChildProcess::IsRunning() const
{
    return m_hProcess && ::WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT;
}

void CChildProcess::Kill()
{
    if (!m_hProcess)
        return;
    if (IsRunning())
    {
        ::TerminateProcess(m_hProcess, 99);
        ::WaitForSingleObject(m_hProcess, 5000);
    }
    ::CloseHandle(m_hProcess);
    m_hProcess = NULL;
    m_dwId = 0;
}

size_t CountOf(const std::string& strText, const std::string& strWhat)
{
    size_t n = 0;
    for (size_t pos = strText.find(strWhat); pos != std::string::npos; pos = strText.find(strWhat, pos + 1))
        ++n;
    return n;
}

std::string ReadWholeFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string TempFolder()
{
    char sz[MAX_PATH + 1];
    const DWORD n = ::GetTempPathA(sizeof sz, sz);
    return std::string(sz, n < sizeof sz ? n : 0);
}

HWND FindProgram()
{
    return ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE);
}

bool EndRunningProgram()
{
    if (HWND hWnd = FindProgram())
        ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    // A search in progress holds the program for up to 20 seconds.
    return WaitUntil([] { return FindProgram() == NULL; }, 30000);
}

bool PlacePointer(int x, int y)
{
    return PumpUntil(
        [&] {
            ::SetCursorPos(x, y);
            PumpMessages(100);
            POINT pt = {};
            ::GetCursorPos(&pt);
            return pt.x == x && pt.y == y;
        },
        3000);
}

void NudgeInput()
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof input);
}

HWND StartProgram(CChildProcess& proc, const std::string& strProgram)
{
    NudgeInput();
    const std::string strPath = strProgram.empty() ? ProgramFolder() + "Glimwick.exe" : strProgram;
    // A program that ends before its window with no other instance running
    // is started once more: a loaded test run has seen that once. The exit
    // code goes to the test's output.
    for (int nTry = 0; nTry < 2; ++nTry)
    {
        if (!proc.Start("\"" + strPath + "\""))
            return NULL;
        HWND hWnd = NULL;
        WaitUntil(
            [&] {
                return ((hWnd = FindProgram()) != NULL && ::GetDlgItem(hWnd, GLIMWICK_TRAY_ICON_ID)) ||
                       !proc.IsRunning();
            },
            15000);
        if (proc.IsRunning())
            return hWnd;
        std::fprintf(stderr, "StartProgram: the program ended at once, exit code %lu\n", proc.ExitCode());
        if (FindProgram())
            return NULL;
    }
    return NULL;
}

BITMAPINFO TopDownInfo32(int cx, int cy)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void SaveScreenshot(const std::string& strName)
{
    const std::string strFolder = ProgramFolder() + "artefacts";
    ::CreateDirectoryA(strFolder.c_str(), NULL);
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    CDibCanvas shot;
    if (!shot.CreateBlank(24, cx, cy, CDibCanvas::NO_KEY))
        return;
    CWindowDC screen(NULL);
    shot.BitBltFrom(&screen, 0, 0, cx, cy, 0, 0, SRCCOPY);
    shot.SaveFile((strFolder + "\\" + strName).c_str());
}

bool RunsToEnd(DWORD nMilliseconds, std::thread thread, std::atomic<bool>& bDone)
{
    if (!WaitUntil([&] { return bDone.load(); }, nMilliseconds))
    {
        thread.detach();
        return false;
    }
    thread.join();
    return true;
}
