#include "frame/TempGdiObjects.h"

#include "frame/Bitmap.h"
#include "frame/Brush.h"
#include "frame/Exception.h"
#include "frame/Font.h"
#include "frame/Palette.h"
#include "frame/Pen.h"
#include "frame/Rgn.h"

#include <new>

namespace
{
std::unique_ptr<CGdiObject> MakeWrapper(DWORD dwType)
{
    switch (dwType)
    {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return std::make_unique<CPen>();
    case OBJ_BRUSH:
        return std::make_unique<CBrush>();
    case OBJ_FONT:
        return std::make_unique<CFont>();
    case OBJ_BITMAP:
        return std::make_unique<CBitmap>();
    case OBJ_PAL:
        return std::make_unique<CPalette>();
    case OBJ_REGION:
        return std::make_unique<CRgn>();
    default:
        return std::make_unique<CGdiObject>();
    }
}
} // namespace

CTempGdiObjects::~CTempGdiObjects()
{
    for (Entry& entry : m_wrappers)
        entry.pWrapper->Detach();
}

CGdiObject* CTempGdiObjects::Wrap(HGDIOBJ hObject)
{
    if (!hObject || hObject == HGDI_ERROR)
        return NULL;
    const DWORD dwType = ::GetObjectType(hObject);
    for (Entry& entry : m_wrappers)
    {
        if (entry.pWrapper->m_hObject == hObject && entry.dwType == dwType)
            return entry.pWrapper.get();
    }
    try
    {
        m_wrappers.push_back(Entry{dwType, MakeWrapper(dwType)});
    }
    catch (const std::bad_alloc&)
    {
        AfxThrowMemoryException();
    }
    CGdiObject* pWrapper = m_wrappers.back().pWrapper.get();
    pWrapper->Attach(hObject);
    return pWrapper;
}
