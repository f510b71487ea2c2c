// The reminder balloon: a hidden, disabled window over the work area whose
// region is exactly its non-magenta pixels, and the reminder in the running
// program with a screenshot of it.
#include "draw/DibCanvas.h"
#include "frame/MemoryDC.h"
#include "frame/Rgn.h"
#include "frame/WindowDC.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/StoredSettings.h"
#include "tests/TestSupport.h"
#include "windows/BalloonDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
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

// A bitmap's pixels as 32-bit values, top row first.
std::vector<DWORD> BitmapBits(HBITMAP hbm, int cx, int cy)
{
    BITMAPINFO bmi = TopDownInfo32(cx, cy);
    std::vector<DWORD> bits(static_cast<size_t>(cx) * cy);
    CWindowDC screen(NULL);
    if (!::GetDIBits(screen.GetSafeHdc(), hbm, 0, cy, bits.data(), &bmi, DIB_RGB_COLORS))
        bits.clear();
    return bits;
}

// What the screen shows from its origin, cx by cy.
std::vector<DWORD> ScreenBits(int cx, int cy)
{
    CWindowDC screen(NULL);
    HBITMAP hbm = ::CreateCompatibleBitmap(screen.GetSafeHdc(), cx, cy);
    HDC hdcCopy = ::CreateCompatibleDC(screen.GetSafeHdc());
    HGDIOBJ hOld = ::SelectObject(hdcCopy, hbm);
    ::BitBlt(hdcCopy, 0, 0, cx, cy, screen.GetSafeHdc(), 0, 0, SRCCOPY);
    ::SelectObject(hdcCopy, hOld);
    ::DeleteDC(hdcCopy);
    std::vector<DWORD> bits = BitmapBits(hbm, cx, cy);
    ::DeleteObject(hbm);
    return bits;
}

// How many pixels of the eyes picture, as the resources hold it, differ
// from a cx by cy picture's (top row first) at its bottom centre; the
// eyes' own key pixels show what lies behind them and are not counted.
int EyesMismatches(const std::vector<DWORD>& bits, int cx, int cy)
{
    CDibCanvas eyes(NULL, IDB_BALLOON_EYES, CDibCanvas::NO_KEY);
    const int cxEyes = eyes.GetWidth(), cyEyes = eyes.GetHeight();
    const std::vector<DWORD> eyesBits = BitmapBits(static_cast<HBITMAP>(eyes.GetSafeHandle()), cxEyes, cyEyes);
    if (eyesBits.empty() || bits.size() != static_cast<size_t>(cx) * cy)
        return -1;
    const DWORD dwKey = 0x00FF00FF; // magenta reads the same either way round
    int nMismatches = 0;
    for (int y = 0; y < cyEyes; ++y)
        for (int x = 0; x < cxEyes; ++x)
        {
            const DWORD dwEye = eyesBits[static_cast<size_t>(y) * cxEyes + x];
            const size_t nAt = static_cast<size_t>(cy - cyEyes + y) * cx + (cx - cxEyes) / 2 + x;
            nMismatches += dwEye != dwKey && bits[nAt] != dwEye;
        }
    return nMismatches;
}

// What the balloon paints, on a work-area-sized magenta picture.
void Painted(CBalloonDlg& balloon, CDibCanvas& picture, int cx, int cy)
{
    picture.CreateBlank(0, cx, cy, CDibCanvas::NO_KEY);
    picture.FillSolidRect(0, 0, cx, cy, CBalloonDlg::KEY_COLOUR);
    CMemoryDC dc(static_cast<HDC>(NULL));
    HGDIOBJ hOld = ::SelectObject(dc, picture.GetSafeHandle());
    balloon.DrawPicture(&dc);
    ::SelectObject(dc, hOld);
}

} // namespace

