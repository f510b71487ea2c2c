// The registry key object against the real registry: paths, and every value
// family in its three forms, with bad stored data.
#include "store/RegistryKey.h"
#include "tests/TestKey.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace
{
// Shows the members the path functions set.
class CKeyProbe : public CRegistryKey
{
public:
    using CRegistryKey::CRegistryKey;
    BOOL IsValid() const { return m_bValid; }
    HKEY Root() const { return m_hRoot; }
    CString SubKey() const { return m_strSubKey; }
};

std::string Bytes(const void* p, size_t n)
{
    return std::string(static_cast<const char*>(p), n);
}

std::string DwordBytes(DWORD dw)
{
    return Bytes(&dw, sizeof dw);
}

const char kDefaultMessage[] =
    "パソコン画面を長時間見つづけると、あなたの健康を損なうおそれがあります。\r\n"
    "姿勢を正し、目を画面から６０cm以上離して下さい。\r\n"
    "軽い運動も忘れずに．．．";
} // namespace

// Root names and protected keys are compared with this.
TEST(RegistryPath, CompareNoCaseFoldsOnlySingleByteLetters)
{
    EXPECT_EQ(0, CString("hkey_users").CompareNoCase("HKEY_USERS"));
    EXPECT_EQ(0, CString("Control Panel").CompareNoCase("control PANEL"));
    EXPECT_LT(CString("Softwar").CompareNoCase("Software"), 0);
    EXPECT_GT(CString("Softwares").CompareNoCase("Software"), 0);
    EXPECT_EQ(0, CString("表示").CompareNoCase("表示"));
    // ツ is 83 63: its trail byte 'c' is no letter to fold.
    EXPECT_NE(0, CString("ツ").CompareNoCase("\x83" "C"));
    EXPECT_NE(0, CString("表").CompareNoCase("ソ"));
}

TEST(RegistryPath, SetPathNormalisesAndSplits)
{
    struct Case
    {
        const char* pszIn;
        bool bValid;
        const char* pszPath;
        HKEY hRoot;
        const char* pszSubKey;
    };
    const Case kCases[] = {
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK\\Glimwick", true,
         "HKEY_CURRENT_USER\\Software\\MOSS-HARK\\Glimwick", HKEY_CURRENT_USER, "Software\\MOSS-HARK\\Glimwick"},
        {"hkey_current_user\\Software\\MOSS-HARK\\Glimwick", true,
         "hkey_current_user\\Software\\MOSS-HARK\\Glimwick", HKEY_CURRENT_USER, "Software\\MOSS-HARK\\Glimwick"},
        {"  \\HKEY_CURRENT_USER\\Software\\X\\\\  ", true, "HKEY_CURRENT_USER\\Software\\X", HKEY_CURRENT_USER,
         "Software\\X"},
        {"\t\r\nHKEY_USERS\\.DEFAULT\v\f", true, "HKEY_USERS\\.DEFAULT", HKEY_USERS, ".DEFAULT"},
        {"HKEY_CURRENT_USER", true, "HKEY_CURRENT_USER", HKEY_CURRENT_USER, ""},
        {"HKEY_CURRENT_USER/Software", true, "HKEY_CURRENT_USER/Software", HKEY_CURRENT_USER, "Software"},
        {"HKEY_CLASSES_ROOT\\.txt", true, "HKEY_CLASSES_ROOT\\.txt", HKEY_CLASSES_ROOT, ".txt"},
        {"Hkey_Local_Machine\\Software", true, "Hkey_Local_Machine\\Software", HKEY_LOCAL_MACHINE, "Software"},
        // Doubled backslashes inside stay.
        {"HKEY_CURRENT_USER\\A\\\\B", true, "HKEY_CURRENT_USER\\A\\\\B", HKEY_CURRENT_USER, "A\\\\B"},
        // 表 ends in 5C and ソ too: neither is a trailing backslash.
        {"HKEY_CURRENT_USER\\Software\\表", true, "HKEY_CURRENT_USER\\Software\\表", HKEY_CURRENT_USER,
         "Software\\表"},
        {"HKEY_CURRENT_USER\\ソ\\", true, "HKEY_CURRENT_USER\\ソ", HKEY_CURRENT_USER, "ソ"},
        // A full-width space is a character, not white space.
        {"HKEY_CURRENT_USER\\X　 ", true, "HKEY_CURRENT_USER\\X　", HKEY_CURRENT_USER, "X　"},
        {"　HKEY_CURRENT_USER", false, "", NULL, ""},
        {"HKCU\\Software", false, "", NULL, ""},
        {"Software\\X", false, "", NULL, ""},
        {"HKEY_CURRENT", false, "", NULL, ""},
        {"  \\\\  ", false, "", NULL, ""},
        {" \\ \\ ", false, "", NULL, ""},
        {"", false, "", NULL, ""},
    };
    for (const Case& c : kCases)
    {
        const CKeyProbe key(c.pszIn);
        EXPECT_EQ(c.bValid, key.IsValid() != FALSE) << c.pszIn;
        EXPECT_STREQ(c.pszPath, key.GetPath()) << c.pszIn;
        EXPECT_EQ(c.hRoot, key.Root()) << c.pszIn;
        EXPECT_STREQ(c.pszSubKey, key.SubKey()) << c.pszIn;
    }
}

