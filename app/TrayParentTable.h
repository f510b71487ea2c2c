#ifndef GLIMWICK_APP_TRAYPARENTTABLE_H
#define GLIMWICK_APP_TRAYPARENTTABLE_H

#include <windows.h>

// The process-wide table of parent windows whose procedure a tray icon
// replaced, so the replacement can pass the taskbar's re-creation on to the
// icon's window and every other message to the previous procedure. Made on
// first use; every access holds its lock.
class CTrayParentTable
{
public:
    static constexpr int MAX_ENTRIES = 100;

    // TRUE when the parent is recorded: a new entry (count 1), or a second
    // registration of a recorded parent (count + 1, nothing else changed).
    // FALSE, with nothing recorded, when the table is full.
    static BOOL Register(HWND hParent, WNDPROC pfnPrevious, HWND hTray);
    // TRUE when the parent's count reached 0: *ppfnPrevious gets its previous
    // procedure and the entry is freed. FALSE otherwise (*ppfnPrevious kept).
    static BOOL Remove(HWND hParent, WNDPROC* ppfnPrevious);
    // FALSE, with the outputs untouched, when the parent is not recorded.
    static BOOL Lookup(HWND hParent, WNDPROC* ppfnPrevious, HWND* phTray);
};

#endif
