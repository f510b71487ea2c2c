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
        return OpenResult(hParent, pszSubKey, samDesired, 0) == ERROR_SUCCESS;
    }

    // The registry's answer (and no key held unless ERROR_SUCCESS), so that
    // a missing key can be told from one that refuses access. dwOptions:
    // REG_OPTION_OPEN_LINK opens a symbolic link itself, not its target.
    LONG OpenResult(HKEY hParent, LPCSTR pszSubKey, REGSAM samDesired, DWORD dwOptions)
    {
        Close();
        HKEY hKey = NULL;
        const LONG lResult = ::RegOpenKeyExA(hParent, pszSubKey, dwOptions, samDesired, &hKey);
        if (lResult == ERROR_SUCCESS)
            m_hKey = hKey;
        return lResult;
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