TEST(RegistryPath, SetPathAgainReplacesOrInvalidates)
{
    CKeyProbe key("HKEY_CURRENT_USER\\Software");
    EXPECT_FALSE(key.SetPath("Software\\X")) << "no root name: the old root is no fallback";
    EXPECT_FALSE(key.IsValid());
    EXPECT_EQ(NULL, key.Root());
    EXPECT_STREQ("", key.GetPath());
    EXPECT_TRUE(key.SetPath(" HKEY_USERS\\X "));
    EXPECT_EQ(HKEY_USERS, key.Root());
    EXPECT_STREQ("X", key.SubKey());
}

TEST(RegistryPath, NormalizeTrimsInPlace)
{
    struct Case
    {
        const char* pszIn;
        const char* pszOut;
    };
    const Case kCases[] = {
        {"  a\\b  ", "a\\b"},         {"\\\\a\\b\\\\", "a\\b"},   {"\\ a \\", " a "},
        {"表\\", "表"},                {"\\表", "表"},              {"\\\\", ""},
        {"   ", ""},                  {"a\\\\b", "a\\\\b"},       {"　a　", "　a　"},
        {"\t\\表示\\ソ\\\t", "表示\\ソ"},
    };
    CRegistryKey key("HKEY_CURRENT_USER");
    for (const Case& c : kCases)
    {
        CString str(c.pszIn);
        CString& result = key.NormalizePath(str);
        EXPECT_EQ(&str, &result);
        EXPECT_STREQ(c.pszOut, str) << c.pszIn;
    }
}

TEST(RegistryPath, ParseFallsBackOnTheObjectRoot)
{
    CRegistryKey key("HKEY_LOCAL_MACHINE\\Software");
    HKEY hRoot = HKEY_USERS;
    CString strSubKey("old");
    EXPECT_TRUE(key.ParsePath("Classes\\X", hRoot, strSubKey));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, hRoot);
    EXPECT_STREQ("Classes\\X", strSubKey);
    EXPECT_TRUE(key.ParsePath("HKEY_USERS", hRoot, strSubKey));
    EXPECT_EQ(HKEY_USERS, hRoot);
    EXPECT_STREQ("", strSubKey);
    EXPECT_FALSE(key.ParsePath(" \\ ", hRoot, strSubKey));
    EXPECT_EQ(NULL, hRoot);

    CRegistryKey invalid("nowhere");
    strSubKey = "old";
    EXPECT_FALSE(invalid.ParsePath("Classes\\X", hRoot, strSubKey));
    EXPECT_EQ(NULL, hRoot);
    EXPECT_STREQ("", strSubKey);
}

