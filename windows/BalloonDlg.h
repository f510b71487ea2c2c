#ifndef GLIMWICK_WINDOWS_BALLOONDLG_H
#define GLIMWICK_WINDOWS_BALLOONDLG_H

#include "draw/DibCanvas.h"
#include "frame/Dialog.h"

// The reminder: the text in large green letters with a black shadow across
// the top of the screen and the eyes picture at the bottom centre, in one
// borderless window as large as the work area whose region is cut down to
// exactly those pixels. It never takes input.
class CBalloonDlg : public CDialog
{
public:
    static constexpr COLORREF KEY_COLOUR = RGB(255, 0, 255);
    static constexpr COLORREF LETTER_COLOUR = RGB(0, 255, 0);
    static constexpr COLORREF SHADOW_COLOUR = RGB(0, 0, 0);
    static constexpr int FONT_POINTS = 140;
    // DT_CENTER | DT_WORDBREAK | DT_EXTERNALLEADING.
    static constexpr UINT TEXT_FORMAT = 0x211;
    static constexpr UINT_PTR TIMER_WORKAREA = 100;
    static constexpr UINT WORKAREA_PERIOD = 500;

    CBalloonDlg();

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Redraws the picture for the text and reshapes the window to it; does
    // not show the window.
    void SetMessageText(CString strText);

    // The composed picture, as large as the window.
    CDibCanvas& Surface() { return m_surface; }

protected:
    // Sizes the window and the picture (cleared to black) to the work area.
    void FitToWorkArea();
    void OnPaint();
    void OnWorkAreaTimer();

    CDibCanvas m_surface;
    RECT m_rcWorkArea = {};
    RECT m_rcClient = {};
    HRGN m_hRegion = NULL;
};

#endif
