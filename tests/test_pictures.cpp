// The program's pictures, loaded from its resources the way its windows load
// them: sizes and depths, the colours the balloon's region is cut by, and the
// white the About box paints its pupils on.
#include "frame/GdiObject.h"
#include "frame/ObjectSelection.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace
{
const DWORD KEY = 0xFF00FF;    // 0x00RRGGBB, as the pixels are read below
const DWORD GREEN = 0x00FF00;
const DWORD BLACK = 0x000000;
const DWORD WHITE = 0xFFFFFF;

// The stored header of bitmap resource nId, and the resource's size; NULL and
// 0 when the program has no such bitmap.
const BITMAPINFOHEADER* FindBitmapHeader(UINT nId, DWORD* pnSize)
{
    *pnSize = 0;
    HMODULE hModule = ::GetModuleHandleA(NULL);
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), RT_BITMAP);
    if (hInfo == NULL)
        return NULL;
    HGLOBAL hData = ::LoadResource(hModule, hInfo);
    if (hData == NULL)
        return NULL;
    *pnSize = ::SizeofResource(hModule, hInfo);
    return static_cast<const BITMAPINFOHEADER*>(::LockResource(hData));
}

// Bytes a bitmap resource must hold: header, palette and every row.
DWORD ExpectedBitmapSize(const BITMAPINFOHEADER& header)
{
    DWORD nColours = header.biClrUsed != 0 ? header.biClrUsed : 1u << header.biBitCount;
    DWORD nStride = (header.biWidth * header.biBitCount + 31) / 32 * 4;
    return header.biSize + nColours * sizeof(RGBQUAD) + nStride * std::abs(header.biHeight);
}

// The pixels of a bitmap as 0x00RRGGBB, top row first; empty on failure.
std::vector<DWORD> ReadPixels(HBITMAP hBitmap, int cx, int cy)
{
    std::vector<DWORD> pixels(static_cast<size_t>(cx) * cy);
    BITMAPINFO info = TopDownInfo32(cx, cy);
    HDC hdc = ::CreateCompatibleDC(NULL);
    int nRows = ::GetDIBits(hdc, hBitmap, 0, cy, pixels.data(), &info, DIB_RGB_COLORS);
    ::DeleteDC(hdc);
    if (nRows != cy)
        pixels.clear();
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// Loads bitmap resource nId as a DIB section, keeping its palette colours.
HBITMAP LoadDibSection(UINT nId)
{
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(nId),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Size of a bitmap handle; (0, 0) when it is none.
SIZE BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm = {};
    if (hBitmap == NULL || ::GetObjectA(hBitmap, sizeof(bm), &bm) == 0)
        return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// Colour close enough to the key to look like it, but not the key: such a
// pixel would stay in the balloon's region as a pink fringe.
bool IsNearKey(DWORD colour)
{
    if (colour == KEY)
        return false;
    int r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    return std::abs(r - 255) <= 64 && g <= 64 && std::abs(b - 255) <= 64;
}

// An icon handle, destroyed with its owner.
class CIconHandle
{
public:
    explicit CIconHandle(HICON hIcon) : m_hIcon(hIcon) {}
    ~CIconHandle()
    {
        if (m_hIcon != NULL)
            ::DestroyIcon(m_hIcon);
    }
    CIconHandle(const CIconHandle&) = delete;
    CIconHandle& operator=(const CIconHandle&) = delete;
    HICON Get() const { return m_hIcon; }

private:
    HICON m_hIcon;
};

// The icon drawn with its mask over a background of colour background, as
// 0x00RRGGBB pixels, top row first; empty on failure.
std::vector<DWORD> RenderIcon(HICON hIcon, int nSize, DWORD background)
{
    BITMAPINFO info = TopDownInfo32(nSize, nSize);
    void* pBits = NULL;
    CGdiObject surface(::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0));
    if (surface.GetSafeHandle() == NULL)
        return {};
    std::vector<DWORD> pixels;
    DWORD* pPixels = static_cast<DWORD*>(pBits);
    std::fill(pPixels, pPixels + nSize * nSize, background);
    HDC hdc = ::CreateCompatibleDC(NULL);
    {
        CObjectSelection selection(hdc, surface.GetSafeHandle());
        if (selection.IsSelected() &&
            ::DrawIconEx(hdc, 0, 0, hIcon, nSize, nSize, 0, NULL, DI_NORMAL))
        {
            ::GdiFlush();
            pixels.assign(pPixels, pPixels + nSize * nSize);
            for (DWORD& pixel : pixels)
                pixel &= 0xFFFFFF;
        }
    }
    ::DeleteDC(hdc);
    return pixels;
}

// Every pixel, relative to the icon's top-left corner, on which the About box
// can paint the 2 × 2 pupil of the eye centred at (nCentreX, 8): five pixels
// from the centre towards the pointer, or at the pointer when it is nearer.
std::set<std::pair<int, int>> PupilPixels(int nCentreX)
{
    std::vector<std::pair<int, int>> pointers;
    for (int dy = -40; dy <= 40; ++dy)
        for (int dx = -40; dx <= 40; ++dx)
            pointers.emplace_back(dx, dy);
    for (int i = 0; i < 3600; ++i)
    {
        double a = i * 3.14159265358979 / 1800;
        pointers.emplace_back(static_cast<int>(2000 * std::cos(a)),
                              static_cast<int>(2000 * std::sin(a)));
    }

    std::set<std::pair<int, int>> pixels;
    for (const auto& p : pointers)
    {
        int dx = p.first, dy = p.second;
        double k = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy) * 0.2;
        int x = nCentreX + dx, y = 8 + dy;
        if (k > 1)
        {
            double f = 1 / k;
            x = static_cast<int>(dx * f) + nCentreX;
            y = static_cast<int>(dy * f) + 8;
        }
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                pixels.emplace(x + i, y + j);
    }
    return pixels;
}
}  // namespace

