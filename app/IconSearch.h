#ifndef GLIMWICK_APP_ICONSEARCH_H
#define GLIMWICK_APP_ICONSEARCH_H

#include "frame/CriticalSection.h"

#include <windows.h>

class CGlimwickDlg;

// What one search's worker thread works on: its stop request, the shell's
// word on where the icon is, its results and the way to the controller's
// tray image and to the log. The controller and the worker each hold a
// reference and the last to let go frees it, so a worker that the
// controller has given up on ends on its own without touching the
// controller again, and logs nothing more.
class CIconSearch
{
public:
    // The icon's size in the notification area: the frames' size.
    static constexpr int ICON_SIZE = 16;

    // NULL when the stop request cannot be made: without it the worker could
    // neither pause nor be stopped, so there is no search at all. Made on
    // the controller's thread, which asks the shell where the icon is and has
    // asked whether the desktop is composed.
    static CIconSearch* Create(CGlimwickDlg* pOwner);
    CIconSearch(const CIconSearch&) = delete;
    CIconSearch& operator=(const CIconSearch&) = delete;

    void AddRef();
    void Release();

    // Asks the worker to stop and cuts it off from the controller and the
    // log; returns once the worker is not inside a change of the tray image
    // or a log line.
    void Abandon();

    // The worker's whole search; 1 when the icon was found, else 0.
    UINT Scan();

    // The notification area the worker scanned (empty until it knows it).
    RECT TrayArea();
    // The icon rectangle, empty unless found. Read only after the worker
    // has ended.
    const RECT& IconRect() const { return m_rcIcon; }

    // Whether the shell's answer hr with rcShell is the icon's place: a
    // rectangle of the icon's size within the notification area (not in an
    // overflow elsewhere).
    static BOOL IsIconPlace(HRESULT hr, const RECT& rcShell, const RECT& rcArea);

private:
    CIconSearch(CGlimwickDlg* pOwner, HANDLE hStop);
    ~CIconSearch();

    // Waits nMilliseconds; TRUE when the search was called off.
    BOOL Pause(DWORD nMilliseconds) const;
    // FALSE when the controller has given up on this search.
    BOOL ShowMarker(int nFrame);
    // A line with a rectangle's edges, unless the search was given up on.
    void Log(LPCSTR pszFormat, const RECT& rc);
    // The marker run's top pixel is at pt: the icon is found.
    UINT Found(POINT pt);

    LONG m_nRefs = 1;
    const HANDLE m_hStop;
    CCriticalSection m_gate;
    CGlimwickDlg* m_pOwner;
    HRESULT m_hrShell = E_NOTIMPL;
    RECT m_rcShell = {};
    // Where the desktop is composed, reading the screen pixel by pixel is
    // slow, so the area is read in one block per marker. Elsewhere it is
    // read pixel by pixel: under Wine one block of the area leaves the X
    // side's copy of it in the heap for good (0.25 MiB at 1280 x 800,
    // 0.9 MiB at 3840 x 2160), while single pixels cost nothing.
    BOOL m_bReadAtOnce = FALSE;
    RECT m_rcArea = {};
    RECT m_rcIcon = {};
};

#endif
