// Device-context and GDI-object wrappers: what they take they give back.
#include "frame/GdiObject.h"
#include "frame/ObjectSelection.h"
#include "frame/PaintDC.h"
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
    CWindowDC dc(NULL);
    ASSERT_NE(nullptr, dc.GetSafeHdc());
    EXPECT_NE(CLR_INVALID, dc.GetPixel(0, 0));
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