TEST(RegistryPath, ResolveAgainstTheObject)
{
    struct Case
    {
        const char* pszObject;
        const char* pszRelative;
        bool bResolves;
        const char* pszSubKey;
    };
    const Case kCases[] = {
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK", "Glimwick", true, "Software\\MOSS-HARK\\Glimwick"},
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK", "", true, "Software\\MOSS-HARK"},
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK", " \\Glimwick\\ ", true, "Software\\MOSS-HARK\\Glimwick"},
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK", "\\\\", true, "Software\\MOSS-HARK"},
        {"HKEY_CURRENT_USER\\Software\\MOSS-HARK", "表", true, "Software\\MOSS-HARK\\表"},
        {"HKEY_CURRENT_USER", "Software\\X", true, "Software\\X"},
        {"HKEY_CURRENT_USER", "", true, ""},
        // A root name in a relative path is refused, not joined under the object.
        {"HKEY_CURRENT_USER\\Software", "HKEY_LOCAL_MACHINE\\System", false, ""},
        {"HKEY_CURRENT_USER\\Software", "hkey_current_user", false, ""},
        {"Software", "X", false, ""},
    };
    for (const Case& c : kCases)
    {
        CRegistryKey key(c.pszObject);
        HKEY hRoot = HKEY_USERS;
        CString strSubKey("untouched");
        EXPECT_EQ(c.bResolves, key.ResolvePath(c.pszRelative, hRoot, strSubKey) != FALSE)
            << c.pszObject << " + " << c.pszRelative;
        EXPECT_EQ(c.bResolves ? HKEY_CURRENT_USER : HKEY_USERS, hRoot) << c.pszRelative;
        EXPECT_STREQ(c.bResolves ? c.pszSubKey : "untouched", strSubKey) << c.pszRelative;
    }
}

class RegistryTest : public ::testing::Test
{
protected:
    CTestKey m_test;
};

TEST_F(RegistryTest, InvalidObjectFailsEveryRelativeForm)
{
    CRegistryKey key("Software\\GlimwickTest");
    DWORD dw = 1234;
    EXPECT_FALSE(key.ReadDword("", "Interval", &dw));
    EXPECT_EQ(1234u, dw);
    CString str("untouched");
    EXPECT_FALSE(key.ReadString("", "Message", str));
    EXPECT_STREQ("untouched", str);
    EXPECT_FALSE(key.WriteString("", "Message", "x"));
    EXPECT_FALSE(key.WriteDword("", "Interval", 1));
    EXPECT_FALSE(key.CreateKey("X"));
    EXPECT_FALSE(key.DeleteValue("", "Interval"));
    EXPECT_FALSE(key.ValueExists("", ""));
    EXPECT_FALSE(key.DeleteKey("X"));
    EXPECT_FALSE(key.VerifyScrambled("", "Secret", ""));
    // The root and handle forms do not need a valid object.
    EXPECT_TRUE(key.WriteDword(HKEY_CURRENT_USER, m_test.SubKey().c_str(), "Interval", 3));
    EXPECT_TRUE(key.ReadDword(m_test.Handle(), "Interval", &dw));
    EXPECT_EQ(3u, dw);
}

TEST_F(RegistryTest, CreateKeyMakesMissingKeysOnTheWay)
{
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_TRUE(key.CreateKey("A\\B\\C"));
    EXPECT_TRUE(m_test.KeyExists("A\\B\\C"));
    EXPECT_TRUE(key.CreateKey("A\\B\\C")) << "an existing key is just opened";
    EXPECT_TRUE(key.CreateKey(m_test.Handle(), "D\\E"));
    EXPECT_TRUE(m_test.KeyExists("D\\E"));
    CRegistryKey missing((m_test.Path("New\\Deeper")).c_str());
    EXPECT_TRUE(missing.CreateKey(""));
    EXPECT_TRUE(m_test.KeyExists("New\\Deeper"));
}

