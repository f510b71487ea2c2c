#ifndef GLIMWICK_WINDOWS_LOUPEDLG_H
#define GLIMWICK_WINDOWS_LOUPEDLG_H

#include "frame/Dialog.h"
#include "frame/String.h"

// A small tool window showing the screen around the pointer enlarged twice,
// with the colour under the pointer, ten times a second. It is created
// modeless on the heap and deletes itself when its window goes.
class CLoupeDlg : public CDialog
{
public:
    static constexpr UINT_PTR TIMER_REFRESH = 100;
    static constexpr UINT REFRESH_PERIOD = 100;
    // The band at the bottom that carries the colour read-out.
    static constexpr int READOUT_HEIGHT = 16;
    // Without DT_SINGLELINE, DT_VCENTER leaves the text at the top left.
    static constexpr UINT READOUT_FORMAT = DT_VCENTER | DT_EXTERNALLEADING;
    // The read-out's colours: its edge and its figures.
    static constexpr COLORREF READOUT_EDGE = RGB(255, 255, 255);
    static constexpr COLORREF READOUT_FIGURES = RGB(0, 0, 0);

    explicit CLoupeDlg(CWnd* pParent = nullptr);

    BOOL DestroyWindow() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Draws the whole client area onto hdc.
    void DrawLoupe(HDC hdc);

    // The screen area shown for the pointer at pt in a client area of
    // cx x cy: half its size, centred on the pointer, kept on a screen of
    // cxScreen x cyScreen without shrinking.
    static RECT SourceRect(POINT pt, int cx, int cy, int cxScreen, int cyScreen);
    // "R G B" of a colour.
    static CString ReadoutText(COLORREF cr);

protected:
    BOOL OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void PostNcDestroy() override;
};

#endif
