// The tray icon service against the real notification area of the virtual
// desktop: shell calls, forwarded messages, the busy refusal, the menu, the
// taskbar's re-creation and the parent's procedure.
#include "app/TrayIcon.h"
#include "app/TrayParentTable.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const UINT WM_FORWARD_PROBE = WM_USER + 10;
const UINT kTestCommand = 4242;

// TRUE when the shell holds an icon for (hWnd, 1102): only an existing icon
// can be modified.
bool ShellHasIcon(HWND hWnd)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = hWnd;
    nid.uID = CTrayIcon::TRAY_ICON_ID;
    return ::Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The parent: records what the tray icon sends it.
class CParentWnd : public CWnd
{
public:
    CParentWnd()
    {
        const RECT rc = {0, 0, 10, 10};
        CreateEx(0, NULL, "tray parent", WS_POPUP, rc, nullptr, 0);
        m_nNotifyTaskbarCreated = ::RegisterWindowMessageA("NotifyTaskbarCreated");
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == m_nNotifyTaskbarCreated ||
            (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST))
        {
            m_received.push_back({message, wParam, lParam});
            if (message == WM_COMMAND && wParam == kTestCommand && m_pTray)
                OnTestCommand();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    // While the command runs, a click on the icon must be refused.
    void OnTestCommand()
    {
        m_bBusySeen = m_pTray->IsBusy() != FALSE;
        m_strTipMeanwhile = m_pTray->CurrentTip();
        const size_t nBefore = m_received.size();
        m_lClickResult = ::SendMessageA(m_pTray->m_hWnd, CTrayIcon::WM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
        m_bClickForwarded = m_received.size() != nBefore;
    }

    std::vector<Received> m_received;
    UINT m_nNotifyTaskbarCreated = 0;
    CTrayIcon* m_pTray = nullptr;
    bool m_bBusySeen = false;
    std::string m_strTipMeanwhile;
    LRESULT m_lClickResult = 0;
    bool m_bClickForwarded = true;
};

HICON SmallIcon(UINT nID)
{
    return static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(nID), IMAGE_ICON, 16, 16, LR_SHARED));
}
} // namespace

TEST(TrayIcon, CreateRefusals)
{
    CParentWnd parent;
    CTrayIcon tray;
    EXPECT_FALSE(tray.CreateTray(nullptr, IDR_TRAYMENU, NULL, TRUE, 0));
    EXPECT_FALSE(tray.CreateTray(&parent, 9999, NULL, TRUE, 0)) << "missing menu";
    EXPECT_EQ(NULL, tray.m_hWnd);
    EXPECT_FALSE(tray.NotifyShell(NIM_ADD)) << "not created: no parent to speak for";
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 0));
    EXPECT_FALSE(tray.CreateTray(&parent, IDR_TRAYMENU, NULL, TRUE, 0)) << "created already";
}

TEST(TrayIcon, HiddenChildAddedShownAndRemoved)
{
    CParentWnd parent;
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 0));
    EXPECT_EQ(parent.m_hWnd, ::GetParent(tray.m_hWnd));
    EXPECT_EQ(static_cast<int>(CTrayIcon::TRAY_ICON_ID), ::GetDlgCtrlID(tray.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(tray.m_hWnd));
    EXPECT_TRUE(tray.IsAdded());
    EXPECT_TRUE(ShellHasIcon(tray.m_hWnd));

    // Deleting works while hidden; changes while hidden are only stored.
    EXPECT_TRUE(tray.ShowTrayIcon(FALSE));
    EXPECT_FALSE(ShellHasIcon(tray.m_hWnd));
    HICON hOther = SmallIcon(IDR_MAINFRAME);
    EXPECT_FALSE(tray.SetTrayIcon(hOther));
    EXPECT_FALSE(ShellHasIcon(tray.m_hWnd));
    EXPECT_EQ(hOther, tray.GetTrayIcon());
    EXPECT_TRUE(tray.ShowTrayIcon(TRUE));
    EXPECT_TRUE(ShellHasIcon(tray.m_hWnd));
    EXPECT_TRUE(tray.SetTrayIcon(SmallIcon(IDI_IDLE))) << "modify once added";

    HWND hTray = tray.m_hWnd;
    tray.DestroyWindow();
    EXPECT_FALSE(ShellHasIcon(hTray)) << "the icon leaves with its window";
}

