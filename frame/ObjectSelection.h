#ifndef GLIMWICK_FRAME_OBJECTSELECTION_H
#define GLIMWICK_FRAME_OBJECTSELECTION_H

#include <windows.h>

// Selects a GDI object into a context for one scope and selects the
// previous object back when the scope ends, on every path.
class CObjectSelection
{
public:
    CObjectSelection(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hDC && hObject ? ::SelectObject(hDC, hObject) : NULL)
    {
    }
    ~CObjectSelection()
    {
        if (m_hOld && m_hOld != HGDI_ERROR)
            ::SelectObject(m_hDC, m_hOld);
    }
    CObjectSelection(const CObjectSelection&) = delete;
    CObjectSelection& operator=(const CObjectSelection&) = delete;

    // FALSE when the object could not be selected.
    BOOL IsSelected() const { return m_hOld && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

#endif
