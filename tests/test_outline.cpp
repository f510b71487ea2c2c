// Outline text: grey glyphs blended into real pictures, checked pixel by
// pixel against the glyph bitmaps the font gives for the same characters.
#include "draw/DibCanvas.h"
#include "draw/OutlineText.h"
#include "frame/Font.h"
#include "frame/MemoryDC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
const char FACE[] = "IPAGothic";
const int HEIGHT = 48;
const COLORREF BACK = RGB(30, 90, 200);
const COLORREF TEXT = RGB(250, 240, 10);
const COLORREF SHADOW = RGB(0, 0, 0);
const COLORREF NONE = CDibCanvas::NO_KEY;
const int WIDTH = 300, TALL = 100; // of the pictures

enum Variant
{
    BASELINE,
    BOTTOM,
    BOTTOM_ADVANCES
};

// A character as the font gives it, placed where the text should put it.
struct CPlaced
{
    GLYPHMETRICS gm;
    std::vector<BYTE> coverage;
    int nPitch;
    int xLeft, yTop;

    int At(int x, int y) const
    {
        const int i = x - xLeft, j = y - yTop;
        if (i < 0 || j < 0 || i >= nPitch || j >= static_cast<int>(gm.gmBlackBoxY) ||
            static_cast<size_t>(j * nPitch + i) >= coverage.size())
            return 0;
        return coverage[j * nPitch + i];
    }
    RECT Box() const
    {
        return {xLeft, yTop, xLeft + nPitch, yTop + static_cast<int>(gm.gmBlackBoxY)};
    }
};

// The characters of codes laid out in the box (x, y, cx, cy) the way the
// text is documented to lay them out, from the font's own metrics.
std::vector<CPlaced> Layout(const std::vector<UINT>& codes, Variant variant, int x, int y, int cx, int cy)
{
    CMemoryDC dc(static_cast<CDC*>(nullptr));
    const HFONT hFont = ::CreateFontA(HEIGHT, HEIGHT / 2, 0, 0, variant == BASELINE ? 400 : 600, FALSE, FALSE,
                                      FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FACE);
    const HGDIOBJ hOld = ::SelectObject(dc, hFont);
    TEXTMETRICA tm;
    ::GetTextMetricsA(dc, &tm);
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    std::vector<CPlaced> placed;
    int nTotal = 0, nMaxBoxY = 0;
    for (UINT nCode : codes)
    {
        CPlaced glyph = {};
        const DWORD cb = ::GetGlyphOutlineA(dc, nCode, GGO_GRAY8_BITMAP, &glyph.gm, 0, nullptr, &identity);
        glyph.coverage.assign(cb == GDI_ERROR ? 0 : cb, 0);
        if (cb && cb != GDI_ERROR)
            ::GetGlyphOutlineA(dc, nCode, GGO_GRAY8_BITMAP, &glyph.gm, cb, glyph.coverage.data(), &identity);
        glyph.nPitch = (glyph.gm.gmBlackBoxX + 3) & ~3;
        nTotal += glyph.gm.gmCellIncX;
        nMaxBoxY = std::max(nMaxBoxY, static_cast<int>(glyph.gm.gmBlackBoxY));
        placed.push_back(glyph);
    }
    ::SelectObject(dc, hOld);
    ::DeleteObject(hFont);
    const GLYPHMETRICS& last = placed.back().gm;
    const int nBearing = last.gmCellIncX - last.gmptGlyphOrigin.x - static_cast<int>(last.gmBlackBoxX);
    int x0 = x + (cx - nTotal + (variant == BOTTOM_ADVANCES ? 0 : nBearing)) / 2;
    const int y0 = y + (cy - nMaxBoxY) / 2;
    for (CPlaced& glyph : placed)
    {
        glyph.xLeft = x0 + glyph.gm.gmptGlyphOrigin.x;
        glyph.yTop = variant == BASELINE ? y0 + tm.tmAscent - glyph.gm.gmptGlyphOrigin.y
                                         : y0 + nMaxBoxY - static_cast<int>(glyph.gm.gmBlackBoxY);
        x0 += glyph.gm.gmCellIncX;
    }
    return placed;
}

void Draw(CDibCanvas& picture, Variant variant, LPCSTR psz, int x, int y, int cx, int cy, COLORREF cr,
          COLORREF crShadow)
{
    if (variant == BASELINE)
        picture.OutlineTextOut(psz, x, y, cx, cy, FACE, HEIGHT, 400, cr, crShadow);
    else if (variant == BOTTOM)
        picture.OutlineTextOut2(psz, x, y, cx, cy, FACE, HEIGHT, cr, crShadow);
    else
        picture.OutlineTextOut3(psz, x, y, cx, cy, FACE, HEIGHT, cr, crShadow);
}

