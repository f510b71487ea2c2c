// The window outline of a picture.
#include "draw/DibCanvas.h"

#include "draw/DibHeader.h"
#include "draw/Region.h"

HRGN CDibCanvas::CreateRegion(COLORREF crKey)
{
    if (crKey == NO_KEY)
        crKey = m_crRegionKey;
    if (!m_hObject)
        return NULL;
    // A shallow picture stores the key approximately (magenta in 16 bits
    // reads back as 0xF800F8): compare with what a key pixel reads back as,
    // found on a one-pixel picture of the same format.
    if (crKey != NO_KEY && m_pInfo && m_pInfo->bmiHeader.biBitCount <= 16)
    {
        BITMAPINFO* pInfo = CopyBitmapInfo(m_pInfo, DIB_HEADER_BLOCK_SIZE);
        if (pInfo)
        {
            pInfo->bmiHeader.biWidth = 1;
            pInfo->bmiHeader.biHeight = 1;
            pInfo->bmiHeader.biSizeImage = 0;
            CDibCanvas probe;
            if (probe.CreateFromInfo(pInfo, nullptr, NO_KEY))
            {
                probe.SetPixelV(0, 0, crKey);
                crKey = probe.GetPixel(0, 0);
            }
            FreeBitmapInfo(pInfo);
        }
    }
    return RegionFromBitmap(static_cast<HBITMAP>(m_hObject), crKey);
}
