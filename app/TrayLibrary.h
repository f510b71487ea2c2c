#ifndef GLIMWICK_APP_TRAYLIBRARY_H
#define GLIMWICK_APP_TRAYLIBRARY_H

#include <windows.h>

// The program's binding of Sillbeck.dll, made once at start-up by ordinal.
// Without the library (or one of its entries) the program still runs: the
// tracker never starts and no notification-area rectangle is known.
class CTrayLibrary
{
public:
    // Loads the library from pszPath (NULL: Sillbeck.dll beside the program)
    // and binds ordinals 10, 20 and 30. FALSE when nothing could be bound;
    // entries that are missing stay unbound.
    static BOOL Bind(LPCSTR pszPath = nullptr);
    static void Unbind();
    // TRUE when all three entries are bound.
    static BOOL IsBound();

    // Whether the system's LoadLibraryEx can search the program's folder
    // alone.
    static BOOL SystemHasSearchFlags();
    // Loads Sillbeck.dll from the program's folder, by that search or, where
    // the system lacks it, by the program's full path in UTF-16.
    static HMODULE LoadBesideProgram(BOOL bSearchFlags);
};

// Non-zero when the tracker started; 0 when it did not or is not bound.
int SillbeckStart();
void SillbeckStop();
// Non-zero with *prc set on success; 0 with *prc untouched on failure.
int SillbeckGetTrayRect(RECT* prc);

#endif
