#ifndef GLIMWICK_APP_AREAPIXELS_H
#define GLIMWICK_APP_AREAPIXELS_H

#include "frame/Bitmap.h"
#include "frame/MemoryDC.h"
#include "frame/WindowDC.h"

#include <windows.h>

// The notification area's screen pixels as the icon search looks at them.
// Read at once (where the desktop is composed, and reading the screen pixel
// by pixel is slow), the area comes from the screen in one block transfer
// into a 32-bit picture after each marker's pause, and the scan runs on
// that memory. Otherwise, or where no picture can be made, the pixels are
// read from the screen one at a time, as they always were.
class CAreaPixels
{
public:
    enum Reading
    {
        READ_AT_ONCE,
        READ_EACH_PIXEL,
    };

    CAreaPixels(const RECT& rcArea, Reading reading);
    ~CAreaPixels();
    CAreaPixels(const CAreaPixels&) = delete;
    CAreaPixels& operator=(const CAreaPixels&) = delete;

    // Takes the area from the screen as it is now (read at once only: pixel
    // by pixel, every look is at the screen as it is).
    void Read();

    // The run of three pixels outer, middle, outer down from pt (screen
    // coordinates).
    BOOL IsRun(POINT pt, COLORREF crOuter, COLORREF crMiddle) const;
    // Looks for the run from pt on, down each column and across the columns
    // from left to right, among the rows of the area with ten more rows
    // below them, and moves pt to its top pixel. FALSE when there is none,
    // or, reading pixel by pixel, when hStop (which may be NULL) was set
    // meanwhile.
    BOOL FindRun(POINT& pt, COLORREF crOuter, COLORREF crMiddle, HANDLE hStop) const;

    BOOL ReadsAtOnce() const { return m_pBits != nullptr; }
    // Screen reads so far: block transfers, or single pixels.
    long ScreenReads() const { return m_nReads; }

private:
    COLORREF Pixel(int x, int y) const;

    const RECT m_rcArea;
    CWindowDC m_screen;
    CMemoryDC m_dc;
    CBitmap m_picture;
    HGDIOBJ m_hOldBitmap = NULL;
    // The picture's pixels, top row first, 0x00RRGGBB; NULL when pixels are
    // read one at a time.
    const DWORD* m_pBits = nullptr;
    mutable long m_nReads = 0;
};

#endif
