// The reminder balloon: a hidden, disabled window over the work area whose
// region is exactly its non-magenta pixels, and the reminder in the running
// program with a screenshot of it.
#include "draw/DibCanvas.h"
#include "frame/WindowDC.h"
#include "res/resource.h"
#include "store/StoredSettings.h"
#include "tests/TestSupport.h"
#include "windows/BalloonDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace
{
RECT WorkArea()
{
    RECT rc = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0);
    return rc;
}

// The bounding box of the non-key pixels of the surface within rcBand.
RECT InkBox(CDibCanvas& surface, const RECT& rcBand)
{
    // One bracket for all the reads: a single locked read is slow.
    surface.BeginDraw();
    RECT rcBox = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = rcBand.top; y < rcBand.bottom; ++y)
        for (int x = rcBand.left; x < rcBand.right; ++x)
            if (surface.GetPixel(x, y) != CBalloonDlg::KEY_COLOUR)
            {
                rcBox.left = std::min(rcBox.left, static_cast<LONG>(x));
                rcBox.top = std::min(rcBox.top, static_cast<LONG>(y));
                rcBox.right = std::max(rcBox.right, static_cast<LONG>(x + 1));
                rcBox.bottom = std::max(rcBox.bottom, static_cast<LONG>(y + 1));
            }
    surface.EndDraw();
    return rcBox;
}

} // namespace

TEST(Balloon, HiddenDisabledAndAsLargeAsTheWorkArea)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    const RECT rcWork = WorkArea();
    RECT rc;
    ::GetWindowRect(balloon.m_hWnd, &rc);
    EXPECT_EQ(0, rc.left) << "from the screen's origin";
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(rcWork.right - rcWork.left, rc.right - rc.left);
    EXPECT_EQ(rcWork.bottom - rcWork.top, rc.bottom - rc.top);
    EXPECT_FALSE(balloon.IsWindowVisible());
    EXPECT_FALSE(::IsWindowEnabled(balloon.m_hWnd)) << "it takes no input";
    EXPECT_FALSE(balloon.GetStyle() & (WS_CAPTION | WS_BORDER));
    EXPECT_EQ(rc.right - rc.left, balloon.Surface().GetWidth());
    EXPECT_EQ(RGB(0, 0, 0), balloon.Surface().GetPixel(5, 5)) << "a new surface is black";
}

TEST(Balloon, RegionIsExactlyTheLettersAndTheEyes)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    balloon.SetMessageText(CStoredSettings::DEFAULT_MESSAGE);
    CDibCanvas& surface = balloon.Surface();
    const int cx = surface.GetWidth();
    const int cy = surface.GetHeight();

    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(balloon.m_hWnd, hRgn));
    // Every pixel of the text band, and a grid over the rest.
    surface.BeginDraw();
    int nMismatches = 0;
    int nInk = 0;
    for (int y = 0; y < cy; ++y)
    {
        const int nStep = y < 80 || y >= cy - 110 ? 1 : 13;
        for (int x = 0; x < cx; x += nStep)
        {
            const bool bInk = surface.GetPixel(x, y) != CBalloonDlg::KEY_COLOUR;
            nInk += bInk;
            if (bInk != (::PtInRegion(hRgn, x, y) != FALSE))
                ++nMismatches;
        }
    }
    surface.EndDraw();
    ::DeleteObject(hRgn);
    EXPECT_EQ(0, nMismatches);
    EXPECT_GT(nInk, 5000);

    // Three lines of green letters with black shadows, centred at the top.
    const RECT rcText = InkBox(surface, RECT{0, 0, cx, cy / 2});
    // Centred by advance widths: a closing "。" has its ink on the left, so
    // the ink may lean up to a character's width.
    EXPECT_NEAR(rcText.left, cx - rcText.right, 20) << "centred";
    EXPECT_GE(rcText.top, 7);
    EXPECT_LT(rcText.bottom, 100);
    int nGreen = 0, nBlack = 0;
    surface.BeginDraw();
    for (int y = rcText.top; y < rcText.bottom; ++y)
        for (int x = rcText.left; x < rcText.right; ++x)
        {
            const COLORREF cr = surface.GetPixel(x, y);
            nGreen += cr == CBalloonDlg::LETTER_COLOUR;
            nBlack += cr == CBalloonDlg::SHADOW_COLOUR;
        }
    surface.EndDraw();
    EXPECT_GT(nGreen, nBlack) << "letters, with their shadow";
    EXPECT_GT(nBlack, 100);

    // The eyes, 200 x 104, stand on the bottom edge, centred.
    const RECT rcEyes = InkBox(surface, RECT{0, cy / 2, cx, cy});
    EXPECT_GE(rcEyes.bottom, cy - 2) << "the picture's own edge is see-through";
    EXPECT_GE(rcEyes.left, (cx - 200) / 2);
    EXPECT_LE(rcEyes.right, (cx - 200) / 2 + 200);
    EXPECT_NEAR(rcEyes.left, cx - rcEyes.right, 4);
    EXPECT_GE(rcEyes.top, cy - 104);
}

