// The picture's lock, its drawing contexts and its locked operations, on
// real DIB sections.
#include "draw/DibCanvas.h"
#include "frame/Brush.h"
#include "frame/Font.h"
#include "frame/Pen.h"
#include "tests/TestColours.h"
#include "tests/TestSupport.h"
#include "tests/TestTarget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace
{
const COLORREF KEY = CDibCanvas::NO_KEY;

int CountPixels(CDibCanvas& picture, COLORREF cr)
{
    int n = 0;
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            n += picture.GetPixel(x, y) == cr;
    picture.EndDraw();
    return n;
}


// A picture whose DrawEx fails with a framework exception.
class CThrowingCanvas : public CDibCanvas
{
public:
    void DrawEx(CDC*, int, int, int, int, int, int, int, int, DWORD, UINT) override { AfxThrowResourceException(); }
};
} // namespace

// ---- Lock ----

TEST(CanvasLock, IsRecursivePerThreadAndIgnoresOtherThreadsUnlock)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    const DWORD dwMe = ::GetCurrentThreadId();

    picture.Lock();
    picture.Lock();
    EXPECT_EQ(dwMe, picture.GetLockOwner());
    EXPECT_EQ(2, picture.GetLockCount());
    picture.SetPixel(1, 1, RED);
    EXPECT_EQ(2, picture.GetLockCount()) << "a locked operation inside goes up and down";

    std::thread stranger([&] { picture.Unlock(); });
    stranger.join();
    EXPECT_EQ(dwMe, picture.GetLockOwner()) << "an unlock from another thread changes nothing";
    EXPECT_EQ(2, picture.GetLockCount());

    std::atomic<bool> bDrawn{false};
    std::thread waiter([&] {
        picture.SetPixel(2, 2, GREEN);
        bDrawn = true;
    });
    ::Sleep(300);
    EXPECT_FALSE(bDrawn) << "other threads wait while the picture is held";
    picture.Unlock();
    EXPECT_EQ(dwMe, picture.GetLockOwner());
    picture.Unlock();
    EXPECT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(waiter), bDrawn));
    EXPECT_EQ(0u, picture.GetLockOwner());
    EXPECT_EQ(GREEN, picture.GetPixel(2, 2));
    EXPECT_EQ(RED, picture.GetPixel(1, 1));
}

TEST(CanvasLock, TwoThreadsDrawingAtOnceLoseNothing)
{
    const int nSize = 48;
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, nSize, nSize, KEY));
    picture.FillSolidRect(0, 0, nSize, nSize, WHITE);

    // Each thread owns half of the rows: single pixels, and whole rows in a
    // bracket.
    auto draw = [&](int yFirst, COLORREF cr, std::atomic<bool>& bDone) {
        for (int y = yFirst; y < yFirst + nSize / 2; ++y)
        {
            if (y % 4 == 0)
            {
                picture.BeginDraw();
                picture.FillSolidRect(0, y, nSize, 1, cr);
                picture.EndDraw();
                continue;
            }
            for (int x = 0; x < nSize; x += 3)
                picture.SetPixelV(x, y, cr);
        }
        bDone = true;
    };
    std::atomic<bool> bTopDone{false}, bBottomDone{false};
    std::thread top(draw, 0, RED, std::ref(bTopDone));
    std::thread bottom(draw, nSize / 2, BLUE, std::ref(bBottomDone));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(top), bTopDone));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(bottom), bBottomDone));

    int nExpectedRed = 0, nExpectedBlue = 0;
    for (int y = 0; y < nSize; ++y)
    {
        const int n = y % 4 == 0 ? nSize : (nSize + 2) / 3;
        (y < nSize / 2 ? nExpectedRed : nExpectedBlue) += n;
    }
    EXPECT_EQ(nExpectedRed, CountPixels(picture, RED));
    EXPECT_EQ(nExpectedBlue, CountPixels(picture, BLUE));
    EXPECT_EQ(0u, picture.GetLockOwner());
}

