// .bmp files a user may hand the program: valid pictures of every kind load
// with the right pixels; truncated, lying or hostile files fail cleanly.
#include "draw/DibCanvas.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
const COLORREF NO_KEY = CDibCanvas::NO_KEY;

// Offsets of the fields in a file with a 40-byte (or longer) header.
const size_t AT_OFF_BITS = 10;
const size_t AT_HEADER_SIZE = 14;
const size_t AT_WIDTH = 18;
const size_t AT_HEIGHT = 22;
const size_t AT_PLANES = 26;
const size_t AT_BIT_COUNT = 28;
const size_t AT_COMPRESSION = 30;
const size_t AT_SIZE_IMAGE = 34;
const size_t AT_CLR_USED = 46;
const size_t AT_MASKS = 54;

void Put32(std::string& str, size_t n, DWORD dw)
{
    str.replace(n, sizeof(dw), reinterpret_cast<const char*>(&dw), sizeof(dw));
}

void Put16(std::string& str, size_t n, WORD w)
{
    str.replace(n, sizeof(w), reinterpret_cast<const char*>(&w), sizeof(w));
}

void Append32(std::string& str, DWORD dw)
{
    str.append(reinterpret_cast<const char*>(&dw), sizeof(dw));
}

void Append16(std::string& str, WORD w)
{
    str.append(reinterpret_cast<const char*>(&w), sizeof(w));
}

DWORD Get32(const std::string& str, size_t n)
{
    DWORD dw = 0;
    std::memcpy(&dw, &str[n], sizeof(dw));
    return dw;
}

COLORREF TableColor(int n)
{
    return RGB((n * 37 + 11) & 0xFF, (n * 91 + 3) & 0xFF, (n * 53 + 17) & 0xFF);
}

// A picture to write: its header, its pixels as raw values and as the
// colours they stand for.
struct Sample
{
    const char* pszName;
    DWORD nHeaderSize; // 12: old style
    int nBitCount;
    DWORD dwCompression;
    int cx;
    int cy; // negative: rows top-down
};

int IndexAt(int x, int y, int nColors)
{
    return (x * 3 + y * 5) % nColors;
}

