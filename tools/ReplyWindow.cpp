#include "tools/ReplyWindow.h"

#include "res/Protocol.h"

namespace
{
const char kClassName[] = GLIMWICK_REPLY_CLASS;
} // namespace

CReplyWindow::CReplyWindow(ULONG_PTR dwExpected) : m_dwExpected(dwExpected)
{
    HINSTANCE hInst = ::GetModuleHandleA(NULL);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInst;
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc);
    m_hWnd = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, hInst, NULL);
    if (m_hWnd)
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CReplyWindow::~CReplyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CReplyWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    CReplyWindow* pThis = reinterpret_cast<CReplyWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    const COPYDATASTRUCT* pData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!pThis || !pData || pData->dwData != pThis->m_dwExpected || (pData->cbData && !pData->lpData))
        return FALSE;
    if (pData->cbData)
        pThis->m_strText.assign(static_cast<const char*>(pData->lpData), pData->cbData);
    pThis->m_bReceived = true;
    return TRUE;
}
