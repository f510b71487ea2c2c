#ifndef GLIMWICK_FRAME_BITMAP_H
#define GLIMWICK_FRAME_BITMAP_H

#include "frame/GdiObject.h"

class CDC;

// A bitmap owned by the object.
class CBitmap : public CGdiObject
{
public:
    // FALSE when the bitmap cannot be made or a bitmap is already held.
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* pBits);
    // A bitmap in the format of pDC (the screen for NULL); FALSE as above.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);

    // Bytes written into pBitmap, 0 without a bitmap.
    int GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }

    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

#endif
