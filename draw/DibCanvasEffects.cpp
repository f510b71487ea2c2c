// Locked operations that compose pictures pixel by pixel or by geometry:
// rotation, shading, scaling to fit, and the screen capture.
//
// Rotation and shading read the other picture through its own bracket. When
// both pictures are plain 24- or 32-bit sections they work on the bits
// directly, which gives the pixels GetPixel and SetPixel would give, at a
// fraction of the cost; otherwise through one GDI call per pixel.
#include "draw/DibCanvas.h"

#include "draw/DibPixels.h"
#include "draw/Rotation.h"
#include "frame/Rgn.h"
#include "frame/WindowDC.h"

#include <algorithm>

namespace
{
// A picture's bracket for one scope, closed on every path.
class CDrawScope
{
public:
    explicit CDrawScope(CDibCanvas& picture) : m_picture(picture) { m_picture.BeginDraw(); }
    ~CDrawScope() { m_picture.EndDraw(); }
    CDrawScope(const CDrawScope&) = delete;
    CDrawScope& operator=(const CDrawScope&) = delete;

private:
    CDibCanvas& m_picture;
};

// Whether GetPixel and SetPixel on hDC reach hBitmap's pixel at the same
// coordinates, unclipped, and SetPixel writes the colour as given.
bool IsPlain(HDC hDC, HGDIOBJ hBitmap)
{
    if (!hDC || !hBitmap || ::GetCurrentObject(hDC, OBJ_BITMAP) != hBitmap)
        return false;
    POINT ptViewport = {}, ptWindow = {};
    if (::GetMapMode(hDC) != MM_TEXT || ::GetGraphicsMode(hDC) != GM_COMPATIBLE || ::GetROP2(hDC) != R2_COPYPEN ||
        !::GetViewportOrgEx(hDC, &ptViewport) || !::GetWindowOrgEx(hDC, &ptWindow) || ptViewport.x || ptViewport.y ||
        ptWindow.x || ptWindow.y)
        return false;
    CRgn clip;
    return clip.CreateRectRgn(0, 0, 0, 0) && ::GetClipRgn(hDC, clip) == 0;
}

// Each pixel (i, j) of an area of cx by cy whose shade is not white gets
// its components times the shade's red / 255.
template <typename ReadShade, typename Read, typename Write>
void ShadeArea(int cx, int cy, ReadShade&& readShade, Read&& read, Write&& write)
{
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i)
        {
            const int s = GetRValue(readShade(i, j));
            if (s == 255)
                continue;
            const COLORREF cr = read(i, j);
            write(i, j, RGB(GetRValue(cr) * s / 255, GetGValue(cr) * s / 255, GetBValue(cr) * s / 255));
        }
}
} // namespace