TEST(CanvasLock, TwoPicturesDrawnIntoEachOtherFromTwoThreadsDoNotDeadlock)
{
    CDibCanvas first, second;
    ASSERT_TRUE(first.CreateBlank(32, 16, 16, KEY));
    ASSERT_TRUE(second.CreateBlank(32, 16, 16, KEY));
    first.FillSolidRect(0, 0, 16, 16, RED);
    second.FillSolidRect(0, 0, 16, 16, BLUE);

    // Both start together and keep at it, so that each often holds its
    // destination while the other holds it as its source.
    std::atomic<int> nReady{0};
    auto cross = [&nReady](CDibCanvas* pDst, CDibCanvas* pSrc, std::atomic<bool>& bDone) {
        ++nReady;
        while (nReady < 2)
            ::Sleep(0);
        for (int i = 0; i < 300; ++i)
            pDst->DrawImage(pSrc, 8, 8, 8, 8, 0, 0, SRCCOPY);
        bDone = true;
    };
    std::atomic<bool> bOne{false}, bTwo{false};
    std::thread one(cross, &first, &second, std::ref(bOne));
    std::thread two(cross, &second, &first, std::ref(bTwo));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(one), bOne));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(two), bTwo));
    EXPECT_EQ(RED, first.GetPixel(0, 0));
    EXPECT_EQ(BLUE, second.GetPixel(0, 0));
}

// ---- Bound context ----

TEST(CanvasBracket, StateLastsFromBeginDrawToEndDraw)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));

    picture.SetTextColor(RED);
    EXPECT_EQ(BLACK, picture.GetTextColor()) << "without a bracket every operation starts afresh";

    picture.BeginDraw();
    picture.SetTextColor(RED);
    picture.SetBkMode(TRANSPARENT);
    EXPECT_EQ(RED, picture.GetTextColor());
    EXPECT_EQ(TRANSPARENT, picture.GetBkMode());
    EXPECT_EQ(1, picture.GetLockCount());
    picture.EndDraw();

    EXPECT_EQ(BLACK, picture.GetTextColor());
    EXPECT_EQ(OPAQUE, picture.GetBkMode());
    EXPECT_EQ(0u, picture.GetLockOwner());
}

TEST(CanvasBracket, NestedBracketKeepsTheOuterContext)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    picture.BeginDraw();
    picture.SetTextColor(RED);
    picture.BeginDraw();
    EXPECT_EQ(RED, picture.GetTextColor()) << "the inner bracket shares the outer context";
    picture.SetBkMode(TRANSPARENT);
    EXPECT_EQ(2, picture.GetLockCount());
    picture.EndDraw();

    EXPECT_EQ(RED, picture.GetTextColor()) << "the inner EndDraw leaves the outer state";
    EXPECT_EQ(TRANSPARENT, picture.GetBkMode());
    EXPECT_EQ(::GetCurrentThreadId(), picture.GetLockOwner());
    picture.EndDraw();
    EXPECT_EQ(0u, picture.GetLockOwner());
    picture.EndDraw();
    EXPECT_EQ(0u, picture.GetLockOwner()) << "an EndDraw too many does nothing";
}

TEST(CanvasBracket, EndDrawFromAnotherThreadLeavesTheBracketAlone)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    picture.BeginDraw();
    picture.SetTextColor(GREEN);
    std::thread stranger([&] { picture.EndDraw(); });
    stranger.join();
    EXPECT_EQ(GREEN, picture.GetTextColor()) << "the context is still bound";
    EXPECT_EQ(1, picture.GetLockCount());
    picture.SetPixelV(3, 3, GREEN);
    picture.EndDraw();
    EXPECT_EQ(GREEN, picture.GetPixel(3, 3));
}

TEST(CanvasBracket, DrawingThePictureElsewhereWhileBound)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    picture.FillSolidRect(0, 0, 8, 8, BLUE);
    CTestTarget target(8, 8, WHITE);

    picture.BeginDraw();
    picture.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    picture.SetPixelV(1, 1, RED);
    picture.EndDraw();

    EXPECT_EQ(BLUE, target.Pixel(5, 5)) << "the bitmap was lent to the drawing";
    EXPECT_EQ(RED, picture.GetPixel(1, 1)) << "and put back into the bound context";
}

