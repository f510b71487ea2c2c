// The region builder: runs of non-key pixels read straight from the bits,
// one region made from all of them.
#include "draw/Region.h"

#include "draw/DibHeader.h"
#include "draw/KeyForm.h"
#include "frame/GdiObject.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"

#include <cstring>
#include <new>

namespace
{
// Rectangles per ExtCreateRegion: small enough that a system which adds
// them one union at a time stays fast.
const size_t PIECE_RECTS = 32;
// Lines per GetDIBits call for bitmaps that are not DIB sections.
const int BAND_LINES = 64;
// Rectangles in the first block of a run list: as many as fill the 64 KB of
// address space the system sets aside for any block, of which only the
// pages written are touched. A reminder's runs fit; only very long messages
// make the list grow.
const size_t FIRST_RECTS = 0x10000 / sizeof(RECT);

// Gathers the runs line by line; a line whose runs repeat the line above
// makes those rectangles taller instead.
class CRunCollector
{
public:
    explicit CRunCollector(CRectList& rects) : m_rects(rects) {}

    void Add(int xStart, int xEnd) { m_rects.push_back(RECT{xStart, m_y, xEnd, m_y + 1}); }
    void AddLine(int cx)
    {
        if (cx > 0)
            Add(0, cx);
        EndLine();
    }
    void EndLine()
    {
        const size_t nLine = m_rects.size() - m_nLineStart;
        if (nLine > 0 && nLine == m_nLineStart - m_nAboveStart && RepeatsAbove(nLine))
        {
            for (size_t i = m_nAboveStart; i < m_nLineStart; ++i)
                m_rects[i].bottom = m_y + 1;
            m_rects.resize(m_nLineStart);
        }
        else
        {
            m_nAboveStart = m_nLineStart;
            m_nLineStart = m_rects.size();
        }
        ++m_y;
    }

private:
    bool RepeatsAbove(size_t nLine) const
    {
        for (size_t i = 0; i < nLine; ++i)
        {
            const RECT& above = m_rects[m_nAboveStart + i];
            const RECT& line = m_rects[m_nLineStart + i];
            if (above.left != line.left || above.right != line.right)
                return false;
        }
        return true;
    }

