// The scrambled string form: its table, check digits and the guarded
// change, verify and delete, against the real registry.
#include "store/RegistryKey.h"
#include "tests/TestKey.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
class RegistryScrambledTest : public ::testing::Test
{
protected:
    CTestKey m_test;
};

// Every printable character from the space to '~'.
std::string AllPrintable()
{
    std::string str;
    for (char ch = 0x20; ch <= 0x7E; ++ch)
        str += ch;
    return str;
}
} // namespace

TEST(Scrambled, TableIsAPermutationOfThePrintables)
{
    std::set<char> seen;
    for (int i = 0; i < 256; ++i)
    {
        const char ch = CRegistryKey::s_scrambleTable[i];
        if (i < 0x20 || i > 0x7E)
        {
            EXPECT_EQ(0, ch) << i;
            continue;
        }
        EXPECT_GE(ch, 0x20) << i;
        EXPECT_LE(ch, 0x7E) << i;
        seen.insert(ch);
    }
    EXPECT_EQ(95u, seen.size());
}

TEST(Scrambled, EncodeAddsCheckDigits)
{
    const char* const table = CRegistryKey::s_scrambleTable;
    CString str;
    ASSERT_TRUE(CRegistryKey::EncodeScrambled("abc", str));
    // 97 + 98 + 99 = 294: the check digits are 94.
    const char kExpected[] = {table['9'], table['4'], table['a'], table['b'], table['c'], 0};
    EXPECT_STREQ(kExpected, str);
    ASSERT_TRUE(CRegistryKey::EncodeScrambled("", str));
    const char kEmpty[] = {table['0'], table['0'], 0};
    EXPECT_STREQ(kEmpty, str);

    EXPECT_FALSE(CRegistryKey::EncodeScrambled("ab\x1F", str));
    EXPECT_FALSE(CRegistryKey::EncodeScrambled("a\x7F", str));
    EXPECT_FALSE(CRegistryKey::EncodeScrambled("表", str));
    EXPECT_EQ(2, str.GetLength()) << "the check digits done before the failure";
}

TEST(Scrambled, DecodeChecksTheForm)
{
    CString strStored;
    ASSERT_TRUE(CRegistryKey::EncodeScrambled("Glimwick", strStored));
    CString str;
    EXPECT_TRUE(CRegistryKey::DecodeScrambled(strStored, str));
    EXPECT_STREQ("Glimwick", str);

    CString strBroken(strStored);
    strBroken += CRegistryKey::s_scrambleTable['x'];
    str = "old";
    EXPECT_FALSE(CRegistryKey::DecodeScrambled(strBroken, str)) << "wrong check digits";
    EXPECT_STREQ("", str);
    EXPECT_FALSE(CRegistryKey::DecodeScrambled(CString(strStored.GetString(), 1), str)) << "too short";
    EXPECT_FALSE(CRegistryKey::DecodeScrambled(strStored + "\x80", str)) << "outside the table";
    EXPECT_FALSE(CRegistryKey::DecodeScrambled("", str));
}

TEST_F(RegistryScrambledTest, EveryPrintableCharacterSurvives)
{
    CRegistryKey key(m_test.Path().c_str());
    const std::string strAll = AllPrintable();
    ASSERT_TRUE(key.WriteScrambled("", "All", "", strAll.c_str()));
    CString str;
    EXPECT_TRUE(key.ReadScrambled("", "All", str));
    EXPECT_EQ(strAll, str.GetString());
    EXPECT_TRUE(key.VerifyScrambled("", "All", strAll.c_str()));
    CString strStored;
    ASSERT_TRUE(key.ReadString("", "All", strStored));
    EXPECT_NE(strAll, strStored.GetString() + 2) << "stored scrambled, not plain";

    for (char ch = 0x20; ch <= 0x7E; ++ch)
    {
        const char szPlain[] = {ch, 0};
        ASSERT_TRUE(key.WriteScrambled(m_test.Handle(), "One", "", szPlain)) << ch;
        EXPECT_TRUE(key.ReadScrambled(m_test.Handle(), "One", str));
        EXPECT_STREQ(szPlain, str);
        EXPECT_TRUE(key.VerifyScrambled(m_test.Handle(), "One", szPlain));
        ASSERT_TRUE(key.DeleteValue(m_test.Handle(), "One"));
    }
}

TEST_F(RegistryScrambledTest, VerifyIgnoresCase)
{
    CRegistryKey key(m_test.Path().c_str());
    ASSERT_TRUE(key.WriteScrambled("", "Secret", "", "ABC"));
    EXPECT_TRUE(key.VerifyScrambled("", "Secret", "abc"));
    EXPECT_TRUE(key.VerifyScrambled("", "Secret", "AbC"));
    EXPECT_FALSE(key.VerifyScrambled("", "Secret", "abd"));
    EXPECT_FALSE(key.VerifyScrambled("", "Secret", "ab"));
    // The old text of a change compares the same way.
    EXPECT_TRUE(key.WriteScrambled("", "Secret", "abc", "next"));
    EXPECT_TRUE(key.VerifyScrambled("", "Secret", "NEXT"));
}

