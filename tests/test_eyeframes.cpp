// The tray eye's frame icons, loaded as the program loads them and read back
// pixel by pixel, against the eye's shape map (res/eye_shape.txt, resource
// 600 of this test program).
#include "frame/GdiObject.h"
#include "frame/WindowDC.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
const WORD IDR_EYE_SHAPE = 600;
const int ICON_SIZE = 16;

const COLORREF CR_BLACK = RGB(0, 0, 0);
const COLORREF CR_BLACK_256 = RGB(4, 4, 4);
const COLORREF CR_WHITE = RGB(255, 255, 255);
const COLORREF CR_GREY = RGB(128, 128, 128);
const COLORREF CR_LIGHT_GREY = RGB(192, 192, 192);
const COLORREF CR_YELLOW = RGB(255, 255, 0);
const COLORREF CR_BLUE = RGB(0, 0, 255);

// 16 rows of 16 characters: '.' transparent, 'K' outline, 'm' outline where
// the markers put their pattern, 'l'/'r' inside an eye, 'p' inside where the
// printed pupils go.
using ShapeMap = std::vector<std::string>;

ShapeMap LoadShape()
{
    ShapeMap shape;
    HRSRC hRes = ::FindResourceA(NULL, MAKEINTRESOURCEA(IDR_EYE_SHAPE), RT_RCDATA);
    HGLOBAL hData = hRes ? ::LoadResource(NULL, hRes) : NULL;
    const char* pText = hData ? static_cast<const char*>(::LockResource(hData)) : nullptr;
    if (!pText)
        return shape;
    std::istringstream lines(std::string(pText, ::SizeofResource(NULL, hRes)));
    std::string line;
    while (std::getline(lines, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            shape.push_back(line);
    }
    return shape;
}

// The eyes' extent in the map, so the checks of what lies around them follow
// the map rather than numbers of their own.
struct EyeBounds
{
    int nTop = ICON_SIZE, nBottom = -1;
    int nRightEyeLeft = ICON_SIZE, nRightEyeRight = -1;
};

EyeBounds BoundsOf(const ShapeMap& shape)
{
    EyeBounds b;
    for (int y = 0; y < ICON_SIZE; ++y)
        for (int x = 0; x < ICON_SIZE; ++x)
        {
            if (shape[y][x] == '.')
                continue;
            b.nTop = std::min(b.nTop, y);
            b.nBottom = std::max(b.nBottom, y);
            // The right eye is everything right of the marker column.
            if (x > 7)
            {
                b.nRightEyeLeft = std::min(b.nRightEyeLeft, x);
                b.nRightEyeRight = std::max(b.nRightEyeRight, x);
            }
        }
    return b;
}

struct Pixel
{
    bool bTransparent;  // the AND mask's bit
    COLORREF cr;        // the colour bits, also under the mask
};
using IconPixels = std::array<std::array<Pixel, ICON_SIZE>, ICON_SIZE>;

// Loads the icon as the program does (shared, 16 x 16, from this module's
// resources) and reads back its colour and mask bitmaps; FALSE if any step
// failed, with pixels then undefined.
BOOL ReadIcon(UINT nId, IconPixels& pixels)
{
    HICON hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(nId), IMAGE_ICON,
                                                  ICON_SIZE, ICON_SIZE, LR_SHARED));
    ICONINFO info = {};
    if (!hIcon || !::GetIconInfo(hIcon, &info))
        return FALSE;
    CGdiObject color(info.hbmColor);
    CGdiObject mask(info.hbmMask);
    if (!info.hbmColor || !info.hbmMask)
        return FALSE;

    CWindowDC screen(NULL);
    struct
    {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD bmiColors[2];
    } bmi = {};
    bmi.bmiHeader = TopDownInfo32(ICON_SIZE, ICON_SIZE).bmiHeader;
    std::array<DWORD, ICON_SIZE * ICON_SIZE> colorBits = {};
    if (::GetDIBits(screen, info.hbmColor, 0, ICON_SIZE, colorBits.data(), reinterpret_cast<BITMAPINFO*>(&bmi),
                    DIB_RGB_COLORS) != ICON_SIZE)
        return FALSE;

    // One bit per pixel, rows padded to a DWORD.
    bmi.bmiHeader.biBitCount = 1;
    std::array<BYTE, 4 * ICON_SIZE> maskBits = {};
    if (::GetDIBits(screen, info.hbmMask, 0, ICON_SIZE, maskBits.data(), reinterpret_cast<BITMAPINFO*>(&bmi),
                    DIB_RGB_COLORS) != ICON_SIZE)
        return FALSE;

    for (int y = 0; y < ICON_SIZE; ++y)
        for (int x = 0; x < ICON_SIZE; ++x)
        {
            const DWORD bgr = colorBits[y * ICON_SIZE + x];
            pixels[y][x].cr = RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
            pixels[y][x].bTransparent = (maskBits[y * 4 + x / 8] >> (7 - x % 8) & 1) != 0;
        }
    return TRUE;
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
struct GroupIconDir
{
    WORD idReserved, idType, idCount;
    GroupIconEntry idEntries[1];
};
#pragma pack(pop)

