#ifndef GLIMWICK_TESTS_COLOURPATCH_H
#define GLIMWICK_TESTS_COLOURPATCH_H

#include <windows.h>

// A topmost window of one colour, to put known pixels on the screen.
class CColourPatch
{
public:
    CColourPatch(COLORREF cr, const RECT& rc);
    ~CColourPatch();
    CColourPatch(const CColourPatch&) = delete;
    CColourPatch& operator=(const CColourPatch&) = delete;

    HWND m_hWnd;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

#endif
