#ifndef GLIMWICK_FRAME_TEMPGDIOBJECTS_H
#define GLIMWICK_FRAME_TEMPGDIOBJECTS_H

#include "frame/GdiObject.h"

#include <memory>
#include <vector>

// Wrappers for GDI objects that a device context hands back from a
// selection ("the previous object"): one typed wrapper per handle (a CPen for
// a pen, a CBitmap for a bitmap...), which never deletes what it wraps and
// lives as long as this holder.
class CTempGdiObjects
{
public:
    CTempGdiObjects() = default;
    ~CTempGdiObjects();
    CTempGdiObjects(const CTempGdiObjects&) = delete;
    CTempGdiObjects& operator=(const CTempGdiObjects&) = delete;

    // The wrapper of hObject; NULL for NULL or HGDI_ERROR. Throws
    // CMemoryException when no wrapper can be allocated.
    CGdiObject* Wrap(HGDIOBJ hObject);

    int GetCount() const { return static_cast<int>(m_wrappers.size()); }

private:
    // A handle value can come back for an object of another type once the
    // first is deleted, so the type is part of the key.
    struct Entry
    {
        DWORD dwType;
        std::unique_ptr<CGdiObject> pWrapper;
    };
    std::vector<Entry> m_wrappers;
};

#endif
