#ifndef GLIMWICK_FRAME_WND_H
#define GLIMWICK_FRAME_WND_H

#include <windows.h>

// A window object over one HWND. Messages reach the object through one
// static procedure, which finds it in GWLP_USERDATA and calls the virtual
// WindowProc: each class overrides WindowProc with a switch that calls its
// typed OnXxx handlers and ends in its base's WindowProc, which ends in the
// default processing. The object destroys its window when it is destroyed.
class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = NULL;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object that owns hWnd through the framework, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates a window of the framework's own class (pszClass NULL) or of a
    // system class, which is then subclassed. On failure m_hWnd stays NULL.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR pszClass, LPCSTR pszName, DWORD dwStyle,
                  const RECT& rc, CWnd* pParent, UINT nID);

    // Routes hWnd's messages through this object; FALSE if it is already
    // routed or the object already has a window.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Gives the window its previous procedure back; returns it, or NULL.
    HWND UnsubclassWindow();

    virtual BOOL DestroyWindow();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PreSubclassWindow() {}
    // Called after the last message the window receives; the object may
    // delete itself here.
    virtual void PostNcDestroy() {}

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL ShowWindow(int nCmdShow);
    BOOL SetWindowPos(HWND hWndAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void GetClientRect(RECT* prc) const;
    DWORD GetStyle() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);

    // Runs a message loop for this window until EndModalLoop is called or
    // the window is destroyed; returns the code given to EndModalLoop
    // (-1 when the window went away or the loop ended on WM_QUIT).
    int RunModalLoop(DWORD dwFlags = 0);
    void EndModalLoop(int nResult);
    BOOL ContinueModal() const { return m_bContinueModal; }

protected:
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Attaches the object to a window created with it as creation parameter.
    void AttachCreated(HWND hWnd);
    // Gives keyboard messages of a dialog to the dialog manager first.
    static BOOL PreTranslateMessage(MSG* pMsg);

    WNDPROC m_pfnSuper = NULL;

private:
    void OnFinalMessage(HWND hWnd);

    BOOL m_bContinueModal = FALSE;
    int m_nModalResult = -1;
};

#endif
