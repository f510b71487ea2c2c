// Picture effects on real DIB sections: rotation, shading, scaling to fit,
// the screen capture, and the two pictures' locks under several threads.
#include "draw/DibCanvas.h"
#include "frame/Rgn.h"
#include "tests/TestColours.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace
{
const COLORREF KEY = CDibCanvas::NO_KEY;

COLORREF Pattern(int x, int y)
{
    return RGB((x * 37 + y * 11) & 255, (x * 13 ^ y * 29) & 255, (x * y * 7 + 50) & 255);
}

void Paint(CDibCanvas& picture, const std::function<COLORREF(int, int)>& colour)
{
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            picture.SetPixelV(x, y, colour(x, y));
    picture.EndDraw();
}

std::vector<COLORREF> Pixels(CDibCanvas& picture)
{
    std::vector<COLORREF> pixels;
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            pixels.push_back(picture.GetPixel(x, y));
    picture.EndDraw();
    return pixels;
}

std::vector<BYTE> Bytes(CDibCanvas& picture)
{
    ::GdiFlush();
    DWORD cb = 0;
    const BYTE* p = static_cast<const BYTE*>(picture.GetBits(&cb));
    return p ? std::vector<BYTE>(p, p + cb) : std::vector<BYTE>();
}

// A picture of the depth and size, painted with colour; a negative height
// (24 or 32 bits only) makes its rows run from the top down.
void Make(CDibCanvas& picture, int nBitCount, int cx, int cy, const std::function<COLORREF(int, int)>& colour)
{
    if (cy > 0)
    {
        ASSERT_TRUE(picture.CreateBlank(nBitCount, cx, cy, KEY));
    }
    else
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = cx;
        bi.bmiHeader.biHeight = cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = static_cast<WORD>(nBitCount);
        ASSERT_TRUE(picture.CreateFromInfo(&bi, nullptr, KEY));
    }
    Paint(picture, colour);
}

// The box of pixels that are not colour cr; empty when there are none.
RECT Changed(CDibCanvas& picture, COLORREF cr)
{
    RECT rc = {};
    const std::vector<COLORREF> pixels = Pixels(picture);
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            if (pixels[y * picture.GetWidth() + x] != cr)
            {
                RECT rcPixel = {x, y, x + 1, y + 1};
                ::UnionRect(&rc, &rc, &rcPixel);
            }
    return rc;
}


// The filtered rotation worked out here on its own: turn each point of the
// corners' box back into the area and mix its pixel with the right and
// lower neighbours. Points that fall outside the area stay unpainted.
struct CExpectedRotation
{
    RECT rcBox;
    std::vector<COLORREF> pixels; // of the box, CLR_INVALID where unpainted
};

