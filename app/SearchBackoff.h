#ifndef GLIMWICK_APP_SEARCHBACKOFF_H
#define GLIMWICK_APP_SEARCHBACKOFF_H

#include <windows.h>

// How long the controller waits before it searches again for an icon it
// could not find. Every search holds the program's thread for a second or
// more and flashes the markers, so an icon that stays out of sight (in the
// overflow, under another window, scaled past recognition) is looked for
// less and less often: three retries 10 s apart, then twice as long each
// time, up to 5 minutes. A notification area that really changed, a report
// or a found icon starts the count again. It keeps no timer and reads
// nothing from the system: the controller hands it what happened.
class CSearchBackoff
{
public:
    static constexpr UINT FIRST_WAIT_MS = 10000;
    static constexpr UINT LONGEST_WAIT_MS = 5 * 60 * 1000;
    // Failures in a row that are retried after the first wait.
    static constexpr int FAILURES_AT_FIRST_WAIT = 3;

    // A search of rcArea (empty when the area was not known) failed: the
    // wait before the next retry, in milliseconds.
    UINT OnFailure(const RECT& rcArea);
    // A search is to start afresh, or the icon was found.
    void Reset();

    // TRUE when rcArea is not the area the last failed search scanned in
    // vain, so that looking there again may find the icon.
    BOOL IsNewArea(const RECT& rcArea) const;

private:
    int m_nFailures = 0;
    RECT m_rcFailed = {};
};

#endif
