// Regions of all pixels but a colour key, and windows shaped by them.
#include "draw/DibCanvas.h"
#include "draw/DibHeader.h"
#include "draw/Region.h"
#include "frame/Brush.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"
#include "frame/PaintDC.h"
#include "frame/Rgn.h"
#include "frame/WindowDC.h"
#include "frame/Wnd.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const COLORREF MAGENTA = RGB(255, 0, 255);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF WHITE = RGB(255, 255, 255);
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

typedef HRGN (*RegionBuilder)(HBITMAP, COLORREF);
struct NamedBuilder
{
    const char* pszName;
    RegionBuilder pfnBuild;
};
const NamedBuilder BUILDERS[] = {{"fast", RegionFromBitmap}, {"reference", RegionFromBitmapReference}};

// A small generator of its own, so that every run sees the same pictures.
class CRandom
{
public:
    explicit CRandom(unsigned nSeed) : m_n(nSeed) {}
    unsigned Next()
    {
        m_n = m_n * 1103515245u + 12345u;
        return m_n >> 8;
    }
    unsigned Below(unsigned n) { return Next() % n; }

private:
    unsigned m_n;
};

// A picture format: depth, compression with its masks, orientation, and for
// 8 bits two more magenta entries in the colour table.
struct Format
{
    const char* pszName;
    int nBitCount;
    DWORD dwCompression;
    DWORD masks[3];
    bool bTopDown;
    bool bDuplicateKeyEntries;
};

bool MakePicture(CDibCanvas& picture, const Format& format, int cx, int cy)
{
    BITMAPINFO* pInfo = BuildBitmapInfo(format.nBitCount, cx, format.bTopDown ? -cy : cy);
    if (!pInfo)
        return false;
    pInfo->bmiHeader.biCompression = format.dwCompression;
    if (format.dwCompression == BI_BITFIELDS)
        std::memcpy(pInfo->bmiColors, format.masks, sizeof(format.masks));
    if (format.bDuplicateKeyEntries)
        pInfo->bmiColors[3] = pInfo->bmiColors[100] = RGBQUAD{255, 0, 255, 0};
    const BOOL bCreated = picture.CreateFromInfo(pInfo, nullptr, NO_KEY);
    FreeBitmapInfo(pInfo);
    return bCreated != FALSE;
}

// Raw pixel values of a row in memory.
void PutRaw(BYTE* pRow, int nBitCount, int x, DWORD dwValue)
{
    switch (nBitCount)
    {
    case 1:
        pRow[x / 8] = static_cast<BYTE>((pRow[x / 8] & ~(0x80 >> (x % 8))) | ((dwValue & 1) << (7 - x % 8)));
        break;
    case 4:
        pRow[x / 2] = static_cast<BYTE>(x % 2 ? (pRow[x / 2] & 0xF0) | (dwValue & 0x0F)
                                              : (pRow[x / 2] & 0x0F) | ((dwValue & 0x0F) << 4));
        break;
    default:
        std::memcpy(pRow + x * (nBitCount / 8), &dwValue, static_cast<size_t>(nBitCount / 8));
        break;
    }
}

