// glimctl: sends a running Glimwick what other processes may send it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/Protocol.h"
#include "tools/ReplyWindow.h"

namespace
{
// How long a request may wait for the running instance: longer than an
// icon search, which holds the instance's thread for up to 20 seconds. A
// request given up on would still be carried out later.
const UINT kAnswerTimeoutMs = 25000;

// Exit codes.
const int kExitNotRunning = 1;
const int kExitUsage = 2;
const int kExitNoAnswer = 3;
const int kExitRefusedByPolicy = 4;

struct Command
{
    const char* pszName;
    UINT nMessage;
    WPARAM wParam;
    const char* pszHelp;
};

const Command kCommands[] = {
    {"exit", WM_COMMAND, GLIMWICK_COMMAND_EXIT, "end the running instance"},
    {"reload", WM_COMMAND, IDC_RELOAD_INTERVAL, "re-read the reminder interval and the policies"},
    {"start", WM_COMMAND, IDC_TRACKER_START, "start the tray tracker"},
    {"stop", WM_COMMAND, IDC_TRACKER_STOP, "stop the tray tracker"},
    {"remind", WM_TIMER, GLIMWICK_TIMER_REMINDER, "show the reminder now"},
};

int Usage()
{
    std::fprintf(stderr, "usage: glimctl COMMAND\n");
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %-28s %s\n", c.pszName, c.pszHelp);
    std::fprintf(stderr, "  %-28s %s\n", "report LEFT TOP RIGHT BOTTOM",
                 "report a notification-area rectangle (each 0..65535)");
    std::fprintf(stderr, "  %-28s %s\n", "status", "print the reminders' state as key=value lines");
    std::fprintf(stderr, "  %-28s %s\n", "pause MINUTES", "show no reminder for 1..1440 minutes");
    std::fprintf(stderr, "  %-28s %s\n", "resume", "end a pause now");
    return kExitUsage;
}

// Parses a decimal number of nMin..nMax into *pn; FALSE for anything else.
bool ParseNumber(const char* psz, unsigned long nMin, unsigned long nMax, unsigned* pn)
{
    if (!*psz)
        return false;
    unsigned long n = 0;
    for (const char* p = psz; *p; ++p)
    {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + static_cast<unsigned long>(*p - '0');
        if (n > nMax)
            return false;
    }
    if (n < nMin)
        return false;
    *pn = static_cast<unsigned>(n);
    return true;
}

HWND FindInstance()
{
    HWND hWnd = ::FindWindowA(NULL, GLIMWICK_MARKER_TITLE);
    if (!hWnd)
        std::fprintf(stderr, "glimctl: Glimwick is not running\n");
    return hWnd;
}

// Sends a request the instance answers; a status request's answer is
// printed.
int Request(ULONG_PTR dwRequest, const void* pData, DWORD cbData)
{
    HWND hWnd = FindInstance();
    if (!hWnd)
        return kExitNotRunning;
    CReplyWindow reply(GLIMWICK_COPY_STATUS_REPLY);
    if (!reply.Handle())
    {
        std::fprintf(stderr, "glimctl: could not make a window for the answer (error %lu)\n", ::GetLastError());
        return kExitNoAnswer;
    }
    COPYDATASTRUCT data = {dwRequest, cbData, const_cast<void*>(pData)};
    DWORD_PTR dwResult = 0;
    // The answer to a status request arrives while this call waits. Not
    // given up as hung: a search keeps the instance from its messages.
    if (!::SendMessageTimeoutA(hWnd, WM_COPYDATA, reinterpret_cast<WPARAM>(reply.Handle()),
                               reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kAnswerTimeoutMs, &dwResult))
    {
        std::fprintf(stderr, "glimctl: Glimwick did not answer within %u seconds\n", kAnswerTimeoutMs / 1000);
        return kExitNoAnswer;
    }
    if (dwResult == GLIMWICK_COPY_REFUSED_BY_POLICY)
    {
        std::fprintf(stderr, "glimctl: refused: the administrator's policy (DisablePause) does not allow pauses\n");
        return kExitRefusedByPolicy;
    }
    const bool bWantsText = dwRequest == GLIMWICK_COPY_STATUS;
    if (!dwResult || (bWantsText && !reply.Received()))
    {
        std::fprintf(stderr, "glimctl: Glimwick did not accept the request\n");
        return kExitNoAnswer;
    }
    if (bWantsText)
        std::fputs(reply.Text().c_str(), stdout);
    return 0;
}

int Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = FindInstance();
    if (!hWnd)
        return kExitNotRunning;
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
            if (!ParseNumber(argv[2 + i], 0, TRAY_REPORT_EDGE_MAX, &edges[i]))
            {
                std::fprintf(stderr, "glimctl: '%s' is not a number from 0 to 65535\n", argv[2 + i]);
                return kExitUsage;
            }
        }
        const RECT rc = {static_cast<LONG>(edges[0]), static_cast<LONG>(edges[1]), static_cast<LONG>(edges[2]),
                         static_cast<LONG>(edges[3])};
        return Post(WM_GLIMWICK_TRAY_REPORT, TrayReportWParam(rc), TrayReportLParam(rc));
    }
    if (std::strcmp(argv[1], "pause") == 0)
    {
        if (argc != 3)
            return Usage();
        unsigned nMinutes = 0;
        if (!ParseNumber(argv[2], GLIMWICK_PAUSE_MIN_MINUTES, GLIMWICK_PAUSE_MAX_MINUTES, &nMinutes))
        {
            std::fprintf(stderr, "glimctl: '%s' is not a number of minutes from %u to %u\n", argv[2],
                         GLIMWICK_PAUSE_MIN_MINUTES, GLIMWICK_PAUSE_MAX_MINUTES);
            return kExitUsage;
        }
        const DWORD dwMinutes = nMinutes;
        return Request(GLIMWICK_COPY_PAUSE, &dwMinutes, sizeof dwMinutes);
    }
    if (argc != 2)
        return Usage();
    if (std::strcmp(argv[1], "status") == 0)
        return Request(GLIMWICK_COPY_STATUS, nullptr, 0);
    if (std::strcmp(argv[1], "resume") == 0)
        return Request(GLIMWICK_COPY_RESUME, nullptr, 0);
    for (const Command& c : kCommands)
    {
        if (std::strcmp(argv[1], c.pszName) == 0)
            return Post(c.nMessage, c.wParam, 0);
    }
    std::fprintf(stderr, "glimctl: unknown command '%s'\n", argv[1]);
    return Usage();
}
