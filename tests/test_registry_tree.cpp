// Deleting key trees: the guard against system keys, the order and passes of
// the deletion, two-byte names and value paths.
#include "store/RegistryKey.h"
#include "tests/TestKey.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
// Records every DeleteTree call; deletes for real only when asked to.
class CRecordingKey : public CRegistryKey
{
public:
    explicit CRecordingKey(CString strPath, bool bDelete = false)
        : CRegistryKey(strPath), m_bDelete(bDelete)
    {
    }

    BOOL DeleteTree(HKEY hKey, LPCSTR pszSubKey) override
    {
        m_calls.push_back(pszSubKey);
        if (m_onCall && !m_onCall(pszSubKey))
            return FALSE;
        return m_bDelete ? CRegistryKey::DeleteTree(hKey, pszSubKey) : TRUE;
    }

    std::vector<std::string> m_calls;
    // Runs before each call; false makes the call fail.
    std::function<bool(const std::string&)> m_onCall;

private:
    bool m_bDelete;
};

// A symbolic link at strBelow to the key HKEY_CURRENT_USER\strTarget.
bool MakeLink(const CTestKey& test, const std::string& strBelow, const std::string& strTarget)
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return false;
    BYTE user[256];
    DWORD cb = 0;
    LPSTR pszSid = NULL;
    const bool bSid = ::GetTokenInformation(hToken, TokenUser, user, sizeof user, &cb) &&
                      ::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &pszSid);
    ::CloseHandle(hToken);
    if (!bSid)
        return false;
    const std::string strPath = std::string("\\Registry\\User\\") + pszSid + "\\" + strTarget;
    ::LocalFree(pszSid);
    const std::wstring wstrPath(strPath.begin(), strPath.end());
    HKEY hLink = NULL;
    if (::RegCreateKeyExA(test.Handle(), strBelow.c_str(), 0, NULL, REG_OPTION_CREATE_LINK,
                          KEY_ALL_ACCESS | KEY_CREATE_LINK, NULL, &hLink, NULL) != ERROR_SUCCESS)
        return false;
    const bool bSet = ::RegSetValueExW(hLink, L"SymbolicLinkValue", 0, REG_LINK,
                                       reinterpret_cast<const BYTE*>(wstrPath.data()),
                                       static_cast<DWORD>(wstrPath.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(hLink);
    return bSet;
}

// Gives the key strBelow the access list of an SDDL text.
bool SetKeyAccess(const CTestKey& test, const std::string& strBelow, LPCSTR pszSddl)
{
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(pszSddl, SDDL_REVISION_1, &pDescriptor, NULL))
        return false;
    HKEY hKey = NULL;
    bool bSet = false;
    if (::RegOpenKeyExA(test.Handle(), strBelow.c_str(), 0, WRITE_DAC, &hKey) == ERROR_SUCCESS)
    {
        bSet = ::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pDescriptor) == ERROR_SUCCESS;
        ::RegCloseKey(hKey);
    }
    ::LocalFree(pDescriptor);
    return bSet;
}

class RegistryTreeTest : public ::testing::Test
{
protected:
    CTestKey m_test;
};
} // namespace

