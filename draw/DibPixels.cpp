#include "draw/DibPixels.h"

BOOL CDibPixels::Attach(HBITMAP hBitmap, BOOL bTopDown)
{
    *this = CDibPixels();
    DIBSECTION ds = {};
    if (!hBitmap || ::GetObjectA(hBitmap, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits)
        return FALSE;
    const int nBitCount = ds.dsBm.bmBitsPixel;
    if ((nBitCount != 24 && nBitCount != 32) || ds.dsBmih.biCompression != BI_RGB || ds.dsBm.bmWidth <= 0 ||
        ds.dsBm.bmHeight <= 0)
        return FALSE;
    const std::ptrdiff_t nStride = ds.dsBm.bmWidthBytes;
    BYTE* pFirstRow = static_cast<BYTE*>(ds.dsBm.bmBits);
    m_pTopLine = bTopDown ? pFirstRow : pFirstRow + nStride * (ds.dsBm.bmHeight - 1);
    m_nLineStep = bTopDown ? nStride : -nStride;
    m_nBytes = nBitCount / 8;
    m_cx = ds.dsBm.bmWidth;
    m_cy = ds.dsBm.bmHeight;
    return TRUE;
}
