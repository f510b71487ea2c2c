#ifndef GLIMWICK_DRAW_REGION_H
#define GLIMWICK_DRAW_REGION_H

#include <windows.h>

// Window outlines from pictures: every pixel that is not the key colour
// belongs to the region, as one-pixel-high runs, in the bitmap's pixel
// coordinates ((0, 0) its top-left).

// A new region that the caller owns; a key of 0xFFFFFFFF (no key) gives the whole
// bitmap. Pixels are compared as GetPixel reads them. NULL when hbm is not a
// bitmap, cannot be selected (it is selected into some context), or a region
// cannot be made.
HRGN RegionFromBitmap(HBITMAP hbm, COLORREF crKey);

// Hands hRgn (NULL: no shape) to hWnd, redrawn at once, and invalidates the
// window. From success on the system owns the region and deletes it when it
// is replaced or the window goes: never delete it yourself. A region the
// system refused is deleted here, and FALSE returned.
BOOL SetWindowRegion(HWND hWnd, HRGN hRgn);

#endif
