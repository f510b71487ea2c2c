#ifndef GLIMWICK_TESTS_TESTKEY_H
#define GLIMWICK_TESTS_TESTKEY_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// A registry key of one test's own, named after the test, under
// HKEY_CURRENT_USER\Software\GlimwickTest; made empty at the start and
// removed with everything below it at the end. Its checks use the registry
// interface directly, never the code under test.
class CTestKey
{
public:
    static constexpr LPCSTR PARENT = "Software\\GlimwickTest";

    CTestKey() : m_strSubKey(std::string(PARENT) + "\\" + CurrentTestName())
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_strSubKey.c_str());
        ::RegCreateKeyExA(HKEY_CURRENT_USER, m_strSubKey.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                          &m_hKey, NULL);
    }
    ~CTestKey()
    {
        if (m_hKey)
            ::RegCloseKey(m_hKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_strSubKey.c_str());
        // Goes only when no other test key is left in it.
        ::RegDeleteKeyA(HKEY_CURRENT_USER, PARENT);
    }
    CTestKey(const CTestKey&) = delete;
    CTestKey& operator=(const CTestKey&) = delete;

    // Open with all access for the test's own checks.
    HKEY Handle() const { return m_hKey; }
    // Software\GlimwickTest\<test name>, optionally with a path below it.
    std::string SubKey(const std::string& strBelow = std::string()) const
    {
        return strBelow.empty() ? m_strSubKey : m_strSubKey + "\\" + strBelow;
    }
    // The full path with the root name, as the registry object takes it.
    std::string Path(const std::string& strBelow = std::string()) const
    {
        return "HKEY_CURRENT_USER\\" + SubKey(strBelow);
    }

    bool KeyExists(const std::string& strBelow) const
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExA(m_hKey, strBelow.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(hKey);
        return true;
    }
    bool CreateKey(const std::string& strBelow) const
    {
        HKEY hKey = NULL;
        if (::RegCreateKeyExA(m_hKey, strBelow.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return false;
        ::RegCloseKey(hKey);
        return true;
    }
    // Stores raw bytes of any type in a key below (created when missing).
    bool SetRaw(const std::string& strBelow, LPCSTR pszName, DWORD dwType, const void* pData,
                DWORD cbData) const
    {
        HKEY hKey = NULL;
        if (::RegCreateKeyExA(m_hKey, strBelow.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return false;
        const bool bDone = ::RegSetValueExA(hKey, pszName, 0, dwType, static_cast<const BYTE*>(pData),
                                            cbData) == ERROR_SUCCESS;
        ::RegCloseKey(hKey);
        return bDone;
    }
    bool SetRaw(LPCSTR pszName, DWORD dwType, const void* pData, DWORD cbData) const
    {
        return SetRaw(std::string(), pszName, dwType, pData, cbData);
    }
    // The stored bytes and type; false when the value is missing.
    bool GetRaw(const std::string& strBelow, LPCSTR pszName, DWORD* pdwType, std::string* pBytes) const
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExA(m_hKey, strBelow.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        DWORD cbData = 0;
        LONG lResult = ::RegQueryValueExA(hKey, pszName, NULL, pdwType, NULL, &cbData);
        if (lResult == ERROR_SUCCESS)
        {
            pBytes->assign(cbData, '\0');
            lResult = ::RegQueryValueExA(hKey, pszName, NULL, pdwType,
                                         reinterpret_cast<BYTE*>(&(*pBytes)[0]), &cbData);
            pBytes->resize(cbData);
        }
        ::RegCloseKey(hKey);
        return lResult == ERROR_SUCCESS;
    }
    bool GetRaw(LPCSTR pszName, DWORD* pdwType, std::string* pBytes) const
    {
        return GetRaw(std::string(), pszName, pdwType, pBytes);
    }
    bool ValueExists(const std::string& strBelow, LPCSTR pszName) const
    {
        DWORD dwType = 0;
        std::string bytes;
        return GetRaw(strBelow, pszName, &dwType, &bytes);
    }

private:
    static std::string CurrentTestName()
    {
        const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        return pInfo ? std::string(pInfo->test_suite_name()) + "." + pInfo->name() : "NoTest";
    }

    std::string m_strSubKey;
    HKEY m_hKey = NULL;
};

#endif
