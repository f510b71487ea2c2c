#ifndef GLIMWICK_FRAME_WINAPP_H
#define GLIMWICK_FRAME_WINAPP_H

#include <windows.h>

class CWnd;

// The application object: one global instance per program. Its constructor
// registers it; the program's entry point calls InitInstance and, only when
// that returns TRUE, runs the message loop of Run.
class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    HINSTANCE m_hInstance = NULL;
    CWnd* m_pMainWnd = nullptr;
};

// The registered application object, or NULL in a program without one.
CWinApp* AfxGetApp();
// The module whose resources the program uses: the program file itself.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application's main window, or NULL.
CWnd* AfxGetMainWnd();

// The body of the program's entry point.
int AfxWinMain(HINSTANCE hInstance);

#endif
