#ifndef GLIMWICK_STORE_POLICIES_H
#define GLIMWICK_STORE_POLICIES_H

#include "frame/String.h"

#include <windows.h>

// Settings an administrator sets for the machine or for one user, under the
// policies key of either hive, laid over the user's own stored settings:
// where a policy sets a value the program uses it and the user cannot change
// it. The user's stored values are only read, never changed.
//
// The key and value names are the ones the policy templates in
// install/policy write; a test reads them from this header and compares.
class CPolicies
{
public:
    // Under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
    static constexpr const char* KEY = "Software\\Policies\\MOSS-HARK\\Glimwick";
    // REG_DWORD: an interval index, 0 to INTERVAL_NONE.
    static constexpr const char* VALUE_INTERVAL = "Interval";
    // REG_SZ: the reminder text.
    static constexpr const char* VALUE_MESSAGE = "Message";
    // REG_DWORD: 1 refuses pauses; 0 leaves them to the user.
    static constexpr const char* VALUE_DISABLE_PAUSE = "DisablePause";

    // Reads both hives afresh; for each value the machine's wins. A value of
    // another type, size or range counts as not set, and is logged the first
    // time it is found so (again only after it was good or gone meanwhile).
    void Read();

    BOOL SetsInterval() const { return m_bInterval; }
    BOOL SetsMessage() const { return m_bMessage; }
    BOOL DisablesPause() const { return m_bNoPause; }
    // The names of the values a policy sets, comma separated; empty for none.
    CString SetNames() const;

    // The interval index in force: the policy's, or else the user's.
    DWORD Interval() const;
    // The message in force, whole for the Settings dialog and cut for the
    // reminder, under the stored message's rules (an empty text shows the
    // default one).
    CString MessageToEdit() const;
    CString MessageToShow() const;

private:
    enum Value
    {
        POLICY_INTERVAL,
        POLICY_MESSAGE,
        POLICY_DISABLE_PAUSE,
        POLICY_COUNT,
    };
    enum Reading
    {
        READ_ABSENT,
        READ_GOOD,
        READ_BAD,
    };

    // Reads one hive's values over what was read before.
    void ReadHive(int nHive);
    // The policy's message, or else the user's, as stored.
    CString Message() const;
    // Logs a bad value once; nHive indexes the hives' root names.
    void Note(int nHive, Value value, Reading reading);

    BOOL m_bInterval = FALSE;
    DWORD m_dwInterval = 0;
    BOOL m_bMessage = FALSE;
    CString m_strMessage;
    BOOL m_bNoPause = FALSE;
    // The bad values already logged: one bit per hive and value.
    UINT m_nLogged = 0;
};

#endif
