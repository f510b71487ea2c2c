#include "frame/Palette.h"

#include "frame/DC.h"
#include "frame/WindowDC.h"

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    if (m_hObject)
        return FALSE;
    if (pDC)
        return Attach(::CreateHalftonePalette(pDC->GetSafeHdc()));
    CWindowDC screen(NULL);
    return screen.GetSafeHdc() && Attach(::CreateHalftonePalette(screen.GetSafeHdc()));
}
