// Locked operations: outline text, drawn by COutlineText on the picture's
// context.
#include "draw/DibCanvas.h"

#include "draw/OutlineText.h"

void CDibCanvas::OutlineTextOut(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, int nWeight,
                                COLORREF cr, COLORREF crShadow)
{
    const COutlineText text(pszFace, nHeight, nWeight, COutlineText::PLACE_BASELINE);
    Locked([&](CCanvasDC& dc) { text.Draw(&dc, psz, x, y, cx, cy, cr, crShadow); });
}

void CDibCanvas::OutlineTextOut2(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, COLORREF cr,
                                 COLORREF crShadow)
{
    const COutlineText text(pszFace, nHeight, FW_SEMIBOLD, COutlineText::PLACE_BOTTOM);
    Locked([&](CCanvasDC& dc) { text.Draw(&dc, psz, x, y, cx, cy, cr, crShadow); });
}

void CDibCanvas::OutlineTextOut3(LPCSTR psz, int x, int y, int cx, int cy, LPCSTR pszFace, int nHeight, COLORREF cr,
                                 COLORREF crShadow)
{
    const COutlineText text(pszFace, nHeight, FW_SEMIBOLD, COutlineText::PLACE_BOTTOM_ADVANCES);
    Locked([&](CCanvasDC& dc) { text.Draw(&dc, psz, x, y, cx, cy, cr, crShadow); });
}
