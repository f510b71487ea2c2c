#include "draw/CanvasDC.h"

#include "frame/Bitmap.h"
#include "frame/Brush.h"
#include "frame/Exception.h"
#include "frame/Font.h"
#include "frame/Pen.h"
#include "frame/Rgn.h"


CCanvasDC::~CCanvasDC()
{
    if (!m_bOwnDC)
    {
        const HDC hDC = Detach();
        if (m_pSourceDC && hDC)
            m_pSourceDC->Attach(hDC);
        return;
    }
    if (!m_hDC)
        return;
    ReselectSaved(m_pOldBitmap, m_bBitmapSaved);
    ReselectSaved(m_pOldPen, m_bPenSaved);
    ReselectSaved(m_pOldBrush, m_bBrushSaved);
    ReselectSaved(m_pOldFont, m_bFontSaved);
    if (m_nSavedDC)
        RestoreDC(m_nSavedDC);
    ::DeleteDC(Detach());
}

BOOL CCanvasDC::CreateFor(HBITMAP hBitmap)
{
    if (m_hDC)
        return FALSE;
    if (!Attach(::CreateCompatibleDC(NULL)))
        return FALSE;
    m_bOwnDC = TRUE;
    m_nSavedDC = SaveDC();
    m_pOldBitmap = SelectTyped(hBitmap, OBJ_BITMAP);
    m_bBitmapSaved = m_pOldBitmap != nullptr;
    SetMapMode(MM_TEXT);
    return TRUE;
}

void CCanvasDC::Borrow(CDC* pSource)
{
    if (m_hDC || !pSource)
        return;
    m_pSourceDC = pSource;
    KeepTemporariesIn(pSource->GetTemporaries());
    Attach(pSource->Detach());
    SetMapMode(MM_TEXT);
}

CBitmap* CCanvasDC::GetOldBitmap() const
{
    return m_bBitmapSaved ? static_cast<CBitmap*>(m_pOldBitmap) : nullptr;
}

// Selecting directly gives the same end state as first putting the
// remembered object back: the new object is in, the first one remembered.
CGdiObject* CCanvasDC::SelectRemembering(CGdiObject* pObject, UINT nType, CGdiObject*& pOld, BOOL& bSaved)
{
    if (!pObject)
        return nullptr;
    CGdiObject* pPrevious = SelectTyped(pObject->m_hObject, nType);
    if (!pPrevious)
        return nullptr;
    if (!bSaved)
    {
        pOld = pPrevious;
        bSaved = TRUE;
    }
    return pOld;
}

void CCanvasDC::ReselectSaved(CGdiObject* pOld, BOOL bSaved)
{
    if (bSaved && pOld)
        CDC::SelectObject(pOld->m_hObject);
}

CFont* CCanvasDC::SelectObject(CFont* pFont)
{
    try
    {
        return static_cast<CFont*>(SelectRemembering(pFont, OBJ_FONT, m_pOldFont, m_bFontSaved));
    }
    catch (const CException&)
    {
        return nullptr;
    }
}

int CCanvasDC::SelectObject(CRgn* pRgn)
{
    try
    {
        return CDC::SelectObject(pRgn);
    }
    catch (const CException&)
    {
        return 0;
    }
}

CBitmap* CCanvasDC::SelectObject(CBitmap* pBitmap)
{
    try
    {
        return static_cast<CBitmap*>(SelectRemembering(pBitmap, OBJ_BITMAP, m_pOldBitmap, m_bBitmapSaved));
    }
    catch (const CException&)
    {
        return nullptr;
    }
}

CBrush* CCanvasDC::SelectObject(CBrush* pBrush)
{
    try
    {
        return static_cast<CBrush*>(SelectRemembering(pBrush, OBJ_BRUSH, m_pOldBrush, m_bBrushSaved));
    }
    catch (const CException&)
    {
        return nullptr;
    }
}

CPen* CCanvasDC::SelectObject(CPen* pPen)
{
    try
    {
        return static_cast<CPen*>(SelectRemembering(pPen, OBJ_PEN, m_pOldPen, m_bPenSaved));
    }
    catch (const CException&)
    {
        return nullptr;
    }
}
