// Fonts from descriptions: the style words in both languages, with the
// Shift-JIS pitfalls of upper-casing and searching, checked on the fonts the
// system made.
#include "draw/FontDesc.h"
#include "frame/WindowDC.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Attributes
{
    bool bBold;
    bool bItalic;
    bool bUnderline;
    bool bStrikeOut;
};

LOGFONTA LogFontOf(const CFont& font)
{
    LOGFONTA lf = {};
    EXPECT_EQ(static_cast<int>(sizeof lf), font.GetLogFont(&lf));
    return lf;
}

void ExpectAttributes(const Attributes& want, const char* pszStyle)
{
    std::unique_ptr<CFont> pFont = CreateFontFromDesc("Arial", 90, pszStyle);
    ASSERT_NE(nullptr, pFont) << pszStyle;
    const LOGFONTA lf = LogFontOf(*pFont);
    EXPECT_EQ(want.bBold ? FW_BOLD : 0, lf.lfWeight) << pszStyle;
    EXPECT_EQ(want.bItalic, lf.lfItalic != 0) << pszStyle;
    EXPECT_EQ(want.bUnderline, lf.lfUnderline != 0) << pszStyle;
    EXPECT_EQ(want.bStrikeOut, lf.lfStrikeOut != 0) << pszStyle;
}

// The character height in pixels of a point size on the screen.
int ScreenPixels(int nTenthsOfPoint)
{
    CWindowDC screen(NULL);
    return ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), nTenthsOfPoint, 720);
}
} // namespace

TEST(FontDesc, StyleWords)
{
    const Attributes kNone = {false, false, false, false};
    const Attributes kBold = {true, false, false, false};
    const Attributes kItalic = {false, true, false, false};
    const Attributes kUnderline = {false, false, true, false};
    const Attributes kStrikeOut = {false, false, false, true};
    struct Case
    {
        const char* pszStyle;
        Attributes want;
    };
    const Case kCases[] = {
        {"標準|下線", kUnderline},
        {"", kNone},
        {"標準", kNone},
        {"standard|regular", kNone},
        {"bold italic", {true, true, false, false}},
        {"太字|イタリック|下線|取り消し線", {true, true, true, true}},
        {"BOLD|ITALIC|UNDERLINE|STRIKEOUT", {true, true, true, true}},
        // Every word alone.
        {"太字", kBold},
        {"ボールド", kBold},
        {"Bold", kBold},
        {"イタリック", kItalic},
        {"斜体", kItalic},
        {"italic", kItalic},
        {"下線", kUnderline},
        {"アンダーライン", kUnderline},
        {"underLine", kUnderline},
        {"取り消し線", kStrikeOut},
        {"取消線", kStrikeOut},
        {"取消し線", kStrikeOut},
        {"strikeout", kStrikeOut},
        // Inside longer words.
        {"SemiBold", kBold},
        {"太字体", kBold},
        {"標準下線付き", kUnderline},
        // The trail bytes of ド and ッ are 'h' and 'b': an upper-casing that
        // is not multibyte-aware would turn them into ハ and ィ.
        {"ボールド,イタリック", {true, true, false, false}},
        // ィ is 83 42, a trail byte of 'B': "ィold" holds the bytes of
        // "BOLD" after upper-casing but not the word.
        {"ィold", kNone},
        // Full-width letters are not the English words.
        {"ＢＯＬＤ", kNone},
    };
    for (const Case& c : kCases)
        ExpectAttributes(c.want, c.pszStyle);
}

TEST(FontDesc, TheFontTheSystemMadeHasTheAttributes)
{
    std::unique_ptr<CFont> pFont = CreateFontFromDesc("Arial", 120, "bold|italic|underline|strikeout");
    ASSERT_NE(nullptr, pFont);
    CWindowDC screen(NULL);
    HGDIOBJ hOld = ::SelectObject(screen, *pFont);
    TEXTMETRICA tm = {};
    ASSERT_TRUE(::GetTextMetricsA(screen, &tm));
    ::SelectObject(screen, hOld);
    EXPECT_GE(tm.tmWeight, FW_BOLD);
    EXPECT_TRUE(tm.tmItalic);
    EXPECT_TRUE(tm.tmUnderlined);
    EXPECT_TRUE(tm.tmStruckOut);
}

TEST(FontDesc, SizeInTenthsOfAPointOnTheScreen)
{
    for (int nSize : {90, 120, 200})
    {
        std::unique_ptr<CFont> pFont = CreateFontFromDesc("ＭＳ ゴシック", nSize, "");
        ASSERT_NE(nullptr, pFont);
        // A character height, hence negative.
        EXPECT_EQ(-ScreenPixels(nSize), LogFontOf(*pFont).lfHeight) << nSize;
    }
    // The sign of the size does not matter.
    std::unique_ptr<CFont> pFont = CreateFontFromDesc("Arial", -90, "");
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(-ScreenPixels(90), LogFontOf(*pFont).lfHeight);
}

TEST(FontDesc, FaceNameAndCharacterSet)
{
    std::unique_ptr<CFont> pFont = CreateFontFromDesc("ＭＳ ゴシック", 90, "標準|下線");
    ASSERT_NE(nullptr, pFont);
    const LOGFONTA lf = LogFontOf(*pFont);
    EXPECT_STREQ("ＭＳ ゴシック", lf.lfFaceName);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_EQ(0, lf.lfWeight);
    EXPECT_EQ(0, lf.lfItalic);

    // A face the system lacks still gives a font.
    EXPECT_NE(nullptr, CreateFontFromDesc("No Such Face At All", 90, ""));
}

TEST(FontDesc, LongFaceNamesAreCutAtACharacter)
{
    // 31 bytes fit with the terminator.
    const std::string str31(31, 'x');
    std::unique_ptr<CFont> pFont = CreateFontFromDesc((str31 + "yyyy").c_str(), 90, "");
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(str31, LogFontOf(*pFont).lfFaceName);

    // Sixteen double-byte characters are 32 bytes: the sixteenth does not
    // fit whole, so the name keeps fifteen rather than half of one.
    std::string strWide;
    for (int i = 0; i < 16; ++i)
        strWide += "あ";
    pFont = CreateFontFromDesc(strWide.c_str(), 90, "");
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(strWide.substr(0, 30), LogFontOf(*pFont).lfFaceName);

    // One single-byte character first: 31 bytes fit exactly.
    pFont = CreateFontFromDesc(("x" + strWide).c_str(), 90, "");
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(("x" + strWide).substr(0, 31), LogFontOf(*pFont).lfFaceName);
}