const void* ResourceData(LPCSTR pszName, LPCSTR pszType)
{
    HRSRC hRes = ::FindResourceA(NULL, pszName, pszType);
    HGLOBAL hData = hRes ? ::LoadResource(NULL, hRes) : NULL;
    return hData ? ::LockResource(hData) : nullptr;
}

std::string Rgb(COLORREF cr)
{
    char sz[16];
    wsprintfA(sz, "%u,%u,%u", GetRValue(cr), GetGValue(cr), GetBValue(cr));
    return sz;
}

enum class Around
{
    Nothing,  // transparent all round the eyes
    Bubble,
    Burst,
};

struct FrameCase
{
    UINT nId;
    WORD wBits;
    COLORREF crInside;   // open white or shut grey
    int nLidRow;         // the lid's edge row, -1 without lid
    bool bPupils;        // printed pupils (where no lid covers them)
    const COLORREF* pMarker;  // the 'm' column top to bottom, or null
    Around around;
};

const COLORREF MARKER_A[] = {CR_BLACK, CR_BLUE, CR_BLACK};
const COLORREF MARKER_B[] = {CR_BLUE, CR_BLACK, CR_BLUE};

const FrameCase FRAMES[] = {
    {IDI_EYE_OPEN, 8, CR_WHITE, -1, false, nullptr, Around::Nothing},
    {IDI_EYE_SHUT, 4, CR_GREY, -1, false, nullptr, Around::Nothing},
    {IDI_EYE_STARE, 8, CR_WHITE, -1, true, nullptr, Around::Nothing},
    {IDI_EYE_LID1, 8, CR_WHITE, 4, true, nullptr, Around::Nothing},
    {IDI_EYE_LID2, 8, CR_WHITE, 5, true, nullptr, Around::Nothing},
    {IDI_EYE_LID3, 8, CR_WHITE, 6, true, nullptr, Around::Nothing},
    {IDI_EYE_LID4, 8, CR_WHITE, 7, true, nullptr, Around::Nothing},
    {IDI_EYE_LID5, 8, CR_WHITE, 8, true, nullptr, Around::Nothing},
    {IDI_EYE_LID6, 8, CR_WHITE, 9, true, nullptr, Around::Nothing},
    {IDI_EYE_SLEEP, 8, CR_GREY, -1, false, nullptr, Around::Nothing},
    {IDI_EYE_BUBBLE1, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_BUBBLE2, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_BUBBLE3, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_BUBBLE4, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_BUBBLE5, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_BUBBLE6, 8, CR_GREY, -1, false, nullptr, Around::Bubble},
    {IDI_EYE_STARTLED, 8, CR_GREY, -1, false, nullptr, Around::Burst},
    {IDI_MARKER_A, 4, CR_GREY, -1, false, MARKER_A, Around::Nothing},
    {IDI_MARKER_B, 4, CR_GREY, -1, false, MARKER_B, Around::Nothing},
};

const UINT BUBBLES[] = {IDI_EYE_BUBBLE1, IDI_EYE_BUBBLE2, IDI_EYE_BUBBLE3,
                        IDI_EYE_BUBBLE4, IDI_EYE_BUBBLE5, IDI_EYE_BUBBLE6};

// The colour a frame must have at a pixel of the eye's shape.
COLORREF ExpectedOnEye(const FrameCase& frame, char ch, int y, int& nMarkerRun)
{
    // The outline is black: pure in the 16-colour images, 4,4,4 in the
    // 256-colour ones, and so are lids and pupils drawn with it.
    const COLORREF crBlack = frame.wBits == 4 ? CR_BLACK : CR_BLACK_256;
    if (ch == 'm' && frame.pMarker && nMarkerRun < 3)
        return frame.pMarker[nMarkerRun++];
    if (ch == 'K' || ch == 'm')
        return crBlack;
    if (y < frame.nLidRow)
        return CR_GREY;
    if (y == frame.nLidRow || (ch == 'p' && frame.bPupils))
        return crBlack;
    return frame.crInside;
}

