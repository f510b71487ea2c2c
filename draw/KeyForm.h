#ifndef GLIMWICK_DRAW_KEYFORM_H
#define GLIMWICK_DRAW_KEYFORM_H

#include <windows.h>

// How a colour key is stored in the pixels of one bitmap, so that the
// region builders can tell key pixels apart at any depth. A picture of
// fewer bits keeps the key only approximately (magenta in 16 bits may read
// back as 0xF800F8; in 4 or 8 bits it is the nearest palette index), so
// what counts is what a pixel filled with the key reads back as. Found on
// a probe of one line in the bitmap's own format: a DIB section with the
// same header, colour table and masks, or a device-dependent bitmap of the
// same depth.
class CKeyForm
{
public:
    // Keys with a high byte (0xFFFFFFFF: no key; palette-relative colours)
    // never equal a pixel.
    static bool IsNoKey(COLORREF crKey) { return (crKey >> 24) != 0; }

    // For a DIB section described by pInfo (a header block of DibHeader.h):
    // the key's raw stored form and, for 1, 4 and 8 bits, which indices
    // read back as the key. FALSE when no probe can be made (then nothing
    // is a key pixel).
    BOOL ProbeSection(const BITMAPINFO* pInfo, COLORREF crKey);
    // For a bitmap of bmBitsPixel bits and bmPlanes planes that is read
    // through GetDIBits as 32-bit pixels: the key's form there.
    BOOL ProbeDeviceBitmap(const BITMAP& bm, COLORREF crKey);
    // Either of the two, as hbm is a DIB section of a depth the library
    // reads or not. hbm must not be selected into a context.
    BOOL ProbeBitmap(HBITMAP hbm, COLORREF crKey);

    // Whether any pixel can be a key pixel.
    bool HasKey() const { return m_bHasKey; }
    // What a key pixel reads back as (GetPixel); the key itself when no
    // pixel can be one.
    COLORREF GetReadBack() const { return m_crReadBack; }
    // Direct colours (16, 24, 32 bits, and 32-bit GetDIBits pixels): a
    // pixel is a key pixel when its value masked with GetColorMask equals
    // GetStored.
    DWORD GetStored() const { return m_dwStored; }
    DWORD GetColorMask() const { return m_dwColorMask; }
    // Indexed colours: whether index n reads back as the key.
    bool IsKeyIndex(unsigned n) const { return n < 256 && m_bKeyIndex[n]; }

private:
    void Reset(COLORREF crKey);

    bool m_bHasKey = false;
    COLORREF m_crReadBack = 0;
    DWORD m_dwStored = 0;
    DWORD m_dwColorMask = 0;
    bool m_bKeyIndex[256] = {};
};

#endif
