#ifndef GLIMWICK_FRAME_FONT_H
#define GLIMWICK_FRAME_FONT_H

#include "frame/GdiObject.h"

class CDC;

// A font owned by the object.
class CFont : public CGdiObject
{
public:
    // FALSE when the font cannot be made or a font is already held.
    BOOL CreateFontIndirect(const LOGFONTA* pLogFont);
    // A font of nPointSize tenths of a point (90 is 9 points) measured
    // against pDC, or against the screen for NULL; FALSE as above.
    BOOL CreatePointFont(int nPointSize, LPCSTR pszFaceName, CDC* pDC = NULL);
    // As CreatePointFont, the other fields from pLogFont, whose lfHeight
    // gives the size in tenths of a point (its sign does not matter).
    BOOL CreatePointFontIndirect(const LOGFONTA* pLogFont, CDC* pDC = NULL);

    // Bytes written into pLogFont, 0 without a font.
    int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }

    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

#endif