TEST_F(RegistryScrambledTest, FirstVerifyCreatesTheValue)
{
    CRegistryKey key(m_test.Path().c_str());
    CString strEmpty;
    ASSERT_TRUE(CRegistryKey::EncodeScrambled("", strEmpty));
    DWORD dwType = 0;
    std::string bytes;

    EXPECT_FALSE(key.VerifyScrambled("Made", "Secret", "x"));
    ASSERT_TRUE(m_test.GetRaw("Made", "Secret", &dwType, &bytes)) << "the key and the value were made";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    EXPECT_EQ(std::string(strEmpty.GetString(), strEmpty.GetLength() + 1), bytes);
    EXPECT_TRUE(key.VerifyScrambled("", "Fresh", ""));
    EXPECT_TRUE(m_test.ValueExists("", "Fresh"));

    // The root form opens the key for reading only: nothing is made.
    EXPECT_FALSE(key.VerifyScrambled(HKEY_CURRENT_USER, m_test.SubKey().c_str(), "Root", ""));
    EXPECT_FALSE(m_test.ValueExists("", "Root"));
    // The handle form makes it in the key it is given.
    EXPECT_TRUE(key.VerifyScrambled(m_test.Handle(), "Handle", ""));
    EXPECT_TRUE(m_test.ValueExists("", "Handle"));
}

TEST_F(RegistryScrambledTest, ChangesNeedTheOldText)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    EXPECT_FALSE(key.WriteScrambled("", "Secret", "not empty", "a")) << "a new value holds the empty text";
    EXPECT_TRUE(key.WriteScrambled(HKEY_CURRENT_USER, strSubKey, "Secret", "", "first"));
    EXPECT_TRUE(key.WriteScrambled(m_test.Handle(), "Secret", "first", "second"));
    EXPECT_TRUE(key.WriteScrambled("", "Secret", "second", "third"));

    DWORD dwType = 0;
    std::string before, after;
    ASSERT_TRUE(m_test.GetRaw("Secret", &dwType, &before));
    EXPECT_FALSE(key.WriteScrambled("", "Secret", "second", "x"));
    EXPECT_FALSE(key.WriteScrambled("", "Secret", "third", "tab\there")) << "not printable";
    EXPECT_FALSE(key.WriteScrambled("", "Secret", "third", "表"));
    ASSERT_TRUE(m_test.GetRaw("Secret", &dwType, &after));
    EXPECT_EQ(before, after) << "a refused change leaves the value as it was";
    EXPECT_TRUE(key.WriteScrambled("", "Secret", "third", ""));
    EXPECT_TRUE(key.VerifyScrambled("", "Secret", ""));
}

TEST_F(RegistryScrambledTest, DeleteNeedsTheText)
{
    CRegistryKey key(m_test.Path().c_str());
    const CString strSubKey(m_test.SubKey().c_str());
    for (const char* pszName : {"Root", "Handle", "Relative"})
        ASSERT_TRUE(key.WriteScrambled("", pszName, "", "pass"));
    EXPECT_FALSE(key.DeleteScrambled(HKEY_CURRENT_USER, strSubKey, "Root", "wrong"));
    EXPECT_FALSE(key.DeleteScrambled(m_test.Handle(), "Handle", "wrong"));
    EXPECT_FALSE(key.DeleteScrambled("", "Relative", "wrong"));
    EXPECT_TRUE(m_test.ValueExists("", "Root"));
    EXPECT_TRUE(m_test.ValueExists("", "Handle"));
    EXPECT_TRUE(m_test.ValueExists("", "Relative"));
    EXPECT_TRUE(key.DeleteScrambled(HKEY_CURRENT_USER, strSubKey, "Root", "PASS"));
    EXPECT_TRUE(key.DeleteScrambled(m_test.Handle(), "Handle", "pass"));
    EXPECT_TRUE(key.DeleteScrambled("", "Relative", "Pass"));
    EXPECT_FALSE(m_test.ValueExists("", "Root"));
    EXPECT_FALSE(m_test.ValueExists("", "Handle"));
    EXPECT_FALSE(m_test.ValueExists("", "Relative"));
}

TEST_F(RegistryScrambledTest, PlainTextIsNotScrambled)
{
    CRegistryKey key(m_test.Path().c_str());
    ASSERT_TRUE(key.WriteString("", "Secret", "hello"));
    CString str("old");
    EXPECT_FALSE(key.ReadScrambled("", "Secret", str));
    EXPECT_STREQ("", str);
    EXPECT_FALSE(key.VerifyScrambled("", "Secret", "hello"));
    EXPECT_FALSE(key.VerifyScrambled("", "Secret", ""));
    EXPECT_FALSE(key.WriteScrambled("", "Secret", "hello", "x"));
    EXPECT_FALSE(key.DeleteScrambled("", "Secret", "hello"));
    EXPECT_TRUE(m_test.ValueExists("", "Secret"));
    EXPECT_TRUE(key.DeleteValue("", "Secret")) << "only a plain deletion removes it";
}
