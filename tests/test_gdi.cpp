// Device-context and GDI-object wrappers: what they take they give back.
#include "draw/CanvasDC.h"
#include "frame/Bitmap.h"
#include "frame/Brush.h"
#include "frame/Exception.h"
#include "frame/Font.h"
#include "frame/GdiObject.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"
#include "frame/PaintDC.h"
#include "frame/Palette.h"
#include "frame/Pen.h"
#include "frame/Rgn.h"
#include "frame/SavedDC.h"
#include "frame/WindowDC.h"
#include "frame/Wnd.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

TEST(GdiObject, DeletesWhatItOwnsUnlessDetached)
{
    HGDIOBJ hBrush = NULL;
    {
        CGdiObject brush(::CreateSolidBrush(RGB(1, 2, 3)));
        hBrush = brush.GetSafeHandle();
        ASSERT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(hBrush));
    }
    EXPECT_EQ(0u, ::GetObjectType(hBrush)) << "the brush is deleted with its owner";

    HGDIOBJ hPen = NULL;
    {
        CGdiObject pen;
        EXPECT_TRUE(pen.Attach(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0))));
        EXPECT_FALSE(pen.Attach(::GetStockObject(BLACK_PEN))) << "one object at a time";
        hPen = pen.Detach();
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), ::GetObjectType(hPen)) << "a detached object survives";
    ::DeleteObject(hPen);
}

TEST(ObjectSelection, PreviousObjectComesBack)
{
    HDC hdc = ::CreateCompatibleDC(NULL);
    ASSERT_NE(nullptr, hdc);
    HGDIOBJ hOriginal = ::GetCurrentObject(hdc, OBJ_BRUSH);
    CGdiObject red(::CreateSolidBrush(RGB(255, 0, 0)));
    CGdiObject blue(::CreateSolidBrush(RGB(0, 0, 255)));
    {
        CObjectSelection outer(hdc, red.GetSafeHandle());
        EXPECT_TRUE(outer.IsSelected());
        EXPECT_EQ(red.GetSafeHandle(), ::GetCurrentObject(hdc, OBJ_BRUSH));
        {
            CObjectSelection inner(hdc, blue.GetSafeHandle());
            EXPECT_EQ(blue.GetSafeHandle(), ::GetCurrentObject(hdc, OBJ_BRUSH));
        }
        EXPECT_EQ(red.GetSafeHandle(), ::GetCurrentObject(hdc, OBJ_BRUSH));
    }
    EXPECT_EQ(hOriginal, ::GetCurrentObject(hdc, OBJ_BRUSH));

    // A failed selection changes nothing and restores nothing.
    {
        CObjectSelection none(hdc, NULL);
        EXPECT_FALSE(none.IsSelected());
    }
    EXPECT_EQ(hOriginal, ::GetCurrentObject(hdc, OBJ_BRUSH));
    ::DeleteDC(hdc);
}

TEST(WindowDC, ScreenContextReadsAndIsReleased)
{
    HDC hdc = NULL;
    {
        CWindowDC dc(NULL);
        hdc = dc.GetSafeHdc();
        ASSERT_NE(nullptr, hdc);
        EXPECT_NE(CLR_INVALID, dc.GetPixel(0, 0));
    }
    // Released once already: a second release finds nothing to give back.
    EXPECT_EQ(0, ::ReleaseDC(NULL, hdc));
}

namespace
{
class CPaintProbe : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
        {
            CPaintDC dc(m_hWnd);
            m_bHadDC = dc.GetSafeHdc() != NULL;
            ++m_nPaints;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int m_nPaints = 0;
    bool m_bHadDC = false;
};
} // namespace

TEST(PaintDC, EndsThePaintAndValidates)
{
    CPaintProbe wnd;
    const RECT rc = {0, 0, 100, 80};
    ASSERT_TRUE(wnd.CreateEx(0, NULL, "paint", WS_POPUP | WS_VISIBLE, rc, nullptr, 0));
    ::InvalidateRect(wnd.m_hWnd, NULL, TRUE);
    ::UpdateWindow(wnd.m_hWnd);
    EXPECT_GE(wnd.m_nPaints, 1);
    EXPECT_TRUE(wnd.m_bHadDC);
    RECT rcUpdate;
    EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, &rcUpdate, FALSE)) << "EndPaint validated the window";
    const int nPaints = wnd.m_nPaints;
    PumpMessages(100);
    EXPECT_EQ(nPaints, wnd.m_nPaints) << "no endless WM_PAINT";
}

// ---- Typed GDI objects ----

