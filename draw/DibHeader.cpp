#include "draw/DibHeader.h"

#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"
#include "frame/WindowDC.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
const RGBQUAD kColors16[16] = {
    {0, 0, 0, 0},     {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},   {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0}, {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},   {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};

RGBQUAD Rgb(BYTE r, BYTE g, BYTE b)
{
    return RGBQUAD{b, g, r, 0};
}

// The system's arrangement: ten static colours at each end, a 6x6x6 colour
// cube and a grey ramp between them.
void FillStandardColors256(RGBQUAD* pColors)
{
    const RGBQUAD first[10] = {Rgb(0, 0, 0),     Rgb(128, 0, 0),     Rgb(0, 128, 0),    Rgb(128, 128, 0),
                               Rgb(0, 0, 128),   Rgb(128, 0, 128),   Rgb(0, 128, 128),  Rgb(192, 192, 192),
                               Rgb(192, 220, 192), Rgb(166, 202, 240)};
    const RGBQUAD last[10] = {Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128), Rgb(255, 0, 0),
                              Rgb(0, 255, 0),     Rgb(255, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 0, 255),
                              Rgb(0, 255, 255),   Rgb(255, 255, 255)};
    std::memcpy(pColors, first, sizeof(first));
    int i = 10;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pColors[i++] = Rgb(static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51));
    // Greys that the cube and the static colours do not have.
    for (int k = 0; k < 20; ++k)
    {
        const BYTE v = static_cast<BYTE>(11 + 12 * k);
        pColors[i++] = Rgb(v, v, v);
    }
    std::memcpy(pColors + 246, last, sizeof(last));
}
} // namespace

BITMAPINFO* AllocBitmapInfo()
{
    return static_cast<BITMAPINFO*>(std::calloc(1, DIB_HEADER_BLOCK_SIZE));
}

void FreeBitmapInfo(BITMAPINFO* pInfo)
{
    std::free(pInfo);
}

int ColorCountOfDepth(int nBitCount)
{
    if (nBitCount < 0)
        return 0;
    return nBitCount >= 31 ? INT_MAX : 1 << nBitCount;
}

int DibColorCount(const BITMAPINFOHEADER& bih)
{
    return bih.biClrUsed ? static_cast<int>(bih.biClrUsed > INT_MAX ? INT_MAX : bih.biClrUsed)
                         : ColorCountOfDepth(bih.biBitCount);
}

int DibTableEntries(const BITMAPINFOHEADER& bih)
{
    if (bih.biBitCount <= 8)
        return DibColorCount(bih);
    return static_cast<int>(bih.biClrUsed > INT_MAX ? INT_MAX : bih.biClrUsed);
}

RGBQUAD* DibColorTable(BITMAPINFO* pInfo)
{
    const BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    const DWORD cbOffset = DibBitsOffset(bih) - static_cast<DWORD>(DibTableEntries(bih)) * sizeof(RGBQUAD);
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(pInfo) + cbOffset);
}

const RGBQUAD* DibColorTable(const BITMAPINFO* pInfo)
{
    return DibColorTable(const_cast<BITMAPINFO*>(pInfo));
}

DWORD DibStride(int nBitCount, int nWidth)
{
    const unsigned long long bits = static_cast<unsigned long long>(nBitCount) * static_cast<unsigned>(nWidth);
    const unsigned long long bytes = (bits + 31) / 32 * 4;
    return bytes > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes);
}

DWORD DibColorMask(const BITMAPINFO* pInfo)
{
    const BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    if (bih.biCompression == BI_BITFIELDS)
    {
        // The masks follow the 40-byte part in every header version.
        DWORD masks[3];
        std::memcpy(masks, pInfo->bmiColors, sizeof(masks));
        const DWORD dwMask = masks[0] | masks[1] | masks[2];
        return bih.biBitCount == 16 ? dwMask & 0xFFFF : dwMask;
    }
    return bih.biBitCount == 16 ? RGB555_COLOR_MASK : RGB888_COLOR_MASK;
}

bool IsKnownHeaderSize(DWORD biSize)
{
    switch (biSize)
    {
    case sizeof(BITMAPINFOHEADER):
    case 52:
    case 56:
    case sizeof(BITMAPV4HEADER):
    case sizeof(BITMAPV5HEADER):
        return true;
    default:
        return false;
    }
}

DWORD DibBitsOffset(const BITMAPINFOHEADER& bih)
{
    DWORD cb = bih.biSize;
    // Version 4 and 5 headers hold the masks themselves.
    if (bih.biCompression == BI_BITFIELDS && bih.biSize == sizeof(BITMAPINFOHEADER))
        cb += 3 * sizeof(DWORD);
    return cb + static_cast<DWORD>(DibTableEntries(bih)) * sizeof(RGBQUAD);
}

