// The picture's palette and its transparency mask.
#include "draw/DibCanvas.h"

#include "draw/DibHeader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
DWORD ReadRaw(const BYTE* p, int nBytes)
{
    DWORD dw = 0;
    std::memcpy(&dw, p, static_cast<size_t>(nBytes));
    return dw;
}

// The stored form of cr by the layout of the pixels alone: what GDI would
// write, but without asking it.
DWORD ComputedForm(COLORREF cr, int nBytes, const BITMAPINFOHEADER& bih, const BITMAPINFO* pInfo)
{
    const DWORD r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    if (nBytes >= 3)
        return (r << 16) | (g << 8) | b;
    if (bih.biCompression == BI_BITFIELDS)
    {
        // The masks follow the 40-byte part in every header version.
        const DWORD* pMasks = reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(pInfo) +
                                                             sizeof(BITMAPINFOHEADER));
        if (pMasks[1] == RGB565_GREEN_MASK)
            return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    }
    return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
}
} // namespace

void CDibCanvas::BuildPalette()
{
    m_palette.DeleteObject();
    if (m_nColors > 256)
    {
        m_palette.CreateHalftonePalette(nullptr);
        return;
    }
    if (m_nColors < 1 || !m_pInfo)
        return;
    // Only the entries the header really has: a table may be shorter than
    // the depth allows.
    const int nEntries = std::min(m_nColors, DibTableEntries(m_pInfo->bmiHeader));
    if (nEntries < 1)
        return;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + nEntries * sizeof(PALETTEENTRY));
    LOGPALETTE* pLog = reinterpret_cast<LOGPALETTE*>(block.data());
    pLog->palVersion = LOGPALETTE_VERSION;
    pLog->palNumEntries = static_cast<WORD>(nEntries);
    const RGBQUAD* pColors = DibColorTable(m_pInfo);
    for (int i = 0; i < nEntries; ++i)
        pLog->palPalEntry[i] = PALETTEENTRY{pColors[i].rgbRed, pColors[i].rgbGreen, pColors[i].rgbBlue, 0};
    m_palette.CreatePalette(pLog);
}

int CDibCanvas::FillMaskBits(CDibCanvas* pMask)
{
    DWORD cb = 0;
    void* pBits = pMask ? pMask->GetBits(&cb) : nullptr;
    if (pBits && pMask->m_pInfo->bmiHeader.biBitCount == 1)
        std::memset(pBits, 0xFF, cb);
    return -1;
}

void CDibCanvas::ClearMaskBit(CDibCanvas* pMask, int x, int y)
{
    if (!pMask || !pMask->m_pInfo || pMask->m_pInfo->bmiHeader.biBitCount != 1)
        return;
    BYTE* p = pMask->GetPixelAddress(x, y);
    if (p)
        *p &= static_cast<BYTE>(~(0x80 >> (x % 8)));
}

void CDibCanvas::MakeTransparent(COLORREF crKey)
{
    SetTransparentColor(crKey);
}

CBitmap* CDibCanvas::GetMaskBitmap()
{
    return m_mask.m_hObject ? &m_mask : nullptr;
}

void CDibCanvas::SetTransparentColor(COLORREF crKey)
{
    if (!m_pBits || !m_pInfo || !m_hObject)
        return;
    m_mask.DeleteObject();
    if (crKey == NO_KEY)
        return;
    switch (m_pInfo->bmiHeader.biBitCount)
    {
    case 32:
        BuildMask32(crKey);
        break;
    case 24:
        BuildMask24(crKey);
        break;
    case 16:
        BuildMask16(crKey);
        break;
    case 8:
        BuildMask8(crKey);
        break;
    case 4:
        BuildMask4(crKey);
        break;
    default:
        break;
    }
}

void CDibCanvas::BuildMask32(COLORREF crKey)
{
    BuildDirectMask(crKey, 4);
}

void CDibCanvas::BuildMask24(COLORREF crKey)
{
    BuildDirectMask(crKey, 3);
}

void CDibCanvas::BuildMask16(COLORREF crKey)
{
    BuildDirectMask(crKey, 2);
}

