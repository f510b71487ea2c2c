// The narrow string type with Shift-JIS text (the literals below are
// compiled to code page 932).
#include "frame/String.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CString, ProcessCodePageIsJapanese)
{
    ASSERT_EQ(932u, ::GetACP()) << "the tests need the ANSI code page 932";
    ASSERT_EQ(0, std::strcmp("\x95\x5C", "表")) << "literals must be compiled as Shift-JIS";
}

TEST(CString, MakeUpperChangesOnlySingleByteLetters)
{
    struct Case
    {
        const char* pszIn;
        const char* pszOut;
    };
    // ツ is 83 63 and ホ is 83 7A: their trail bytes are the letters c and z.
    const Case kCases[] = {
        {"glimwick.exe /unregist", "GLIMWICK.EXE /UNREGIST"},
        {"/UnRegistX", "/UNREGISTX"},
        {"ツホ", "ツホ"},
        {"aツbホc", "AツBホC"},
        {"ﾊﾞｰｼﾞｮﾝ abc", "ﾊﾞｰｼﾞｮﾝ ABC"},
        {"", ""},
    };
    for (const Case& c : kCases)
    {
        CString s(c.pszIn);
        s.MakeUpper();
        EXPECT_STREQ(c.pszOut, s) << "input: " << c.pszIn;
    }
}

TEST(CString, MakeUpperKeepsALeadByteAtTheEnd)
{
    // A lone lead byte at the end has no trail byte to protect.
    CString s("x\x83");
    s.MakeUpper();
    EXPECT_STREQ("X\x83", s);
}

TEST(CString, FindSkipsTrailBytes)
{
    // 表 and ソ end in 5C, the backslash.
    const CString s("表ソ\\dir");
    EXPECT_EQ(4, s.Find("\\"));
    EXPECT_EQ(-1, CString("表ソ").Find("\\"));
    // ツ is 83 63: its trail byte is 'c' and must not be found as one.
    EXPECT_EQ(-1, CString("ツ").Find("c"));
    EXPECT_EQ(2, CString("ツc").Find("c"));
    EXPECT_EQ(0, CString("/UNREGIST").Find("/UNREGIST"));
    EXPECT_EQ(-1, CString("/UNREGIS").Find("/UNREGIST"));
    EXPECT_EQ(4, CString("abcabc").Find("bc", 2));
    EXPECT_EQ(0, CString("abc").Find(""));
}

TEST(CString, ReverseFindSkipsTrailBytes)
{
    EXPECT_EQ(2, CString("C:\\表").ReverseFind('\\'));
    EXPECT_EQ(5, CString("C:\\表\\").ReverseFind('\\'));
    EXPECT_EQ(-1, CString("表ソ").ReverseFind('\\'));
}

TEST(CString, LeftAndMidStayInside)
{
    const CString s("abc表");
    EXPECT_STREQ("ab", s.Left(2));
    EXPECT_STREQ("abc表", s.Left(100));
    EXPECT_STREQ("", s.Left(-1));
    EXPECT_STREQ("表", s.Mid(3, 10));
    EXPECT_STREQ("", s.Mid(5, 1));
    EXPECT_STREQ("", s.Mid(1, 0));
    EXPECT_EQ(5, s.GetLength());
}

TEST(CString, FormatAndAppend)
{
    CString s;
    s.Format("%d %d %d", 255, 0, -1);
    EXPECT_STREQ("255 0 -1", s);
    s.Format("%s", std::string(3000, 'x').c_str());
    EXPECT_EQ(3000, s.GetLength());
    CString t("設定");
    t += "...";
    EXPECT_STREQ("設定...", t);
    EXPECT_TRUE(CString("終了") == "終了");
    EXPECT_TRUE(CString() == nullptr);
    EXPECT_TRUE(CString(nullptr).IsEmpty());
}

TEST(CString, LoadStringOfAMissingResourceIsEmpty)
{
    CString s("old");
    EXPECT_FALSE(s.LoadString(65000));
    EXPECT_TRUE(s.IsEmpty());
}
