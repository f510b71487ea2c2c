#include "frame/Wnd.h"

#include "frame/WinApp.h"

#include <cstring>

namespace
{
const char kFrameClass[] = "GlimwickFrameWnd";

// Registers the framework's own window class once; later calls are no-ops.
BOOL RegisterFrameClass(WNDPROC pfn)
{
    WNDCLASSA wc = {};
    if (::GetClassInfoA(AfxGetInstanceHandle(), kFrameClass, &wc))
        return TRUE;
    wc.lpfnWndProc = pfn;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFrameClass;
    return ::RegisterClassA(&wc) != 0;
}
} // namespace

CWnd::~CWnd()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd || reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) != StaticWindowProc)
        return nullptr;
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR pszClass, LPCSTR pszName, DWORD dwStyle,
                    const RECT& rc, CWnd* pParent, UINT nID)
{
    if (m_hWnd)
        return FALSE;
    HWND hParent = pParent ? pParent->m_hWnd : NULL;
    HMENU hMenu = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : NULL;
    if (!pszClass)
    {
        if (!RegisterFrameClass(StaticWindowProc))
            return FALSE;
        return ::CreateWindowExA(dwExStyle, kFrameClass, pszName, dwStyle, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, hParent, hMenu,
                                 AfxGetInstanceHandle(), this) != NULL;
    }
    HWND hWnd = ::CreateWindowExA(dwExStyle, pszClass, pszName, dwStyle, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, hParent, hMenu,
                                  AfxGetInstanceHandle(), NULL);
    if (!hWnd)
        return FALSE;
    if (!SubclassWindow(hWnd))
    {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

void CWnd::AttachCreated(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    AttachCreated(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, nID));
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd || !m_pfnSuper)
        return NULL;
    HWND hWnd = m_hWnd;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    m_pfnSuper = NULL;
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    switch (message)
    {
    case WM_COMMAND:
        if (ReflectToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &lResult))
            return lResult;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (ReflectToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &lResult))
            return lResult;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_PAINT:
        if (OnPaint())
            return 0;
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wParam), lParam))
            return 0;
        break;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return TRUE;
        break;
    case WM_COPYDATA:
    {
        const COPYDATASTRUCT* pData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (const BOOL bResult = OnCopyData(reinterpret_cast<HWND>(wParam), pData))
            return bResult;
        break;
    }
    case WM_WINDOWPOSCHANGED:
        if (lParam)
            OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Only this window's own children answer: a handle in a message from
    // elsewhere may name any window.
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild || pChild == this || ::GetAncestor(hWndChild, GA_PARENT) != m_hWnd)
        return FALSE;
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
        return FALSE;
    HBRUSH hBrush = CtlColor(reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX);
    if (!hBrush)
        return FALSE;
    *pResult = reinterpret_cast<LRESULT>(hBrush);
    return TRUE;
}

HBRUSH CWnd::CtlColor(HDC, UINT)
{
    return NULL;
}

BOOL CWnd::OnCommand(UINT, UINT, HWND)
{
    return FALSE;
}

void CWnd::OnTimer(UINT_PTR)
{
}

BOOL CWnd::OnPaint()
{
    return FALSE;
}

BOOL CWnd::OnSysCommand(UINT, LPARAM)
{
    return FALSE;
}

BOOL CWnd::OnSetCursor(HWND, UINT, UINT)
{
    return FALSE;
}

BOOL CWnd::OnCopyData(HWND, const COPYDATASTRUCT*)
{
    return FALSE;
}

void CWnd::OnWindowPosChanged(const WINDOWPOS&)
{
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pWnd && message == WM_NCCREATE)
    {
        pWnd = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (pWnd)
            pWnd->AttachCreated(hWnd);
    }
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    LRESULT lResult = 0;
    try
    {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    }
    catch (...)
    {
        // A failing handler must not take the program down; the message
        // counts as handled.
        lResult = 0;
    }
    if (message == WM_NCDESTROY)
        pWnd->OnFinalMessage(hWnd);
    return lResult;
}

void CWnd::OnFinalMessage(HWND hWnd)
{
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    m_hWnd = NULL;
    m_pfnSuper = NULL;
    if (m_bContinueModal)
    {
        m_bContinueModal = FALSE;
        m_nModalResult = -1;
    }
    PostNcDestroy();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, NULL);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::SetWindowPos(HWND hWndAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, hWndAfter, x, y, cx, cy, nFlags);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(RECT* prc) const
{
    ::GetClientRect(m_hWnd, prc);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    HWND hRoot = ::GetAncestor(pMsg->hwnd, GA_ROOT);
    char szClass[16];
    if (!hRoot || !::GetClassNameA(hRoot, szClass, sizeof szClass) || std::strcmp(szClass, "#32770") != 0)
        return FALSE;
    return ::IsDialogMessageA(hRoot, pMsg);
}

int CWnd::RunModalLoop(DWORD)
{
    m_bContinueModal = m_hWnd != NULL;
    m_nModalResult = -1;
    MSG msg;
    while (m_bContinueModal)
    {
        const BOOL bRet = ::GetMessageA(&msg, NULL, 0, 0);
        if (bRet == -1)
            break;
        if (bRet == 0)
        {
            // Leave WM_QUIT for the loops further out.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bContinueModal = FALSE;
            m_nModalResult = -1;
            break;
        }
        if (!PreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bContinueModal = FALSE;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    if (!m_bContinueModal)
        return;
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
    // Wake the loop in case it is waiting in GetMessage.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}
