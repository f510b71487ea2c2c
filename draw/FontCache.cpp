#include "draw/FontCache.h"

#include "frame/Font.h"
#include "frame/MemoryDC.h"

const char CFontCache::SWEEP_FACE[] = "Marlett";

void CFontCache::Sweep()
{
    CMemoryDC dc(static_cast<HDC>(NULL));
    if (!dc.m_hDC)
        return;
    for (int i = 0; i < SWEEP_FONTS; ++i)
    {
        LOGFONTA lf = {};
        // A size of its own for each: the cache knows a font by all of it.
        lf.lfHeight = -(i + 1);
        lf.lfCharSet = SYMBOL_CHARSET;
        ::lstrcpynA(lf.lfFaceName, SWEEP_FACE, LF_FACESIZE);
        CFont font;
        if (!font.CreateFontIndirect(&lf))
            return;
        CFont* pOld = dc.SelectObject(&font);
        if (!pOld)
            return;
        dc.SelectObject(pOld);
    }
}
