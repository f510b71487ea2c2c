// The eye animation of the controller: blink rhythm, dozing, waking and the
// pupils painted on the screen, with the real pointer and screen.
#include "app/GlimwickDlg.h"
#include "frame/WindowDC.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

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
