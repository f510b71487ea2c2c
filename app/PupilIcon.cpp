#include "app/PupilIcon.h"

#include "app/TrayIcon.h"
#include "frame/Bitmap.h"
#include "frame/MemoryDC.h"
#include "frame/ObjectSelection.h"

namespace
{
// The located rectangle starts at the icon's column 2, row 1; a pupil is
// two pixels tall, one left of its offset.
const int kRectColumn = 2;
const int kRectRow = 1;
const int kPupilHeight = 2;
// Black in the image, and opaque in the mask.
const COLORREF kPupilColour = RGB(0, 0, 0);
const COLORREF kOpaque = RGB(0, 0, 0);

BOOL SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

void PaintPupil(HDC hdc, POINT ptOffset, COLORREF cr)
{
    for (int i = 0; i < kPupilHeight; ++i)
        ::SetPixel(hdc, kRectColumn + ptOffset.x - 1, kRectRow + ptOffset.y + i, cr);
}
} // namespace

CPupilIcon::~CPupilIcon()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

void CPupilIcon::Show(CTrayIcon& tray, HICON hOpen, POINT ptLeft, POINT ptRight)
{
    if (!m_hIcon || !SamePoint(ptLeft, m_ptLeft) || !SamePoint(ptRight, m_ptRight))
    {
        HICON hNew = Compose(hOpen, ptLeft, ptRight);
        if (!hNew)
            return;
        HICON hReplaced = m_hIcon;
        m_hIcon = hNew;
        m_ptLeft = ptLeft;
        m_ptRight = ptRight;
        tray.SetTrayIcon(m_hIcon);
        // The shell has its own copy of what it shows.
        if (hReplaced)
            ::DestroyIcon(hReplaced);
        return;
    }
    // A blink or a doze frame was shown since.
    if (tray.GetTrayIcon() != m_hIcon)
        tray.SetTrayIcon(m_hIcon);
}

HICON CPupilIcon::Compose(HICON hOpen, POINT ptLeft, POINT ptRight)
{
    ICONINFO ii = {};
    if (!::GetIconInfo(hOpen, &ii))
        return NULL;
    // The copies GetIconInfo made are this function's to delete.
    CBitmap image;
    CBitmap mask;
    image.Attach(ii.hbmColor);
    mask.Attach(ii.hbmMask);
    CMemoryDC dc(static_cast<HDC>(NULL));
    if (!ii.hbmColor || !dc.m_hDC)
        return NULL;
    {
        CObjectSelection select(dc, image);
        PaintPupil(dc, ptLeft, kPupilColour);
        PaintPupil(dc, ptRight, kPupilColour);
    }
    {
        CObjectSelection select(dc, mask);
        PaintPupil(dc, ptLeft, kOpaque);
        PaintPupil(dc, ptRight, kOpaque);
    }
    return ::CreateIconIndirect(&ii);
}
