#ifndef GLIMWICK_FRAME_STATIC_H
#define GLIMWICK_FRAME_STATIC_H

#include "frame/Wnd.h"

// A static control, created as a child or attached to a dialog's control.
class CStatic : public CWnd
{
public:
    // The identifier of a control nothing addresses: IDC_STATIC (-1) as a
    // control's 16-bit identifier.
    static constexpr UINT ID_STATIC = 0xFFFF;

    // FALSE, with no window, when the control cannot be created.
    BOOL Create(LPCSTR pszText, DWORD dwStyle, const RECT& rc, CWnd* pParent, UINT nID = ID_STATIC)
    {
        return CreateEx(0, "STATIC", pszText, dwStyle, rc, pParent, nID);
    }
};

#endif
