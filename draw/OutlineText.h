#ifndef GLIMWICK_DRAW_OUTLINETEXT_H
#define GLIMWICK_DRAW_OUTLINETEXT_H

#include <windows.h>

#include <vector>

class CDC;

// Anti-aliased text without the system's text output: each character's
// 65-level grey glyph (GGO_GRAY8_BITMAP) is blended pixel by pixel into a
// context, the string centred in a box, with an optional one-pixel shadow
// to the lower right.
class COutlineText
{
public:
    // How the glyphs sit vertically and what the string is centred on.
    enum Placement
    {
        // On the font's baseline; centred including the last character's
        // right bearing.
        PLACE_BASELINE,
        // Glyph boxes bottom-aligned; centred including the right bearing.
        PLACE_BOTTOM,
        // Glyph boxes bottom-aligned; centred on the advances alone.
        PLACE_BOTTOM_ADVANCES,
    };

    // The colour that means no shadow.
    static constexpr COLORREF NO_SHADOW = CLR_INVALID;
    // Coverage of a glyph pixel wholly inside the outline.
    static constexpr int FULL_COVERAGE = 64;
    // Above this text weight (of 255) the text colour stands in for the
    // background, which is then not read.
    static constexpr int OPAQUE_WEIGHT = 150;

    // A font of nHeight pixels (cell height), half as wide, of weight
    // nWeight and face pszFace (NULL: the system's choice), Shift-JIS.
    COutlineText(LPCSTR pszFace, int nHeight, int nWeight, Placement ePlacement);

    // Draws the string psz (the system's code page) centred in (x, y, cx,
    // cy) of pDC, not clipped to it, in cr with a shadow in crShadow.
    // FALSE, with nothing drawn and no font made, for an empty string;
    // otherwise whether the font it made could be deleted.
    BOOL Draw(CDC* pDC, LPCSTR psz, int x, int y, int cx, int cy, COLORREF cr, COLORREF crShadow) const;

    // The codes GetGlyphOutlineA takes for the characters of psz: a lead
    // byte and its trail make one (lead x 256 + trail); a lead byte with no
    // trail before the end is left out.
    static std::vector<UINT> CharacterCodes(LPCSTR psz);

private:
    struct CGlyph
    {
        GLYPHMETRICS gm;
        // Rows of Pitch() coverage bytes, top row first; may hold fewer rows
        // than the black box (none for a blank character).
        std::vector<BYTE> coverage;

        int Pitch() const { return static_cast<int>((gm.gmBlackBoxX + 3) & ~3u); }
        int Rows() const;
        // 0 outside the bitmap.
        int CoverageAt(int nColumn, int nRow) const;
    };

    static CGlyph LoadGlyph(HDC hDC, UINT nCode);
    static void Paint(CDC* pDC, const CGlyph& glyph, int xLeft, int yTop, COLORREF cr, COLORREF crShadow);

    LOGFONTA m_logFont;
    Placement m_ePlacement;
};

#endif
