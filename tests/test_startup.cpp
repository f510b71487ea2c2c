// The real Glimwick.exe in the virtual desktop: single instance, exit,
// the uninstaller's switch, and a start without the tray library.
#include "res/Protocol.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const DWORD kStartTimeout = 15000;
// An exit posted soon after start-up waits behind the first icon search,
// which may hold the program's thread for up to 20 s.
const DWORD kExitTimeout = 30000;

std::string Quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

std::string ProgramPath()
{
    return ProgramFolder() + "Glimwick.exe";
}

class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(EndRunningProgram()); }
};

DWORD WindowProcessId(HWND hWnd)
{
    DWORD dwPid = 0;
    ::GetWindowThreadProcessId(hWnd, &dwPid);
    return dwPid;
}
} // namespace

TEST_F(StartupTest, MarkerWindowExistsAndIsNeverVisible)
{
    CChildProcess proc;
    HWND hWnd = StartProgram(proc);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(proc.Id(), WindowProcessId(hWnd));
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_FALSE(::IsWindowVisible(hWnd));
        ::Sleep(100);
    }
    char szClass[32] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    EXPECT_STREQ("#32770", szClass) << "the controller is a dialog";
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(proc.WaitForExit(kExitTimeout));
}

TEST_F(StartupTest, SecondStartEndsAtOnceAndLeavesTheFirst)
{
    CChildProcess first;
    HWND hWnd = StartProgram(first);
    ASSERT_NE(nullptr, hWnd);

    CChildProcess second;
    ASSERT_TRUE(second.Start(Quoted(ProgramPath())));
    EXPECT_TRUE(second.WaitForExit(kStartTimeout));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(hWnd, FindProgram()) << "the first instance's window is untouched";

    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(first.WaitForExit(kExitTimeout));
}

TEST_F(StartupTest, PostedExitEndsTheProcess)
{
    CChildProcess proc;
    HWND hWnd = StartProgram(proc);
    ASSERT_NE(nullptr, hWnd);
    ASSERT_TRUE(::PostMessageA(hWnd, WM_COMMAND, IDOK, 0));
    ASSERT_TRUE(proc.WaitForExit(kExitTimeout));
    EXPECT_EQ(0u, proc.ExitCode());
    EXPECT_EQ(nullptr, FindProgram());
}

TEST_F(StartupTest, UnregistSwitchClosesTheRunningInstance)
{
    const char* const kSwitches[] = {"/UNREGIST", "/unregist", "/UnRegistAll", "-x /unregistered"};
    const std::string strLog = TempFolder() + "Glimwick_v2.log";
    for (const char* pszSwitch : kSwitches)
    {
        ::DeleteFileA(strLog.c_str());
        CChildProcess instance;
        ASSERT_NE(nullptr, StartProgram(instance)) << pszSwitch;
        // The first search, at once after start-up, holds the instance's
        // thread for a few seconds; the request is made after it.
        ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(strLog).find("FOUND!") != std::string::npos ||
                                           ReadWholeFile(strLog).find("FIND!") != std::string::npos; },
                              25000));
        CChildProcess uninstaller;
        ASSERT_TRUE(uninstaller.Start(Quoted(ProgramPath()) + " " + pszSwitch));
        // One post, then a second's sleep: the instance is gone well before
        // the uninstaller looks again.
        EXPECT_TRUE(instance.WaitForExit(3000)) << pszSwitch;
        EXPECT_TRUE(uninstaller.WaitForExit(kStartTimeout)) << pszSwitch;
        EXPECT_EQ(0u, uninstaller.ExitCode()) << pszSwitch;
    }
}

TEST_F(StartupTest, UnregistWithoutInstanceStartsNothing)
{
    CChildProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start(Quoted(ProgramPath()) + " /unregist"));
    bool bMarkerSeen = false;
    WaitUntil([&] {
        bMarkerSeen = bMarkerSeen || FindProgram() != NULL;
        return !uninstaller.IsRunning();
    }, kStartTimeout);
    EXPECT_FALSE(uninstaller.IsRunning());
    EXPECT_FALSE(bMarkerSeen) << "the uninstall path creates no window";
}

namespace
{
// A stand-in instance that counts exit requests and never closes.
class CStubbornInstance
{
public:
    CStubbornInstance()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "GlimwickStubbornInstance";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(0, wc.lpszClassName, GLIMWICK_MARKER_TITLE, WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                   wc.hInstance, NULL);
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CStubbornInstance() { ::DestroyWindow(m_hWnd); }

    HWND m_hWnd;
    std::vector<ULONGLONG> m_exitRequests;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* pThis = reinterpret_cast<CStubbornInstance*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (pThis && message == WM_COMMAND && wParam == IDOK && lParam == 0)
        {
            pThis->m_exitRequests.push_back(::GetTickCount64());
            return 0;
        }
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
};
} // namespace

TEST_F(StartupTest, UnregistAsksAStubbornInstanceExactlyTwice)
{
    CStubbornInstance stub;
    ASSERT_NE(nullptr, stub.m_hWnd);
    CChildProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start(Quoted(ProgramPath()) + " /UNREGIST"));
    EXPECT_TRUE(PumpUntil([&] { return !uninstaller.IsRunning(); }, kStartTimeout));
    PumpMessages(200);
    ASSERT_EQ(2u, stub.m_exitRequests.size());
    const ULONGLONG nGap = stub.m_exitRequests[1] - stub.m_exitRequests[0];
    EXPECT_GE(nGap, 900u) << "a second between the two requests";
}

TEST_F(StartupTest, StartsWithoutTheTrayLibrary)
{
    // A folder of its own with the program and no Sillbeck.dll.
    const std::string strFolder = ProgramFolder() + "without-library";
    ::CreateDirectoryA(strFolder.c_str(), NULL);
    const std::string strCopy = strFolder + "\\Glimwick.exe";
    ASSERT_TRUE(::CopyFileA(ProgramPath().c_str(), strCopy.c_str(), FALSE));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((strFolder + "\\Sillbeck.dll").c_str()));

    CChildProcess proc;
    HWND hWnd = StartProgram(proc, strCopy);
    ASSERT_NE(nullptr, hWnd);
    // Requests for the absent tracker are harmless.
    ::PostMessageA(hWnd, WM_COMMAND, IDC_TRACKER_START, 0);
    ::PostMessageA(hWnd, WM_COMMAND, IDC_TRACKER_STOP, 0);
    ::Sleep(300);
    EXPECT_TRUE(proc.IsRunning());
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(proc.WaitForExit(kExitTimeout));
    ::DeleteFileA(strCopy.c_str());
    ::RemoveDirectoryA(strFolder.c_str());
}

TEST_F(StartupTest, LogIsNamedAfterAJapaneseProgramFile)
{
    // 表 ends in the byte of a backslash.
    const std::string strCopy = ProgramFolder() + "表示.exe";
    const std::string strLog = TempFolder() + "表示_v2.log";
    const std::string strCut = TempFolder() + "示_v2.log";
    ASSERT_TRUE(::CopyFileA(ProgramPath().c_str(), strCopy.c_str(), FALSE));
    ::DeleteFileA(strLog.c_str());
    ::DeleteFileA(strCut.c_str());

    CChildProcess proc;
    HWND hWnd = StartProgram(proc, strCopy);
    ASSERT_NE(nullptr, hWnd);
    // Its first search logs at once.
    EXPECT_TRUE(WaitUntil([&] { return !ReadWholeFile(strLog).empty(); }, 10000));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(strCut.c_str()));
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(proc.WaitForExit(kExitTimeout));
    ::DeleteFileA(strCopy.c_str());
}
