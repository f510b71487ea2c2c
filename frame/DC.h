#ifndef GLIMWICK_FRAME_DC_H
#define GLIMWICK_FRAME_DC_H

#include <windows.h>

// A device context. The base class only borrows m_hDC; the derived classes
// own theirs and give it back when they are destroyed.
class CDC
{
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = NULL;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF cr) { return ::SetPixel(m_hDC, x, y, cr); }
};

#endif