TEST(BalloonEyes, SixteenColours200By104)
{
    DWORD nSize = 0;
    const BITMAPINFOHEADER* pHeader = FindBitmapHeader(IDB_BALLOON_EYES, &nSize);
    ASSERT_NE(nullptr, pHeader);
    EXPECT_EQ(200, pHeader->biWidth);
    EXPECT_EQ(104, std::abs(pHeader->biHeight));
    EXPECT_EQ(4, pHeader->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), pHeader->biCompression);
    EXPECT_LE(ExpectedBitmapSize(*pHeader), nSize) << "every row is stored";

    CGdiObject ddb(::LoadBitmapA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_BALLOON_EYES)));
    SIZE size = BitmapSize(static_cast<HBITMAP>(ddb.GetSafeHandle()));
    EXPECT_EQ(200, size.cx);
    EXPECT_EQ(104, size.cy);
}

TEST(BalloonEyes, GreenEyesStandFreeOnTheKey)
{
    const int cx = 200, cy = 104;
    CGdiObject dib(LoadDibSection(IDB_BALLOON_EYES));
    std::vector<DWORD> pixels = ReadPixels(static_cast<HBITMAP>(dib.GetSafeHandle()), cx, cy);
    ASSERT_EQ(static_cast<size_t>(cx * cy), pixels.size());
    auto at = [&](int x, int y) { return pixels[y * cx + x]; };

    int nNearKey = 0, nOther = 0;
    for (DWORD pixel : pixels)
    {
        nNearKey += IsNearKey(pixel);
        nOther += pixel != KEY && pixel != GREEN && pixel != BLACK;
    }
    EXPECT_EQ(0, nNearKey) << "a near-magenta pixel would show as a fringe";
    EXPECT_EQ(0, nOther) << "only magenta, green and black";

    // The key all round, so the region has the eyes' own outline.
    int nBorder = 0;
    for (int x = 0; x < cx; ++x)
        nBorder += (at(x, 0) != KEY) + (at(x, cy - 1) != KEY);
    for (int y = 0; y < cy; ++y)
        nBorder += (at(0, y) != KEY) + (at(cx - 1, y) != KEY);
    EXPECT_EQ(0, nBorder) << "border pixels that are not the key";

    // Key reachable from the border is the desktop around the eyes; key not
    // reachable lies inside an eye (the white of the eye, the highlights),
    // which the region leaves see-through as well.
    std::vector<bool> outside(pixels.size(), false);
    std::vector<std::pair<int, int>> stack;
    for (int x = 0; x < cx; ++x)
    {
        stack.emplace_back(x, 0);
        stack.emplace_back(x, cy - 1);
    }
    while (!stack.empty())
    {
        auto p = stack.back();
        stack.pop_back();
        int x = p.first, y = p.second;
        if (x < 0 || y < 0 || x >= cx || y >= cy || outside[y * cx + x] || at(x, y) != KEY)
            continue;
        outside[y * cx + x] = true;
        stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }

    for (int nHalf = 0; nHalf < 2; ++nHalf)
    {
        int nGreen = 0, nInside = 0;
        for (int y = 0; y < cy; ++y)
            for (int x = nHalf * cx / 2; x < (nHalf + 1) * cx / 2; ++x)
            {
                nGreen += at(x, y) == GREEN;
                nInside += at(x, y) == KEY && !outside[y * cx + x];
            }
        EXPECT_GT(nGreen, 1500) << "a big green eye in half " << nHalf;
        EXPECT_GT(nInside, 0) << "see-through parts inside the eye in half " << nHalf;
    }
}

