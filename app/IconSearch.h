#ifndef GLIMWICK_APP_ICONSEARCH_H
#define GLIMWICK_APP_ICONSEARCH_H

#include "frame/CriticalSection.h"

#include <windows.h>

class CGlimwickDlg;

// What one search's worker thread works on: its stop request, its results
// and the way to the controller's tray image. The controller and the worker
// each hold a reference and the last to let go frees it, so a worker that
// the controller has given up on ends on its own without touching the
// controller again.
class CIconSearch
{
public:
    // NULL when the stop request cannot be made: without it the worker could
    // neither pause nor be stopped, so there is no search at all.
    static CIconSearch* Create(CGlimwickDlg* pOwner);
    CIconSearch(const CIconSearch&) = delete;
    CIconSearch& operator=(const CIconSearch&) = delete;

    void AddRef();
    void Release();

    // Asks the worker to stop and cuts it off from the controller; returns
    // once the worker is not inside a change of the tray image.
    void Abandon();

    // The worker's whole search; 1 when the icon was found, else 0.
    UINT Scan();

    // The notification area the worker scanned, and the icon rectangle
    // (empty unless found). Read only after the worker has ended.
    const RECT& TrayArea() const { return m_rcArea; }
    const RECT& IconRect() const { return m_rcIcon; }

private:
    CIconSearch(CGlimwickDlg* pOwner, HANDLE hStop);
    ~CIconSearch();

    // Waits nMilliseconds; TRUE when the search was called off.
    BOOL Pause(DWORD nMilliseconds) const;
    // FALSE when the controller has given up on this search.
    BOOL ShowMarker(int nFrame);

    LONG m_nRefs = 1;
    const HANDLE m_hStop;
    CCriticalSection m_gate;
    CGlimwickDlg* m_pOwner;
    RECT m_rcArea = {};
    RECT m_rcIcon = {};
};

#endif