// Everything the frame adds outside the eye's shape, as (x, y) -> colour.
std::vector<std::pair<POINT, COLORREF>> AddedPixels(const ShapeMap& shape, const IconPixels& pixels)
{
    std::vector<std::pair<POINT, COLORREF>> added;
    for (int y = 0; y < ICON_SIZE; ++y)
        for (int x = 0; x < ICON_SIZE; ++x)
            if (shape[y][x] == '.' && !pixels[y][x].bTransparent)
                added.push_back({POINT{x, y}, pixels[y][x].cr});
    return added;
}

// Wrong pixels of one image, summed up short enough to read.
class CMismatches
{
public:
    void Add(int x, int y, const std::string& strWhat)
    {
        if (++m_nCount <= 6)
            m_strFirst += " (" + std::to_string(x) + "," + std::to_string(y) + ") " + strWhat;
    }
    std::string Summary() const
    {
        return m_nCount ? std::to_string(m_nCount) + " wrong pixels:" + m_strFirst : std::string();
    }

private:
    int m_nCount = 0;
    std::string m_strFirst;
};

class EyeFrames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_shape = LoadShape();
        ASSERT_EQ(static_cast<size_t>(ICON_SIZE), m_shape.size()) << "resource 600 holds the shape map";
        for (const std::string& row : m_shape)
            ASSERT_EQ(static_cast<size_t>(ICON_SIZE), row.size()) << row;
        m_bounds = BoundsOf(m_shape);
    }

    IconPixels Read(UINT nId)
    {
        IconPixels pixels = {};
        EXPECT_TRUE(ReadIcon(nId, pixels)) << "icon " << nId;
        return pixels;
    }

    ShapeMap m_shape;
    EyeBounds m_bounds;
};

TEST_F(EyeFrames, MarkerColumnIsWhereTheSearchLooks)
{
    // The search turns the pattern's top pixel into the icon's corner by
    // subtracting (7, 6).
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < ICON_SIZE; ++y)
        for (int x = 0; x < ICON_SIZE; ++x)
            if (m_shape[y][x] == 'm')
                cells.push_back({x, y});
    const std::vector<std::pair<int, int>> expected = {{7, 6}, {7, 7}, {7, 8}};
    EXPECT_EQ(expected, cells);
}

TEST_F(EyeFrames, EyePixelsMatchTheShapeInEveryFrame)
{
    for (const FrameCase& frame : FRAMES)
    {
        const IconPixels pixels = Read(frame.nId);
        CMismatches wrong;
        int nMarkerRun = 0;
        for (int y = 0; y < ICON_SIZE; ++y)
            for (int x = 0; x < ICON_SIZE; ++x)
            {
                const char ch = m_shape[y][x];
                const Pixel& px = pixels[y][x];
                // Anything but black under the mask would show through.
                if (px.bTransparent && px.cr != CR_BLACK)
                    wrong.Add(x, y, "masked " + Rgb(px.cr));
                if (ch == '.')
                {
                    if (frame.around == Around::Nothing && !px.bTransparent)
                        wrong.Add(x, y, "not transparent");
                    continue;
                }
                const COLORREF crWant = ExpectedOnEye(frame, ch, y, nMarkerRun);
                if (px.bTransparent || px.cr != crWant)
                    wrong.Add(x, y, (px.bTransparent ? "transparent" : Rgb(px.cr)) + " want " + Rgb(crWant));
            }
        EXPECT_EQ("", wrong.Summary()) << "icon " << frame.nId;
    }
}

TEST_F(EyeFrames, OnlyTheMarkersHoldPureBlue)
{
    for (const FrameCase& frame : FRAMES)
    {
        const IconPixels pixels = Read(frame.nId);
        int nBlue = 0;
        for (const auto& row : pixels)
            nBlue += static_cast<int>(std::count_if(row.begin(), row.end(), [](const Pixel& px) {
                return px.cr == CR_BLUE;
            }));
        const int nWant = frame.pMarker ? static_cast<int>(std::count(frame.pMarker, frame.pMarker + 3, CR_BLUE)) : 0;
        EXPECT_EQ(nWant, nBlue) << "icon " << frame.nId;
    }
}

