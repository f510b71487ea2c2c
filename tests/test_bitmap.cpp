// Pictures made blank, from resources, files, headers and handles; released
// by their kind; drawn into other contexts plainly, stretched, tiled and
// through their colour-key mask.
#include "draw/DibCanvas.h"
#include "draw/DibHeader.h"
#include "draw/PackedDib.h"
#include "frame/ObjectSelection.h"
#include "frame/WindowDC.h"
#include "tests/TestSupport.h"
#include "tests/TestTarget.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const UINT IDB_KEY4 = 500;
const UINT IDB_RGB24 = 501;
const UINT IDB_SHORT8 = 502;

const COLORREF RED = RGB(255, 0, 0);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF MAGENTA = RGB(255, 0, 255);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF NO_KEY = CDibCanvas::NO_KEY;

// The pixels of the resource pictures (see make_test_bitmaps.py).
COLORREF Key4Pixel(int x, int y)
{
    if (x == y)
        return BLACK;
    return (x + y) % 3 == 0 ? GREEN : MAGENTA;
}
COLORREF Rgb24Pixel(int x, int y)
{
    return RGB(30 * x, 40 * y, 200);
}
COLORREF Short8Pixel(int x, int y)
{
    const COLORREF colors[4] = {RED, GREEN, BLUE, MAGENTA};
    return colors[(x + y) % 4];
}

// Equal but for the low bits a 16-bit pixel cannot hold.
bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) < 8 && std::abs(GetGValue(a) - GetGValue(b)) < 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 8;
}

std::string TempFile(const char* pszName)
{
    char szFolder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szFolder);
    return std::string(szFolder) + pszName;
}

// Whether the mask's bit of pixel (x, y) is 1 (transparent).
bool MaskBit(CDibCanvas& picture, int x, int y)
{
    CMemoryDC dc(static_cast<CDC*>(nullptr));
    CObjectSelection selection(dc, picture.GetMaskBitmap()->GetSafeHandle());
    return dc.GetPixel(x, y) == WHITE;
}

// A picture whose every pixel is given by pixel(x, y).
template <typename F>
void Paint(CDibCanvas& picture, F pixel)
{
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            picture.SetPixelV(x, y, pixel(x, y));
    picture.EndDraw();
}

template <typename F>
int CountMismatches(CDibCanvas& picture, F pixel)
{
    int n = 0;
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            n += picture.GetPixel(x, y) != pixel(x, y);
    picture.EndDraw();
    return n;
}
} // namespace

// ---- Blank pictures ----

TEST(BitmapCreate, BlankPicturesOfEveryDepth)
{
    struct Depth
    {
        int nBitCount;
        int nPaletteEntries; // 0: a halftone palette
        DWORD dwCompression;
    };
    const Depth depths[] = {{1, 2, BI_RGB},    {4, 16, BI_RGB},     {8, 256, BI_RGB},
                            {16, 0, BI_BITFIELDS}, {24, 0, BI_RGB}, {32, 0, BI_RGB}};
    for (const Depth& depth : depths)
    {
        SCOPED_TRACE(depth.nBitCount);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(depth.nBitCount, 10, 3, NO_KEY));
        EXPECT_EQ(CString("CREATE_BITMAP|ALLOC_INFO"), picture.GetKind());
        EXPECT_EQ(10, picture.GetWidth());
        EXPECT_EQ(3, picture.GetHeight());
        const BITMAPINFOHEADER& bih = picture.GetBitmapInfo()->bmiHeader;
        EXPECT_EQ(depth.nBitCount, bih.biBitCount);
        EXPECT_EQ(3, bih.biHeight);
        EXPECT_EQ(depth.dwCompression, bih.biCompression);
        EXPECT_EQ(DibStride(depth.nBitCount, 10) * 3, picture.GetImageSize());
        ASSERT_NE(nullptr, picture.GetPalette());
        if (depth.nPaletteEntries)
            EXPECT_EQ(depth.nPaletteEntries, picture.GetPalette()->GetEntryCount());
        else
            EXPECT_GT(picture.GetPalette()->GetEntryCount(), 16) << "halftone";
        EXPECT_EQ(nullptr, picture.GetMaskBitmap());
        picture.SetPixel(9, 2, WHITE);
        EXPECT_EQ(WHITE, picture.GetPixel(9, 2));
    }
}