CExpectedRotation Rotated(CDibCanvas& src, int cx, int cy, int xs, int ys, int nDegrees)
{
    const double a = nDegrees * 3.141592653589 / 180;
    const double c = std::cos(a), s = std::sin(a), xc = cx / 2.0, yc = cy / 2.0;
    double xMin = 1e9, yMin = 1e9, xMax = -1e9, yMax = -1e9;
    for (int corner = 0; corner < 4; ++corner)
    {
        const double dx = (corner & 1 ? cx - 1 : 0) - xc, dy = (corner & 2 ? cy - 1 : 0) - yc;
        xMin = std::min(xMin, xc + c * dx - s * dy);
        xMax = std::max(xMax, xc + c * dx - s * dy);
        yMin = std::min(yMin, yc + s * dx + c * dy);
        yMax = std::max(yMax, yc + s * dx + c * dy);
    }
    CExpectedRotation expected;
    expected.rcBox = {static_cast<int>(xMin), static_cast<int>(yMin), static_cast<int>(xMax), static_cast<int>(yMax)};
    const std::vector<COLORREF> source = Pixels(src);
    auto at = [&](int X, int Y) { return source[(ys + Y) * src.GetWidth() + xs + X]; };
    auto mix = [](int nFrom, int nTo, int w) { return nTo * w / 255 + nFrom * (255 - w) / 255; };
    for (int py = expected.rcBox.top; py <= expected.rcBox.bottom; ++py)
        for (int px = expected.rcBox.left; px <= expected.rcBox.right; ++px)
        {
            const double fx = xc + c * (px - xc) + s * (py - yc);
            const double fy = yc - s * (px - xc) + c * (py - yc);
            const int X = static_cast<int>(std::floor(fx)), Y = static_cast<int>(std::floor(fy));
            if (X < 0 || Y < 0 || X >= cx || Y >= cy)
            {
                expected.pixels.push_back(CLR_INVALID);
                continue;
            }
            const int wx = static_cast<int>((fx - X) * 255), wy = static_cast<int>((fy - Y) * 255);
            int rgb[3] = {GetRValue(at(X, Y)), GetGValue(at(X, Y)), GetBValue(at(X, Y))};
            if (X + 1 < cx)
            {
                const COLORREF cr = at(X + 1, Y);
                const int right[3] = {GetRValue(cr), GetGValue(cr), GetBValue(cr)};
                for (int k = 0; k < 3; ++k)
                    rgb[k] = mix(rgb[k], right[k], wx);
            }
            if (Y + 1 < cy)
            {
                const COLORREF cr = at(X, Y + 1);
                const int below[3] = {GetRValue(cr), GetGValue(cr), GetBValue(cr)};
                for (int k = 0; k < 3; ++k)
                    rgb[k] = mix(rgb[k], below[k], wy);
            }
            expected.pixels.push_back(RGB(rgb[0], rgb[1], rgb[2]));
        }
    return expected;
}

using RotateFn = void (CDibCanvas::*)(CDibCanvas*, int, int, int, int, int, int, int, LPRECT);
using ShadeFn = void (CDibCanvas::*)(CDibCanvas*, int, int, int, int, int, int);

struct CPath
{
    const char* pszName;
    RotateFn pfnRotate;
    ShadeFn pfnShade;
};

// The operations as the program calls them (through the bits where they
// can) and the per-pixel reference.
const CPath PATHS[] = {
    {"direct", &CDibCanvas::DrawRotated, &CDibCanvas::ShadeWith},
    {"per pixel", &CDibCanvas::DrawRotatedPerPixel, &CDibCanvas::ShadeWithPerPixel},
};
} // namespace

// ---- Rotation ----

TEST(Rotation, ByZeroDegreesCopiesTheAreaAndReportsItsBox)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        CDibCanvas src, dst;
        Make(src, 32, 20, 16, Pattern);
        Make(dst, 32, 30, 30, [](int, int) { return MAGENTA; });
        RECT rc = {};
        (dst.*path.pfnRotate)(&src, 5, 4, 10, 6, 3, 2, 0, &rc);
        EXPECT_EQ(5, rc.left);
        EXPECT_EQ(4, rc.top);
        EXPECT_EQ(15, rc.right);
        EXPECT_EQ(10, rc.bottom);
        const std::vector<COLORREF> pixels = Pixels(dst);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
            {
                const bool bInside = x >= 5 && x < 15 && y >= 4 && y < 10;
                ASSERT_EQ(bInside ? Pattern(x - 5 + 3, y - 4 + 2) : MAGENTA, pixels[y * 30 + x])
                    << "at " << x << ", " << y;
            }
        EXPECT_EQ(0u, src.GetLockOwner());
        EXPECT_EQ(0u, dst.GetLockOwner());
    }
}

