#ifndef GLIMWICK_FRAME_PALETTE_H
#define GLIMWICK_FRAME_PALETTE_H

#include "frame/GdiObject.h"

class CDC;

// A logical palette owned by the object.
class CPalette : public CGdiObject
{
public:
    // FALSE when the palette cannot be made or a palette is already held.
    BOOL CreatePalette(const LOGPALETTE* pLogPalette)
    {
        if (m_hObject)
            return FALSE;
        return Attach(::CreatePalette(pLogPalette));
    }
    // The halftone palette of pDC (the screen for NULL); FALSE as above.
    BOOL CreateHalftonePalette(CDC* pDC);

    UINT GetNearestPaletteIndex(COLORREF crColor) const { return ::GetNearestPaletteIndex(*this, crColor); }
    // Number of entries copied into pEntries, 0 on failure.
    UINT GetPaletteEntries(UINT nStart, UINT nCount, LPPALETTEENTRY pEntries) const
    {
        return ::GetPaletteEntries(*this, nStart, nCount, pEntries);
    }
    // 0 without a palette.
    int GetEntryCount() const
    {
        WORD nEntries = 0;
        return GetObject(sizeof(nEntries), &nEntries) ? nEntries : 0;
    }

    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

#endif
