// The yardstick of the footprint bench: a program that does only the tray
// eye's own work, two cursor reads and eight single-pixel writes to the
// screen every 200 ms, from a hidden window's timer like the real one.
// It ends when its window is closed.
#include <windows.h>

namespace
{
const char kTitle[] = "Glimwick minimal eye";
const UINT_PTR kTimerTick = 100;
const UINT kTickMs = 200;
// Where the pupils go: a corner of the screen that nothing else paints.
const int kCornerX = 4;
const int kCornerY = 4;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

POINT g_ptPupil = {};

// Erases the old pupils and paints new ones, as the eye does: two pixels
// per eye each way.
void Tick()
{
    POINT ptFirst, ptSecond;
    ::GetCursorPos(&ptFirst);
    ::GetCursorPos(&ptSecond);
    HDC hdc = ::GetDC(NULL);
    for (int nEye = 0; nEye < 2; ++nEye)
    {
        const int x = kCornerX + nEye * 7 + g_ptPupil.x;
        ::SetPixel(hdc, x, kCornerY + g_ptPupil.y, kWhite);
        ::SetPixel(hdc, x, kCornerY + g_ptPupil.y + 1, kWhite);
    }
    g_ptPupil = {ptSecond.x % 3, ptSecond.y % 3};
    for (int nEye = 0; nEye < 2; ++nEye)
    {
        const int x = kCornerX + nEye * 7 + g_ptPupil.x;
        ::SetPixel(hdc, x, kCornerY + g_ptPupil.y, kBlack);
        ::SetPixel(hdc, x, kCornerY + g_ptPupil.y + 1, kBlack);
    }
    ::ReleaseDC(NULL, hdc);
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_TIMER:
        Tick();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kTitle;
    if (!::RegisterClassA(&wc))
        return 1;
    HWND hWnd = ::CreateWindowExA(0, kTitle, kTitle, WS_POPUP, 0, 0, 0, 0, NULL, NULL, hInstance, NULL);
    if (!hWnd)
        return 1;
    ::SetTimer(hWnd, kTimerTick, kTickMs, NULL);
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