// 16-bit values whose colours every expansion reads back exactly.
const WORD RGB565[] = {0x0000, 0xF800, 0x07E0, 0x001F, 0xFFFF};
const WORD RGB555[] = {0x0000, 0x7C00, 0x03E0, 0x001F, 0x7FFF};
const COLORREF EXACT16[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

COLORREF ExpectedPixel(const Sample& s, int x, int y)
{
    if (s.nBitCount <= 8)
        return TableColor(IndexAt(x, y, 1 << s.nBitCount));
    if (s.nBitCount == 16)
        return EXACT16[(x + 2 * y) % 5];
    return RGB((x * 40) & 0xFF, (y * 60) & 0xFF, (x * y * 10 + 5) & 0xFF);
}

DWORD RawPixel(const Sample& s, int x, int y)
{
    if (s.nBitCount <= 8)
        return static_cast<DWORD>(IndexAt(x, y, 1 << s.nBitCount));
    if (s.nBitCount == 16)
        return s.dwCompression == BI_BITFIELDS ? RGB565[(x + 2 * y) % 5] : RGB555[(x + 2 * y) % 5];
    const COLORREF cr = ExpectedPixel(s, x, y);
    return (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
}

// Picture line of file row nRow.
int LineOfRow(const Sample& s, int nRow)
{
    return s.cy < 0 ? nRow : s.cy - 1 - nRow;
}

std::string PlainRows(const Sample& s)
{
    const int cy = s.cy < 0 ? -s.cy : s.cy;
    const size_t nStride = (static_cast<size_t>(s.nBitCount) * s.cx + 31) / 32 * 4;
    std::string str(nStride * cy, '\0');
    for (int nRow = 0; nRow < cy; ++nRow)
    {
        BYTE* p = reinterpret_cast<BYTE*>(&str[nStride * nRow]);
        for (int x = 0; x < s.cx; ++x)
        {
            const DWORD v = RawPixel(s, x, LineOfRow(s, nRow));
            if (s.nBitCount == 1)
                p[x / 8] = static_cast<BYTE>(p[x / 8] | (v << (7 - x % 8)));
            else if (s.nBitCount == 4)
                p[x / 2] = static_cast<BYTE>(p[x / 2] | (x % 2 ? v : v << 4));
            else
                std::memcpy(p + x * (s.nBitCount / 8), &v, static_cast<size_t>(s.nBitCount / 8));
        }
    }
    return str;
}

// Even rows as counted runs, odd rows as one literal run when long enough.
std::string EncodedRows(const Sample& s)
{
    const bool bNibbles = s.nBitCount == 4;
    std::string str;
    for (int nRow = 0; nRow < s.cy; ++nRow)
    {
        const int y = LineOfRow(s, nRow);
        auto raw = [&](int x) { return static_cast<char>(RawPixel(s, x, y)); };
        if (nRow % 2 && s.cx >= 3)
        {
            str += '\0';
            str += static_cast<char>(s.cx);
            std::string literal;
            for (int x = 0; x < s.cx; x += bNibbles ? 2 : 1)
                literal += bNibbles ? static_cast<char>(raw(x) << 4 | (x + 1 < s.cx ? raw(x + 1) : 0)) : raw(x);
            if (literal.size() % 2)
                literal += '\0';
            str += literal;
        }
        else
        {
            for (int x = 0; x < s.cx; x += bNibbles ? 2 : 1)
            {
                const int nCount = bNibbles && x + 1 < s.cx ? 2 : 1;
                str += static_cast<char>(nCount);
                str += bNibbles ? static_cast<char>(raw(x) << 4 | (nCount == 2 ? raw(x + 1) : 0)) : raw(x);
            }
        }
        str += std::string("\0\0", 2);
    }
    return str + std::string("\0\1", 2);
}

std::string BuildFile(const Sample& s)
{
    const bool bCore = s.nHeaderSize == sizeof(BITMAPCOREHEADER);
    const bool bEncoded = s.dwCompression == BI_RLE8 || s.dwCompression == BI_RLE4;
    const std::string strPixels = bEncoded ? EncodedRows(s) : PlainRows(s);
    std::string str = "BM";
    Append32(str, 0); // bfSize, filled in below
    Append32(str, 0);
    Append32(str, 0); // bfOffBits, filled in below
    Append32(str, s.nHeaderSize);
    if (bCore)
    {
        Append16(str, static_cast<WORD>(s.cx));
        Append16(str, static_cast<WORD>(s.cy));
        Append16(str, 1);
        Append16(str, static_cast<WORD>(s.nBitCount));
    }
    else
    {
        Append32(str, static_cast<DWORD>(s.cx));
        Append32(str, static_cast<DWORD>(s.cy));
        Append16(str, 1);
        Append16(str, static_cast<WORD>(s.nBitCount));
        Append32(str, s.dwCompression);
        Append32(str, bEncoded ? static_cast<DWORD>(strPixels.size()) : 0);
        Append32(str, 2835);
        Append32(str, 2835);
        Append32(str, 0);
        Append32(str, 0);
        const size_t nMasks = str.size();
        str.resize(AT_HEADER_SIZE + s.nHeaderSize, '\0');
        if (s.dwCompression == BI_BITFIELDS)
        {
            if (s.nHeaderSize == sizeof(BITMAPINFOHEADER))
                str.resize(str.size() + 12, '\0');
            const DWORD masks[3] = {s.nBitCount == 16 ? 0xF800u : 0xFF0000u, s.nBitCount == 16 ? 0x07E0u : 0xFF00u,
                                    s.nBitCount == 16 ? 0x001Fu : 0xFFu};
            for (int i = 0; i < 3; ++i)
                Put32(str, nMasks + 4 * i, masks[i]);
        }
    }
    if (s.nBitCount <= 8)
    {
        for (int i = 0; i < 1 << s.nBitCount; ++i)
        {
            const COLORREF cr = TableColor(i);
            str += static_cast<char>(GetBValue(cr));
            str += static_cast<char>(GetGValue(cr));
            str += static_cast<char>(GetRValue(cr));
            if (!bCore)
                str += '\0';
        }
    }
    Put32(str, AT_OFF_BITS, static_cast<DWORD>(str.size()));
    str += strPixels;
    Put32(str, 2, static_cast<DWORD>(str.size()));
    return str;
}

const Sample SAMPLES[] = {
    {"1 bit", 40, 1, BI_RGB, 13, 5},
    {"4 bits", 40, 4, BI_RGB, 7, 3},
    {"8 bits", 40, 8, BI_RGB, 5, 4},
    {"16 bits 5-6-5", 40, 16, BI_BITFIELDS, 3, 3},
    {"16 bits 5-5-5", 40, 16, BI_RGB, 5, 2},
    {"24 bits", 40, 24, BI_RGB, 5, 3},
    {"32 bits", 40, 32, BI_RGB, 3, 2},
    {"32 bits with masks", 40, 32, BI_BITFIELDS, 3, 2},
    {"24 bits top-down", 40, 24, BI_RGB, 7, -4},
    {"8 bits top-down", 40, 8, BI_RGB, 3, -3},
    {"old-style 24 bits", 12, 24, BI_RGB, 5, 3},
    {"old-style 8 bits", 12, 8, BI_RGB, 3, 2},
    {"version 4 header 16 bits", 108, 16, BI_BITFIELDS, 5, 3},
    {"version 5 header 8 bits", 124, 8, BI_RGB, 6, 2},
    {"header with masks 32 bits", 52, 32, BI_BITFIELDS, 2, 2},
    {"RLE8", 40, 8, BI_RLE8, 9, 4},
    {"RLE4", 40, 4, BI_RLE4, 9, 4},
};

class BmpFileTest : public ::testing::Test
{
protected:
    void TearDown() override { ::DeleteFileA(m_strPath.c_str()); }

    // Writes the bytes and loads them into a picture that held another one.
    BOOL Load(const std::string& strBytes, CDibCanvas& picture)
    {
        const HANDLE h = ::CreateFileA(m_strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD cb = 0;
        const BOOL bWritten = ::WriteFile(h, strBytes.data(), static_cast<DWORD>(strBytes.size()), &cb, NULL);
        ::CloseHandle(h);
        EXPECT_TRUE(bWritten);
        EXPECT_TRUE(picture.CreateBlank(24, 2, 2, NO_KEY));
        return picture.LoadFile(m_strPath.c_str(), NO_KEY);
    }

    void ExpectRefused(const std::string& strBytes)
    {
        CDibCanvas picture;
        EXPECT_FALSE(Load(strBytes, picture));
        EXPECT_FALSE(picture.IsCreated()) << "left empty";
        EXPECT_EQ(0, picture.GetWidth());
        EXPECT_EQ(nullptr, picture.GetBitmapInfo());
    }

    std::string m_strPath = TempFolder() + "glimwick_test_bmpfile.bmp";
};

int Mismatches(CDibCanvas& picture, const std::function<COLORREF(int, int)>& expected)
{
    int n = 0;
    picture.BeginDraw();
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            n += picture.GetPixel(x, y) != expected(x, y);
    picture.EndDraw();
    return n;
}
} // namespace

TEST_F(BmpFileTest, EveryKindOfPictureLoadsWithItsPixels)
{
    for (const Sample& s : SAMPLES)
    {
        SCOPED_TRACE(s.pszName);
        CDibCanvas picture;
        ASSERT_TRUE(Load(BuildFile(s), picture));
        EXPECT_EQ(s.cx, picture.GetWidth());
        EXPECT_EQ(s.cy < 0 ? -s.cy : s.cy, picture.GetHeight());
        EXPECT_EQ(s.nBitCount, picture.GetBitmapInfo()->bmiHeader.biBitCount);
        EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return ExpectedPixel(s, x, y); }));
    }
}

