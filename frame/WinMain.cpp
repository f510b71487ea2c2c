#include "frame/WinApp.h"

// The program's entry point hands everything to the application object.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}
