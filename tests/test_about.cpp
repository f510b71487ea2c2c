// The About box: its template, the pupils that follow the pointer (as
// numbers and as pixels on the screen), the link's colour, font, hand cursor
// and click, and the box opened in the running program from the tray menu
// and the system menu.
#include "draw/DibCanvas.h"
#include "Version.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "tests/ColourPatch.h"
#include "tests/TestSupport.h"
#include "windows/AboutDlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const char kCaption[] = " Glimwick のﾊﾞｰｼﾞｮﾝ情報";

// The hand as drawn: '.' transparent, '#' black, 'o' white.
const char* const kHand[CLinkStatic::HAND_ROWS] = {
    "..###...........", "..#oo#..........", "..#oo#..........", "..#oo#..........", "..#oo##.........",
    "..#oooo##.......", "..#oooooo#......", "###oooooooo#....", "#o#oooooooo#....", "#o#oooooooo#....",
    "#oooooooooo#....", "#oooooooooo#....", ".#ooooooooo#....", "..##oooooo##....", "...##oooo##.....",
    "..#oooooooo#....", "..##########....",
};

// The pixels of a screen rectangle at the time of construction.
class CScreenShot
{
public:
    explicit CScreenShot(const RECT& rc)
        : m_rc(rc), m_cx(rc.right - rc.left), m_cy(rc.bottom - rc.top),
          m_pixels(static_cast<size_t>(m_cx) * m_cy)
    {
        BITMAPINFO bmi = TopDownInfo32(m_cx, m_cy);
        HDC hScreen = ::GetDC(NULL);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        void* pBits = nullptr;
        HBITMAP hBmp = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
        ::BitBlt(hMem, 0, 0, m_cx, m_cy, hScreen, rc.left, rc.top, SRCCOPY);
        ::GdiFlush();
        const BYTE* p = static_cast<const BYTE*>(pBits);
        for (size_t i = 0; p && i < m_pixels.size(); ++i)
            m_pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hBmp);
        ::DeleteDC(hMem);
        ::ReleaseDC(NULL, hScreen);
    }

    // Screen coordinates.
    COLORREF At(int x, int y) const { return m_pixels[(y - m_rc.top) * m_cx + (x - m_rc.left)]; }
    int Count(COLORREF cr) const
    {
        int n = 0;
        for (COLORREF c : m_pixels)
            n += c == cr;
        return n;
    }
    // The longest horizontal run of cr in any row.
    int LongestRun(COLORREF cr) const
    {
        int nBest = 0;
        for (int y = 0; y < m_cy; ++y)
        {
            int nRun = 0;
            for (int x = 0; x < m_cx; ++x)
            {
                nRun = m_pixels[y * m_cx + x] == cr ? nRun + 1 : 0;
                nBest = nRun > nBest ? nRun : nBest;
            }
        }
        return nBest;
    }

private:
    RECT m_rc;
    int m_cx;
    int m_cy;
    std::vector<COLORREF> m_pixels;
};

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

