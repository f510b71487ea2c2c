// Prints what the drawing library's costly steps take: a locked operation
// with and without a bracket, and the region of a work-area-sized picture
// composed as the reminder balloon composes its own.
#include "draw/DibCanvas.h"
#include "frame/Brush.h"

#include <windows.h>

#include "bench/BenchTimer.h"

#include <cstdio>
#include <vector>

namespace
{

void BenchLockedOperations()
{
    const int nOps = 5000;
    CDibCanvas picture;
    picture.CreateBlank(0, 200, 200, CDibCanvas::NO_KEY);
    const double msUnbound = Time([&] {
        for (int i = 0; i < nOps; ++i)
            picture.SetPixelV(i % 200, i / 200, RGB(0, 255, 0));
    });
    const double msBound = Time([&] {
        picture.BeginDraw();
        for (int i = 0; i < nOps; ++i)
            picture.SetPixelV(i % 200, i / 200, RGB(0, 255, 0));
        picture.EndDraw();
    });
    std::printf("SetPixelV, %d calls: %.1f us each alone, %.1f us each in one BeginDraw/EndDraw\n", nOps,
                1000.0 * msUnbound / nOps, 1000.0 * msBound / nOps);
}

void BenchRegion()
{
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    const int cx = rcWork.right - rcWork.left, cy = rcWork.bottom - rcWork.top;
    CDibCanvas picture;
    picture.CreateBlank(0, cx, cy, CDibCanvas::NO_KEY);
    RECT rc = {0, 0, cx, cy};
    picture.FillSolidRect(&rc, RGB(255, 0, 255));
    const CString strText("Rest your eyes for a while and look far away.\r\n"
                          "Sit up straight, relax your shoulders, and blink slowly a few times.");
    picture.BeginDraw();
    picture.SetBkMode(TRANSPARENT);
    RECT rcShadow = {0, 8, cx, cy}, rcLeft = {-1, 7, cx - 1, cy - 1}, rcRight = {-2, 7, cx - 2, cy - 1};
    picture.DrawTextFont(strText, &rcShadow, DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING, RGB(0, 0, 0), 140,
                         CString("Arial"));
    picture.DrawTextFont(strText, &rcLeft, DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING, RGB(0, 255, 0), 140,
                         CString("Arial"));
    picture.DrawTextFont(strText, &rcRight, DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING, RGB(0, 255, 0), 140,
                         CString("Arial"));
    CBrush green(RGB(0, 255, 0));
    picture.SelectObject(&green);
    picture.Ellipse(cx / 2 - 100, cy - 104, cx / 2 - 4, cy);
    picture.Ellipse(cx / 2 + 4, cy - 104, cx / 2 + 100, cy);
    picture.EndDraw();

    HRGN hRgn = NULL;
    const double ms = Time([&] { hRgn = picture.CreateRegion(RGB(255, 0, 255)); });
    const DWORD cbData = hRgn ? ::GetRegionData(hRgn, 0, NULL) : 0;
    std::vector<BYTE> data(cbData);
    if (cbData)
        ::GetRegionData(hRgn, cbData, reinterpret_cast<RGNDATA*>(data.data()));
    const DWORD nRects = cbData ? reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount : 0;
    std::printf("CreateRegion of %d x %d (%d pixels, %lu rectangles): %.0f ms\n", cx, cy, cx * cy,
                static_cast<unsigned long>(nRects), ms);
    if (hRgn)
        ::DeleteObject(hRgn);
}
} // namespace

int main()
{
    BenchLockedOperations();
    BenchRegion();
    return 0;
}