TEST(Rotation, ByNinetyDegreesTurnsTenByFourUpright)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        // The area's left column is red, the rest blue.
        CDibCanvas src, dst;
        Make(src, 32, 10, 4, [](int x, int) { return x == 0 ? RED : BLUE; });
        Make(dst, 32, 40, 40, [](int, int) { return MAGENTA; });
        RECT rc = {};
        (dst.*path.pfnRotate)(&src, 10, 10, 10, 4, 0, 0, 90, &rc);
        EXPECT_EQ(10, rc.left);
        EXPECT_EQ(10, rc.top);
        EXPECT_GE(rc.right - rc.left, 4);
        EXPECT_LE(rc.right - rc.left, 5);
        EXPECT_GE(rc.bottom - rc.top, 10);
        EXPECT_LE(rc.bottom - rc.top, 11);

        const RECT rcPainted = Changed(dst, MAGENTA);
        RECT rcOutside;
        EXPECT_FALSE(::SubtractRect(&rcOutside, &rcPainted, &rc)) << "nothing painted outside the reported box";
        EXPECT_GE(rcPainted.right - rcPainted.left, 4);
        EXPECT_GE(rcPainted.bottom - rcPainted.top, 10);
        // The left column turns into the top edge (a pixel's turn, blurred
        // over two rows by the filter); the rest stays blue.
        const std::vector<COLORREF> pixels = Pixels(dst);
        int nRed = 0;
        for (int y = rcPainted.top; y < rcPainted.bottom; ++y)
            for (int x = rcPainted.left; x < rcPainted.right; ++x)
            {
                const COLORREF cr = pixels[y * 40 + x];
                if (cr == MAGENTA || GetRValue(cr) < GetBValue(cr))
                    continue;
                ++nRed;
                EXPECT_LT(y, rcPainted.top + 2) << "red at " << x << ", " << y;
            }
        EXPECT_GE(nRed, 3);
    }
}

TEST(Rotation, FiltersEachPointFromItsThreeSourcePixels)
{
    const int angles[] = {30, 135, -45, 200, 7};
    for (const CPath& path : PATHS)
        for (int nDegrees : angles)
        {
            SCOPED_TRACE(::testing::Message() << path.pszName << ", " << nDegrees << " degrees");
            CDibCanvas src, dst;
            Make(src, 32, 24, 18, Pattern);
            Make(dst, 32, 50, 50, [](int, int) { return MAGENTA; });
            const CExpectedRotation expected = Rotated(src, 17, 11, 4, 5, nDegrees);
            RECT rc = {};
            (dst.*path.pfnRotate)(&src, 9, 8, 17, 11, 4, 5, nDegrees, &rc);
            const int cxBox = expected.rcBox.right - expected.rcBox.left + 1;
            const int cyBox = expected.rcBox.bottom - expected.rcBox.top + 1;
            EXPECT_EQ(9, rc.left);
            EXPECT_EQ(8, rc.top);
            EXPECT_EQ(9 + cxBox, rc.right);
            EXPECT_EQ(8 + cyBox, rc.bottom);
            const std::vector<COLORREF> pixels = Pixels(dst);
            int nPainted = 0;
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 50; ++x)
                {
                    const int i = x - 9, j = y - 8;
                    const bool bInBox = i >= 0 && j >= 0 && i < cxBox && j < cyBox;
                    const COLORREF crExpected = bInBox ? expected.pixels[j * cxBox + i] : CLR_INVALID;
                    nPainted += crExpected != CLR_INVALID;
                    ASSERT_EQ(crExpected == CLR_INVALID ? MAGENTA : crExpected, pixels[y * 50 + x])
                        << "at " << x << ", " << y;
                }
            EXPECT_GT(nPainted, 17 * 11 * 3 / 4);
        }
}

