#ifndef GLIMWICK_FRAME_WINDOWDC_H
#define GLIMWICK_FRAME_WINDOWDC_H

#include "frame/DC.h"

// The client-area context of a window, or of the whole screen for NULL,
// released on destruction. m_hDC is NULL when none could be had.
class CWindowDC : public CDC
{
public:
    explicit CWindowDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CWindowDC() override
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

#endif
