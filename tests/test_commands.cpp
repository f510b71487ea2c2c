// The tray menu's commands in the running program: each opens what it
// promises, and the icon refuses its menu while a command's box is open.
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Found
{
    DWORD dwPid;
    std::string strCaption;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectByCaption(HWND hWnd, LPARAM lParam)
{
    Found* pFound = reinterpret_cast<Found*>(lParam);
    DWORD dwPid = 0;
    ::GetWindowThreadProcessId(hWnd, &dwPid);
    char sz[128] = {};
    ::GetWindowTextA(hWnd, sz, sizeof sz);
    if (dwPid == pFound->dwPid && pFound->strCaption == sz && ::IsWindowVisible(hWnd))
        pFound->windows.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> WindowsCaptioned(DWORD dwPid, const char* pszCaption)
{
    Found found = {dwPid, pszCaption, {}};
    ::EnumWindows(CollectByCaption, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

bool PopupMenuOpen()
{
    HWND hMenu = ::FindWindowA("#32768", NULL);
    return hMenu && ::IsWindowVisible(hMenu);
}

class CommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EndRunningProgram());
        ASSERT_NE(nullptr, m_hWnd = StartProgram(m_program));
        m_hTray = ::GetDlgItem(m_hWnd, 1102);
    }
    void TearDown() override
    {
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(m_program.WaitForExit(10000));
    }

    CChildProcess m_program;
    HWND m_hWnd = NULL;
    HWND m_hTray = NULL;
};
} // namespace

TEST_F(CommandsTest, EveryLoupeCommandOpensOneMore)
{
    for (int i = 1; i <= 3; ++i)
    {
        ::PostMessageA(m_hTray, WM_COMMAND, ID_MENU_LOUPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return WindowsCaptioned(m_program.Id(), " ﾙｰﾍﾟ").size() == size_t(i); }, 5000))
            << i << " Loupes";
    }
    PumpMessages(300);
    SaveScreenshot("loupe.bmp");
    // Closing one leaves the others.
    const std::vector<HWND> loupes = WindowsCaptioned(m_program.Id(), " ﾙｰﾍﾟ");
    ::PostMessageA(loupes[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowsCaptioned(m_program.Id(), " ﾙｰﾍﾟ").size() == 2; }, 5000));
}

TEST_F(CommandsTest, AdviceOpensAndTheIconRefusesItsMenuMeanwhile)
{
    ::PostMessageA(m_hTray, WM_COMMAND, ID_MENU_ADVICE, 0);
    std::vector<HWND> advice;
    ASSERT_TRUE(WaitUntil(
        [&] { return !(advice = WindowsCaptioned(m_program.Id(), " Glimwickからのアドバイス")).empty(); }, 5000));

    PumpMessages(300);
    SaveScreenshot("advice.bmp");
    // A right click on the icon while the box is up opens no menu.
    ::PostMessageA(m_hTray, WM_APP, 0, WM_RBUTTONUP);
    ::Sleep(500);
    EXPECT_FALSE(PopupMenuOpen());

    ::PostMessageA(advice[0], WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowsCaptioned(m_program.Id(), " Glimwickからのアドバイス").empty(); }, 5000));
}

TEST_F(CommandsTest, ExitFromTheMenuEndsTheProgram)
{
    ::PostMessageA(m_hTray, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(m_program.WaitForExit(10000));
    m_hWnd = NULL;
}