void MakeBackground(CDibCanvas& picture)
{
    ASSERT_TRUE(picture.CreateBlank(32, WIDTH, TALL, NONE));
    picture.FillSolidRect(0, 0, WIDTH, TALL, BACK);
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

// A covered pixel over the background: weight 4v - 1 (255 when full) of the
// text colour, the rest of the background, or of the text colour itself
// above weight 150.
COLORREF Blended(COLORREF crBack, COLORREF cr, int v)
{
    const int b = v == 64 ? 255 : 4 * v - 1;
    const COLORREF crBase = b > 150 ? cr : crBack;
    auto blend = [b](int nBack, int n) { return nBack * (255 - b) / 255 + n * b / 255; };
    return RGB(blend(GetRValue(crBase), GetRValue(cr)), blend(GetGValue(crBase), GetGValue(cr)),
               blend(GetBValue(crBase), GetBValue(cr)));
}

bool InAny(const std::vector<RECT>& boxes, int x, int y)
{
    const POINT pt = {x, y};
    for (const RECT& rc : boxes)
        if (::PtInRect(&rc, pt))
            return true;
    return false;
}
} // namespace

TEST(OutlineText, SystemCodePageIsShiftJis)
{
    // The decoding of the text and the tests below assume it.
    ASSERT_EQ(932u, ::GetACP());
}

TEST(OutlineText, EmptyStringDrawsNothingAndMakesNoFont)
{
    CMemoryDC dc(static_cast<CDC*>(nullptr));
    const COutlineText text(FACE, HEIGHT, 400, COutlineText::PLACE_BASELINE);
    EXPECT_FALSE(text.Draw(&dc, "", 0, 0, 10, 10, TEXT, NONE)) << "no font made, so none deleted";
    EXPECT_FALSE(text.Draw(&dc, nullptr, 0, 0, 10, 10, TEXT, NONE));
    EXPECT_TRUE(text.Draw(&dc, "A", 0, 0, 10, 10, TEXT, NONE)) << "a font made and deleted";

    CDibCanvas picture;
    MakeBackground(picture);
    for (Variant variant : {BASELINE, BOTTOM, BOTTOM_ADVANCES})
        Draw(picture, variant, "", 0, 0, WIDTH, TALL, TEXT, SHADOW);
    const std::vector<COLORREF> pixels = Pixels(picture);
    EXPECT_EQ(static_cast<long>(pixels.size()), std::count(pixels.begin(), pixels.end(), BACK));
    EXPECT_EQ(0u, picture.GetLockOwner());
}

TEST(OutlineText, EachPixelOfAGlyphIsBlendedByItsCoverage)
{
    for (Variant variant : {BASELINE, BOTTOM, BOTTOM_ADVANCES})
    {
        SCOPED_TRACE(variant);
        CDibCanvas picture;
        MakeBackground(picture);
        Draw(picture, variant, "S", 10, 5, 120, 90, TEXT, NONE);
        const CPlaced glyph = Layout({'S'}, variant, 10, 5, 120, 90)[0];
        ASSERT_GT(glyph.coverage.size(), 0u);

        const std::vector<COLORREF> pixels = Pixels(picture);
        int nFull = 0, nFaint = 0;
        for (int y = 0; y < TALL; ++y)
            for (int x = 0; x < WIDTH; ++x)
            {
                const int v = glyph.At(x, y);
                const COLORREF cr = pixels[y * WIDTH + x];
                ASSERT_EQ(v ? Blended(BACK, TEXT, v) : BACK, cr) << "at " << x << ", " << y << ", coverage " << v;
                if (v == 64)
                {
                    ++nFull;
                    ASSERT_EQ(TEXT, cr) << "full coverage is the text colour itself";
                }
                if (v == 1)
                {
                    // Weight 3 of 255: the background barely moves.
                    ++nFaint;
                    EXPECT_NEAR(GetRValue(BACK), GetRValue(cr), 3);
                    EXPECT_NEAR(GetGValue(BACK), GetGValue(cr), 3);
                    EXPECT_NEAR(GetBValue(BACK), GetBValue(cr), 3);
                }
            }
        EXPECT_GT(nFull, 20);
        EXPECT_GT(nFaint, 0) << "the glyph has pixels of the faintest coverage";
    }
}

