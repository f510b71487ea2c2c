// The search for the program's icon on the real screen: found in the
// notification area of the virtual desktop, not found while the icon is
// withheld, a worker that overstays its limit, the real program finding
// itself at start-up, the shell's word on the icon's place, the scan of the
// area's pixels and the retries that back off.
#include "app/AreaPixels.h"
#include "app/GlimwickDlg.h"
#include "app/SearchBackoff.h"
#include "app/TrayLibrary.h"
#include "diag/Log.h"
#include "frame/WindowDC.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <regex>
#include <tuple>
#include <vector>

namespace
{
class CSearchProbe : public CGlimwickDlg
{
public:
    using CGlimwickDlg::m_bIconFound;
    using CGlimwickDlg::m_ptEyeLeft;
    using CGlimwickDlg::m_ptEyeRight;
    using CGlimwickDlg::m_ptPupilLeft;
    using CGlimwickDlg::m_rcIcon;
    using CGlimwickDlg::m_rcTrayArea;
    using CGlimwickDlg::m_trayIcon;
};

// Gives the search the shell's answer the test chose (Wine's own at first)
// and notes whether the markers were shown, when each retry fell due and
// when its search ended.
class CShellProbe : public CSearchProbe
{
public:
    HRESULT ShellIconRect(RECT* prc) override
    {
        *prc = m_rcShell;
        return m_hrShell;
    }
    void ShowFrame(int nFrame) override
    {
        if (nFrame == FRAME_MARKER_A)
            m_bMarkerShown = true;
        CSearchProbe::ShowFrame(nFrame);
    }
    void OnTimer(UINT_PTR nIDEvent) override
    {
        if (nIDEvent == TIMER_RETRY)
            m_fired.push_back(::GetTickCount64());
        CSearchProbe::OnTimer(nIDEvent);
        if (nIDEvent == TIMER_RETRY)
            m_ended.push_back(::GetTickCount64());
    }

    HRESULT m_hrShell = E_NOTIMPL;
    RECT m_rcShell = {};
    std::atomic<bool> m_bMarkerShown{false};
    std::vector<ULONGLONG> m_fired;
    std::vector<ULONGLONG> m_ended;
};

RECT TaskbarRect()
{
    RECT rc = {};
    ::GetWindowRect(::FindWindowA("Shell_TrayWnd", NULL), &rc);
    return rc;
}

bool IsDark(COLORREF cr)
{
    return GetRValue(cr) < 16 && GetGValue(cr) < 16 && GetBValue(cr) < 16;
}

std::string LogPath()
{
    return TempFolder() + "test_search_v2.log";
}

// Puts pfnNew in place of this program's import pszName and returns the
// import's own address: the real call, delayed when a test asks.
template <typename Fn>
Fn ReplaceImport(const char* pszName, Fn pfnNew)
{
    BYTE* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleA(NULL));
    const auto* pNt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + reinterpret_cast<IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    const DWORD dwImports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* pDesc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dwImports); pDesc->Name; ++pDesc)
    {
        auto* pName = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->OriginalFirstThunk);
        auto* pSlot = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->FirstThunk);
        for (; pName->u1.AddressOfData; ++pName, ++pSlot)
        {
            if (IMAGE_SNAP_BY_ORDINAL(pName->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pName->u1.AddressOfData)->Name,
                            pszName) != 0)
                continue;
            DWORD dwProtect;
            ::VirtualProtect(pSlot, sizeof *pSlot, PAGE_READWRITE, &dwProtect);
            const Fn pfnOld = reinterpret_cast<Fn>(reinterpret_cast<void*>(pSlot->u1.Function));
            pSlot->u1.Function = reinterpret_cast<ULONG_PTR>(reinterpret_cast<void*>(pfnNew));
            ::VirtualProtect(pSlot, sizeof *pSlot, dwProtect, &dwProtect);
            return pfnOld;
        }
    }
    return nullptr;
}

// The next file opened by a thread other than s_dwHolder (the search's
// worker, writing its first log line with the log's lock held) waits for
// s_hRelease.
DWORD s_dwHolder = 0;
std::atomic<bool> s_bHoldNextOpen{false};
HANDLE s_hRelease = ::CreateEventA(NULL, TRUE, FALSE, NULL);
decltype(&::CreateFileA) s_pfnCreateFile = nullptr;

