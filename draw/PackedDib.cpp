#include "draw/PackedDib.h"

#include "draw/DibHeader.h"
#include "frame/Palette.h"
#include "frame/WindowDC.h"

#include <climits>
#include <cstring>
#include <vector>

namespace
{
// A palette selected into a context for one scope, the previous one put
// back on every path.
class CPaletteSelection
{
public:
    CPaletteSelection(HDC hDC, HPALETTE hPalette)
        : m_hDC(hDC), m_hOld(hDC && hPalette ? ::SelectPalette(hDC, hPalette, FALSE) : NULL)
    {
        if (m_hOld)
            ::RealizePalette(m_hDC);
    }
    ~CPaletteSelection()
    {
        if (m_hOld)
        {
            ::SelectPalette(m_hDC, m_hOld, FALSE);
            ::RealizePalette(m_hDC);
        }
    }
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;

private:
    HDC m_hDC;
    HPALETTE m_hOld;
};

// A global memory block, freed unless released to the caller.
class CGlobalBlock
{
public:
    explicit CGlobalBlock(HGLOBAL h) : m_h(h) {}
    ~CGlobalBlock()
    {
        if (m_h)
            ::GlobalFree(m_h);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;

    HGLOBAL Get() const { return m_h; }
    void Reset(HGLOBAL h) { m_h = h; }
    HGLOBAL Release()
    {
        HGLOBAL h = m_h;
        m_h = NULL;
        return h;
    }

private:
    HGLOBAL m_h;
};

HGLOBAL CopyBlock(HGLOBAL hSource)
{
    const SIZE_T cb = ::GlobalSize(hSource);
    const void* pSource = ::GlobalLock(hSource);
    if (!pSource)
        return NULL;
    const HGLOBAL hCopy = ::GlobalAlloc(GMEM_FIXED, cb);
    if (hCopy)
        std::memcpy(hCopy, pSource, cb);
    ::GlobalUnlock(hSource);
    return hCopy;
}
} // namespace

HGLOBAL BitmapToPackedDib(HANDLE h)
{
    if (!h)
        return NULL;
    if (::GetObjectType(h) != OBJ_BITMAP)
        return ::GlobalSize(h) ? CopyBlock(h) : NULL;

    BITMAP bm = {};
    if (!::GetObjectA(h, sizeof(bm), &bm))
        return NULL;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = bm.bmWidth;
    bih.biHeight = bm.bmHeight;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(bm.bmPlanes * bm.bmBitsPixel);
    bih.biCompression = BI_RGB;
    const DWORD nEntries = bih.biBitCount <= 8 ? 1u << bih.biBitCount : 0;
    const DWORD cbHeader = sizeof(BITMAPINFOHEADER) + nEntries * sizeof(RGBQUAD);

    CWindowDC screen(NULL);
    if (!screen.GetSafeHdc())
        return NULL;
    CPaletteSelection palette(screen.GetSafeHdc(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)));

    // Room for three bit-field masks, which GetDIBits may write for deep
    // bitmaps whatever the compression asked for.
    CGlobalBlock block(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, cbHeader + 3 * sizeof(DWORD)));
    if (!block.Get())
        return NULL;
    BITMAPINFO* pInfo = static_cast<BITMAPINFO*>(block.Get());
    pInfo->bmiHeader = bih;
    if (!::GetDIBits(screen.GetSafeHdc(), static_cast<HBITMAP>(h), 0, bm.bmHeight, NULL, pInfo, DIB_RGB_COLORS))
        return NULL;
    const DWORD cbImage = DibStride(bih.biBitCount, bih.biWidth) * static_cast<DWORD>(bm.bmHeight);

    const HGLOBAL hLarger = ::GlobalReAlloc(block.Get(), cbHeader + cbImage, GMEM_MOVEABLE);
    if (!hLarger)
        return NULL;
    block.Reset(hLarger);
    pInfo = static_cast<BITMAPINFO*>(block.Get());
    // The layout of the block is the one asked for.
    pInfo->bmiHeader.biCompression = BI_RGB;
    pInfo->bmiHeader.biClrUsed = 0;
    pInfo->bmiHeader.biSizeImage = cbImage;
    BYTE* pBits = reinterpret_cast<BYTE*>(pInfo) + cbHeader;
    if (::GetDIBits(screen.GetSafeHdc(), static_cast<HBITMAP>(h), 0, bm.bmHeight, pBits, pInfo,
                    DIB_RGB_COLORS) != bm.bmHeight)
        return NULL;
    return block.Release();
}

HBITMAP PackedDibToBitmap(HANDLE h)
{
    if (!h)
        return NULL;
    if (::GetObjectType(h) == OBJ_BITMAP)
    {
        CGlobalBlock packed(BitmapToPackedDib(h));
        return packed.Get() ? PackedDibToBitmap(packed.Get()) : NULL;
    }
    const SIZE_T cbBlock = ::GlobalSize(h);
    if (cbBlock < sizeof(BITMAPINFOHEADER))
        return NULL;
    const BITMAPINFO* pInfo = static_cast<const BITMAPINFO*>(::GlobalLock(h));
    if (!pInfo)
        return NULL;

    HBITMAP hBitmap = NULL;
    const BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    // The header's size and colour count first, so that the offset of the
    // bits is a small number; and a picture of no pixels is none (the
    // system would make it one pixel).
    const bool bKnown = IsKnownHeaderSize(bih.biSize) && DibTableEntries(bih) <= 256 && bih.biWidth > 0 &&
                        bih.biHeight != 0 && bih.biHeight != INT_MIN;
    const DWORD cbOffset = bKnown ? DibBitsOffset(bih) : MAXDWORD;
    const unsigned long long nRows = bih.biHeight < 0 ? -static_cast<long long>(bih.biHeight) : bih.biHeight;
    const unsigned long long cbImage =
        bih.biCompression == BI_RGB || bih.biCompression == BI_BITFIELDS
            ? DibStride(bih.biBitCount, bih.biWidth) * nRows
            : bih.biSizeImage;
    const int nColors = DibColorCount(bih);
    if (bKnown && cbOffset <= cbBlock && cbImage <= cbBlock - cbOffset)
    {
        CWindowDC screen(NULL);
        CPalette palette;
        if (nColors <= 256 && (screen.GetDeviceCaps(RASTERCAPS) & RC_PALETTE))
        {
            std::vector<BYTE> log(sizeof(LOGPALETTE) + nColors * sizeof(PALETTEENTRY));
            LOGPALETTE* pLog = reinterpret_cast<LOGPALETTE*>(log.data());
            pLog->palVersion = LOGPALETTE_VERSION;
            pLog->palNumEntries = static_cast<WORD>(DibTableEntries(bih));
            const RGBQUAD* pColors = DibColorTable(pInfo);
            for (int i = 0; i < pLog->palNumEntries; ++i)
                pLog->palPalEntry[i] = PALETTEENTRY{pColors[i].rgbRed, pColors[i].rgbGreen, pColors[i].rgbBlue, 0};
            palette.CreatePalette(pLog);
        }
        CPaletteSelection selection(screen.GetSafeHdc(), palette);
        hBitmap = ::CreateDIBitmap(screen.GetSafeHdc(), &bih, CBM_INIT,
                                   reinterpret_cast<const BYTE*>(pInfo) + cbOffset, pInfo, DIB_RGB_COLORS);
    }
    ::GlobalUnlock(h);
    return hBitmap;
}
