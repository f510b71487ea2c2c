#include "windows/LinkStatic.h"

#include "draw/FontDesc.h"

CLinkStatic::~CLinkStatic()
{
    DropOwnFont(FALSE);
}

void CLinkStatic::SetLinkColor(COLORREF crText)
{
    m_crText = crText;
    Repaint();
}

BOOL CLinkStatic::SetLinkFont(LPCSTR pszFace, int nPointSize, LPCSTR pszStyle)
{
    std::unique_ptr<CFont> pFont = MakeFont(pszFace, nPointSize, pszStyle);
    if (!pFont)
    {
        DropOwnFont(TRUE);
        return FALSE;
    }
    if (m_hWnd)
    {
        if (!m_pFont)
            m_hFontBefore = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        // The control takes the new font before the old one is deleted, so
        // it never paints with a deleted font.
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(*pFont)), TRUE);
    }
    m_pFont = std::move(pFont);
    Repaint();
    return TRUE;
}

std::unique_ptr<CFont> CLinkStatic::MakeFont(LPCSTR pszFace, int nPointSize, LPCSTR pszStyle)
{
    return CreateFontFromDesc(pszFace, nPointSize, pszStyle);
}

void CLinkStatic::DropOwnFont(BOOL bRedraw)
{
    if (!m_pFont)
        return;
    if (m_hWnd)
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFontBefore), bRedraw);
    m_pFont.reset();
    m_hFontBefore = NULL;
}

void CLinkStatic::EnableHandCursor(BOOL bEnable)
{
    if (bEnable && !CreateHandCursor())
        return;
    m_bHandCursor = bEnable;
}

void CLinkStatic::Repaint()
{
    if (!m_hWnd)
        return;
    // The background is the parent's: repaint the parent behind the
    // control, or text drawn before would show through.
    HWND hParent = ::GetParent(m_hWnd);
    RECT rc;
    if (hParent && ::GetWindowRect(m_hWnd, &rc))
    {
        ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&rc), 2);
        ::RedrawWindow(hParent, &rc, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    else
        ::InvalidateRect(m_hWnd, NULL, TRUE);
}

BOOL CLinkStatic::OnSetCursor(HWND, UINT, UINT)
{
    if (!m_bHandCursor || !s_hHandCursor)
        return FALSE;
    ::SetCursor(s_hHandCursor);
    return TRUE;
}

HBRUSH CLinkStatic::CtlColor(HDC hDC, UINT)
{
    // The same colour whether or not the pointer is over the link.
    ::SetTextColor(hDC, m_crText);
    ::SetBkMode(hDC, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}