TEST(Rotation, AreaTurnsAsAskedForAndWhatLiesOutsideTheSourceIsLeftOut)
{
    CDibCanvas src, dst;
    Make(src, 32, 10, 10, Pattern);
    Make(dst, 32, 40, 40, [](int, int) { return MAGENTA; });
    RECT rc = {};
    dst.DrawRotated(&src, 2, 3, 30, 30, 0, 0, 0, &rc);
    const RECT rcBox = {2, 3, 32, 33};
    EXPECT_TRUE(::EqualRect(&rcBox, &rc)) << "the box of the area asked for";
    RECT rcPainted = Changed(dst, MAGENTA);
    const RECT rcSource = {2, 3, 12, 13};
    EXPECT_TRUE(::EqualRect(&rcSource, &rcPainted)) << "only what is in the source";

    // Turned by 180 degrees about the centre of the whole area, the part
    // in the source lands in the box's bottom-right corner.
    Make(dst, 32, 40, 40, [](int, int) { return MAGENTA; });
    dst.DrawRotated(&src, 2, 3, 30, 30, 0, 0, 180, &rc);
    EXPECT_NEAR(30, rc.right - rc.left, 1);
    EXPECT_NEAR(30, rc.bottom - rc.top, 1);
    rcPainted = Changed(dst, MAGENTA);
    EXPECT_NEAR(rc.right, rcPainted.right, 1);
    EXPECT_NEAR(rc.bottom, rcPainted.bottom, 1);
    EXPECT_LE(rcPainted.right - rcPainted.left, 11);
    // The area's last source pixel comes out at the top-left of what is
    // painted, up to the filter's rounding against its neighbours.
    const COLORREF crTurned = dst.GetPixel(rcPainted.left, rcPainted.top);
    EXPECT_NEAR(GetRValue(Pattern(9, 9)), GetRValue(crTurned), 3);
    EXPECT_NEAR(GetGValue(Pattern(9, 9)), GetGValue(crTurned), 3);
    EXPECT_NEAR(GetBValue(Pattern(9, 9)), GetBValue(crTurned), 3);

    // Nothing of the area in the source: nothing painted, the box all the
    // same; no source at all: an empty box.
    Make(dst, 32, 40, 40, [](int, int) { return MAGENTA; });
    dst.DrawRotated(&src, 2, 3, 5, 5, 10, 0, 45, &rc);
    EXPECT_FALSE(::IsRectEmpty(&rc));
    rcPainted = Changed(dst, MAGENTA);
    EXPECT_TRUE(::IsRectEmpty(&rcPainted));
    dst.DrawRotated(nullptr, 2, 3, 5, 5, 0, 0, 45, &rc);
    EXPECT_TRUE(::IsRectEmpty(&rc));
}

TEST(Rotation, PartOfTheAreaLeftOfTheSourceIsLeftOut)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        CDibCanvas src, dst;
        Make(src, 32, 10, 10, Pattern);
        Make(dst, 32, 20, 20, [](int, int) { return MAGENTA; });
        RECT rc = {};
        (dst.*path.pfnRotate)(&src, 0, 0, 8, 8, -3, -2, 0, &rc);
        const RECT rcExpected = {0, 0, 8, 8};
        EXPECT_TRUE(::EqualRect(&rcExpected, &rc));
        const std::vector<COLORREF> pixels = Pixels(dst);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
            {
                const bool bFromSource = x >= 3 && x < 8 && y >= 2 && y < 8;
                ASSERT_EQ(bFromSource ? Pattern(x - 3, y - 2) : MAGENTA, pixels[y * 20 + x])
                    << "at " << x << ", " << y;
            }
    }
}

TEST(Rotation, IntoItselfReadsThePictureAsItWas)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        // Copied five pixels to the right over itself: read from what is
        // being painted, the left columns would smear across.
        CDibCanvas picture;
        Make(picture, 32, 20, 10, Pattern);
        (picture.*path.pfnRotate)(&picture, 5, 0, 15, 10, 0, 0, 0, nullptr);
        const std::vector<COLORREF> pixels = Pixels(picture);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(Pattern(x < 5 ? x : x - 5, y), pixels[y * 20 + x]) << "at " << x << ", " << y;
        EXPECT_EQ(0u, picture.GetLockOwner());
    }
}

// ---- The direct form against the per-pixel reference ----