TEST(CanvasBracket, FrameworkExceptionInADrawingEndsItAndReleasesEverything)
{
    CThrowingCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    CTestTarget target(8, 8, WHITE);

    picture.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(0u, picture.GetLockOwner()) << "the lock is released";

    picture.BeginDraw();
    picture.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    picture.SetPixelV(2, 2, RED);
    picture.EndDraw();
    EXPECT_EQ(RED, picture.GetPixel(2, 2)) << "the bitmap went back into the bound context";

    std::atomic<bool> bDone{false};
    std::thread other([&] {
        picture.SetPixelV(4, 4, GREEN);
        bDone = true;
    });
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(other), bDone));
    EXPECT_EQ(GREEN, picture.GetPixel(4, 4));
}

// ---- Selections ----

TEST(CanvasSelect, UnboundSelectorsReturnTheFreshContextsObjects)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, KEY));
    CPen pen(PS_SOLID, 1, RED);
    CBrush brush(RED);
    CPen* pOldPen = picture.SelectObject(&pen);
    ASSERT_NE(nullptr, pOldPen);
    EXPECT_EQ(::GetStockObject(BLACK_PEN), pOldPen->GetSafeHandle());
    CBrush* pOldBrush = picture.SelectObject(&brush);
    ASSERT_NE(nullptr, pOldBrush);
    EXPECT_EQ(::GetStockObject(WHITE_BRUSH), pOldBrush->GetSafeHandle());
    EXPECT_EQ(pOldPen, picture.SelectObject(&pen)) << "the same wrapper every time";
}

TEST(CanvasSelect, BoundSelectionsPersistAndThePreviousObjectComesBack)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 16, 8, KEY));
    picture.FillSolidRect(0, 0, 16, 8, BLUE);
    CBrush red(RED);
    CPen none(PS_NULL, 0, BLACK);

    picture.BeginDraw();
    CPen* pOldPen = picture.SelectObject(&none);
    CBrush* pOldBrush = picture.SelectObject(&red);
    ASSERT_NE(nullptr, pOldBrush);
    ASSERT_NE(nullptr, pOldPen);
    picture.Rectangle(0, 0, 9, 9);
    CBrush* pRed = picture.SelectObject(pOldBrush);
    ASSERT_NE(nullptr, pRed);
    EXPECT_EQ(red.GetSafeHandle(), pRed->GetSafeHandle());
    picture.Rectangle(8, 0, 17, 9);
    picture.SelectObject(pOldPen);
    picture.EndDraw();

    EXPECT_EQ(RED, picture.GetPixel(3, 3)) << "drawn with the selected brush";
    EXPECT_EQ(WHITE, picture.GetPixel(12, 3)) << "the previous (white) brush really came back";
}

// ---- Text ----

TEST(CanvasText, DrawTextFontMakesItsFontAndAlwaysDrawsTransparently)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 160, 40, KEY));
    picture.FillSolidRect(0, 0, 160, 40, BLUE);
    RECT rc = {0, 0, 160, 40};
    EXPECT_GT(picture.DrawTextFont(CString("Glimwick"), &rc, DT_CENTER, GREEN, 140, CString("Arial")), 0);
    EXPECT_GT(CountPixels(picture, GREEN), 20);
    EXPECT_EQ(0, CountPixels(picture, WHITE)) << "no opaque background";

    // With the face empty, the context's own font; with no colour, its own.
    CFont big;
    ASSERT_TRUE(big.CreatePointFont(360, "Arial"));
    picture.BeginDraw();
    picture.SetTextColor(RED);
    picture.SetBkMode(OPAQUE);
    picture.SelectObject(&big);
    RECT rcBig = {0, 0, 160, 40};
    const int cyBig = picture.DrawTextFont(CString("Wg"), &rcBig, DT_CALCRECT, KEY, 0, CString(""));
    RECT rcText = {0, 0, 160, 40};
    picture.DrawTextFont(CString("Wg"), &rcText, DT_LEFT, KEY, 90, CString("Arial"));
    EXPECT_EQ(TRANSPARENT, picture.GetBkMode()) << "left transparent on a bound context";
    picture.EndDraw();

    RECT rcSmall = {0, 0, 160, 40};
    const int cySmall = picture.DrawTextFont(CString("Wg"), &rcSmall, DT_CALCRECT, KEY, 90, CString("Arial"));
    EXPECT_GT(cyBig, cySmall * 2) << "the selected 36-point font, not a 9-point one";
    EXPECT_GT(CountPixels(picture, RED), 5) << "the context's text colour";
}