TEST_F(RegistryTest, StringsInAllThreeForms)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey("Root").c_str());
    EXPECT_TRUE(key.WriteString(HKEY_CURRENT_USER, strSubKey, "Message", "root"));
    EXPECT_TRUE(key.WriteString(m_test.Handle(), "Message", kDefaultMessage));
    EXPECT_TRUE(key.WriteString("Relative", "Message", ""));

    DWORD dwType = 0;
    std::string bytes;
    ASSERT_TRUE(m_test.GetRaw("Root", "Message", &dwType, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    EXPECT_EQ(Bytes("root", 5), bytes) << "stored with its terminating zero";
    ASSERT_TRUE(m_test.GetRaw("", "Message", &dwType, &bytes));
    EXPECT_EQ(149u, bytes.size()) << "the 148-byte default message and its zero";
    ASSERT_TRUE(m_test.GetRaw("Relative", "Message", &dwType, &bytes));
    EXPECT_EQ(Bytes("", 1), bytes) << "the empty text is one zero byte";

    CString str;
    EXPECT_TRUE(key.ReadString(HKEY_CURRENT_USER, strSubKey, "Message", str));
    EXPECT_STREQ("root", str);
    EXPECT_TRUE(key.ReadString(m_test.Handle(), "Message", str));
    EXPECT_STREQ(kDefaultMessage, str);
    EXPECT_EQ(148, str.GetLength());
    str = "old";
    EXPECT_TRUE(key.ReadString("Relative", "Message", str));
    EXPECT_STREQ("", str);

    EXPECT_TRUE(key.DeleteString(HKEY_CURRENT_USER, strSubKey, "Message"));
    EXPECT_TRUE(key.DeleteString(m_test.Handle(), "Message"));
    EXPECT_TRUE(key.DeleteString("Relative", "Message"));
    EXPECT_FALSE(key.DeleteString("Relative", "Message"));
    EXPECT_FALSE(m_test.ValueExists("Root", "Message"));
    EXPECT_FALSE(m_test.ValueExists("", "Message"));
    EXPECT_FALSE(m_test.ValueExists("Relative", "Message"));
    str = "old";
    EXPECT_FALSE(key.ReadString("", "Message", str));
    EXPECT_STREQ("", str) << "a failed read leaves no stale text";
    str = "old";
    EXPECT_FALSE(key.ReadString(HKEY_CURRENT_USER, m_test.SubKey("Missing").c_str(), "Message", str));
    EXPECT_STREQ("", str);
}

TEST_F(RegistryTest, StringReadsTakeAnyStoredBytes)
{
    CRegistryKey key(m_test.Path().c_str());
    struct Case
    {
        const char* pszName;
        DWORD dwType;
        std::string stored;
        const char* pszRead;
    };
    const Case kCases[] = {
        {"NoTerminator", REG_SZ, "abc", "abc"},
        {"Dword", REG_DWORD, DwordBytes(0x00434241), "ABC"},
        {"DwordWithZero", REG_DWORD, DwordBytes(0x41004241), "AB"},
        {"Multi", REG_MULTI_SZ, Bytes("one\0two\0", 9), "one"},
        {"Binary", REG_BINARY, "xyz", "xyz"},
        {"Empty", REG_BINARY, "", ""},
        // The whole text up to the first zero byte, a lead byte without
        // its trail byte included: cutting is for who shows it.
        {"LoneLeadAtEnd", REG_BINARY, "ab\x81", "ab\x81"},
        {"LoneLeadBeforeZero", REG_BINARY, Bytes("ab\x95\0cd", 6), "ab\x95"},
        {"WholeCharacter", REG_BINARY, "ab表", "ab表"},
        {"BadTrailInside", REG_BINARY, "\x81\x20x\xFF", "\x81\x20x\xFF"},
    };
    for (const Case& c : kCases)
    {
        ASSERT_TRUE(m_test.SetRaw(c.pszName, c.dwType, c.stored.data(), static_cast<DWORD>(c.stored.size())))
            << c.pszName;
        CString str("old");
        EXPECT_TRUE(key.ReadString("", c.pszName, str)) << c.pszName;
        EXPECT_STREQ(c.pszRead, str) << c.pszName;
    }
}

TEST_F(RegistryTest, HugeStringIsReadWhole)
{
    CRegistryKey key(m_test.Path().c_str());
    std::string kanji;
    while (kanji.size() < (1u << 20))
        kanji += "表";
    kanji += "x";
    ASSERT_TRUE(m_test.SetRaw("Message", REG_BINARY, kanji.data(), static_cast<DWORD>(kanji.size())));
    CString str;
    EXPECT_TRUE(key.ReadString("", "Message", str));
    ASSERT_EQ(static_cast<int>(kanji.size()), str.GetLength());
    EXPECT_EQ(0, std::memcmp(kanji.data(), str.GetString(), kanji.size()));
}

TEST_F(RegistryTest, DwordIntLongInAllThreeForms)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey("Root").c_str());
    EXPECT_TRUE(key.WriteDword(HKEY_CURRENT_USER, strSubKey, "Interval", 1));
    EXPECT_TRUE(key.WriteDword(m_test.Handle(), "Interval", 0xFFFFFFFF));
    EXPECT_TRUE(key.WriteDword("Relative", "Interval", 5));
    DWORD dwType = 0;
    std::string bytes;
    ASSERT_TRUE(m_test.GetRaw("Root", "Interval", &dwType, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);
    EXPECT_EQ(DwordBytes(1), bytes);
    ASSERT_TRUE(m_test.GetRaw("Relative", "Interval", &dwType, &bytes));
    EXPECT_EQ(DwordBytes(5), bytes);

    DWORD dw = 0;
    EXPECT_TRUE(key.ReadDword(HKEY_CURRENT_USER, strSubKey, "Interval", &dw));
    EXPECT_EQ(1u, dw);
    EXPECT_TRUE(key.ReadDword(m_test.Handle(), "Interval", &dw));
    EXPECT_EQ(0xFFFFFFFFu, dw);
    EXPECT_TRUE(key.ReadDword("Relative", "Interval", &dw));
    EXPECT_EQ(5u, dw);

    // The three 32-bit families share their stored form.
    EXPECT_TRUE(key.WriteInt(HKEY_CURRENT_USER, strSubKey, "Int", -5));
    EXPECT_TRUE(key.WriteInt(m_test.Handle(), "Int", -6));
    EXPECT_TRUE(key.WriteInt("Relative", "Int", -7));
    int n = 0;
    EXPECT_TRUE(key.ReadInt(HKEY_CURRENT_USER, strSubKey, "Int", &n));
    EXPECT_EQ(-5, n);
    EXPECT_TRUE(key.ReadInt(m_test.Handle(), "Int", &n));
    EXPECT_EQ(-6, n);
    EXPECT_TRUE(key.ReadInt("Relative", "Int", &n));
    EXPECT_EQ(-7, n);
    EXPECT_TRUE(key.ReadDword("Relative", "Int", &dw));
    EXPECT_EQ(0xFFFFFFF9u, dw);

    EXPECT_TRUE(key.WriteLong(HKEY_CURRENT_USER, strSubKey, "Long", -100000));
    EXPECT_TRUE(key.WriteLong(m_test.Handle(), "Long", 100000));
    EXPECT_TRUE(key.WriteLong("Relative", "Long", LONG(-2)));
    LONG l = 0;
    EXPECT_TRUE(key.ReadLong(HKEY_CURRENT_USER, strSubKey, "Long", &l));
    EXPECT_EQ(-100000, l);
    EXPECT_TRUE(key.ReadLong(m_test.Handle(), "Long", &l));
    EXPECT_EQ(100000, l);
    EXPECT_TRUE(key.ReadLong("Relative", "Long", &l));
    EXPECT_EQ(-2, l);
    ASSERT_TRUE(m_test.GetRaw("Relative", "Long", &dwType, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);

    EXPECT_TRUE(key.DeleteDword(HKEY_CURRENT_USER, strSubKey, "Interval"));
    EXPECT_TRUE(key.DeleteDword(m_test.Handle(), "Interval"));
    EXPECT_TRUE(key.DeleteDword("Relative", "Interval"));
    EXPECT_TRUE(key.DeleteInt(HKEY_CURRENT_USER, strSubKey, "Int"));
    EXPECT_TRUE(key.DeleteInt(m_test.Handle(), "Int"));
    EXPECT_TRUE(key.DeleteInt("Relative", "Int"));
    EXPECT_TRUE(key.DeleteLong(HKEY_CURRENT_USER, strSubKey, "Long"));
    EXPECT_TRUE(key.DeleteLong(m_test.Handle(), "Long"));
    EXPECT_TRUE(key.DeleteLong("Relative", "Long"));
    for (const char* pszName : {"Interval", "Int", "Long"})
    {
        EXPECT_FALSE(m_test.ValueExists("Root", pszName)) << pszName;
        EXPECT_FALSE(m_test.ValueExists("", pszName)) << pszName;
        EXPECT_FALSE(m_test.ValueExists("Relative", pszName)) << pszName;
    }
    dw = 77;
    EXPECT_FALSE(key.ReadDword("", "Interval", &dw)) << "a missing Interval";
    EXPECT_EQ(77u, dw);
    EXPECT_FALSE(key.ReadDword("Missing", "Interval", &dw)) << "a missing key";
    EXPECT_EQ(77u, dw);
}

TEST_F(RegistryTest, WordIsWidenedAndNarrowed)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    EXPECT_TRUE(key.WriteWord(m_test.Handle(), "Word", 0xFFFF));
    DWORD dwType = 0;
    std::string bytes;
    ASSERT_TRUE(m_test.GetRaw("Word", &dwType, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);
    EXPECT_EQ(DwordBytes(65535), bytes) << "widened with zeros, not with the sign";
    EXPECT_TRUE(key.WriteWord(HKEY_CURRENT_USER, strSubKey, "Root", 1));
    EXPECT_TRUE(key.WriteWord("", "Relative", 2));

    WORD w = 0;
    EXPECT_TRUE(key.ReadWord(HKEY_CURRENT_USER, strSubKey, "Word", &w));
    EXPECT_EQ(0xFFFF, w);
    EXPECT_TRUE(key.ReadWord(m_test.Handle(), "Root", &w));
    EXPECT_EQ(1, w);
    EXPECT_TRUE(key.ReadWord("", "Relative", &w));
    EXPECT_EQ(2, w);
    EXPECT_TRUE(key.WriteDword("", "Big", 0x12345678));
    EXPECT_TRUE(key.ReadWord("", "Big", &w));
    EXPECT_EQ(0x5678, w);
    w = 9;
    EXPECT_FALSE(key.ReadWord("", "Missing", &w));
    EXPECT_EQ(9, w);

    EXPECT_TRUE(key.DeleteWord(HKEY_CURRENT_USER, strSubKey, "Word"));
    EXPECT_TRUE(key.DeleteWord(m_test.Handle(), "Root"));
    EXPECT_TRUE(key.DeleteWord("", "Relative"));
    EXPECT_FALSE(key.ValueExists("", "Word"));
    EXPECT_FALSE(key.ValueExists("", "Root"));
    EXPECT_FALSE(key.ValueExists("", "Relative"));
}

TEST_F(RegistryTest, NumberReadsOfOtherTypesAndSizes)
{
    CRegistryKey key(m_test.Path().c_str());
    struct Case
    {
        const char* pszName;
        DWORD dwType;
        std::string stored;
        bool bRead;
        DWORD dwRead;
    };
    const Case kCases[] = {
        // Up to four bytes of any type, widened with zeros.
        {"OneByte", REG_BINARY, "\x07", true, 7},
        {"NoBytes", REG_BINARY, "", true, 0},
        {"TwoBytes", REG_BINARY, "\x01\x02", true, 0x0201},
        {"ShortText", REG_SZ, "5", true, 0x35},
        {"BigEndian", REG_DWORD_BIG_ENDIAN, DwordBytes(0x01000000), true, 0x01000000},
        // Longer values are refused and the variable keeps its value.
        {"Qword", REG_QWORD, Bytes("\x05\0\0\0\0\0\0\0", 8), false, 0},
        {"LongText", REG_SZ, "12345", false, 0},
        {"Megabyte", REG_BINARY, std::string(1 << 20, '\x01'), false, 0},
    };
    for (const Case& c : kCases)
    {
        ASSERT_TRUE(m_test.SetRaw(c.pszName, c.dwType, c.stored.data(), static_cast<DWORD>(c.stored.size())))
            << c.pszName;
        DWORD dw = 0xDEADBEEF;
        EXPECT_EQ(c.bRead, key.ReadDword("", c.pszName, &dw) != FALSE) << c.pszName;
        EXPECT_EQ(c.bRead ? c.dwRead : 0xDEADBEEF, dw) << c.pszName;
        WORD w = 0xBEEF;
        EXPECT_EQ(c.bRead, key.ReadWord("", c.pszName, &w) != FALSE) << c.pszName;
        EXPECT_EQ(c.bRead ? LOWORD(c.dwRead) : 0xBEEF, w) << c.pszName;
    }
}

TEST_F(RegistryTest, RelativeDeleteValueCreatesAMissingKey)
{
    CRegistryKey key(m_test.Path().c_str());
    EXPECT_FALSE(key.DeleteValue("Made\\Here", "Interval"));
    EXPECT_TRUE(m_test.KeyExists("Made\\Here"));
    // The root form opens only: a missing key stays missing.
    EXPECT_FALSE(key.DeleteValue(HKEY_CURRENT_USER, m_test.SubKey("Not\\Made").c_str(), "Interval"));
    EXPECT_FALSE(m_test.KeyExists("Not"));
    ASSERT_TRUE(m_test.SetRaw("Made\\Here", "Interval", REG_DWORD, "\1\0\0\0", 4));
    EXPECT_TRUE(key.DeleteValue("Made\\Here", "Interval"));
    EXPECT_FALSE(m_test.ValueExists("Made\\Here", "Interval"));
}

TEST_F(RegistryTest, BinaryInAllSixForms)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    const BYTE data[] = {0, 1, 2, 0xFF, 0x5C, 0};
    CBinary buffer(data, sizeof data);
    EXPECT_TRUE(key.WriteBinary(HKEY_CURRENT_USER, strSubKey, "RootPtr", data, sizeof data));
    EXPECT_TRUE(key.WriteBinary(m_test.Handle(), "HandlePtr", data, 3));
    EXPECT_TRUE(key.WriteBinary(HKEY_CURRENT_USER, strSubKey, "RootBuf", buffer));
    CBinary whole(buffer);
    CBinary from2 = whole.Focus(2);
    CBinary view = from2.Focus(3);
    EXPECT_TRUE(key.WriteBinary(m_test.Handle(), "HandleBuf", view)) << "a view writes the bytes it shows";
    EXPECT_TRUE(key.WriteBinary("", "RelPtr", data + 1, 2));
    EXPECT_TRUE(key.WriteBinary("", "RelBuf", buffer));
    EXPECT_FALSE(key.WriteBinary("", "Null", nullptr, 4));
    EXPECT_FALSE(m_test.ValueExists("", "Null"));

    DWORD dwType = 0;
    std::string bytes;
    ASSERT_TRUE(m_test.GetRaw("RootPtr", &dwType, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), dwType);
    EXPECT_EQ(Bytes(data, sizeof data), bytes);
    ASSERT_TRUE(m_test.GetRaw("HandleBuf", &dwType, &bytes));
    EXPECT_EQ(Bytes(data + 2, 3), bytes);

    BYTE out[16] = {};
    DWORD cb = sizeof out;
    EXPECT_TRUE(key.ReadBinary(HKEY_CURRENT_USER, strSubKey, "RootPtr", out, &cb));
    EXPECT_EQ(Bytes(data, sizeof data), Bytes(out, cb));
    cb = sizeof out;
    EXPECT_TRUE(key.ReadBinary(m_test.Handle(), "HandlePtr", out, &cb));
    EXPECT_EQ(Bytes(data, 3), Bytes(out, cb));
    cb = sizeof out;
    EXPECT_TRUE(key.ReadBinary("", "RelPtr", out, &cb));
    EXPECT_EQ(Bytes(data + 1, 2), Bytes(out, cb));
    cb = 2;
    EXPECT_FALSE(key.ReadBinary("", "RootPtr", out, &cb)) << "the buffer is too small";
    EXPECT_EQ(sizeof data, cb) << "the size needed comes back";
    cb = sizeof out;
    EXPECT_FALSE(key.ReadBinary("", "RootPtr", nullptr, &cb));

    CBinary read;
    EXPECT_TRUE(key.ReadBinary(HKEY_CURRENT_USER, strSubKey, "RootBuf", &read));
    EXPECT_EQ(Bytes(data, sizeof data), Bytes(read.GetData(), read.GetLength()));
    EXPECT_TRUE(key.ReadBinary(m_test.Handle(), "HandleBuf", &read));
    EXPECT_EQ(Bytes(data + 2, 3), Bytes(read.GetData(), read.GetLength()));
    EXPECT_TRUE(key.ReadBinary("", "RelBuf", &read));
    EXPECT_EQ(Bytes(data, sizeof data), Bytes(read.GetData(), read.GetLength()));
    EXPECT_TRUE(read.IsFree());
    EXPECT_FALSE(key.ReadBinary("", "Missing", &read));
    EXPECT_EQ(0, read.GetLength()) << "emptied on failure";

    // A locked buffer cannot take the value's length: refused, untouched.
    CBinary locked(0x11, 2);
    EXPECT_FALSE(key.ReadBinary("", "RootPtr", &locked));
    EXPECT_EQ(2, locked.GetLength());
    EXPECT_EQ(0x11, locked.GetAt(1));

    // Reads never check the type: a string's bytes with their zero.
    EXPECT_TRUE(key.WriteString("", "Text", "ab"));
    EXPECT_TRUE(key.ReadBinary("", "Text", &read));
    EXPECT_EQ(Bytes("ab", 3), Bytes(read.GetData(), read.GetLength()));

    EXPECT_TRUE(key.DeleteBinary(HKEY_CURRENT_USER, strSubKey, "RootPtr"));
    EXPECT_TRUE(key.DeleteBinary(m_test.Handle(), "HandlePtr"));
    EXPECT_TRUE(key.DeleteBinary("", "RelPtr"));
    EXPECT_FALSE(m_test.ValueExists("", "RootPtr"));
    EXPECT_FALSE(m_test.ValueExists("", "HandlePtr"));
    EXPECT_FALSE(m_test.ValueExists("", "RelPtr"));
}