// The pictures exist only from SetMessageText until the balloon hides; a
// work-area change while hidden builds nothing, while shown it drops them
// and the window paints black at the new size.
TEST(Balloon, HoldsItsPictureOnlyWhileAReminderIsUp)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    EXPECT_FALSE(::IsWindowEnabled(balloon.m_hWnd)) << "it takes no input";
    EXPECT_FALSE(balloon.GetStyle() & (WS_CAPTION | WS_BORDER));
    const RECT rcWork = WorkArea();
    const int cx = rcWork.right - rcWork.left;
    const int cy = rcWork.bottom - rcWork.top;
    auto WorkAreaChanges = [&] {
        balloon.SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(cx, cy));
        balloon.SendMessage(WM_TIMER, CBalloonDlg::TIMER_WORKAREA, 0);
    };
    const struct
    {
        const char* pszStep;
        std::function<void()> act;
        bool bVisible;
        bool bPicture;
        COLORREF crMiddle; // painted in the window's middle
    } kSteps[] = {
        {"created", [] {}, false, false, 0},
        {"work area changes while hidden", WorkAreaChanges, false, false, 0},
        {"text set", [&] { balloon.SetMessageText(CStoredSettings::DEFAULT_MESSAGE); }, false, true,
         CBalloonDlg::KEY_COLOUR},
        {"shown",
         [&] {
             balloon.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
         },
         true, true, CBalloonDlg::KEY_COLOUR},
        {"work area changes while shown", WorkAreaChanges, true, false, RGB(0, 0, 0)},
        {"hidden", [&] { balloon.ShowWindow(SW_HIDE); }, false, false, 0},
        {"text set again", [&] { balloon.SetMessageText("目を休めましょう"); }, false, true,
         CBalloonDlg::KEY_COLOUR},
    };
    for (const auto& step : kSteps)
    {
        step.act();
        PumpMessages(50);
        SCOPED_TRACE(step.pszStep);
        EXPECT_EQ(step.bVisible, balloon.IsWindowVisible() != FALSE);
        CDibCanvas& surface = balloon.Surface();
        EXPECT_EQ(step.bPicture ? cx : 0, surface.GetWidth());
        if (step.bPicture)
        {
            EXPECT_LT(surface.GetHeight(), cy / 2) << "a band only as tall as the text";
        }
        if (!step.bVisible && !step.bPicture)
            continue;
        RECT rc;
        ::GetWindowRect(balloon.m_hWnd, &rc);
        EXPECT_EQ(0, rc.left) << "from the screen's origin";
        EXPECT_EQ(0, rc.top);
        EXPECT_EQ(cx, rc.right - rc.left);
        EXPECT_EQ(cy, rc.bottom - rc.top);
        CDibCanvas painted;
        Painted(balloon, painted, cx, cy);
        EXPECT_EQ(step.crMiddle, painted.GetPixel(cx / 2, cy / 2));
    }
}

// Released when hidden and built again for the next reminder, the balloon
// shows what one work-area-sized picture of the reminder showed: the same
// pixels and the same region, and on the screen the same both times.
TEST(Balloon, ShowsTheWholePicturesPixelsEachTime)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    const RECT rcWork = WorkArea();
    const int cx = rcWork.right - rcWork.left;
    const int cy = rcWork.bottom - rcWork.top;
    // The text alone at the top, and text over the eyes and past the bottom.
    std::string kTexts[] = {CStoredSettings::DEFAULT_MESSAGE, ""};
    for (int i = 0; i < 60; ++i)
        kTexts[1] += "目\r\n";
    for (const std::string& strText : kTexts)
    {
        SCOPED_TRACE(strText.substr(0, 40));
        std::vector<DWORD> firstBits;
        CRgn rgnWindow;
        rgnWindow.CreateRectRgn(0, 0, 0, 0);
        std::vector<DWORD> screen[2];
        for (auto& shown : screen)
        {
            balloon.SetMessageText(strText.c_str());
            CDibCanvas painted;
            Painted(balloon, painted, cx, cy);
            const std::vector<DWORD> bits = BitmapBits(static_cast<HBITMAP>(painted.GetSafeHandle()), cx, cy);
            if (firstBits.empty())
                firstBits = bits;
            EXPECT_TRUE(firstBits == bits) << "the same pixels";
            EXPECT_EQ(0, EyesMismatches(bits, cx, cy)) << "the eyes whole at the bottom centre, over the text";
            EXPECT_GT(std::count(bits.begin(), bits.end(), 0x00FF00u), 200) << "green letters";
            // Shaped to exactly the pixels it paints.
            CRgn rgnPainted;
            rgnPainted.Attach(painted.CreateRegion(CBalloonDlg::KEY_COLOUR));
            EXPECT_NE(ERROR, ::GetWindowRgn(balloon.m_hWnd, rgnWindow));
            EXPECT_TRUE(rgnPainted.EqualRgn(&rgnWindow)) << "the same region";
            balloon.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
            PumpMessages(300);
            shown = ScreenBits(cx, cy);
            balloon.ShowWindow(SW_HIDE);
            PumpMessages(50);
            EXPECT_EQ(0, balloon.Surface().GetWidth()) << "released when hidden";
        }
        EXPECT_TRUE(screen[0] == screen[1]) << "the same pixels on the screen";
        EXPECT_GT(std::count(screen[0].begin(), screen[0].end(), 0x00FF00u), 200) << "it reached the screen";
    }
}