TEST(GdiObjects, ThrowingConstructorsMakeTheirObject)
{
    CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
    LOGPEN lp = {};
    ASSERT_EQ(static_cast<int>(sizeof lp), pen.GetObject(sizeof lp, &lp));
    EXPECT_EQ(2, lp.lopnWidth.x);
    EXPECT_EQ(RGB(1, 2, 3), lp.lopnColor);

    CBrush brush(RGB(4, 5, 6));
    LOGBRUSH lb = {};
    ASSERT_TRUE(brush.GetObject(sizeof lb, &lb));
    EXPECT_EQ(RGB(4, 5, 6), lb.lbColor);
    EXPECT_FALSE(brush.CreateSolidBrush(RGB(0, 0, 0))) << "one brush per object";
}

TEST(GdiObjects, PointFontIsMeasuredInTenthsOfAPointAgainstTheScreen)
{
    CWindowDC screen(NULL);
    const int nDpi = screen.GetDeviceCaps(LOGPIXELSY);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(140, "Arial"));
    LOGFONTA lf = {};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_EQ(-::MulDiv(nDpi, 140, 720), lf.lfHeight) << "14 points as a character height";
    EXPECT_STREQ("Arial", lf.lfFaceName);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);

    // The indirect form keeps the other fields; the height's sign does not
    // matter.
    LOGFONTA lfIn = {};
    lfIn.lfHeight = -90;
    lfIn.lfUnderline = 1;
    lfIn.lfWeight = FW_BOLD;
    CFont underlined;
    ASSERT_TRUE(underlined.CreatePointFontIndirect(&lfIn));
    LOGFONTA lfOut = {};
    underlined.GetLogFont(&lfOut);
    EXPECT_EQ(-::MulDiv(nDpi, 90, 720), lfOut.lfHeight);
    EXPECT_EQ(1, lfOut.lfUnderline);
    EXPECT_EQ(FW_BOLD, lfOut.lfWeight);
}

TEST(GdiObjects, RegionAndPaletteHelpers)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(5, 0, 20, 10));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(SIMPLEREGION, both.CombineRgn(&a, &b, RGN_OR));
    RECT rc;
    both.GetRgnBox(&rc);
    EXPECT_EQ(20, rc.right);
    EXPECT_TRUE(both.PtInRegion(15, 5));
    EXPECT_FALSE(both.PtInRegion(25, 5));

    CPalette halftone;
    ASSERT_TRUE(halftone.CreateHalftonePalette(nullptr));
    EXPECT_GT(halftone.GetEntryCount(), 16);
}

// ---- Device contexts ----

TEST(DC, SelectorsGiveThePreviousObjectBack)
{
    CMemoryDC dc(static_cast<CDC*>(nullptr));
    ASSERT_NE(nullptr, dc.GetSafeHdc());
    const HGDIOBJ hDefaultPen = ::GetCurrentObject(dc, OBJ_PEN);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));

    CPen* pDefault = dc.SelectObject(&red);
    ASSERT_NE(nullptr, pDefault);
    EXPECT_EQ(hDefaultPen, pDefault->GetSafeHandle());
    CPen* pRed = dc.SelectObject(&blue);
    ASSERT_NE(nullptr, pRed);
    EXPECT_EQ(red.GetSafeHandle(), pRed->GetSafeHandle());
    CPen* pBlue = dc.SelectObject(pDefault);
    ASSERT_NE(nullptr, pBlue);
    EXPECT_EQ(blue.GetSafeHandle(), pBlue->GetSafeHandle());
    EXPECT_EQ(hDefaultPen, ::GetCurrentObject(dc, OBJ_PEN)) << "the previous object really came back";
    EXPECT_EQ(pDefault, dc.SelectObject(&red)) << "one wrapper per handle";
    dc.SelectObject(pDefault);
    EXPECT_EQ(nullptr, dc.SelectObject(static_cast<CPen*>(nullptr)));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Arial"));
    CFont* pOldFont = dc.SelectObject(&font);
    ASSERT_NE(nullptr, pOldFont);
    LOGFONTA lf;
    EXPECT_TRUE(pOldFont->GetLogFont(&lf)) << "the wrapper is a working CFont";
    dc.SelectObject(pOldFont);
}

TEST(DC, WrappersOfPreviousObjectsNeverDeleteThem)
{
    CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
    CTempGdiObjects holder;
    {
        CMemoryDC dc(static_cast<CDC*>(nullptr));
        dc.KeepTemporariesIn(&holder);
        ::SelectObject(dc, pen);
        CPen other(PS_SOLID, 1, RGB(2, 2, 2));
        CPen* pPrevious = dc.SelectObject(&other);
        ASSERT_NE(nullptr, pPrevious);
        EXPECT_EQ(pen.GetSafeHandle(), pPrevious->GetSafeHandle());
        EXPECT_EQ(1, holder.GetCount()) << "kept in the holder given";
        ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), ::GetObjectType(pen.GetSafeHandle()))
        << "the context and its wrappers went, the pen stays";
}

