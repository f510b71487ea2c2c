#ifndef GLIMWICK_FRAME_SAVEDDC_H
#define GLIMWICK_FRAME_SAVEDDC_H

#include <windows.h>

// Saves a context's state (selected objects, colours, modes, palette) for
// one scope and restores it when the scope ends, on every path.
class CSavedDC
{
public:
    explicit CSavedDC(HDC hDC) : m_hDC(hDC), m_nSaved(hDC ? ::SaveDC(hDC) : 0) {}
    ~CSavedDC()
    {
        if (m_nSaved)
            ::RestoreDC(m_hDC, m_nSaved);
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

    BOOL IsSaved() const { return m_nSaved != 0; }

private:
    HDC m_hDC;
    int m_nSaved;
};

#endif
