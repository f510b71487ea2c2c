#ifndef GLIMWICK_STORE_STOREDSETTINGS_H
#define GLIMWICK_STORE_STOREDSETTINGS_H

#include "frame/String.h"

// The program's two stored settings in the current user's hive: the
// reminder interval's index and the reminder text.
class CStoredSettings
{
public:
    static constexpr const char* KEY_PATH = "HKEY_CURRENT_USER\\Software\\MOSS-HARK\\Glimwick";
    static constexpr const char* PARENT_PATH = "HKEY_CURRENT_USER\\Software\\MOSS-HARK";
    static constexpr const char* KEY_NAME = "Glimwick";
    static constexpr const char* VALUE_INTERVAL = "Interval";
    static constexpr const char* VALUE_MESSAGE = "Message";

    // Interval indices: 0..4 remind every 10, 30, 60 minutes, 2 or 3 hours;
    // this one and any other value never.
    static constexpr DWORD INTERVAL_NONE = 5;

    // The text shown when no message is stored or the stored one is empty.
    static const char* const DEFAULT_MESSAGE;

    // The reminder period of an interval index in milliseconds; 0 for none.
    static UINT ReminderPeriod(DWORD nIndex);

    // The stored interval index; 0 when it is missing or unreadable.
    static DWORD ReadInterval();
    // The stored message; empty when it is missing or unreadable.
    static CString ReadMessage();
    // The longest reminder text drawn, in bytes: the reminder draws its
    // text in large letters across the screen, a few lines at most, and a
    // huge stored text would hold the program up while it is laid out.
    static constexpr int MAX_SHOWN_MESSAGE = 4096;

    // The stored message whole, or the default one in its place when empty.
    static CString MessageToEdit() { return MessageToEdit(ReadMessage()); }
    // MessageToEdit cut to MAX_SHOWN_MESSAGE bytes, at a whole character.
    static CString MessageToShow() { return MessageToShow(ReadMessage()); }
    // The same for a message from elsewhere (a policy's).
    static CString MessageToEdit(const CString& strMessage);
    static CString MessageToShow(const CString& strMessage);

    // FALSE when the value could not be written (the key is made as needed).
    static BOOL WriteInterval(DWORD dwIndex);
    static BOOL WriteMessage(const CString& strMessage);
    // Removes the program's key with both values; its parent stays.
    static BOOL DeleteAll();
};

#endif
