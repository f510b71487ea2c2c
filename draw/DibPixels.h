#ifndef GLIMWICK_DRAW_DIBPIXELS_H
#define GLIMWICK_DRAW_DIBPIXELS_H

#include <windows.h>

#include <cstddef>

// The pixels of a 24- or 32-bit DIB section addressed in memory, read and
// written as GetPixel and SetPixel do on a plain context holding it: colours
// 0x00BBGGRR, CLR_INVALID for a read outside, nothing for a write outside,
// and the fourth byte of a 32-bit pixel written as 0.
class CDibPixels
{
public:
    CDibPixels() = default;

    // FALSE (and no pixels) unless hBitmap is a DIB section of 24 or 32 bits
    // per pixel with plain RGB pixels. bTopDown: whether its rows run from
    // the top down (the section's own header does not always say).
    BOOL Attach(HBITMAP hBitmap, BOOL bTopDown);

    COLORREF Get(int x, int y) const
    {
        if (!Holds(x, y))
            return CLR_INVALID;
        const BYTE* p = Address(x, y);
        return RGB(p[2], p[1], p[0]);
    }
    void Set(int x, int y, COLORREF cr)
    {
        if (!Holds(x, y))
            return;
        BYTE* p = Address(x, y);
        p[0] = GetBValue(cr);
        p[1] = GetGValue(cr);
        p[2] = GetRValue(cr);
        if (m_nBytes == 4)
            p[3] = 0;
    }

private:
    bool Holds(int x, int y) const
    {
        return static_cast<unsigned>(x) < static_cast<unsigned>(m_cx) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(m_cy);
    }
    BYTE* Address(int x, int y) const
    {
        return m_pTopLine + static_cast<std::ptrdiff_t>(y) * m_nLineStep + static_cast<std::ptrdiff_t>(x) * m_nBytes;
    }

    BYTE* m_pTopLine = nullptr;
    // Bytes from one line of the picture to the one below (negative for
    // the usual bottom-up rows).
    std::ptrdiff_t m_nLineStep = 0;
    int m_nBytes = 0;
    int m_cx = 0;
    int m_cy = 0;
};

#endif