// TRUE when the pupil square at ptIcon + ptPupil is all cr on the screen.
bool SquareIs(POINT ptIcon, POINT ptPupil, COLORREF cr)
{
    const RECT rc = {ptIcon.x + ptPupil.x, ptIcon.y + ptPupil.y, ptIcon.x + ptPupil.x + CAboutDlg::PUPIL_SIZE,
                     ptIcon.y + ptPupil.y + CAboutDlg::PUPIL_SIZE};
    return CScreenShot(rc).Count(cr) == CAboutDlg::PUPIL_SIZE * CAboutDlg::PUPIL_SIZE;
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

class CTestAboutDlg : public CAboutDlg
{
public:
    using CAboutDlg::m_wndIcon;
    using CAboutDlg::m_wndLink;
    std::vector<std::string> m_urls;

protected:
    // Records instead of starting a browser.
    void OpenWebPage(LPCSTR pszUrl) override { m_urls.push_back(pszUrl); }
};

// A link whose font can be made to fail.
class CFailingLink : public CLinkStatic
{
public:
    bool m_bFail = false;

protected:
    std::unique_ptr<CFont> MakeFont(LPCSTR pszFace, int nPointSize, LPCSTR pszStyle) override
    {
        return m_bFail ? nullptr : CLinkStatic::MakeFont(pszFace, nPointSize, pszStyle);
    }
};

class AboutBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The same start whatever ran before.
        ASSERT_TRUE(PlacePointer(1100, 700));
        ASSERT_TRUE(m_dlg.Create(IDD_ABOUTBOX));
        m_hDlg = m_dlg.m_hWnd;
        m_hLink = ::GetDlgItem(m_hDlg, IDC_ABOUT_LINK);
        m_hIcon = ::GetDlgItem(m_hDlg, IDC_ABOUT_ICON);
        ::SetWindowPos(m_hDlg, HWND_TOPMOST, 300, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::UpdateWindow(m_hDlg);
        PumpMessages(200);
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    POINT IconCorner() const
    {
        const RECT rc = WindowRect(m_hIcon);
        return {rc.left, rc.top};
    }
    // Moves the pointer and waits until the box has moved its pupils there.
    bool PointAt(POINT pt)
    {
        ::SetCursorPos(pt.x, pt.y);
        const POINT ptLeft = CAboutDlg::PupilOffset(pt, IconCorner(), CAboutDlg::EYE_LEFT_X);
        const POINT ptRight = CAboutDlg::PupilOffset(pt, IconCorner(), CAboutDlg::EYE_RIGHT_X);
        return PumpUntil([&] { return SamePoint(ptLeft, m_dlg.GetLeftPupil()) &&
                                      SamePoint(ptRight, m_dlg.GetRightPupil()); },
                         3000);
    }

    CTestAboutDlg m_dlg;
    HWND m_hDlg = NULL;
    HWND m_hLink = NULL;
    HWND m_hIcon = NULL;
};
} // namespace

TEST(AboutPupils, WhereThePupilsGo)
{
    const POINT ptIcon = {100, 200};  // eye centres (108, 208) and (122, 208)
    struct Case
    {
        POINT ptPointer;
        POINT ptLeft;
        POINT ptRight;
    };
    const Case kCases[] = {
        // On the left eye's centre: that pupil sits on the pointer.
        {{108, 208}, {8, 8}, {18, 8}},
        // Exactly five pixels from the left centre: still on the pointer.
        {{111, 212}, {11, 12}, {18, 9}},
        // Between the eyes: they converge.
        {{115, 210}, {12, 9}, {18, 9}},
        // Far away down-right: both look the same way, five pixels out,
        // the parts cut toward zero.
        {{1100, 700}, {12, 10}, {26, 10}},
        // Far away up-left: cut toward zero too (-4.47 gives -4).
        {{-900, -300}, {4, 6}, {18, 6}},
    };
    for (const Case& c : kCases)
    {
        const POINT ptLeft = CAboutDlg::PupilOffset(c.ptPointer, ptIcon, CAboutDlg::EYE_LEFT_X);
        const POINT ptRight = CAboutDlg::PupilOffset(c.ptPointer, ptIcon, CAboutDlg::EYE_RIGHT_X);
        EXPECT_TRUE(SamePoint(c.ptLeft, ptLeft)) << c.ptPointer.x << "," << c.ptPointer.y << ": left " << ptLeft.x
                                                 << "," << ptLeft.y;
        EXPECT_TRUE(SamePoint(c.ptRight, ptRight)) << c.ptPointer.x << "," << c.ptPointer.y << ": right "
                                                   << ptRight.x << "," << ptRight.y;
    }
}