TEST(OutlineText, NoPixelOutsideTheGlyphBoxesChangesWithoutAShadow)
{
    // Blank characters have no bitmap; a double-byte one sits among them.
    const char* psz = "Wg 表y";
    const std::vector<UINT> codes = {'W', 'g', ' ', 0x955C, 'y'};
    ASSERT_EQ(codes, COutlineText::CharacterCodes(psz));
    for (Variant variant : {BASELINE, BOTTOM, BOTTOM_ADVANCES})
    {
        SCOPED_TRACE(variant);
        std::vector<RECT> boxes, shadowed;
        for (const CPlaced& glyph : Layout(codes, variant, 20, 0, 240, TALL))
        {
            const RECT rc = glyph.Box();
            boxes.push_back(rc);
            shadowed.push_back(rc);
            shadowed.push_back({rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1});
        }

        CDibCanvas plain, shadow;
        MakeBackground(plain);
        MakeBackground(shadow);
        Draw(plain, variant, psz, 20, 0, 240, TALL, TEXT, NONE);
        Draw(shadow, variant, psz, 20, 0, 240, TALL, TEXT, SHADOW);
        const std::vector<COLORREF> plainPixels = Pixels(plain), shadowPixels = Pixels(shadow);
        int nInk = 0, nShadow = 0;
        for (int y = 0; y < TALL; ++y)
            for (int x = 0; x < WIDTH; ++x)
            {
                const COLORREF crPlain = plainPixels[y * WIDTH + x], crShadow = shadowPixels[y * WIDTH + x];
                if (!InAny(boxes, x, y))
                {
                    ASSERT_EQ(BACK, crPlain) << "at " << x << ", " << y;
                }
                if (!InAny(shadowed, x, y))
                {
                    ASSERT_EQ(BACK, crShadow) << "at " << x << ", " << y;
                }
                nInk += crPlain == TEXT;
                nShadow += crShadow == SHADOW && crPlain == BACK;
            }
        EXPECT_GT(nInk, 200);
        EXPECT_GT(nShadow, 50) << "the shadow shows beside the strokes";
    }
}

TEST(OutlineText, ShadowLiesAlongTheLowerRightEdges)
{
    // A full bar ("-" of a gothic face): its shadow is the row under it and
    // the column right of it, shifted by one.
    CDibCanvas picture;
    MakeBackground(picture);
    Draw(picture, BOTTOM, "-", 0, 0, 100, TALL, TEXT, SHADOW);
    const CPlaced bar = Layout({'-'}, BOTTOM, 0, 0, 100, TALL)[0];
    const int cx = bar.gm.gmBlackBoxX, cy = bar.gm.gmBlackBoxY;
    ASSERT_GT(cx, 4);
    const int xMid = bar.xLeft + cx / 2, yMid = bar.yTop + cy / 2;
    ASSERT_EQ(64, bar.At(xMid, bar.yTop + cy - 1));
    EXPECT_EQ(SHADOW, picture.GetPixel(xMid, bar.yTop + cy)) << "below the bar";
    EXPECT_EQ(BACK, picture.GetPixel(xMid, bar.yTop - 1)) << "nothing above it";
    EXPECT_EQ(TEXT, picture.GetPixel(xMid, yMid)) << "the glyph covers its own shadow";
    EXPECT_EQ(BACK, picture.GetPixel(bar.xLeft - 1, yMid)) << "nothing left of it";
}

TEST(OutlineText, BottomAlignedVariantsShareTheBoxesBottomEdge)
{
    // "g" descends below the baseline that "A" stands on.
    const std::vector<UINT> codes = {'A', 'g'};
    for (Variant variant : {BASELINE, BOTTOM, BOTTOM_ADVANCES})
    {
        SCOPED_TRACE(variant);
        const std::vector<CPlaced> placed = Layout(codes, variant, 0, 0, 200, TALL);
        CDibCanvas picture;
        MakeBackground(picture);
        Draw(picture, variant, "Ag", 0, 0, 200, TALL, TEXT, NONE);
        const std::vector<COLORREF> pixels = Pixels(picture);

        // The lowest changed row in the columns that only one glyph covers.
        auto lowest = [&](int xFrom, int xTo) {
            int yLowest = -1;
            for (int y = 0; y < TALL; ++y)
                for (int x = xFrom; x < xTo; ++x)
                    if (pixels[y * WIDTH + x] != BACK)
                        yLowest = y;
            return yLowest;
        };
        const RECT rcA = placed[0].Box(), rcG = placed[1].Box();
        const int yA = lowest(rcA.left, std::min(rcA.right, rcG.left));
        const int yG = lowest(std::max(rcA.right, rcG.left), rcG.right);
        ASSERT_GT(yA, 0);
        if (variant == BASELINE)
            EXPECT_GT(yG, yA + 3) << "the descender reaches below the baseline";
        else
            EXPECT_EQ(yA, yG);
    }
}