HANDLE WINAPI HeldCreateFile(LPCSTR pszName, DWORD dwAccess, DWORD dwShare, LPSECURITY_ATTRIBUTES pSa,
                             DWORD dwCreation, DWORD dwFlags, HANDLE hTemplate)
{
    if (::GetCurrentThreadId() != s_dwHolder && s_bHoldNextOpen.exchange(false))
        ::WaitForSingleObject(s_hRelease, INFINITE);
    return s_pfnCreateFile(pszName, dwAccess, dwShare, pSa, dwCreation, dwFlags, hTemplate);
}


class SearchTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(CTrayLibrary::Bind((ProgramFolder() + "Sillbeck.dll").c_str())); }
    void TearDown() override { CTrayLibrary::Unbind(); }
};
} // namespace

TEST_F(SearchTest, FindsItsOwnIconInTheNotificationArea)
{
    CSearchProbe dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    ASSERT_TRUE(dlg.StartIconSearch());
    EXPECT_TRUE(dlg.m_bIconFound);
    RECT rcTaskbar;
    ::GetWindowRect(::FindWindowA("Shell_TrayWnd", NULL), &rcTaskbar);
    EXPECT_TRUE(::EqualRect(&rcTaskbar, &dlg.m_rcTrayArea)) << "the worker stored the area it scanned";

    const RECT& rc = dlg.m_rcIcon;
    EXPECT_EQ(14, rc.right - rc.left);
    EXPECT_EQ(14, rc.bottom - rc.top);
    EXPECT_TRUE(::PtInRect(&rcTaskbar, POINT{rc.left, rc.top}));
    EXPECT_EQ(rc.left + 3, dlg.m_ptEyeLeft.x);
    EXPECT_EQ(rc.left + 10, dlg.m_ptEyeRight.x);
    EXPECT_EQ(rc.top + 5, dlg.m_ptEyeLeft.y);
    EXPECT_EQ(CGlimwickDlg::PUPIL_OFFSCREEN, dlg.m_ptPupilLeft.x);

    // The open eyes now stand where the rectangle says: the outline's top
    // row starts at the icon's column 2, row 3, and the left eye is white
    // inside at column 5, row 4.
    PumpMessages(300);
    CWindowDC screen(NULL);
    EXPECT_TRUE(IsDark(screen.GetPixel(rc.left, rc.top + 2)));
    EXPECT_EQ(RGB(255, 255, 255), screen.GetPixel(rc.left + 3, rc.top + 3));
    EXPECT_FALSE(IsDark(screen.GetPixel(rc.left - 2, rc.top + 2))) << "left of the outline is not the eye";
}

TEST_F(SearchTest, WithheldIconIsNotFoundAndComesBackIdle)
{
    CSearchProbe dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    // The library's first report starts the first search at once.
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_bIconFound != FALSE; }, 5000));
    // The markers cannot reach the screen while the icon is withheld.
    dlg.m_trayIcon.ShowTrayIcon(FALSE);
    EXPECT_FALSE(dlg.StartIconSearch());
    EXPECT_FALSE(dlg.m_bIconFound);
    EXPECT_TRUE(::IsRectEmpty(&dlg.m_rcTrayArea)) << "the next watch tick sees a change";
    EXPECT_TRUE(dlg.m_trayIcon.IsAdded()) << "added again";
    HICON hIdle = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_IDLE), IMAGE_ICON, 16, 16, LR_SHARED));
    EXPECT_EQ(hIdle, dlg.m_trayIcon.GetTrayIcon());

    // Ten seconds later the retry searches again, and now finds the icon.
    const std::string strLog = LogPath();
    const size_t nBefore = ReadWholeFile(strLog).size();
    const ULONGLONG tStart = ::GetTickCount64();
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_bIconFound != FALSE; }, 20000));
    EXPECT_GE(::GetTickCount64() - tStart, 9000u) << "not before the retry timer";
    const std::string strNew = ReadWholeFile(strLog).substr(nBefore);
    const size_t nRetry = strNew.find("\tFEILD FIND\r\n");
    ASSERT_NE(std::string::npos, nRetry) << strNew;
    EXPECT_NE(std::string::npos, strNew.find("\tFindTrayIcon\r\n", nRetry));
    EXPECT_NE(std::string::npos, strNew.find("\tFIND!\r\n", nRetry));
    EXPECT_NE(std::string::npos, ReadWholeFile(strLog).find("\tNOT FOUND!\r\n"));

    // A failure arms the retry; a later search that succeeds disarms it.
    dlg.m_trayIcon.ShowTrayIcon(FALSE);
    EXPECT_FALSE(dlg.StartIconSearch());
    dlg.m_trayIcon.ShowTrayIcon(TRUE);
    EXPECT_TRUE(dlg.StartIconSearch());
    EXPECT_FALSE(::KillTimer(dlg.m_hWnd, CGlimwickDlg::TIMER_RETRY)) << "no needless search 10 s later";
}

