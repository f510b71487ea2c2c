// The eye animation of the controller: blink rhythm, dozing, waking and the
// pupils painted on the screen, or drawn into the tray's icon on a composed
// desktop, with the real pointer, screen and tray.
#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "frame/WindowDC.h"
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// Records every frame the controller shows, instead of a tray icon.
class CEyeProbe : public CGlimwickDlg
{
public:
    using CGlimwickDlg::DozeStep;
    using CGlimwickDlg::DrawPupils;
    using CGlimwickDlg::m_bIconFound;
    using CGlimwickDlg::m_nDozeStage;
    using CGlimwickDlg::m_nStillTicks;
    using CGlimwickDlg::m_ptEyeLeft;
    using CGlimwickDlg::m_ptEyeRight;
    using CGlimwickDlg::m_ptLastCursor;
    using CGlimwickDlg::m_ptPupilLeft;
    using CGlimwickDlg::m_ptPupilRight;
    using CGlimwickDlg::m_rcIcon;
    using CGlimwickDlg::s_nBlinkCounter;

    void ShowFrame(int nFrame) override { m_frames.push_back(nFrame); }

    // Puts the located icon at (x, y) as a successful search would.
    void Locate(int x, int y)
    {
        m_rcIcon = {x, y, x + 14, y + 14};
        m_ptEyeLeft = {x + 3, y + 5};
        m_ptEyeRight = {x + 10, y + 5};
        m_ptPupilLeft.x = m_ptPupilRight.x = PUPIL_OFFSCREEN;
        m_bIconFound = TRUE;
    }
    // The pointer rests where it is now, as seen by the previous tick.
    void HoldStill()
    {
        ::GetCursorPos(&m_ptLastCursor);
    }

    std::vector<int> m_frames;
};

// The controller as it runs where the desktop is composed.
class CComposedEye : public CEyeProbe
{
public:
    using CGlimwickDlg::m_hFrames;
    using CGlimwickDlg::m_trayIcon;

    void ShowFrame(int nFrame) override { CGlimwickDlg::ShowFrame(nFrame); }
    BOOL IsDesktopComposed() override { return TRUE; }
};

// The controller of a composed desktop, its icon found in the tray.
class ComposedEyeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTrayLibrary::Bind((ProgramFolder() + "Sillbeck.dll").c_str()));
        m_pEye = std::make_unique<CComposedEye>();
        ASSERT_TRUE(m_pEye->Create(IDD_GLIMWICK_DIALOG));
        // The library's first report starts the search.
        ASSERT_TRUE(PumpUntil([&] { return m_pEye->m_bIconFound != FALSE; }, 5000));
        // The timer's ticks are the test's own from here on.
        m_pEye->KillTimer(CGlimwickDlg::TIMER_ANIMATE);
        CEyeProbe::s_nBlinkCounter = 2;
    }
    void TearDown() override
    {
        m_pEye.reset();
        CTrayLibrary::Unbind();
    }

    std::unique_ptr<CComposedEye> m_pEye;
};

// The pixel (x, y) of an icon's colour image.
COLORREF IconPixel(HICON hIcon, int x, int y)
{
    ICONINFO ii = {};
    if (!::GetIconInfo(hIcon, &ii))
        return CLR_INVALID;
    HDC hdc = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hdc, ii.hbmColor);
    const COLORREF cr = ::GetPixel(hdc, x, y);
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::DeleteObject(ii.hbmColor);
    ::DeleteObject(ii.hbmMask);
    return cr;
}

// How many more GDI objects the process can make: made until the system
// refuses, then deleted. Wine keeps no count a program can read
// (GetGuiResources answers 0), and there every icon holds GDI bitmaps of
// its own, so this counts the icons too.
size_t GdiRoomLeft()
{
    std::vector<HBITMAP> made;
    while (HBITMAP hBitmap = ::CreateBitmap(1, 1, 1, 1, NULL))
        made.push_back(hBitmap);
    for (HBITMAP hBitmap : made)
        ::DeleteObject(hBitmap);
    return made.size();
}

POINT Cursor()
{
    POINT pt;
    ::GetCursorPos(&pt);
    return pt;
}