bool IsSupportedDepth(int nBitCount)
{
    switch (nBitCount)
    {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

BITMAPINFO* BuildBitmapInfo(int nBitCount, int cx, int cy)
{
    if (nBitCount == 0)
    {
        CWindowDC screen(NULL);
        nBitCount = screen.GetDeviceCaps(BITSPIXEL);
    }
    if (!IsSupportedDepth(nBitCount))
        return NULL;
    BITMAPINFO* pInfo = AllocBitmapInfo();
    if (!pInfo)
        return NULL;

    BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = cx;
    bih.biHeight = cy;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(nBitCount);
    bih.biCompression = BI_RGB;
    bih.biClrUsed = nBitCount <= 8 ? 1u << nBitCount : 0;

    switch (nBitCount)
    {
    case 1:
        pInfo->bmiColors[0] = Rgb(0, 0, 0);
        pInfo->bmiColors[1] = Rgb(255, 255, 255);
        break;
    case 4:
        std::memcpy(pInfo->bmiColors, kColors16, sizeof(kColors16));
        break;
    case 8:
        FillStandardColors256(pInfo->bmiColors);
        break;
    case 16:
    {
        bih.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {RGB565_RED_MASK, RGB565_GREEN_MASK, RGB565_BLUE_MASK};
        std::memcpy(pInfo->bmiColors, masks, sizeof(masks));
        break;
    }
    default:
        break;
    }
    return pInfo;
}

BITMAPINFO* CopyBitmapInfo(const BITMAPINFO* pPacked, DWORD cbAvailable)
{
    if (!pPacked || cbAvailable < sizeof(BITMAPINFOHEADER))
        return NULL;
    const BITMAPINFOHEADER& src = pPacked->bmiHeader;
    if (!IsKnownHeaderSize(src.biSize))
        return NULL;
    const int nEntries = DibTableEntries(src);
    if (nEntries > 256 || (src.biBitCount <= 8 && nEntries > ColorCountOfDepth(src.biBitCount)))
        return NULL;
    if (DibBitsOffset(src) > cbAvailable)
        return NULL;

    BITMAPINFO* pInfo = AllocBitmapInfo();
    if (!pInfo)
        return NULL;
    const BYTE* p = reinterpret_cast<const BYTE*>(pPacked);
    std::memcpy(&pInfo->bmiHeader, &src, sizeof(BITMAPINFOHEADER));
    pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    if (src.biCompression == BI_BITFIELDS)
        std::memcpy(pInfo->bmiColors, p + sizeof(BITMAPINFOHEADER), 3 * sizeof(DWORD));
    std::memcpy(DibColorTable(pInfo), DibColorTable(pPacked), static_cast<size_t>(nEntries) * sizeof(RGBQUAD));
    return pInfo;
}

namespace
{
// Some systems report a top-down section's height as positive: then ask
// the pixels which row GDI writes for line 0. The bytes of both candidate
// rows are put back.
BOOL IsTopDownSection(HBITMAP hBitmap, const DIBSECTION& ds)
{
    if (ds.dsBmih.biHeight < 0)
        return TRUE;
    if (ds.dsBm.bmHeight < 2 || !ds.dsBm.bmBits)
        return FALSE;
    CMemoryDC dc(static_cast<HDC>(NULL));
    CObjectSelection selection(dc.GetSafeHdc(), hBitmap);
    if (!selection.IsSelected())
        return FALSE;
    BYTE* pFirstRow = static_cast<BYTE*>(ds.dsBm.bmBits);
    BYTE* pLastRow = pFirstRow + static_cast<size_t>(ds.dsBm.bmWidthBytes) * (ds.dsBm.bmHeight - 1);
    const size_t nBytes = ds.dsBm.bmBitsPixel < 8 ? 1 : ds.dsBm.bmBitsPixel / 8;
    BYTE savedFirst[4], savedLast[4], black[4], white[4];
    ::GdiFlush();
    std::memcpy(savedFirst, pFirstRow, nBytes);
    std::memcpy(savedLast, pLastRow, nBytes);
    dc.SetPixelV(0, 0, RGB(0, 0, 0));
    ::GdiFlush();
    std::memcpy(black, pFirstRow, nBytes);
    dc.SetPixelV(0, 0, RGB(255, 255, 255));
    ::GdiFlush();
    std::memcpy(white, pFirstRow, nBytes);
    std::memcpy(pFirstRow, savedFirst, nBytes);
    std::memcpy(pLastRow, savedLast, nBytes);
    return std::memcmp(black, white, nBytes) != 0;
}
} // namespace

BITMAPINFO* DescribeBitmap(HBITMAP hBitmap, BOOL* pbTopDown)
{
    *pbTopDown = FALSE;
    DIBSECTION ds = {};
    const int cb = ::GetObjectA(hBitmap, sizeof(ds), &ds);
    if (cb < static_cast<int>(sizeof(BITMAP)) || ::GetObjectType(hBitmap) != OBJ_BITMAP)
        return NULL;
    BITMAPINFO* pInfo = BuildBitmapInfo(ds.dsBm.bmBitsPixel ? ds.dsBm.bmBitsPixel : -1, ds.dsBm.bmWidth,
                                        ds.dsBm.bmHeight);
    if (!pInfo || cb != sizeof(DIBSECTION))
        return pInfo;

    BITMAPINFOHEADER& bih = pInfo->bmiHeader;
    *pbTopDown = IsTopDownSection(hBitmap, ds);
    bih.biCompression = ds.dsBmih.biCompression;
    if (bih.biCompression == BI_BITFIELDS)
        std::memcpy(pInfo->bmiColors, ds.dsBitfields, sizeof(ds.dsBitfields));
    if (bih.biBitCount <= 8)
    {
        CMemoryDC dc(static_cast<HDC>(NULL));
        CObjectSelection selection(dc.GetSafeHdc(), hBitmap);
        RGBQUAD colors[256];
        const UINT nColors = selection.IsSelected() ? ::GetDIBColorTable(dc.GetSafeHdc(), 0, 256, colors) : 0;
        // A section that cannot be read keeps the standard colours.
        if (nColors)
        {
            bih.biClrUsed = nColors;
            std::memcpy(DibColorTable(pInfo), colors, nColors * sizeof(RGBQUAD));
        }
    }
    return pInfo;
}