TEST_F(AboutBoxTest, CaptionAndControls)
{
    char sz[128] = {};
    ::GetWindowTextA(m_hDlg, sz, sizeof sz);
    EXPECT_STREQ(kCaption, sz);
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(m_hDlg, GWL_STYLE));
    for (DWORD dwBit : {DWORD(WS_POPUP), DWORD(WS_CAPTION), DWORD(WS_SYSMENU), DWORD(DS_MODALFRAME)})
        EXPECT_EQ(dwBit, dwStyle & dwBit);

    struct Control
    {
        int nID;
        const char* pszClass;
        const char* pszText;  // NULL: not compared
        RECT rcUnits;         // x, y, width, height in dialog units
        DWORD dwType;         // SS_TYPEMASK or BS_TYPEMASK part
        DWORD dwStyles;       // further styles that must be set
    };
    const Control kControls[] = {
        {IDC_ABOUT_ICON, "Static", nullptr, {7, 7, 20, 20}, SS_ICON, WS_VISIBLE},
        {-1, "Static", "Glimwick Version " GLIMWICK_VERSION_TEXT, {45, 7, 80, 8}, SS_LEFT, SS_NOPREFIX | WS_GROUP},
        {-1, "Static", nullptr, {17, 22, 124, 8}, SS_LEFT, WS_GROUP},
        {IDOK, "Button", "OK", {131, 5, 23, 14}, BS_DEFPUSHBUTTON, WS_TABSTOP | WS_GROUP},
        {IDC_ABOUT_LINK, "Static", "MOSS-HARKホームページ", {38, 32, 78, 8}, SS_LEFT, SS_NOTIFY | WS_GROUP},
    };
    HWND hChild = ::GetWindow(m_hDlg, GW_CHILD);
    for (const Control& c : kControls)
    {
        ASSERT_NE(nullptr, hChild) << c.nID;
        EXPECT_EQ(static_cast<WORD>(c.nID), static_cast<WORD>(::GetDlgCtrlID(hChild)));
        char szClass[32] = {};
        ::GetClassNameA(hChild, szClass, sizeof szClass);
        EXPECT_EQ(0, ::lstrcmpiA(c.pszClass, szClass)) << szClass;
        char szText[128] = {};
        ::GetWindowTextA(hChild, szText, sizeof szText);
        if (c.pszText)
        {
            EXPECT_STREQ(c.pszText, szText);
        }
        const DWORD dwChild = static_cast<DWORD>(::GetWindowLongA(hChild, GWL_STYLE));
        EXPECT_EQ(c.dwType, dwChild & (c.nID == IDOK ? BS_TYPEMASK : SS_TYPEMASK)) << c.nID;
        EXPECT_EQ(c.dwStyles, dwChild & c.dwStyles) << c.nID;

        // Position and size are converted each on its own, as the dialog
        // manager does.
        RECT rcPos = {c.rcUnits.left, c.rcUnits.top, c.rcUnits.left, c.rcUnits.top};
        RECT rcSize = {0, 0, c.rcUnits.right, c.rcUnits.bottom};
        ::MapDialogRect(m_hDlg, &rcPos);
        ::MapDialogRect(m_hDlg, &rcSize);
        RECT rc = WindowRect(hChild);
        ::MapWindowPoints(NULL, m_hDlg, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rcPos.left, rc.left) << c.nID;
        EXPECT_EQ(rcPos.top, rc.top) << c.nID;
        // The icon control takes the icon's size.
        if (c.nID != IDC_ABOUT_ICON)
        {
            EXPECT_EQ(rcSize.right, rc.right - rc.left) << c.nID;
            EXPECT_EQ(rcSize.bottom, rc.bottom - rc.top) << c.nID;
        }
        hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, hChild) << "more controls than the template's";

    // The maker's notice names the maker.
    char szNotice[128] = {};
    ::GetWindowTextA(::GetWindow(::GetDlgItem(m_hDlg, IDOK), GW_HWNDPREV), szNotice, sizeof szNotice);
    EXPECT_NE(nullptr, std::strstr(szNotice, "MOSS-HARK")) << szNotice;

    // The empty eyes, icon 137.
    HICON hShown = reinterpret_cast<HICON>(::SendMessageA(m_hIcon, STM_GETICON, 0, 0));
    EXPECT_EQ(::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_ABOUT)), hShown);
}

