#include "app/GlimwickApp.h"

#include "app/GlimwickDlg.h"
#include "app/TrayLibrary.h"
#include "frame/String.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/StoredSettings.h"

CGlimwickApp theApp;

namespace
{
HWND FindRunningInstance()
{
    return ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE);
}

// Asks a running instance to exit, twice at most, a second apart.
void CloseRunningInstance()
{
    for (int nTry = 0; nTry < 2; ++nTry)
    {
        HWND hWnd = FindRunningInstance();
        if (!hWnd)
            break;
        ::PostMessageA(hWnd, WM_COMMAND, GLIMWICK_COMMAND_EXIT, 0);
        ::Sleep(1000);
    }
}
} // namespace

BOOL CGlimwickApp::InitInstance()
{
    CString strCommandLine(::GetCommandLineA());
    strCommandLine.MakeUpper();
    if (strCommandLine.Find("/UNREGIST") >= 0)
    {
        CloseRunningInstance();
        CStoredSettings::DeleteAll();
        return FALSE;
    }
    if (FindRunningInstance())
        return FALSE;

    CTrayLibrary::Bind();
    {
        CGlimwickDlg dlg;
        m_pMainWnd = &dlg;
        dlg.Create(IDD_GLIMWICK_DIALOG);
        dlg.RunModalLoop();
        dlg.DestroyWindow();
        m_pMainWnd = nullptr;
    }
    CTrayLibrary::Unbind();
    return FALSE;
}
