// Locked operations: pixels, fills, other pictures, icons, DrawState,
// shapes and selections.
#include "draw/DibCanvas.h"

#include "frame/Brush.h"
#include "frame/Font.h"
#include "frame/Pen.h"
#include "frame/Rgn.h"

namespace
{
int OrDefault(int n, int nDefault)
{
    return n ? n : nDefault;
}
} // namespace

COLORREF CDibCanvas::GetPixel(int x, int y)
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.GetPixel(x, y); });
}

COLORREF CDibCanvas::GetPixel(POINT pt)
{
    return GetPixel(pt.x, pt.y);
}

COLORREF CDibCanvas::SetPixel(int x, int y, COLORREF cr)
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.SetPixel(x, y, cr); });
}

COLORREF CDibCanvas::SetPixel(POINT pt, COLORREF cr)
{
    return SetPixel(pt.x, pt.y, cr);
}

BOOL CDibCanvas::SetPixelV(int x, int y, COLORREF cr)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.SetPixelV(x, y, cr); });
}

BOOL CDibCanvas::SetPixelV(POINT pt, COLORREF cr)
{
    return SetPixelV(pt.x, pt.y, cr);
}

void CDibCanvas::FillSolidRect(LPCRECT pRect, COLORREF cr)
{
    Locked([&](CCanvasDC& dc) { dc.FillSolidRect(pRect, cr); });
}

void CDibCanvas::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr)
{
    Locked([&](CCanvasDC& dc) { dc.FillSolidRect(x, y, cx, cy, cr); });
}

// ---- Other pictures and bitmaps ----

void CDibCanvas::DrawBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    Locked([&](CCanvasDC& dc) {
        CDibCanvas image(hbm, NO_KEY);
        image.Draw(&dc, x, y, cx, cy, xs, ys, dwRop);
    });
}

void CDibCanvas::DrawImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    WithSource(pSrc, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        if (CDibCanvas* pFrom = ReadableSource(pSrc, dc, copy))
            pFrom->Draw(&dc, x, y, cx, cy, xs, ys, dwRop);
    });
}

void CDibCanvas::BitBltFrom(CDC* pSrcDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    Locked([&](CCanvasDC& dc) {
        dc.BitBlt(x, y, OrDefault(cx, GetWidth()), OrDefault(cy, GetHeight()), pSrcDC, xs, ys, dwRop);
    });
}

void CDibCanvas::StretchBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys,
                               DWORD dwRop)
{
    Locked([&](CCanvasDC& dc) {
        CDibCanvas image(hbm, NO_KEY);
        image.StretchDraw(&dc, x, y, cx, cy, xs, ys, cxs, cys, dwRop);
    });
}

void CDibCanvas::StretchImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys,
                              DWORD dwRop)
{
    WithSource(pSrc, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        if (CDibCanvas* pFrom = ReadableSource(pSrc, dc, copy))
            pFrom->StretchDraw(&dc, x, y, cx, cy, xs, ys, cxs, cys, dwRop);
    });
}

void CDibCanvas::TileBitmap(HBITMAP hbm, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    Locked([&](CCanvasDC& dc) {
        CDibCanvas image(hbm, NO_KEY);
        image.TileDraw(&dc, x, y, cx, cy, xs, ys, dwRop);
    });
}

void CDibCanvas::TileImage(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    WithSource(pSrc, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        if (CDibCanvas* pFrom = ReadableSource(pSrc, dc, copy))
            pFrom->TileDraw(&dc, x, y, cx, cy, xs, ys, dwRop);
    });
}

// ---- Icons and DrawState ----

BOOL CDibCanvas::DrawIcon(int x, int y, HICON hIcon)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.DrawIcon(x, y, hIcon); });
}

BOOL CDibCanvas::DrawIcon(POINT pt, HICON hIcon)
{
    return DrawIcon(pt.x, pt.y, hIcon);
}

BOOL CDibCanvas::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT nStep, HBRUSH hbrFlicker, UINT nFlags)
{
    return Locked(BOOL(FALSE),
                  [&](CCanvasDC& dc) { return dc.DrawIconEx(x, y, hIcon, cx, cy, nStep, hbrFlicker, nFlags); });
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, pfnDraw, lData, nFlags, pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags, HBRUSH hBrush)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.DrawState(pt, size, pfnDraw, lData, nFlags, hBrush); });
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                           CBrush* pBrush)
{
    return DrawState(pt, size, pszText, nFlags, bPrefixText, nTextLen, pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                           HBRUSH hBrush)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) {
        return dc.DrawState(pt, size, pszText, nFlags, bPrefixText, nTextLen, hBrush);
    });
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, hIcon, nFlags, pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.DrawState(pt, size, hIcon, nFlags, hBrush); });
}