TEST_F(SearchTest, OverdueWorkerHeldInALogWriteEndsOnItsOwn)
{
    s_pfnCreateFile = ReplaceImport<decltype(s_pfnCreateFile)>("CreateFileA", HeldCreateFile);
    ASSERT_NE(nullptr, s_pfnCreateFile);
    WriteLog("BEFORE THE HELD SEARCH\n");
    const size_t nBefore = ReadWholeFile(LogPath()).size();
    ::ResetEvent(s_hRelease);
    // Released well past the search's limit, its polls (and past the 5 s
    // more after which the worker used to be cut off, the log's lock still
    // in its hands).
    constexpr DWORD kReleaseMs = CGlimwickDlg::SEARCH_POLLS * CGlimwickDlg::SEARCH_POLL_MS + 7000;
    std::thread release([] {
        ::Sleep(kReleaseMs);
        ::SetEvent(s_hRelease);
    });

    std::atomic<bool> bDone{false};
    BOOL bFound = TRUE;
    std::thread search([&] {
        {
            // The shell's place is taken at once, so the worker goes on to
            // its next line as soon as the log lets it, long after TERMINATE.
            CShellProbe dlg;
            const RECT rcArea = TaskbarRect();
            dlg.m_hrShell = S_OK;
            dlg.m_rcShell = {rcArea.left, rcArea.top, rcArea.left + 16, rcArea.top + 16};
            if (dlg.Create(IDD_GLIMWICK_DIALOG))
            {
                s_dwHolder = ::GetCurrentThreadId();
                s_bHoldNextOpen = true;
                bFound = dlg.StartIconSearch();
            }
        }
        // The controller is gone; the worker may still be on its way out.
        WriteLog("AFTER THE HELD SEARCH\n");
        bDone = true;
    });
    const bool bEnded = RunsToEnd(40000, std::move(search), bDone);
    release.join();
    ASSERT_TRUE(bEnded) << "the log stayed locked";
    ReplaceImport("CreateFileA", s_pfnCreateFile);
    EXPECT_FALSE(bFound);

    const std::string strNew = ReadWholeFile(LogPath()).substr(nBefore);
    const size_t nRect = strNew.find("\tGET TRAY RECT (");
    const size_t nTerminate = strNew.find("\tTERMINATE\r\n");
    ASSERT_NE(std::string::npos, nRect) << "the worker finished its line: " << strNew;
    ASSERT_NE(std::string::npos, nTerminate) << strNew;
    EXPECT_LT(nRect, nTerminate);
    EXPECT_NE(std::string::npos, strNew.find("\tNOT FOUND!\r\n", nTerminate));
    EXPECT_NE(std::string::npos, strNew.find("\tAFTER THE HELD SEARCH\r\n", nTerminate));
    EXPECT_EQ(std::string::npos, strNew.find("FIND ICON RECT")) << "a worker given up on logs nothing more";
}

