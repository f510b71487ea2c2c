// The hidden controller in this process, built from the program's own
// resources, with the tray library beside the test program.
#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "frame/String.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/StoredSettings.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const char kSettingsKey[] = "Software\\MOSS-HARK\\Glimwick";

class CTestableDlg : public CGlimwickDlg
{
public:
    using CGlimwickDlg::m_bTrackerStarted;
    using CGlimwickDlg::m_rcReported;
};

// KillTimer is the only way to ask whether a timer runs; it stops it too.
bool TimerWasArmed(HWND hWnd, UINT_PTR nID)
{
    return ::KillTimer(hWnd, nID) != FALSE;
}

std::string MenuItemText(HMENU hMenu, int nPos)
{
    char sz[256] = {};
    ::GetMenuStringA(hMenu, nPos, sz, sizeof sz, MF_BYPOSITION);
    return sz;
}

class ControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTrayLibrary::Bind((ProgramFolder() + "Sillbeck.dll").c_str()));
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval");
    }
    void TearDown() override
    {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval");
        CTrayLibrary::Unbind();
    }
    static void StoreInterval(DWORD dwType, const void* pData, DWORD cb)
    {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval", dwType, pData, cb));
    }
    static void StoreInterval(DWORD dwIndex) { StoreInterval(REG_DWORD, &dwIndex, sizeof dwIndex); }
};
} // namespace

TEST_F(ControllerTest, HiddenMarkerWindowWithItsCommandButtons)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    EXPECT_EQ(dlg.m_hWnd, ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE));
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_TRUE(::GetWindowLongA(dlg.m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const DWORD dwStyle = dlg.GetStyle();
    EXPECT_TRUE(dwStyle & WS_SYSMENU);
    EXPECT_TRUE(dwStyle & WS_CAPTION);
    for (int nID : {ID_MENU_ABOUT, ID_MENU_SETTINGS, IDC_RELOAD_INTERVAL, IDC_TRACKER_START, IDC_TRACKER_STOP,
                    ID_MENU_LOUPE, ID_MENU_ADVICE})
        EXPECT_NE(nullptr, ::GetDlgItem(dlg.m_hWnd, nID)) << "button " << nID;
    PumpMessages(100);
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd)) << "still hidden after its messages ran";
}

TEST_F(ControllerTest, SystemMenuEndsWithTheAboutItem)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    HMENU hSys = ::GetSystemMenu(dlg.m_hWnd, FALSE);
    ASSERT_NE(nullptr, hSys);
    const int n = ::GetMenuItemCount(hSys);
    ASSERT_GE(n, 2);
    EXPECT_EQ(MF_SEPARATOR, ::GetMenuState(hSys, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(CGlimwickDlg::IDM_ABOUTBOX, ::GetMenuItemID(hSys, n - 1));
    EXPECT_EQ("Glimwick のﾊﾞｰｼﾞｮﾝ情報(&A)...", MenuItemText(hSys, n - 1));
}

TEST_F(ControllerTest, ApplicationIconIsTheWindowsIconAndDragIcon)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    HICON hIcon = ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(nullptr, hIcon);
    EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), dlg.SendMessage(WM_GETICON, ICON_BIG));
    EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), dlg.SendMessage(WM_GETICON, ICON_SMALL));
    EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), dlg.SendMessage(WM_QUERYDRAGICON));
}

TEST_F(ControllerTest, StartupArmsWatchReminderAndAnimation)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    EXPECT_NE(0, dlg.m_bTrackerStarted);
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_TRAYWATCH));
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER)) << "no stored interval: every 10 minutes";
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_ANIMATE));
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_RETRY));
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_HIDEBALLOON));
}

TEST_F(ControllerTest, WithoutTheLibraryNoAnimationTimer)
{
    CTrayLibrary::Unbind();
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    EXPECT_EQ(0, dlg.m_bTrackerStarted);
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_ANIMATE));
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_TRAYWATCH));
    // Start is tried again on request, and still fails harmlessly.
    dlg.SendMessage(WM_COMMAND, IDC_TRACKER_START);
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_ANIMATE));
}

TEST_F(ControllerTest, TrackerStopAndStartCommands)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    dlg.SendMessage(WM_COMMAND, IDC_TRACKER_STOP);
    EXPECT_EQ(0, dlg.m_bTrackerStarted);
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_ANIMATE));
    dlg.SendMessage(WM_COMMAND, IDC_TRACKER_STOP);
    EXPECT_EQ(0, dlg.m_bTrackerStarted) << "stopping twice is harmless";
    dlg.PostMessage(WM_COMMAND, IDC_TRACKER_START);
    PumpMessages(50);
    EXPECT_NE(0, dlg.m_bTrackerStarted);
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_ANIMATE));
}

TEST_F(ControllerTest, ReloadFollowsTheStoredInterval)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));

    StoreInterval(CStoredSettings::INTERVAL_NONE);
    dlg.SendMessage(WM_COMMAND, IDC_RELOAD_INTERVAL);
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER)) << "none: no reminders";

    StoreInterval(0xFFFFFFFFu);
    dlg.SendMessage(WM_COMMAND, IDC_RELOAD_INTERVAL);
    EXPECT_FALSE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER)) << "out of range: no reminders";

    StoreInterval(4);
    dlg.SendMessage(WM_COMMAND, IDC_RELOAD_INTERVAL);
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER));

    // Data of another type or size counts as unreadable: the default interval.
    StoreInterval(REG_SZ, "5", 2);
    dlg.SendMessage(WM_COMMAND, IDC_RELOAD_INTERVAL);
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER));
    const BYTE kShort[2] = {5, 0};
    StoreInterval(REG_BINARY, kShort, sizeof kShort);
    dlg.SendMessage(WM_COMMAND, IDC_RELOAD_INTERVAL);
    EXPECT_TRUE(TimerWasArmed(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER));
}