TEST(BitmapCreate, GeneratedColourTables)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(8, 2, 2, NO_KEY));
    const RGBQUAD* pColors = picture.GetBitmapInfo()->bmiColors;
    auto rgb = [&](int i) { return RGB(pColors[i].rgbRed, pColors[i].rgbGreen, pColors[i].rgbBlue); };
    EXPECT_EQ(BLACK, rgb(0));
    EXPECT_EQ(RGB(166, 202, 240), rgb(9));
    EXPECT_EQ(RGB(255, 251, 240), rgb(246));
    EXPECT_EQ(MAGENTA, rgb(253));
    EXPECT_EQ(WHITE, rgb(255));
    EXPECT_EQ(RGB(51, 102, 153), picture.GetNearestColor(RGB(50, 100, 150))) << "the colour cube";

    ASSERT_TRUE(picture.CreateBlank(16, 2, 2, NO_KEY));
    const DWORD* pMasks = reinterpret_cast<const DWORD*>(picture.GetBitmapInfo()->bmiColors);
    EXPECT_EQ(0xF800u, pMasks[0]);
    EXPECT_EQ(0x07E0u, pMasks[1]);
    EXPECT_EQ(0x001Fu, pMasks[2]);

    CWindowDC screen(NULL);
    ASSERT_TRUE(picture.CreateBlank(0, 2, 2, NO_KEY));
    EXPECT_EQ(screen.GetDeviceCaps(BITSPIXEL), picture.GetBitmapInfo()->bmiHeader.biBitCount)
        << "0 is the screen's depth";
}

TEST(BitmapCreate, RefusedDepthsLeaveAnEmptyPicture)
{
    for (int nBitCount : {2, 15, 64, -1})
    {
        SCOPED_TRACE(nBitCount);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(24, 4, 4, NO_KEY));
        EXPECT_FALSE(picture.CreateBlank(nBitCount, 4, 4, NO_KEY));
        EXPECT_FALSE(picture.IsCreated());
        EXPECT_TRUE(picture.GetKind().IsEmpty());
        EXPECT_EQ(0, picture.GetWidth());
        EXPECT_EQ(nullptr, picture.GetBitmapInfo());
    }
}

TEST(BitmapCreate, FromItsOwnHeaderAndBits)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 5, 4, NO_KEY));
    Paint(picture, Rgb24Pixel);
    ASSERT_TRUE(picture.CreateFromInfo(picture.GetBitmapInfo(), picture.GetBits(nullptr), NO_KEY));
    EXPECT_EQ(0, CountMismatches(picture, Rgb24Pixel));
}

TEST(BitmapCreate, HeaderWithMoreColoursThanItsDepthIsRefused)
{
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 300 * sizeof(RGBQUAD));
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = 4;
    pHeader->biHeight = 4;
    pHeader->biPlanes = 1;
    pHeader->biBitCount = 8;
    pHeader->biClrUsed = 300;
    CDibCanvas picture;
    EXPECT_FALSE(picture.CreateFromInfo(reinterpret_cast<BITMAPINFO*>(block.data()), nullptr, NO_KEY));
    EXPECT_FALSE(picture.IsCreated());
}

// ---- Resources ----

TEST(BitmapResource, KeyPixelsTurnBlackAndMakeTheMask)
{
    CDibCanvas picture(NULL, IDB_KEY4, MAGENTA);
    ASSERT_TRUE(picture.IsCreated());
    EXPECT_EQ(CString("RESOURCE_BITMAP"), picture.GetKind());
    EXPECT_EQ(20, picture.GetWidth());
    EXPECT_EQ(10, picture.GetHeight());
    EXPECT_EQ(4, picture.GetBitmapInfo()->bmiHeader.biBitCount);
    EXPECT_EQ(16, picture.GetPalette()->GetEntryCount());
    ASSERT_NE(nullptr, picture.GetMaskBitmap());

    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
        {
            const bool bKey = Key4Pixel(x, y) == MAGENTA;
            EXPECT_EQ(bKey ? BLACK : Key4Pixel(x, y), picture.GetPixel(x, y)) << x << "," << y;
            EXPECT_EQ(bKey, MaskBit(picture, x, y)) << x << "," << y;
        }
}

