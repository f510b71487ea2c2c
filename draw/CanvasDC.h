#ifndef GLIMWICK_DRAW_CANVASDC_H
#define GLIMWICK_DRAW_CANVASDC_H

#include "frame/DC.h"

class CBitmap;
class CBrush;
class CFont;
class CPen;
class CRgn;

// The context through which a picture is drawn. It either makes its own
// memory DC with the picture's bitmap selected (and on destruction puts back
// what it selected, restores the state and deletes the DC), or borrows the
// handle of a bound context (and on destruction only gives it back, leaving
// what was drawn and selected in place for the next operation).
//
// The pen, brush, font and bitmap selectors remember the object that was in
// the DC before the first selection through this object and return that one
// on every call; an own DC gets it back on destruction.
class CCanvasDC : public CDC
{
public:
    CCanvasDC() = default;
    ~CCanvasDC() override;

    // Makes an own memory DC compatible with the screen and selects hBitmap
    // into it. FALSE when no DC could be made (the selection of an empty
    // or busy bitmap may fail without that: drawing then goes nowhere).
    BOOL CreateFor(HBITMAP hBitmap);
    // Takes pSource's handle until destruction; the previous objects it
    // hands back are kept with pSource's.
    void Borrow(CDC* pSource);

    BOOL IsOwnDC() const { return m_bOwnDC; }
    // The bitmap that was in the DC before the picture's, or NULL.
    CBitmap* GetOldBitmap() const;

    // Each returns NULL (ERROR for the region) on failure.
    CFont* SelectObject(CFont* pFont) override;
    virtual int SelectObject(CRgn* pRgn);
    virtual CBitmap* SelectObject(CBitmap* pBitmap);
    virtual CBrush* SelectObject(CBrush* pBrush);
    virtual CPen* SelectObject(CPen* pPen);
    using CDC::SelectObject;

private:
    CGdiObject* SelectRemembering(CGdiObject* pObject, UINT nType, CGdiObject*& pOld, BOOL& bSaved);
    void ReselectSaved(CGdiObject* pOld, BOOL bSaved);

    int m_nSavedDC = 0;
    BOOL m_bOwnDC = FALSE;
    CDC* m_pSourceDC = nullptr;
    CGdiObject* m_pOldPen = nullptr;
    CGdiObject* m_pOldBrush = nullptr;
    CGdiObject* m_pOldFont = nullptr;
    CGdiObject* m_pOldBitmap = nullptr;
    BOOL m_bPenSaved = FALSE;
    BOOL m_bBrushSaved = FALSE;
    BOOL m_bFontSaved = FALSE;
    BOOL m_bBitmapSaved = FALSE;
};

#endif
