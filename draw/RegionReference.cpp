// The straightforward region builder: the yardstick of the fast one.
#include "draw/Region.h"

#include "draw/KeyForm.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"
#include "frame/SavedDC.h"
#include "frame/WindowDC.h"

namespace
{
// Adds the run (xStart..xEnd, y) to hResult; FALSE when it could not be.
BOOL AddRun(HRGN hResult, int xStart, int xEnd, int y)
{
    const HRGN hRun = ::CreateRectRgn(xStart, y, xEnd, y + 1);
    if (!hRun)
        return FALSE;
    const int nType = ::CombineRgn(hResult, hResult, hRun, RGN_OR);
    ::DeleteObject(hRun);
    return nType != ERROR;
}
} // namespace

HRGN RegionFromBitmapReference(HBITMAP hbm, COLORREF crKey)
{
    BITMAP bm = {};
    if (!hbm || ::GetObjectType(hbm) != OBJ_BITMAP || !::GetObjectA(hbm, sizeof(bm), &bm))
        return NULL;
    CKeyForm key;
    if (!key.ProbeBitmap(hbm, crKey))
        return NULL;
    crKey = key.GetReadBack();
    HRGN hResult = ::CreateRectRgn(0, 0, 0, 0);
    if (!hResult)
        return NULL;

    CWindowDC screen(NULL);
    CMemoryDC dc(&screen);
    {
        CSavedDC saved(dc.GetSafeHdc());
        CObjectSelection selection(dc.GetSafeHdc(), hbm);
        // Unselected, every pixel would read as invalid and count as shape.
        BOOL bComplete = selection.IsSelected();
        for (int y = 0; bComplete && y < bm.bmHeight; ++y)
        {
            int x = 0;
            while (bComplete && x < bm.bmWidth)
            {
                if (dc.GetPixel(x, y) == crKey)
                {
                    while (x < bm.bmWidth && dc.GetPixel(x, y) == crKey)
                        ++x;
                    continue;
                }
                const int xStart = x;
                while (x < bm.bmWidth && dc.GetPixel(x, y) != crKey)
                    ++x;
                bComplete = AddRun(hResult, xStart, x, y);
            }
        }
        if (bComplete)
            return hResult;
    }
    ::DeleteObject(hResult);
    return NULL;
}