TEST_F(BmpFileTest, OnePixelAtEveryDepthAndOddWidths)
{
    for (int nBitCount : {1, 4, 8, 16, 24, 32})
    {
        for (int cx : {1, 2, 3, 5, 7, 9, 33})
        {
            SCOPED_TRACE(std::to_string(nBitCount) + " bits, " + std::to_string(cx) + " wide");
            const Sample s = {"", 40, nBitCount, nBitCount == 16 ? static_cast<DWORD>(BI_BITFIELDS) : BI_RGB, cx,
                              cx == 1 ? 1 : 2};
            CDibCanvas picture;
            ASSERT_TRUE(Load(BuildFile(s), picture));
            EXPECT_EQ(cx, picture.GetWidth());
            EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return ExpectedPixel(s, x, y); }));
        }
    }
}

TEST_F(BmpFileTest, PixelsMayStandAfterAGap)
{
    const Sample s = {"", 40, 24, BI_RGB, 3, 2};
    std::string str = BuildFile(s);
    const size_t nBits = Get32(str, AT_OFF_BITS);
    str.insert(nBits, 10, '\x55');
    Put32(str, AT_OFF_BITS, static_cast<DWORD>(nBits + 10));
    CDibCanvas picture;
    ASSERT_TRUE(Load(str, picture));
    EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return ExpectedPixel(s, x, y); }));

    // No offset: the pixels follow the colour table.
    Put32(str, AT_OFF_BITS, 0);
    str.erase(nBits, 10);
    ASSERT_TRUE(Load(str, picture));
    EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return ExpectedPixel(s, x, y); }));
}

