// Reminders around the user's moment: the gate's decisions for given
// readings and times, the camera and microphone as the consent store tells
// them, a reminder held over a full-screen window of this process, during a
// call and in quiet time, the monitor it goes to, and requests of other
// processes.
#include "app/CallWatch.h"
#include "app/GlimwickDlg.h"
#include "app/QuietState.h"
#include "app/ReminderGate.h"
#include "diag/Log.h"
#include "res/resource.h"
#include "tests/TestKey.h"
#include "tests/TestSupport.h"
#include "windows/MonitorChoice.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const UINT kTenMinutes = 10 * 60 * 1000;
typedef CReminderGate G;
const G::Moment kNone = {FALSE, FALSE, FALSE};
const G::Moment kFull = {TRUE, FALSE, FALSE};
const G::Moment kCall = {FALSE, TRUE, FALSE};
const G::Moment kQuiet = {FALSE, FALSE, TRUE};

class CTestableDlg : public CGlimwickDlg
{
public:
    using CGlimwickDlg::m_wndBalloon;
    using CGlimwickDlg::StatusText;
    bool Says(const char* pszLine) const { return std::string(StatusText()).find(pszLine) != std::string::npos; }
};

size_t LogCount(const char* pszLine)
{
    return CountOf(ReadWholeFile(GetLogPath()), pszLine);
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
        const CReminderGate::Tick tick = gate.OnTick(r.tNow, r.dwIdle, r.bLocked, kNone);
        EXPECT_EQ(r.tick, tick) << "at " << r.tNow;
        if (tick == CReminderGate::TICK_RESTART)
            gate.Armed(gate.Period(), r.tNow);
        EXPECT_EQ(r.bResting, gate.IsResting()) << "at " << r.tNow;
        EXPECT_EQ(r.nNext, gate.NextSeconds(r.tNow)) << "at " << r.tNow;
        EXPECT_EQ(r.due, gate.OnDue(r.tNow, kNone)) << "at " << r.tNow;
    }
    // Idle in front of full-screen work or in a call is no break: the held
    // reminder waits for it to end.
    EXPECT_EQ(CReminderGate::DUE_HOLD, gate.OnDue(71000, kFull));
    for (const G::Moment& m : {kFull, kCall})
    {
        EXPECT_EQ(CReminderGate::TICK_NONE, gate.OnTick(72000, kRest, FALSE, m));
        EXPECT_FALSE(gate.IsResting());
    }
    EXPECT_EQ(CReminderGate::TICK_SHOW_HELD, gate.OnTick(73000, kRest - 1, FALSE, kNone));
    // Quiet time is no screen to watch; and a lock is a break all the same.
    for (const G::Moment& m : {kQuiet, kFull})
    {
        EXPECT_EQ(CReminderGate::DUE_HOLD, gate.OnDue(74000, m));
        EXPECT_EQ(CReminderGate::TICK_NONE, gate.OnTick(75000, kRest, m.bFullScreen, m));
        EXPECT_FALSE(gate.IsHeld()) << "the break is the rest it asked for";
        EXPECT_EQ(CReminderGate::TICK_RESTART, gate.OnTick(76000, 0, FALSE, m)) << "nothing left to show";
    }
}

TEST(ReminderGate, HoldsForEachReasonUntilAllHaveEnded)
{
    const G::Moment kCallFull = {TRUE, TRUE, FALSE};
    const G::Moment kFullQuiet = {TRUE, FALSE, TRUE};
    // A reminder falls due (bDue) or the regular look comes, with readings.
    struct Row
    {
        bool bDue;
        G::Moment moment;
        int nAnswer; // a Due or a Tick
        G::Hold held;
    };
    const Row kRows[] = {
        {true, kNone, G::DUE_SHOW, G::HOLD_NONE},
        {true, kQuiet, G::DUE_HOLD, G::HOLD_QUIET},
        {false, kFullQuiet, G::TICK_NONE, G::HOLD_FULLSCREEN},
        {true, kCallFull, G::DUE_DROP, G::HOLD_FULLSCREEN}, // never queued
        {false, kCallFull, G::TICK_NONE, G::HOLD_CALL},
        {false, kFull, G::TICK_NONE, G::HOLD_FULLSCREEN}, // the call ended, the slides go on
        {false, kQuiet, G::TICK_NONE, G::HOLD_QUIET},
        {false, kNone, G::TICK_SHOW_HELD, G::HOLD_NONE},
        {false, kNone, G::TICK_NONE, G::HOLD_NONE}, // shown once
        {true, kCall, G::DUE_HOLD, G::HOLD_CALL},
    };
    CReminderGate gate;
    gate.Armed(kTenMinutes, 0);
    int nRow = 0;
    for (const Row& r : kRows)
    {
        const int nAnswer = r.bDue ? static_cast<int>(gate.OnDue(1000, r.moment))
                                    : static_cast<int>(gate.OnTick(1000, 0, FALSE, r.moment));
        EXPECT_EQ(r.nAnswer, nAnswer) << "row " << nRow;
        EXPECT_EQ(r.held, gate.Held()) << "row " << nRow++;
    }
    EXPECT_EQ(0, gate.NextSeconds(2000)) << "due now";
    EXPECT_STREQ("call", G::HoldName(gate.Held()));
    // A new interval, "none" or Settings end the hold.
    gate.Armed(0, 3000);
    EXPECT_FALSE(gate.IsHeld());
    EXPECT_EQ(-1, gate.NextSeconds(3000));
}

