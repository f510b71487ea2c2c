#ifndef GLIMWICK_FRAME_WND_H
#define GLIMWICK_FRAME_WND_H

#include <windows.h>

// A window object over one HWND. Messages reach the object through one
// static procedure, which finds it in GWLP_USERDATA and calls the virtual
// WindowProc. WindowProc decodes the messages the program handles once and
// calls the typed OnXxx handlers, which classes override; what no handler
// takes goes to the default processing. A class overrides WindowProc itself
// only for messages without a typed handler, ending in its base's
// WindowProc. A control's notifications to its parent (colour requests and
// commands) are offered to the control first when it is a window object
// too, as OnChildNotify. The object destroys its window when it is
// destroyed.
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
    // The typed handlers. Those returning BOOL return FALSE to leave the
    // message to the default processing; a timer, and a position change,
    // reach it after the handler in any case.
    virtual BOOL OnCommand(UINT nID, UINT nCode, HWND hWndControl);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual BOOL OnPaint();
    // nID with the system's low four bits.
    virtual BOOL OnSysCommand(UINT nID, LPARAM lParam);
    virtual BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT nMouseMessage);
    // The message's result: non-zero (TRUE, or a code of the caller's
    // protocol) when the data was taken.
    virtual BOOL OnCopyData(HWND hWndFrom, const COPYDATASTRUCT* pData);
    virtual void OnWindowPosChanged(const WINDOWPOS& pos);

    // A notification of this window, as a control, to its parent: TRUE,
    // with the answer for the parent's caller in *pResult, when the control
    // takes it; otherwise the parent handles it. Colour requests go on to
    // CtlColor.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The control's own colours (nCtlColor one of CTLCOLOR_*): its brush, or
    // NULL to leave the colours to the parent.
    virtual HBRUSH CtlColor(HDC hDC, UINT nCtlColor);

    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Attaches the object to a window created with it as creation parameter.
    void AttachCreated(HWND hWnd);
    // Gives keyboard messages of a dialog to the dialog manager first.
    static BOOL PreTranslateMessage(MSG* pMsg);

    WNDPROC m_pfnSuper = NULL;

private:
    void OnFinalMessage(HWND hWnd);
    // Offers a control's notification to the control: TRUE when it answered.
    BOOL ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    BOOL m_bContinueModal = FALSE;
    int m_nModalResult = -1;
};

#endif
