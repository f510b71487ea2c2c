#ifndef GLIMWICK_FRAME_MEMORYDC_H
#define GLIMWICK_FRAME_MEMORYDC_H

#include "frame/DC.h"

// A memory context compatible with another context (the screen for NULL),
// deleted on destruction. m_hDC is NULL when none could be made.
class CMemoryDC : public CDC
{
public:
    explicit CMemoryDC(CDC* pCompatible) { m_hDC = ::CreateCompatibleDC(pCompatible ? pCompatible->m_hDC : NULL); }
    explicit CMemoryDC(HDC hCompatible) { m_hDC = ::CreateCompatibleDC(hCompatible); }
    ~CMemoryDC() override
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
};

#endif
