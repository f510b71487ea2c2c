// Reminders around the user's moment: the break decision for given idle
// times, and a reminder held over a full-screen window of this process.
#include "app/GlimwickDlg.h"
#include "app/ReminderGate.h"
#include "diag/Log.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const UINT kTenMinutes = 10 * 60 * 1000;

class CTestableDlg : public CGlimwickDlg
{
public:
    using CGlimwickDlg::m_wndBalloon;
    using CGlimwickDlg::StatusText;
};

size_t LogCount(const char* pszLine)
{
    const std::string strLog = ReadWholeFile(GetLogPath());
    size_t n = 0;
    for (size_t i = strLog.find(pszLine); i != std::string::npos; i = strLog.find(pszLine, i + 1))
        ++n;
    return n;
}

LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// A borderless window over the whole screen, in front: a slide show.
HWND ShowFullScreenWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "TestFullScreen";
    ::RegisterClassA(&wc);
    HWND hWnd = ::CreateWindowExA(0, wc.lpszClassName, "slides", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                  wc.hInstance, NULL);
    ::SetForegroundWindow(hWnd);
    return hWnd;
}
} // namespace

TEST(ReminderGate, IdleTimesMakeAndEndBreaks)
{
    struct Row
    {
        ULONGLONG tNow;
        DWORD dwIdle;
        BOOL bLocked;
        CReminderGate::Tick tick;
        BOOL bResting;
        CReminderGate::Due due; // of a reminder falling due at that moment
        LONGLONG nNext;
    };
    const DWORD kRest = CReminderGate::REST_IDLE_MS;
    const Row kRows[] = {
        {60000, 1000, FALSE, CReminderGate::TICK_NONE, FALSE, CReminderGate::DUE_SHOW, 540},
        {61000, kRest - 1, FALSE, CReminderGate::TICK_NONE, FALSE, CReminderGate::DUE_SHOW, 539},
        {62000, kRest, FALSE, CReminderGate::TICK_NONE, TRUE, CReminderGate::DUE_DROP, -1},
        {64000, 0xFFFFFFF0u, FALSE, CReminderGate::TICK_NONE, TRUE, CReminderGate::DUE_DROP, -1},
        // Input again: a full interval from now.
        {66000, 500, FALSE, CReminderGate::TICK_RESTART, FALSE, CReminderGate::DUE_SHOW, 600},
        {67500, 2000, FALSE, CReminderGate::TICK_NONE, FALSE, CReminderGate::DUE_SHOW, 599},
        // A locked session is a break however recent the input.
        {68000, 0, TRUE, CReminderGate::TICK_NONE, TRUE, CReminderGate::DUE_DROP, -1},
        {70000, 0, FALSE, CReminderGate::TICK_RESTART, FALSE, CReminderGate::DUE_SHOW, 600},
    };
    CReminderGate gate;
    gate.Armed(kTenMinutes, 0);
    for (const Row& r : kRows)
    {
        const CReminderGate::Tick tick = gate.OnTick(r.tNow, r.dwIdle, r.bLocked, FALSE);
        EXPECT_EQ(r.tick, tick) << "at " << r.tNow;
        if (tick == CReminderGate::TICK_RESTART)
            gate.Armed(gate.Period(), r.tNow);
        EXPECT_EQ(r.bResting, gate.IsResting()) << "at " << r.tNow;
        EXPECT_EQ(r.nNext, gate.NextSeconds(r.tNow)) << "at " << r.tNow;
        EXPECT_EQ(r.due, gate.OnDue(r.tNow, FALSE)) << "at " << r.tNow;
    }
    // A break that begins while a reminder waits is the rest it asked for.
    EXPECT_EQ(CReminderGate::DUE_HOLD, gate.OnDue(71000, TRUE));
    EXPECT_EQ(CReminderGate::TICK_NONE, gate.OnTick(72000, kRest, FALSE, TRUE));
    EXPECT_FALSE(gate.IsHeld());
    EXPECT_EQ(CReminderGate::TICK_RESTART, gate.OnTick(74000, 0, FALSE, FALSE)) << "nothing left to show";
}

TEST(ReminderHold, WaitsForFullScreenWorkAndShowsOnceWhenItEnds)
{
    NudgeInput();
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    HWND hFull = ShowFullScreenWindow();
    PumpMessages(300);
    ASSERT_EQ(hFull, ::GetForegroundWindow());
    WriteLog("HOLD TEST\n");
    const size_t nHeld = LogCount("REMINDER HELD");
    const size_t nShown = LogCount("REMINDER SHOWN AFTER HOLD");

    // Due twice while the window is in front: held once, never queued.
    dlg.PostMessage(WM_TIMER, CGlimwickDlg::TIMER_REMINDER);
    PumpMessages(1000);
    dlg.PostMessage(WM_TIMER, CGlimwickDlg::TIMER_REMINDER);
    PumpMessages(2500);
    EXPECT_FALSE(dlg.m_wndBalloon.IsWindowVisible()) << "held while the window stays";
    EXPECT_NE(std::string::npos, std::string(dlg.StatusText()).find("held=1"));
    EXPECT_EQ(nHeld + 1, LogCount("REMINDER HELD"));

    ::DestroyWindow(hFull);
    const ULONGLONG tClosed = ::GetTickCount64();
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_wndBalloon.IsWindowVisible() != FALSE; }, 3000));
    EXPECT_LE(::GetTickCount64() - tClosed, 3000u);
    EXPECT_EQ(nShown + 1, LogCount("REMINDER SHOWN AFTER HOLD"));
    EXPECT_NE(std::string::npos, std::string(dlg.StatusText()).find("held=0"));

    // Once: hidden again, nothing else was waiting.
    dlg.SendMessage(WM_TIMER, CGlimwickDlg::TIMER_HIDEBALLOON);
    PumpMessages(2500);
    EXPECT_FALSE(dlg.m_wndBalloon.IsWindowVisible());
    EXPECT_EQ(nShown + 1, LogCount("REMINDER SHOWN AFTER HOLD"));
    dlg.DestroyWindow();
}
