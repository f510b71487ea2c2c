// glimctl against the real program, and without one.
#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/Policies.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace
{
struct Result
{
    DWORD dwExit;
    std::string strErr;
    std::string strOut;
};

Result RunGlimctl(const std::string& strArgs)
{
    const std::string strErrFile = ProgramFolder() + "glimctl-test.err";
    const std::string strOutFile = ProgramFolder() + "glimctl-test.out";
    CChildProcess proc;
    if (!proc.Start("\"" + ProgramFolder() + "glimctl.exe\" " + strArgs, strOutFile, strErrFile))
        return {0xFFFFFFFF, "not started", ""};
    // glimctl waits up to 25 seconds for an answer.
    if (!proc.WaitForExit(40000))
        return {0xFFFFFFFE, "did not end", ""};
    Result r = {proc.ExitCode(), ReadWholeFile(strErrFile), ReadWholeFile(strOutFile)};
    ::DeleteFileA(strErrFile.c_str());
    ::DeleteFileA(strOutFile.c_str());
    return r;
}

// glimctl status's output.
std::string Status()
{
    const Result r = RunGlimctl("status");
    EXPECT_EQ(0u, r.dwExit) << r.strErr;
    return r.strOut;
}

// The number after "key=" in the output; -999 when the key is missing.
int Value(const std::string& strStatus, const std::string& strKey)
{
    const size_t n = ("\n" + strStatus).find("\n" + strKey + "=");
    return n == std::string::npos ? -999 : std::atoi(strStatus.c_str() + n + strKey.size() + 1);
}

// The text after "key=" to the end of its line; "(missing)" without the key.
std::string Text(const std::string& strStatus, const std::string& strKey)
{
    const size_t n = ("\n" + strStatus).find("\n" + strKey + "=");
    if (n == std::string::npos)
        return "(missing)";
    const size_t nStart = n + strKey.size() + 1;
    return strStatus.substr(nStart, strStatus.find_first_of("\r\n", nStart) - nStart);
}

// Whole seconds since tStart, rounded up.
int SecondsSince(ULONGLONG tStart)
{
    return static_cast<int>((::GetTickCount64() - tStart + 999) / 1000);
}

// Whether a process shows any window (Glimwick shows only its reminder).
bool ShowsAWindow(DWORD dwPid)
{
    for (HWND hWnd = ::GetTopWindow(NULL); hWnd; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT))
    {
        DWORD dwOwner = 0;
        ::GetWindowThreadProcessId(hWnd, &dwOwner);
        if (dwOwner == dwPid && ::IsWindowVisible(hWnd))
            return true;
    }
    return false;
}

class GlimctlTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(EndRunningProgram()); }
    void TearDown() override { m_instance.Kill(); }

    void StartInstance() { ASSERT_NE(nullptr, StartProgram(m_instance)); }

    CChildProcess m_instance;
};
} // namespace

TEST_F(GlimctlTest, NoInstanceIsAClearError)
{
    for (const char* pszArgs : {"exit", "remind", "report 1 2 3 4", "status", "pause 5", "resume"})
    {
        const Result r = RunGlimctl(pszArgs);
        EXPECT_EQ(1u, r.dwExit) << pszArgs;
        EXPECT_NE(std::string::npos, r.strErr.find("not running")) << pszArgs << ": " << r.strErr;
    }
}

TEST_F(GlimctlTest, BadCommandLinesAreRefused)
{
    struct Case
    {
        const char* pszArgs;
        const char* pszMessage;
    };
    const Case kCases[] = {
        {"", "usage"},
        {"jump", "unknown command"},
        {"exit now", "usage"},
        {"report 1 2 3", "usage"},
        {"report 1 2 3 65536", "not a number from 0 to 65535"},
        {"report 1 2 -3 4", "not a number"},
        {"report 1 x 3 4", "not a number"},
        {"pause", "usage"},
        {"pause 0", "not a number of minutes from 1 to 1440"},
        {"pause 1441", "not a number of minutes"},
        {"pause 5x", "not a number of minutes"},
        {"status now", "usage"},
    };
    for (const Case& c : kCases)
    {
        const Result r = RunGlimctl(c.pszArgs);
        EXPECT_EQ(2u, r.dwExit) << c.pszArgs;
        EXPECT_NE(std::string::npos, r.strErr.find(c.pszMessage)) << c.pszArgs << ": " << r.strErr;
    }
}

