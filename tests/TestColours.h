#ifndef GLIMWICK_TESTS_TESTCOLOURS_H
#define GLIMWICK_TESTS_TESTCOLOURS_H

#include <windows.h>

// The plain colours the drawing tests paint and read back.
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF GREEN = RGB(0, 255, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF MAGENTA = RGB(255, 0, 255);

// How long the lock tests wait for a thread: generous, as only a deadlock
// makes one take this long.
constexpr DWORD DEADLOCK_MS = 120000;

#endif
