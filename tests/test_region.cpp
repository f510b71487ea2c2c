// Regions of all pixels but a colour key, and windows shaped by them.
#include "draw/DibCanvas.h"
#include "draw/Region.h"
#include "frame/Brush.h"
#include "frame/PaintDC.h"
#include "frame/Rgn.h"
#include "frame/WindowDC.h"
#include "frame/Wnd.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const COLORREF MAGENTA = RGB(255, 0, 255);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF NO_KEY = CDibCanvas::NO_KEY;

// The rectangles of a region, as "l,t,r,b;" in the system's order.
std::string Rects(HRGN hRgn)
{
    const DWORD cb = ::GetRegionData(hRgn, 0, NULL);
    std::vector<BYTE> data(cb);
    RGNDATA* pData = reinterpret_cast<RGNDATA*>(data.data());
    ::GetRegionData(hRgn, cb, pData);
    const RECT* pRects = reinterpret_cast<const RECT*>(pData->Buffer);
    std::string str;
    for (DWORD i = 0; i < pData->rdh.nCount; ++i)
        str += std::to_string(pRects[i].left) + "," + std::to_string(pRects[i].top) + "," +
               std::to_string(pRects[i].right) + "," + std::to_string(pRects[i].bottom) + ";";
    return str;
}

// A picture in the key colour with a green disc, a black bar and scattered
// pixels of both, as the balloon composes its own.
void PaintShape(CDibCanvas& picture)
{
    const int cx = picture.GetWidth(), cy = picture.GetHeight();
    picture.FillSolidRect(0, 0, cx, cy, MAGENTA);
    CBrush green(GREEN);
    picture.BeginDraw();
    picture.SelectObject(&green);
    picture.Ellipse(4, 4, cx / 2, cy - 4);
    picture.FillSolidRect(cx / 2 + 4, 2, 6, cy - 10, BLACK);
    unsigned n = 12345;
    for (int i = 0; i < 60; ++i)
    {
        n = n * 1103515245u + 12345u;
        picture.SetPixelV(static_cast<int>((n >> 8) % cx), static_cast<int>((n >> 20) % cy),
                          (n & 1) ? GREEN : BLACK);
    }
    picture.EndDraw();
}

// Every pixel of the picture is in the region exactly when it is not the
// key; returns the number of disagreements.
int Disagreements(CDibCanvas& picture, HRGN hRgn, COLORREF crKey)
{
    int n = 0;
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            n += (picture.GetPixel(x, y) != crKey) != (::PtInRegion(hRgn, x, y) != FALSE);
    picture.EndDraw();
    return n;
}

class CShapedWnd : public CWnd
{
public:
    explicit CShapedWnd(CDibCanvas& picture) : m_picture(picture) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_PAINT:
        {
            CPaintDC dc(m_hWnd);
            m_picture.Draw(&dc, 0, 0, 0, 0, 0, 0, SRCCOPY);
            ++m_nPaints;
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }

    int m_nPaints = 0;

private:
    CDibCanvas& m_picture;
};
} // namespace

TEST(Region, RunsOfOneLine)
{
    struct Case
    {
        const char* pszLine; // K: key, C: colour
        COLORREF crKey;
        const char* pszRects;
    };
    const Case cases[] = {
        {"KCKCC", MAGENTA, "1,0,2,1;3,0,5,1;"},
        {"CCCCC", MAGENTA, "0,0,5,1;"},
        {"CKKKC", MAGENTA, "0,0,1,1;4,0,5,1;"},
        {"KKKKK", MAGENTA, ""},
        {"KCKCC", NO_KEY, "0,0,5,1;"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszLine);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(24, 5, 1, NO_KEY));
        for (int x = 0; x < 5; ++x)
            picture.SetPixelV(x, 0, c.pszLine[x] == 'K' ? MAGENTA : GREEN);
        const HRGN hRgn = picture.CreateRegion(c.crKey);
        ASSERT_NE(nullptr, hRgn) << "an empty region is still a region";
        EXPECT_EQ(c.pszRects, Rects(hRgn));
        ::DeleteObject(hRgn);
    }
}

TEST(Region, OnePixelAndThePictureEdges)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 6, NO_KEY));
    picture.FillSolidRect(0, 0, 8, 6, MAGENTA);
    picture.SetPixelV(7, 3, BLACK);
    CRgn region;
    region.Attach(picture.CreateRegion(MAGENTA));
    RECT rc;
    EXPECT_EQ(SIMPLEREGION, region.GetRgnBox(&rc));
    EXPECT_EQ(7, rc.left);
    EXPECT_EQ(3, rc.top);
    EXPECT_EQ(8, rc.right) << "the last run ends at the picture's edge";
    EXPECT_EQ(4, rc.bottom);

    CRgn whole;
    whole.Attach(picture.CreateRegion(NO_KEY));
    EXPECT_EQ(SIMPLEREGION, whole.GetRgnBox(&rc));
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(8, rc.right);
    EXPECT_EQ(6, rc.bottom);
}

