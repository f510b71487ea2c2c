// glimctl: sends a running Glimwick what other processes may send it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"

namespace
{
// The controller's reminder timer: posting it shows a reminder at once.
const WPARAM kReminderTimer = 1000;

struct Command
{
    const char* pszName;
    UINT nMessage;
    WPARAM wParam;
    const char* pszHelp;
};

const Command kCommands[] = {
    {"exit", WM_COMMAND, IDOK, "end the running instance"},
    {"reload", WM_COMMAND, IDC_RELOAD_INTERVAL, "re-read the reminder interval"},
    {"start", WM_COMMAND, IDC_TRACKER_START, "start the tray tracker"},
    {"stop", WM_COMMAND, IDC_TRACKER_STOP, "stop the tray tracker"},
    {"remind", WM_TIMER, kReminderTimer, "show the reminder now"},
};

int Usage()
{
    std::fprintf(stderr, "usage: glimctl COMMAND\n");
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %-28s %s\n", c.pszName, c.pszHelp);
    std::fprintf(stderr, "  %-28s %s\n", "report LEFT TOP RIGHT BOTTOM",
                 "report a notification-area rectangle (each 0..65535)");
    return 2;
}

// Parses a decimal edge of 0..65535 into *pn; FALSE for anything else.
bool ParseEdge(const char* psz, unsigned* pn)
{
    if (!*psz)
        return false;
    unsigned long n = 0;
    for (const char* p = psz; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + static_cast<unsigned long>(*p - '0');
        if (n > 0xFFFF)
            return false;
    }
    *pn = static_cast<unsigned>(n);
    return true;
}

int Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE);
    if (!hWnd)
    {
        std::fprintf(stderr, "glimctl: Glimwick is not running\n");
        return 1;
    }
    if (!::PostMessageA(hWnd, nMessage, wParam, lParam))
    {
        std::fprintf(stderr, "glimctl: could not post to Glimwick (error %lu)\n", ::GetLastError());
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    if (std::strcmp(argv[1], "report") == 0)
    {
        unsigned edges[4];
        if (argc != 6)
            return Usage();
        for (int i = 0; i < 4; ++i)
        {
            if (!ParseEdge(argv[2 + i], &edges[i]))
            {
                std::fprintf(stderr, "glimctl: '%s' is not a number from 0 to 65535\n", argv[2 + i]);
                return 2;
            }
        }
        return Post(WM_APP, MAKEWPARAM(edges[0], edges[1]), MAKELPARAM(edges[2], edges[3]));
    }
    if (argc != 2)
        return Usage();
    for (const Command& c : kCommands)
    {
        if (std::strcmp(argv[1], c.pszName) == 0)
            return Post(c.nMessage, c.wParam, 0);
    }
    std::fprintf(stderr, "glimctl: unknown command '%s'\n", argv[1]);
    return Usage();
}
