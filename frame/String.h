#ifndef GLIMWICK_FRAME_STRING_H
#define GLIMWICK_FRAME_STRING_H

#include <windows.h>
#include <string>

// Narrow text in the process code page (Shift-JIS under code page 932).
// Every operation that walks characters steps over double-byte characters
// whole, so a trail byte is never taken for an ASCII letter or a backslash.
class CString
{
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCSTR pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    LPCSTR GetString() const { return m_str.c_str(); }
    operator LPCSTR() const { return m_str.c_str(); }
    char GetAt(int nIndex) const { return m_str.at(nIndex); }

    CString& operator=(LPCSTR psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(LPCSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, LPCSTR b) { CString s(a); s += b; return s; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }

    // Upper-cases the single-byte letters a-z; double-byte characters and
    // half-width katakana stay as they are.
    CString& MakeUpper();

    // Byte-wise comparison with the single-byte letters a-z taken as A-Z;
    // double-byte characters must match exactly. <0, 0 or >0.
    int CompareNoCase(LPCSTR psz) const;

    // Byte index of the first occurrence at or after nStart that begins on a
    // character boundary, or -1.
    int Find(LPCSTR pszSub, int nStart = 0) const;

    // Byte index of the last single-byte character ch, or -1.
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst, int nCount) const;

    // On failure the string is left empty and FALSE returned.
    BOOL LoadString(UINT nID);

    void Format(LPCSTR pszFormat, ...);

    // TRUE when the byte at nIndex starts a double-byte character in the
    // process code page and a trail byte follows it.
    static BOOL IsLeadByteAt(LPCSTR psz, int nLength, int nIndex);

private:
    std::string m_str;
};

#endif