CDibCanvas* CDibCanvas::ReadableSource(CDibCanvas* pSrc, CCanvasDC& dc, CDibCanvas& copy)
{
    if (pSrc != this)
        return pSrc;
    const int cx = GetWidth(), cy = GetHeight();
    if (!copy.CreateBlank(32, cx, cy, NO_KEY))
        return nullptr;
    copy.BitBltFrom(&dc, 0, 0, cx, cy, 0, 0, SRCCOPY);
    // Key pixels are black in the picture by now: the copy takes the mask
    // as it is rather than looking for the key again.
    if (m_mask.m_hObject)
    {
        const HANDLE hMask = ::CopyImage(m_mask.m_hObject, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (!hMask)
            return nullptr;
        copy.m_mask.Attach(hMask);
    }
    return &copy;
}

BOOL CDibCanvas::ReachBits(CDibCanvas* pSrc, CCanvasDC& dc, CDibPixels& from, CDibPixels& to)
{
    if (!pSrc->m_pDrawDC || !IsPlain(dc.GetSafeHdc(), m_hObject) ||
        !IsPlain(pSrc->m_pDrawDC->GetSafeHdc(), pSrc->m_hObject))
        return FALSE;
    if (!from.Attach(static_cast<HBITMAP>(pSrc->m_hObject), pSrc->m_bTopDown) ||
        !to.Attach(static_cast<HBITMAP>(m_hObject), m_bTopDown))
        return FALSE;
    // What this thread drew through GDI must be in the bits first.
    ::GdiFlush();
    return TRUE;
}

// ---- Rotation ----

void CDibCanvas::DrawRotated(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees,
                             LPRECT pBounds)
{
    Rotate(pSrc, x, y, cx, cy, xs, ys, nDegrees, pBounds, TRUE);
}

void CDibCanvas::DrawRotatedPerPixel(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees,
                                     LPRECT pBounds)
{
    Rotate(pSrc, x, y, cx, cy, xs, ys, nDegrees, pBounds, FALSE);
}

void CDibCanvas::Rotate(CDibCanvas* pSrc, int x, int y, int cx, int cy, int xs, int ys, int nDegrees,
                        LPRECT pBounds, BOOL bDirect)
{
    if (pBounds)
        ::SetRect(pBounds, x, y, x, y);
    WithSource(pSrc, [&](CCanvasDC& dc) {
        // The rotation must not read back what it has already painted.
        CDibCanvas copy;
        CDibCanvas* pFrom = ReadableSource(pSrc, dc, copy);
        if (!pFrom)
            return;
        if (cx <= 0 || cy <= 0)
            return;
        // The area turns about its centre as asked for; what lies beyond the
        // source's right or bottom edge is only left out.
        const CRotation rotation(cx, cy, nDegrees, std::min(cx, pFrom->GetWidth() - xs),
                                 std::min(cy, pFrom->GetHeight() - ys));
        const RECT rcBox = rotation.Box();
        const int dx = x - rcBox.left, dy = y - rcBox.top;

        CDrawScope source(*pFrom);
        CDibPixels from, to;
        if (bDirect && ReachBits(pFrom, dc, from, to))
        {
            rotation.Paint([&](int X, int Y) { return from.Get(xs + X, ys + Y); },
                           [&](int px, int py, COLORREF cr) { to.Set(px + dx, py + dy, cr); });
        }
        else
        {
            rotation.Paint([&](int X, int Y) { return pFrom->GetPixel(xs + X, ys + Y); },
                           [&](int px, int py, COLORREF cr) { dc.SetPixel(px + dx, py + dy, cr); });
        }
        if (pBounds)
            ::SetRect(pBounds, x, y, rcBox.right + dx + 1, rcBox.bottom + dy + 1);
    });
}

// ---- Shading ----

void CDibCanvas::ShadeWith(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys)
{
    Shade(pShade, x, y, cx, cy, xs, ys, TRUE);
}

void CDibCanvas::ShadeWithPerPixel(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys)
{
    Shade(pShade, x, y, cx, cy, xs, ys, FALSE);
}

void CDibCanvas::Shade(CDibCanvas* pShade, int x, int y, int cx, int cy, int xs, int ys, BOOL bDirect)
{
    WithSource(pShade, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        CDibCanvas* pFrom = ReadableSource(pShade, dc, copy);
        if (!pFrom)
            return;
        const int nWidth = pFrom->GetWidth(), nHeight = pFrom->GetHeight();
        cx = std::min(cx ? cx : nWidth, std::max(nWidth - xs, 0));
        cy = std::min(cy ? cy : nHeight, std::max(nHeight - ys, 0));

        CDrawScope shade(*pFrom);
        CDibPixels from, to;
        if (bDirect && ReachBits(pFrom, dc, from, to))
        {
            ShadeArea(
                cx, cy, [&](int i, int j) { return from.Get(xs + i, ys + j); },
                [&](int i, int j) { return to.Get(x + i, y + j); },
                [&](int i, int j, COLORREF cr) { to.Set(x + i, y + j, cr); });
        }
        else
        {
            ShadeArea(
                cx, cy, [&](int i, int j) { return pFrom->GetPixel(xs + i, ys + j); },
                [&](int i, int j) { return dc.GetPixel(x + i, y + j); },
                [&](int i, int j, COLORREF cr) { dc.SetPixelV(x + i, y + j, cr); });
        }
    });
}

// ---- Scaling to fit ----

void CDibCanvas::StretchImageToFit(CDibCanvas* pSrc, int x, int y, int cx, int cy, DWORD dwRop)
{
    WithSource(pSrc, [&](CCanvasDC& dc) {
        CDibCanvas copy;
        CDibCanvas* pFrom = ReadableSource(pSrc, dc, copy);
        if (!pFrom)
            return;
        const int nWidth = pFrom->GetWidth(), nHeight = pFrom->GetHeight();
        if (nWidth <= 0 || nHeight <= 0)
            return;
        const double dScale =
            std::min(static_cast<double>(cx) / nWidth, static_cast<double>(cy) / nHeight);
        const int w = static_cast<int>(nWidth * dScale), h = static_cast<int>(nHeight * dScale);
        // To StretchDraw a zero size would mean the source's own.
        if (w <= 0 || h <= 0)
            return;
        pFrom->StretchDraw(&dc, x + (cx - w) / 2, y + (cy - h) / 2, w, h, 0, 0, nWidth, nHeight, dwRop);
    });
}

// ---- Screen capture ----

BOOL CDibCanvas::CopyFromScreen(int x, int y, int cx, int cy, int xScreen, int yScreen)
{
    const long long cxArea = cx ? cx : GetWidth(), cyArea = cy ? cy : GetHeight();
    const long long left = std::max(xScreen, 0), top = std::max(yScreen, 0);
    const long long right = std::min<long long>(xScreen + cxArea, ::GetSystemMetrics(SM_CXSCREEN));
    const long long bottom = std::min<long long>(yScreen + cyArea, ::GetSystemMetrics(SM_CYSCREEN));
    if (right <= left || bottom <= top)
        return FALSE;
    CWindowDC screen(NULL);
    if (!screen.GetSafeHdc())
        return FALSE;
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) {
        return dc.BitBlt(xScreen < 0 ? x - xScreen : x, yScreen < 0 ? y - yScreen : y,
                         static_cast<int>(right - left), static_cast<int>(bottom - top), &screen,
                         static_cast<int>(left), static_cast<int>(top), SRCCOPY);
    });
}