TEST(EffectsDirect, GivesTheBytesOfThePerPixelForm)
{
    struct CCase
    {
        int nDstBits, nSrcBits;
        // Negative heights: rows from the top down.
        int cyDst, cySrc;
    };
    const CCase cases[] = {{32, 32, 48, 29},  {24, 32, 48, 29}, {32, 24, 48, -29}, {24, 24, -48, 29},
                           {32, 32, -48, -29}, {16, 32, 48, 29}, {32, 8, 48, 29}};
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.nDstBits << " bits, height " << c.cyDst << ", from " << c.nSrcBits
                                          << " bits, height " << c.cySrc);
        CDibCanvas src, shade;
        Make(src, c.nSrcBits, 37, c.cySrc, Pattern);
        Make(shade, c.nSrcBits, 30, 20, [](int x, int y) { return RGB((x * 9 + y * 5) % 256, 0, 0); });
        for (int nDegrees : {0, 33, 90, -120})
        {
            CDibCanvas direct, reference;
            Make(direct, c.nDstBits, 64, c.cyDst, [](int x, int y) { return RGB(x * 4, y * 5, 99); });
            Make(reference, c.nDstBits, 64, c.cyDst, [](int x, int y) { return RGB(x * 4, y * 5, 99); });
            if (c.nDstBits == 32)
            {
                // Whatever the fourth bytes held, SetPixel leaves them 0.
                ::GdiFlush();
                BYTE* pDirect = static_cast<BYTE*>(direct.GetBits(nullptr));
                BYTE* pReference = static_cast<BYTE*>(reference.GetBits(nullptr));
                for (int i = 0; i < 64 * 48; ++i)
                    pDirect[i * 4 + 3] = pReference[i * 4 + 3] = static_cast<BYTE>(i * 7);
            }
            RECT rcDirect = {}, rcReference = {};
            direct.DrawRotated(&src, -3, 2, 33, 21, 2, 4, nDegrees, &rcDirect);
            reference.DrawRotatedPerPixel(&src, -3, 2, 33, 21, 2, 4, nDegrees, &rcReference);
            EXPECT_TRUE(::EqualRect(&rcDirect, &rcReference));
            direct.ShadeWith(&shade, 20, 30, 0, 0, 3, 1);
            reference.ShadeWithPerPixel(&shade, 20, 30, 0, 0, 3, 1);
            ASSERT_EQ(Bytes(reference), Bytes(direct)) << nDegrees << " degrees";
        }
    }
}

TEST(EffectsDirect, KeepsToTheClipOfABoundContext)
{
    CDibCanvas src;
    Make(src, 32, 20, 20, Pattern);
    CDibCanvas pictures[2];
    for (int i = 0; i < 2; ++i)
    {
        Make(pictures[i], 32, 30, 30, [](int, int) { return MAGENTA; });
        CRgn clip;
        ASSERT_TRUE(clip.CreateRectRgn(0, 0, 12, 30));
        pictures[i].BeginDraw();
        pictures[i].SelectObject(&clip);
        if (i == 0)
        {
            pictures[i].DrawRotated(&src, 0, 0, 20, 20, 0, 0, 10, nullptr);
            pictures[i].ShadeWith(&src, 0, 0, 0, 0, 0, 0);
        }
        else
        {
            pictures[i].DrawRotatedPerPixel(&src, 0, 0, 20, 20, 0, 0, 10, nullptr);
            pictures[i].ShadeWithPerPixel(&src, 0, 0, 0, 0, 0, 0);
        }
        pictures[i].EndDraw();
    }
    const RECT rcPainted = Changed(pictures[0], MAGENTA);
    EXPECT_EQ(12, rcPainted.right) << "nothing right of the clip";
    EXPECT_EQ(Bytes(pictures[1]), Bytes(pictures[0]));
}

// ---- Shading ----