TEST_F(RegistryTest, ValueTypesAndExistence)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    ASSERT_TRUE(key.WriteString("", "S", "text"));
    ASSERT_TRUE(key.WriteDword("", "D", 1));
    ASSERT_TRUE(key.WriteBinary("", "B", reinterpret_cast<const BYTE*>("xyz"), 3));
    DWORD dwType = 0;
    EXPECT_TRUE(key.GetValueType(HKEY_CURRENT_USER, strSubKey, "S", &dwType));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    EXPECT_TRUE(key.GetValueType(m_test.Handle(), "D", &dwType));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);
    EXPECT_TRUE(key.GetValueType("", "B", &dwType));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), dwType);
    EXPECT_FALSE(key.GetValueType("", "Missing", &dwType));

    EXPECT_TRUE(key.ValueExists(HKEY_CURRENT_USER, strSubKey, "S"));
    EXPECT_TRUE(key.ValueExists(m_test.Handle(), "D"));
    EXPECT_TRUE(key.ValueExists("", "B"));
    EXPECT_FALSE(key.ValueExists("", "Missing"));
    // An empty name in the root and relative forms asks for the key.
    EXPECT_TRUE(key.ValueExists("", ""));
    EXPECT_TRUE(key.ValueExists(HKEY_CURRENT_USER, strSubKey, ""));
    EXPECT_FALSE(key.ValueExists("Missing", ""));
    EXPECT_FALSE(m_test.KeyExists("Missing")) << "asking creates nothing";
    // In the handle form it asks for the default value.
    EXPECT_FALSE(key.ValueExists(m_test.Handle(), ""));
    ASSERT_TRUE(key.WriteString(m_test.Handle(), "", "default"));
    EXPECT_TRUE(key.ValueExists(m_test.Handle(), ""));
}