TEST(BitmapResource, ReleaseDeletesTheLoadedBitmap)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.LoadResourceBitmap(NULL, IDB_RGB24, NO_KEY));
    EXPECT_EQ(0, CountMismatches(picture, Rgb24Pixel));
    EXPECT_EQ(nullptr, picture.GetMaskBitmap());
    const HGDIOBJ hBitmap = picture.GetSafeHandle();
    EXPECT_TRUE(picture.Release());
    EXPECT_EQ(0u, ::GetObjectType(hBitmap)) << "really deleted";
    EXPECT_FALSE(picture.IsCreated());
    EXPECT_TRUE(picture.GetKind().IsEmpty());

    EXPECT_FALSE(picture.LoadResourceBitmap(NULL, 599u, NO_KEY));
    EXPECT_FALSE(picture.IsCreated());
}

TEST(BitmapResource, ShortColourTableMakesAShortPalette)
{
    CDibCanvas picture(NULL, IDB_SHORT8, NO_KEY);
    ASSERT_TRUE(picture.IsCreated());
    EXPECT_EQ(4, picture.GetPalette()->GetEntryCount()) << "only the colours the header has";
    EXPECT_EQ(0, CountMismatches(picture, Short8Pixel));
}

// ---- Files ----

TEST(BitmapFile, SavedPicturesLoadBackTheSame)
{
    for (int nBitCount : {8, 24, 32})
    {
        SCOPED_TRACE(nBitCount);
        const std::string strPath = TempFile("glimwick_test_roundtrip.bmp");
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(nBitCount, 7, 5, NO_KEY));
        // Colours every depth holds exactly.
        auto pixel = [](int x, int y) { return (x + y) % 3 == 0 ? RED : (x % 2 ? BLUE : WHITE); };
        Paint(picture, pixel);
        ASSERT_TRUE(picture.SaveFile(strPath.c_str()));

        CDibCanvas loaded;
        ASSERT_TRUE(loaded.LoadFile(strPath.c_str(), NO_KEY));
        EXPECT_EQ(CString(strPath.c_str()) + "|ALLOC_INFO|LOAD_FILE", loaded.GetKind());
        EXPECT_EQ(nBitCount, loaded.GetBitmapInfo()->bmiHeader.biBitCount);
        EXPECT_EQ(0, CountMismatches(loaded, pixel));
        const HGDIOBJ hBitmap = loaded.GetSafeHandle();
        loaded.Release();
        EXPECT_EQ(0u, ::GetObjectType(hBitmap));
        ::DeleteFileA(strPath.c_str());
    }
}

TEST(BitmapFile, PathThatReadsLikeAFlagIsNotOne)
{
    CDibCanvas source;
    ASSERT_TRUE(source.CreateBlank(24, 3, 3, NO_KEY));
    char szFolder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szFolder);
    char szOldFolder[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, szOldFolder);
    ::SetCurrentDirectoryA(szFolder);
    ASSERT_TRUE(source.SaveFile("ATTACH_BITMAP"));

    CDibCanvas picture;
    ASSERT_TRUE(picture.LoadFile("ATTACH_BITMAP", NO_KEY));
    EXPECT_EQ(CString("ATTACH_BITMAP|ALLOC_INFO|LOAD_FILE"), picture.GetKind());
    const HGDIOBJ hBitmap = picture.GetSafeHandle();
    picture.Release();
    EXPECT_EQ(0u, ::GetObjectType(hBitmap)) << "a file picture is deleted, whatever its name";
    ::DeleteFileA("ATTACH_BITMAP");
    ::SetCurrentDirectoryA(szOldFolder);
}