TEST_F(AboutBoxTest, PupilsFollowThePointerOnTheScreen)
{
    const POINT ptIcon = IconCorner();
    // Far down-right, then far up-left: the new pupils are black, the old
    // ones white again.
    ASSERT_TRUE(PointAt({1200, 700}));
    const POINT ptOldLeft = m_dlg.GetLeftPupil();
    const POINT ptOldRight = m_dlg.GetRightPupil();
    EXPECT_TRUE(SquareIs(ptIcon, ptOldLeft, RGB(0, 0, 0)));
    EXPECT_TRUE(SquareIs(ptIcon, ptOldRight, RGB(0, 0, 0)));

    ASSERT_TRUE(PointAt({5, 5}));
    EXPECT_TRUE(SquareIs(ptIcon, m_dlg.GetLeftPupil(), RGB(0, 0, 0)));
    EXPECT_TRUE(SquareIs(ptIcon, m_dlg.GetRightPupil(), RGB(0, 0, 0)));
    EXPECT_TRUE(SquareIs(ptIcon, ptOldLeft, RGB(255, 255, 255)));
    EXPECT_TRUE(SquareIs(ptIcon, ptOldRight, RGB(255, 255, 255)));

    // On the left eye's centre the pupil sits on the pointer.
    const POINT ptCentre = {ptIcon.x + CAboutDlg::EYE_LEFT_X, ptIcon.y + CAboutDlg::EYE_Y};
    ASSERT_TRUE(PointAt(ptCentre));
    EXPECT_TRUE(SamePoint(POINT{CAboutDlg::EYE_LEFT_X, CAboutDlg::EYE_Y}, m_dlg.GetLeftPupil()));
    EXPECT_TRUE(SquareIs(ptIcon, m_dlg.GetLeftPupil(), RGB(0, 0, 0)));
}

TEST_F(AboutBoxTest, AStillPointerDrawsNothing)
{
    const POINT ptIcon = IconCorner();
    ASSERT_TRUE(PointAt({1100, 100}));
    const POINT ptLeft = m_dlg.GetLeftPupil();
    // A repaint takes the pupils away; ticks with the pointer where it was
    // do not bring them back.
    ::RedrawWindow(m_hIcon, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages(4 * CAboutDlg::PUPILS_PERIOD);
    EXPECT_TRUE(SquareIs(ptIcon, ptLeft, RGB(255, 255, 255)));
    // A move does.
    ASSERT_TRUE(PointAt({1100, 700}));
    EXPECT_TRUE(SquareIs(ptIcon, m_dlg.GetLeftPupil(), RGB(0, 0, 0)));
}

TEST_F(AboutBoxTest, NoPupilsWhileHidden)
{
    ASSERT_TRUE(PointAt({1100, 100}));
    const POINT ptLeft = m_dlg.GetLeftPupil();
    m_dlg.ShowWindow(SW_HIDE);
    ::SetCursorPos(10, 700);
    PumpMessages(4 * CAboutDlg::PUPILS_PERIOD);
    EXPECT_TRUE(SamePoint(ptLeft, m_dlg.GetLeftPupil()));
    m_dlg.ShowWindow(SW_SHOWNOACTIVATE);
    EXPECT_TRUE(PointAt({10, 700}));
}

TEST_F(AboutBoxTest, PupilsNeverLandOnAWindowOverTheIcon)
{
    ASSERT_TRUE(PointAt({1100, 100}));
    const RECT rcIcon = WindowRect(m_hIcon);
    CColourPatch patch(RGB(0, 255, 0), rcIcon);
    ASSERT_TRUE(PointAt({10, 700}));
    const CScreenShot shot(rcIcon);
    const int nPixels = (rcIcon.right - rcIcon.left) * (rcIcon.bottom - rcIcon.top);
    EXPECT_EQ(nPixels, shot.Count(RGB(0, 255, 0)));
}

TEST_F(AboutBoxTest, LinkFontAndColour)
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hLink, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    ASSERT_EQ(static_cast<int>(sizeof lf), ::GetObjectA(hFont, sizeof lf, &lf));
    EXPECT_STREQ("ＭＳ ゴシック", lf.lfFaceName);
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_EQ(0, lf.lfWeight);
    EXPECT_EQ(0, lf.lfItalic);
    EXPECT_EQ(0, lf.lfStrikeOut);
    HDC hScreen = ::GetDC(NULL);
    EXPECT_EQ(-::MulDiv(::GetDeviceCaps(hScreen, LOGPIXELSY), 9, 72), lf.lfHeight);
    ::ReleaseDC(NULL, hScreen);

    // The colour request: blue on a transparent background, no brush.
    HDC hdc = ::CreateCompatibleDC(NULL);
    const LRESULT lBrush = ::SendMessageA(m_hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                          reinterpret_cast<LPARAM>(m_hLink));
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), lBrush);
    EXPECT_EQ(RGB(0, 0, 255), ::GetTextColor(hdc));
    EXPECT_EQ(TRANSPARENT, ::GetBkMode(hdc));
    // The other texts keep the dialog's colours.
    ::SetTextColor(hdc, RGB(0, 0, 255));
    const LRESULT lOther = ::SendMessageA(m_hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                          reinterpret_cast<LPARAM>(::GetDlgItem(m_hDlg, IDOK)));
    EXPECT_NE(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), lOther);
    ::DeleteDC(hdc);

    // On the screen: blue text, no black, and the underline a long blue run.
    const CScreenShot shot(WindowRect(m_hLink));
    EXPECT_GT(shot.Count(RGB(0, 0, 255)), 0);
    EXPECT_EQ(0, shot.Count(RGB(0, 0, 0)));
    EXPECT_GE(shot.LongestRun(RGB(0, 0, 255)), 40);
}