void MoveCursorBy(int dx)
{
    // Backwards at the screen's right edge, where an earlier program may
    // have left the pointer: a move that the edge swallows is no move.
    const POINT pt = Cursor();
    EXPECT_TRUE(PlacePointer(pt.x + dx < ::GetSystemMetrics(SM_CXSCREEN) ? pt.x + dx : pt.x - dx, pt.y));
}
} // namespace

TEST(EyeBlink, FirstBlinkOn29thAwakeTickThenEvery30)
{
    // The counter is the process's: other tests may have moved it on from
    // the 2 it starts at.
    CEyeProbe::s_nBlinkCounter = 2;
    CEyeProbe eye;
    eye.Locate(20, 20);
    ASSERT_TRUE(PlacePointer(400, 300));
    eye.HoldStill();
    std::vector<int> shutTicks;
    std::vector<int> openTicks;
    for (int nTick = 1; nTick <= 60; ++nTick)
    {
        eye.m_frames.clear();
        eye.AnimateTick();
        for (int nFrame : eye.m_frames)
            (nFrame == CGlimwickDlg::FRAME_SHUT ? shutTicks : openTicks).push_back(nTick);
    }
    EXPECT_EQ((std::vector<int>{29, 59}), shutTicks);
    EXPECT_EQ((std::vector<int>{30, 60}), openTicks);
    EXPECT_EQ(62, CEyeProbe::s_nBlinkCounter);
}

TEST(EyeBlink, NothingBeforeTheIconIsFound)
{
    CEyeProbe eye;
    const int nCounter = CEyeProbe::s_nBlinkCounter;
    for (int i = 0; i < 40; ++i)
        eye.AnimateTick();
    EXPECT_TRUE(eye.m_frames.empty());
    EXPECT_EQ(nCounter, CEyeProbe::s_nBlinkCounter);
}

TEST(EyeDoze, StillPointerStaresClosesAndBubbles)
{
    CEyeProbe eye;
    eye.Locate(20, 20);
    eye.HoldStill();
    // Frames per still tick from the 100th on: stare, lids, shut, then the
    // bubble cycle 9, 9, 10 .. 14 .. 10 (frame = stage + 1).
    const std::vector<int> kExpected = {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 14, 13,
                                        12, 11, 10, 10, 11, 12, 13, 14, 15, 14, 13, 12, 11, 10, 10, 11};
    std::vector<int> shown;
    for (int nTick = 1; nTick < 100; ++nTick)
        ASSERT_FALSE(eye.DozeStep()) << "tick " << nTick;
    EXPECT_TRUE(eye.m_frames.empty()) << "99 still ticks show no doze frame";
    for (size_t i = 0; i < kExpected.size(); ++i)
    {
        eye.m_frames.clear();
        ASSERT_TRUE(eye.DozeStep());
        ASSERT_EQ(1u, eye.m_frames.size());
        shown.push_back(eye.m_frames[0]);
    }
    EXPECT_EQ(kExpected, shown);
}

TEST(EyeDoze, MovingAfter99StillTicksPlaysNoWakeSequence)
{
    CEyeProbe eye;
    eye.Locate(20, 20);
    eye.HoldStill();
    for (int nTick = 1; nTick < 100; ++nTick)
        eye.DozeStep();
    MoveCursorBy(5);
    EXPECT_FALSE(eye.DozeStep());
    EXPECT_TRUE(eye.m_frames.empty());
    EXPECT_EQ(0, eye.m_nStillTicks);
}