TEST(ReminderGate, PausesEndTheMomentTheyRunOut)
{
    CReminderGate gate;
    gate.Armed(kTenMinutes, 0);
    EXPECT_FALSE(gate.Pause(0, 1000));
    EXPECT_FALSE(gate.Pause(1441, 1000));
    EXPECT_EQ(599, gate.NextSeconds(1000));
    EXPECT_EQ(G::DUE_HOLD, gate.OnDue(2000, kFull));
    EXPECT_TRUE(gate.Pause(1, 3000));
    EXPECT_FALSE(gate.IsHeld()) << "a pause drops the held reminder";
    EXPECT_EQ(60u, gate.PauseLeftSeconds(3000));
    EXPECT_EQ(660, gate.NextSeconds(3000)) << "a full interval after the pause";
    EXPECT_EQ(G::DUE_DROP, gate.OnDue(4000, kNone));
    EXPECT_EQ(G::TICK_NONE, gate.OnTick(62999, 0, FALSE, kNone));
    EXPECT_EQ(1u, gate.PauseLeftSeconds(62999));
    // Run out just now, before the regular look: not shown, counted afresh.
    EXPECT_EQ(G::DUE_RESTART, gate.OnDue(63000, kNone));
    EXPECT_EQ(0u, gate.PauseLeftSeconds(63000));
    ASSERT_TRUE(gate.Pause(1, 64000));
    EXPECT_EQ(600, gate.NextSeconds(124500)) << "run out unseen: a full interval from now";
    EXPECT_TRUE(gate.Resume()) << "still a pause to end, so the count-down restarts";
    EXPECT_FALSE(gate.Resume());
    ASSERT_TRUE(gate.Pause(1, 126000));
    EXPECT_EQ(G::TICK_RESTART, gate.OnTick(186000, 0, FALSE, kNone));
    EXPECT_FALSE(gate.Resume());
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
    // At the next look, every 2 s; a loaded machine may take longer.
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_wndBalloon.IsWindowVisible() != FALSE; }, 10000));
    EXPECT_EQ(nShown + 1, LogCount("REMINDER SHOWN AFTER HOLD"));
    EXPECT_NE(std::string::npos, std::string(dlg.StatusText()).find("held=0"));

    // Once: hidden again, nothing else was waiting.
    dlg.SendMessage(WM_TIMER, CGlimwickDlg::TIMER_HIDEBALLOON);
    PumpMessages(2500);
    EXPECT_FALSE(dlg.m_wndBalloon.IsWindowVisible());
    EXPECT_EQ(nShown + 1, LogCount("REMINDER SHOWN AFTER HOLD"));
    dlg.DestroyWindow();
}

namespace
{
const ULONGLONG kSomeTime = 133000000000000000ull; // a FILETIME in 2022
const ULONGLONG kZero = 0;
} // namespace