TEST(AdvicePicture, TwoHundredFiftySixColours200By368)
{
    DWORD nSize = 0;
    const BITMAPINFOHEADER* pHeader = FindBitmapHeader(IDB_ADVICE, &nSize);
    ASSERT_NE(nullptr, pHeader);
    EXPECT_EQ(200, pHeader->biWidth);
    EXPECT_EQ(368, std::abs(pHeader->biHeight));
    EXPECT_EQ(8, pHeader->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RLE8), pHeader->biCompression);
    EXPECT_LE(pHeader->biClrUsed, 256u);
    EXPECT_LE(pHeader->biSize + pHeader->biClrUsed * sizeof(RGBQUAD) + pHeader->biSizeImage, nSize)
        << "all the runs are stored";

    CGdiObject ddb(::LoadBitmapA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_ADVICE)));
    SIZE size = BitmapSize(static_cast<HBITMAP>(ddb.GetSafeHandle()));
    EXPECT_EQ(200, size.cx);
    EXPECT_EQ(368, size.cy);
}

TEST(AdvicePicture, PictureControlLoadsItByNumber)
{
    // The Advice window names its picture "#134" in a bitmap static control.
    HWND hStatic = ::CreateWindowExA(0, "STATIC", "#134", WS_POPUP | SS_BITMAP | SS_REALSIZEIMAGE,
                                     0, 0, 10, 10, NULL, NULL, ::GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, hStatic);
    HBITMAP hBitmap = reinterpret_cast<HBITMAP>(::SendMessageA(hStatic, STM_GETIMAGE, IMAGE_BITMAP, 0));
    SIZE size = BitmapSize(hBitmap);
    EXPECT_EQ(200, size.cx);
    EXPECT_EQ(368, size.cy);
    // Every run decoded: paper in the corner and the drawing's many colours.
    std::vector<DWORD> pixels = ReadPixels(hBitmap, 200, 368);
    ASSERT_EQ(200u * 368u, pixels.size());
    EXPECT_EQ(0xFBFAF3u, pixels[0]) << "paper";
    EXPECT_GT(std::set<DWORD>(pixels.begin(), pixels.end()).size(), 100u);
    ::DestroyWindow(hStatic);
}