    CRectList& m_rects;
    int m_y = 0;
    size_t m_nAboveStart = 0;
    size_t m_nLineStart = 0;
};

// The runs of pixels of one line for which isKey(x) is false; skipKeys(x)
// may pass over several key pixels at once, returning where it stopped.
template <typename IsKey, typename SkipKeys>
void ScanLine(int cx, IsKey isKey, SkipKeys skipKeys, CRunCollector& runs)
{
    int x = 0;
    while (x < cx)
    {
        x = skipKeys(x);
        while (x < cx && isKey(x))
            ++x;
        const int xStart = x;
        while (x < cx && !isKey(x))
            ++x;
        if (x > xStart)
            runs.Add(xStart, x);
    }
    runs.EndLine();
}

template <typename IsKey>
void ScanLine(int cx, IsKey isKey, CRunCollector& runs)
{
    ScanLine(cx, isKey, [](int x) { return x; }, runs);
}

DWORD Load32(const BYTE* p)
{
    DWORD dw;
    std::memcpy(&dw, p, sizeof(dw));
    return dw;
}

ULONGLONG Load64(const BYTE* p)
{
    ULONGLONG qw;
    std::memcpy(&qw, p, sizeof(qw));
    return qw;
}

// One line of a picture of the given depth, with the key in its form.
void ScanPixels(const BYTE* p, int cx, int nBitCount, const CKeyForm& key, const bool* pKeyIndex,
                CRunCollector& runs)
{
    if (!key.HasKey())
    {
        runs.AddLine(cx);
        return;
    }
    const DWORD dwMask = key.GetColorMask(), dwKey = key.GetStored();
    switch (nBitCount)
    {
    case 32:
    {
        // The key usually fills most of the picture: two pixels a step.
        const ULONGLONG qwMask = static_cast<ULONGLONG>(dwMask) << 32 | dwMask;
        const ULONGLONG qwKey = static_cast<ULONGLONG>(dwKey) << 32 | dwKey;
        ScanLine(
            cx, [&](int x) { return (Load32(p + 4 * x) & dwMask) == dwKey; },
            [&](int x) {
                while (x + 2 <= cx && (Load64(p + 4 * x) & qwMask) == qwKey)
                    x += 2;
                return x;
            },
            runs);
        break;
    }
    case 24:
        ScanLine(
            cx,
            [&](int x) {
                const BYTE* q = p + 3 * x;
                return ((q[0] | q[1] << 8 | static_cast<DWORD>(q[2]) << 16) & dwMask) == dwKey;
            },
            runs);
        break;
    case 16:
        ScanLine(cx, [&](int x) { return ((p[2 * x] | p[2 * x + 1] << 8) & dwMask) == dwKey; }, runs);
        break;
    case 8:
        ScanLine(cx, [&](int x) { return pKeyIndex[p[x]]; }, runs);
        break;
    case 4:
        ScanLine(cx, [&](int x) { return pKeyIndex[(p[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F]; }, runs);
        break;
    default:
        ScanLine(cx, [&](int x) { return pKeyIndex[(p[x / 8] >> (7 - x % 8)) & 1]; }, runs);
        break;
    }
}

BOOL ScanSection(HBITMAP hbm, const DIBSECTION& ds, COLORREF crKey, CRunCollector& runs)
{
    BOOL bTopDown = FALSE;
    BITMAPINFO* pInfo = DescribeBitmap(hbm, &bTopDown);
    if (!pInfo)
        return FALSE;
    CKeyForm key;
    const BOOL bProbed = key.ProbeSection(pInfo, crKey);
    FreeBitmapInfo(pInfo);
    if (!bProbed)
        return FALSE;
    bool keyIndex[256];
    for (unsigned n = 0; n < 256; ++n)
        keyIndex[n] = key.IsKeyIndex(n);

    const int cx = ds.dsBm.bmWidth, cy = ds.dsBm.bmHeight, nBitCount = ds.dsBm.bmBitsPixel;
    const size_t nStride = DibStride(nBitCount, cx);
    const BYTE* pBits = static_cast<const BYTE*>(ds.dsBm.bmBits);
    ::GdiFlush();
    for (int y = 0; y < cy; ++y)
    {
        const size_t nRow = static_cast<size_t>(bTopDown ? y : cy - 1 - y);
        ScanPixels(pBits + nRow * nStride, cx, nBitCount, key, keyIndex, runs);
    }
    return TRUE;
}

// Bitmaps whose bits are not at hand: read as 32-bit pixels, a band of
// lines at a time.
BOOL ScanThroughDIBits(HBITMAP hbm, const BITMAP& bm, COLORREF crKey, CRunCollector& runs)
{
    CKeyForm key;
    if (!key.ProbeDeviceBitmap(bm, crKey))
        return FALSE;
    const int cx = bm.bmWidth, cy = bm.bmHeight;
    const int nBand = cy < BAND_LINES ? cy : BAND_LINES;
    std::vector<BYTE, CPageAllocator<BYTE>> band(static_cast<size_t>(cx) * 4 * static_cast<size_t>(nBand));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    CMemoryDC dc(static_cast<HDC>(NULL));
    for (int y0 = 0; y0 < cy; y0 += nBand)
    {
        const int nLines = cy - y0 < nBand ? cy - y0 : nBand;
        // Scan lines count from the bottom: the band's last line comes first.
        const UINT nStart = static_cast<UINT>(cy - y0 - nLines);
        if (::GetDIBits(dc.GetSafeHdc(), hbm, nStart, static_cast<UINT>(nLines), band.data(), &bi, DIB_RGB_COLORS) !=
            nLines)
            return FALSE;
        for (int y = y0; y < y0 + nLines; ++y)
        {
            const size_t nRow = static_cast<size_t>(y0 + nLines - 1 - y);
            ScanPixels(band.data() + nRow * 4 * static_cast<size_t>(cx), cx, 32, key, nullptr, runs);
        }
    }
    return TRUE;
}

// The builders refuse a bitmap selected into some context: its pixels may
// be changing.
bool IsSelectable(HBITMAP hbm)
{
    CMemoryDC dc(static_cast<HDC>(NULL));
    CObjectSelection selection(dc.GetSafeHdc(), hbm);
    return selection.IsSelected() != FALSE;
}

HRGN PieceRegion(const RECT* pRects, size_t nRects)
{
    if (nRects == 0)
        return ::CreateRectRgn(0, 0, 0, 0);
    struct
    {
        RGNDATAHEADER rdh;
        RECT rects[PIECE_RECTS];
    } data;
    data.rdh.dwSize = sizeof(RGNDATAHEADER);
    data.rdh.iType = RDH_RECTANGLES;
    data.rdh.nCount = static_cast<DWORD>(nRects);
    data.rdh.nRgnSize = static_cast<DWORD>(nRects * sizeof(RECT));
    data.rdh.rcBound = pRects[0];
    for (size_t i = 0; i < nRects; ++i)
    {
        data.rects[i] = pRects[i];
        ::UnionRect(&data.rdh.rcBound, &data.rdh.rcBound, &pRects[i]);
    }
    return ::ExtCreateRegion(NULL, static_cast<DWORD>(sizeof(RGNDATAHEADER) + nRects * sizeof(RECT)),
                             reinterpret_cast<const RGNDATA*>(&data));
}
} // namespace

BOOL CollectBitmapRuns(HBITMAP hbm, COLORREF crKey, CRectList* pRects)
{
    pRects->clear();
    BITMAP bm = {};
    if (!hbm || ::GetObjectType(hbm) != OBJ_BITMAP || !::GetObjectA(hbm, sizeof(bm), &bm) || !IsSelectable(hbm))
        return FALSE;
    DIBSECTION ds = {};
    const bool bSection = ::GetObjectA(hbm, sizeof(ds), &ds) == sizeof(ds) && ds.dsBm.bmBits &&
                          IsSupportedDepth(ds.dsBm.bmBitsPixel);
    BOOL bDone = FALSE;
    try
    {
        pRects->reserve(FIRST_RECTS);
        CRunCollector runs(*pRects);
        bDone = bSection ? ScanSection(hbm, ds, crKey, runs) : ScanThroughDIBits(hbm, bm, crKey, runs);
    }
    catch (const std::bad_alloc&)
    {
        bDone = FALSE;
    }
    if (!bDone)
        pRects->clear();
    return bDone;
}

HRGN RegionFromRects(const RECT* pRects, size_t nRects)
{
    if (nRects <= PIECE_RECTS)
        return PieceRegion(pRects, nRects);
    // Halves joined: each union costs what both halves hold, so the whole
    // grows as n log n.
    const size_t nHalf = nRects / 2;
    CGdiObject first(RegionFromRects(pRects, nHalf));
    if (!first.m_hObject)
        return NULL;
    CGdiObject second(RegionFromRects(pRects + nHalf, nRects - nHalf));
    if (!second.m_hObject)
        return NULL;
    const HRGN hFirst = static_cast<HRGN>(first.m_hObject);
    if (::CombineRgn(hFirst, hFirst, static_cast<HRGN>(second.m_hObject), RGN_OR) == ERROR)
        return NULL;
    return static_cast<HRGN>(first.Detach());
}

HRGN RegionFromBitmap(HBITMAP hbm, COLORREF crKey)
{
    try
    {
        CRectList rects;
        if (!CollectBitmapRuns(hbm, crKey, &rects))
            return NULL;
        return RegionFromRects(rects.data(), rects.size());
    }
    catch (const std::bad_alloc&)
    {
        return NULL;
    }
}

BOOL SetWindowRegion(HWND hWnd, HRGN hRgn)
{
    if (!::SetWindowRgn(hWnd, hRgn, TRUE))
    {
        if (hRgn)
            ::DeleteObject(hRgn);
        return FALSE;
    }
    ::InvalidateRect(hWnd, NULL, TRUE);
    return TRUE;
}
