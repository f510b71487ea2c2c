// Deleting key trees: the guard against system keys, the order and passes of
// the deletion, two-byte names and value paths.
#include "store/RegistryKey.h"
#include "tests/TestKey.h"

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
}
