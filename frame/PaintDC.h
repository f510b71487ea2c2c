#ifndef GLIMWICK_FRAME_PAINTDC_H
#define GLIMWICK_FRAME_PAINTDC_H

#include "frame/DC.h"

// The context of one WM_PAINT: BeginPaint on construction, EndPaint on
// destruction.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

#endif
