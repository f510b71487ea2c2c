#ifndef GLIMWICK_FRAME_DC_H
#define GLIMWICK_FRAME_DC_H

#include "frame/Point.h"
#include "frame/Size.h"
#include "frame/String.h"
#include "frame/TempGdiObjects.h"

#include <windows.h>

class CBitmap;
class CBrush;
class CFont;
class CPalette;
class CPen;
class CRgn;

// A device context. The base class only borrows m_hDC and never releases it;
// the derived classes own theirs and give it back when they are destroyed
// (CPaintDC, CWindowDC, CMemoryDC).
//
// The selectors return the object that was selected before: the wrapper of
// its handle, kept with the context's temporary objects (see
// KeepTemporariesIn) and valid as long as they are. Compare the handles, not
// the pointers, with objects of your own.
class CDC
{
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = NULL;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    // Borrows hDC; FALSE (and nothing taken) for NULL or when one is held.
    BOOL Attach(HDC hDC);
    HDC Detach();

    // Where the wrappers of previous objects are kept: this context's own
    // holder unless another one is given (which must outlive their use).
    CTempGdiObjects* GetTemporaries() const { return m_pTemporaries; }
    void KeepTemporariesIn(CTempGdiObjects* pHolder) { m_pTemporaries = pHolder ? pHolder : &m_temporaries; }

    // Selection. Each returns the previous object, NULL (ERROR for a
    // region) when the selection failed or the argument is NULL.
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    virtual CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    // The region type of the new clipping region, or ERROR.
    int SelectObject(CRgn* pRgn);
    CGdiObject* SelectStockObject(int nIndex);
    CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }

    // 0 on failure.
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    // Attributes: each setter returns the previous value (CLR_INVALID or 0
    // on failure).
    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF cr) { return ::SetBkColor(m_hDC, cr); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetMapMode(int nMode) { return ::SetMapMode(m_hDC, nMode); }
    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    int SetPolyFillMode(int nMode) { return ::SetPolyFillMode(m_hDC, nMode); }
    int GetPolyFillMode() const { return ::GetPolyFillMode(m_hDC); }
    int SetStretchBltMode(int nMode) { return ::SetStretchBltMode(m_hDC, nMode); }
    int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
    CPoint SetBrushOrg(int x, int y);

    // Text.
    BOOL TextOut(int x, int y, LPCSTR psz, int nCount) { return ::TextOutA(m_hDC, x, y, psz, nCount); }
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
    // The height of the text, 0 on failure; nCount -1 for a terminated string.
    int DrawText(LPCSTR psz, int nCount, LPRECT pRect, UINT nFormat)
    {
        return ::DrawTextA(m_hDC, psz, nCount, pRect, nFormat);
    }
    int DrawText(const CString& str, LPRECT pRect, UINT nFormat)
    {
        return DrawText(str, str.GetLength(), pRect, nFormat);
    }

    // Block transfers; a NULL source DC passes a NULL handle.
    BOOL BitBlt(int x, int y, int cx, int cy, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, cx, cy, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc, dwRop);
    }
    BOOL StretchBlt(int x, int y, int cx, int cy, CDC* pSrcDC, int xSrc, int ySrc, int cxSrc, int cySrc,
                    DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, cx, cy, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc, cxSrc, cySrc, dwRop);
    }
    BOOL PatBlt(int x, int y, int cx, int cy, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, cx, cy, dwRop); }

    // Pixels.
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT pt) const { return GetPixel(pt.x, pt.y); }
    COLORREF SetPixel(int x, int y, COLORREF cr) { return ::SetPixel(m_hDC, x, y, cr); }
    COLORREF SetPixel(POINT pt, COLORREF cr) { return SetPixel(pt.x, pt.y, cr); }
    BOOL SetPixelV(int x, int y, COLORREF cr) { return ::SetPixelV(m_hDC, x, y, cr); }
    BOOL SetPixelV(POINT pt, COLORREF cr) { return SetPixelV(pt.x, pt.y, cr); }

    // Fills with a colour; the background colour is left as it was.
    void FillSolidRect(LPCRECT pRect, COLORREF cr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr);
    // Nonzero on success.
    int FillRect(LPCRECT pRect, CBrush* pBrush);

    // Icons.
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    BOOL DrawIcon(POINT pt, HICON hIcon) { return DrawIcon(pt.x, pt.y, hIcon); }
    BOOL DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT nStep, HBRUSH hbrFlicker, UINT nFlags)
    {
        return ::DrawIconEx(m_hDC, x, y, hIcon, cx, cy, nStep, hbrFlicker, nFlags);
    }

    // DrawState: the image type (DST_BITMAP, DST_ICON, DST_TEXT or
    // DST_PREFIXTEXT) is added to nFlags; the callback forms pass nFlags as
    // given. A NULL brush passes no brush.
    BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = NULL);
    BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = NULL);
    BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush);
    BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush = NULL);
    BOOL DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                   HBRUSH hBrush);
    BOOL DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText = TRUE,
                   int nTextLen = 0, CBrush* pBrush = NULL);
    BOOL DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags, HBRUSH hBrush);
    BOOL DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags,
                   CBrush* pBrush = NULL);

    // Lines and shapes, with the selected pen and brush.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT pt) { return MoveTo(pt.x, pt.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT pt) { return LineTo(pt.x, pt.y); }
    BOOL Polygon(const POINT* pPoints, int nCount) { return ::Polygon(m_hDC, pPoints, nCount); }
    BOOL Polyline(const POINT* pPoints, int nCount) { return ::Polyline(m_hDC, pPoints, nCount); }
    BOOL PolyPolygon(const POINT* pPoints, const int* pCounts, int nPolygons)
    {
        return ::PolyPolygon(m_hDC, pPoints, pCounts, nPolygons);
    }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(LPCRECT pRect) { return Ellipse(pRect->left, pRect->top, pRect->right, pRect->bottom); }
    BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
    {
        return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    BOOL Chord(LPCRECT pRect, POINT ptStart, POINT ptEnd)
    {
        return Chord(pRect->left, pRect->top, pRect->right, pRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
    }
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
    {
        return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    BOOL Pie(LPCRECT pRect, POINT ptStart, POINT ptEnd)
    {
        return Pie(pRect->left, pRect->top, pRect->right, pRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
    }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT pRect) { return Rectangle(pRect->left, pRect->top, pRect->right, pRect->bottom); }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
    {
        return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
    }
    BOOL RoundRect(LPCRECT pRect, POINT ptCorner)
    {
        return RoundRect(pRect->left, pRect->top, pRect->right, pRect->bottom, ptCorner.x, ptCorner.y);
    }

protected:
    // Selects hObject (of GetObjectType nType) and returns the wrapper of
    // the object it replaced, NULL when it could not be selected. The
    // wrapper is made first, so an allocation failure changes nothing.
    CGdiObject* SelectTyped(HGDIOBJ hObject, UINT nType);

private:

    CTempGdiObjects m_temporaries;
    CTempGdiObjects* m_pTemporaries = &m_temporaries;
};

#endif