TEST(BitmapFile, FilesThatAreNotBitmapsAreRefused)
{
    const std::string strPath = TempFile("glimwick_test_bad.bmp");
    auto write = [&](const std::string& strBytes) {
        const HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD cb = 0;
        ::WriteFile(h, strBytes.data(), static_cast<DWORD>(strBytes.size()), &cb, NULL);
        ::CloseHandle(h);
    };
    CDibCanvas valid;
    ASSERT_TRUE(valid.CreateBlank(8, 16, 16, NO_KEY));
    ASSERT_TRUE(valid.SaveFile(strPath.c_str()));
    const std::string strValid = ReadWholeFile(strPath);
    ASSERT_GT(strValid.size(), 100u);

    std::string strHugeTable = strValid;
    const DWORD nHuge = 0x40000000;
    std::memcpy(&strHugeTable[14 + 32], &nHuge, sizeof(nHuge)); // biClrUsed

    const std::string cases[] = {"", "BM", "not a bitmap at all, only text", strValid.substr(0, 40),
                                 strValid.substr(0, 200), strHugeTable};
    for (const std::string& strCase : cases)
    {
        SCOPED_TRACE(strCase.size());
        write(strCase);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(24, 2, 2, NO_KEY));
        EXPECT_FALSE(picture.LoadFile(strPath.c_str(), NO_KEY));
        EXPECT_FALSE(picture.IsCreated()) << "left empty";
    }
    CDibCanvas picture;
    EXPECT_FALSE(picture.LoadFile(TempFile("glimwick_no_such_file.bmp").c_str(), NO_KEY));
    ::DeleteFileA(strPath.c_str());
}

TEST(BitmapFile, SaveFailsForAnEmptyPictureOrAnUnwritablePath)
{
    CDibCanvas empty;
    EXPECT_FALSE(empty.SaveFile(TempFile("glimwick_test_empty.bmp").c_str()));
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 2, 2, NO_KEY));
    EXPECT_FALSE(picture.SaveFile("Z:\\no\\such\\folder\\x.bmp"));
}

// ---- Packed DIBs and handles ----

TEST(BitmapPacked, PackedDibOfAPictureMakesTheSamePicture)
{
    CDibCanvas source;
    ASSERT_TRUE(source.CreateBlank(24, 7, 5, NO_KEY));
    Paint(source, Rgb24Pixel);
    const HGLOBAL hDib = BitmapToPackedDib(source.GetSafeHandle());
    ASSERT_NE(nullptr, hDib);
    CDibCanvas copy;
    EXPECT_TRUE(copy.CreateFromPackedDib(static_cast<const BITMAPINFO*>(::GlobalLock(hDib)), NO_KEY));
    ::GlobalUnlock(hDib);
    EXPECT_EQ(0, CountMismatches(copy, Rgb24Pixel));

    // The same block adopted: converted to a bitmap the picture owns.
    CDibCanvas adopted(hDib, NO_KEY);
    ASSERT_TRUE(adopted.IsCreated());
    EXPECT_EQ(CString("CREATE_BITMAP|ALLOC_INFO"), adopted.GetKind());
    EXPECT_EQ(0, CountMismatches(adopted, Rgb24Pixel));
    const HGDIOBJ hConverted = adopted.GetSafeHandle();
    adopted.Release();
    EXPECT_EQ(0u, ::GetObjectType(hConverted));
    ::GlobalFree(hDib);
}