TEST(TrayIcon, CreatedWithoutShowStaysOut)
{
    CParentWnd parent;
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTray(&parent, 0, SmallIcon(IDI_IDLE), FALSE, 0));
    EXPECT_FALSE(tray.IsAdded());
    EXPECT_FALSE(ShellHasIcon(tray.m_hWnd));
    EXPECT_FALSE(tray.SetTrayIcon(SmallIcon(IDI_IDLE)));
    EXPECT_FALSE(ShellHasIcon(tray.m_hWnd));
}

TEST(TrayIcon, LongTooltipIsAccepted)
{
    CParentWnd parent;
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 0));
    // 200 characters reach the shell cut to 127, never overrunning the record.
    EXPECT_TRUE(tray.SetTooltipText(std::string(200, 'T').c_str()));
    EXPECT_EQ(200u, std::strlen(tray.CurrentTip()));
    EXPECT_TRUE(tray.SetTooltipText(""));
    EXPECT_STREQ("右クリックでメニュー表示", tray.CurrentTip()) << "an empty tip with a menu: the default";
    EXPECT_TRUE(ShellHasIcon(tray.m_hWnd));
}

TEST(TrayIcon, MouseMessagesForwardedWithTagAndCursor)
{
    CParentWnd parent;
    CTrayIcon tray;
    const UINT nTag = 0x12;
    ASSERT_TRUE(tray.CreateTray(&parent, 0, SmallIcon(IDI_IDLE), TRUE, nTag));
    ASSERT_TRUE(PlacePointer(300, 200));
    const POINT pt = {300, 200};
    const LPARAM lCursor = MAKELPARAM(pt.x, pt.y);
    struct Case
    {
        UINT nShell;
        bool bForwarded;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case kCases[] = {
        {WM_LBUTTONDOWN, true, (nTag << 16) + 1, lCursor},
        {WM_LBUTTONDBLCLK, true, (nTag << 16) + 1, lCursor},
        {WM_LBUTTONUP, true, nTag << 16, lCursor},
        {WM_RBUTTONDOWN, true, (nTag << 16) + 2, lCursor},
        {WM_RBUTTONDBLCLK, true, (nTag << 16) + 2, lCursor},
        {WM_RBUTTONUP, true, nTag << 16, 0},
        {WM_MOUSEMOVE, false, 0, 0},
    };
    for (const Case& c : kCases)
    {
        parent.m_received.clear();
        ::SendMessageA(tray.m_hWnd, CTrayIcon::WM_TRAY_NOTIFY, 0, c.nShell);
        ASSERT_EQ(c.bForwarded ? 1u : 0u, parent.m_received.size()) << "shell message " << c.nShell;
        if (!c.bForwarded)
            continue;
        EXPECT_EQ(c.nShell, parent.m_received[0].message);
        EXPECT_EQ(c.wParam, parent.m_received[0].wParam) << "shell message " << c.nShell;
        EXPECT_EQ(c.lParam, parent.m_received[0].lParam) << "shell message " << c.nShell;
    }
    EXPECT_FALSE(tray.IsBusy());
}

TEST(TrayIcon, CommandsForwardedAndClicksRefusedMeanwhile)
{
    CParentWnd parent;
    CTrayIcon tray;
    parent.m_pTray = &tray;
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 0));
    EXPECT_EQ(1, ::SendMessageA(tray.m_hWnd, WM_COMMAND, kTestCommand, 99));
    ASSERT_FALSE(parent.m_received.empty());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), parent.m_received[0].message);
    EXPECT_EQ(kTestCommand, parent.m_received[0].wParam);
    EXPECT_EQ(0, parent.m_received[0].lParam) << "forwarded with lParam 0";
    EXPECT_TRUE(parent.m_bBusySeen);
    EXPECT_EQ("コマンド処理中のためメニュー表示できません", parent.m_strTipMeanwhile);
    EXPECT_STREQ("右クリックでメニュー表示", tray.CurrentTip()) << "the usual tooltip afterwards";
    EXPECT_EQ(1, parent.m_lClickResult);
    EXPECT_FALSE(parent.m_bClickForwarded) << "no menu while a command runs";
    EXPECT_FALSE(tray.IsBusy());
    EXPECT_TRUE(ShellHasIcon(tray.m_hWnd));
}