TEST_F(BmpFileTest, EncodedPicturesMoveSkipAndClip)
{
    // 4 x 3, rows from the bottom: a run of 6 cut at the edge, end of line,
    // a move by (3, 0), a pixel, end of line, three literal pixels, the end.
    const Sample s = {"", 40, 8, BI_RLE8, 4, 3};
    std::string str = BuildFile(s);
    const size_t nBits = Get32(str, AT_OFF_BITS);
    const std::string strStream("\x06\x05"
                                "\x00\x00"
                                "\x00\x02\x03\x00"
                                "\x01\x07"
                                "\x00\x00"
                                "\x00\x03\x01\x02\x03\x00"
                                "\x00\x01",
                                20);
    str = str.substr(0, nBits) + strStream;
    Put32(str, AT_SIZE_IMAGE, static_cast<DWORD>(strStream.size()));
    const int expected[3][4] = {{1, 2, 3, 0}, {0, 0, 0, 7}, {5, 5, 5, 5}};
    CDibCanvas picture;
    ASSERT_TRUE(Load(str, picture));
    EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return TableColor(expected[y][x]); }));

    // Without its end mark the stream ends with its bytes.
    std::string strNoEnd = str.substr(0, str.size() - 2);
    Put32(strNoEnd, AT_SIZE_IMAGE, static_cast<DWORD>(strStream.size() - 2));
    ASSERT_TRUE(Load(strNoEnd, picture));
    EXPECT_EQ(0, Mismatches(picture, [&](int x, int y) { return TableColor(expected[y][x]); }));

    // Moves and runs far outside the picture put nothing anywhere.
    std::string strOutside = str.substr(0, nBits) + std::string("\x00\x02\xFF\xFF"
                                                                "\xFF\x09"
                                                                "\x00\x05\x01\x01\x01\x01\x01\x00"
                                                                "\x00\x01",
                                                                16);
    Put32(strOutside, AT_SIZE_IMAGE, 16);
    ASSERT_TRUE(Load(strOutside, picture));
    EXPECT_EQ(0, Mismatches(picture, [](int, int) { return TableColor(0); }));
}