TEST(Shade, WhiteChangesNothingAndBlackTurnsTheAreaBlack)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        CDibCanvas picture, white, black;
        Make(picture, 32, 20, 20, Pattern);
        Make(white, 24, 8, 8, [](int, int) { return WHITE; });
        Make(black, 24, 8, 6, [](int, int) { return BLACK; });

        (picture.*path.pfnShade)(&white, 0, 0, 0, 0, 0, 0);
        const std::vector<COLORREF> before = Pixels(picture);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(Pattern(x, y), before[y * 20 + x]);

        // Zero sizes: the shade's own.
        (picture.*path.pfnShade)(&black, 3, 4, 0, 0, 0, 0);
        const std::vector<COLORREF> pixels = Pixels(picture);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
            {
                const bool bShaded = x >= 3 && x < 11 && y >= 4 && y < 10;
                ASSERT_EQ(bShaded ? BLACK : Pattern(x, y), pixels[y * 20 + x]) << "at " << x << ", " << y;
            }
    }
}

TEST(Shade, ScalesEachComponentByTheShadesRed)
{
    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        CDibCanvas picture, shade;
        Make(picture, 24, 16, 16, Pattern);
        // Only the red channel of the shade counts.
        Make(shade, 32, 16, 16, [](int x, int y) { return RGB(x * 16 + y, 255 - x, 7); });
        // The area is cut to the shade from (xs, ys).
        (picture.*path.pfnShade)(&shade, 0, 0, 16, 16, 6, 10);
        const std::vector<COLORREF> pixels = Pixels(picture);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                COLORREF cr = Pattern(x, y);
                if (x < 10 && y < 6)
                {
                    const int s = (x + 6) * 16 + (y + 10);
                    if (s < 255)
                        cr = RGB(GetRValue(cr) * s / 255, GetGValue(cr) * s / 255, GetBValue(cr) * s / 255);
                }
                ASSERT_EQ(cr, pixels[y * 16 + x]) << "at " << x << ", " << y;
            }
    }
}

TEST(Shade, ByItselfSquaresTheRedScale)
{
    CDibCanvas picture;
    Make(picture, 32, 8, 8, [](int x, int y) { return RGB(x * 30, y * 30, 200); });
    picture.ShadeWith(&picture, 0, 0, 0, 0, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const int s = x * 30;
            ASSERT_EQ(RGB(s * s / 255, y * 30 * s / 255, 200 * s / 255), picture.GetPixel(x, y));
        }
}

// ---- Scaling to fit ----

TEST(Fit, ScalesToTheBoxKeepingProportionsAndCentres)
{
    CDibCanvas wide, tall, dst;
    Make(wide, 24, 100, 50, [](int, int) { return BLUE; });
    Make(tall, 24, 50, 100, [](int, int) { return RED; });
    Make(dst, 32, 240, 240, [](int, int) { return WHITE; });

    dst.StretchImageToFit(&wide, 20, 20, 200, 200, SRCCOPY);
    RECT rcDrawn = Changed(dst, WHITE);
    const RECT rcWide = {20, 70, 220, 170};
    EXPECT_TRUE(::EqualRect(&rcWide, &rcDrawn)) << "200 by 100 at a vertical offset of 50";

    Make(dst, 32, 240, 240, [](int, int) { return WHITE; });
    dst.StretchImageToFit(&tall, 0, 0, 200, 100, SRCCOPY);
    rcDrawn = Changed(dst, WHITE);
    const RECT rcTall = {75, 0, 125, 100};
    EXPECT_TRUE(::EqualRect(&rcTall, &rcDrawn)) << "50 by 100 centred across";
    EXPECT_EQ(0u, tall.GetLockOwner());
    EXPECT_EQ(0u, dst.GetLockOwner());
}

TEST(Fit, NothingWhenTheFittedSizeHasNoPixels)
{
    CDibCanvas strip, empty, dst;
    Make(strip, 24, 1000, 10, [](int, int) { return BLUE; });
    Make(dst, 32, 1100, 40, [](int, int) { return WHITE; });
    // 1000 by 10 into 5 by 5 is 5 by 0: not the whole strip at its size.
    dst.StretchImageToFit(&strip, 0, 0, 5, 5, SRCCOPY);
    dst.StretchImageToFit(&strip, 0, 0, 0, 0, SRCCOPY);
    dst.StretchImageToFit(&empty, 0, 0, 50, 50, SRCCOPY);
    dst.StretchImageToFit(nullptr, 0, 0, 50, 50, SRCCOPY);
    const RECT rcDrawn = Changed(dst, WHITE);
    EXPECT_TRUE(::IsRectEmpty(&rcDrawn));
}

