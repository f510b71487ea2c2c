#ifndef GLIMWICK_FRAME_PEN_H
#define GLIMWICK_FRAME_PEN_H

#include "frame/Exception.h"
#include "frame/GdiObject.h"

// A pen owned by the object.
class CPen : public CGdiObject
{
public:
    CPen() = default;
    // Throws CResourceException when the pen cannot be made.
    CPen(int nPenStyle, int nWidth, COLORREF crColor)
    {
        if (!CreatePen(nPenStyle, nWidth, crColor))
            AfxThrowResourceException();
    }

    // FALSE when the pen cannot be made or a pen is already held.
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
    {
        if (m_hObject)
            return FALSE;
        return Attach(::CreatePen(nPenStyle, nWidth, crColor));
    }

    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

#endif
