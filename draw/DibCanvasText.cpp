// Locked operations: attributes of the drawing context and text.
#include "draw/DibCanvas.h"

#include "frame/Font.h"

COLORREF CDibCanvas::SetTextColor(COLORREF cr)
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.SetTextColor(cr); });
}

COLORREF CDibCanvas::GetTextColor()
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.GetTextColor(); });
}

COLORREF CDibCanvas::SetBkColor(COLORREF cr)
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.SetBkColor(cr); });
}

COLORREF CDibCanvas::GetBkColor()
{
    return Locked(COLORREF(0), [&](CCanvasDC& dc) { return dc.GetBkColor(); });
}

int CDibCanvas::SetBkMode(int nMode)
{
    return Locked(2, [&](CCanvasDC& dc) { return dc.SetBkMode(nMode); });
}

int CDibCanvas::GetBkMode()
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.GetBkMode(); });
}

int CDibCanvas::SetMapMode(int nMode)
{
    return Locked(2, [&](CCanvasDC& dc) { return dc.SetMapMode(nMode); });
}

int CDibCanvas::GetMapMode()
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.GetMapMode(); });
}

BOOL CDibCanvas::TextOut(int x, int y, const CString& str)
{
    return TextOut(x, y, str, str.GetLength());
}

BOOL CDibCanvas::TextOut(int x, int y, LPCSTR psz, int nCount)
{
    return Locked(BOOL(FALSE), [&](CCanvasDC& dc) { return dc.TextOut(x, y, psz, nCount); });
}

namespace
{
// For one text call: the font of the face and size selected (when a face
// is given), the colour (unless NO_KEY) and a transparent background; the
// previous font selected back before the font goes.
template <typename F>
auto WithTextFont(CCanvasDC& dc, COLORREF cr, int nPointSize, LPCSTR pszFace, F&& draw)
{
    CFont font;
    CFont* pOldFont = nullptr;
    if (pszFace && *pszFace && font.CreatePointFont(nPointSize, pszFace))
        pOldFont = dc.SelectObject(&font);
    if (cr != CDibCanvas::NO_KEY)
        dc.SetTextColor(cr);
    dc.SetBkMode(TRANSPARENT);
    const auto result = draw();
    if (pOldFont)
        dc.SelectObject(pOldFont);
    return result;
}
} // namespace

void CDibCanvas::TextOutFont(int x, int y, CString str, COLORREF cr, int nPointSize, CString strFace)
{
    TextOutFont(x, y, str, str.GetLength(), cr, nPointSize, strFace);
}

void CDibCanvas::TextOutFont(int x, int y, LPCSTR psz, int nCount, COLORREF cr, int nPointSize, LPCSTR pszFace)
{
    Locked([&](CCanvasDC& dc) {
        WithTextFont(dc, cr, nPointSize, pszFace, [&] { return dc.TextOut(x, y, psz, nCount); });
    });
}

int CDibCanvas::DrawText(const CString& str, LPRECT pRect, UINT nFormat)
{
    return DrawText(str, str.GetLength(), pRect, nFormat);
}

int CDibCanvas::DrawText(LPCSTR psz, int nCount, LPRECT pRect, UINT nFormat)
{
    return Locked(0, [&](CCanvasDC& dc) { return dc.DrawText(psz, nCount, pRect, nFormat); });
}

int CDibCanvas::DrawTextFont(const CString& str, LPRECT pRect, UINT nFormat, COLORREF cr, int nPointSize,
                             CString strFace)
{
    return DrawTextFont(str, -1, pRect, nFormat, cr, nPointSize, strFace);
}

int CDibCanvas::DrawTextFont(LPCSTR psz, int nCount, LPRECT pRect, UINT nFormat, COLORREF cr, int nPointSize,
                             LPCSTR pszFace)
{
    return Locked(0, [&](CCanvasDC& dc) {
        return WithTextFont(dc, cr, nPointSize, pszFace, [&] { return dc.DrawText(psz, nCount, pRect, nFormat); });
    });
}

void CDibCanvas::CalcTextRect(LPRECT pRect, CString strText, int nPointSize, CString strFace)
{
    DrawTextFont(strText, -1, pRect, DT_CALCRECT | DT_EXTERNALLEADING | DT_EXPANDTABS, 0, nPointSize, strFace);
}
