#ifndef GLIMWICK_TESTS_TESTTARGET_H
#define GLIMWICK_TESTS_TESTTARGET_H

#include "frame/MemoryDC.h"

#include <windows.h>

// A 32-bit memory context with a bitmap of its own, for drawing into
// "another DC" and reading back what arrived.
class CTestTarget
{
public:
    CTestTarget(int cx, int cy, COLORREF crFill) : m_dc(static_cast<CDC*>(nullptr))
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = cx;
        bi.bmiHeader.biHeight = cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        m_hBitmap = ::CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &pBits, NULL, 0);
        m_hOld = ::SelectObject(m_dc, m_hBitmap);
        m_dc.FillSolidRect(0, 0, cx, cy, crFill);
    }
    ~CTestTarget()
    {
        ::SelectObject(m_dc, m_hOld);
        ::DeleteObject(m_hBitmap);
    }
    CTestTarget(const CTestTarget&) = delete;
    CTestTarget& operator=(const CTestTarget&) = delete;

    CDC* DC() { return &m_dc; }
    COLORREF Pixel(int x, int y) const { return m_dc.GetPixel(x, y); }

private:
    CMemoryDC m_dc;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
};

#endif