TEST(AboutIcon, SixteenColoursAt32And16)
{
    HMODULE hModule = ::GetModuleHandleA(NULL);
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(IDI_ABOUT), RT_GROUP_ICON);
    ASSERT_NE(nullptr, hInfo) << "an icon group";
    const BYTE* pDir = static_cast<const BYTE*>(::LockResource(::LoadResource(hModule, hInfo)));
    ASSERT_NE(nullptr, pDir);
    ASSERT_GE(::SizeofResource(hModule, hInfo), 6u);
    WORD nCount = *reinterpret_cast<const WORD*>(pDir + 4);
    ASSERT_EQ(2, nCount);
    ASSERT_GE(::SizeofResource(hModule, hInfo), 6u + 14u * nCount);
    std::set<int> sizes;
    for (int i = 0; i < nCount; ++i)
    {
        // GRPICONDIRENTRY: width, height, colour count, reserved, planes, bit count, ...
        const BYTE* pEntry = pDir + 6 + 14 * i;
        EXPECT_EQ(pEntry[0], pEntry[1]) << "square";
        EXPECT_EQ(16, pEntry[2]) << "16 colours";
        EXPECT_EQ(4, *reinterpret_cast<const WORD*>(pEntry + 6)) << "4 bits per pixel";
        sizes.insert(pEntry[0]);
    }
    EXPECT_EQ((std::set<int>{16, 32}), sizes);

    for (int nSize : {32, 16})
    {
        CIconHandle icon(static_cast<HICON>(
            ::LoadImageA(hModule, MAKEINTRESOURCEA(IDI_ABOUT), IMAGE_ICON, nSize, nSize, 0)));
        ASSERT_NE(nullptr, icon.Get()) << nSize;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
        CGdiObject colour(info.hbmColor);
        CGdiObject mask(info.hbmMask);
        SIZE size = BitmapSize(info.hbmColor);
        EXPECT_EQ(nSize, size.cx);
        EXPECT_EQ(nSize, size.cy);
    }
}

TEST(AboutIcon, EmptyWhiteEyesWherePupilsArePainted)
{
    // The icon as the About box's icon control shows it (SS_ICON, "#137").
    HWND hStatic = ::CreateWindowExA(0, "STATIC", "#137", WS_POPUP | SS_ICON, 0, 0, 10, 10, NULL,
                                     NULL, ::GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, hStatic);
    HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(hStatic, STM_GETICON, 0, 0));
    ASSERT_NE(nullptr, hIcon);

    // Drawn over two different backgrounds: a pixel that changes with the
    // background is transparent.
    const int n = 32;
    std::vector<DWORD> overRed = RenderIcon(hIcon, n, 0xFF0000);
    std::vector<DWORD> overBlue = RenderIcon(hIcon, n, 0x0000FF);
    ::DestroyWindow(hStatic);
    ASSERT_EQ(static_cast<size_t>(n * n), overRed.size());
    ASSERT_EQ(overRed.size(), overBlue.size());
    auto opaque = [&](int x, int y) { return overRed[y * n + x] == overBlue[y * n + x]; };
    auto at = [&](int x, int y) { return overRed[y * n + x]; };

    // The pupils are wiped with white, so every pixel they can cover must be
    // opaque white in the picture too, or a wiped pupil leaves a mark.
    for (int nCentreX : {8, 22})
    {
        for (const auto& p : PupilPixels(nCentreX))
        {
            int x = p.first, y = p.second;
            ASSERT_TRUE(x >= 0 && y >= 0 && x < n && y < n) << x << "," << y;
            EXPECT_TRUE(opaque(x, y) && at(x, y) == WHITE) << "pupil pixel " << x << "," << y;
        }
        // Without pupils of its own, and outlined in black on the centre row.
        EXPECT_EQ(WHITE, at(nCentreX, 9));
        int nLeft = nCentreX - 6, nRight = nCentreX + 7;
        EXPECT_TRUE(opaque(nLeft, 8) && at(nLeft, 8) == BLACK) << nCentreX;
        EXPECT_TRUE(opaque(nRight, 8) && at(nRight, 8) == BLACK) << nCentreX;
    }
    EXPECT_FALSE(opaque(0, 0)) << "the corners show the dialog behind";
    EXPECT_FALSE(opaque(n - 1, n - 1));
}