TEST(CanvasText, UnbracketedTextKeepsNoWrappersBehind)
{
    // Each call makes and deletes a font: the picture must not keep a
    // wrapper of every handle it ever selected.
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 80, 30, KEY));
    for (int i = 0; i < 40; ++i)
    {
        RECT rc = {0, 0, 80, 30};
        picture.DrawTextFont("Wg", -1, &rc, DT_LEFT, RED, 90 + i, "Arial");
        picture.TextOutFont(0, 0, "Wg", 2, RED, 90 + i, "Arial");
        picture.CalcTextRect(&rc, "Wg", 90 + i, "Arial");
        picture.OutlineTextOut("Wg", 0, 0, 80, 30, "Arial", 12 + i % 9, FW_NORMAL, RED, KEY);
        picture.OutlineTextOut2("Wg", 0, 0, 80, 30, "Arial", 12 + i % 9, RED, KEY);
        picture.OutlineTextOut3("Wg", 0, 0, 80, 30, "Arial", 12 + i % 9, RED, KEY);
    }
    EXPECT_EQ(0, picture.GetTemporaryCount());
    EXPECT_GT(CountPixels(picture, RED), 10);
}

TEST(CanvasText, CalcTextRectMeasuresWithTheGivenFont)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 4, 4, KEY));
    RECT rcSmall = {0, 0, 0, 0}, rcLarge = {0, 0, 0, 0};
    picture.CalcTextRect(&rcSmall, "Glimwick", 90, "Arial");
    picture.CalcTextRect(&rcLarge, "Glimwick", 280, "Arial");
    EXPECT_GT(rcSmall.right, 20);
    EXPECT_GT(rcLarge.right, rcSmall.right * 2);
    EXPECT_GT(rcLarge.bottom, rcSmall.bottom * 2);
}

TEST(CanvasText, TextOutDrawsInTheContextsColour)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 80, 20, KEY));
    picture.FillSolidRect(0, 0, 80, 20, WHITE);
    picture.BeginDraw();
    picture.SetTextColor(RED);
    EXPECT_TRUE(picture.TextOut(0, 0, CString("HHHH")));
    picture.EndDraw();
    EXPECT_GT(CountPixels(picture, RED), 10);

    picture.TextOutFont(0, 0, "HHHH", 4, BLUE, 120, "Arial");
    EXPECT_GT(CountPixels(picture, BLUE), 10);
}

// ---- Pixels, shapes and images ----

TEST(CanvasPixels, PixelAddressesFollowTheRowOrder)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 5, 4, KEY));
    BYTE* pBits = static_cast<BYTE*>(picture.GetBits(nullptr));
    ASSERT_NE(nullptr, pBits);
    EXPECT_EQ(pBits + 3 * 20, picture.GetPixelAddress(0, 0)) << "the top line is the last row in memory";
    EXPECT_EQ(pBits + 4, picture.GetPixelAddress(1, 3));
    EXPECT_EQ(nullptr, picture.GetPixelAddress(5, 0)) << "nothing outside the picture";
    EXPECT_EQ(nullptr, picture.GetPixelAddress(0, -1));

    picture.SetPixel(2, 1, RGB(1, 2, 3));
    ::GdiFlush();
    const BYTE* p = picture.GetPixelAddress(2, 1);
    EXPECT_EQ(3, p[0]);
    EXPECT_EQ(2, p[1]);
    EXPECT_EQ(1, p[2]);
}