TEST(BitmapPacked, BitFieldsPixelsFollowTheirMasks)
{
    // 2 x 2 pixels of 16 bits, 5-6-5: the masks directly behind the header.
    const DWORD cbBlock = sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD) + 2 * 4;
    const HGLOBAL hDib = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, cbBlock);
    BYTE* p = static_cast<BYTE*>(hDib);
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(p);
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = 2;
    pHeader->biHeight = 2;
    pHeader->biPlanes = 1;
    pHeader->biBitCount = 16;
    pHeader->biCompression = BI_BITFIELDS;
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(p + 40, masks, sizeof(masks));
    const WORD pixels[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF}; // bottom row: red, green; top: blue, white
    std::memcpy(p + 52, pixels, sizeof(pixels));

    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateFromPackedDib(reinterpret_cast<const BITMAPINFO*>(p), NO_KEY));
    EXPECT_TRUE(Near(RED, picture.GetPixel(0, 1))) << "red, from behind the 12 bytes of masks";
    EXPECT_TRUE(Near(GREEN, picture.GetPixel(1, 1)));
    EXPECT_TRUE(Near(BLUE, picture.GetPixel(0, 0)));
    EXPECT_TRUE(Near(WHITE, picture.GetPixel(1, 0)));

    const HBITMAP hBitmap = PackedDibToBitmap(hDib);
    ASSERT_NE(nullptr, hBitmap);
    ::DeleteObject(hBitmap);

    // A block shorter than its header says is refused.
    const HGLOBAL hShort = ::GlobalAlloc(GMEM_FIXED, cbBlock - 4);
    std::memcpy(hShort, p, cbBlock - 4);
    EXPECT_EQ(nullptr, PackedDibToBitmap(hShort));
    CDibCanvas refused(hShort, NO_KEY);
    EXPECT_FALSE(refused.IsCreated());
    ::GlobalFree(hShort);
    ::GlobalFree(hDib);
}

TEST(BitmapPacked, HeadersOfUnknownSizeOrHugeRowsAreRefused)
{
    // Above 0xFFFFFBFF the bits' offset wraps round to a small number; rows
    // of 0x40000001 pixels of 32 bits take more bytes than 32 bits count.
    const DWORD kSizes[][3] = {{0xFFFFFFF0, 2, 16}, {39, 2, 16}, {41, 2, 16}, {40, 0x40000001, 32}, {40, MAXDWORD, 32}};
    for (const DWORD* pCase : kSizes)
    {
        std::vector<BYTE> block(2048);
        BITMAPINFOHEADER& bih = *reinterpret_cast<BITMAPINFOHEADER*>(block.data());
        bih = {pCase[0], static_cast<LONG>(pCase[1]), 2, 1, static_cast<WORD>(pCase[2]), BI_RGB, 0, 0, 0, 8, 0};
        const HGLOBAL hDib = ::GlobalAlloc(GMEM_FIXED, block.size());
        std::memcpy(hDib, block.data(), block.size());
        CDibCanvas adopted(hDib, NO_KEY), copied;
        EXPECT_FALSE(adopted.IsCreated()) << pCase[0] << " " << pCase[1];
        EXPECT_FALSE(copied.CreateFromInfo(reinterpret_cast<const BITMAPINFO*>(block.data()), nullptr, NO_KEY));
        ::GlobalFree(hDib);
    }
}

TEST(BitmapPacked, LaterHeaderVersionsKeepTheirColours)
{
    // A version-5 header (124 bytes) with a 2-colour table.
    std::vector<BYTE> block(sizeof(BITMAPV5HEADER) + 2 * sizeof(RGBQUAD) + 4 * 2);
    BITMAPV5HEADER* pHeader = reinterpret_cast<BITMAPV5HEADER*>(block.data());
    pHeader->bV5Size = sizeof(BITMAPV5HEADER);
    pHeader->bV5Width = 2;
    pHeader->bV5Height = 2;
    pHeader->bV5Planes = 1;
    pHeader->bV5BitCount = 1;
    pHeader->bV5ClrUsed = 2;
    const RGBQUAD colors[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}}; // red, blue
    std::memcpy(block.data() + sizeof(BITMAPV5HEADER), colors, sizeof(colors));
    block[sizeof(BITMAPV5HEADER) + 8] = 0x40;     // bottom row: red, blue
    block[sizeof(BITMAPV5HEADER) + 8 + 4] = 0x80; // top row: blue, red
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateFromPackedDib(reinterpret_cast<const BITMAPINFO*>(block.data()), NO_KEY));
    EXPECT_EQ(40u, picture.GetBitmapInfo()->bmiHeader.biSize);
    EXPECT_EQ(BLUE, picture.GetPixel(0, 0));
    EXPECT_EQ(RED, picture.GetPixel(1, 0));
    EXPECT_EQ(RED, picture.GetPixel(0, 1));
    EXPECT_EQ(BLUE, picture.GetPixel(1, 1));
}

