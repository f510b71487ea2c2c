// Drawing the picture into other device contexts, and writing it to a file.
#include "draw/DibCanvas.h"

#include "draw/DibHeader.h"
#include "draw/PackedDib.h"
#include "frame/Brush.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"
#include "frame/SavedDC.h"

#include <vfw.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
// Video for Windows brings the common controls, the multimedia library and
// COM with it; the resident program never draws through it, so it is loaded
// on first use only and then kept for the rest of the run.
struct DrawDibLibrary
{
    decltype(&::DrawDibOpen) pOpen = nullptr;
    decltype(&::DrawDibDraw) pDraw = nullptr;
    decltype(&::DrawDibClose) pClose = nullptr;

    DrawDibLibrary()
    {
        const HMODULE hModule = ::LoadLibraryA("msvfw32.dll");
        if (!hModule)
            return;
        pOpen = reinterpret_cast<decltype(pOpen)>(reinterpret_cast<void*>(::GetProcAddress(hModule, "DrawDibOpen")));
        pDraw = reinterpret_cast<decltype(pDraw)>(reinterpret_cast<void*>(::GetProcAddress(hModule, "DrawDibDraw")));
        pClose = reinterpret_cast<decltype(pClose)>(reinterpret_cast<void*>(::GetProcAddress(hModule, "DrawDibClose")));
    }

    bool Usable() const { return pOpen && pDraw && pClose; }
};

const DrawDibLibrary& TheDrawDibLibrary()
{
    static const DrawDibLibrary library;
    return library;
}

int OrDefault(int n, int nDefault)
{
    return n ? n : nDefault;
}

// Start of band i of n over a length, so that the bands add up to it.
int BandStart(int nOrigin, int nLength, int i, int n)
{
    return nOrigin + static_cast<int>(static_cast<long long>(nLength) * i / n);
}
} // namespace

void CDibCanvas::StretchBltBanded(CDC* pDst, int x, int y, int cx, int cy, CDC* pSrc, int xs, int ys, int cxs,
                                  int cys, DWORD dwRop)
{
    if (!pDst)
        return;
    pDst->SetStretchBltMode(HALFTONE);
    pDst->SetBrushOrg(0, 0);
    if (!cx || !cy || !cxs || !cys)
        return;
    const int cxScreen = std::max(1, ::GetSystemMetrics(SM_CXSCREEN));
    const int cyScreen = std::max(1, ::GetSystemMetrics(SM_CYSCREEN));
    const int nx = (std::abs(cxs) + cxScreen - 1) / cxScreen;
    const int ny = (std::abs(cys) + cyScreen - 1) / cyScreen;
    // Source and destination are cut at the same fractions, so each band
    // of the source lands on its own band of the destination.
    for (int j = 0; j < ny; ++j)
    {
        const int yd = BandStart(y, cy, j, ny), ydEnd = BandStart(y, cy, j + 1, ny);
        const int ysBand = BandStart(ys, cys, j, ny), ysEnd = BandStart(ys, cys, j + 1, ny);
        for (int i = 0; i < nx; ++i)
        {
            const int xd = BandStart(x, cx, i, nx), xdEnd = BandStart(x, cx, i + 1, nx);
            const int xsBand = BandStart(xs, cxs, i, nx), xsEnd = BandStart(xs, cxs, i + 1, nx);
            if (xdEnd != xd && ydEnd != yd && xsEnd != xsBand && ysEnd != ysBand)
                pDst->StretchBlt(xd, yd, xdEnd - xd, ydEnd - yd, pSrc, xsBand, ysBand, xsEnd - xsBand,
                                 ysEnd - ysBand, dwRop);
        }
    }
}

