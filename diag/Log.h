#ifndef GLIMWICK_DIAG_LOG_H
#define GLIMWICK_DIAG_LOG_H

#include <windows.h>

// The diagnostic log: stamped lines appended to a text file, by default
// <program>_v2.log in the temporary folder, moved aside to a ".bak" file once
// it passes one mebibyte. Logging never disturbs the program: every failure
// loses at most that one line.

// The location value that means the system's temporary folder.
inline const LPCSTR LOG_LOCATION_TEMP = reinterpret_cast<LPCSTR>(static_cast<INT_PTR>(-1));

// Appends one line; callable from any thread. The first call sets the log
// up (temporary folder, default name).
void WriteLog(LPCSTR pszFormat, ...);

// Sets the log up; only the first call of the process has any effect.
// pszName NULL: the default name; pszLocation NULL: the current folder,
// LOG_LOCATION_TEMP: the temporary folder, any other text: the whole path.
void InitLog(BOOL bEcho, LPCSTR pszName, LPCSTR pszLocation);

// The log path the rules above give; empty when it would not fit in 255
// characters (the log is then off).
void MakeLogPath(LPCSTR pszName, LPCSTR pszLocation, char (&szPath)[256]);

// The backup path of a log path: up to its last '.', then ".bak".
void MakeBackupPath(LPCSTR pszPath, char (&szBackup)[256]);

// The path the log writes to; empty before the first line or when off.
LPCSTR GetLogPath();

// Size past which the file is moved aside.
constexpr ULONGLONG LOG_ROTATE_SIZE = 0x100000;

#endif