namespace
{
bool s_bMenuSeen = false;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR nID, DWORD)
{
    HWND hMenu = ::FindWindowA("#32768", NULL);
    s_bMenuSeen = s_bMenuSeen || (hMenu && ::IsWindowVisible(hMenu));
    if (s_bMenuSeen)
    {
        ::KillTimer(NULL, nID);
        ::EndMenu();
    }
}
} // namespace

TEST(TrayIcon, RightClickSendsTheTagThenOpensTheMenu)
{
    CParentWnd parent;
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 7));
    s_bMenuSeen = false;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, CloseMenu);
    ::SendMessageA(tray.m_hWnd, CTrayIcon::WM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
    ::KillTimer(NULL, nTimer);
    EXPECT_TRUE(s_bMenuSeen) << "the popup menu opened";
    ASSERT_FALSE(parent.m_received.empty());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), parent.m_received[0].message);
    EXPECT_EQ(7u, parent.m_received[0].wParam) << "the tag comes first, as a command";
}

TEST(TrayIcon, TaskbarRecreatedBringsTheIconBack)
{
    CParentWnd parent;
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 3));
    HICON hLast = SmallIcon(IDR_MAINFRAME);
    tray.SetTrayIcon(hLast);
    // The broadcast reaches the parent; the icon's window hears it from there.
    ::SendMessageA(parent.m_hWnd, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (const Received& r : parent.m_received)
                if (r.message == parent.m_nNotifyTaskbarCreated)
                    return true;
            return false;
        },
        2000));
    const Received& r = parent.m_received.back();
    EXPECT_EQ(3u << 16, r.wParam);
    EXPECT_TRUE(tray.IsAdded());
    EXPECT_TRUE(ShellHasIcon(tray.m_hWnd));
    EXPECT_EQ(hLast, tray.GetTrayIcon()) << "with the image it had last";
}

TEST(TrayIcon, ParentGetsItsProcedureBack)
{
    CParentWnd parent;
    const LONG_PTR pfnBefore = ::GetWindowLongPtrA(parent.m_hWnd, GWLP_WNDPROC);
    {
        CTrayIcon tray;
        ASSERT_TRUE(tray.CreateTray(&parent, IDR_TRAYMENU, SmallIcon(IDI_IDLE), TRUE, 0));
        EXPECT_NE(pfnBefore, ::GetWindowLongPtrA(parent.m_hWnd, GWLP_WNDPROC));
        // The parent still answers through its own procedure meanwhile.
        parent.m_received.clear();
        ::SendMessageA(parent.m_hWnd, WM_COMMAND, 5, 0);
        EXPECT_EQ(1u, parent.m_received.size());
    }
    EXPECT_EQ(pfnBefore, ::GetWindowLongPtrA(parent.m_hWnd, GWLP_WNDPROC));
}

TEST(TrayParentTable, CountsAndCapacity)
{
    std::vector<HWND> parents;
    for (int i = 0; i < CTrayParentTable::MAX_ENTRIES + 1; ++i)
        parents.push_back(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL));
    for (int i = 0; i < CTrayParentTable::MAX_ENTRIES; ++i)
        EXPECT_TRUE(CTrayParentTable::Register(parents[i], DefWindowProcA, NULL)) << i;
    EXPECT_FALSE(CTrayParentTable::Register(parents.back(), DefWindowProcA, NULL)) << "the table is full";
    WNDPROC pfn = NULL;
    HWND hTray = NULL;
    EXPECT_FALSE(CTrayParentTable::Lookup(parents.back(), &pfn, &hTray));

    // A second registration only counts; the first removal keeps the entry.
    EXPECT_TRUE(CTrayParentTable::Register(parents[0], NULL, parents[1]));
    EXPECT_FALSE(CTrayParentTable::Remove(parents[0], &pfn));
    ASSERT_TRUE(CTrayParentTable::Lookup(parents[0], &pfn, &hTray));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcA), pfn);
    EXPECT_EQ(NULL, hTray);

    for (int i = 0; i < CTrayParentTable::MAX_ENTRIES; ++i)
    {
        pfn = NULL;
        EXPECT_TRUE(CTrayParentTable::Remove(parents[i], &pfn)) << i;
        EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcA), pfn);
    }
    EXPECT_TRUE(CTrayParentTable::Register(parents.back(), DefWindowProcA, NULL)) << "room again";
    EXPECT_TRUE(CTrayParentTable::Remove(parents.back(), &pfn));
    for (HWND h : parents)
        ::DestroyWindow(h);
}
