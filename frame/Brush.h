#ifndef GLIMWICK_FRAME_BRUSH_H
#define GLIMWICK_FRAME_BRUSH_H

#include "frame/Exception.h"
#include "frame/GdiObject.h"

// A brush owned by the object.
class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    // A solid brush; throws CResourceException when it cannot be made.
    explicit CBrush(COLORREF crColor)
    {
        if (!CreateSolidBrush(crColor))
            AfxThrowResourceException();
    }

    // FALSE when the brush cannot be made or a brush is already held.
    BOOL CreateSolidBrush(COLORREF crColor)
    {
        if (m_hObject)
            return FALSE;
        return Attach(::CreateSolidBrush(crColor));
    }

    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

#endif