// ---- Screen capture ----

namespace
{
// A topmost window at the screen's top-left corner: blue in its first
// five columns, red elsewhere.
class CScreenPattern
{
public:
    CScreenPattern()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "GlimwickEffectsPattern";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0,
                                   0, 40, 40, NULL, NULL, wc.hInstance, NULL);
        ::UpdateWindow(m_hWnd);
    }
    ~CScreenPattern() { ::DestroyWindow(m_hWnd); }
    CScreenPattern(const CScreenPattern&) = delete;
    CScreenPattern& operator=(const CScreenPattern&) = delete;

    bool IsOnScreen() const
    {
        return PumpUntil(
            [] {
                const HDC hScreen = ::GetDC(NULL);
                const bool bShown = ::GetPixel(hScreen, 2, 2) == BLUE && ::GetPixel(hScreen, 30, 30) == RED;
                ::ReleaseDC(NULL, hScreen);
                return bShown;
            },
            10000);
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg != WM_PAINT)
            return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
        PAINTSTRUCT ps;
        const HDC hDC = ::BeginPaint(hWnd, &ps);
        const HBRUSH hBlue = ::CreateSolidBrush(BLUE), hRed = ::CreateSolidBrush(RED);
        const RECT rcBlue = {0, 0, 5, 40}, rcRed = {5, 0, 40, 40};
        ::FillRect(hDC, &rcBlue, hBlue);
        ::FillRect(hDC, &rcRed, hRed);
        ::DeleteObject(hBlue);
        ::DeleteObject(hRed);
        ::EndPaint(hWnd, &ps);
        return 0;
    }

    HWND m_hWnd;
};
} // namespace

TEST(Screen, AreaWhollyOffTheScreenIsRefusedAndTouchesNothing)
{
    CDibCanvas picture;
    Make(picture, 32, 20, 20, [](int, int) { return MAGENTA; });
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN), cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_FALSE(picture.CopyFromScreen(0, 0, 10, 10, -10, 0)) << "ends where the screen begins";
    EXPECT_FALSE(picture.CopyFromScreen(0, 0, 10, 10, 5, -30));
    EXPECT_FALSE(picture.CopyFromScreen(0, 0, 10, 10, cxScreen, 0));
    EXPECT_FALSE(picture.CopyFromScreen(0, 0, 10, 10, 0, cyScreen + 5));
    EXPECT_FALSE(picture.CopyFromScreen(0, 0, -4, 10, 0, 0)) << "a negative size covers nothing";
    const RECT rcChanged = Changed(picture, MAGENTA);
    EXPECT_TRUE(::IsRectEmpty(&rcChanged));
    EXPECT_EQ(0u, picture.GetLockOwner());
}

TEST(Screen, PartLeftOfTheScreenKeepsItsPlace)
{
    CScreenPattern pattern;
    ASSERT_TRUE(pattern.IsOnScreen());
    CDibCanvas picture;
    Make(picture, 32, 40, 30, [](int, int) { return MAGENTA; });

    // 30 by 20 from x -10: the screen's first 20 columns land 10 to the right.
    EXPECT_TRUE(picture.CopyFromScreen(5, 5, 30, 20, -10, 0));
    const std::vector<COLORREF> pixels = Pixels(picture);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
        {
            COLORREF cr = MAGENTA;
            if (x >= 15 && x < 35 && y >= 5 && y < 25)
                cr = x < 20 ? BLUE : RED;
            ASSERT_EQ(cr, pixels[y * 40 + x]) << "at " << x << ", " << y;
        }

    // Zero sizes: the picture's.
    Make(picture, 32, 8, 6, [](int, int) { return MAGENTA; });
    EXPECT_TRUE(picture.CopyFromScreen(0, 0, 0, 0, 1, 1));
    const RECT rcChanged = Changed(picture, BLUE);
    EXPECT_EQ(4, rcChanged.left) << "columns 1 to 4 of the screen are blue, the rest red";
    EXPECT_EQ(8, rcChanged.right);
    EXPECT_EQ(6, rcChanged.bottom);
}

