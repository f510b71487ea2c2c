// The Loupe: its source rectangle at the screen's edges, the colour
// read-out of real screen pixels, and its life as a self-deleting window.
#include "res/resource.h"
#include "tests/ColourPatch.h"
#include "tests/TestSupport.h"
#include "windows/LoupeDlg.h"

#include <gtest/gtest.h>

namespace
{
class CCountedLoupe : public CLoupeDlg
{
public:
    explicit CCountedLoupe(int* pnAlive) : m_pnAlive(pnAlive) { ++*m_pnAlive; }
    ~CCountedLoupe() override { --*m_pnAlive; }
    int* m_pnAlive;
};
} // namespace

TEST(LoupeSource, HalfTheClientCentredAndKeptOnScreen)
{
    const int cxScreen = 1280;
    const int cyScreen = 800;
    struct Case
    {
        POINT pt;
        int cx, cy;
        RECT rc;
    };
    const Case kCases[] = {
        {{640, 400}, 100, 80, {615, 380, 665, 420}},     // centred
        {{640, 400}, 101, 81, {615, 380, 665, 420}},     // odd sizes: the integer half
        {{3, 5}, 100, 80, {0, 0, 50, 40}},               // top-left corner: shifted, not shrunk
        {{1279, 799}, 100, 80, {1230, 760, 1280, 800}},  // bottom-right corner
        {{-300, 400}, 100, 80, {0, 380, 50, 420}},       // left of the primary screen
        {{1500, -50}, 100, 80, {1230, 0, 1280, 40}},     // beyond right and above
        {{640, 400}, 0, 0, {640, 400, 640, 400}},        // no client area
    };
    for (const Case& c : kCases)
    {
        const RECT rc = CLoupeDlg::SourceRect(c.pt, c.cx, c.cy, cxScreen, cyScreen);
        EXPECT_TRUE(::EqualRect(&c.rc, &rc)) << "pointer " << c.pt.x << "," << c.pt.y << " client " << c.cx << "x"
                                             << c.cy << ": got " << rc.left << "," << rc.top << "," << rc.right
                                             << "," << rc.bottom;
    }
}

TEST(LoupeReadout, ColourUnderThePointer)
{
    struct Case
    {
        COLORREF cr;
        const char* pszText;
    };
    const Case kCases[] = {{RGB(255, 0, 0), "255 0 0"}, {RGB(0, 0, 255), "0 0 255"}, {RGB(1, 128, 7), "1 128 7"}};
    for (const Case& c : kCases)
    {
        const RECT rc = {300, 300, 340, 340};
        CColourPatch patch(c.cr, rc);
        ::SetCursorPos(320, 320);
        HDC hdc = ::GetDC(NULL);
        EXPECT_STREQ(c.pszText, CLoupeDlg::ReadoutText(::GetPixel(hdc, 320, 320)));
        ::ReleaseDC(NULL, hdc);
    }
}

TEST(LoupeWindow, EnlargesTheScreenAroundThePointer)
{
    const RECT rcPatch = {500, 300, 560, 360};
    CColourPatch patch(RGB(0, 0, 255), rcPatch);
    ::SetCursorPos(530, 330);
    int nAlive = 0;
    CCountedLoupe* pLoupe = new CCountedLoupe(&nAlive);
    ASSERT_TRUE(pLoupe->Create(IDD_LOUPE));
    HWND hWnd = pLoupe->m_hWnd;
    char szCaption[32] = {};
    ::GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    EXPECT_STREQ(" ﾙｰﾍﾟ", szCaption);
    EXPECT_TRUE(::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::IsWindowVisible(hWnd));

    // Draw into a picture of the client's size: the middle shows the blue
    // patch under the pointer.
    RECT rcClient;
    ::GetClientRect(hWnd, &rcClient);
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, rcClient.right, rcClient.bottom);
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    pLoupe->DrawLoupe(hMem);
    EXPECT_EQ(RGB(0, 0, 255), ::GetPixel(hMem, rcClient.right / 2, rcClient.bottom / 3));
    // The read-out band holds black figures on the blue.
    bool bBlack = false;
    for (int y = rcClient.bottom - 16; y < rcClient.bottom && !bBlack; ++y)
        for (int x = 0; x < rcClient.right && !bBlack; ++x)
            bBlack = ::GetPixel(hMem, x, y) == RGB(0, 0, 0);
    EXPECT_TRUE(bBlack);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);

    // Only its own timer repaints it: a foreign one leaves a painted-over
    // window as it is.
    pLoupe->KillTimer(CLoupeDlg::TIMER_REFRESH);
    const struct
    {
        UINT_PTR nTimer;
        COLORREF crAfter;
    } kTimers[] = {{CLoupeDlg::TIMER_REFRESH + 1, RGB(255, 0, 255)}, {CLoupeDlg::TIMER_REFRESH, RGB(0, 0, 255)}};
    for (const auto& t : kTimers)
    {
        HDC hdcWnd = ::GetDC(hWnd);
        HBRUSH hMagenta = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(hdcWnd, &rcClient, hMagenta);
        ::SendMessageA(hWnd, WM_TIMER, t.nTimer, 0);
        EXPECT_EQ(t.crAfter, ::GetPixel(hdcWnd, rcClient.right / 2, rcClient.bottom / 3)) << "timer " << t.nTimer;
        ::DeleteObject(hMagenta);
        ::ReleaseDC(hWnd, hdcWnd);
    }

    // Escape closes it, and the object goes with its window.
    ::SendMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(0, nAlive);
}

TEST(LoupeWindow, EachCommandAnotherOneAllDeletedWithTheirOwner)
{
    int nAlive = 0;
    CWnd owner;
    const RECT rc = {0, 0, 10, 10};
    ASSERT_TRUE(owner.CreateEx(0, NULL, "owner", WS_POPUP, rc, nullptr, 0));
    for (int i = 0; i < 3; ++i)
    {
        CCountedLoupe* pLoupe = new CCountedLoupe(&nAlive);
        ASSERT_TRUE(pLoupe->Create(IDD_LOUPE, &owner));
    }
    EXPECT_EQ(3, nAlive);
    PumpMessages(350);
    owner.DestroyWindow();
    EXPECT_EQ(0, nAlive) << "no Loupe outlives the program's window";
}
