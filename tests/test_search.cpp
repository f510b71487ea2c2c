// The search for the program's icon on the real screen: found in the
// notification area of the virtual desktop, not found while the icon is
// withheld, and the real program finding itself after a report.
#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "frame/WindowDC.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>

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

bool IsDark(COLORREF cr)
{
    return GetRValue(cr) < 16 && GetGValue(cr) < 16 && GetBValue(cr) < 16;
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
    const std::string strLog = TempFolder() + "test_search_v2.log";
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
}

TEST(SearchInTheProgram, ReportLeadsToTheIconAndItsPupils)
{
    ASSERT_TRUE(EndRunningProgram());
    const std::string strLog = TempFolder() + "Glimwick_v2.log";
    ::DeleteFileA(strLog.c_str());

    CChildProcess program;
    HWND hWnd = StartProgram(program);
    ASSERT_NE(nullptr, hWnd);
    ::SetCursorPos(20, 20);
    ::PostMessageA(hWnd, WM_APP, MAKEWPARAM(1, 2), MAKELPARAM(3, 4));

    std::smatch m;
    const std::regex found(R"(FIND ICON RECT \( (-?\d+), (-?\d+) \)-\( (-?\d+), (-?\d+) \)\r\n)");
    std::string strText;
    ASSERT_TRUE(WaitUntil(
        [&] {
            strText = ReadWholeFile(strLog);
            return strText.find("\tFIND!\r\n") != std::string::npos;
        },
        25000))
        << strText;
    for (const char* pszLine : {"\tWM_APP FIND\r\n", "\tFindTrayIcon\r\n", "\tGET TRAY RECT ( "})
        EXPECT_NE(std::string::npos, strText.find(pszLine)) << pszLine;
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
    ::SetCursorPos(ptCursor.x + 40, ptCursor.y + 40);
    EXPECT_TRUE(WaitUntil([&] { return screen.GetPixel(ptInside.x, ptInside.y) == RGB(255, 255, 255); }, 3000))
        << "awake again";

    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}
