// The controller's eye animation, every 200 ms once the icon is located:
// pupils painted on the screen over the icon (drawn into the icon where the
// desktop is composed) follow the pointer, the eyes blink every 30 awake
// ticks, doze off after 100 still ticks and start awake when the pointer
// moves.
#include "app/GlimwickDlg.h"

#include "app/DesktopComposition.h"

#include "frame/WindowDC.h"

#include <cmath>

int CGlimwickDlg::s_nBlinkCounter = 2;

namespace
{
const int kBlinkPeriod = 30;
const int kDozeTicks = 100;
// From this many still ticks on, the bubble cycles back to kBubbleRestart.
const int kBubbleEnd = 118;
const int kBubbleRestart = 107;
const int kStageShut = 8;
const DWORD kStartledMs = 200;
const DWORD kWakeStepMs = 50;
// A pupil is erased with the eye's white before it is painted anew.
const COLORREF kEyeWhite = RGB(255, 255, 255);
const COLORREF kPupilColour = RGB(0, 0, 0);

// The doze stage for m_nStillTicks from 100 to 118.
const int kStageForStillTicks[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 13, 12, 11, 10, 9};

POINT CursorPos()
{
    POINT pt = {};
    ::GetCursorPos(&pt);
    return pt;
}

// The pupil is two pixels tall, one left of its offset.
void PaintPupil(HDC hdc, POINT ptCorner, POINT ptOffset, COLORREF cr)
{
    ::SetPixel(hdc, ptCorner.x + ptOffset.x - 1, ptCorner.y + ptOffset.y, cr);
    ::SetPixel(hdc, ptCorner.x + ptOffset.x - 1, ptCorner.y + ptOffset.y + 1, cr);
}
} // namespace

void CGlimwickDlg::ShowFrame(int nFrame)
{
    m_trayIcon.SetTrayIcon(m_hFrames[nFrame]);
}

void CGlimwickDlg::AnimateTick()
{
    if (!m_bIconFound)
        return;
    // A dozing tick keeps the position DozeStep found unmoved: reading it
    // again here would take in a move made meanwhile (the doze frame's
    // trip to the shell takes a while) without ever seeing it, and the eyes
    // would sleep on.
    if (DozeStep())
        return;
    m_ptLastCursor = CursorPos();
    switch (s_nBlinkCounter % kBlinkPeriod)
    {
    case 0:
        ShowFrame(FRAME_SHUT);
        break;
    case 1:
        // On a composed desktop the open eyes come with their pupils.
        if (!m_bComposed)
            ShowFrame(FRAME_OPEN);
        DrawPupils();
        break;
    default:
        DrawPupils();
        break;
    }
    ++s_nBlinkCounter;
}

BOOL CGlimwickDlg::DozeStep()
{
    ++m_nStillTicks;
    const POINT pt = CursorPos();
    if (pt.x != m_ptLastCursor.x || pt.y != m_ptLastCursor.y)
    {
        m_nStillTicks = 0;
        if (m_nDozeStage == 0)
            return FALSE;
        if (m_nDozeStage > kStageShut)
        {
            ShowFrame(FRAME_STARTLED);
            ::Sleep(kStartledMs);
            m_nDozeStage = kStageShut;
        }
        while (m_nDozeStage != 0)
        {
            ShowFrame(m_nDozeStage + 1);
            ::Sleep(kWakeStepMs);
            --m_nDozeStage;
        }
        ::Sleep(kWakeStepMs);
        ShowFrame(FRAME_ASLEEP);
        ::Sleep(kWakeStepMs);
        ShowFrame(FRAME_OPEN);
        return FALSE;
    }
    if (m_nStillTicks < kDozeTicks)
        return FALSE;
    m_nDozeStage = kStageForStillTicks[m_nStillTicks - kDozeTicks];
    if (m_nStillTicks == kBubbleEnd)
        m_nStillTicks = kBubbleRestart;
    ShowFrame(m_nDozeStage + 1);
    return TRUE;
}

POINT CGlimwickDlg::PupilOffset(POINT ptCursor, POINT ptEye, int nDy, int nBaseX)
{
    const double dx = ptCursor.x - ptEye.x;
    const double dy = nDy;
    const double s = std::sqrt(dx * dx + dy * dy) * 0.3333333333333333;
    if (s <= 1.0)
        return {ptCursor.x - ptEye.x + nBaseX, ptCursor.y - ptEye.y + 5};
    const double k = 1.0 / s;
    return {static_cast<LONG>(std::trunc(dx * k)) + nBaseX, static_cast<LONG>(std::trunc(dy * k)) + 5};
}

BOOL CGlimwickDlg::IsDesktopComposed()
{
    return CDesktopComposition::IsEnabled();
}

void CGlimwickDlg::OnCompositionChanged()
{
    m_bComposed = IsDesktopComposed();
    if (!m_bIconFound)
        return;
    // The pupils start afresh in the new way, as after a search.
    m_ptPupilLeft.x = PUPIL_OFFSCREEN;
    m_ptPupilRight.x = PUPIL_OFFSCREEN;
    ShowFrame(FRAME_OPEN);
}

void CGlimwickDlg::DrawPupils()
{
    const int nDy = m_ptLastCursor.y - m_ptEyeLeft.y;
    const POINT ptLeft = PupilOffset(m_ptLastCursor, m_ptEyeLeft, nDy, 3);
    const POINT ptRight = PupilOffset(m_ptLastCursor, m_ptEyeRight, nDy, 10);
    if (m_bComposed)
    {
        m_ptPupilLeft = ptLeft;
        m_ptPupilRight = ptRight;
        m_pupilIcon.Show(m_trayIcon, m_hFrames[FRAME_OPEN], ptLeft, ptRight);
        return;
    }
    CWindowDC dc(NULL);
    const POINT ptCorner = {m_rcIcon.left, m_rcIcon.top};
    PaintPupil(dc, ptCorner, m_ptPupilLeft, kEyeWhite);
    PaintPupil(dc, ptCorner, m_ptPupilRight, kEyeWhite);
    m_ptPupilLeft = ptLeft;
    m_ptPupilRight = ptRight;
    PaintPupil(dc, ptCorner, m_ptPupilLeft, kPupilColour);
    PaintPupil(dc, ptCorner, m_ptPupilRight, kPupilColour);
}
