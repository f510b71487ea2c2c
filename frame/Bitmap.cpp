#include "frame/Bitmap.h"

#include "frame/DC.h"
#include "frame/WindowDC.h"

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* pBits)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitCount, pBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (m_hObject)
        return FALSE;
    if (pDC)
        return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
    CWindowDC screen(NULL);
    return screen.GetSafeHdc() && Attach(::CreateCompatibleBitmap(screen.GetSafeHdc(), nWidth, nHeight));
}
