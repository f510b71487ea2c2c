#include "windows/MonitorChoice.h"

#include <algorithm>

namespace
{
BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT prc, LPARAM lParam)
{
    reinterpret_cast<std::vector<CMonitorChoice::Monitor>*>(lParam)->push_back({hMonitor, *prc});
    return TRUE;
}

LONGLONG Area(const RECT& rc)
{
    return static_cast<LONGLONG>(rc.right - rc.left) * (rc.bottom - rc.top);
}
} // namespace

int CMonitorChoice::Choose(const std::vector<Monitor>& layout, const RECT* prcFront, POINT ptPointer)
{
    // The pointer counts as a rectangle of one pixel.
    const RECT rcWhere = prcFront ? *prcFront : RECT{ptPointer.x, ptPointer.y, ptPointer.x + 1, ptPointer.y + 1};
    int nBest = -1;
    LONGLONG nBestShare = 0;
    for (size_t i = 0; i < layout.size(); ++i)
    {
        RECT rcShare;
        if (::IntersectRect(&rcShare, &rcWhere, &layout[i].rcMonitor) && Area(rcShare) > nBestShare)
        {
            nBest = static_cast<int>(i);
            nBestShare = Area(rcShare);
        }
    }
    if (nBest >= 0)
        return nBest;
    LONGLONG nBestDistance = 0;
    for (size_t i = 0; i < layout.size(); ++i)
    {
        const LONGLONG nDistance = Distance(rcWhere, layout[i].rcMonitor);
        if (nBest < 0 || nDistance < nBestDistance)
        {
            nBest = static_cast<int>(i);
            nBestDistance = nDistance;
        }
    }
    return nBest;
}

LONGLONG CMonitorChoice::Distance(const RECT& rcA, const RECT& rcB)
{
    const LONGLONG dx = std::max({0L, rcB.left - rcA.right, rcA.left - rcB.right});
    const LONGLONG dy = std::max({0L, rcB.top - rcA.bottom, rcA.top - rcB.bottom});
    return dx * dx + dy * dy;
}

HMONITOR CMonitorChoice::WhereUserWorks(HWND hIgnore)
{
    std::vector<Monitor> layout;
    ::EnumDisplayMonitors(NULL, NULL, AddMonitor, reinterpret_cast<LPARAM>(&layout));
    RECT rcFront;
    POINT ptPointer = {};
    const BOOL bFront = FrontRect(hIgnore, &rcFront);
    if (!bFront)
        ::GetCursorPos(&ptPointer);
    const int nChosen = Choose(layout, bFront ? &rcFront : nullptr, ptPointer);
    return nChosen < 0 ? NULL : layout[nChosen].hMonitor;
}

BOOL CMonitorChoice::FrontRect(HWND hIgnore, RECT* prc)
{
    HWND hWnd = ::GetForegroundWindow();
    if (!hWnd || hWnd == hIgnore || hWnd == ::GetDesktopWindow() || hWnd == ::GetShellWindow() ||
        ::IsIconic(hWnd))
        return FALSE;
    return ::GetWindowRect(hWnd, prc);
}