TEST(OutlineText, VariantsCentreOnTheirOwnTerms)
{
    // The last character's right bearing counts in the first two variants'
    // centring and not in the third's.
    const std::vector<UINT> codes = {'L', '.'};
    const std::vector<CPlaced> withBearing = Layout(codes, BOTTOM, 0, 0, 200, TALL);
    const std::vector<CPlaced> withoutBearing = Layout(codes, BOTTOM_ADVANCES, 0, 0, 200, TALL);
    ASSERT_NE(withBearing[0].xLeft, withoutBearing[0].xLeft) << "the test needs a glyph with a bearing";
    for (Variant variant : {BOTTOM, BOTTOM_ADVANCES})
    {
        CDibCanvas picture;
        MakeBackground(picture);
        Draw(picture, variant, "L.", 0, 0, 200, TALL, TEXT, NONE);
        const CPlaced& first = (variant == BOTTOM ? withBearing : withoutBearing)[0];
        int xInk = WIDTH;
        const std::vector<COLORREF> pixels = Pixels(picture);
        for (int y = 0; y < TALL; ++y)
            for (int x = 0; x < WIDTH; ++x)
                if (pixels[y * WIDTH + x] != BACK)
                    xInk = std::min(xInk, x);
        int xCovered = WIDTH;
        for (int y = first.yTop; y < first.Box().bottom; ++y)
            for (int x = first.xLeft; x < first.Box().right; ++x)
                if (first.At(x, y))
                    xCovered = std::min(xCovered, x);
        EXPECT_EQ(xCovered, xInk) << "variant " << variant;
    }
}

TEST(OutlineText, DoubleByteCharacterIsOneGlyph)
{
    // 表 is 95 5C in Shift-JIS: its trail byte is a backslash.
    EXPECT_EQ(std::vector<UINT>({0x955C}), COutlineText::CharacterCodes("表"));
    EXPECT_EQ(std::vector<UINT>({'a', 0x955C, 'b'}), COutlineText::CharacterCodes("a表b"));
    EXPECT_EQ(std::vector<UINT>({'a'}), COutlineText::CharacterCodes("a\x95")) << "a lead byte without its trail";
    EXPECT_TRUE(COutlineText::CharacterCodes("").empty());

    const CPlaced glyph = Layout({0x955C}, BOTTOM, 0, 0, 200, TALL)[0];
    const CPlaced backslash = Layout({0x5C}, BOTTOM, 0, 0, 200, TALL)[0];
    ASSERT_NE(glyph.coverage, backslash.coverage) << "the font has the character";
    ASSERT_GT(glyph.gm.gmBlackBoxX, backslash.gm.gmBlackBoxX);

    CDibCanvas picture;
    MakeBackground(picture);
    Draw(picture, BOTTOM, "表", 0, 0, 200, TALL, TEXT, NONE);
    const std::vector<COLORREF> pixels = Pixels(picture);
    for (int y = 0; y < TALL; ++y)
        for (int x = 0; x < WIDTH; ++x)
        {
            const int v = glyph.At(x, y);
            ASSERT_EQ(v ? Blended(BACK, TEXT, v) : BACK, pixels[y * WIDTH + x]) << "at " << x << ", " << y;
        }
}

TEST(OutlineText, TextWiderThanTheBoxStartsLeftOfItUnclipped)
{
    CDibCanvas picture;
    MakeBackground(picture);
    Draw(picture, BASELINE, "WWWWWW", 150, 0, 20, TALL, TEXT, NONE);
    const std::vector<COLORREF> pixels = Pixels(picture);
    int xInk = WIDTH, xInkEnd = 0;
    for (int y = 0; y < TALL; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (pixels[y * WIDTH + x] != BACK)
            {
                xInk = std::min(xInk, x);
                xInkEnd = std::max(xInkEnd, x + 1);
            }
    EXPECT_LT(xInk, 150 - 30);
    EXPECT_GT(xInkEnd, 170 + 30);
}

TEST(OutlineText, BracketKeepsItsFontAndState)
{
    CDibCanvas picture;
    MakeBackground(picture);
    CFont big;
    ASSERT_TRUE(big.CreatePointFont(360, "Arial"));
    picture.BeginDraw();
    picture.SelectObject(&big);
    RECT rcBefore = {0, 0, WIDTH, TALL};
    picture.DrawText("Wg", -1, &rcBefore, DT_CALCRECT);
    picture.OutlineTextOut("Wg", 0, 0, WIDTH, TALL, FACE, HEIGHT, 400, TEXT, SHADOW);
    RECT rcAfter = {0, 0, WIDTH, TALL};
    picture.DrawText("Wg", -1, &rcAfter, DT_CALCRECT);
    EXPECT_EQ(1, picture.GetLockCount());
    picture.EndDraw();
    EXPECT_TRUE(::EqualRect(&rcBefore, &rcAfter)) << "the bracket's own font is selected again";
    EXPECT_EQ(0u, picture.GetLockOwner());
    const std::vector<COLORREF> pixels = Pixels(picture);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), TEXT), 5);
}