TEST(BitmapAttach, AdoptedHandleIsKeptAndDetachHandsItBack)
{
    CDibCanvas maker;
    ASSERT_TRUE(maker.CreateBlank(24, 4, 4, NO_KEY));
    maker.FillSolidRect(0, 0, 4, 4, GREEN);
    const HBITMAP hOwn = maker.Detach();
    ASSERT_NE(nullptr, hOwn);
    EXPECT_FALSE(maker.IsCreated());
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(hOwn)) << "Detach deletes nothing";

    {
        CDibCanvas picture(hOwn, NO_KEY);
        ASSERT_TRUE(picture.IsCreated());
        EXPECT_EQ(CString("ATTACH_BITMAP|ALLOC_INFO"), picture.GetKind());
        EXPECT_EQ(GREEN, picture.GetPixel(2, 2));
        picture.SetPixel(0, 0, RED);
    }
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(hOwn)) << "the caller's bitmap survives";
    CDibCanvas again;
    ASSERT_TRUE(again.AttachBitmap(hOwn, NO_KEY));
    EXPECT_EQ(RED, again.GetPixel(0, 0));
    EXPECT_EQ(hOwn, again.Detach());
    ::DeleteObject(hOwn);

    // A device-dependent bitmap has no bits to address or mask.
    CWindowDC screen(NULL);
    const HBITMAP hDevice = ::CreateCompatibleBitmap(screen, 5, 5);
    CDibCanvas device;
    ASSERT_TRUE(device.AttachBitmap(hDevice, MAGENTA));
    EXPECT_EQ(nullptr, device.GetBits(nullptr));
    EXPECT_EQ(nullptr, device.GetPixelAddress(0, 0));
    EXPECT_EQ(nullptr, device.GetMaskBitmap());
    device.FillSolidRect(0, 0, 5, 5, BLUE);
    EXPECT_EQ(BLUE, device.GetPixel(4, 4));
    device.Release();
    ::DeleteObject(hDevice);

    CDibCanvas nothing;
    EXPECT_FALSE(nothing.AttachBitmap(NULL, NO_KEY));
    EXPECT_FALSE(nothing.AttachBitmap(::GetStockObject(BLACK_PEN), NO_KEY));
}

TEST(BitmapAttach, PaletteSectionIsMaskedByItsOwnColours)
{
    // An 8-bit section whose index 1 is the key and whose index 0 is black.
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 3 * sizeof(RGBQUAD));
    BITMAPINFO* pInfo = reinterpret_cast<BITMAPINFO*>(block.data());
    pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    pInfo->bmiHeader.biWidth = 4;
    pInfo->bmiHeader.biHeight = 2;
    pInfo->bmiHeader.biPlanes = 1;
    pInfo->bmiHeader.biBitCount = 8;
    pInfo->bmiHeader.biClrUsed = 3;
    pInfo->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    pInfo->bmiColors[1] = RGBQUAD{255, 0, 255, 0};
    pInfo->bmiColors[2] = RGBQUAD{0, 255, 0, 0};
    void* pBits = nullptr;
    const HBITMAP hSection = ::CreateDIBSection(NULL, pInfo, DIB_RGB_COLORS, &pBits, NULL, 0);
    ASSERT_NE(nullptr, hSection);
    const BYTE indices[8] = {1, 2, 2, 1, 2, 1, 1, 2}; // bottom row, then top row
    std::memcpy(pBits, indices, sizeof(indices));
    {
        CDibCanvas picture(hSection, MAGENTA);
        ASSERT_NE(nullptr, picture.GetMaskBitmap());
        for (int x = 0; x < 4; ++x)
        {
            EXPECT_EQ(indices[4 + x] == 1, MaskBit(picture, x, 0)) << x;
            EXPECT_EQ(indices[x] == 1, MaskBit(picture, x, 1)) << x;
        }
        EXPECT_EQ(BLACK, picture.GetPixel(0, 1)) << "a key pixel, now black";
        EXPECT_EQ(GREEN, picture.GetPixel(1, 1));
    }
    ::DeleteObject(hSection);
}