// ---- Two pictures, several threads ----

TEST(EffectsLocks, CrossedRotationsAndShadesFromTwoThreadsDoNotDeadlock)
{
    CDibCanvas first, second;
    Make(first, 32, 16, 16, [](int, int) { return RED; });
    Make(second, 32, 16, 16, [](int, int) { return BLUE; });

    // Each thread draws into one picture from the other, with a plain
    // drawing of its own picture in between, all starting together.
    std::atomic<int> nReady{0};
    auto cross = [&nReady](CDibCanvas* pDst, CDibCanvas* pSrc, COLORREF cr, std::atomic<bool>& bDone) {
        ++nReady;
        while (nReady < 2)
            ::Sleep(0);
        for (int i = 0; i < 150; ++i)
        {
            pDst->DrawRotated(pSrc, 8, 8, 6, 6, 0, 0, 45, nullptr);
            pDst->DrawRotatedPerPixel(pSrc, 8, 8, 4, 4, 0, 0, 90, nullptr);
            pDst->ShadeWith(pSrc, 8, 0, 8, 8, 0, 0);
            pDst->StretchImageToFit(pSrc, 0, 8, 8, 8, SRCCOPY);
            pDst->FillSolidRect(0, 0, 4, 4, cr);
        }
        bDone = true;
    };
    std::atomic<bool> bOne{false}, bTwo{false};
    std::thread one(cross, &first, &second, RED, std::ref(bOne));
    std::thread two(cross, &second, &first, BLUE, std::ref(bTwo));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(one), bOne));
    ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(two), bTwo));
    EXPECT_EQ(RED, first.GetPixel(0, 0));
    EXPECT_EQ(BLUE, second.GetPixel(0, 0));
    EXPECT_EQ(0u, first.GetLockOwner());
    EXPECT_EQ(0u, second.GetLockOwner());
}

TEST(EffectsLocks, TheLowerAddressIsTakenFirstAndNothingIsHeldWhileWaiting)
{
    CDibCanvas pictures[2];
    Make(pictures[0], 32, 8, 8, [](int, int) { return RED; });
    Make(pictures[1], 32, 8, 8, [](int, int) { return BLUE; });
    CDibCanvas* pLow = std::min(&pictures[0], &pictures[1]);
    CDibCanvas* pHigh = std::max(&pictures[0], &pictures[1]);
    const COLORREF crLow = pLow->GetPixel(0, 0);

    for (const CPath& path : PATHS)
    {
        SCOPED_TRACE(path.pszName);
        // This thread holds the lower picture; a rotation from it into the
        // higher one must wait for it before taking the higher one.
        pLow->BeginDraw();
        std::atomic<bool> bStarted{false}, bDone{false};
        std::thread rotate([&] {
            bStarted = true;
            (pHigh->*path.pfnRotate)(pLow, 0, 0, 8, 8, 0, 0, 0, nullptr);
            bDone = true;
        });
        ASSERT_TRUE(WaitUntil([&] { return bStarted.load(); }, DEADLOCK_MS));
        ::Sleep(300);
        EXPECT_FALSE(bDone);
        EXPECT_EQ(0u, pHigh->GetLockOwner()) << "the waiting thread holds nothing";
        pHigh->SetPixelV(7, 7, RGB(1, 2, 3));
        pLow->EndDraw();
        ASSERT_TRUE(RunsToEnd(DEADLOCK_MS, std::move(rotate), bDone));
        EXPECT_EQ(crLow, pHigh->GetPixel(7, 7)) << "the rotation ran after the wait";
    }
}
