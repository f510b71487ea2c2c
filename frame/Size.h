#ifndef GLIMWICK_FRAME_SIZE_H
#define GLIMWICK_FRAME_SIZE_H

#include <windows.h>

// A width and height in pixels.
class CSize : public SIZE
{
public:
    CSize() : SIZE{0, 0} {}
    CSize(int cxInit, int cyInit) : SIZE{cxInit, cyInit} {}
    CSize(SIZE size) : SIZE(size) {}

    friend bool operator==(const SIZE& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
    friend bool operator!=(const SIZE& a, const CSize& b) { return !(a == b); }
};

#endif
