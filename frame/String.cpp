#include "frame/String.h"

#include "frame/WinApp.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

BOOL CString::IsLeadByteAt(LPCSTR psz, int nLength, int nIndex)
{
    return nIndex + 1 < nLength && IsDBCSLeadByte(static_cast<BYTE>(psz[nIndex]));
}

CString& CString::MakeUpper()
{
    const int n = GetLength();
    for (int i = 0; i < n; ++i)
    {
        if (IsLeadByteAt(m_str.data(), n, i))
            ++i;
        else if (m_str[i] >= 'a' && m_str[i] <= 'z')
            m_str[i] = static_cast<char>(m_str[i] - 'a' + 'A');
    }
    return *this;
}

int CString::CompareNoCase(LPCSTR psz) const
{
    const std::string other(psz ? psz : "");
    const int n = GetLength();
    const int nOther = static_cast<int>(other.size());
    const auto upper = [](unsigned char ch) { return ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch; };
    for (int i = 0; i < n && i < nOther; ++i)
    {
        // A double-byte character is compared unfolded: its trail byte may
        // have a letter's code.
        const bool bLead = IsLeadByteAt(m_str.data(), n, i) || IsLeadByteAt(other.data(), nOther, i);
        const int a = static_cast<unsigned char>(m_str[i]);
        const int b = static_cast<unsigned char>(other[i]);
        if (bLead)
        {
            if (a != b)
                return a - b;
            if (i + 1 < n && i + 1 < nOther && m_str[i + 1] != other[i + 1])
                return static_cast<unsigned char>(m_str[i + 1]) - static_cast<unsigned char>(other[i + 1]);
            ++i;
            continue;
        }
        if (upper(a) != upper(b))
            return upper(a) - upper(b);
    }
    return n - nOther;
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    const int n = GetLength();
    const std::string sub(pszSub ? pszSub : "");
    const int len = static_cast<int>(sub.size());
    for (int i = 0; i + len <= n; i += IsLeadByteAt(m_str.data(), n, i) ? 2 : 1)
    {
        if (i >= nStart && m_str.compare(i, len, sub) == 0)
            return i;
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    const int n = GetLength();
    int nFound = -1;
    for (int i = 0; i < n; i += IsLeadByteAt(m_str.data(), n, i) ? 2 : 1)
    {
        if (m_str[i] == ch)
            nFound = i;
    }
    return nFound;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    return CString(m_str.data(), nCount < GetLength() ? nCount : GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    const int nAvail = GetLength() - nFirst;
    return CString(m_str.data() + nFirst, nCount < nAvail ? nCount : nAvail);
}

BOOL CString::LoadString(UINT nID)
{
    // Resource strings are stored as UTF-16 and come back converted to the
    // process code page; a double-byte text needs up to twice the length.
    char buf[1024];
    const int n = ::LoadStringA(AfxGetResourceHandle(), nID, buf, sizeof buf);
    if (n <= 0)
    {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(buf, n);
    return TRUE;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0)
    {
        m_str.clear();
    }
    else
    {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
        m_str.assign(buf.data(), n);
    }
    va_end(args);
}
