#include "draw/FontDesc.h"

#include <new>

namespace
{
// The words of each attribute, null-terminated. English words are matched
// against the upper-cased style, so they are written in upper case.
const char* const kBold[] = {"太字", "ボールド", "BOLD", nullptr};
const char* const kItalic[] = {"イタリック", "斜体", "ITALIC", nullptr};
const char* const kUnderline[] = {"下線", "アンダーライン", "UNDERLINE", nullptr};
const char* const kStrikeOut[] = {"取り消し線", "取消線", "取消し線", "STRIKEOUT", nullptr};

BOOL NamesAny(const CString& strStyle, const char* const* ppszWords)
{
    for (; *ppszWords; ++ppszWords)
    {
        if (strStyle.Find(*ppszWords) >= 0)
            return TRUE;
    }
    return FALSE;
}

// Copies the face into lfFaceName, cut before a character that does not fit
// whole, so a long name never runs past the field or ends in half a
// double-byte character.
void CopyFaceName(LOGFONTA& lf, const CString& strFace)
{
    const int nMax = LF_FACESIZE - 1;
    const int nLength = strFace.GetLength();
    int nCopy = 0;
    while (nCopy < nLength)
    {
        const int nChar = CString::IsLeadByteAt(strFace, nLength, nCopy) ? 2 : 1;
        if (nCopy + nChar > nMax)
            break;
        nCopy += nChar;
    }
    for (int i = 0; i < nCopy; ++i)
        lf.lfFaceName[i] = strFace.GetAt(i);
    lf.lfFaceName[nCopy] = '\0';
}
} // namespace

std::unique_ptr<CFont> CreateFontFromDesc(CString strFace, int nPointSize, CString strStyle)
{
    LOGFONTA lf = {};
    lf.lfHeight = -nPointSize;
    lf.lfCharSet = DEFAULT_CHARSET;
    CopyFaceName(lf, strFace);

    // Multibyte-aware: a trail byte that looks like a lower-case letter
    // stays as it is, so Japanese words still match after this.
    strStyle.MakeUpper();
    if (NamesAny(strStyle, kBold))
        lf.lfWeight = FW_BOLD;
    if (NamesAny(strStyle, kItalic))
        lf.lfItalic = 1;
    if (NamesAny(strStyle, kUnderline))
        lf.lfUnderline = 1;
    if (NamesAny(strStyle, kStrikeOut))
        lf.lfStrikeOut = 1;

    std::unique_ptr<CFont> pFont(new (std::nothrow) CFont);
    if (!pFont || !pFont->CreatePointFontIndirect(&lf))
        return nullptr;
    return pFont;
}