TEST(EyeDoze, WakeSequences)
{
    struct Case
    {
        int nStage;
        std::vector<int> frames;
    };
    const Case kCases[] = {
        {5, {6, 5, 4, 3, 2, CGlimwickDlg::FRAME_ASLEEP, CGlimwickDlg::FRAME_OPEN}},
        {8, {9, 8, 7, 6, 5, 4, 3, 2, CGlimwickDlg::FRAME_ASLEEP, CGlimwickDlg::FRAME_OPEN}},
        {12,
         {CGlimwickDlg::FRAME_STARTLED, 9, 8, 7, 6, 5, 4, 3, 2, CGlimwickDlg::FRAME_ASLEEP, CGlimwickDlg::FRAME_OPEN}},
    };
    for (const Case& c : kCases)
    {
        CEyeProbe eye;
        eye.Locate(20, 20);
        eye.HoldStill();
        eye.m_nDozeStage = c.nStage;
        eye.m_nStillTicks = 50;
        MoveCursorBy(3);
        const ULONGLONG tStart = ::GetTickCount64();
        EXPECT_FALSE(eye.DozeStep()) << "the tick goes on to the pupils";
        const ULONGLONG nElapsed = ::GetTickCount64() - tStart;
        EXPECT_EQ(c.frames, eye.m_frames) << "stage " << c.nStage;
        EXPECT_EQ(0, eye.m_nDozeStage);
        EXPECT_EQ(0, eye.m_nStillTicks);
        // The sequence is paced by short sleeps: 50 ms a step, 200 ms startled.
        EXPECT_GE(nElapsed + 20, (c.nStage > 8 ? 200u : 0u) + 50u * (c.nStage > 8 ? 8 : c.nStage) + 100u);
    }
}

TEST(EyePupils, OffsetsForThePointer)
{
    // An icon at R = (100, 50): left eye centre (103, 55), right (110, 55).
    const POINT kLeft = {103, 55};
    const POINT kRight = {110, 55};
    struct Case
    {
        POINT ptCursor;
        POINT ptLeft;
        POINT ptRight;
    };
    const Case kCases[] = {
        {{103, 55}, {3, 5}, {7, 5}},     // on the left centre: s = 0; right eye 3 px left
        {{105, 55}, {5, 5}, {7, 5}},     // 2 px right: within 3 px, follows exactly
        {{133, 55}, {6, 5}, {13, 5}},    // 30 px right: 3 px at most
        {{-197, -345}, {2, 3}, {9, 3}},  // far up-left: trunc(-1.8), trunc(-2.4)
        {{110, 56}, {5, 5}, {10, 6}},    // just below the right centre
    };
    for (const Case& c : kCases)
    {
        const int nDy = c.ptCursor.y - kLeft.y;
        const POINT ptL = CGlimwickDlg::PupilOffset(c.ptCursor, kLeft, nDy, 3);
        const POINT ptR = CGlimwickDlg::PupilOffset(c.ptCursor, kRight, nDy, 10);
        EXPECT_EQ(c.ptLeft.x, ptL.x) << c.ptCursor.x << "," << c.ptCursor.y;
        EXPECT_EQ(c.ptLeft.y, ptL.y) << c.ptCursor.x << "," << c.ptCursor.y;
        EXPECT_EQ(c.ptRight.x, ptR.x) << c.ptCursor.x << "," << c.ptCursor.y;
        EXPECT_EQ(c.ptRight.y, ptR.y) << c.ptCursor.x << "," << c.ptCursor.y;
    }
}

TEST(EyePupils, PaintedOnTheScreenAndErasedWhite)
{
    // A white patch of the desktop to paint on.
    CWnd patch;
    const RECT rc = {200, 200, 240, 240};
    ASSERT_TRUE(patch.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT,
                               rc, nullptr, 0));
    PumpMessages(100);

    CEyeProbe eye;
    eye.Locate(210, 210);
    eye.m_ptLastCursor = {600, 215};  // far right, at the eyes' height
    eye.DrawPupils();
    CWindowDC screen(NULL);
    // Offsets (6, 5) and (13, 5): top pixels at R + offset - (1, 0).
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(215, 215));
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(215, 216));
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(222, 215));
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(222, 216));

    eye.m_ptLastCursor = {-400, 215};  // far left
    eye.DrawPupils();
    EXPECT_EQ(RGB(255, 255, 255), screen.GetPixel(215, 215)) << "the old pupil is erased white";
    EXPECT_EQ(RGB(255, 255, 255), screen.GetPixel(222, 216));
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(209, 215));
    EXPECT_EQ(RGB(0, 0, 0), screen.GetPixel(216, 216));
}

