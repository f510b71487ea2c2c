#ifndef GLIMWICK_WINDOWS_ABOUTDLG_H
#define GLIMWICK_WINDOWS_ABOUTDLG_H

#include "frame/Dialog.h"
#include "frame/Static.h"
#include "windows/LinkStatic.h"

// The About box: product and version, the maker's notice and a link to the
// maker's web page. Its icon is a pair of empty eyes whose pupils, painted
// over it, look toward the pointer while the box is shown.
class CAboutDlg : public CDialog
{
public:
    static constexpr UINT_PTR TIMER_PUPILS = 100;
    static constexpr UINT PUPILS_PERIOD = 200;
    // Eye centres from the icon's top-left corner.
    static constexpr int EYE_LEFT_X = 8;
    static constexpr int EYE_RIGHT_X = 22;
    static constexpr int EYE_Y = 8;
    // How far a pupil goes from its eye's centre, and its square's side.
    static constexpr int PUPIL_REACH = 5;
    static constexpr int PUPIL_SIZE = 2;
    // A pupil is erased with the eye's white before it is painted anew.
    static constexpr COLORREF EYE_WHITE = RGB(255, 255, 255);
    static constexpr COLORREF PUPIL_COLOR = RGB(0, 0, 0);
    // The pupils' x before the first update, so its erase hits nothing.
    static constexpr LONG PUPIL_OFFSCREEN = -100000;

    // The link: pure blue, a 9-point underlined gothic.
    static constexpr COLORREF LINK_COLOR = RGB(0, 0, 255);
    static constexpr int LINK_POINT_SIZE = 90;
    static const char LINK_FACE[];
    static const char LINK_STYLE[];
    static const char MAKER_PAGE[];

    explicit CAboutDlg(CWnd* pParent = nullptr);

    BOOL DestroyWindow() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // Moves the pupils to look at ptPointer (screen coordinates).
    void UpdatePupils(POINT ptPointer);
    // Where a pupil's top-left corner goes for the pointer at ptPointer, as
    // an offset from ptIcon, the icon's top-left corner on screen, for the
    // eye whose centre is nCentreX right of and EYE_Y below that corner.
    static POINT PupilOffset(POINT ptPointer, POINT ptIcon, int nCentreX);

    POINT GetLeftPupil() const { return m_ptPupilLeft; }
    POINT GetRightPupil() const { return m_ptPupilRight; }

protected:
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnCommand(UINT nID, UINT nCode, HWND hWndControl) override;
    void OnLinkClicked();
    // Opens the page in the user's browser; failures are not reported.
    virtual void OpenWebPage(LPCSTR pszUrl);

    BOOL m_bCursorKnown = FALSE;
    POINT m_ptLastCursor = {};
    POINT m_ptPupilLeft = {};
    POINT m_ptPupilRight = {};
    CStatic m_wndIcon;
    CLinkStatic m_wndLink;
};

#endif