TEST(CallWatch, AnAppUsesADeviceWhileItsStopTimeIsZero)
{
    CTestKey key;
    // Values of a desktop program's key: type, data and size (0: none).
    struct Value
    {
        DWORD dwType;
        const void* p;
        DWORD cb;
    };
    const Value kTime = {REG_QWORD, &kSomeTime, 8}, kNought = {REG_QWORD, &kZero, 8}, kNone = {REG_QWORD, &kZero, 0};
    const struct
    {
        Value start, stop;
        BOOL bInUse;
    } kRows[] = {
        {kTime, kNought, TRUE},
        {kTime, kTime, FALSE},
        {kTime, kNone, FALSE},
        {kNone, kNought, FALSE},
        {kNought, kNought, FALSE},
        {kTime, {REG_QWORD, &kZero, 4}, FALSE},
        {kTime, {REG_BINARY, &kZero, 8}, FALSE},
    };
    const std::string strApp = "webcam\\NonPackaged\\C:#Program Files#Call#call.exe";
    for (size_t i = 0; i < sizeof kRows / sizeof kRows[0]; ++i)
    {
        ::RegDeleteTreeA(key.Handle(), "webcam");
        for (const auto& v : {std::make_pair("LastUsedTimeStart", kRows[i].start),
                              std::make_pair("LastUsedTimeStop", kRows[i].stop)})
            ASSERT_TRUE(!v.second.cb || key.SetRaw(strApp, v.first, v.second.dwType, v.second.p, v.second.cb));
        HKEY hDevice = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(key.Handle(), "webcam", 0, KEY_READ, &hDevice));
        EXPECT_EQ(kRows[i].bInUse, CCallWatch::DeviceInUse(hDevice)) << "row " << i;
        ::RegCloseKey(hDevice);
    }
    // The watch hears of each change: a store app's microphone in use, no
    // longer, again, and the device's key gone.
    CCallWatch watch(HKEY_CURRENT_USER, key.SubKey().c_str());
    EXPECT_FALSE(watch.InCall());
    const std::string strStoreApp = "microphone\\Microsoft.Teams_8wekyb3d8bbwe";
    ASSERT_TRUE(key.SetRaw(strStoreApp, "LastUsedTimeStart", REG_QWORD, &kSomeTime, 8));
    for (const ULONGLONG* pStop : {&kZero, &kSomeTime, &kZero})
    {
        ASSERT_TRUE(key.SetRaw(strStoreApp, "LastUsedTimeStop", REG_QWORD, pStop, 8));
        EXPECT_TRUE(WaitUntil([&] { return watch.InCall() == (*pStop == 0); }, 2000));
    }
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteTreeA(key.Handle(), "microphone"));
    EXPECT_TRUE(WaitUntil([&] { return !watch.InCall(); }, 2000));
}

namespace
{
// A desktop program's use of the microphone in the consent store Glimwick
// reads, gone at the end.
struct CMicrophoneInUse
{
    const std::string strApp =
        std::string(CCallWatch::CONSENT_STORE) + "\\microphone\\NonPackaged\\C:#GlimwickTest#call.exe";
    CMicrophoneInUse()
    {
        Set("LastUsedTimeStart", kSomeTime);
        Set("LastUsedTimeStop", 0);
    }
    ~CMicrophoneInUse() { ::RegDeleteTreeA(HKEY_CURRENT_USER, strApp.c_str()); }
    void Set(LPCSTR pszName, ULONGLONG nTime) const
    {
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegSetKeyValueA(HKEY_CURRENT_USER, strApp.c_str(), pszName, REG_QWORD, &nTime, sizeof nTime));
    }
};

BOOL SaysQuiet()
{
    return TRUE;
}
} // namespace

TEST(ReminderHold, WaitsOutACallAndQuietTime)
{
    NudgeInput();
    CMicrophoneInUse call;
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    const size_t nCall = LogCount("HOLD FOR CALL");
    dlg.PostMessage(WM_TIMER, CGlimwickDlg::TIMER_REMINDER);
    EXPECT_TRUE(PumpUntil([&] { return dlg.Says("\nheld=1\nhold=call\n"); }, 2000));
    EXPECT_EQ(nCall + 1, LogCount("HOLD FOR CALL"));
    PumpMessages(2500);
    EXPECT_FALSE(dlg.m_wndBalloon.IsWindowVisible()) << "held while the call goes on";

    call.Set("LastUsedTimeStop", kSomeTime + 1);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_wndBalloon.IsWindowVisible() != FALSE; }, 3000));
    EXPECT_TRUE(dlg.Says("\nheld=0\nhold=none\n"));
    dlg.SendMessage(WM_TIMER, CGlimwickDlg::TIMER_HIDEBALLOON);

    // Windows' quiet time, as Wine never reports it.
    CQuietState::ReplaceReading(SaysQuiet);
    dlg.PostMessage(WM_TIMER, CGlimwickDlg::TIMER_REMINDER);
    EXPECT_TRUE(PumpUntil([&] { return dlg.Says("\nhold=quiet\n"); }, 2000));
    CQuietState::ReplaceReading(nullptr);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_wndBalloon.IsWindowVisible() != FALSE; }, 3000));
    dlg.DestroyWindow();
}

namespace
{
LRESULT CALLBACK ReplyProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, ::GetWindowLongPtrA(hWnd, GWLP_USERDATA) + 1);
    return message == WM_COPYDATA ? TRUE : ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND MakeWindow(LPCSTR pszClass)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = pszClass;
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, pszClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
}
} // namespace

