#include "draw/KeyForm.h"

#include "draw/DibHeader.h"
#include "frame/GdiObject.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"

#include <cstring>

namespace
{
// Stores palette index n as pixel n of a one-line picture.
void PutIndex(BYTE* pBits, int nBitCount, unsigned n)
{
    switch (nBitCount)
    {
    case 8:
        pBits[n] = static_cast<BYTE>(n);
        break;
    case 4:
        pBits[n / 2] = static_cast<BYTE>(n % 2 ? (pBits[n / 2] & 0xF0) | n : (pBits[n / 2] & 0x0F) | (n << 4));
        break;
    default:
        if (n & 1)
            pBits[n / 8] = static_cast<BYTE>(pBits[n / 8] | (0x80 >> (n % 8)));
        break;
    }
}
} // namespace

void CKeyForm::Reset(COLORREF crKey)
{
    m_bHasKey = false;
    m_crReadBack = crKey;
    m_dwStored = 0;
    m_dwColorMask = RGB888_COLOR_MASK;
    std::memset(m_bKeyIndex, 0, sizeof(m_bKeyIndex));
}

BOOL CKeyForm::ProbeSection(const BITMAPINFO* pInfo, COLORREF crKey)
{
    Reset(crKey);
    const int nBitCount = pInfo->bmiHeader.biBitCount;
    const bool bIndexed = nBitCount <= 8;
    if (!bIndexed)
        m_dwColorMask = DibColorMask(pInfo);
    if (IsNoKey(crKey))
        return TRUE;

    BITMAPINFO* pProbeInfo = AllocBitmapInfo();
    if (!pProbeInfo)
        return FALSE;
    std::memcpy(pProbeInfo, pInfo, DIB_HEADER_BLOCK_SIZE);
    // One pixel per index: out-of-table indices read back as the system
    // decides, and are learnt the same way.
    pProbeInfo->bmiHeader.biWidth = bIndexed ? 1 << nBitCount : 1;
    pProbeInfo->bmiHeader.biHeight = 1;
    pProbeInfo->bmiHeader.biSizeImage = 0;
    void* pvBits = nullptr;
    CGdiObject probe(::CreateDIBSection(NULL, pProbeInfo, DIB_RGB_COLORS, &pvBits, NULL, 0));
    FreeBitmapInfo(pProbeInfo);
    if (!probe.m_hObject || !pvBits)
        return FALSE;
    CMemoryDC dc(static_cast<HDC>(NULL));
    CObjectSelection selection(dc.GetSafeHdc(), probe.m_hObject);
    if (!selection.IsSelected())
        return FALSE;

    BYTE* pBits = static_cast<BYTE*>(pvBits);
    dc.SetPixelV(0, 0, crKey);
    ::GdiFlush();
    m_crReadBack = dc.GetPixel(0, 0);
    if (m_crReadBack == CLR_INVALID)
        return FALSE;
    if (!bIndexed)
    {
        DWORD dwRaw = 0;
        std::memcpy(&dwRaw, pBits, static_cast<size_t>(nBitCount / 8));
        m_dwStored = dwRaw & m_dwColorMask;
        m_bHasKey = true;
        return TRUE;
    }
    const unsigned nIndices = 1u << nBitCount;
    std::memset(pBits, 0, DibStride(nBitCount, static_cast<int>(nIndices)));
    for (unsigned n = 0; n < nIndices; ++n)
        PutIndex(pBits, nBitCount, n);
    ::GdiFlush();
    for (unsigned n = 0; n < nIndices; ++n)
    {
        m_bKeyIndex[n] = dc.GetPixel(static_cast<int>(n), 0) == m_crReadBack;
        m_bHasKey = m_bHasKey || m_bKeyIndex[n];
    }
    return TRUE;
}

BOOL CKeyForm::ProbeDeviceBitmap(const BITMAP& bm, COLORREF crKey)
{
    Reset(crKey);
    if (IsNoKey(crKey))
        return TRUE;
    CGdiObject probe(::CreateBitmap(1, 1, bm.bmPlanes, bm.bmBitsPixel, NULL));
    if (!probe.m_hObject)
        return FALSE;
    CMemoryDC dc(static_cast<HDC>(NULL));
    {
        CObjectSelection selection(dc.GetSafeHdc(), probe.m_hObject);
        if (!selection.IsSelected())
            return FALSE;
        dc.SetPixelV(0, 0, crKey);
        m_crReadBack = dc.GetPixel(0, 0);
    }
    if (m_crReadBack == CLR_INVALID)
        return FALSE;
    // GetDIBits wants the bitmap out of every context.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 1;
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    DWORD dwPixel = 0;
    if (::GetDIBits(dc.GetSafeHdc(), static_cast<HBITMAP>(probe.m_hObject), 0, 1, &dwPixel, &bi, DIB_RGB_COLORS) != 1)
        return FALSE;
    m_dwStored = dwPixel & m_dwColorMask;
    m_bHasKey = true;
    return TRUE;
}

BOOL CKeyForm::ProbeBitmap(HBITMAP hbm, COLORREF crKey)
{
    Reset(crKey);
    DIBSECTION ds = {};
    const int cb = ::GetObjectA(hbm, sizeof(ds), &ds);
    if (cb == sizeof(ds) && IsSupportedDepth(ds.dsBm.bmBitsPixel))
    {
        BOOL bTopDown = FALSE;
        BITMAPINFO* pInfo = DescribeBitmap(hbm, &bTopDown);
        if (!pInfo)
            return FALSE;
        const BOOL bProbed = ProbeSection(pInfo, crKey);
        FreeBitmapInfo(pInfo);
        return bProbed;
    }
    return cb >= static_cast<int>(sizeof(BITMAP)) && ProbeDeviceBitmap(ds.dsBm, crKey);
}