// Covers (x, y, cx, cy) with copies of the picture: the first row and
// column of tiles start at (xs, ys) of the picture, the others at its origin.
void CDibCanvas::PlaceTiles(CDC* pDC, CDC* pMemDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    const int nWidth = GetWidth(), nHeight = GetHeight();
    if (nWidth <= 0 || nHeight <= 0)
        return;
    // A start outside the picture would make tiles of no size.
    xs = (xs % nWidth + nWidth) % nWidth;
    ys = (ys % nHeight + nHeight) % nHeight;
    for (int yTile = y, ySrc = ys; yTile < y + cy; ySrc = 0)
    {
        const int cyTile = std::min(nHeight - ySrc, y + cy - yTile);
        for (int xTile = x, xSrc = xs; xTile < x + cx; xSrc = 0)
        {
            const int cxTile = std::min(nWidth - xSrc, x + cx - xTile);
            pDC->BitBlt(xTile, yTile, cxTile, cyTile, pMemDC, xSrc, ySrc, dwRop);
            xTile += cxTile;
        }
        yTile += cyTile;
    }
}

void CDibCanvas::DrawEx(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, DWORD dwRop,
                        UINT nMode)
{
    if (!pDC || !pDC->GetSafeHdc() || !IsCreated())
        return;
    try
    {
        CSavedDC savedDst(pDC->GetSafeHdc());
        CMemoryDC mem(pDC);
        if (!mem.GetSafeHdc())
            return;
        CSavedDC savedMem(mem.GetSafeHdc());
        RealizeInto(pDC);
        cx = OrDefault(cx, GetWidth());
        cy = OrDefault(cy, GetHeight());
        cxs = OrDefault(cxs, GetWidth());
        cys = OrDefault(cys, GetHeight());

        auto place = [&](HGDIOBJ hImage, DWORD dwPlaceRop) {
            CObjectSelection selection(mem.GetSafeHdc(), hImage);
            if (!selection.IsSelected())
                return;
            if (nMode == DRAW_STRETCHED)
                StretchBltBanded(pDC, x, y, cx, cy, &mem, xs, ys, cxs, cys, dwPlaceRop);
            else if (nMode == DRAW_TILED)
                PlaceTiles(pDC, &mem, x, y, cx, cy, xs, ys, dwPlaceRop);
            else
                pDC->BitBlt(x, y, cx, cy, &mem, xs, ys, dwPlaceRop);
        };
        if (!m_mask.m_hObject)
        {
            place(m_hObject, dwRop);
            return;
        }
        // The mask's colour table makes its 1 white and its 0 black, so the
        // AND keeps the destination exactly where the mask is 1. Between two
        // XORs of the picture, that keeps the destination under transparent
        // pixels and leaves the picture elsewhere, even where a palette
        // without black could not make the transparent pixels black.
        place(m_hObject, SRCINVERT);
        place(m_mask.m_hObject, SRCAND);
        place(m_hObject, SRCINVERT);
    }
    catch (const CException&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
}

void CDibCanvas::Draw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    DrawElsewhere([&] { DrawEx(pDC, x, y, cx, cy, xs, ys, 0, 0, dwRop, DRAW_PLAIN); });
}

void CDibCanvas::StretchDraw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, DWORD dwRop)
{
    DrawElsewhere([&] { DrawEx(pDC, x, y, cx, cy, xs, ys, cxs, cys, dwRop, DRAW_STRETCHED); });
}

void CDibCanvas::TileDraw(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, DWORD dwRop)
{
    DrawElsewhere([&] { DrawEx(pDC, x, y, cx, cy, xs, ys, 0, 0, dwRop, DRAW_TILED); });
}

BOOL CDibCanvas::DrawStateTo(CDC* pDC, CPoint pt, UINT nFlags, CBrush* pBrush)
{
    BOOL bDrawn = FALSE;
    DrawElsewhere([&] {
        if (pDC)
            bDrawn = pDC->DrawState(pt, CSize(GetWidth(), GetHeight()), static_cast<HBITMAP>(m_hObject), nFlags,
                                    pBrush ? static_cast<HBRUSH>(*pBrush) : NULL);
    });
    return bDrawn;
}

