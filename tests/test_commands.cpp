// The tray menu's commands in the running program: each opens what it
// promises, the boxes open centred, a quick tap on the icon opens the menu,
// and the icon refuses its menu while a command's box is open.
#include "res/Protocol.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
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

// The middle of the program's icon, from the search's log line; (0, 0)
// when the program did not find its icon.
POINT IconCentre()
{
    const std::regex found(R"(FIND ICON RECT \( (-?\d+), (-?\d+) \))");
    std::smatch m;
    std::string strLog;
    if (!WaitUntil(
            [&] {
                strLog = ReadWholeFile(TempFolder() + "Glimwick_v2.log");
                return std::regex_search(strLog, m, found);
            },
            20000))
        return POINT{0, 0};
    // The rectangle starts at the icon's column 2, row 1.
    return POINT{std::stoi(m[1]) + 6, std::stoi(m[2]) + 6};
}

// A command may wait behind an icon search, which holds the program's
// thread for up to 20 s (the first comes right after start-up).
const DWORD kAnswerTimeout = 25000;

// A right click through the shell, pressed and released with no delay
// between them, as a touchpad tap or an automation tool gives it.
void TapRight(POINT pt)
{
    // The click goes where the pointer is: on the icon, for sure.
    EXPECT_TRUE(PlacePointer(pt.x, pt.y));
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

class CommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EndRunningProgram());
        // The log grows across runs: only this run's search may be read.
        ::DeleteFileA((TempFolder() + "Glimwick_v2.log").c_str());
        ASSERT_NE(nullptr, m_hWnd = StartProgram(m_program));
        m_hTray = ::GetDlgItem(m_hWnd, GLIMWICK_TRAY_ICON_ID);
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
        EXPECT_TRUE(
            WaitUntil([&] { return WindowsCaptioned(m_program.Id(), " ﾙｰﾍﾟ").size() == size_t(i); }, kAnswerTimeout))
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

    // A right click on the icon while the box is up opens no menu. The
    // shell's notification of it, sent as the shell sends it: once the call
    // returns the icon has dealt with the click (a menu would hold it).
    DWORD_PTR dwResult = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(m_hTray, WM_GLIMWICK_TRAY_NOTIFY, GLIMWICK_TRAY_ICON_ID, WM_RBUTTONUP,
                                       SMTO_NORMAL, 5000, &dwResult));
    EXPECT_FALSE(PopupMenuOpen());

    ::PostMessageA(advice[0], WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowsCaptioned(m_program.Id(), " Glimwickからのアドバイス").empty(); }, 5000));
}

TEST_F(CommandsTest, EveryQuickTapOpensTheMenu)
{
    const POINT ptIcon = IconCentre();
    ASSERT_NE(0, ptIcon.x) << "the eyes found themselves";
    int nMenus = 0;
    for (int i = 0; i < 20; ++i)
    {
        TapRight(ptIcon);
        // Generous: with other desktops' tests beside it, a menu can take
        // seconds to come up; a refused tap never brings one.
        if (WaitUntil(PopupMenuOpen, 10000))
            ++nMenus;
        // What EndMenu does: the menu's loop ends on this message. Under Wine
        // the first one is not always taken, so it is repeated.
        ASSERT_TRUE(WaitUntil(
            [] {
                ::PostMessageA(::FindWindowA("#32768", NULL), WM_CANCELMODE, 0, 0);
                return WaitUntil([] { return !PopupMenuOpen(); }, 300);
            },
            5000))
            << "tap " << i;
    }
    EXPECT_EQ(20, nMenus);
}

TEST_F(CommandsTest, BoxesOpenCentredOnTheWorkArea)
{
    struct Case
    {
        UINT nCommand;
        const char* pszCaption;
        const char* pszShot;
    };
    const Case kCases[] = {
        {ID_MENU_SETTINGS, " ｵﾌﾟｼｮﾝ設定", "settings.bmp"},
        {ID_MENU_ADVICE, " Glimwickからのアドバイス", "advice.bmp"},
        {ID_MENU_ABOUT, " Glimwick のﾊﾞｰｼﾞｮﾝ情報", "about.bmp"},
    };
    RECT rcWork;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0));
    // After the first search, which holds the program's thread meanwhile.
    ASSERT_NE(0, IconCentre().x);
    for (const Case& c : kCases)
    {
        ::PostMessageA(m_hTray, WM_COMMAND, c.nCommand, 0);
        std::vector<HWND> boxes;
        ASSERT_TRUE(WaitUntil([&] { return !(boxes = WindowsCaptioned(m_program.Id(), c.pszCaption)).empty(); },
                              5000))
            << c.pszCaption;
        PumpMessages(300);
        SaveScreenshot(c.pszShot);
        RECT rc;
        ::GetWindowRect(boxes[0], &rc);
        EXPECT_NEAR(rcWork.left + rcWork.right, rc.left + rc.right, 2) << c.pszCaption;
        EXPECT_NEAR(rcWork.top + rcWork.bottom, rc.top + rc.bottom, 2) << c.pszCaption;
        ::PostMessageA(boxes[0], WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return WindowsCaptioned(m_program.Id(), c.pszCaption).empty(); }, 5000));
    }
}

TEST_F(CommandsTest, ExitFromTheMenuEndsTheProgram)
{
    ::PostMessageA(m_hTray, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(m_program.WaitForExit(10000));
    m_hWnd = NULL;
}
