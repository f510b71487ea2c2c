#ifndef GLIMWICK_APP_QUIETSTATE_H
#define GLIMWICK_APP_QUIETSTATE_H

#include <windows.h>

// Whether Windows says the user does not want to be disturbed: the shell's
// quiet time, or Focus assist (Do not disturb) turned on. Every reading
// that fails counts as "not quiet", so a reminder is never held by an
// answer the system did not give.
class CQuietState
{
public:
    typedef BOOL (*Reading)();

    static BOOL IsQuiet();
    // Puts pfnReading in place of the system's reading in this process;
    // NULL restores the system's. The program never calls it: it lets a
    // run show what the program does with an answer Wine never gives.
    static void ReplaceReading(Reading pfnReading);

    // The system's reading.
    static BOOL SystemReading();

private:
    // Focus assist's active profile, from a state of the shell that has no
    // documented interface: looked up at run time, 0 (off) when it or the
    // state is missing.
    static DWORD FocusAssistProfile();
};

#endif