TEST(BitmapAttach, DirectColourPicturesAreMaskedByTheirOwnColourBits)
{
    // Magenta and blue, plain and with bits set that hold no colour: the
    // spare bit of 5-5-5, the low byte of 32 bits with colour in the top three.
    struct Case
    {
        WORD biBitCount;
        DWORD dwCompression;
        DWORD masks[3];
        DWORD pixels[4];
    };
    const Case kCases[] = {
        {16, BI_RGB, {}, {0x7C1F, 0xFC1F, 0x001F, 0x801F}},
        {32, BI_BITFIELDS, {0xFF000000, 0x00FF0000, 0x0000FF00}, {0xFF00FF00, 0xFF00FF5A, 0x0000FF00, 0x0000FF5A}},
    };
    for (const Case& c : kCases)
    {
        std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + sizeof(c.masks)), bits(16);
        BITMAPINFO* pInfo = reinterpret_cast<BITMAPINFO*>(block.data());
        pInfo->bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 1, 1, c.biBitCount, c.dwCompression, 0, 0, 0, 0, 0};
        std::memcpy(pInfo->bmiColors, c.masks, sizeof(c.masks));
        for (int x = 0; x < 4; ++x)
            std::memcpy(&bits[x * c.biBitCount / 8], &c.pixels[x], c.biBitCount / 8);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateFromInfo(pInfo, bits.data(), MAGENTA)) << c.biBitCount;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(x < 2, MaskBit(picture, x, 0)) << c.biBitCount << " bits, pixel " << x;
        EXPECT_EQ(BLUE, picture.GetPixel(3, 0)) << c.biBitCount;
    }
}

TEST(BitmapRelease, InsideABracketTheBitmapIsReallyDeleted)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 4, 4, NO_KEY));
    const HGDIOBJ hBitmap = picture.GetSafeHandle();
    picture.BeginDraw();
    picture.Release();
    EXPECT_EQ(0u, ::GetObjectType(hBitmap));
    EXPECT_EQ(::GetCurrentThreadId(), picture.GetLockOwner()) << "the bracket still holds the lock";
    picture.EndDraw();
    EXPECT_EQ(0u, picture.GetLockOwner());
}

// ---- Drawing into other contexts ----

TEST(BitmapDraw, MaskLeavesKeyPixelsOfTheDestinationUntouched)
{
    CDibCanvas picture(NULL, IDB_KEY4, MAGENTA);
    ASSERT_TRUE(picture.IsCreated());
    CTestTarget target(30, 20, BLUE);
    // Colours of the destination must not change what the mask does.
    target.DC()->SetTextColor(GREEN);
    target.DC()->SetBkColor(RED);
    picture.Draw(target.DC(), 3, 2, 0, 0, 0, 0, SRCCOPY);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
        {
            const COLORREF cr = Key4Pixel(x, y);
            EXPECT_EQ(cr == MAGENTA ? BLUE : cr, target.Pixel(3 + x, 2 + y)) << x << "," << y;
        }
    EXPECT_EQ(BLUE, target.Pixel(2, 2));
    EXPECT_EQ(BLUE, target.Pixel(23, 5));
    EXPECT_EQ(GREEN, target.DC()->GetTextColor()) << "the destination's state is restored";
}

TEST(BitmapDraw, MaskWorksWhenThePaletteHasNoBlack)
{
    CDibCanvas picture(NULL, IDB_SHORT8, MAGENTA);
    ASSERT_NE(nullptr, picture.GetMaskBitmap());
    CTestTarget target(6, 3, BLUE);
    picture.Draw(target.DC(), 0, 0, 0, 0, 0, 0, SRCCOPY);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
        {
            const COLORREF cr = Short8Pixel(x, y);
            EXPECT_EQ(cr == MAGENTA ? BLUE : cr, target.Pixel(x, y)) << x << "," << y;
        }
}