TEST_F(BmpFileTest, MalformedFilesAreRefused)
{
    const std::string str8 = BuildFile({"", 40, 8, BI_RGB, 5, 4});
    const std::string str24 = BuildFile({"", 40, 24, BI_RGB, 5, 3});
    const std::string str16 = BuildFile({"", 40, 16, BI_BITFIELDS, 3, 3});
    const std::string strRle = BuildFile({"", 40, 8, BI_RLE8, 9, 4});
    const std::string strCore = BuildFile({"", 12, 8, BI_RGB, 3, 2});

    struct Case
    {
        const char* pszName;
        std::function<std::string()> make;
    };
    auto with32 = [](std::string str, size_t n, DWORD dw) {
        Put32(str, n, dw);
        return str;
    };
    auto with16 = [](std::string str, size_t n, WORD w) {
        Put16(str, n, w);
        return str;
    };
    const Case cases[] = {
        {"empty", [] { return std::string(); }},
        {"only the type", [] { return std::string("BM"); }},
        {"text", [] { return std::string("not a picture at all, only some text"); }},
        {"other type", [&] { return "MB" + str24.substr(2); }},
        {"file header cut", [&] { return str24.substr(0, 10); }},
        {"header cut", [&] { return str24.substr(0, 30); }},
        {"header size 0", [&] { return with32(str24, AT_HEADER_SIZE, 0); }},
        {"header size 39", [&] { return with32(str24, AT_HEADER_SIZE, 39); }},
        {"header size 64", [&] { return with32(str24, AT_HEADER_SIZE, 64); }},
        {"header size huge", [&] { return with32(str24, AT_HEADER_SIZE, 0xFFFFFFF0); }},
        {"width 0", [&] { return with32(str24, AT_WIDTH, 0); }},
        {"width negative", [&] { return with32(str24, AT_WIDTH, static_cast<DWORD>(-5)); }},
        {"height 0", [&] { return with32(str24, AT_HEIGHT, 0); }},
        {"height most negative", [&] { return with32(str24, AT_HEIGHT, 0x80000000); }},
        {"height larger than the file", [&] { return with32(str24, AT_HEIGHT, 4); }},
        {"planes 0", [&] { return with16(str24, AT_PLANES, 0); }},
        {"planes 2", [&] { return with16(str24, AT_PLANES, 2); }},
        {"bit count 0", [&] { return with16(str24, AT_BIT_COUNT, 0); }},
        {"bit count 2", [&] { return with16(str8, AT_BIT_COUNT, 2); }},
        {"bit count 15", [&] { return with16(str24, AT_BIT_COUNT, 15); }},
        {"bit count 64", [&] { return with16(str24, AT_BIT_COUNT, 64); }},
        {"bit fields at 24 bits", [&] { return with32(str24, AT_COMPRESSION, BI_BITFIELDS); }},
        {"bit fields at 8 bits", [&] { return with32(str8, AT_COMPRESSION, BI_BITFIELDS); }},
        {"JPEG", [&] { return with32(str24, AT_COMPRESSION, BI_JPEG); }},
        {"PNG", [&] { return with32(str24, AT_COMPRESSION, BI_PNG); }},
        {"unknown compression", [&] { return with32(str24, AT_COMPRESSION, 0x12345678); }},
        {"RLE8 at 24 bits", [&] { return with32(str24, AT_COMPRESSION, BI_RLE8); }},
        {"RLE4 at 8 bits", [&] { return with32(strRle, AT_COMPRESSION, BI_RLE4); }},
        {"RLE top-down", [&] { return with32(strRle, AT_HEIGHT, static_cast<DWORD>(-4)); }},
        {"RLE without size", [&] { return with32(strRle, AT_SIZE_IMAGE, 0); }},
        {"RLE size beyond the file", [&] { return with32(strRle, AT_SIZE_IMAGE, Get32(strRle, AT_SIZE_IMAGE) + 1); }},
        {"RLE move cut",
         [&] {
             const size_t nBits = Get32(strRle, AT_OFF_BITS);
             return with32(strRle.substr(0, nBits) + std::string("\x00\x02\x01", 3), AT_SIZE_IMAGE, 3);
         }},
        {"RLE literal cut",
         [&] {
             const size_t nBits = Get32(strRle, AT_OFF_BITS);
             return with32(strRle.substr(0, nBits) + std::string("\x00\x05\x01\x02", 4), AT_SIZE_IMAGE, 4);
         }},
        {"RLE of a giant picture",
         [&] { return with32(with32(strRle, AT_WIDTH, 20000), AT_HEIGHT, 20000); }},
        {"masks of zero", [&] { return with32(str16, AT_MASKS, 0); }},
        {"masks overlapping", [&] { return with32(str16, AT_MASKS + 4, 0x0FE0); }},
        {"mask with a gap", [&] { return with32(str16, AT_MASKS, 0xD800); }},
        {"mask beyond the depth", [&] { return with32(str16, AT_MASKS, 0x1F800); }},
        {"masks cut", [&] { return str16.substr(0, AT_MASKS + 6); }},
        {"colour count above the depth", [&] { return with32(str8, AT_CLR_USED, 257); }},
        {"colour count huge", [&] { return with32(str8, AT_CLR_USED, 0x40000000); }},
        {"colour count at 24 bits huge", [&] { return with32(str24, AT_CLR_USED, 300); }},
        {"colour table cut", [&] { return str8.substr(0, AT_HEADER_SIZE + 40 + 500); }},
        {"colours beyond the file", [&] { return with32(str24, AT_CLR_USED, 200); }},
        {"offset beyond the file", [&] { return with32(str24, AT_OFF_BITS, static_cast<DWORD>(str24.size() + 1)); }},
        {"offset inside the header", [&] { return with32(str24, AT_OFF_BITS, 20); }},
        {"offset inside the colours", [&] { return with32(str8, AT_OFF_BITS, AT_HEADER_SIZE + 40 + 100); }},
        {"offset largest", [&] { return with32(str24, AT_OFF_BITS, 0xFFFFFFFF); }},
        {"pixels one byte short", [&] { return str24.substr(0, str24.size() - 1); }},
        {"pixels missing", [&] { return str24.substr(0, Get32(str24, AT_OFF_BITS)); }},
        {"width with a row longer than 4 GB", [&] { return with32(with32(str24, AT_WIDTH, 0x40000000), AT_BIT_COUNT, 32); }},
        {"width largest", [&] { return with32(with32(str24, AT_WIDTH, 0x7FFFFFFF), AT_HEIGHT, 1); }},
        {"giant picture", [&] { return with32(with32(str24, AT_WIDTH, 100000), AT_HEIGHT, 100000); }},
        {"old style width 0", [&] { return with16(strCore, 18, 0); }},
        {"old style planes 0", [&] { return with16(strCore, 22, 0); }},
        {"old style 32 bits", [&] { return with16(strCore, 24, 32); }},
        {"old style colours cut", [&] { return strCore.substr(0, AT_HEADER_SIZE + 12 + 100); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        ExpectRefused(c.make());
    }
}

TEST_F(BmpFileTest, MissingFileIsRefused)
{
    CDibCanvas picture;
    ASSERT_TRUE(picture.CreateBlank(24, 2, 2, NO_KEY));
    EXPECT_FALSE(picture.LoadFile((TempFolder() + "glimwick_no_such_picture.bmp").c_str(), NO_KEY));
    EXPECT_FALSE(picture.IsCreated());
}

namespace
{
// The file without its file header as a packed DIB from outside: adopted
// from a global block, and copied (from room for any colour table).
void CheckPackedForms(const std::string& str)
{
    if (str.size() <= AT_HEADER_SIZE)
        return;
    std::string packed = str.substr(AT_HEADER_SIZE);
    const HGLOBAL hDib = ::GlobalAlloc(GMEM_FIXED, packed.size());
    ASSERT_NE(nullptr, hDib);
    std::memcpy(hDib, packed.data(), packed.size());
    packed.resize(std::max<size_t>(packed.size(), 2048));
    const BITMAPINFOHEADER& bih = *reinterpret_cast<const BITMAPINFOHEADER*>(packed.data());
    CDibCanvas adopted(hDib, NO_KEY);
    CDibCanvas copied;
    copied.CreateFromInfo(reinterpret_cast<const BITMAPINFO*>(packed.data()), nullptr, NO_KEY);
    for (CDibCanvas* pPicture : {&adopted, &copied})
    {
        if (!pPicture->IsCreated())
            continue;
        ASSERT_GE(bih.biSize, sizeof(BITMAPINFOHEADER));
        ASSERT_EQ(bih.biWidth, pPicture->GetWidth());
        ASSERT_EQ(bih.biHeight < 0 ? -static_cast<long long>(bih.biHeight) : bih.biHeight, pPicture->GetHeight());
    }
    ::GlobalFree(hDib);
}
} // namespace

TEST_F(BmpFileTest, MutatedHeadersNeverCrashAndLoadOnlyWhatTheySay)
{
    // Header fields overwritten with values at and around their limits,
    // random bytes, and cuts, over valid files of several kinds; the same
    // headers as packed DIBs from outside.
    const Sample bases[] = {SAMPLES[0], SAMPLES[1], SAMPLES[2], SAMPLES[3], SAMPLES[5],
                            SAMPLES[6], SAMPLES[8], SAMPLES[10], SAMPLES[15], SAMPLES[16]};
    const DWORD values[] = {0,          1,          2,          3,          4,          8,          16,
                            24,         32,         40,         0x7FFF,     0xFFFF,     0x10000,    0x7FFFFFFF,
                            0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x40000000, 12,         108,        124};
    const size_t fields[] = {2, AT_OFF_BITS, AT_HEADER_SIZE, AT_WIDTH, AT_HEIGHT, AT_PLANES, AT_BIT_COUNT, AT_COMPRESSION,
                             AT_SIZE_IMAGE, AT_CLR_USED, AT_MASKS, AT_MASKS + 4};
    unsigned nSeed = 20240607;
    auto next = [&] {
        nSeed = nSeed * 1103515245u + 12345u;
        return nSeed >> 8;
    };
    int nLoaded = 0;
    for (int i = 0; i < 2000; ++i)
    {
        const Sample& base = bases[next() % (sizeof(bases) / sizeof(bases[0]))];
        std::string str = BuildFile(base);
        const int nEdits = 1 + static_cast<int>(next() % 3);
        for (int k = 0; k < nEdits; ++k)
        {
            switch (next() % 4)
            {
            case 0:
            {
                const size_t n = fields[next() % (sizeof(fields) / sizeof(fields[0]))];
                if (n + 4 <= str.size())
                    Put32(str, n, values[next() % (sizeof(values) / sizeof(values[0]))] + (next() % 3) - 1);
                break;
            }
            case 1:
            {
                const size_t n = fields[next() % (sizeof(fields) / sizeof(fields[0]))];
                if (n + 2 <= str.size())
                    Put16(str, n, static_cast<WORD>(next()));
                break;
            }
            case 2:
                if (!str.empty())
                    str[next() % std::min<size_t>(str.size(), 80)] = static_cast<char>(next());
                break;
            default:
                str.resize(next() % (str.size() + 1));
                break;
            }
        }
        SCOPED_TRACE("mutation " + std::to_string(i));
        CheckPackedForms(str);
        CDibCanvas picture;
        if (!Load(str, picture))
        {
            ASSERT_FALSE(picture.IsCreated());
            continue;
        }
        ++nLoaded;
        // What the header said, in either of its forms.
        ASSERT_GE(str.size(), AT_HEADER_SIZE + 12);
        long long cx = 0, cy = 0;
        if (Get32(str, AT_HEADER_SIZE) == sizeof(BITMAPCOREHEADER))
        {
            WORD w, h;
            std::memcpy(&w, &str[18], 2);
            std::memcpy(&h, &str[20], 2);
            cx = w;
            cy = h;
        }
        else
        {
            cx = static_cast<LONG>(Get32(str, AT_WIDTH));
            cy = static_cast<LONG>(Get32(str, AT_HEIGHT));
        }
        ASSERT_EQ(cx, picture.GetWidth());
        ASSERT_EQ(cy < 0 ? -cy : cy, picture.GetHeight());
        ASSERT_NE(nullptr, picture.GetBits(nullptr));
    }
    // Most edits break a file, but not all: both outcomes were seen.
    EXPECT_GT(nLoaded, 50);
    EXPECT_LT(nLoaded, 1900);
}
