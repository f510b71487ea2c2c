// The window outline of a picture.
#include "draw/DibCanvas.h"

#include "draw/Region.h"

HRGN CDibCanvas::CreateRegion(COLORREF crKey)
{
    if (crKey == NO_KEY)
        crKey = m_crRegionKey;
    if (!m_hObject)
        return NULL;
    return RegionFromBitmap(static_cast<HBITMAP>(m_hObject), crKey);
}