TEST_F(SearchTest, TakesTheShellsPlaceOfTheIconElseLooksForTheMarkers)
{
    CShellProbe dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    // The library's first report: the shell cannot tell, the markers find it.
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_bIconFound != FALSE; }, 5000));
    EXPECT_TRUE(dlg.m_bMarkerShown);
    const RECT rcMarkers = dlg.m_rcIcon;
    const RECT rcArea = dlg.m_rcTrayArea;
    const LONG l = rcArea.left;
    const LONG t = rcArea.top;
    // A place of the icon's size in the area, away from the icon, is taken.
    const RECT rcPlace = {l + 1, t + 2, l + 17, t + 18};
    const std::tuple<HRESULT, RECT, bool> kCases[] = {
        {S_OK, rcPlace, true},
        {S_OK, {l + 1, t + 2, l + 21, t + 18}, false}, // another size
        {S_OK, {100, 100, 116, 116}, false},           // outside the area: the overflow
        {S_OK, {l + 1, t - 1, l + 17, t + 15}, false}, // across its edge
        {E_FAIL, rcPlace, false},
    };
    for (auto [hr, rcShell, bTaken] : kCases)
    {
        dlg.m_hrShell = hr;
        dlg.m_rcShell = rcShell;
        dlg.m_bMarkerShown = false;
        const size_t nBefore = ReadWholeFile(LogPath()).size();
        ASSERT_TRUE(dlg.StartIconSearch());
        EXPECT_EQ(!bTaken, dlg.m_bMarkerShown) << rcShell.left;
        // The located rectangle starts at the icon's column 2, row 1.
        const RECT rc = bTaken ? RECT{rcShell.left + 2, rcShell.top + 1, rcShell.right, rcShell.bottom - 1} : rcMarkers;
        EXPECT_TRUE(::EqualRect(&rc, &dlg.m_rcIcon) && ::EqualRect(&rcArea, &dlg.m_rcTrayArea)) << rcShell.left;
        EXPECT_TRUE(dlg.m_ptEyeLeft.x == rc.left + 3 && dlg.m_ptEyeLeft.y == rc.top + 5 &&
                    dlg.m_ptEyeRight.x == rc.left + 10);
        char szLine[80];
        std::snprintf(szLine, sizeof szLine, "\tFIND ICON RECT ( %ld, %ld )-( %ld, %ld )\r\n", rc.left, rc.top,
                      rc.right, rc.bottom);
        const std::string strLog = ReadWholeFile(LogPath());
        EXPECT_LT(strLog.find(szLine, nBefore), strLog.find("\tFIND!\r\n", nBefore)) << szLine;
    }
}

TEST(AreaPixels, OneReadAndPixelByPixelFindTheSameRuns)
{
    // White patches for the test's patterns, one at the screen's right edge.
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const RECT rcPatch = {200, 200, 240, 224};
    const RECT rcEdge = {cx - 8, 300, cx, 320};
    CWnd patches[2];
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(patches[i].CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "",
                                        WS_POPUP | WS_VISIBLE | SS_WHITERECT, i ? rcEdge : rcPatch, nullptr, 0));
    PumpMessages(200);
    const COLORREF K = RGB(0, 0, 0);
    const COLORREF B = RGB(0, 0, 255);
    const COLORREF W = RGB(255, 255, 255);
    // Three pixels down from (x, y).
    const std::tuple<int, int, std::array<COLORREF, 3>> kColumns[] = {
        {205, 203, {K, B, K}}, {205, 209, {K, B, K}}, {212, 200, {K, B, W}}, {214, 205, {K, RGB(0, 0, 254), K}},
        {216, 206, {B, K, B}}, {220, 213, {K, B, K}}, {222, 214, {K, B, K}}, {239, 200, {K, B, K}},
        {cx - 1, 301, {K, B, K}},
    };
    CWindowDC screen(NULL);
    for (const auto& [x, y, colours] : kColumns)
    {
        for (int i = 0; i < 3; ++i)
            screen.SetPixel(x, y + i, colours[i]);
    }
    // The runs each area holds, top pixels in scan order: none lower than
    // ten rows above the bottom, none beyond the screen.
    const std::tuple<RECT, COLORREF, COLORREF, std::vector<std::pair<int, int>>> kCases[] = {
        {rcPatch, K, B, {{205, 203}, {205, 209}, {220, 213}, {239, 200}}},
        {rcPatch, B, K, {{216, 206}}},
        {{200, 203, 240, 213}, K, B, {}},
        {{206, 200, 239, 224}, K, B, {{220, 213}}},
        {{rcEdge.left, rcEdge.top, cx + 20, rcEdge.bottom + 20}, K, B, {{cx - 1, 301}}},
        {{300, 400, 400, 450}, K, B, {}},
    };
    for (const auto& [rcArea, crOuter, crMiddle, expected] : kCases)
    {
        for (CAreaPixels::Reading reading : {CAreaPixels::READ_AT_ONCE, CAreaPixels::READ_EACH_PIXEL})
        {
            CAreaPixels pixels(rcArea, reading);
            EXPECT_EQ(reading == CAreaPixels::READ_AT_ONCE, pixels.ReadsAtOnce());
            pixels.Read();
            std::vector<std::pair<int, int>> runs;
            for (POINT pt = {rcArea.left, rcArea.top}; pixels.FindRun(pt, crOuter, crMiddle, NULL); ++pt.y)
                runs.emplace_back(pt.x, pt.y);
            EXPECT_EQ(expected, runs) << rcArea.left << "," << rcArea.top << " reading " << reading;
        }
    }
}

