#ifndef GLIMWICK_FRAME_RGN_H
#define GLIMWICK_FRAME_RGN_H

#include "frame/GdiObject.h"

// A region owned by the object.
class CRgn : public CGdiObject
{
public:
    // FALSE when the region cannot be made or a region is already held.
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2)
    {
        if (m_hObject)
            return FALSE;
        return Attach(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT pRect)
    {
        return CreateRectRgn(pRect->left, pRect->top, pRect->right, pRect->bottom);
    }

    // Combines the two into this region; the region type, ERROR on failure.
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
    {
        return ::CombineRgn(*this, *pRgn1, pRgn2 ? static_cast<HRGN>(*pRgn2) : NULL, nCombineMode);
    }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    BOOL EqualRgn(const CRgn* pRgn) const { return ::EqualRgn(*this, *pRgn); }
    // The region type; pRect is the bounding box (empty for NULLREGION).
    int GetRgnBox(LPRECT pRect) const { return ::GetRgnBox(*this, pRect); }

    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

#endif
