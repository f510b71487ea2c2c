// Prints what rotation and shading of a 512 x 512 picture take through one
// GDI call per pixel and on the bits directly, and whether both give the
// same pixels.
#include "draw/DibCanvas.h"

#include <windows.h>

#include "bench/BenchTimer.h"

#include <cstdio>
#include <cstring>

namespace
{
// Width and height of the pictures.
const int EDGE = 512;


// A picture of the depth with a colour of its own at every pixel, written
// into the bits (through GDI this alone would take as long as what is
// measured).
bool Make(CDibCanvas& picture, int nBitCount, COLORREF (*colour)(int, int))
{
    if (!picture.CreateBlank(nBitCount, EDGE, EDGE, CDibCanvas::NO_KEY))
        return false;
    ::GdiFlush();
    for (int y = 0; y < EDGE; ++y)
        for (int x = 0; x < EDGE; ++x)
        {
            BYTE* p = picture.GetPixelAddress(x, y);
            const COLORREF cr = colour(x, y);
            p[0] = GetBValue(cr);
            p[1] = GetGValue(cr);
            p[2] = GetRValue(cr);
        }
    return true;
}

COLORREF Pattern(int x, int y)
{
    return RGB((x * 37 + y * 11) & 255, (x * 13 ^ y * 29) & 255, (x * y * 7 + 50) & 255);
}

COLORREF Grey(int, int)
{
    return RGB(128, 128, 128);
}

COLORREF Shade(int x, int y)
{
    return RGB((x + y) / 4, 0, 0);
}

bool SameBits(CDibCanvas& one, CDibCanvas& other)
{
    ::GdiFlush();
    DWORD cbOne = 0, cbOther = 0;
    const void* pOne = one.GetBits(&cbOne);
    const void* pOther = other.GetBits(&cbOther);
    return pOne && pOther && cbOne == cbOther && std::memcmp(pOne, pOther, cbOne) == 0;
}

// How many pixels differ from the picture as Make made it.
int Changed(CDibCanvas& picture, COLORREF (*colour)(int, int))
{
    ::GdiFlush();
    int n = 0;
    for (int y = 0; y < EDGE; ++y)
        for (int x = 0; x < EDGE; ++x)
        {
            const BYTE* p = picture.GetPixelAddress(x, y);
            n += RGB(p[2], p[1], p[0]) != colour(x, y);
        }
    return n;
}

void Report(const char* pszWhat, double msPerPixel, double msDirect, int nChanged, bool bSame)
{
    std::printf("%-36s %6d pixels changed   per pixel %7.1f ms   on the bits %6.1f ms   ratio %5.1f   %s\n",
                pszWhat, nChanged, msPerPixel, msDirect, msDirect > 0 ? msPerPixel / msDirect : 0.0,
                bSame ? "identical" : "DIFFERENT");
}

void BenchRotation(int nBitCount, int nDegrees)
{
    CDibCanvas src, perPixel, direct;
    if (!Make(src, 32, Pattern) || !Make(perPixel, nBitCount, Grey) || !Make(direct, nBitCount, Grey))
    {
        std::printf("cannot make the pictures\n");
        return;
    }
    RECT rcPerPixel = {}, rcDirect = {};
    const double msPerPixel = Time(
        [&] { perPixel.DrawRotatedPerPixel(&src, 0, 0, EDGE, EDGE, 0, 0, nDegrees, &rcPerPixel); });
    const double msDirect = Time([&] { direct.DrawRotated(&src, 0, 0, EDGE, EDGE, 0, 0, nDegrees, &rcDirect); });
    char szWhat[64];
    std::snprintf(szWhat, sizeof(szWhat), "DrawRotated %d degrees into %d bits", nDegrees, nBitCount);
    Report(szWhat, msPerPixel, msDirect, Changed(direct, Grey),
           SameBits(perPixel, direct) && ::EqualRect(&rcPerPixel, &rcDirect));
}

void BenchShade(int nBitCount)
{
    CDibCanvas shade, perPixel, direct;
    if (!Make(shade, 32, Shade) || !Make(perPixel, nBitCount, Pattern) || !Make(direct, nBitCount, Pattern))
    {
        std::printf("cannot make the pictures\n");
        return;
    }
    const double msPerPixel = Time([&] { perPixel.ShadeWithPerPixel(&shade, 0, 0, 0, 0, 0, 0); });
    const double msDirect = Time([&] { direct.ShadeWith(&shade, 0, 0, 0, 0, 0, 0); });
    char szWhat[64];
    std::snprintf(szWhat, sizeof(szWhat), "ShadeWith into %d bits", nBitCount);
    Report(szWhat, msPerPixel, msDirect, Changed(direct, Pattern), SameBits(perPixel, direct));
}
} // namespace

int main()
{
    std::printf("%d x %d pictures\n", EDGE, EDGE);
    BenchRotation(32, 0);
    BenchRotation(32, 30);
    BenchRotation(24, 30);
    BenchRotation(32, 90);
    BenchShade(32);
    BenchShade(24);
    return 0;
}