TEST(SearchBackoff, WaitsLongerAfterThreeFailuresInARowUntilAFreshStart)
{
    const RECT rcArea = {0, 780, 1280, 800};
    CSearchBackoff backoff;
    // Seconds to the next retry after each failure in a row.
    for (UINT nSeconds : {10, 10, 10, 20, 40, 80, 160, 300, 300})
        EXPECT_EQ(nSeconds * 1000, backoff.OnFailure(rcArea));
    EXPECT_FALSE(backoff.IsNewArea(rcArea)) << "scanned in vain";
    EXPECT_TRUE(backoff.IsNewArea({0, 760, 1280, 800}));
    // A found icon, a report or a changed area starts the count afresh.
    backoff.Reset();
    EXPECT_TRUE(backoff.IsNewArea(rcArea));
    for (UINT nSeconds : {10, 10, 10, 20})
        EXPECT_EQ(nSeconds * 1000, backoff.OnFailure(rcArea));
}

TEST_F(SearchTest, RetriesOfAHiddenIconComeFurtherApart)
{
    // The notification area under a window of the test: every search fails.
    CWnd cover;
    ASSERT_TRUE(cover.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT,
                               TaskbarRect(), nullptr, 0));
    PumpMessages(200);
    const size_t nBefore = ReadWholeFile(LogPath()).size();
    auto NewLog = [&] { return ReadWholeFile(LogPath()).substr(nBefore); };

    CShellProbe dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    // The library's first report searches at once, in vain.
    ASSERT_TRUE(PumpUntil([&] { return NewLog().find("\tNOT FOUND!\r\n") != std::string::npos; }, 25000));
    const ULONGLONG tFirstEnded = ::GetTickCount64();
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_ended.size() == 4; }, 150000)) << NewLog();
    // Three retries 10 s after a failure, then the wait doubles.
    const UINT kWaits[] = {10000, 10000, 10000, 20000};
    for (size_t i = 0; i < 4; ++i)
    {
        const ULONGLONG nWait = dlg.m_fired[i] - (i ? dlg.m_ended[i - 1] : tFirstEnded);
        EXPECT_GE(nWait + 100, kWaits[i]) << "retry " << i + 1;
        EXPECT_LT(nWait, kWaits[i] * 3 / 2) << "retry " << i + 1;
    }
    // Each lengthened wait is logged once, right after its failure; the
    // watch left the area scanned in vain to the retries.
    std::string strNew = NewLog();
    EXPECT_EQ(2u, CountOf(strNew, "\tSEARCH RETRY IN ")) << strNew;
    for (auto [pszLine, nFailures] : {std::pair<const char*, size_t>{"\tSEARCH RETRY IN 20 S\r\n", 4},
                                      {"\tSEARCH RETRY IN 40 S\r\n", 5}})
        EXPECT_EQ(nFailures, CountOf(strNew.substr(0, strNew.find(pszLine)), "\tNOT FOUND!\r\n")) << pszLine;
    EXPECT_EQ(0u, CountOf(strNew, "\tTRAY MOVE FIND\r\n"));

    // A report starts a search at once, and the count afresh.
    const RECT rcReport = {1, 2, 3, 4};
    dlg.SendMessage(WM_GLIMWICK_TRAY_REPORT, TrayReportWParam(rcReport), TrayReportLParam(rcReport));
    strNew = NewLog();
    const size_t nReport = strNew.rfind("\tWM_APP FIND\r\n");
    ASSERT_NE(std::string::npos, nReport);
    EXPECT_NE(std::string::npos, strNew.find("\tNOT FOUND!\r\n", nReport));
    EXPECT_EQ(std::string::npos, strNew.find("\tSEARCH RETRY IN ", nReport)) << "10 s again";
}