TEST(Balloon, LongAndMultiLineTextsWrapAndStayInside)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    CDibCanvas& surface = balloon.Surface();
    const int cx = surface.GetWidth();
    std::string strLong;
    for (int i = 0; i < 80; ++i)
        strLong += "目を休めましょう";
    balloon.SetMessageText(strLong.c_str());
    const RECT rcOne = InkBox(surface, RECT{0, 0, cx, surface.GetHeight() / 2});
    EXPECT_GT(rcOne.bottom - rcOne.top, 40) << "wrapped onto several lines";
    EXPECT_GE(rcOne.left, 0);
    EXPECT_LE(rcOne.right, cx);

    balloon.SetMessageText("一\r\n二\r\n三\r\n四");
    const RECT rcFour = InkBox(surface, RECT{0, 0, cx, surface.GetHeight() / 2});
    EXPECT_GT(rcFour.bottom - rcFour.top, 3 * 14) << "one line each";
    EXPECT_LT(rcFour.right - rcFour.left, 40) << "each line centred on its own";
}

TEST(BalloonInTheProgram, RemindNowShowsItTopmostForTenSeconds)
{
    ASSERT_TRUE(EndRunningProgram());
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\MOSS-HARK\\Glimwick", "Message");
    CChildProcess program;
    HWND hWnd = StartProgram(program);
    ASSERT_NE(nullptr, hWnd);
    // The balloon is the controller's other popup: the one as large as the
    // work area.
    HWND hBalloon = NULL;
    const RECT rcWork = WorkArea();
    auto FindBalloon = [&] {
        for (HWND h = ::GetTopWindow(NULL); h; h = ::GetWindow(h, GW_HWNDNEXT))
        {
            RECT rc;
            ::GetWindowRect(h, &rc);
            if (::GetWindow(h, GW_OWNER) == hWnd && rc.right - rc.left == rcWork.right - rcWork.left)
                hBalloon = h;
        }
        return hBalloon != NULL;
    };
    ASSERT_TRUE(WaitUntil(FindBalloon, 5000));
    EXPECT_FALSE(::IsWindowVisible(hBalloon));

    ::PostMessageA(hWnd, WM_TIMER, 1000, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(hBalloon) != FALSE; }, 5000));
    const ULONGLONG tShown = ::GetTickCount64();
    EXPECT_TRUE(::GetWindowLongA(hBalloon, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(::IsWindowEnabled(hBalloon));
    // The letters reach the screen: green at the top, magenta nowhere. The
    // program may still be busy with its first icon search, so they may
    // take a moment.
    CWindowDC screen(NULL);
    int nGreen = 0, nMagenta = 0;
    WaitUntil(
        [&] {
            nGreen = nMagenta = 0;
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < rcWork.right; x += 2)
                {
                    const COLORREF cr = screen.GetPixel(x, y);
                    nGreen += cr == RGB(0, 255, 0);
                    nMagenta += cr == RGB(255, 0, 255);
                }
            return nGreen > 200;
        },
        5000);
    SaveScreenshot("balloon.bmp");
    EXPECT_GT(nGreen, 200);
    EXPECT_EQ(0, nMagenta) << "the key colour is cut away";

    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(hBalloon); }, 15000));
    EXPECT_GE(::GetTickCount64() - tShown, 9000u) << "hidden ten seconds later";
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}
