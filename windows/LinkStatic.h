#ifndef GLIMWICK_WINDOWS_LINKSTATIC_H
#define GLIMWICK_WINDOWS_LINKSTATIC_H

#include "frame/Font.h"
#include "frame/Static.h"

#include <memory>

// A static text shown as a web link: its own colour and font on a
// transparent background, and a pointing hand over it. Clicks reach the
// parent as the static's notifications (the control needs SS_NOTIFY). The
// control answers its own colour request, which its parent offers it.
class CLinkStatic : public CStatic
{
public:
    // The size of the hand's pattern, from the cursor's top-left corner.
    static constexpr int HAND_ROWS = 17;
    static constexpr int HAND_COLUMNS = 16;

    CLinkStatic() = default;
    ~CLinkStatic() override;

    // Stores the text colour (0x00BBGGRR) and repaints the control.
    void SetLinkColor(COLORREF crText);
    // A font from its description (face, tenths of a point, style words),
    // given to the control. On FALSE the control owns no font and shows the
    // one it had before it got any of this object's.
    BOOL SetLinkFont(LPCSTR pszFace, int nPointSize, LPCSTR pszStyle);
    // Switching on makes the hand cursor first; if it cannot be made the
    // setting stays as it was.
    void EnableHandCursor(BOOL bEnable);

    // Makes the process's hand cursor once, of the system's cursor size;
    // TRUE when it exists afterwards.
    static BOOL CreateHandCursor();
    // A new hand cursor of cx x cy pixels, hot spot top-left, owned by the
    // caller; NULL when it cannot be made.
    static HCURSOR MakeHandCursor(int cx, int cy);
    // The hand cursor, NULL until made; kept until the process ends.
    static HCURSOR GetHandCursor() { return s_hHandCursor; }

protected:
    // The font of a description; NULL when it cannot be made.
    virtual std::unique_ptr<CFont> MakeFont(LPCSTR pszFace, int nPointSize, LPCSTR pszStyle);
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT nMouseMessage) override;
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor) override;
    // Repaints the control and the parent's background behind it, which
    // shows through the transparent background.
    void Repaint();
    // Gives the control back the font it had before this object's, then
    // deletes this object's.
    void DropOwnFont(BOOL bRedraw);

    BOOL m_bHandCursor = FALSE;
    std::unique_ptr<CFont> m_pFont;
    COLORREF m_crText = 0;
    // The control's font before the first one of ours (NULL: the system's).
    HFONT m_hFontBefore = NULL;

    // The hand, one byte a cell: the shape table holds HAND_OPAQUE where
    // the cell belongs to the cursor (1 where it is transparent), the colour
    // table HAND_WHITE where the cell is white (0 where it is black).
    static constexpr BYTE HAND_OPAQUE = 0;
    static constexpr BYTE HAND_WHITE = 1;
    static const BYTE s_handShape[HAND_ROWS][HAND_COLUMNS];
    static const BYTE s_handColour[HAND_ROWS][HAND_COLUMNS];
    static HCURSOR s_hHandCursor;
};

#endif