TEST(RegistryGuard, ProtectedSubkeysAreNeverTouched)
{
    const char* const kRefused[] = {
        "AppEvent", "Control Panel", "EUDC", "Software", "Hardware", "CLSID", "Network",
        "System",   "Security",      ".Default", "software", "SOFTWARE", "control panel",
        ".DEFAULT", " \\Software\\ ",
    };
    for (const char* pszRoot : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"})
    {
        for (const char* pszRelative : kRefused)
        {
            CRecordingKey key(pszRoot);
            EXPECT_FALSE(key.DeleteKey(pszRelative)) << pszRoot << " " << pszRelative;
            EXPECT_TRUE(key.m_calls.empty()) << pszRoot << " " << pszRelative;
        }
    }
    // The object's own path counts the same way.
    CRecordingKey software("HKEY_CURRENT_USER\\Software");
    EXPECT_FALSE(software.DeleteKey(""));
    CRecordingKey root("HKEY_CURRENT_USER");
    EXPECT_FALSE(root.DeleteKey("")) << "an empty subkey";
    CRecordingKey invalid("Software\\MOSS-HARK");
    EXPECT_FALSE(invalid.DeleteKey("Glimwick"));
    EXPECT_TRUE(software.m_calls.empty() && root.m_calls.empty() && invalid.m_calls.empty());
}

TEST(RegistryGuard, OnlyWholeEntriesAreProtected)
{
    // AppEvents is not the entry AppEvent; deeper keys are not the entries.
    const char* const kAllowed[] = {"AppEvents", "Software\\X", "Systems", "EUDC\\932", "Softwar"};
    for (const char* pszRelative : kAllowed)
    {
        CRecordingKey key("HKEY_CURRENT_USER");
        EXPECT_TRUE(key.DeleteKey(pszRelative)) << pszRelative;
        ASSERT_EQ(1u, key.m_calls.size()) << pszRelative;
        EXPECT_EQ(pszRelative, key.m_calls[0]);
    }
    CRecordingKey key("HKEY_CURRENT_USER\\Software\\MOSS-HARK");
    EXPECT_TRUE(key.DeleteKey("Glimwick"));
    ASSERT_EQ(1u, key.m_calls.size());
    EXPECT_EQ("Software\\MOSS-HARK\\Glimwick", key.m_calls[0]);
}

TEST_F(RegistryTreeTest, UnregisterDeletesTheSettingsTreeAndKeepsItsParent)
{
    // The uninstaller's call: "Glimwick" relative to the maker's key.
    ASSERT_TRUE(m_test.SetRaw("MOSS-HARK\\Glimwick", "Interval", REG_DWORD, "\2\0\0\0", 4));
    ASSERT_TRUE(m_test.SetRaw("MOSS-HARK\\Glimwick", "Message", REG_SZ, "hi", 3));
    ASSERT_TRUE(m_test.SetRaw("MOSS-HARK\\Glimwick\\A\\B", "x", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.CreateKey("MOSS-HARK\\Glimwick\\A\\C"));
    ASSERT_TRUE(m_test.CreateKey("MOSS-HARK\\Glimwick\\D"));
    ASSERT_TRUE(m_test.SetRaw("MOSS-HARK\\Other", "keep", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("MOSS-HARK", "keep", REG_SZ, "1", 2));

    CRegistryKey key(m_test.Path("MOSS-HARK").c_str());
    EXPECT_TRUE(key.DeleteKey("Glimwick"));
    EXPECT_FALSE(m_test.KeyExists("MOSS-HARK\\Glimwick"));
    EXPECT_TRUE(m_test.ValueExists("MOSS-HARK", "keep"));
    EXPECT_TRUE(m_test.ValueExists("MOSS-HARK\\Other", "keep"));
    EXPECT_FALSE(key.DeleteKey("Glimwick")) << "nothing left to delete";
}

TEST_F(RegistryTreeTest, DepthFirstInEnumerationOrder)
{
    for (const char* pszKey : {"P\\A\\A1", "P\\A\\A2", "P\\B", "P\\C\\C1\\C11"})
        ASSERT_TRUE(m_test.CreateKey(pszKey));
    CRecordingKey key(m_test.Path().c_str(), true);
    EXPECT_TRUE(key.DeleteKey("P"));
    const std::vector<std::string> kExpected = {m_test.SubKey("P"), "A", "A1", "A2", "B", "C", "C1", "C11"};
    EXPECT_EQ(kExpected, key.m_calls);
    EXPECT_FALSE(m_test.KeyExists("P"));
}

TEST_F(RegistryTreeTest, AFailureStopsAndLeavesTheRest)
{
    for (const char* pszKey : {"P\\A", "P\\B\\B1", "P\\C"})
        ASSERT_TRUE(m_test.CreateKey(pszKey));
    CRecordingKey key(m_test.Path().c_str(), true);
    key.m_onCall = [](const std::string& strName) { return strName != "B1"; };
    EXPECT_FALSE(key.DeleteKey("P"));
    EXPECT_FALSE(m_test.KeyExists("P\\A")) << "deleted before the failure";
    EXPECT_TRUE(m_test.KeyExists("P\\B\\B1"));
    EXPECT_TRUE(m_test.KeyExists("P\\C")) << "not looked at after the failure";
    // Running it again continues with what is left.
    key.m_onCall = nullptr;
    EXPECT_TRUE(key.DeleteKey("P"));
    EXPECT_FALSE(m_test.KeyExists("P"));
}

TEST_F(RegistryTreeTest, KeysAddedDuringTheDeletionAreFound)
{
    for (const char* pszKey : {"P\\A", "P\\B"})
        ASSERT_TRUE(m_test.CreateKey(pszKey));
    CRecordingKey key(m_test.Path().c_str(), true);
    // Another writer adds a key while the first one is being deleted.
    key.m_onCall = [this](const std::string& strName) {
        if (strName == "A")
            m_test.CreateKey("P\\AA");
        return true;
    };
    EXPECT_TRUE(key.DeleteKey("P"));
    EXPECT_FALSE(m_test.KeyExists("P"));
    const std::vector<std::string> kExpected = {m_test.SubKey("P"), "A", "AA", "B"};
    EXPECT_EQ(kExpected, key.m_calls);
}

TEST_F(RegistryTreeTest, EveryPassPauses)
{
    // Three leaves: four passes over the parent, one over each leaf.
    for (const char* pszKey : {"P\\A", "P\\B", "P\\C"})
        ASSERT_TRUE(m_test.CreateKey(pszKey));
    CRegistryKey key(m_test.Path().c_str());
    LARGE_INTEGER freq, start, end;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&start);
    EXPECT_TRUE(key.DeleteKey("P"));
    ::QueryPerformanceCounter(&end);
    EXPECT_FALSE(m_test.KeyExists("P"));
    // A lower bound only: seven pauses of at least 10 ms each.
    const double dMilliseconds = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                 static_cast<double>(freq.QuadPart);
    EXPECT_GE(dMilliseconds, 7.0 * CRegistryKey::DELETE_PASS_PAUSE);
}

TEST_F(RegistryTreeTest, PathsHoldingAZeroByteAreRefused)
{
    // The registry would take only what comes before the zero byte: the
    // object's own key, or HKEY_CURRENT_USER\Software (only recorded here).
    ASSERT_TRUE(m_test.CreateKey("P\\A"));
    CRegistryKey own(m_test.Path("P").c_str());
    EXPECT_FALSE(own.DeleteKey(CString("\0", 1)));
    EXPECT_FALSE(own.DeleteKey(CString("A\0x", 3)));
    EXPECT_TRUE(m_test.KeyExists("P\\A"));
    CRecordingKey root("HKEY_CURRENT_USER");
    EXPECT_FALSE(root.DeleteKey(CString("Software\0x", 10)));
    EXPECT_TRUE(root.m_calls.empty());
    EXPECT_FALSE(own.DeleteKey(m_test.Handle(), CString("P\0x", 3)));
    EXPECT_TRUE(m_test.KeyExists("P\\A"));
}

TEST_F(RegistryTreeTest, LinksGoThemselvesAndTheirTargetsStay)
{
    ASSERT_TRUE(m_test.SetRaw("Target\\Inner", "keep", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("Target", "keep", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.CreateKey("P\\A"));
    ASSERT_TRUE(MakeLink(m_test, "P\\Link", m_test.SubKey("Target")));
    ASSERT_TRUE(MakeLink(m_test, "Link", m_test.SubKey("Target")));
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_TRUE(key.DeleteKey("P")) << "a link inside the tree";
    EXPECT_TRUE(key.DeleteKey("Link")) << "the link named";
    EXPECT_FALSE(m_test.KeyExists("P"));
    EXPECT_FALSE(m_test.KeyExists("Link"));
    EXPECT_TRUE(m_test.ValueExists("Target", "keep"));
    EXPECT_TRUE(m_test.ValueExists("Target\\Inner", "keep"));
}

TEST_F(RegistryTreeTest, AKeyThatRefusesAccessIsNoValue)
{
    // The key stays, and so does the value of the same name beside it.
    ASSERT_TRUE(m_test.SetRaw("Locked", "x", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("", "Locked", REG_SZ, "1", 2));
    ASSERT_TRUE(SetKeyAccess(m_test, "Locked", "D:(D;;0x2;;;WD)(A;;KA;;;WD)")) << "setting values denied";
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_FALSE(key.DeleteKey("Locked"));
    EXPECT_TRUE(m_test.KeyExists("Locked"));
    EXPECT_TRUE(m_test.ValueExists("", "Locked"));
    ASSERT_TRUE(SetKeyAccess(m_test, "Locked", "D:(A;;KA;;;WD)"));
}

TEST_F(RegistryTreeTest, HandleFormHasNoGuard)
{
    ASSERT_TRUE(m_test.SetRaw("Software\\Sub", "x", REG_SZ, "1", 2));
    CRegistryKey key("HKEY_CURRENT_USER");
    EXPECT_TRUE(key.DeleteKey(m_test.Handle(), "Software"));
    EXPECT_FALSE(m_test.KeyExists("Software"));
}

TEST_F(RegistryTreeTest, ShiftJisNamesEndingInTheBackslashCode)
{
    // 表 is 95 5C and ソ is 83 5C: their second byte is the backslash.
    ASSERT_TRUE(m_test.SetRaw("表\\ソフト\\表示", "値", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("表", "表", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.CreateKey("表示"));
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_TRUE(key.DeleteKey("表"));
    EXPECT_FALSE(m_test.KeyExists("表"));
    EXPECT_TRUE(m_test.KeyExists("表示"));

    // A path that is not a key names a value: split at the real backslash.
    ASSERT_TRUE(m_test.SetRaw("Sub", "ソ表", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("Sub", "keep", REG_SZ, "1", 2));
    EXPECT_TRUE(key.DeleteKey("Sub\\ソ表"));
    EXPECT_FALSE(m_test.ValueExists("Sub", "ソ表"));
    EXPECT_TRUE(m_test.ValueExists("Sub", "keep"));
    ASSERT_TRUE(m_test.SetRaw("", "表", REG_SZ, "1", 2));
    EXPECT_TRUE(key.DeleteTree(m_test.Handle(), "表"));
    EXPECT_FALSE(m_test.ValueExists("", "表"));
}

TEST_F(RegistryTreeTest, MissingKeysAndValuePaths)
{
    ASSERT_TRUE(m_test.SetRaw("Sub", "Value", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw("", "Top", REG_SZ, "1", 2));
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_FALSE(key.DeleteKey("Sub\\Nothing"));
    EXPECT_FALSE(key.DeleteKey("Nothing\\Value"));
    EXPECT_FALSE(key.DeleteKey("Nothing"));
    EXPECT_TRUE(m_test.ValueExists("Sub", "Value"));
    EXPECT_TRUE(m_test.ValueExists("", "Top"));
    EXPECT_TRUE(key.DeleteKey("Sub\\Value"));
    EXPECT_FALSE(m_test.ValueExists("Sub", "Value"));
    EXPECT_TRUE(m_test.KeyExists("Sub"));
    EXPECT_TRUE(key.DeleteKey("Top"));
    EXPECT_FALSE(m_test.ValueExists("", "Top"));
}

TEST_F(RegistryTreeTest, LongNamesAndLongValuePaths)
{
    // A key name of 200 two-byte characters is 400 bytes in Shift-JIS.
    std::string strLongName;
    for (int i = 0; i < 200; ++i)
        strLongName += "表";
    ASSERT_TRUE(m_test.CreateKey("P\\" + strLongName + "\\Leaf"));
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_TRUE(key.DeleteKey("P"));
    EXPECT_FALSE(m_test.KeyExists("P"));

    // A value below a key path of more than 255 bytes (but fewer than 260
    // characters, which the registry's narrow interface takes at most here).
    const std::string strKeyPath = "a\\" + strLongName.substr(0, 200) + "\\" + strLongName.substr(0, 120);
    ASSERT_GT(strKeyPath.size(), 255u);
    ASSERT_TRUE(m_test.SetRaw(strKeyPath, "Value", REG_SZ, "1", 2));
    ASSERT_TRUE(m_test.SetRaw(strKeyPath, "keep", REG_SZ, "1", 2));
    EXPECT_TRUE(key.DeleteKey((strKeyPath + "\\Value").c_str()));
    EXPECT_FALSE(m_test.ValueExists(strKeyPath, "Value"));
    EXPECT_TRUE(m_test.ValueExists(strKeyPath, "keep"));

    // A value name longer than any key name can only name a value.
    const std::string strLongValue(300, 'v');
    ASSERT_TRUE(m_test.SetRaw(strLongValue.c_str(), REG_SZ, "1", 2));
    EXPECT_TRUE(key.DeleteKey(strLongValue.c_str()));
    EXPECT_FALSE(m_test.ValueExists("", strLongValue.c_str()));
}
