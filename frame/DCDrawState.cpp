#include "frame/DC.h"

#include "frame/Bitmap.h"
#include "frame/Brush.h"

namespace
{
HBRUSH BrushOf(CBrush* pBrush)
{
    return pBrush ? static_cast<HBRUSH>(*pBrush) : NULL;
}
} // namespace

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, pBitmap ? static_cast<HBITMAP>(*pBitmap) : NULL, nFlags, BrushOf(pBrush));
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, hIcon, nFlags, BrushOf(pBrush));
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    HBRUSH hBrush)
{
    return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(pszText), static_cast<WPARAM>(nTextLen),
                        pt.x, pt.y, size.cx, size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR pszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    CBrush* pBrush)
{
    return DrawState(pt, size, pszText, nFlags, bPrefixText, nTextLen, BrushOf(pBrush));
}

BOOL CDC::DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateA(m_hDC, hBrush, pfnDraw, lData, 0, pt.x, pt.y, size.cx, size.cy, nFlags);
}

BOOL CDC::DrawState(CPoint pt, CSize size, DRAWSTATEPROC pfnDraw, LPARAM lData, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, pfnDraw, lData, nFlags, BrushOf(pBrush));
}
