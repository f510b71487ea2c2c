// CBinary: comparison, search, counting and slicing.
#include "diag/Binary.h"

#include <algorithm>

int CBinary::CompareBytes(const void* pFirst, int nFirst, const void* pSecond, int nSecond,
                          int nMaximum) const
{
    const BYTE* pA = static_cast<const BYTE*>(pFirst);
    const BYTE* pB = static_cast<const BYTE*>(pSecond);
    if (!pA || nFirst < 0)
        nFirst = 0;
    if (!pB || nSecond < 0)
        nSecond = 0;
    if (nMaximum <= 0)
        nMaximum = std::min(nFirst, nSecond) + 1;
    for (int i = 0; i < nMaximum; ++i)
    {
        const bool bFirstDone = i >= nFirst;
        const bool bSecondDone = i >= nSecond;
        const int a = bFirstDone ? 0 : pA[i];
        const int b = bSecondDone ? 0 : pB[i];
        if (a != b)
            return a - b;
        if (bFirstDone || bSecondDone)
            return 0;
    }
    return 0;
}

int CBinary::Compare(const void* pData, int nLength) const
{
    if (nLength <= 0)
        return 0;
    const CBinary other(pData, nLength);
    return Compare(other, 0);
}

int CBinary::Compare(const CBinary& other, int nMaximum) const
{
    return CompareBytes(GetData(), GetLength(), other.GetData(), other.GetLength(), nMaximum);
}

BOOL CBinary::MatchesAt(int nStart, const BYTE* pPattern, int nLength) const
{
    const BYTE* pData = GetData();
    if (pData[nStart] != pPattern[0])
        return FALSE;
    if (nLength == 1)
        return TRUE;
    return CompareBytes(pPattern + 1, nLength - 1, pData + nStart + 1, nLength - 1, nLength - 1) == 0;
}

int CBinary::Find(BYTE byValue) const
{
    return Find(&byValue, 1);
}

int CBinary::Find(const CBinary& pattern) const
{
    return Find(pattern.GetData(), pattern.GetLength());
}

int CBinary::Find(const void* pPattern, int nLength) const
{
    const BYTE* pBytes = static_cast<const BYTE*>(pPattern);
    if (!pBytes || nLength <= 0 || nLength > GetLength())
        return -1;
    for (int i = 0; i <= GetLength() - nLength; ++i)
    {
        if (MatchesAt(i, pBytes, nLength))
            return i;
    }
    return -1;
}

int CBinary::ReverseFind(BYTE byValue) const
{
    return ReverseFind(&byValue, 1);
}

int CBinary::ReverseFind(const CBinary& pattern) const
{
    return ReverseFind(pattern.GetData(), pattern.GetLength());
}

int CBinary::ReverseFind(const void* pPattern, int nLength) const
{
    const BYTE* pBytes = static_cast<const BYTE*>(pPattern);
    if (!pBytes || nLength <= 0 || nLength > GetLength())
        return -1;
    for (int i = GetLength() - nLength; i >= 0; --i)
    {
        if (MatchesAt(i, pBytes, nLength))
            return i;
    }
    return -1;
}

int CBinary::Count(BYTE byValue) const
{
    return Count(&byValue, 1);
}

int CBinary::Count(const CBinary& pattern) const
{
    return Count(pattern.GetData(), pattern.GetLength());
}

int CBinary::Count(const void* pPattern, int nLength) const
{
    const BYTE* pBytes = static_cast<const BYTE*>(pPattern);
    if (!pBytes || nLength <= 0 || nLength > GetLength())
        return 0;
    int nFound = 0;
    for (int i = 0; i <= GetLength() - nLength; ++i)
    {
        if (MatchesAt(i, pBytes, nLength))
            ++nFound;
    }
    return nFound;
}

void CBinary::DeleteLeft(int nCount)
{
    if (IsView() || m_bLocked || nCount <= 0)
        return;
    if (nCount >= GetLength())
    {
        Resize(0);
        return;
    }
    const CBinary rest = Slice(nCount, -1);
    // A failed allocation keeps the buffer as it was rather than losing it.
    if (rest.GetLength() == GetLength() - nCount)
        Copy(rest);
}

void CBinary::DeleteRight(int nCount)
{
    if (IsView() || m_bLocked || nCount <= 0)
        return;
    if (nCount >= GetLength())
    {
        Resize(0);
        return;
    }
    const CBinary rest = Slice(0, GetLength() - nCount);
    if (rest.GetLength() == GetLength() - nCount)
        Copy(rest);
}

CBinary CBinary::Slice(int nOffset, int nCount) const
{
    CBinary copy(*this);
    CBinary open = copy.Focus(nOffset);
    if (nCount < 0)
        return CBinary(open);
    CBinary part = open.Focus(nCount);
    // The copy constructor turns the view into a substance of its bytes.
    return CBinary(part);
}

CBinary CBinary::Left(int nCount) const
{
    if (nCount >= GetLength())
        return CBinary(*this);
    return Slice(0, std::max(0, nCount));
}

CBinary CBinary::Right(int nCount) const
{
    if (nCount >= GetLength())
        return CBinary(*this);
    nCount = std::max(0, nCount);
    return Slice(GetLength() - nCount, nCount);
}

CBinary CBinary::Mid(int nOffset) const
{
    if (nOffset >= GetLength())
        return CBinary();
    return Slice(std::max(0, nOffset), -1);
}

CBinary CBinary::Mid(int nOffset, int nCount) const
{
    if (nOffset >= GetLength())
        return CBinary();
    return Slice(std::max(0, nOffset), std::max(0, nCount));
}