TEST(CanvasPixels, TopDownPictureIsAddressedByItsLines)
{
    BITMAPINFO bi = TopDownInfo32(4, 3);
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateFromInfo(&bi, nullptr, KEY));
    EXPECT_EQ(3, picture.GetBitmapInfo()->bmiHeader.biHeight) << "recorded bottom-up";
    EXPECT_EQ(picture.GetBits(nullptr), picture.GetPixelAddress(0, 0));
    picture.SetPixel(1, 0, RGB(10, 20, 30));
    ::GdiFlush();
    EXPECT_EQ(30, picture.GetPixelAddress(1, 0)[0]);
    EXPECT_EQ(10, picture.GetPixelAddress(1, 0)[2]);

    CTestTarget target(4, 3, WHITE);
    picture.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(RGB(10, 20, 30), target.Pixel(1, 0)) << "GDI draws it upright";
    CTestTarget other(4, 3, WHITE);
    EXPECT_TRUE(picture.DrawDib(other.DC(), 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(RGB(10, 20, 30), other.Pixel(1, 0)) << "and so does DrawDib";
    EXPECT_EQ(BLACK, other.Pixel(1, 2));
    // Part of it, from its second line, stretched to twice its height.
    picture.SetPixelV(2, 1, GREEN);
    EXPECT_TRUE(picture.DrawDib(other.DC(), 0, 0, 4, 2, 0, 1, 4, 1, 0));
    EXPECT_EQ(GREEN, other.Pixel(2, 0));
    EXPECT_EQ(GREEN, other.Pixel(2, 1));
    EXPECT_EQ(BLACK, other.Pixel(1, 0));
    // The same line into one row of the target, and no other row.
    CTestTarget row(4, 3, WHITE);
    EXPECT_TRUE(picture.DrawDib(row.DC(), 0, 1, 4, 1, 0, 1, 4, 1, 0));
    EXPECT_EQ(GREEN, row.Pixel(2, 1));
    EXPECT_EQ(WHITE, row.Pixel(2, 0));
    EXPECT_EQ(WHITE, row.Pixel(2, 2));
}

TEST(CanvasPixels, DrawDibCopiesThePicture)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 6, 4, KEY));
    picture.FillSolidRect(0, 0, 6, 4, BLUE);
    picture.SetPixelV(1, 0, RED);
    CTestTarget target(12, 8, WHITE);
    EXPECT_TRUE(picture.DrawDib(target.DC(), 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(RED, target.Pixel(1, 0));
    EXPECT_EQ(BLUE, target.Pixel(5, 3));
    EXPECT_EQ(WHITE, target.Pixel(6, 3));
    EXPECT_TRUE(picture.DrawDib(target.DC(), 0, 0, 12, 8, 0, 0, 6, 4, 0)) << "stretched";
    EXPECT_EQ(BLUE, target.Pixel(11, 7));
}

TEST(CanvasPixels, ShapesAndLinesDrawWithTheContextsObjects)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 20, 20, KEY));
    picture.FillSolidRect(0, 0, 20, 20, WHITE);
    picture.BeginDraw();
    picture.MoveTo(2, 2);
    EXPECT_EQ(CPoint(2, 2), picture.MoveTo(2, 10)) << "the previous position, kept by the bound context";
    EXPECT_TRUE(picture.LineTo(12, 10));
    picture.EndDraw();
    EXPECT_EQ(BLACK, picture.GetPixel(6, 10));
    EXPECT_EQ(CPoint(0, 0), picture.MoveTo(1, 1)) << "a fresh context starts at the origin";

    const RECT rc = {10, 12, 18, 18};
    EXPECT_TRUE(picture.Rectangle(&rc));
    EXPECT_EQ(BLACK, picture.GetPixel(10, 15)) << "outline";
    const POINT triangle[3] = {{0, 19}, {8, 12}, {8, 19}};
    EXPECT_TRUE(picture.Polygon(triangle, 3));
    EXPECT_EQ(BLACK, picture.GetPixel(8, 16));
    EXPECT_EQ(ALTERNATE, picture.GetPolyFillMode());
}