TEST_F(ComposedEyeTest, PupilsInTheIconLookTowardTheCorners)
{
    CComposedEye& eye = *m_pEye;
    const RECT rc = eye.m_rcIcon;
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    CWindowDC screen(NULL);
    for (POINT ptCorner : {POINT{0, 0}, POINT{cx - 1, 0}, POINT{cx - 1, cy - 1}, POINT{0, cy - 1}})
    {
        ASSERT_TRUE(PlacePointer(ptCorner.x, ptCorner.y));
        eye.AnimateTick();
        const int nDy = ptCorner.y - eye.m_ptEyeLeft.y;
        const POINT ptLeft = CGlimwickDlg::PupilOffset(ptCorner, eye.m_ptEyeLeft, nDy, 3);
        const POINT ptRight = CGlimwickDlg::PupilOffset(ptCorner, eye.m_ptEyeRight, nDy, 10);
        // The shown icon is the open eyes but for the pupils' pixels (the
        // located rectangle starts at the icon's column 2, row 1).
        HICON hShown = eye.m_trayIcon.GetTrayIcon();
        HICON hOpen = eye.m_hFrames[CGlimwickDlg::FRAME_OPEN];
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const bool bPupil = (x == ptLeft.x + 1 && (y == ptLeft.y + 1 || y == ptLeft.y + 2)) ||
                                    (x == ptRight.x + 1 && (y == ptRight.y + 1 || y == ptRight.y + 2));
                EXPECT_EQ(bPupil ? RGB(0, 0, 0) : IconPixel(hOpen, x, y), IconPixel(hShown, x, y))
                    << ptCorner.x << "," << ptCorner.y << ": " << x << "," << y;
            }
        // In the tray: each pupil's two pixels.
        auto Shown = [&](POINT pt, int i) { return screen.GetPixel(rc.left + pt.x - 1, rc.top + pt.y + i) == 0; };
        EXPECT_TRUE(PumpUntil(
            [&] { return Shown(ptLeft, 0) && Shown(ptLeft, 1) && Shown(ptRight, 0) && Shown(ptRight, 1); }, 3000));
    }

    // Over a white patch of the test's, the eyes' ticks change the icon and
    // paint nothing on the screen.
    CWnd patch;
    ASSERT_TRUE(patch.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT,
                               RECT{200, 200, 240, 240}, nullptr, 0));
    PumpMessages(100);
    eye.Locate(210, 210);
    for (int xPointer : {cx - 1, 0})
    {
        HICON hBefore = eye.m_trayIcon.GetTrayIcon();
        ASSERT_TRUE(PlacePointer(xPointer, 215));
        eye.AnimateTick();
        EXPECT_NE(hBefore, eye.m_trayIcon.GetTrayIcon()) << "the pupils moved in the icon";
        for (int y = 210; y < 224; ++y)
            for (int x = 210; x < 224; ++x)
                ASSERT_EQ(RGB(255, 255, 255), screen.GetPixel(x, y)) << x << "," << y;
    }
}

TEST_F(ComposedEyeTest, AThousandTicksLeaveTheIconsAndGdiObjectsAsTheyWere)
{
    CComposedEye& eye = *m_pEye;
    const POINT ptEye = eye.m_ptEyeLeft;
    // Round the eyes and back, so that the pupils move on most ticks.
    auto Tick = [&](int i) {
        const int kSteps[][2] = {{-60, 0}, {-40, -40}, {0, -60}, {40, -40}, {60, 0}, {30, -20}, {4, 1}};
        ::SetCursorPos(ptEye.x + kSteps[i % 7][0], ptEye.y + kSteps[i % 7][1]);
        eye.AnimateTick();
    };
    Tick(0);
    const size_t nRoom = GdiRoomLeft();
    int nChanges = 0;
    for (int i = 1; i <= 1000; ++i)
    {
        HICON hBefore = eye.m_trayIcon.GetTrayIcon();
        Tick(i);
        nChanges += hBefore != eye.m_trayIcon.GetTrayIcon();
    }
    EXPECT_GT(nChanges, 500) << "a new icon whenever the pupils moved";
    EXPECT_EQ(nRoom, GdiRoomLeft());
}