TEST_F(RegistryTest, ValueNamesHoldingAZeroByteAreRefused)
{
    // The registry would take only "S", the name before the zero byte.
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    ASSERT_TRUE(key.WriteDword("", "S", 7));
    const CString strCut("S\0x", 3);
    const HKEY hKey = m_test.Handle();
    CString strText;
    DWORD dwValue = 0;
    DWORD dwType = 0;
    BYTE bytes[8] = {};
    DWORD cbBytes = sizeof bytes;
    CBinary data;
    const std::function<BOOL()> kCalls[] = {
        [&] { return key.DeleteValue(HKEY_CURRENT_USER, strSubKey, strCut); },
        [&] { return key.DeleteValue(hKey, strCut); },
        [&] { return key.DeleteValue("", strCut); },
        [&] { return key.WriteString("", strCut, "x"); },
        [&] { return key.ReadString(hKey, strCut, strText); },
        [&] { return key.WriteDword(HKEY_CURRENT_USER, strSubKey, strCut, 1); },
        [&] { return key.ReadDword("", strCut, &dwValue); },
        [&] { return key.WriteInt(hKey, strCut, 1); },
        [&] { return key.WriteBinary("", strCut, bytes, 1); },
        [&] { return key.ReadBinary(hKey, strCut, bytes, &cbBytes); },
        [&] { return key.ReadBinary("", strCut, &data); },
        [&] { return key.GetValueType("", strCut, &dwType); },
        [&] { return key.ValueExists(hKey, strCut); },
        [&] { return key.WriteScrambled("", strCut, "", "x"); },
    };
    for (size_t i = 0; i < sizeof kCalls / sizeof kCalls[0]; ++i)
    {
        EXPECT_FALSE(kCalls[i]()) << "call " << i;
        DWORD dwStored = 0;
        DWORD cbStored = sizeof dwStored;
        EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExA(hKey, "S", NULL, &dwType,
                                                    reinterpret_cast<BYTE*>(&dwStored), &cbStored))
            << "call " << i;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType) << "call " << i;
        EXPECT_EQ(7u, dwStored) << "call " << i;
    }
}
