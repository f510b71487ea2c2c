#include "frame/DC.h"

#include "frame/Bitmap.h"
#include "frame/Brush.h"
#include "frame/Font.h"
#include "frame/Palette.h"
#include "frame/Pen.h"
#include "frame/Rgn.h"

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = NULL;
    return hDC;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    if (!m_hDC || !hObject)
        return NULL;
    HGDIOBJ hPrevious = ::SelectObject(m_hDC, hObject);
    return hPrevious == HGDI_ERROR ? NULL : hPrevious;
}

CGdiObject* CDC::SelectTyped(HGDIOBJ hObject, UINT nType)
{
    if (!m_hDC || !hObject)
        return NULL;
    CGdiObject* pPrevious = m_pTemporaries->Wrap(::GetCurrentObject(m_hDC, nType));
    return SelectObject(hObject) ? pPrevious : NULL;
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return pPen ? static_cast<CPen*>(SelectTyped(pPen->m_hObject, OBJ_PEN)) : NULL;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return pBrush ? static_cast<CBrush*>(SelectTyped(pBrush->m_hObject, OBJ_BRUSH)) : NULL;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return pFont ? static_cast<CFont*>(SelectTyped(pFont->m_hObject, OBJ_FONT)) : NULL;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return pBitmap ? static_cast<CBitmap*>(SelectTyped(pBitmap->m_hObject, OBJ_BITMAP)) : NULL;
}

int CDC::SelectObject(CRgn* pRgn)
{
    if (!m_hDC)
        return ERROR;
    return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(*pRgn) : NULL);
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    const HGDIOBJ hStock = ::GetStockObject(nIndex);
    return hStock ? SelectTyped(hStock, ::GetObjectType(hStock)) : NULL;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    if (!m_hDC || !pPalette)
        return NULL;
    CGdiObject* pPrevious = m_pTemporaries->Wrap(::GetCurrentObject(m_hDC, OBJ_PAL));
    return ::SelectPalette(m_hDC, *pPalette, bForceBackground) ? static_cast<CPalette*>(pPrevious) : NULL;
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT ptPrevious = {0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &ptPrevious);
    return ptPrevious;
}

void CDC::FillSolidRect(LPCRECT pRect, COLORREF cr)
{
    const COLORREF crPrevious = ::SetBkColor(m_hDC, cr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, pRect, NULL, 0, NULL);
    if (crPrevious != CLR_INVALID)
        ::SetBkColor(m_hDC, crPrevious);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF cr)
{
    const RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, cr);
}

int CDC::FillRect(LPCRECT pRect, CBrush* pBrush)
{
    return pBrush ? ::FillRect(m_hDC, pRect, *pBrush) : 0;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT ptPrevious = {0, 0};
    ::MoveToEx(m_hDC, x, y, &ptPrevious);
    return ptPrevious;
}
