#include "tests/ColourPatch.h"

#include "tests/TestSupport.h"

CColourPatch::CColourPatch(COLORREF cr, const RECT& rc)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "GlimwickColourPatch";
    ::RegisterClassA(&wc);
    m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, rc.left, rc.top,
                               rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, static_cast<LONG_PTR>(cr));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_hWnd);
    PumpMessages(100);
}

CColourPatch::~CColourPatch()
{
    ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CColourPatch::Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
    {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        HBRUSH hBrush = ::CreateSolidBrush(static_cast<COLORREF>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA)));
        ::FillRect(reinterpret_cast<HDC>(wParam), &rc, hBrush);
        ::DeleteObject(hBrush);
        return 1;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}