TEST_F(GlimctlTest, CommandsReachTheRunningInstance)
{
    StartInstance();
    // The program takes them in order, the reminder last: once it shows, the
    // others were handled. Each new report starts an icon search, which
    // holds the program for up to 20 seconds.
    for (const char* pszArgs : {"reload", "stop", "start", "report 1100 780 1280 800", "report 0 0 65535 65535", "remind"})
    {
        const Result r = RunGlimctl(pszArgs);
        EXPECT_EQ(0u, r.dwExit) << pszArgs << ": " << r.strErr;
    }
    EXPECT_TRUE(WaitUntil([&] { return ShowsAWindow(m_instance.Id()); }, 60000));
    EXPECT_TRUE(m_instance.IsRunning()) << "none of these ends the program";
    const Result r = RunGlimctl("exit");
    EXPECT_EQ(0u, r.dwExit);
    EXPECT_TRUE(m_instance.WaitForExit(30000));
}

TEST_F(GlimctlTest, StatusPauseAndResume)
{
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\MOSS-HARK\\Glimwick", "Interval");
    const ULONGLONG tStart = ::GetTickCount64();
    StartInstance();
    // Answered although the first search may hold the program just now.
    std::string strStatus = Status();
    EXPECT_NE(std::string::npos, strStatus.find("\nhold=none")) << strStatus;
    EXPECT_EQ(10, Value(strStatus, "interval"));
    // A full interval from the start, less the time the start and the
    // question took.
    EXPECT_GE(Value(strStatus, "next"), 600 - SecondsSince(tStart));
    EXPECT_LE(Value(strStatus, "next"), 600);
    for (const char* pszKey : {"held", "paused", "resting"})
        EXPECT_EQ(0, Value(strStatus, pszKey)) << pszKey;

    EXPECT_EQ(0u, RunGlimctl("pause 5").dwExit);
    strStatus = Status();
    EXPECT_GT(Value(strStatus, "paused"), 290);
    EXPECT_LE(Value(strStatus, "paused"), 300);
    EXPECT_EQ(Value(strStatus, "paused") + 600, Value(strStatus, "next")) << "a full interval after the pause";
    // A reminder falling due while paused does not show: sent, so that the
    // program has handled it when the call returns.
    DWORD_PTR dwResult = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(FindProgram(), WM_TIMER, GLIMWICK_TIMER_REMINDER, 0, SMTO_NORMAL, 30000,
                                       &dwResult));
    EXPECT_FALSE(ShowsAWindow(m_instance.Id()));

    const ULONGLONG tResume = ::GetTickCount64();
    EXPECT_EQ(0u, RunGlimctl("resume").dwExit);
    strStatus = Status();
    EXPECT_EQ(0, Value(strStatus, "paused"));
    EXPECT_GE(Value(strStatus, "next"), 600 - SecondsSince(tResume)) << "a full interval from the resume";
    EXPECT_EQ(0u, RunGlimctl("remind").dwExit);
    EXPECT_TRUE(WaitUntil([&] { return ShowsAWindow(m_instance.Id()); }, 5000)) << "shown again";
}

TEST_F(GlimctlTest, AnInstanceThatDoesNotAnswerIsAClearError)
{
    // A window with the marker title on this thread, which does not pump
    // while glimctl waits.
    HWND hWnd = ::CreateWindowExA(0, "STATIC", GLIMWICK_MARKER_TITLE, WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, hWnd);
    const ULONGLONG tStart = ::GetTickCount64();
    const Result r = RunGlimctl("status");
    EXPECT_EQ(3u, r.dwExit);
    EXPECT_NE(std::string::npos, r.strErr.find("did not answer within 25 seconds")) << r.strErr;
    EXPECT_GE(::GetTickCount64() - tStart, 25000u) << "longer than any search";
    ::DestroyWindow(hWnd);
}

