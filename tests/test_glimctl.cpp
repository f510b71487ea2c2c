// glimctl against the real program, and without one.
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
struct Result
{
    DWORD dwExit;
    std::string strErr;
};

Result RunGlimctl(const std::string& strArgs)
{
    const std::string strErrFile = ProgramFolder() + "glimctl-test.err";
    CChildProcess proc;
    if (!proc.Start("\"" + ProgramFolder() + "glimctl.exe\" " + strArgs, std::string(), strErrFile))
        return {0xFFFFFFFF, "not started"};
    if (!proc.WaitForExit(15000))
        return {0xFFFFFFFE, "did not end"};
    Result r = {proc.ExitCode(), ReadWholeFile(strErrFile)};
    ::DeleteFileA(strErrFile.c_str());
    return r;
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
    for (const char* pszArgs : {"exit", "remind", "report 1 2 3 4"})
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
    for (const char* pszArgs : {"reload", "stop", "start", "remind", "report 1100 780 1280 800", "report 0 0 65535 65535"})
    {
        const Result r = RunGlimctl(pszArgs);
        EXPECT_EQ(0u, r.dwExit) << pszArgs << ": " << r.strErr;
    }
    ::Sleep(300);
    EXPECT_TRUE(m_instance.IsRunning()) << "none of these ends the program";
    const Result r = RunGlimctl("exit");
    EXPECT_EQ(0u, r.dwExit);
    // Each new report starts an icon search, which holds the program for up
    // to 20 seconds before it reads the exit.
    EXPECT_TRUE(m_instance.WaitForExit(60000));
}