void CDibCanvas::BuildMask8(COLORREF crKey)
{
    BuildIndexMask(crKey);
}

void CDibCanvas::BuildMask4(COLORREF crKey)
{
    BuildIndexMask(crKey);
}

// Lets GDI write the key into pixel (0, 0) and reads what it stored; the
// pixel's bytes are put back afterwards.
DWORD CDibCanvas::StoredForm(COLORREF crKey, int nBytes)
{
    BYTE* p = GetPixelAddress(0, 0);
    const DWORD dwComputed = ComputedForm(crKey, nBytes, m_pInfo->bmiHeader, m_pInfo);
    if (!p)
        return dwComputed;
    ::GdiFlush();
    BYTE saved[4];
    std::memcpy(saved, p, static_cast<size_t>(nBytes));

    SetPixel(0, 0, crKey);
    ::GdiFlush();
    const DWORD dwKey = ReadRaw(p, nBytes);
    SetPixel(0, 0, crKey ^ RGB888_COLOR_MASK);
    ::GdiFlush();
    const DWORD dwOther = ReadRaw(p, nBytes);
    std::memcpy(p, saved, static_cast<size_t>(nBytes));
    // Unchanged memory means GDI could not draw here (the bitmap is
    // selected elsewhere): fall back on the layout.
    return dwKey != dwOther ? dwKey : dwComputed;
}

void CDibCanvas::BuildDirectMask(COLORREF crKey, int nBytes)
{
    try
    {
        CDibCanvas mask;
        if (!mask.CreateBlank(1, m_nWidth, m_nHeight, NO_KEY))
            return;
        FillMaskBits(&mask);
        // Only the colour bits count, as they do for the region.
        const DWORD dwMask = DibColorMask(m_pInfo);
        const DWORD dwKey = StoredForm(crKey, nBytes) & dwMask;
        ::GdiFlush();
        for (int y = 0; y < m_nHeight; ++y)
        {
            BYTE* p = GetPixelAddress(0, y);
            for (int x = 0; x < m_nWidth; ++x, p += nBytes)
            {
                if ((ReadRaw(p, nBytes) & dwMask) == dwKey)
                    std::memset(p, 0, static_cast<size_t>(nBytes));
                else
                    ClearMaskBit(&mask, x, y);
            }
        }
        AdoptMask(mask);
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
}

// 8 and 4 bits: the key is the palette index nearest to it, and key pixels
// become the index nearest to black.
void CDibCanvas::BuildIndexMask(COLORREF crKey)
{
    if (!m_palette.m_hObject)
        return;
    try
    {
        CDibCanvas mask;
        if (!mask.CreateBlank(1, m_nWidth, m_nHeight, NO_KEY))
            return;
        FillMaskBits(&mask);
        const BYTE nKey = static_cast<BYTE>(m_palette.GetNearestPaletteIndex(crKey));
        const BYTE nBlack = static_cast<BYTE>(m_palette.GetNearestPaletteIndex(RGB(0, 0, 0)));
        const bool bNibbles = m_pInfo->bmiHeader.biBitCount == 4;
        ::GdiFlush();
        for (int y = 0; y < m_nHeight; ++y)
        {
            BYTE* pRow = GetPixelAddress(0, y);
            for (int x = 0; x < m_nWidth; ++x)
            {
                BYTE& b = pRow[bNibbles ? x / 2 : x];
                // High half byte first.
                const int nShift = bNibbles ? (x % 2 ? 0 : 4) : 0;
                const BYTE nMask = static_cast<BYTE>(bNibbles ? 0x0F << nShift : 0xFF);
                if (((b & nMask) >> nShift) == nKey)
                    b = static_cast<BYTE>((b & ~nMask) | (nBlack << nShift));
                else
                    ClearMaskBit(&mask, x, y);
            }
        }
        AdoptMask(mask);
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
}

void CDibCanvas::AdoptMask(CDibCanvas& mask)
{
    m_mask.DeleteObject();
    m_mask.Attach(mask.Detach());
}