TEST(ReminderRequests, BadRequestsAreRefusedAndChangeNothing)
{
    CTestableDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    HWND hReply = MakeWindow(GLIMWICK_REPLY_CLASS);
    HWND hGone = MakeWindow(GLIMWICK_REPLY_CLASS);
    ::DestroyWindow(hGone);
    HWND hStranger = MakeWindow("NotGlimctl");
    const ULONGLONG nFive = 5;
    const struct
    {
        const char* pszWhat;
        ULONG_PTR dwData;
        DWORD cbData;
        const void* pData;
        HWND hFrom;
    } kRows[] = {
        {"pause, two bytes", GLIMWICK_COPY_PAUSE, 2, &nFive, hReply},
        {"pause, no data", GLIMWICK_COPY_PAUSE, 4, nullptr, hReply},
        {"unknown command", GLIMWICK_COPY_STATUS_REPLY + 1, 4, &nFive, hReply},
        {"status, reply window gone", GLIMWICK_COPY_STATUS, 0, nullptr, hGone},
        {"status, a stranger's window", GLIMWICK_COPY_STATUS, 0, nullptr, hStranger},
    };
    const std::string strBefore(dlg.StatusText());
    for (const auto& r : kRows)
    {
        COPYDATASTRUCT data = {r.dwData, r.cbData, const_cast<void*>(r.pData)};
        EXPECT_EQ(FALSE, dlg.SendMessage(WM_COPYDATA, reinterpret_cast<WPARAM>(r.hFrom),
                                         reinterpret_cast<LPARAM>(&data)))
            << r.pszWhat;
    }
    EXPECT_EQ(FALSE, dlg.SendMessage(WM_COPYDATA, reinterpret_cast<WPARAM>(hReply), 0)) << "no request at all";
    EXPECT_EQ(0, ::GetWindowLongPtrA(hStranger, GWLP_USERDATA)) << "nothing sent to a window glimctl did not make";
    EXPECT_EQ(0, ::GetWindowLongPtrA(hReply, GWLP_USERDATA));
    // Not paused, nothing held: the same status, but for the seconds ticking.
    const std::string strAfter(dlg.StatusText());
    EXPECT_EQ(strBefore.substr(strBefore.find("held=")), strAfter.substr(strAfter.find("held=")));
    // glimctl's own window is answered.
    COPYDATASTRUCT status = {GLIMWICK_COPY_STATUS, 0, nullptr};
    EXPECT_EQ(TRUE, dlg.SendMessage(WM_COPYDATA, reinterpret_cast<WPARAM>(hReply), reinterpret_cast<LPARAM>(&status)));
    EXPECT_EQ(1, ::GetWindowLongPtrA(hReply, GWLP_USERDATA));
    ::DestroyWindow(hReply);
    ::DestroyWindow(hStranger);
    dlg.DestroyWindow();
}

TEST(ReminderPlace, TheMonitorOfTheWindowInFrontOrOfThePointer)
{
    typedef std::vector<CMonitorChoice::Monitor> Layout;
    const Layout kSideBySide = {{NULL, {0, 0, 1920, 1080}}, {NULL, {1920, 0, 3840, 1080}}};
    const Layout kAbove = {{NULL, {0, 0, 1920, 1080}}, {NULL, {0, -1080, 1920, 0}}};
    const Layout kLeft = {{NULL, {0, 0, 1920, 1080}}, {NULL, {-1280, 56, 0, 1080}}};
    const RECT kNoWindow = {};
    struct Row
    {
        const Layout& layout;
        RECT rcFront; // empty: nothing in front
        POINT ptPointer;
        int nChosen;
    };
    const Row kRows[] = {
        {kSideBySide, {2000, 100, 2800, 900}, {10, 10}, 1},
        {kSideBySide, {1500, 0, 2100, 500}, {3000, 10}, 0}, // mostly on the first
        {kSideBySide, {4000, 0, 4100, 100}, {10, 10}, 1},   // off every screen: the nearest
        {kSideBySide, kNoWindow, {2500, 500}, 1},
        {kSideBySide, kNoWindow, {1919, 500}, 0},
        {kAbove, {100, -900, 800, -100}, {10, 10}, 1},
        {kAbove, kNoWindow, {5, -1}, 1},
        {kAbove, kNoWindow, {5, 0}, 0},
        {kLeft, {-1288, 48, 8, 1088}, {10, 10}, 1}, // maximised on the left
        {kLeft, kNoWindow, {-1, 500}, 1},
        {kLeft, kNoWindow, {-100, 20}, 1}, // above the left one, the nearer
        {kLeft, kNoWindow, {-10, 0}, 0},
    };
    for (size_t i = 0; i < sizeof kRows / sizeof kRows[0]; ++i)
    {
        const Row& r = kRows[i];
        const bool bFront = !::IsRectEmpty(&r.rcFront);
        EXPECT_EQ(r.nChosen, CMonitorChoice::Choose(r.layout, bFront ? &r.rcFront : nullptr, r.ptPointer)) << "row " << i;
    }
    EXPECT_EQ(-1, CMonitorChoice::Choose(Layout(), nullptr, POINT{0, 0}));
    // Wine's one monitor: always the primary one.
    EXPECT_EQ(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), CMonitorChoice::WhereUserWorks(NULL));
}