TEST_F(EyeFrames, ColourDepthOfEachImage)
{
    for (const FrameCase& frame : FRAMES)
    {
        const auto* pDir = static_cast<const GroupIconDir*>(ResourceData(MAKEINTRESOURCEA(frame.nId), RT_GROUP_ICON));
        ASSERT_NE(nullptr, pDir) << "group icon " << frame.nId;
        ASSERT_EQ(1, pDir->idCount) << "one 16 x 16 image in " << frame.nId;
        const GroupIconEntry& entry = pDir->idEntries[0];
        EXPECT_EQ(ICON_SIZE, entry.bWidth) << frame.nId;
        EXPECT_EQ(ICON_SIZE, entry.bHeight) << frame.nId;
        EXPECT_EQ(frame.wBits, entry.wBitCount) << frame.nId;
        EXPECT_EQ(frame.wBits == 4 ? 16 : 0, entry.bColorCount) << frame.nId;

        const auto* pHeader = static_cast<const BITMAPINFOHEADER*>(ResourceData(MAKEINTRESOURCEA(entry.nId), RT_ICON));
        ASSERT_NE(nullptr, pHeader) << "image of " << frame.nId;
        EXPECT_EQ(frame.wBits, pHeader->biBitCount) << frame.nId;
        EXPECT_EQ(ICON_SIZE, pHeader->biWidth) << frame.nId;
        EXPECT_EQ(2 * ICON_SIZE, pHeader->biHeight) << "colour and mask stacked, " << frame.nId;
    }
}

// The bubble hangs below the right eye, white with light grey on the upper
// edge of each of its columns, symmetric about the eye's middle column, and
// only grows from one frame to the next.
TEST_F(EyeFrames, BubbleGrowsBelowTheRightEye)
{
    const int nMiddle = (m_bounds.nRightEyeLeft + m_bounds.nRightEyeRight) / 2;
    std::set<std::pair<int, int>> previous;
    for (size_t i = 0; i < sizeof(BUBBLES) / sizeof(BUBBLES[0]); ++i)
    {
        const UINT nId = BUBBLES[i];
        std::set<std::pair<int, int>> bubble;
        const auto added = AddedPixels(m_shape, Read(nId));
        for (const auto& [pt, cr] : added)
            bubble.insert({pt.x, pt.y});

        for (const auto& [pt, cr] : added)
        {
            EXPECT_GT(pt.y, m_bounds.nBottom) << nId << " at " << pt.x << "," << pt.y;
            EXPECT_GE(pt.x, m_bounds.nRightEyeLeft) << nId << " at " << pt.x << "," << pt.y;
            EXPECT_LE(pt.x, m_bounds.nRightEyeRight) << nId << " at " << pt.x << "," << pt.y;
            EXPECT_EQ(1u, bubble.count({2 * nMiddle - pt.x, pt.y})) << nId << " is lopsided at " << pt.x;
            const bool bUpperEdge = bubble.count({pt.x, pt.y - 1}) == 0;
            const COLORREF crWant = i == 0 || !bUpperEdge ? CR_WHITE : CR_LIGHT_GREY;
            EXPECT_EQ(crWant, cr) << nId << " at " << pt.x << "," << pt.y;
        }
        if (i == 0)
        {
            EXPECT_EQ(1u, bubble.size()) << nId;
        }
        EXPECT_GT(bubble.size(), previous.size()) << nId << " grows";
        EXPECT_TRUE(std::includes(bubble.begin(), bubble.end(), previous.begin(), previous.end()))
            << nId << " holds the bubble before it";
        previous = bubble;
    }

    // The full bubble: seven wide, down to the bottom edge.
    std::set<int> columns;
    int nLowest = -1;
    for (const auto& [x, y] : previous)
    {
        columns.insert(x);
        nLowest = std::max(nLowest, y);
    }
    EXPECT_EQ(7u, columns.size());
    EXPECT_EQ(ICON_SIZE - 1, nLowest);
}

