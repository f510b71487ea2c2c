#ifndef GLIMWICK_FRAME_POINT_H
#define GLIMWICK_FRAME_POINT_H

#include <windows.h>

// A point in device or screen pixels.
class CPoint : public POINT
{
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int xInit, int yInit) : POINT{xInit, yInit} {}
    CPoint(POINT pt) : POINT(pt) {}

    friend bool operator==(const POINT& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const POINT& a, const CPoint& b) { return !(a == b); }
};

#endif
