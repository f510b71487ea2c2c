#ifndef GLIMWICK_DRAW_REGION_H
#define GLIMWICK_DRAW_REGION_H

#include "frame/PageAllocator.h"

#include <windows.h>

#include <vector>

// Window outlines from pictures: every pixel that is not the key colour
// belongs to the region, as one-pixel-high runs, in the bitmap's pixel
// coordinates ((0, 0) its top-left). A pixel is a key pixel when it reads
// back (GetPixel) as a pixel filled with the key does, so a picture that
// stores the key approximately (16 bits, palettes) still loses every pixel
// filled with it. A key with a high byte (0xFFFFFFFF: no key) gives the
// whole bitmap.

// A new region that the caller owns. The pixels are read from the bits of
// a DIB section, or through GetDIBits for other bitmaps. NULL when hbm is
// not a bitmap, cannot be selected (it is selected into some context), or
// a region cannot be made.
HRGN RegionFromBitmap(HBITMAP hbm, COLORREF crKey);

// The same region built the straightforward way: every pixel read with
// GetPixel, one region union per run. Far slower; the yardstick of the
// tests and the benchmarks.
HRGN RegionFromBitmapReference(HBITMAP hbm, COLORREF crKey);

// Rectangles of a region on their way to it; a whole screen's runs can
// take megabytes.
typedef std::vector<RECT, CPageAllocator<RECT>> CRectList;

// The rectangles of RegionFromBitmap, top to bottom and left to right: the
// runs of each line, where a line has the same runs as the line above
// those rectangles are made one line taller instead. pRects is replaced;
// FALSE (and pRects emptied) where RegionFromBitmap gives NULL.
BOOL CollectBitmapRuns(HBITMAP hbm, COLORREF crKey, CRectList* pRects);

// A new region of the union of the rectangles; NULL when one cannot be
// made. Built in small pieces joined pairwise: ExtCreateRegion of many
// rectangles at once costs time growing with the square of their number
// on some systems.
HRGN RegionFromRects(const RECT* pRects, size_t nRects);

// Hands hRgn (NULL: no shape) to hWnd, redrawn at once, and invalidates the
// window. From success on the system owns the region and deletes it when it
// is replaced or the window goes: never delete it yourself. A region the
// system refused is deleted here, and FALSE returned.
BOOL SetWindowRegion(HWND hWnd, HRGN hRgn);

#endif