TEST(SearchInTheProgram, FindsItselfAtOnceThenPaintsItsPupils)
{
    ASSERT_TRUE(EndRunningProgram());
    const std::string strLog = TempFolder() + "Glimwick_v2.log";
    ::DeleteFileA(strLog.c_str());

    CChildProcess program;
    HWND hWnd = StartProgram(program);
    ASSERT_NE(nullptr, hWnd);
    ASSERT_TRUE(PlacePointer(20, 20));

    std::smatch m;
    const std::regex found(R"(FIND ICON RECT \( (-?\d+), (-?\d+) \)-\( (-?\d+), (-?\d+) \)\r\n)");
    std::string strText;
    ASSERT_TRUE(WaitUntil(
        [&] {
            strText = ReadWholeFile(strLog);
            return strText.find("\tFIND!\r\n") != std::string::npos;
        },
        20000))
        << "long before the first watch tick: " << strText;
    // Started by the library's report alone; its start after the search
    // reports nothing more, and neither does a start after a stop.
    for (const char* pszLine : {"\tWM_APP FIND\r\n", "\tFindTrayIcon\r\n", "\tGET TRAY RECT ( "})
        EXPECT_EQ(1u, CountOf(strText, pszLine)) << pszLine;
    ::PostMessageA(hWnd, WM_COMMAND, IDC_TRACKER_STOP, 0);
    ::PostMessageA(hWnd, WM_COMMAND, IDC_TRACKER_START, 0);
    ASSERT_TRUE(std::regex_search(strText, m, found)) << strText;
    const int nLeft = std::stoi(m[1]);
    const int nTop = std::stoi(m[2]);
    EXPECT_EQ(nLeft + 14, std::stoi(m[3]));
    EXPECT_EQ(nTop + 14, std::stoi(m[4]));

    // Within a few ticks the left pupil's top pixel is painted black where
    // the pointer (up-left of the eyes) draws it.
    POINT ptCursor;
    ::GetCursorPos(&ptCursor);
    const POINT ptEyeLeft = {nLeft + 3, nTop + 5};
    const POINT ptOffset = CGlimwickDlg::PupilOffset(ptCursor, ptEyeLeft, ptCursor.y - ptEyeLeft.y, 3);
    ASSERT_LT(ptOffset.x, 3) << "the pupil looks left";
    const POINT ptLeftPupil = {nLeft + ptOffset.x - 1, nTop + ptOffset.y};
    CWindowDC screen(NULL);
    EXPECT_TRUE(WaitUntil([&] { return IsDark(screen.GetPixel(ptLeftPupil.x, ptLeftPupil.y)); }, 3000))
        << "pupil at " << ptLeftPupil.x << "," << ptLeftPupil.y;


    // Left alone for 20 s the eyes close: the left eye's inside at the
    // icon's column 5, row 4 turns grey; a move opens them again.
    const POINT ptInside = {nLeft + 3, nTop + 3};
    EXPECT_EQ(RGB(255, 255, 255), screen.GetPixel(ptInside.x, ptInside.y));
    // A blink is grey for one tick only; asleep stays grey.
    ULONGLONG tGreySince = 0;
    const ULONGLONG tAwakeSince = ::GetTickCount64();
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (screen.GetPixel(ptInside.x, ptInside.y) != RGB(128, 128, 128))
                tGreySince = 0;
            else if (!tGreySince)
                tGreySince = ::GetTickCount64();
            return tGreySince && ::GetTickCount64() - tGreySince > 1000;
        },
        30000))
        << "dozing";
    EXPECT_GE(::GetTickCount64() - tAwakeSince, 15000u) << "only after the pointer rested for 20 s";
    EXPECT_TRUE(PlacePointer(ptCursor.x + 40, ptCursor.y + 40));
    EXPECT_TRUE(WaitUntil([&] { return screen.GetPixel(ptInside.x, ptInside.y) == RGB(255, 255, 255); }, 5000))
        << "awake again";

    EXPECT_EQ(1u, CountOf(ReadWholeFile(strLog), "\tFindTrayIcon\r\n")) << "one search in all";

    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}
