#include "app/SessionWatch.h"

#include <wtsapi32.h>

CSessionWatch::~CSessionWatch()
{
    Stop();
}

void CSessionWatch::Start(HWND hWnd)
{
    Stop();
    if (::WTSRegisterSessionNotification(hWnd, NOTIFY_FOR_THIS_SESSION))
        m_hWnd = hWnd;
}

void CSessionWatch::Stop()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::WTSUnRegisterSessionNotification(m_hWnd);
    m_hWnd = NULL;
    m_bLocked = FALSE;
}

void CSessionWatch::OnSessionChange(WPARAM nEvent)
{
    if (nEvent == WTS_SESSION_LOCK)
        m_bLocked = TRUE;
    else if (nEvent == WTS_SESSION_UNLOCK)
        m_bLocked = FALSE;
}