TEST_F(AboutBoxTest, LinkChangesShowAtOnce)
{
    // A new colour replaces the old one.
    m_dlg.m_wndLink.SetLinkColor(RGB(255, 0, 0));
    PumpMessages(200);
    const CScreenShot red(WindowRect(m_hLink));
    EXPECT_EQ(0, red.Count(RGB(0, 0, 255)));
    EXPECT_GT(red.Count(RGB(255, 0, 0)), 0);

    // A font without the underline: the underline drawn before goes, as the
    // background behind the transparent text is repainted.
    ASSERT_TRUE(m_dlg.m_wndLink.SetLinkFont("ＭＳ ゴシック", 90, "標準"));
    PumpMessages(200);
    const CScreenShot plain(WindowRect(m_hLink));
    EXPECT_GT(plain.Count(RGB(255, 0, 0)), 0);
    EXPECT_LT(plain.LongestRun(RGB(255, 0, 0)), 20);
}

TEST_F(AboutBoxTest, ANewLinkFontDeletesTheOldOne)
{
    HFONT hFirst = reinterpret_cast<HFONT>(::SendMessageA(m_hLink, WM_GETFONT, 0, 0));
    ASSERT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(hFirst));
    ASSERT_TRUE(m_dlg.m_wndLink.SetLinkFont("Arial", 120, "bold"));
    HFONT hSecond = reinterpret_cast<HFONT>(::SendMessageA(m_hLink, WM_GETFONT, 0, 0));
    EXPECT_NE(hFirst, hSecond);
    EXPECT_EQ(0u, ::GetObjectType(hFirst));
    LOGFONTA lf = {};
    ASSERT_NE(0, ::GetObjectA(hSecond, sizeof lf, &lf));
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
}