DWORD GetRaw(const BYTE* pRow, int nBitCount, int x)
{
    switch (nBitCount)
    {
    case 1:
        return (pRow[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (pRow[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    default:
    {
        DWORD dw = 0;
        std::memcpy(&dw, pRow + x * (nBitCount / 8), static_cast<size_t>(nBitCount / 8));
        return dw;
    }
    }
}

// Fills every byte of the rows, padding included, with runs of random
// values. Half of the runs are the key as the picture stores it, some with
// the bits that hold no colour set (the fourth byte of 32 bits, the top bit
// of 5-5-5); a third of the lines repeat the line before.
void FillRandomRuns(CDibCanvas& picture, const Format& format, unsigned nSeed)
{
    const int cx = picture.GetWidth(), cy = picture.GetHeight(), nBitCount = format.nBitCount;
    picture.FillSolidRect(0, 0, 1, 1, MAGENTA);
    ::GdiFlush();
    const DWORD dwKey = GetRaw(picture.GetPixelAddress(0, 0), nBitCount, 0);
    DWORD dwSpare = 0;
    if (nBitCount == 32 && format.dwCompression == BI_RGB)
        dwSpare = 0xFF000000;
    else if (nBitCount == 16 && format.dwCompression == BI_RGB)
        dwSpare = 0x8000;
    const DWORD dwValues = nBitCount >= 32 ? 0xFFFFFFFF : (1u << nBitCount) - 1;

    CRandom random(nSeed);
    DWORD cbImage = 0;
    BYTE* pBits = static_cast<BYTE*>(picture.GetBits(&cbImage));
    for (DWORD i = 0; i < cbImage; ++i)
        pBits[i] = static_cast<BYTE>(random.Next());
    const size_t nStride = DibStride(nBitCount, cx);
    for (int nRow = 0; nRow < cy; ++nRow)
    {
        BYTE* pRow = pBits + nStride * nRow;
        if (nRow > 0 && random.Below(3) == 0)
        {
            for (int x = 0; x < cx; ++x)
                PutRaw(pRow, nBitCount, x, GetRaw(pRow - nStride, nBitCount, x));
            continue;
        }
        for (int x = 0; x < cx;)
        {
            DWORD dwValue = (random.Next() | random.Next() << 24) & dwValues;
            const unsigned nKind = random.Below(8);
            if (nKind < 4)
                dwValue = dwKey | (nKind == 0 ? dwSpare : 0);
            else if (nKind == 4 && format.bDuplicateKeyEntries)
                dwValue = random.Below(2) ? 3 : 100;
            const int nRun = 1 + static_cast<int>(random.Below(9));
            for (int i = 0; i < nRun && x < cx; ++i, ++x)
                PutRaw(pRow, nBitCount, x, dwValue);
        }
    }
}

// The rectangles of a built region, or "NULL".
std::string BuiltRects(RegionBuilder pfnBuild, HBITMAP hbm, COLORREF crKey)
{
    const HRGN hRgn = pfnBuild(hbm, crKey);
    if (!hRgn)
        return "NULL";
    std::string str = Rects(hRgn);
    ::DeleteObject(hRgn);
    return str;
}

// Both builders give the same rectangles, and the region holds exactly
// the pixels that do not read back as a key pixel does.
void ExpectSameRegions(CDibCanvas& picture, COLORREF crKey)
{
    const HBITMAP hbm = static_cast<HBITMAP>(picture.GetSafeHandle());
    CRgn fast, reference;
    ASSERT_TRUE(fast.Attach(RegionFromBitmap(hbm, crKey)));
    ASSERT_TRUE(reference.Attach(RegionFromBitmapReference(hbm, crKey)));
    EXPECT_TRUE(fast.EqualRgn(&reference));
    EXPECT_EQ(Rects(reference), Rects(fast));

    COLORREF crReadBack = crKey;
    if (crKey != NO_KEY)
    {
        BYTE* p = picture.GetPixelAddress(0, 0);
        BYTE saved[4];
        ::GdiFlush();
        std::memcpy(saved, p, sizeof(saved));
        picture.SetPixelV(0, 0, crKey);
        crReadBack = picture.GetPixel(0, 0);
        std::memcpy(p, saved, sizeof(saved));
    }
    EXPECT_EQ(0, Disagreements(picture, fast, crReadBack));
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

TEST(Region, PartsOfThePictureAtEveryDepth)
{
    // Each builder, each depth: a picture all in the key, a key of none, one
    // pixel, and one line of five.
    for (const NamedBuilder& builder : BUILDERS)
    {
        for (int nBitCount : {1, 4, 8, 16, 24, 32})
        {
            SCOPED_TRACE(std::string(builder.pszName) + " " + std::to_string(nBitCount));
            CDibCanvas picture;
            ASSERT_TRUE(picture.CreateBlank(nBitCount, 9, 4, NO_KEY));
            const HBITMAP hbm = static_cast<HBITMAP>(picture.GetSafeHandle());
            // Black is the colour every depth holds.
            const COLORREF crKey = nBitCount == 1 ? WHITE : MAGENTA;
            picture.FillSolidRect(0, 0, 9, 4, crKey);
            EXPECT_EQ("", BuiltRects(builder.pfnBuild, hbm, crKey)) << "empty but a region";
            EXPECT_EQ("0,0,9,4;", BuiltRects(builder.pfnBuild, hbm, NO_KEY)) << "the full picture";

            picture.SetPixelV(8, 2, BLACK);
            EXPECT_EQ("8,2,9,3;", BuiltRects(builder.pfnBuild, hbm, crKey)) << "ends at the edge";

            picture.SetPixelV(8, 2, crKey);
            const char* pszLine = "KCKCC";
            for (int x = 0; x < 5; ++x)
                picture.SetPixelV(x + 4, 1, pszLine[x] == 'K' ? crKey : BLACK);
            EXPECT_EQ("5,1,6,2;7,1,9,2;", BuiltRects(builder.pfnBuild, hbm, crKey));
        }
    }
}

TEST(Region, FastBuilderMatchesTheReferenceOnRandomPictures)
{
    const Format formats[] = {
        {"32", 32, BI_RGB, {}, false, false},
        {"32 top-down", 32, BI_RGB, {}, true, false},
        {"32 fields", 32, BI_BITFIELDS, {0x00FF0000, 0x0000FF00, 0x000000FF}, false, false},
        {"24", 24, BI_RGB, {}, false, false},
        {"24 top-down", 24, BI_RGB, {}, true, false},
        {"16 5-6-5", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, false, false},
        {"16 5-5-5", 16, BI_RGB, {}, false, false},
        {"16 top-down", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, true, false},
        {"8", 8, BI_RGB, {}, false, false},
        {"8 three magentas", 8, BI_RGB, {}, false, true},
        {"8 top-down", 8, BI_RGB, {}, true, false},
        {"4", 4, BI_RGB, {}, false, false},
        {"4 top-down", 4, BI_RGB, {}, true, false},
        {"1", 1, BI_RGB, {}, false, false},
    };
    // Widths whose rows need padding at every depth, and the smallest.
    const SIZE sizes[] = {{37, 23}, {5, 3}, {1, 1}, {130, 41}};
    unsigned nSeed = 1;
    for (const Format& format : formats)
    {
        for (const SIZE& size : sizes)
        {
            SCOPED_TRACE(std::string(format.pszName) + " " + std::to_string(size.cx) + "x" +
                         std::to_string(size.cy));
            CDibCanvas picture;
            ASSERT_TRUE(MakePicture(picture, format, size.cx, size.cy));
            FillRandomRuns(picture, format, ++nSeed);
            // A 1-bit picture stores magenta as one of its two colours.
            ExpectSameRegions(picture, MAGENTA);
            ExpectSameRegions(picture, format.nBitCount == 1 ? BLACK : GREEN);
            ExpectSameRegions(picture, NO_KEY);
        }
    }
}

TEST(Region, EveryPixelFilledWithTheKeyIsLeftOut)
{
    // Filled, not written raw: as the balloon fills its picture.
    for (int nBitCount : {4, 8, 16, 24, 32})
    {
        SCOPED_TRACE(nBitCount);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(nBitCount, 21, 7, NO_KEY));
        picture.FillSolidRect(0, 0, 21, 7, GREEN);
        picture.FillSolidRect(3, 1, 11, 4, MAGENTA);
        picture.SetPixelV(20, 6, MAGENTA);
        CRgn region;
        ASSERT_TRUE(region.Attach(RegionFromBitmap(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA)));
        EXPECT_EQ("0,0,21,1;0,1,3,5;14,1,21,5;0,5,21,6;0,6,20,7;", Rects(region));
    }
}

TEST(Region, BitmapsThatAreNotSectionsAreReadTooAndMatchTheReference)
{
    CWindowDC screen(NULL);
    CMemoryDC dc(&screen);
    struct Case
    {
        const char* pszName;
        HBITMAP hbm;
        COLORREF crKey;
    };
    CGdiObject colour(::CreateCompatibleBitmap(screen, 150, 70));
    CGdiObject mono(::CreateBitmap(150, 70, 1, 1, NULL));
    const Case cases[] = {{"screen depth", static_cast<HBITMAP>(colour.m_hObject), MAGENTA},
                          {"one bit", static_cast<HBITMAP>(mono.m_hObject), WHITE}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        ASSERT_NE(nullptr, c.hbm);
        {
            CObjectSelection selection(dc, c.hbm);
            ASSERT_TRUE(selection.IsSelected());
            dc.FillSolidRect(0, 0, 150, 70, c.crKey);
            CRandom random(77);
            for (int i = 0; i < 120; ++i)
                dc.FillSolidRect(static_cast<int>(random.Below(150)), static_cast<int>(random.Below(70)),
                                 1 + static_cast<int>(random.Below(12)), 1 + static_cast<int>(random.Below(3)),
                                 random.Below(2) ? c.crKey : BLACK);
        }
        CRgn fast, reference;
        ASSERT_TRUE(fast.Attach(RegionFromBitmap(c.hbm, c.crKey)));
        ASSERT_TRUE(reference.Attach(RegionFromBitmapReference(c.hbm, c.crKey)));
        EXPECT_EQ(Rects(reference), Rects(fast));
        EXPECT_NE("", Rects(fast));
        EXPECT_EQ(Rects(reference), BuiltRects(RegionFromBitmap, c.hbm, c.crKey));
    }
}

TEST(Region, RectanglesInAnyOrderGiveTheirUnion)
{
    // Many overlapping rectangles in no order: pieces joined pairwise.
    CRandom random(5);
    std::vector<RECT> rects;
    CRgn expected;
    ASSERT_TRUE(expected.CreateRectRgn(0, 0, 0, 0));
    for (int i = 0; i < 700; ++i)
    {
        const int x = static_cast<int>(random.Below(300)), y = static_cast<int>(random.Below(200));
        const RECT rc = {x, y, x + 1 + static_cast<int>(random.Below(40)), y + 1 + static_cast<int>(random.Below(9))};
        rects.push_back(rc);
        CRgn one;
        ASSERT_TRUE(one.CreateRectRgnIndirect(&rc));
        ASSERT_NE(ERROR, expected.CombineRgn(&expected, &one, RGN_OR));
    }
    CRgn built;
    ASSERT_TRUE(built.Attach(RegionFromRects(rects.data(), rects.size())));
    EXPECT_TRUE(built.EqualRgn(&expected));

    CRgn none;
    ASSERT_TRUE(none.Attach(RegionFromRects(nullptr, 0)));
    RECT rc;
    EXPECT_EQ(NULLREGION, none.GetRgnBox(&rc));
}

TEST(Region, RunsOfRepeatedLinesAreOneRectangle)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 10, 6, NO_KEY));
    picture.FillSolidRect(0, 0, 10, 6, MAGENTA);
    picture.FillSolidRect(1, 1, 3, 4, BLACK);
    picture.FillSolidRect(6, 1, 2, 2, BLACK);
    CRectList rects;
    ASSERT_TRUE(CollectBitmapRuns(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA, &rects));
    ASSERT_EQ(3u, rects.size());
    const RECT expected[] = {{1, 1, 4, 3}, {6, 1, 8, 3}, {1, 3, 4, 5}};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(::EqualRect(&expected[i], &rects[i])) << i;

    picture.BeginDraw();
    EXPECT_FALSE(CollectBitmapRuns(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA, &rects));
    EXPECT_TRUE(rects.empty());
    picture.EndDraw();
}

namespace
{
// Bytes the C run-time's heap has committed.
SIZE_T RunTimeHeapCommitted()
{
    const HANDLE hHeap = reinterpret_cast<HANDLE>(_get_heap_handle());
    PROCESS_HEAP_ENTRY entry = {};
    SIZE_T cb = 0;
    ::HeapLock(hHeap);
    while (::HeapWalk(hHeap, &entry))
    {
        if (entry.wFlags & PROCESS_HEAP_REGION)
            cb += entry.Region.dwCommittedSize;
    }
    ::HeapUnlock(hHeap);
    return cb;
}
} // namespace

TEST(Region, ManyRunsLeaveTheRunTimeHeapAsItWas)
{
    // A checkerboard: 150 runs a line, no line like the one above.
    const int cx = 300, cy = 100;
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, cx, cy, NO_KEY));
    DWORD cbImage = 0;
    DWORD* pPixels = static_cast<DWORD*>(picture.GetBits(&cbImage));
    ASSERT_NE(nullptr, pPixels);
    for (int i = 0; i < cx * cy; ++i)
        pPixels[i] = (i % cx + i / cx) % 2 ? 0 : 0xFF00FF;
    const SIZE_T cbBefore = RunTimeHeapCommitted();
    ASSERT_GT(cbBefore, 0u);
    {
        CRectList rects;
        ASSERT_TRUE(CollectBitmapRuns(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA, &rects));
        EXPECT_EQ(15000u, rects.size());
        CRgn region;
        ASSERT_TRUE(region.Attach(RegionFromBitmap(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA)));
    }
    EXPECT_LT(RunTimeHeapCommitted(), cbBefore + 16 * 1024);
}

TEST(Region, RefusedWhileThePictureIsBoundOrMissing)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(32, 8, 8, NO_KEY));
    picture.BeginDraw();
    EXPECT_EQ(nullptr, picture.CreateRegion(MAGENTA)) << "not a region of unreadable pixels";
    EXPECT_EQ(nullptr, RegionFromBitmapReference(static_cast<HBITMAP>(picture.GetSafeHandle()), MAGENTA));
    picture.EndDraw();
    const HRGN hRgn = picture.CreateRegion(MAGENTA);
    EXPECT_NE(nullptr, hRgn);
    ::DeleteObject(hRgn);

    CDibCanvas empty;
    EXPECT_EQ(nullptr, empty.CreateRegion(MAGENTA));
    EXPECT_EQ(nullptr, RegionFromBitmap(NULL, MAGENTA));
    EXPECT_EQ(nullptr, RegionFromBitmap(static_cast<HBITMAP>(::GetStockObject(BLACK_PEN)), MAGENTA));
    EXPECT_EQ(nullptr, RegionFromBitmapReference(NULL, MAGENTA));
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