TEST(Balloon, LettersStandCentredAtTheTopAndTheEyesAtTheBottom)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    balloon.SetMessageText(CStoredSettings::DEFAULT_MESSAGE);
    const RECT rcWork = WorkArea();
    const int cx = rcWork.right - rcWork.left;
    const int cy = rcWork.bottom - rcWork.top;
    CDibCanvas surface;
    Painted(balloon, surface, cx, cy);

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
    std::string strLong;
    for (int i = 0; i < 80; ++i)
        strLong += "目を休めましょう";
    balloon.SetMessageText(strLong.c_str());
    const int cx = surface.GetWidth();
    const RECT rcOne = InkBox(surface, RECT{0, 0, cx, surface.GetHeight()});
    EXPECT_GT(rcOne.bottom - rcOne.top, 40) << "wrapped onto several lines";
    EXPECT_GE(rcOne.left, 0);
    EXPECT_LE(rcOne.right, cx);

    balloon.SetMessageText("一\r\n二\r\n三\r\n四");
    const RECT rcFour = InkBox(surface, RECT{0, 0, cx, surface.GetHeight()});
    EXPECT_GT(rcFour.bottom - rcFour.top, 3 * 14) << "one line each";
    EXPECT_LT(rcFour.right - rcFour.left, 40) << "each line centred on its own";
}

// Dense lines down the whole screen would need more rectangles than the
// window system takes in one piece: the reminder shows, with the lines that
// fit, whole, as the whole picture has them, and the eyes.
TEST(Balloon, TextTooIntricateForOneRegionShowsTheLinesThatFit)
{
    CBalloonDlg balloon;
    ASSERT_TRUE(balloon.Create(IDD_BALLOON));
    const RECT rcWork = WorkArea();
    const int cx = rcWork.right - rcWork.left;
    const int cy = rcWork.bottom - rcWork.top;
    std::string strText;
    while (strText.size() + 18 <= 4095)
        strText += "目を休めましょう。";
    balloon.SetMessageText(strText.c_str());
    CRgn rgnWindow, rgnWhole;
    rgnWindow.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(balloon.m_hWnd, rgnWindow));
    const DWORD nRects = (::GetRegionData(rgnWindow, 0, NULL) - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    EXPECT_LE(nRects, CBalloonDlg::MAX_REGION_RECTS);
    EXPECT_GT(nRects, CBalloonDlg::MAX_REGION_RECTS / 2) << "as many lines as fit";

    // The balloon's picture holds every line; its region only those that fit.
    CDibCanvas whole;
    Painted(balloon, whole, cx, cy);
    rgnWhole.Attach(whole.CreateRegion(CBalloonDlg::KEY_COLOUR));
    // Whether the two regions are the same within rc.
    auto SameWithin = [&](const RECT& rc) {
        CRgn rgnRect, rgnA, rgnB;
        rgnRect.CreateRectRgnIndirect(&rc);
        rgnA.CreateRectRgn(0, 0, 0, 0);
        rgnB.CreateRectRgn(0, 0, 0, 0);
        rgnA.CombineRgn(&rgnWindow, &rgnRect, RGN_AND);
        rgnB.CombineRgn(&rgnWhole, &rgnRect, RGN_AND);
        return rgnA.EqualRgn(&rgnB) != FALSE;
    };
    const RECT rcEyes = {(cx - 200) / 2, cy - 104, (cx + 200) / 2, cy};
    CRgn rgnText, rgnAbove;
    rgnAbove.CreateRectRgn(0, 0, cx, rcEyes.top);
    rgnText.CreateRectRgn(0, 0, 0, 0);
    rgnText.CombineRgn(&rgnWindow, &rgnAbove, RGN_AND);
    RECT rcText = {};
    ASSERT_EQ(COMPLEXREGION, rgnText.GetRgnBox(&rcText));
    EXPECT_LT(rcText.bottom, cy / 2 + cy / 4) << "lines were cut";
    EXPECT_TRUE(SameWithin(RECT{0, 0, cx, rcText.bottom})) << "the lines kept are whole";
    EXPECT_TRUE(SameWithin(rcEyes)) << "the eyes";

    balloon.SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    PumpMessages(300);
    const std::vector<DWORD> screen = ScreenBits(cx, cy);
    EXPECT_GT(std::count(screen.begin(), screen.end(), 0x00FF00u), 2000) << "it reached the screen";
    balloon.ShowWindow(SW_HIDE);
}

TEST(BalloonInTheProgram, RemindNowShowsItTopmostForTenSeconds)
{
    ASSERT_TRUE(EndRunningProgram());
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\MOSS-HARK\\Glimwick", "Message");
    CChildProcess program;
    HWND hWnd = StartProgram(program);
    ASSERT_NE(nullptr, hWnd);
    // The balloon is the controller's disabled popup.
    HWND hBalloon = NULL;
    const RECT rcWork = WorkArea();
    auto FindBalloon = [&] {
        for (HWND h = ::GetTopWindow(NULL); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (::GetWindow(h, GW_OWNER) == hWnd && !::IsWindowEnabled(h))
                hBalloon = h;
        return hBalloon != NULL;
    };
    ASSERT_TRUE(WaitUntil(FindBalloon, 5000));
    EXPECT_FALSE(::IsWindowVisible(hBalloon));

    ::PostMessageA(hWnd, WM_TIMER, GLIMWICK_TIMER_REMINDER, 0);
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