TEST(AboutLink, AFailedFontGivesTheFormerFontBack)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, NULL, "", WS_POPUP, RECT{0, 0, 200, 50}, nullptr, 0));
    CFailingLink link;
    ASSERT_TRUE(link.Create("link", WS_CHILD | WS_VISIBLE | SS_NOTIFY, RECT{0, 0, 100, 20}, &parent, 1));
    HGDIOBJ hGiven = ::GetStockObject(DEFAULT_GUI_FONT);
    link.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hGiven), FALSE);

    ASSERT_TRUE(link.SetLinkFont("Arial", 90, "underline"));
    HFONT hOwn = reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT));
    ASSERT_NE(hGiven, hOwn);

    // The control is never left with the deleted font.
    link.m_bFail = true;
    EXPECT_FALSE(link.SetLinkFont("Arial", 90, ""));
    EXPECT_EQ(reinterpret_cast<LRESULT>(hGiven), link.SendMessage(WM_GETFONT));
    EXPECT_EQ(0u, ::GetObjectType(hOwn));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(hGiven));
}

TEST(AboutLink, FontGoesWithTheLink)
{
    HFONT hFont = NULL;
    {
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
        hFont = reinterpret_cast<HFONT>(::SendDlgItemMessageA(dlg.m_hWnd, IDC_ABOUT_LINK, WM_GETFONT, 0, 0));
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(hFont));
    }
    EXPECT_EQ(0u, ::GetObjectType(hFont));
}

namespace
{
// Compares a cursor's AND and XOR planes with the drawn hand.
void ExpectHandPlanes(HCURSOR hCursor, int cx, int cy)
{
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(hCursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(0u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ASSERT_NE(nullptr, info.hbmMask);

    // A monochrome cursor's mask holds the AND plane above the XOR plane.
    BITMAP bm = {};
    ::GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(cx, bm.bmWidth);
    ASSERT_EQ(2 * cy, bm.bmHeight);
    struct
    {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } bmi = {};
    bmi.header.biSize = sizeof bmi.header;
    bmi.header.biWidth = cx;
    bmi.header.biHeight = -2 * cy;
    bmi.header.biPlanes = 1;
    bmi.header.biBitCount = 1;
    const int nStride = (cx + 31) / 32 * 4;
    std::vector<BYTE> bits(static_cast<size_t>(nStride) * 2 * cy);
    HDC hdc = ::GetDC(NULL);
    const int nLines = ::GetDIBits(hdc, info.hbmMask, 0, 2 * cy, bits.data(),
                                   reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hdc);
    ::DeleteObject(info.hbmMask);
    ASSERT_EQ(2 * cy, nLines);

    auto bit = [&](int x, int y) { return (bits[y * nStride + x / 8] >> (7 - x % 8)) & 1; };
    int nWrong = 0;
    for (int y = 0; y < cy; ++y)
    {
        for (int x = 0; x < cx; ++x)
        {
            const char cell = y < CLinkStatic::HAND_ROWS && x < CLinkStatic::HAND_COLUMNS ? kHand[y][x] : '.';
            const int nAnd = cell == '.' ? 1 : 0;
            const int nXor = cell == 'o' ? 1 : 0;
            if (bit(x, y) != nAnd || bit(x, cy + y) != nXor)
                ++nWrong;
        }
    }
    EXPECT_EQ(0, nWrong) << cx << " x " << cy << " cursor";
}
} // namespace

TEST(AboutLink, TheHandCursorIsTheDrawnHand)
{
    ASSERT_TRUE(CLinkStatic::CreateHandCursor());
    HCURSOR hHand = CLinkStatic::GetHandCursor();
    ASSERT_NE(nullptr, hHand);
    // Made once for the whole process.
    ASSERT_TRUE(CLinkStatic::CreateHandCursor());
    EXPECT_EQ(hHand, CLinkStatic::GetHandCursor());
    ExpectHandPlanes(hHand, ::GetSystemMetrics(SM_CXCURSOR), ::GetSystemMetrics(SM_CYCURSOR));
}

TEST(AboutLink, TheHandAtOtherCursorSizes)
{
    // 48 is not a multiple of 32 (rows padded to 16 bits); 16 rows cut the
    // hand's last row.
    const SIZE kSizes[] = {{48, 48}, {64, 64}, {16, 16}, {32, 16}};
    for (const SIZE& size : kSizes)
    {
        HCURSOR hCursor = CLinkStatic::MakeHandCursor(size.cx, size.cy);
        ASSERT_NE(nullptr, hCursor) << size.cx << " x " << size.cy;
        ExpectHandPlanes(hCursor, size.cx, size.cy);
        ::DestroyCursor(hCursor);
    }
}

TEST_F(AboutBoxTest, HandCursorOverTheLink)
{
    const LPARAM lHit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    ::SetCursor(NULL);
    EXPECT_TRUE(::SendMessageA(m_hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hLink), lHit));
    EXPECT_EQ(CLinkStatic::GetHandCursor(), ::GetCursor());

    // Switched off: the class cursor.
    m_dlg.m_wndLink.EnableHandCursor(FALSE);
    ::SetCursor(NULL);
    ::SendMessageA(m_hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hLink), lHit);
    EXPECT_NE(CLinkStatic::GetHandCursor(), ::GetCursor());
}