BOOL CDibCanvas::DrawState(CPoint pt, CDibCanvas* pImage, UINT nFlags, CBrush* pBrush)
{
    BOOL bDrawn = FALSE;
    WithSource(pImage, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        if (CDibCanvas* pFrom = ReadableSource(pImage, dc, copy))
            bDrawn = pFrom->DrawStateTo(&dc, pt, nFlags, pBrush);
    });
    return bDrawn;
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, pBitmap ? static_cast<HBITMAP>(*pBitmap) : NULL, nFlags,
                     pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
}

BOOL CDibCanvas::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.DrawState(pt, size, hBitmap, nFlags, hBrush); });
}

// ---- Shapes ----

int CDibCanvas::GetPolyFillMode()
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.GetPolyFillMode(); });
}

int CDibCanvas::SetPolyFillMode(int nMode)
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.SetPolyFillMode(nMode); });
}

BOOL CDibCanvas::Polygon(const POINT* pPoints, int nCount)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Polygon(pPoints, nCount); });
}

BOOL CDibCanvas::Polyline(const POINT* pPoints, int nCount)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Polyline(pPoints, nCount); });
}

BOOL CDibCanvas::PolyPolygon(const POINT* pPoints, const int* pCounts, int nPolygons)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.PolyPolygon(pPoints, pCounts, nPolygons); });
}

BOOL CDibCanvas::Ellipse(LPCRECT pRect)
{
    return Ellipse(pRect->left, pRect->top, pRect->right, pRect->bottom);
}

BOOL CDibCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Ellipse(x1, y1, x2, y2); });
}

BOOL CDibCanvas::Chord(LPCRECT pRect, POINT ptStart, POINT ptEnd)
{
    return Chord(pRect->left, pRect->top, pRect->right, pRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
}

BOOL CDibCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Chord(x1, y1, x2, y2, x3, y3, x4, y4); });
}

BOOL CDibCanvas::Pie(LPCRECT pRect, POINT ptStart, POINT ptEnd)
{
    return Pie(pRect->left, pRect->top, pRect->right, pRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
}

BOOL CDibCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Pie(x1, y1, x2, y2, x3, y3, x4, y4); });
}

BOOL CDibCanvas::Rectangle(LPCRECT pRect)
{
    return Rectangle(pRect->left, pRect->top, pRect->right, pRect->bottom);
}

BOOL CDibCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.Rectangle(x1, y1, x2, y2); });
}

BOOL CDibCanvas::RoundRect(LPCRECT pRect, POINT ptCorner)
{
    return RoundRect(pRect->left, pRect->top, pRect->right, pRect->bottom, ptCorner.x, ptCorner.y);
}

BOOL CDibCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.RoundRect(x1, y1, x2, y2, x3, y3); });
}

// ---- Selections and lines ----

// The previous objects the selectors return outlive the call: the caller
// may keep them.

int CDibCanvas::SelectObject(CRgn* pRgn)
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.SelectObject(pRgn); });
}

CBitmap* CDibCanvas::SelectObject(CBitmap* pBitmap)
{
    return Locked(
        static_cast<CBitmap*>(nullptr), [&](CCanvasDC& dc) { return dc.SelectObject(pBitmap); }, &m_temporaries);
}

CFont* CDibCanvas::SelectObject(CFont* pFont)
{
    return Locked(
        static_cast<CFont*>(nullptr), [&](CCanvasDC& dc) { return dc.SelectObject(pFont); }, &m_temporaries);
}

CBrush* CDibCanvas::SelectObject(CBrush* pBrush)
{
    return Locked(
        static_cast<CBrush*>(nullptr), [&](CCanvasDC& dc) { return dc.SelectObject(pBrush); }, &m_temporaries);
}

CPen* CDibCanvas::SelectObject(CPen* pPen)
{
    return Locked(
        static_cast<CPen*>(nullptr), [&](CCanvasDC& dc) { return dc.SelectObject(pPen); }, &m_temporaries);
}

CPoint CDibCanvas::MoveTo(POINT pt)
{
    return MoveTo(pt.x, pt.y);
}

CPoint CDibCanvas::MoveTo(int x, int y)
{
    return Locked(CPoint(), [&](CCanvasDC& dc) { return dc.MoveTo(x, y); });
}

BOOL CDibCanvas::LineTo(int x, int y)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.LineTo(x, y); });
}

BOOL CDibCanvas::LineTo(POINT pt)
{
    return LineTo(pt.x, pt.y);
}
