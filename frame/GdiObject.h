#ifndef GLIMWICK_FRAME_GDIOBJECT_H
#define GLIMWICK_FRAME_GDIOBJECT_H

#include <windows.h>

// Owns one GDI object (pen, brush, font, bitmap, region, palette) and
// deletes it on destruction unless it was detached.
class CGdiObject
{
public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ hObject) : m_hObject(hObject) {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = NULL;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }

    // Takes ownership; FALSE (and nothing taken) if one is already held.
    BOOL Attach(HGDIOBJ hObject)
    {
        if (m_hObject)
            return FALSE;
        m_hObject = hObject;
        return hObject != NULL;
    }
    HGDIOBJ Detach()
    {
        HGDIOBJ h = m_hObject;
        m_hObject = NULL;
        return h;
    }
    BOOL DeleteObject()
    {
        if (!m_hObject)
            return FALSE;
        return ::DeleteObject(Detach());
    }

    // Holds a stock object (deleting one is harmless); FALSE if an object is
    // already held or nIndex names none.
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

    // Bytes written into pObject, 0 on failure or without an object.
    int GetObject(int nCount, LPVOID pObject) const
    {
        return m_hObject ? ::GetObjectA(m_hObject, nCount, pObject) : 0;
    }
};

#endif