TEST(Region, HoldsExactlyTheNonKeyPixels)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 64, 48, NO_KEY));
    PaintShape(picture);
    CRgn region;
    ASSERT_TRUE(region.Attach(picture.CreateRegion(MAGENTA)));
    EXPECT_EQ(0, Disagreements(picture, region, MAGENTA)) << "checked on all 3072 pixels";
    RECT rc;
    region.GetRgnBox(&rc);
    EXPECT_GE(rc.left, 0);
    EXPECT_LE(rc.right, 64);
    EXPECT_LE(rc.bottom, 48);
}

TEST(Region, ShallowPicturesLeaveOutEveryKeyPixel)
{
    // Magenta stored in fewer bits may read back as another colour.
    for (int nBitCount : {4, 8, 16})
    {
        SCOPED_TRACE(nBitCount);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(nBitCount, 40, 30, NO_KEY));
        PaintShape(picture);
        const COLORREF crStored = picture.GetPixel(0, 0);
        CRgn region;
        ASSERT_TRUE(region.Attach(picture.CreateRegion(MAGENTA)));
        EXPECT_EQ(0, Disagreements(picture, region, crStored));
        EXPECT_FALSE(region.PtInRegion(0, 0));
    }
}

TEST(Region, RefusedWhileThePictureIsBoundOrMissing)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, NO_KEY));
    picture.BeginDraw();
    EXPECT_EQ(nullptr, picture.CreateRegion(MAGENTA)) << "not a region of unreadable pixels";
    picture.EndDraw();
    const HRGN hRgn = picture.CreateRegion(MAGENTA);
    EXPECT_NE(nullptr, hRgn);
    ::DeleteObject(hRgn);

    CDibCanvas empty;
    EXPECT_EQ(nullptr, empty.CreateRegion(MAGENTA));
    EXPECT_EQ(nullptr, RegionFromBitmap(NULL, MAGENTA));
    EXPECT_EQ(nullptr, RegionFromBitmap(static_cast<HBITMAP>(::GetStockObject(BLACK_PEN)), MAGENTA));
}

TEST(ShapedWindow, ShowsAndHitTestsOnlyThePicturesPixels)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(0, 64, 48, NO_KEY));
    PaintShape(picture);

    CShapedWnd wnd(picture);
    const RECT rc = {200, 150, 264, 198};
    ASSERT_TRUE(wnd.CreateEx(WS_EX_TOPMOST, NULL, "shaped", WS_POPUP | WS_VISIBLE, rc, nullptr, 0));
    const HRGN hRgn = picture.CreateRegion(MAGENTA);
    ASSERT_NE(nullptr, hRgn);
    ASSERT_TRUE(SetWindowRegion(wnd.m_hWnd, hRgn));
    ASSERT_TRUE(PumpUntil([&] { return wnd.m_nPaints > 0; }, 5000));
    PumpMessages(200);

    CRgn windowRegion, expected;
    windowRegion.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(wnd.m_hWnd, windowRegion));
    expected.Attach(picture.CreateRegion(MAGENTA));
    EXPECT_TRUE(windowRegion.EqualRgn(&expected)) << "the window has the picture's shape";

    // A key pixel and a drawn one: the disc's centre and the bar.
    const POINT ptKey = {rc.left + 1, rc.top + 1};
    const POINT ptDisc = {rc.left + 18, rc.top + 24};
    const POINT ptBar = {rc.left + 38, rc.top + 20};
    ASSERT_EQ(MAGENTA, picture.GetPixel(1, 1));
    ASSERT_EQ(GREEN, picture.GetPixel(18, 24));
    EXPECT_NE(wnd.m_hWnd, ::WindowFromPoint(ptKey)) << "cut away";
    EXPECT_EQ(wnd.m_hWnd, ::WindowFromPoint(ptDisc));
    EXPECT_EQ(wnd.m_hWnd, ::WindowFromPoint(ptBar));

    CWindowDC screen(NULL);
    EXPECT_EQ(GREEN, screen.GetPixel(ptDisc.x, ptDisc.y));
    EXPECT_EQ(BLACK, screen.GetPixel(ptBar.x, ptBar.y));
    EXPECT_NE(MAGENTA, screen.GetPixel(ptKey.x, ptKey.y)) << "the desktop shows through";

    // Dropping the shape.
    EXPECT_TRUE(::SetWindowRgn(wnd.m_hWnd, NULL, FALSE));
    EXPECT_EQ(ERROR, ::GetWindowRgn(wnd.m_hWnd, windowRegion));
}

TEST(ShapedWindow, RegionTheSystemRefusesIsDeleted)
{
    CRgn probe;
    ASSERT_TRUE(probe.CreateRectRgn(0, 0, 4, 4));
    const HRGN hRgn = static_cast<HRGN>(probe.Detach());
    EXPECT_FALSE(SetWindowRegion(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), hRgn));
    EXPECT_EQ(0u, ::GetObjectType(hRgn));
}