namespace
{
// A controller whose search holds it up: the worker's first marker waits
// until glimctl waits for an answer, and then longer than glimctl once did.
class CSlowSearchDlg : public CGlimwickDlg
{
public:
    std::atomic<bool> m_bAsked{false};

protected:
    void ShowFrame(int nFrame) override
    {
        if (nFrame == FRAME_MARKER_A && !m_bAsked)
        {
            m_bAsked = WaitUntil([] { return ::FindWindowExA(HWND_MESSAGE, NULL, GLIMWICK_REPLY_CLASS, NULL); },
                                 10000);
            ::Sleep(3000);
        }
        CGlimwickDlg::ShowFrame(nFrame);
    }
};

void SetPolicy(HKEY hRoot, const char* pszName, DWORD dw)
{
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(hRoot, CPolicies::KEY, pszName, REG_DWORD, &dw, sizeof dw));
}

// With the policies of both hives cleared before and after.
class PolicyTest : public GlimctlTest
{
protected:
    void SetUp() override
    {
        Clear();
        GlimctlTest::SetUp();
    }
    void TearDown() override
    {
        GlimctlTest::TearDown();
        Clear();
    }
    static void Clear()
    {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, CPolicies::KEY);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, CPolicies::KEY);
    }
    // The first status the instance answers; its first icon search holds it.
    std::string FirstStatus()
    {
        StartInstance();
        Result r = {};
        EXPECT_TRUE(WaitUntil([&] { return (r = RunGlimctl("status")).dwExit == 0; }, 30000)) << r.strErr;
        return r.strOut;
    }
};
} // namespace

TEST_F(GlimctlTest, StatusIsAnsweredAfterASearchThatHeldTheProgram)
{
    ASSERT_TRUE(CTrayLibrary::Bind((ProgramFolder() + "Sillbeck.dll").c_str()));
    CSlowSearchDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    const std::string strOut = ProgramFolder() + "glimctl-search.out";
    CChildProcess glimctl;
    ASSERT_TRUE(glimctl.Start("\"" + ProgramFolder() + "glimctl.exe\" status", strOut));
    dlg.StartIconSearch();
    EXPECT_TRUE(dlg.m_bAsked) << "glimctl asked during the search";
    EXPECT_TRUE(PumpUntil([&] { return !glimctl.IsRunning(); }, 30000));
    EXPECT_EQ(0u, glimctl.ExitCode());
    EXPECT_NE(std::string::npos, ReadWholeFile(strOut).find("\neyes=")) << ReadWholeFile(strOut);
    ::DeleteFileA(strOut.c_str());
    dlg.DestroyWindow();
    CTrayLibrary::Unbind();
}

TEST_F(PolicyTest, APolicyChangedWhileRunningTakesEffectWhenAnnouncedAndRefusesPauses)
{
    EXPECT_EQ("", Text(FirstStatus(), "policy"));
    ASSERT_EQ(0u, RunGlimctl("pause 5").dwExit);
    SetPolicy(HKEY_CURRENT_USER, "Interval", 1);
    SetPolicy(HKEY_CURRENT_USER, "DisablePause", 1);
    EXPECT_EQ(10, Value(Status(), "interval")) << "not before the announcement";

    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Policy"), SMTO_ABORTIFHUNG,
                          5000, &dwResult);
    std::string strStatus;
    EXPECT_TRUE(WaitUntil([&] { return Text(strStatus = Status(), "policy") == "Interval,DisablePause"; }, 10000))
        << strStatus;
    EXPECT_EQ(30, Value(strStatus, "interval"));
    EXPECT_EQ(0, Value(strStatus, "paused")) << "pauses turned off end the running one";

    const Result r = RunGlimctl("pause 5");
    EXPECT_EQ(4u, r.dwExit);
    EXPECT_NE(std::string::npos, r.strErr.find("policy (DisablePause) does not allow pauses")) << r.strErr;
    EXPECT_EQ(0u, RunGlimctl("resume").dwExit);
    EXPECT_EQ(0, Value(Status(), "paused"));
}
