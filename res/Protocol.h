#ifndef GLIMWICK_RES_PROTOCOL_H
#define GLIMWICK_RES_PROTOCOL_H

// How other processes reach a running Glimwick: the title they find it by,
// the messages its controller accepts and the identifiers of its tray icon.
// The program, glimctl, Sillbeck.dll, the tests and the setup program's
// script (install/Instance.nsh reads the title, the setup mutex and the exit
// command from this file, so those stay one-line #defines) all take them
// from here.

// The caption of the hidden controller.
#define GLIMWICK_MARKER_TITLE "__@GLIMWICK@20010817@__"
// The mutex a setup program or uninstaller holds while it changes the
// installed copy, so that two of them take turns.
#define GLIMWICK_SETUP_MUTEX "MOSS-HARK.Glimwick.Setup"

// WM_COMMAND identifiers another process may post to the controller. Exit
// is the dialog's own OK (IDOK), which ends its modal loop.
#define GLIMWICK_COMMAND_EXIT 1
#define IDC_RELOAD_INTERVAL 1004
#define IDC_TRACKER_START 1007
#define IDC_TRACKER_STOP 1008

// The controller's reminder timer: posting WM_TIMER with it shows a
// reminder at once.
#define GLIMWICK_TIMER_REMINDER 1000

// The tray icon's identifier with the shell, which is also the control
// identifier of its hidden child window under the controller.
#define GLIMWICK_TRAY_ICON_ID 1102

// Requests other processes send the controller as WM_COPYDATA (the dwData
// of the data), with wParam naming a window of theirs for the answer. The
// controller returns TRUE when it did what was asked, and
// GLIMWICK_COPY_REFUSED_BY_POLICY when an administrator's policy forbids it.
#define GLIMWICK_COPY_STATUS 0x474C5301
// The data is the number of minutes, one DWORD from 1 to 1440.
#define GLIMWICK_COPY_PAUSE 0x474C5302
#define GLIMWICK_COPY_RESUME 0x474C5303
// The answer to a status request, sent to the asker's window: key=value
// lines, each ending with a line feed. Only a window of this class is
// answered.
#define GLIMWICK_COPY_STATUS_REPLY 0x474C5304
#define GLIMWICK_REPLY_CLASS "GlimctlReply"
// The controller's answer to a request that a policy forbids.
#define GLIMWICK_COPY_REFUSED_BY_POLICY 0x474C5350

#ifndef RC_INVOKED
#include <windows.h>

static_assert(GLIMWICK_COMMAND_EXIT == IDOK, "Exit is the controller's OK");

// The minutes a GLIMWICK_COPY_PAUSE request may ask for.
constexpr UINT GLIMWICK_PAUSE_MIN_MINUTES = 1;
constexpr UINT GLIMWICK_PAUSE_MAX_MINUTES = 1440;

// The shell notifies the tray icon's window with this message.
constexpr UINT WM_GLIMWICK_TRAY_NOTIFY = WM_APP;

// A notification-area rectangle reported to the controller: each edge is
// an unsigned 16-bit number, left and top in wParam, right and bottom in
// lParam (low word first).
constexpr UINT WM_GLIMWICK_TRAY_REPORT = WM_APP;
constexpr unsigned TRAY_REPORT_EDGE_MAX = 0xFFFF;

inline WPARAM TrayReportWParam(const RECT& rc)
{
    return MAKEWPARAM(rc.left, rc.top);
}

inline LPARAM TrayReportLParam(const RECT& rc)
{
    return MAKELPARAM(rc.right, rc.bottom);
}

inline RECT TrayReportRect(WPARAM wParam, LPARAM lParam)
{
    return {LOWORD(wParam), HIWORD(wParam), LOWORD(lParam), HIWORD(lParam)};
}
#endif

#endif