TEST_F(ControllerTest, TrayReportEdgesAreUnsigned16Bit)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    dlg.SendMessage(WM_GLIMWICK_TRAY_REPORT, MAKEWPARAM(1100, 780), MAKELPARAM(0xFFFF, 800));
    EXPECT_EQ(1100, dlg.m_rcReported.left);
    EXPECT_EQ(780, dlg.m_rcReported.top);
    EXPECT_EQ(65535, dlg.m_rcReported.right);
    EXPECT_EQ(800, dlg.m_rcReported.bottom);
}

TEST_F(ControllerTest, ExitAndCloseEndTheMainLoop)
{
    struct Case
    {
        UINT message;
        WPARAM wParam;
        int nExpected;
    };
    const Case kCases[] = {
        {WM_COMMAND, IDOK, IDOK},
        {WM_CLOSE, 0, IDCANCEL},
        {WM_COMMAND, IDCANCEL, IDCANCEL},
    };
    for (const Case& c : kCases)
    {
        CTestableDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
        dlg.PostMessage(c.message, c.wParam, 0);
        EXPECT_EQ(c.nExpected, dlg.RunModalLoop()) << "message " << c.message;
        EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
        HWND hWnd = dlg.m_hWnd;
        EXPECT_TRUE(dlg.DestroyWindow());
        EXPECT_FALSE(::IsWindow(hWnd));
    }
}

TEST_F(ControllerTest, ExternalCommandsLeaveTheLoopRunning)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    for (WPARAM nID : {IDC_RELOAD_INTERVAL, IDC_TRACKER_START, IDC_TRACKER_STOP})
        dlg.PostMessage(WM_COMMAND, nID, 0);
    dlg.PostMessage(WM_GLIMWICK_TRAY_REPORT, MAKEWPARAM(1, 2), MAKELPARAM(3, 4));
    dlg.PostMessage(WM_COMMAND, IDOK, 0);
    EXPECT_EQ(IDOK, dlg.RunModalLoop()) << "only the last message ended the loop";
    EXPECT_EQ(4, dlg.m_rcReported.bottom);
}

TEST(ControllerResources, AboutStringIsShiftJis)
{
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_ABOUTBOX));
    EXPECT_STREQ("Glimwick のﾊﾞｰｼﾞｮﾝ情報(&A)...", s);
    // ﾊ is one byte and の two: the text is Shift-JIS, not UTF-8.
    EXPECT_EQ(static_cast<char>(0xCA), s.GetAt(11));
}

TEST(ControllerResources, TrayMenuItemsInOrder)
{
    HMENU hMenu = ::LoadMenuA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(nullptr, hMenu);
    HMENU hPopup = ::GetSubMenu(hMenu, 0);
    ASSERT_NE(nullptr, hPopup);
    struct Item
    {
        UINT nID;
        const char* pszText;
    };
    const Item kItems[] = {
        {ID_MENU_LOUPE, "ﾙｰﾍﾟ..."}, {ID_MENU_ADVICE, "ｱﾄﾞﾊﾞｲｽ..."}, {ID_MENU_SETTINGS, "設定..."},
        {0, ""}, {ID_MENU_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報..."}, {IDOK, "終了"},
    };
    ASSERT_EQ(6, ::GetMenuItemCount(hPopup));
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(kItems[i].nID, ::GetMenuItemID(hPopup, i)) << "item " << i;
        EXPECT_EQ(kItems[i].pszText, MenuItemText(hPopup, i)) << "item " << i;
    }
    EXPECT_TRUE(::GetMenuState(hPopup, 3, MF_BYPOSITION) & MF_SEPARATOR);
    ::DestroyMenu(hMenu);
}

TEST(ControllerResources, IconGroupsHoldTheirSizes)
{
    // The group directory lists each image: width, height, colour count,
    // reserved, planes, bit count, size, identifier.
#pragma pack(push, 2)
    struct GroupEntry
    {
        BYTE bWidth, bHeight, bColorCount, bReserved;
        WORD wPlanes, wBitCount;
        DWORD dwBytesInRes;
        WORD nID;
    };
#pragma pack(pop)
    struct Case
    {
        UINT nGroup;
        std::vector<int> widths;
    };
    const Case kCases[] = {{IDR_MAINFRAME, {32, 16}}, {IDI_IDLE, {16}}};
    HINSTANCE hInst = ::GetModuleHandleA(NULL);
    for (const Case& c : kCases)
    {
        HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(c.nGroup), RT_GROUP_ICON);
        ASSERT_NE(nullptr, hRes) << "group " << c.nGroup;
        const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hRes)));
        const WORD nCount = *reinterpret_cast<const WORD*>(p + 4);
        ASSERT_EQ(c.widths.size(), nCount) << "group " << c.nGroup;
        const GroupEntry* pEntries = reinterpret_cast<const GroupEntry*>(p + 6);
        for (WORD i = 0; i < nCount; ++i)
        {
            EXPECT_EQ(c.widths[i], pEntries[i].bWidth) << "group " << c.nGroup;
            EXPECT_EQ(c.widths[i], pEntries[i].bHeight) << "group " << c.nGroup;
        }
    }
    // Both load as the small icon the tray will use.
    for (UINT nID : {IDR_MAINFRAME, IDI_IDLE})
    {
        HICON hIcon = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nID), IMAGE_ICON, 16, 16, LR_SHARED));
        EXPECT_NE(nullptr, hIcon) << "icon " << nID;
    }
}