TEST(CanvasPixels, ImagesIconsAndDrawStateLandInThePicture)
{
    CDibCanvas picture, stamp;
    ASSERT_TRUE(picture.CreateBlank(32, 40, 40, KEY));
    ASSERT_TRUE(stamp.CreateBlank(24, 4, 4, KEY));
    picture.FillSolidRect(0, 0, 40, 40, WHITE);
    stamp.FillSolidRect(0, 0, 4, 4, GREEN);

    picture.DrawImage(&stamp, 2, 2, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(GREEN, picture.GetPixel(5, 5));
    EXPECT_EQ(WHITE, picture.GetPixel(6, 6));
    picture.StretchImage(&stamp, 10, 0, 8, 8, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(GREEN, picture.GetPixel(17, 7));
    picture.TileImage(&stamp, 0, 30, 10, 3, 0, 0, SRCCOPY);
    EXPECT_EQ(GREEN, picture.GetPixel(9, 32));

    CTestTarget source(4, 4, RED);
    picture.BitBltFrom(source.DC(), 30, 30, 4, 4, 0, 0, SRCCOPY);
    EXPECT_EQ(RED, picture.GetPixel(33, 33));

    const int nWhite = CountPixels(picture, WHITE);
    EXPECT_TRUE(picture.DrawIcon(20, 10, ::LoadIconA(NULL, IDI_APPLICATION)));
    EXPECT_LT(CountPixels(picture, WHITE), nWhite);

    EXPECT_TRUE(picture.DrawState(CPoint(30, 0), &stamp, 0, nullptr));
    EXPECT_EQ(GREEN, picture.GetPixel(31, 1));

    CTestTarget elsewhere(8, 8, WHITE);
    EXPECT_TRUE(stamp.DrawStateTo(elsewhere.DC(), CPoint(1, 1), 0, nullptr));
    EXPECT_EQ(GREEN, elsewhere.Pixel(4, 4));
    EXPECT_EQ(WHITE, elsewhere.Pixel(5, 5));
}

TEST(CanvasPixels, APictureDrawnIntoItselfIsReadAsItWas)
{
    // A red square with a key pixel at (1, 1), copied to the right half.
    struct Case
    {
        const char* pszName;
        std::function<void(CDibCanvas&)> draw;
        bool bKeyKept; // drawn one to one through the mask
    };
    const Case kCases[] = {
        {"DrawImage", [](CDibCanvas& p) { p.DrawImage(&p, 20, 0, 10, 10, 0, 0, SRCCOPY); }, true},
        {"StretchImage", [](CDibCanvas& p) { p.StretchImage(&p, 20, 0, 10, 10, 0, 0, 10, 10, SRCCOPY); }, true},
        {"TileImage", [](CDibCanvas& p) { p.TileImage(&p, 20, 0, 10, 10, 0, 0, SRCCOPY); }, true},
        {"StretchImageToFit", [](CDibCanvas& p) { p.StretchImageToFit(&p, 20, 0, 20, 20, SRCCOPY); }, false},
        {"DrawState", [](CDibCanvas& p) { EXPECT_TRUE(p.DrawState(CPoint(20, 0), &p, 0, nullptr)); }, false},
    };
    for (const Case& c : kCases)
        for (bool bBracketed : {false, true})
        {
            SCOPED_TRACE(std::string(c.pszName) + (bBracketed ? " bracketed" : ""));
            CDibCanvas picture;
            ASSERT_TRUE(picture.CreateBlank(32, 40, 20, KEY));
            picture.FillSolidRect(0, 0, 40, 20, WHITE);
            picture.FillSolidRect(0, 0, 10, 10, RED);
            picture.SetPixelV(1, 1, MAGENTA);
            picture.SetTransparentColor(MAGENTA);
            if (bBracketed)
                picture.BeginDraw();
            c.draw(picture);
            if (bBracketed)
                picture.EndDraw();
            EXPECT_EQ(RED, picture.GetPixel(23, 7));
            if (c.bKeyKept)
            {
                EXPECT_EQ(WHITE, picture.GetPixel(21, 1));
            }
        }
}

TEST(CanvasPixels, AnEmptyPictureIsNotRefusedButDrawsNothing)
{
    CDibCanvas empty;
    empty.FillSolidRect(0, 0, 4, 4, RED);
    EXPECT_EQ(0, empty.GetWidth());
    EXPECT_EQ(nullptr, empty.GetBits(nullptr));
    EXPECT_EQ(nullptr, empty.GetPixelAddress(0, 0));
    CTestTarget target(4, 4, WHITE);
    empty.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(WHITE, target.Pixel(0, 0));
    EXPECT_FALSE(empty.DrawDib(target.DC(), 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(0u, empty.GetLockOwner());
}