TEST(DC, MemoryContextIsDeletedAndStateRestored)
{
    HDC hdc = NULL;
    {
        CMemoryDC dc(static_cast<CDC*>(nullptr));
        hdc = dc.GetSafeHdc();
        ASSERT_NE(nullptr, hdc);
        dc.SetBkColor(RGB(1, 2, 3));
        {
            CSavedDC saved(hdc);
            EXPECT_TRUE(saved.IsSaved());
            dc.SetBkColor(RGB(9, 9, 9));
            dc.SetTextColor(RGB(8, 8, 8));
        }
        EXPECT_EQ(RGB(1, 2, 3), dc.GetBkColor());
    }
    EXPECT_EQ(0u, ::GetObjectType(hdc)) << "deleted with its object";

    CDC borrowed;
    EXPECT_FALSE(borrowed.Attach(NULL));
    CWindowDC screen(NULL);
    EXPECT_TRUE(borrowed.Attach(screen));
    EXPECT_FALSE(borrowed.Attach(screen)) << "one at a time";
    EXPECT_EQ(screen.GetSafeHdc(), borrowed.Detach());
}

TEST(DC, FillSolidRectLeavesTheBackgroundColour)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(8, 8, 1, 32, nullptr));
    CMemoryDC dc(static_cast<CDC*>(nullptr));
    CObjectSelection selection(dc, bitmap);
    dc.SetBkColor(RGB(10, 20, 30));
    dc.FillSolidRect(2, 2, 3, 3, RGB(200, 0, 0));
    EXPECT_EQ(RGB(200, 0, 0), dc.GetPixel(2, 2));
    EXPECT_EQ(RGB(200, 0, 0), dc.GetPixel(4, 4));
    EXPECT_NE(RGB(200, 0, 0), dc.GetPixel(5, 5));
    EXPECT_EQ(RGB(10, 20, 30), dc.GetBkColor());
}

// ---- The drawing library's context ----

TEST(CanvasDC, RemembersTheObjectFromBeforeItsFirstSelection)
{
    CMemoryDC source(static_cast<CDC*>(nullptr));
    const HGDIOBJ hOriginal = ::GetCurrentObject(source, OBJ_BRUSH);
    CBrush red(RGB(255, 0, 0));
    CBrush green(RGB(0, 255, 0));
    {
        CCanvasDC dc;
        dc.Borrow(&source);
        EXPECT_EQ(nullptr, source.GetSafeHdc()) << "the handle is lent";
        CBrush* pFirst = dc.SelectObject(&red);
        ASSERT_NE(nullptr, pFirst);
        EXPECT_EQ(hOriginal, pFirst->GetSafeHandle());
        EXPECT_EQ(pFirst, dc.SelectObject(&green)) << "each call returns the first one";
        EXPECT_EQ(green.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BRUSH));
        dc.SelectObject(pFirst);
        EXPECT_EQ(hOriginal, ::GetCurrentObject(dc, OBJ_BRUSH));
        dc.SelectObject(&red);
    }
    ASSERT_NE(nullptr, source.GetSafeHdc()) << "the handle came back";
    EXPECT_EQ(red.GetSafeHandle(), ::GetCurrentObject(source, OBJ_BRUSH))
        << "a borrowed context leaves its selections for the next operation";
    ::SelectObject(source, hOriginal);
}

TEST(CanvasDC, OwnContextPutsItsSelectionsBack)
{
    CBitmap picture, other;
    ASSERT_TRUE(picture.CreateBitmap(4, 4, 1, 32, nullptr));
    ASSERT_TRUE(other.CreateBitmap(4, 4, 1, 32, nullptr));
    CMemoryDC elsewhere(static_cast<CDC*>(nullptr));
    {
        CCanvasDC dc;
        ASSERT_TRUE(dc.CreateFor(picture));
        EXPECT_TRUE(dc.IsOwnDC());
        ASSERT_NE(nullptr, dc.GetOldBitmap());
        EXPECT_EQ(picture.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BITMAP));
        {
            CObjectSelection busy(elsewhere, picture);
            EXPECT_FALSE(busy.IsSelected()) << "a bitmap lives in one context at a time";
        }
        CBitmap* pFirst = dc.SelectObject(&other);
        EXPECT_EQ(dc.GetOldBitmap(), pFirst) << "the bitmap from before the picture's";
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
    }
    CObjectSelection free1(elsewhere, picture);
    EXPECT_TRUE(free1.IsSelected()) << "the picture's bitmap was given back";
    CMemoryDC elsewhere2(static_cast<CDC*>(nullptr));
    CObjectSelection free2(elsewhere2, other);
    EXPECT_TRUE(free2.IsSelected()) << "so was the other one";
}
