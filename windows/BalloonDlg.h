#ifndef GLIMWICK_WINDOWS_BALLOONDLG_H
#define GLIMWICK_WINDOWS_BALLOONDLG_H

#include "draw/DibCanvas.h"
#include "frame/Dialog.h"

// The reminder: the text in large green letters with a black shadow across
// the top of the screen and the eyes picture at the bottom centre, in one
// borderless window as large as the work area whose region is cut down to
// exactly those pixels. It never takes input.
//
// The program waits far longer than it reminds, so the work-area-sized
// picture exists only while the reminder is up: it is built by
// SetMessageText and released when the window is hidden, and the hidden
// window shrinks to a pixel so that the window system lets go of its copy
// too.
class CBalloonDlg : public CDialog
{
public:
    static constexpr COLORREF KEY_COLOUR = RGB(255, 0, 255);
    static constexpr COLORREF LETTER_COLOUR = RGB(0, 255, 0);
    static constexpr COLORREF SHADOW_COLOUR = RGB(0, 0, 0);
    static constexpr int FONT_POINTS = 140;
    static constexpr UINT TEXT_FORMAT = DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING;
    static constexpr UINT_PTR TIMER_WORKAREA = 100;
    static constexpr UINT WORKAREA_PERIOD = 500;

    CBalloonDlg();

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Sizes the window to the work area, redraws the picture for the text
    // and reshapes the window to it; does not show the window.
    void SetMessageText(CString strText);

    // The composed picture, as large as the window; empty while hidden.
    CDibCanvas& Surface() { return m_surface; }

protected:
    // Sizes the window and the picture to the work area; a picture of the
    // right size is kept as it is.
    void FitToWorkArea();
    // A new work-area size while the reminder is up: window and picture
    // follow, the picture cleared to black. Nothing while hidden.
    void OnWorkAreaChanged();
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
    // Hidden: no picture, no watch, a window of one pixel.
    void LetGo();
    BOOL OnPaint() override;
    // The work area's size is watched while the reminder is up.
    void OnTimer(UINT_PTR nIDEvent) override;

    CDibCanvas m_surface;
    RECT m_rcWorkArea = {};
    RECT m_rcClient = {};
    HRGN m_hRegion = NULL;
};

#endif