TEST_F(AboutBoxTest, EveryClickOpensTheMakersPage)
{
    const std::string strPage = CAboutDlg::MAKER_PAGE;
    EXPECT_EQ(0u, strPage.find("http"));
    EXPECT_EQ(strPage.size() - 7, strPage.rfind("/amuse/"));

    for (size_t n = 1; n <= 3; ++n)
    {
        ::SendMessageA(m_hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageA(m_hLink, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        ASSERT_EQ(n, m_dlg.m_urls.size());
        EXPECT_EQ(strPage, m_dlg.m_urls.back());
    }
    EXPECT_TRUE(::IsWindowVisible(m_hDlg));

    // Clicks elsewhere open nothing.
    HWND hVersion = ::GetWindow(m_hIcon, GW_HWNDNEXT);
    ::SendMessageA(hVersion, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageA(m_hIcon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(3u, m_dlg.m_urls.size());
}

TEST_F(AboutBoxTest, AMouseClickOnTheLink)
{
    const RECT rc = WindowRect(m_hLink);
    ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PumpMessages(100);
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return m_dlg.m_urls.size() == 1; }, 3000));
    PumpMessages(200);
    ASSERT_EQ(1u, m_dlg.m_urls.size());
    EXPECT_STREQ(CAboutDlg::MAKER_PAGE, m_dlg.m_urls[0].c_str());
}

// ---- The running program ----

namespace
{
HWND FindAbout(DWORD dwPid)
{
    struct Search
    {
        DWORD dwPid;
        HWND hFound;
        int nCount;
    } search = {dwPid, NULL, 0};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            Search* p = reinterpret_cast<Search*>(lParam);
            DWORD dwPid = 0;
            ::GetWindowThreadProcessId(hWnd, &dwPid);
            char sz[128] = {};
            ::GetWindowTextA(hWnd, sz, sizeof sz);
            if (dwPid == p->dwPid && std::strcmp(sz, kCaption) == 0 && ::IsWindowVisible(hWnd))
            {
                p->hFound = hWnd;
                ++p->nCount;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.nCount == 1 ? search.hFound : NULL;
}

bool PopupMenuOpen()
{
    HWND hMenu = ::FindWindowA("#32768", NULL);
    return hMenu && ::IsWindowVisible(hMenu);
}

class RunningAboutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EndRunningProgram());
        ASSERT_NE(nullptr, m_hWnd = StartProgram(m_program));
        m_hTray = ::GetDlgItem(m_hWnd, GLIMWICK_TRAY_ICON_ID);
        ASSERT_NE(nullptr, m_hTray);
    }
    void TearDown() override
    {
        if (HWND hAbout = FindAbout(m_program.Id()))
            ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
        ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(m_program.WaitForExit(10000));
    }

    HWND WaitForAbout()
    {
        HWND hAbout = NULL;
        WaitUntil([&] { return (hAbout = FindAbout(m_program.Id())) != NULL; }, 5000);
        return hAbout;
    }
    void CloseAbout(HWND hAbout)
    {
        ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hAbout); }, 5000));
    }

    CChildProcess m_program;
    HWND m_hWnd = NULL;
    HWND m_hTray = NULL;
};
} // namespace

