// Composes and shapes the reminder balloon's pictures (the band of the text
// and the eyes apart) for the default message at two screen sizes, timing
// each step as the balloon takes it, and the whole reminder for a text that
// runs down over the eyes, where the band is as tall as the screen. Sets the
// region builder beside the straightforward one (GetPixel, one union per
// run) and the common one (pixels from the bits, one union per run). Prints
// figures only; run it in the project's Wine session.
#include "bench/BenchTimer.h"
#include "draw/DibCanvas.h"
#include "draw/Region.h"
#include "frame/Wnd.h"
#include "res/resource.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <vector>

namespace
{
const COLORREF MAGENTA = RGB(255, 0, 255);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLACK = RGB(0, 0, 0);
const UINT TEXT_FLAGS = DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING;
const int POINT_SIZE = 140;
const char* const FACE = "ＭＳ ゴシック";
const char* const MESSAGE = "パソコン画面を長時間見つづけると、あなたの健康を損なうおそれがあります。\r\n"
                            "姿勢を正し、目を画面から６０cm以上離して下さい。\r\n"
                            "軽い運動も忘れずに．．．";
// Repetitions of the fast steps; the best is reported.
const int ROUNDS = 5;
// Where the text starts, and the line's height measured on this glyph.
const int SHADOW_TOP = 8;
const int LETTERS_TOP = 7;
const char* const LINE_PROBE = "目";
// The goal for the whole reminder at 1920 x 1080.
const double GOAL_MS = 10;

DWORD CountRects(HRGN hRgn)
{
    const DWORD cb = hRgn ? ::GetRegionData(hRgn, 0, NULL) : 0;
    if (!cb)
        return 0;
    std::vector<BYTE> data(cb);
    ::GetRegionData(hRgn, cb, reinterpret_cast<RGNDATA*>(data.data()));
    return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
}

// What the common hand-written builder does: the pixels from the bits of a
// 24- or 32-bit picture, a CreateRectRgn and a CombineRgn per run. NULL for
// other depths.
HRGN UnionPerRun(CDibCanvas& picture, COLORREF crKey)
{
    const int nBitCount = picture.GetBitmapInfo()->bmiHeader.biBitCount;
    if (nBitCount != 24 && nBitCount != 32)
        return NULL;
    const int nBytes = nBitCount / 8;
    const DWORD dwKey = (GetRValue(crKey) << 16) | (GetGValue(crKey) << 8) | GetBValue(crKey);
    const int cx = picture.GetWidth(), cy = picture.GetHeight();
    HRGN hResult = ::CreateRectRgn(0, 0, 0, 0);
    ::GdiFlush();
    for (int y = 0; y < cy; ++y)
    {
        const BYTE* p = picture.GetPixelAddress(0, y);
        auto isKey = [&](int x) {
            const BYTE* q = p + x * nBytes;
            return (q[0] | q[1] << 8 | static_cast<DWORD>(q[2]) << 16) == dwKey;
        };
        for (int x = 0; x < cx;)
        {
            while (x < cx && isKey(x))
                ++x;
            const int xStart = x;
            while (x < cx && !isKey(x))
                ++x;
            if (x > xStart)
            {
                const HRGN hRun = ::CreateRectRgn(xStart, y, x, y + 1);
                ::CombineRgn(hResult, hResult, hRun, RGN_OR);
                ::DeleteObject(hRun);
            }
        }
    }
    return hResult;
}

// Milliseconds to write once over nBytes of memory just committed: the
// page faults a picture made afresh pays, whatever draws into it.
double FirstTouch(size_t nBytes)
{
    double msBest = 1e9;
    for (int i = 0; i < ROUNDS; ++i)
    {
        void* p = ::VirtualAlloc(NULL, nBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!p)
            return 0;
        msBest = std::min(msBest, Time([&] { std::memset(p, 0x7F, nBytes); }));
        ::VirtualFree(p, 0, MEM_RELEASE);
    }
    return msBest;
}

struct Figures
{
    double msLayout = 1e9, msCreate = 1e9, msFill = 1e9, msText = 1e9, msEyes = 1e9, msRegion = 1e9,
           msSetRegion = 1e9;
    int cyBand = 0;
    double Total() const { return msLayout + msCreate + msFill + msText + msEyes + msRegion + msSetRegion; }
};

// One reminder as the balloon composes it, from new pictures (the hidden
// balloon holds none); each step's time is kept when it is the best so far.
void ComposeOnce(const CString& strText, CDibCanvas& band, CDibCanvas& eyesApart, int cx, int cy, HWND hWnd,
                 Figures& best)
{
    CDibCanvas eyes;
    int cyBand = cy;
    POINT ptEyes = {};
    bool bApart = false;
    best.msLayout = std::min(best.msLayout, Time([&] {
        eyes.LoadResourceBitmap(NULL, IDB_BALLOON_EYES, CDibCanvas::NO_KEY);
        ptEyes = {(cx - eyes.GetWidth()) / 2, cy - eyes.GetHeight()};
        CDibCanvas probe;
        probe.CreateBlank(0, 1, 1, CDibCanvas::NO_KEY);
        RECT rcText = {0, 0, cx, 0}, rcLine = {0, 0, cx, 0};
        const int cyText = probe.DrawTextFont(strText, &rcText, TEXT_FLAGS | DT_CALCRECT, CDibCanvas::NO_KEY,
                                              POINT_SIZE, CString(FACE));
        const int cyLine = probe.DrawTextFont(LINE_PROBE, &rcLine, TEXT_FLAGS | DT_CALCRECT, CDibCanvas::NO_KEY,
                                              POINT_SIZE, CString(FACE));
        cyBand = std::min(SHADOW_TOP + cyText + cyLine, cy);
        bApart = cyBand <= ptEyes.y && ptEyes.x >= 0;
        if (!bApart)
            cyBand = cy;
    }));
    best.cyBand = cyBand;
    best.msCreate = std::min(best.msCreate, Time([&] {
        band.Release();
        band.CreateBlank(0, cx, cyBand, CDibCanvas::NO_KEY);
    }));
    best.msFill = std::min(best.msFill, Time([&] { band.FillSolidRect(0, 0, cx, cyBand, MAGENTA); }));
    best.msText = std::min(best.msText, Time([&] {
        band.BeginDraw();
        band.SetBkMode(TRANSPARENT);
        RECT rcShadow = {0, SHADOW_TOP, cx, cy}, rcLeft = {-1, LETTERS_TOP, cx - 1, cy - 1},
             rcRight = {-2, LETTERS_TOP, cx - 2, cy - 1};
        band.DrawTextFont(strText, &rcShadow, TEXT_FLAGS, BLACK, POINT_SIZE, CString(FACE));
        band.DrawTextFont(strText, &rcLeft, TEXT_FLAGS, GREEN, POINT_SIZE, CString(FACE));
        band.DrawTextFont(strText, &rcRight, TEXT_FLAGS, GREEN, POINT_SIZE, CString(FACE));
        band.EndDraw();
    }));
    const int bw = eyes.GetWidth(), bh = eyes.GetHeight();
    best.msEyes = std::min(best.msEyes, Time([&] {
        eyesApart.Release();
        if (!bApart)
        {
            band.DrawImage(&eyes, ptEyes.x, ptEyes.y, bw, bh, 0, 0, SRCCOPY);
            return;
        }
        eyesApart.CreateBlank(0, bw, bh, CDibCanvas::NO_KEY);
        eyesApart.DrawImage(&eyes, 0, 0, bw, bh, 0, 0, SRCCOPY);
    }));
    HRGN hRgn = NULL;
    best.msRegion = std::min(best.msRegion, Time([&] {
        hRgn = band.CreateRegion(MAGENTA);
        if (HRGN hEyes = eyesApart.IsCreated() ? eyesApart.CreateRegion(MAGENTA) : NULL)
        {
            ::OffsetRgn(hEyes, ptEyes.x, ptEyes.y);
            ::CombineRgn(hRgn, hRgn, hEyes, RGN_OR);
            ::DeleteObject(hEyes);
        }
    }));
    best.msSetRegion = std::min(best.msSetRegion, Time([&] { SetWindowRegion(hWnd, hRgn); }));
}

struct SizeResult
{
    double nPixels = 0;
    double msReminder = 0;
    double msReference = 0;
};

SizeResult BenchSize(int cx, int cy)
{
    std::printf("\n%d x %d (%.1f million pixels)\n", cx, cy, cx * cy / 1e6);
    SizeResult result;
    result.nPixels = static_cast<double>(cx) * cy;
    CWnd wnd;
    const RECT rcWindow = {0, 0, cx, cy};
    if (!wnd.CreateEx(WS_EX_TOOLWINDOW, NULL, "balloon bench", WS_POPUP, rcWindow, nullptr, 0))
    {
        std::printf("  no window\n");
        return result;
    }
    CDibCanvas band, eyesApart;
    Figures best;
    for (int i = 0; i < ROUNDS; ++i)
        ComposeOnce(MESSAGE, band, eyesApart, cx, cy, wnd.m_hWnd, best);
    if (!band.IsCreated())
    {
        std::printf("  no picture of this size\n");
        return result;
    }
    result.msReminder = best.Total();
    std::printf("  band of %d x %d pixels of %d bits, eyes %s; best of %d rounds\n", cx, best.cyBand,
                band.GetBitmapInfo()->bmiHeader.biBitCount, eyesApart.IsCreated() ? "apart" : "in the band", ROUNDS);
    std::printf("  layout (text, eyes) %8.2f ms\n", best.msLayout);
    std::printf("  new band            %8.2f ms\n", best.msCreate);
    std::printf("  fill magenta        %8.2f ms\n", best.msFill);
    std::printf("  text (3 passes)     %8.2f ms\n", best.msText);
    std::printf("  eyes (bitmap 133)   %8.2f ms\n", best.msEyes);
    std::printf("  region (fast)       %8.2f ms\n", best.msRegion);
    std::printf("  SetWindowRgn        %8.2f ms\n", best.msSetRegion);
    std::printf("  whole reminder      %8.2f ms\n", result.msReminder);

    // Lines enough to run over the eyes on either screen.
    CString strOver;
    for (int i = 0; i < 120; ++i)
        strOver += "目\r\n";
    CDibCanvas bandOver, eyesOver;
    Figures over;
    for (int i = 0; i < ROUNDS; ++i)
        ComposeOnce(strOver, bandOver, eyesOver, cx, cy, wnd.m_hWnd, over);
    std::printf("  text over the eyes: band of %d x %d, whole reminder %.2f ms (new band %.2f, fill %.2f, region "
                "%.2f)\n",
                cx, over.cyBand, over.Total(), over.msCreate, over.msFill, over.msRegion);
    const double msTouch = FirstTouch(static_cast<size_t>(cx) * cy * 4);
    std::printf("  first touch of a work-area-sized picture's memory, by itself: %.2f ms\n", msTouch);

    const HBITMAP hbm = static_cast<HBITMAP>(band.GetSafeHandle());
    CRectList rects;
    const double msRuns = Time([&] { CollectBitmapRuns(hbm, MAGENTA, &rects); });
    HRGN hFast = NULL;
    const double msBuild = Time([&] { hFast = RegionFromRects(rects.data(), rects.size()); });
    std::printf("  fast region of the band: %.2f ms reading runs (%zu rectangles), %.2f ms making the region (%lu)\n",
                msRuns, rects.size(), msBuild, static_cast<unsigned long>(CountRects(hFast)));

    HRGN hReference = NULL;
    result.msReference = Time([&] { hReference = RegionFromBitmapReference(hbm, MAGENTA); });
    std::printf("  reference builder (GetPixel, union per run) %10.1f ms, %5.0f x the fast region, %5.1f x the "
                "whole reminder\n",
                result.msReference, result.msReference / (msRuns + msBuild), result.msReference / result.msReminder);
    HRGN hUnion = NULL;
    const double msUnion = Time([&] { hUnion = UnionPerRun(band, MAGENTA); });
    if (hUnion)
        std::printf("  common builder (bits, union per run)        %10.1f ms, %5.0f x the fast region\n", msUnion,
                    msUnion / (msRuns + msBuild));
    std::printf("  regions equal: reference %s, common %s\n",
                hFast && hReference && ::EqualRgn(hFast, hReference) ? "yes" : "NO",
                hUnion ? (::EqualRgn(hFast, hUnion) ? "yes" : "NO") : "not built");
    for (HRGN h : {hFast, hReference, hUnion})
        if (h)
            ::DeleteObject(h);
    wnd.DestroyWindow();
    return result;
}
} // namespace

int main()
{
    const SizeResult small = BenchSize(1920, 1080);
    const SizeResult large = BenchSize(3840, 2160);
    if (small.msReminder <= 0 || large.msReminder <= 0)
        return 1;
    std::printf("\nGoal: whole reminder at 1920 x 1080 within %.0f ms: %.2f ms, %s\n", GOAL_MS, small.msReminder,
                small.msReminder <= GOAL_MS ? "met" : "NOT met");
    std::printf("Growth: %.1f x the pixels, %.2f x the reminder's time (reference builder: %.2f x)\n",
                large.nPixels / small.nPixels, large.msReminder / small.msReminder,
                large.msReference / small.msReference);
    return 0;
}
