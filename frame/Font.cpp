#include "frame/Font.h"

#include "frame/DC.h"
#include "frame/WindowDC.h"

#include <cstdlib>
#include <cstring>

namespace
{
// Point sizes come in tenths of a point; an inch has 72 points.
const int kTenthPointsPerInch = 720;
} // namespace

BOOL CFont::CreateFontIndirect(const LOGFONTA* pLogFont)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreateFontIndirectA(pLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR pszFaceName, CDC* pDC)
{
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (pszFaceName)
        ::lstrcpynA(lf.lfFaceName, pszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* pLogFont, CDC* pDC)
{
    if (m_hObject)
        return FALSE;
    CWindowDC screen(NULL);
    const HDC hDC = pDC ? pDC->GetSafeHdc() : screen.GetSafeHdc();
    if (!hDC)
        return FALSE;

    // Tenths of a point to device pixels, then to the context's logical
    // units, as a character height (negative).
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), pLogFont->lfHeight, kTenthPointsPerInch)};
    POINT ptOrigin = {0, 0};
    ::DPtoLP(hDC, &pt, 1);
    ::DPtoLP(hDC, &ptOrigin, 1);

    LOGFONTA lf = *pLogFont;
    lf.lfHeight = -std::abs(pt.y - ptOrigin.y);
    return CreateFontIndirect(&lf);
}
