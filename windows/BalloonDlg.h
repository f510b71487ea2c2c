#ifndef GLIMWICK_WINDOWS_BALLOONDLG_H
#define GLIMWICK_WINDOWS_BALLOONDLG_H

#include "draw/DibCanvas.h"
#include "frame/Dialog.h"

// The reminder: the text in large green letters with a black shadow across
// the top of the screen and the eyes picture at the bottom centre, in one
// borderless window as large as the work area (of the monitor where the
// user works) whose region is cut down to exactly those pixels. It never
// takes input.
//
// The program waits far longer than it reminds, so the pictures exist only
// while the reminder is up: they are built by SetMessageText and released
// when the window is hidden, and the hidden window shrinks to a pixel so
// that the window system lets go of its copy too. Nor do they cover the
// work area: one is a band as tall as the text reaches, the other the eyes,
// so that neither memory nor the time to compose grows with the screen's
// height.
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
    // The most rectangles the window's region may have. The window system
    // under Wine sends a region to X in one request, which carries about
    // 32,760 and ends the program when there are more; a text that would need
    // more (dense lines down the whole screen) shows the lines that fit.
    static constexpr DWORD MAX_REGION_RECTS = 32000;

    CBalloonDlg();

    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Sizes the window to the work area, redraws the pictures for the text
    // and reshapes the window to them; does not show the window.
    void SetMessageText(CString strText);

    // Paints the window's pixels into pDC at (0, 0): the band and the eyes
    // where they belong, or black over the whole window when no picture is
    // held (the work area changed while the reminder was up).
    void DrawPicture(CDC* pDC);

    // The band of the text at the top of the window, as wide as the window;
    // where the text may reach the eyes' rows it runs to the bottom with the
    // eyes in it. Empty while hidden.
    CDibCanvas& Surface() { return m_surface; }

protected:
    // The work area of the reminder's monitor and the monitor's top-left
    // corner, where the window starts; on the primary monitor the system's
    // work area and the screen's origin.
    BOOL ReadWorkArea(RECT* prcWork, POINT* pptOrigin) const;
    // Sizes the window to the work area.
    void FitToWorkArea();
    // A new work-area size while the reminder is up: the window follows and
    // the pictures go, so that its shape shows in black. Nothing while
    // hidden.
    void OnWorkAreaChanged();
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
    // Hidden: no pictures, no watch, a window of one pixel, and no font of
    // the letters left in the window system's cache.
    void LetGo();
    // How far down the text's ink can reach in a window cx wide, counted
    // from the window's top; INT_MAX when it cannot be measured. cyLine is
    // a line's height, 0 when it cannot be measured.
    static int TextReach(const CString& strText, int cx, int& cyLine);
    // A new region of the band's pixels and the eyes' in their place, all
    // but the key colour, of at most MAX_REGION_RECTS rectangles; NULL when
    // none can be made.
    HRGN MakeRegion(int cyLine);
    // Takes hBand, the band's region, and returns the part of it with as
    // many whole lines of text (cyLine high) as fit in nRects rectangles,
    // and the eyes when they are in the band; what is cut goes from the band
    // too. NULL when no region can be made.
    HRGN KeepLinesThatFit(HRGN hBand, int cyLine, DWORD nRects);
    BOOL OnPaint() override;
    // The work area's size is watched while the reminder is up.
    void OnTimer(UINT_PTR nIDEvent) override;

    CDibCanvas m_surface;
    // The eyes at the screen's depth, when drawn apart from the band.
    CDibCanvas m_eyes;
    POINT m_ptEyes = {};
    // The eyes' place when they are drawn into the band; empty otherwise.
    RECT m_rcEyesInBand = {};
    RECT m_rcWorkArea = {};
    // Where the user worked when the reminder was last composed; NULL: the
    // primary monitor.
    HMONITOR m_hMonitor = NULL;
    RECT m_rcClient = {};
    HRGN m_hRegion = NULL;
    // Letters were drawn since the balloon last hid.
    bool m_bLettersDrawn = false;
};

#endif