TEST(BitmapDraw, TilesStartAtTheSourceOffsetThenRepeatWhole)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 100, 2, NO_KEY));
    Paint(picture, [](int x, int) { return RGB(x, 0, 0); });
    CTestTarget target(260, 4, WHITE);
    picture.TileDraw(target.DC(), 0, 0, 250, 2, 10, 0, SRCCOPY);
    // Tiles of 90, 100 and 60 pixels.
    for (int x = 0; x < 250; ++x)
    {
        const int xSource = x < 90 ? x + 10 : (x < 190 ? x - 90 : x - 190);
        ASSERT_EQ(RGB(xSource, 0, 0), target.Pixel(x, 1)) << x;
    }
    EXPECT_EQ(WHITE, target.Pixel(250, 1));
    EXPECT_EQ(WHITE, target.Pixel(0, 2));

    // A start beyond the picture wraps instead of making empty tiles.
    picture.TileDraw(target.DC(), 0, 0, 20, 2, 250, 3, SRCCOPY);
    EXPECT_EQ(RGB(50, 0, 0), target.Pixel(0, 0));
}

TEST(BitmapDraw, StretchedPicturesWiderThanTheScreenComeInBands)
{
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    const int nWidth = cxScreen * 2 + 300;
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, nWidth, 2, NO_KEY));
    picture.FillSolidRect(0, 0, nWidth / 3, 2, RED);
    picture.FillSolidRect(nWidth / 3, 0, nWidth / 3, 2, GREEN);
    picture.FillSolidRect(2 * (nWidth / 3), 0, nWidth, 2, BLUE);

    for (int cx : {60, 6})
    {
        SCOPED_TRACE(cx);
        CTestTarget target(70, 4, WHITE);
        picture.StretchDraw(target.DC(), 0, 0, cx, 2, 0, 0, 0, 0, SRCCOPY);
        EXPECT_EQ(RED, target.Pixel(0, 0));
        EXPECT_EQ(GREEN, target.Pixel(cx / 2, 1));
        EXPECT_EQ(BLUE, target.Pixel(cx - 1, 0));
        EXPECT_EQ(WHITE, target.Pixel(cx, 0)) << "nothing beyond the destination";
        EXPECT_EQ(WHITE, target.Pixel(cx / 2, 2));
    }
}

TEST(BitmapDraw, StretchedThroughTheMask)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 4, 4, NO_KEY));
    picture.FillSolidRect(0, 0, 2, 4, RED);
    picture.FillSolidRect(2, 0, 2, 4, MAGENTA);
    picture.SetTransparentColor(MAGENTA);
    ASSERT_NE(nullptr, picture.GetMaskBitmap());
    CTestTarget target(16, 16, GREEN);
    picture.StretchDraw(target.DC(), 0, 0, 16, 16, 0, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(RED, target.Pixel(2, 8));
    EXPECT_EQ(GREEN, target.Pixel(13, 8));

    picture.MakeTransparent(CDibCanvas::NO_KEY);
    EXPECT_EQ(nullptr, picture.GetMaskBitmap()) << "no key, no mask";
}

TEST(BitmapDraw, DirectDepthsFindTheirKey)
{
    for (int nBitCount : {16, 24, 32})
    {
        SCOPED_TRACE(nBitCount);
        CDibCanvas picture;
        ASSERT_TRUE(picture.CreateBlank(nBitCount, 5, 3, NO_KEY));
        picture.FillSolidRect(0, 0, 5, 3, MAGENTA);
        picture.SetPixelV(1, 1, GREEN);
        picture.SetPixelV(4, 0, WHITE);
        picture.SetTransparentColor(MAGENTA);
        ASSERT_NE(nullptr, picture.GetMaskBitmap());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const bool bOpaque = (x == 1 && y == 1) || (x == 4 && y == 0);
                EXPECT_EQ(!bOpaque, MaskBit(picture, x, y)) << x << "," << y;
                if (!bOpaque)
                {
                    EXPECT_EQ(BLACK, picture.GetPixel(x, y));
                }
            }
        EXPECT_EQ(GREEN, picture.GetPixel(1, 1));
    }
}
