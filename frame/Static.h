#ifndef GLIMWICK_FRAME_STATIC_H
#define GLIMWICK_FRAME_STATIC_H

#include "frame/Wnd.h"

// A static control, created as a child or attached to a dialog's control.
class CStatic : public CWnd
{
public:
    // FALSE, with no window, when the control cannot be created.
    BOOL Create(LPCSTR pszText, DWORD dwStyle, const RECT& rc, CWnd* pParent, UINT nID = 0xFFFF)
    {
        return CreateEx(0, "STATIC", pszText, dwStyle, rc, pParent, nID);
    }
};

#endif
