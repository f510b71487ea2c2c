#include "draw/OutlineText.h"

#include "frame/DC.h"
#include "frame/Font.h"

#include <algorithm>

namespace
{
// Text weight of coverage v: 4v - 1, and all of it when fully covered.
int TextWeight(int v)
{
    return v >= COutlineText::FULL_COVERAGE ? 255 : 4 * v - 1;
}

// Each component: background x (255 - weight) / 255 + colour x weight / 255,
// each product divided on its own.
COLORREF Blend(COLORREF crBack, COLORREF cr, int nWeight)
{
    auto blend = [nWeight](int nBack, int n) { return nBack * (255 - nWeight) / 255 + n * nWeight / 255; };
    return RGB(blend(GetRValue(crBack), GetRValue(cr)), blend(GetGValue(crBack), GetGValue(cr)),
               blend(GetBValue(crBack), GetBValue(cr)));
}

// Puts the previous font back into the context on every path.
class CFontSelection
{
public:
    CFontSelection(CDC* pDC, CFont* pFont) : m_pDC(pDC), m_pOld(pDC->SelectObject(pFont)) {}
    ~CFontSelection()
    {
        if (m_pOld)
            m_pDC->SelectObject(m_pOld);
    }
    CFontSelection(const CFontSelection&) = delete;
    CFontSelection& operator=(const CFontSelection&) = delete;

    BOOL IsSelected() const { return m_pOld != nullptr; }

private:
    CDC* m_pDC;
    CFont* m_pOld;
};
} // namespace

COutlineText::COutlineText(LPCSTR pszFace, int nHeight, int nWeight, Placement ePlacement)
    : m_logFont(), m_ePlacement(ePlacement)
{
    m_logFont.lfHeight = nHeight;
    m_logFont.lfWidth = nHeight / 2;
    m_logFont.lfWeight = nWeight;
    m_logFont.lfCharSet = SHIFTJIS_CHARSET;
    m_logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    m_logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    m_logFont.lfQuality = ANTIALIASED_QUALITY;
    m_logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    if (pszFace)
        ::lstrcpynA(m_logFont.lfFaceName, pszFace, LF_FACESIZE);
}

std::vector<UINT> COutlineText::CharacterCodes(LPCSTR psz)
{
    std::vector<UINT> codes;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(psz); p && *p; ++p)
    {
        if (!::IsDBCSLeadByte(*p))
            codes.push_back(*p);
        else if (p[1])
        {
            codes.push_back(p[0] * 256u + p[1]);
            ++p;
        }
    }
    return codes;
}

int COutlineText::CGlyph::Rows() const
{
    const size_t nPitch = static_cast<size_t>(Pitch());
    return nPitch ? static_cast<int>(std::min<size_t>(gm.gmBlackBoxY, coverage.size() / nPitch)) : 0;
}

int COutlineText::CGlyph::CoverageAt(int nColumn, int nRow) const
{
    if (nColumn < 0 || nColumn >= Pitch() || nRow < 0 || nRow >= Rows())
        return 0;
    return coverage[static_cast<size_t>(nRow) * Pitch() + nColumn];
}

// A character the font cannot give has no box, no bitmap and no advance.
COutlineText::CGlyph COutlineText::LoadGlyph(HDC hDC, UINT nCode)
{
    static const MAT2 IDENTITY = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    CGlyph glyph = {};
    const DWORD cb = ::GetGlyphOutlineA(hDC, nCode, GGO_GRAY8_BITMAP, &glyph.gm, 0, nullptr, &IDENTITY);
    if (cb == GDI_ERROR)
    {
        glyph.gm = GLYPHMETRICS();
        return glyph;
    }
    glyph.coverage.assign(cb, 0);
    if (cb && ::GetGlyphOutlineA(hDC, nCode, GGO_GRAY8_BITMAP, &glyph.gm, cb, glyph.coverage.data(), &IDENTITY) ==
                  GDI_ERROR)
        glyph.coverage.clear();
    return glyph;
}

void COutlineText::Paint(CDC* pDC, const CGlyph& glyph, int xLeft, int yTop, COLORREF cr, COLORREF crShadow)
{
    const int nRows = glyph.Rows(), nPitch = glyph.Pitch();
    for (int nRow = 0; nRow < nRows; ++nRow)
        for (int nColumn = 0; nColumn < nPitch; ++nColumn)
        {
            const int v = glyph.CoverageAt(nColumn, nRow);
            if (!v)
                continue;
            const int nWeight = TextWeight(v);
            const bool bOpaque = nWeight > OPAQUE_WEIGHT;
            const int x = xLeft + nColumn, y = yTop + nRow;
            pDC->SetPixelV(x, y, Blend(bOpaque ? cr : pDC->GetPixel(x, y), cr, nWeight));
            // Written before the glyph's own pixel there, which blends over
            // it: the shadow stays only along the lower right edges.
            if (crShadow != NO_SHADOW && (glyph.CoverageAt(nColumn + 1, nRow) || glyph.CoverageAt(nColumn, nRow + 1)))
                pDC->SetPixelV(x + 1, y + 1,
                               Blend(bOpaque ? crShadow : pDC->GetPixel(x + 1, y + 1), crShadow, nWeight));
        }
}

BOOL COutlineText::Draw(CDC* pDC, LPCSTR psz, int x, int y, int cx, int cy, COLORREF cr, COLORREF crShadow) const
{
    const std::vector<UINT> codes = CharacterCodes(psz);
    if (codes.empty() || !pDC)
        return FALSE;
    CFont font;
    if (!font.CreateFontIndirect(&m_logFont))
        return FALSE;
    {
        CFontSelection selection(pDC, &font);
        if (!selection.IsSelected())
            return font.DeleteObject();
        TEXTMETRICA tm = {};
        ::GetTextMetricsA(pDC->GetSafeHdc(), &tm);

        std::vector<CGlyph> glyphs;
        glyphs.reserve(codes.size());
        int nTotal = 0, nMaxBoxY = 0;
        for (UINT nCode : codes)
        {
            glyphs.push_back(LoadGlyph(pDC->GetSafeHdc(), nCode));
            const GLYPHMETRICS& gm = glyphs.back().gm;
            nTotal += gm.gmCellIncX;
            nMaxBoxY = std::max(nMaxBoxY, static_cast<int>(gm.gmBlackBoxY));
        }
        const GLYPHMETRICS& gmLast = glyphs.back().gm;
        const int nBearing = gmLast.gmCellIncX - gmLast.gmptGlyphOrigin.x - static_cast<int>(gmLast.gmBlackBoxX);

        int x0 = x + (m_ePlacement == PLACE_BOTTOM_ADVANCES ? cx - nTotal : cx - nTotal + nBearing) / 2;
        const int y0 = y + (cy - nMaxBoxY) / 2;
        for (const CGlyph& glyph : glyphs)
        {
            const int yTop = m_ePlacement == PLACE_BASELINE ? y0 + tm.tmAscent - glyph.gm.gmptGlyphOrigin.y
                                                            : y0 + nMaxBoxY - static_cast<int>(glyph.gm.gmBlackBoxY);
            Paint(pDC, glyph, x0 + glyph.gm.gmptGlyphOrigin.x, yTop, cr, crShadow);
            x0 += glyph.gm.gmCellIncX;
        }
    }
    return font.DeleteObject();
}