TEST_F(RunningAboutTest, FromTheTrayMenuWithItsPupils)
{
    ::PostMessageA(m_hTray, WM_COMMAND, ID_MENU_ABOUT, 0);
    HWND hAbout = WaitForAbout();
    ASSERT_NE(nullptr, hAbout);
    char szClass[16] = {};
    ::GetClassNameA(hAbout, szClass, sizeof szClass);
    EXPECT_STREQ("#32770", szClass);

    // While the box is open the icon refuses its menu.
    ::PostMessageA(m_hTray, WM_GLIMWICK_TRAY_NOTIFY, 0, WM_RBUTTONUP);
    ::Sleep(500);
    EXPECT_FALSE(PopupMenuOpen());

    // The pupils look at a pointer below and right of the box.
    const RECT rcAbout = WindowRect(hAbout);
    const RECT rcIcon = WindowRect(::GetDlgItem(hAbout, IDC_ABOUT_ICON));
    const POINT ptIcon = {rcIcon.left, rcIcon.top};
    const POINT ptPointer = {rcAbout.right + 200, rcAbout.bottom + 120};
    ::SetCursorPos(ptPointer.x, ptPointer.y);
    const POINT ptLeft = CAboutDlg::PupilOffset(ptPointer, ptIcon, CAboutDlg::EYE_LEFT_X);
    const POINT ptRight = CAboutDlg::PupilOffset(ptPointer, ptIcon, CAboutDlg::EYE_RIGHT_X);
    EXPECT_TRUE(WaitUntil(
        [&] { return SquareIs(ptIcon, ptLeft, RGB(0, 0, 0)) && SquareIs(ptIcon, ptRight, RGB(0, 0, 0)); }, 5000));

    // The picture of the box for the documentation.
    const std::string strFolder = ProgramFolder() + "artefacts";
    ::CreateDirectoryA(strFolder.c_str(), NULL);
    const std::string strPath = strFolder + "\\about.bmp";
    {
        CDibCanvas shot;
        ASSERT_TRUE(shot.CreateBlank(24, rcAbout.right - rcAbout.left, rcAbout.bottom - rcAbout.top,
                                     CDibCanvas::NO_KEY));
        HDC hScreen = ::GetDC(NULL);
        CDC screen;
        screen.Attach(hScreen);
        shot.BitBltFrom(&screen, 0, 0, rcAbout.right - rcAbout.left, rcAbout.bottom - rcAbout.top, rcAbout.left,
                        rcAbout.top, SRCCOPY);
        screen.Detach();
        ::ReleaseDC(NULL, hScreen);
        ASSERT_TRUE(shot.SaveFile(strPath.c_str()));
    }
    CDibCanvas saved;
    ASSERT_TRUE(saved.LoadFile(strPath.c_str(), CDibCanvas::NO_KEY));
    EXPECT_EQ(rcAbout.right - rcAbout.left, saved.GetWidth());
    EXPECT_EQ(RGB(0, 0, 0), saved.GetPixel(rcIcon.left - rcAbout.left + ptLeft.x, rcIcon.top - rcAbout.top + ptLeft.y));

    CloseAbout(hAbout);
    // Closed, the icon takes commands again.
    ::PostMessageA(m_hTray, WM_COMMAND, ID_MENU_ABOUT, 0);
    hAbout = WaitForAbout();
    ASSERT_NE(nullptr, hAbout);
    CloseAbout(hAbout);
}

TEST_F(RunningAboutTest, FromTheSystemMenu)
{
    // The system's own low four bits do not matter.
    for (WPARAM nCommand : {WPARAM(0x10), WPARAM(0x13)})
    {
        ::PostMessageA(m_hWnd, WM_SYSCOMMAND, nCommand, 0);
        HWND hAbout = WaitForAbout();
        ASSERT_NE(nullptr, hAbout) << nCommand;
        char sz[128] = {};
        ::GetWindowTextA(hAbout, sz, sizeof sz);
        EXPECT_STREQ(kCaption, sz);
        CloseAbout(hAbout);
    }
}
