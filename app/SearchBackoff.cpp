#include "app/SearchBackoff.h"

UINT CSearchBackoff::OnFailure(const RECT& rcArea)
{
    m_rcFailed = rcArea;
    ++m_nFailures;
    // Doubled once for every failure past the first ones.
    UINT nWait = FIRST_WAIT_MS;
    for (int i = FAILURES_AT_FIRST_WAIT; i < m_nFailures && nWait < LONGEST_WAIT_MS; ++i)
        nWait *= 2;
    return nWait < LONGEST_WAIT_MS ? nWait : LONGEST_WAIT_MS;
}

void CSearchBackoff::Reset()
{
    m_nFailures = 0;
    ::SetRectEmpty(&m_rcFailed);
}

BOOL CSearchBackoff::IsNewArea(const RECT& rcArea) const
{
    return !::EqualRect(&rcArea, &m_rcFailed);
}
