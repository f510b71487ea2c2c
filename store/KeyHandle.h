#ifndef GLIMWICK_STORE_KEYHANDLE_H
#define GLIMWICK_STORE_KEYHANDLE_H

#include <windows.h>

// One open registry key, closed when the object goes: the registry object's
// operations keep every key they open in one of these, so that no handle
// outlives the operation on any path.
class CKeyHandle
{
public:
    CKeyHandle() = default;
    ~CKeyHandle() { Close(); }
    CKeyHandle(const CKeyHandle&) = delete;
    CKeyHandle& operator=(const CKeyHandle&) = delete;

    // FALSE (and no key held) when the key cannot be opened.
    BOOL Open(HKEY hParent, LPCSTR pszSubKey, REGSAM samDesired)
    {
        Close();
        HKEY hKey = NULL;
        if (::RegOpenKeyExA(hParent, pszSubKey, 0, samDesired, &hKey) != ERROR_SUCCESS)
            return FALSE;
        m_hKey = hKey;
        return TRUE;
    }

    // Creates the key (and missing keys on the way) or opens an existing one,
    // non-volatile, with no class and no security attributes. FALSE (and no
    // key held) on failure.
    BOOL Create(HKEY hParent, LPCSTR pszSubKey, REGSAM samDesired)
    {
        Close();
        HKEY hKey = NULL;
        char szNoClass[] = "";
        if (::RegCreateKeyExA(hParent, pszSubKey, 0, szNoClass, REG_OPTION_NON_VOLATILE, samDesired,
                              NULL, &hKey, NULL) != ERROR_SUCCESS)
            return FALSE;
        m_hKey = hKey;
        return TRUE;
    }

    void Close()
    {
        if (m_hKey)
            ::RegCloseKey(m_hKey);
        m_hKey = NULL;
    }

    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = NULL;
};

#endif
