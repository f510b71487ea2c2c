#ifndef GLIMWICK_DRAW_PACKEDDIB_H
#define GLIMWICK_DRAW_PACKEDDIB_H

#include <windows.h>

// Packed DIBs: a header, its colour table and the pixel rows in one block of
// global memory, as the clipboard and .bmp files hold them.

// A bitmap (or a copy of a packed DIB block) as a new packed DIB block in
// fixed global memory, with a 40-byte header, BI_RGB and a full colour table
// for 8 bits or fewer; the caller frees it with GlobalFree. NULL when h is
// neither or the bits cannot be read.
HGLOBAL BitmapToPackedDib(HANDLE h);

// A packed DIB block (or a bitmap) as a new device-dependent bitmap that the
// caller owns; NULL when h is neither, the block is shorter than its header
// says, or the bitmap cannot be made.
HBITMAP PackedDibToBitmap(HANDLE h);

#endif