// The startled frame's strokes: above the right eye and anywhere below the
// eyes, yellow and white in both places, nothing else around the eyes.
TEST_F(EyeFrames, StartledBurstAboveTheRightEyeAndBelowTheEyes)
{
    std::set<COLORREF> above, below;
    for (const auto& [pt, cr] : AddedPixels(m_shape, Read(IDI_EYE_STARTLED)))
    {
        EXPECT_TRUE(cr == CR_YELLOW || cr == CR_WHITE) << Rgb(cr) << " at " << pt.x << "," << pt.y;
        if (pt.y < m_bounds.nTop && pt.x >= m_bounds.nRightEyeLeft && pt.x <= m_bounds.nRightEyeRight)
            above.insert(cr);
        else if (pt.y > m_bounds.nBottom)
            below.insert(cr);
        else
            ADD_FAILURE() << "stroke beside the eyes at " << pt.x << "," << pt.y;
    }
    const std::set<COLORREF> both = {CR_YELLOW, CR_WHITE};
    EXPECT_EQ(both, above);
    EXPECT_EQ(both, below);
}

// A memory picture in true colour, as the search reads the screen: a
// drawn icon's pixels come back exactly.
class CTrueColourCanvas
{
public:
    CTrueColourCanvas() : m_hDC(::CreateCompatibleDC(NULL))
    {
        BITMAPINFO bmi = TopDownInfo32(ICON_SIZE, ICON_SIZE);
        void* pBits = nullptr;
        m_bitmap.Attach(::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0));
        m_hOld = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
    }
    ~CTrueColourCanvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
    }
    CTrueColourCanvas(const CTrueColourCanvas&) = delete;
    CTrueColourCanvas& operator=(const CTrueColourCanvas&) = delete;

    // Fills with the background, then draws the icon over it.
    BOOL Show(UINT nId, COLORREF crBackground)
    {
        for (int y = 0; y < ICON_SIZE; ++y)
            for (int x = 0; x < ICON_SIZE; ++x)
                ::SetPixel(m_hDC, x, y, crBackground);
        HICON hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(nId), IMAGE_ICON,
                                                      ICON_SIZE, ICON_SIZE, LR_SHARED));
        return hIcon && ::DrawIconEx(m_hDC, 0, 0, hIcon, ICON_SIZE, ICON_SIZE, 0, NULL, DI_NORMAL);
    }
    bool Run(int x, int y, COLORREF cr0, COLORREF cr1, COLORREF cr2) const
    {
        return ::GetPixel(m_hDC, x, y) == cr0 && ::GetPixel(m_hDC, x, y + 1) == cr1 &&
               ::GetPixel(m_hDC, x, y + 2) == cr2;
    }
    // The first black-blue-black run in the search's order (column by
    // column, top to bottom), or (-1, -1).
    POINT FirstMarkerRun() const
    {
        for (int x = 0; x < ICON_SIZE; ++x)
            for (int y = 0; y + 2 < ICON_SIZE; ++y)
                if (Run(x, y, CR_BLACK, CR_BLUE, CR_BLACK))
                    return POINT{x, y};
        return POINT{-1, -1};
    }

private:
    HDC m_hDC;
    CGdiObject m_bitmap;
    HGDIOBJ m_hOld = NULL;
};

// Over any taskbar colour the search must hit marker A at column 7, row 6,
// see the pattern invert with marker B, and never hit an eye frame.
TEST(EyeFramesOnScreen, SearchFindsOnlyTheMarkers)
{
    const COLORREF backgrounds[] = {CR_LIGHT_GREY, CR_BLACK, CR_BLUE, CR_WHITE, RGB(0, 0, 128)};
    CTrueColourCanvas canvas;
    for (COLORREF crBackground : backgrounds)
    {
        ASSERT_TRUE(canvas.Show(IDI_MARKER_A, crBackground));
        const POINT pt = canvas.FirstMarkerRun();
        EXPECT_EQ(7, pt.x) << "background " << Rgb(crBackground);
        EXPECT_EQ(6, pt.y) << "background " << Rgb(crBackground);

        ASSERT_TRUE(canvas.Show(IDI_MARKER_B, crBackground));
        EXPECT_TRUE(canvas.Run(7, 6, CR_BLUE, CR_BLACK, CR_BLUE)) << "background " << Rgb(crBackground);

        for (const FrameCase& frame : FRAMES)
        {
            if (frame.pMarker)
                continue;
            ASSERT_TRUE(canvas.Show(frame.nId, crBackground));
            EXPECT_EQ(-1, canvas.FirstMarkerRun().x) << "icon " << frame.nId << " on " << Rgb(crBackground);
        }
    }
}
}  // namespace
