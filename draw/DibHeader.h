#ifndef GLIMWICK_DRAW_DIBHEADER_H
#define GLIMWICK_DRAW_DIBHEADER_H

#include <windows.h>

// Header blocks of device-independent bitmaps as the drawing library keeps
// them: a 40-byte BITMAPINFOHEADER, the three bit-field masks when the
// compression is BI_BITFIELDS, then up to 256 colour entries. Blocks come
// from AllocBitmapInfo and go back through FreeBitmapInfo.

// The type field of a .bmp file's header: the letters "BM".
static constexpr WORD BMP_FILE_TYPE = 0x4D42;
// LOGPALETTE's version number.
static constexpr WORD LOGPALETTE_VERSION = 0x300;
// The colour bits of a 16-bit pixel: 5-5-5 without masks, or the masks
// the library gives its own 16-bit pictures (5-6-5).
static constexpr DWORD RGB555_COLOR_MASK = 0x7FFF;
static constexpr DWORD RGB565_RED_MASK = 0xF800;
static constexpr DWORD RGB565_GREEN_MASK = 0x07E0;
static constexpr DWORD RGB565_BLUE_MASK = 0x001F;
// The colour bits of a 24- or 32-bit pixel, and of a COLORREF.
static constexpr DWORD RGB888_COLOR_MASK = 0xFFFFFF;

// Size of every header block: header, masks and a full colour table.
static constexpr DWORD DIB_HEADER_BLOCK_SIZE = sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD) + 256 * sizeof(RGBQUAD);

// A zeroed block, or NULL when out of memory.
BITMAPINFO* AllocBitmapInfo();
void FreeBitmapInfo(BITMAPINFO* pInfo);

// 2 to the power nBitCount, INT_MAX when that does not fit.
int ColorCountOfDepth(int nBitCount);
// biClrUsed, or 2 to the power of the bit count when that is 0.
int DibColorCount(const BITMAPINFOHEADER& bih);
// How many colour entries the header is followed by.
int DibTableEntries(const BITMAPINFOHEADER& bih);
// The colour entries behind a header of any version (and its masks).
RGBQUAD* DibColorTable(BITMAPINFO* pInfo);
const RGBQUAD* DibColorTable(const BITMAPINFO* pInfo);
// Bytes of one pixel row: rows are padded to 32 bits. MAXDWORD when the
// row is longer than that (a negative width counts as a huge one).
DWORD DibStride(int nBitCount, int nWidth);
// The versions of the 40-byte and longer headers: 40, with the masks (52),
// with alpha (56), version 4 (108) and 5 (124). A header from outside the
// program is believed only with one of these sizes.
bool IsKnownHeaderSize(DWORD biSize);
// Bytes from the start of a packed DIB (header of any version, masks,
// colours) to its first pixel row; for a header of a known size with at
// most 256 colour entries.
DWORD DibBitsOffset(const BITMAPINFOHEADER& bih);

// The bits of a direct-colour pixel (16, 24, 32 bits) that hold colour, by
// the header's masks: GetPixel ignores the rest (the fourth byte of 32 bits
// without masks, the top bit of 5-5-5).
DWORD DibColorMask(const BITMAPINFO* pInfo);

// Whether the library makes pictures of this depth: 1, 4, 8, 16, 24, 32.
bool IsSupportedDepth(int nBitCount);

// A generated header for a picture of nBitCount bits (0: the screen's
// depth), cx by cy pixels, bottom-up, with the standard colour table of its
// depth; NULL for an unsupported depth or without memory.
BITMAPINFO* BuildBitmapInfo(int nBitCount, int cx, int cy);

// A header describing hBitmap in a new block: a DIB section as the system
// holds it (colour table and bit-field masks included), a device-dependent
// bitmap by the generated header of its depth. *pbTopDown tells whether the
// section's rows run from the top down (the header then still says
// bottom-up). NULL for an unsupported depth, a handle that is not a bitmap,
// or without memory.
BITMAPINFO* DescribeBitmap(HBITMAP hBitmap, BOOL* pbTopDown);

// A copy of a packed header in a block of this library, brought to the
// 40-byte form; cbAvailable bounds what may be read from pPacked. NULL for a
// header that is not understood (shorter than 40 bytes, more colours than
// its depth holds, larger than cbAvailable, a size IsKnownHeaderSize does
// not know) or without memory.
BITMAPINFO* CopyBitmapInfo(const BITMAPINFO* pPacked, DWORD cbAvailable);

#endif