void CDibCanvas::RealizeInto(CDC* pDC)
{
    if (pDC && m_palette.m_hObject)
    {
        pDC->SelectPalette(&m_palette, FALSE);
        pDC->RealizePalette();
    }
}

COLORREF CDibCanvas::GetNearestColor(COLORREF cr)
{
    if (!m_palette.m_hObject)
        return cr;
    PALETTEENTRY entry = {};
    if (!m_palette.GetPaletteEntries(m_palette.GetNearestPaletteIndex(cr), 1, &entry))
        return cr;
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

BOOL CDibCanvas::DrawDib(BOOL bUseSrcSize, CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs,
                         int cys, UINT /*nFlags*/)
{
    // Without bits DrawDib would read them from behind the header.
    if (!pDC || !m_pInfo || !m_pBits || !m_hObject)
        return FALSE;
    cx = OrDefault(cx, GetWidth());
    cy = OrDefault(cy, GetHeight());
    cxs = bUseSrcSize ? OrDefault(cxs, GetWidth()) : cx;
    cys = bUseSrcSize ? OrDefault(cys, GetHeight()) : cy;
    // DrawDib takes bottom-up rows only, which is what the header says for
    // every picture. A top-down picture read that way is upside down: its
    // lines ys.. are taken where they lie in that reading and drawn into
    // the destination mirrored back (from its last line up, as a stretch
    // with a negative height draws).
    if (m_bTopDown)
    {
        ys = GetHeight() - ys - cys;
        // A single row needs no mirroring, and a height of -1 would tell
        // DrawDib to take the picture's own.
        if (cy != 1)
        {
            y += cy - 1;
            cy = -cy;
        }
    }
    const DrawDibLibrary& library = TheDrawDibLibrary();
    const HDRAWDIB hDrawDib = library.Usable() ? library.pOpen() : NULL;
    if (!hDrawDib)
        return FALSE;
    const BOOL bDrawn = library.pDraw(hDrawDib, pDC->GetSafeHdc(), x, y, cx, cy, &m_pInfo->bmiHeader, m_pBits, xs,
                                      ys, cxs, cys, 0);
    library.pClose(hDrawDib);
    return bDrawn;
}

BOOL CDibCanvas::DrawDib(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, UINT nFlags)
{
    return DrawDib(FALSE, pDC, x, y, cx, cy, xs, ys, 0, 0, nFlags);
}

BOOL CDibCanvas::DrawDib(CDC* pDC, int x, int y, int cx, int cy, int xs, int ys, int cxs, int cys, UINT nFlags)
{
    return DrawDib(TRUE, pDC, x, y, cx, cy, xs, ys, cxs, cys, nFlags);
}

BOOL CDibCanvas::SaveFile(LPCSTR pszPath)
{
    const HGLOBAL hDib = m_hObject ? BitmapToPackedDib(m_hObject) : NULL;
    if (!hDib)
        return FALSE;
    const BITMAPINFOHEADER& bih = static_cast<BITMAPINFO*>(hDib)->bmiHeader;
    const DWORD cbBlock = DibBitsOffset(bih) + bih.biSizeImage;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = BMP_FILE_TYPE;
    bfh.bfSize = cbBlock + sizeof(BITMAPFILEHEADER);
    bfh.bfOffBits = DibBitsOffset(bih) + sizeof(BITMAPFILEHEADER);

    BOOL bWritten = FALSE;
    const HANDLE hFile =
        ::CreateFileA(pszPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile != INVALID_HANDLE_VALUE)
    {
        DWORD cbHeader = 0, cbData = 0;
        bWritten = ::WriteFile(hFile, &bfh, sizeof(bfh), &cbHeader, NULL) && cbHeader == sizeof(bfh) &&
                   ::WriteFile(hFile, hDib, cbBlock, &cbData, NULL) && cbData == cbBlock;
        bWritten = ::CloseHandle(hFile) && bWritten;
    }
    ::GlobalFree(hDib);
    return bWritten;
}
