#ifndef GLIMWICK_FRAME_IME_H
#define GLIMWICK_FRAME_IME_H

#include <windows.h>

// Switches the input method editor for a window on or off. Exported by
// user32 but declared in no header of the tool chain.
extern "C" BOOL WINAPI WINNLSEnableIME(HWND hWnd, BOOL bEnable);

#endif
