#ifndef GLIMWICK_TOOLS_REPLYWINDOW_H
#define GLIMWICK_TOOLS_REPLYWINDOW_H

#include <windows.h>

#include <string>

// glimctl's own message-only window, to which the running instance sends
// its answer (WM_COPYDATA with a given dwData). Destroyed with the object.
class CReplyWindow
{
public:
    explicit CReplyWindow(ULONG_PTR dwExpected);
    ~CReplyWindow();
    CReplyWindow(const CReplyWindow&) = delete;
    CReplyWindow& operator=(const CReplyWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    bool Received() const { return m_bReceived; }
    const std::string& Text() const { return m_strText; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    ULONG_PTR m_dwExpected;
    HWND m_hWnd = NULL;
    bool m_bReceived = false;
    std::string m_strText;
};

#endif
