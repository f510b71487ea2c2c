// CBinary: the block, its length lock, views, and copying.
#include "diag/Binary.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

CBinary::CBinary()
    : m_pData(nullptr), m_nLength(0), m_bLocked(FALSE), m_nFocusOffset(-1), m_nFocusLength(-1),
      m_pOwner(this)
{
}

CBinary::CBinary(int nFill, int nCount) : CBinary()
{
    if (nCount > 0 && CBinary::SetLength(nCount))
        std::memset(m_pData, nFill & 0xFF, static_cast<size_t>(nCount));
    m_bLocked = TRUE;
}

CBinary::CBinary(const void* pData, int nLength) : CBinary()
{
    // SetLength zeroes the new block, which is what a null pointer asks for.
    if (nLength > 0 && CBinary::SetLength(nLength) && pData)
        std::memcpy(m_pData, pData, static_cast<size_t>(nLength));
    m_bLocked = TRUE;
}

CBinary::CBinary(const CBinary& other) : CBinary()
{
    const int nLength = other.GetLength();
    if (nLength > 0 && CBinary::SetLength(nLength))
        std::memcpy(m_pData, other.GetData(), static_cast<size_t>(nLength));
}

CBinary::CBinary(CBinary* pOwner, int nOffset, int nLength)
    : m_pData(pOwner->m_pData), m_nLength(pOwner->m_nLength), m_bLocked(pOwner->m_bLocked),
      m_nFocusOffset(nOffset), m_nFocusLength(nLength), m_pOwner(pOwner)
{
    if (nLength != -1)
        m_bLocked = TRUE;
}

CBinary::~CBinary()
{
    if (m_pOwner == this)
        std::free(m_pData);
}

void CBinary::Reset()
{
    m_pData = nullptr;
    m_nLength = 0;
    m_bLocked = FALSE;
    m_nFocusOffset = -1;
    m_nFocusLength = -1;
    m_pOwner = this;
}

void CBinary::Release()
{
    // Only the buffer that owns the block frees it; a view just lets go.
    if (m_pOwner == this)
        std::free(m_pData);
    Reset();
}

BOOL CBinary::SetLength(int nLength)
{
    if (m_bLocked || nLength < 0)
        return FALSE;
    // A view reallocates its owner's block: only while the owner still has
    // the block the view was made on, and is not locked meanwhile.
    if (m_pOwner != this && (m_pOwner->m_pData != m_pData || m_pOwner->m_bLocked))
        return FALSE;
    BYTE* pNew = nullptr;
    if (nLength > 0)
    {
        pNew = static_cast<BYTE*>(std::malloc(static_cast<size_t>(nLength)));
        if (!pNew)
            return FALSE;
        const int nKeep = std::min(m_nLength, nLength);
        if (nKeep > 0)
            std::memcpy(pNew, m_pData, static_cast<size_t>(nKeep));
        std::memset(pNew + nKeep, 0, static_cast<size_t>(nLength - nKeep));
    }
    std::free(m_pData);
    m_pData = pNew;
    m_nLength = nLength;
    m_pOwner->m_pData = pNew;
    m_pOwner->m_nLength = nLength;
    return TRUE;
}

BYTE* CBinary::Assign(const void* pData, int nLength)
{
    if (Overlaps(pData, nLength))
    {
        const CBinary copy(pData, nLength);
        if (copy.GetLength() != nLength)
            return nullptr;
        return Assign(copy.GetData(), nLength);
    }
    if (!Resize(nLength))
        return nullptr;
    if (pData && nLength > 0)
        std::memcpy(GetData(), pData, static_cast<size_t>(nLength));
    return GetData();
}

BOOL CBinary::IsView() const
{
    return m_nFocusOffset != -1;
}

BOOL CBinary::HasFocusLength() const
{
    return m_nFocusLength != -1;
}

void CBinary::SetFocus(int nOffset, int nLength)
{
    m_nFocusOffset = nOffset;
    m_nFocusLength = nLength;
    if (nLength != -1)
        m_bLocked = TRUE;
}

BYTE* CBinary::GetData() const
{
    if (!IsView())
        return m_pData;
    if (m_nFocusOffset >= 0 && m_nFocusOffset < m_nLength)
        return m_pData + m_nFocusOffset;
    return nullptr;
}

int CBinary::GetLength() const
{
    if (!IsView())
        return m_nLength;
    if (m_nFocusOffset < 0 || m_nFocusOffset >= m_nLength)
        return 0;
    // A fixed length never reaches past the block, whatever SetFocus was given.
    const int nAvailable = m_nLength - m_nFocusOffset;
    if (HasFocusLength())
        return std::max(0, std::min(m_nFocusLength, nAvailable));
    return nAvailable;
}

int CBinary::GetFocusOffset() const
{
    return IsView() ? m_nFocusOffset : 0;
}

BOOL CBinary::IsEmpty() const
{
    return m_nLength == 0;
}

BOOL CBinary::Empty()
{
    return SetLength(0);
}

BOOL CBinary::IsLocked() const
{
    return m_bLocked;
}

BOOL CBinary::IsFree() const
{
    return !m_bLocked;
}

void CBinary::LockLength()
{
    m_bLocked = TRUE;
}

BOOL CBinary::UnlockLength()
{
    if (HasFocusLength())
        return TRUE;
    m_bLocked = FALSE;
    return FALSE;
}

BYTE* CBinary::LockBuffer()
{
    LockLength();
    return GetData();
}

void CBinary::UnlockBuffer()
{
    UnlockLength();
}

BYTE CBinary::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        return 0;
    return GetData()[nIndex];
}

void CBinary::SetAt(int nIndex, BYTE byValue)
{
    if (nIndex >= 0 && nIndex < GetLength())
        GetData()[nIndex] = byValue;
}

CBinary CBinary::Focus(int nCount)
{
    nCount = std::max(0, nCount);
    if (!IsView())
        return CBinary(this, nCount, -1);
    const int nOffset = std::max(0, m_nFocusOffset);
    if (!HasFocusLength())
    {
        const int nAvailable = std::max(0, m_nLength - nOffset);
        return CBinary(m_pOwner, nOffset, std::min(nCount, nAvailable));
    }
    const long long nStart = static_cast<long long>(nOffset) + nCount;
    return CBinary(m_pOwner, static_cast<int>(std::min<long long>(nStart, INT_MAX)), -1);
}

BYTE* CBinary::GetDataPtr() const
{
    return GetData();
}

BYTE CBinary::GetFirstByte() const
{
    return GetLength() > 0 ? GetData()[0] : 0;
}

int CBinary::GetSize() const
{
    return GetLength();
}

BOOL CBinary::Resize(int nLength)
{
    if (m_bLocked || nLength < 0)
        return FALSE;
    const long long nBlock = static_cast<long long>(nLength) + GetFocusOffset();
    if (nBlock > INT_MAX)
        return FALSE;
    return SetLength(static_cast<int>(nBlock));
}

BYTE* CBinary::GetBufferSetLength(int nLength)
{
    if (!Resize(nLength))
        return nullptr;
    return GetData();
}

BYTE* CBinary::GetBuffer(int nMinimum)
{
    if (nMinimum != 0 && GetLength() < nMinimum)
        return GetBufferSetLength(nMinimum);
    return GetData();
}

BOOL CBinary::Overlaps(const void* pData, int nLength) const
{
    if (!pData || !m_pData || nLength <= 0)
        return FALSE;
    const BYTE* p = static_cast<const BYTE*>(pData);
    return p < m_pData + m_nLength && m_pData < p + nLength;
}

BYTE CBinary::Copy(const void* pData, int nLength)
{
    const CBinary source(pData, std::max(0, nLength));
    return Copy(source);
}

BYTE CBinary::Copy(const CBinary& source)
{
    if (&source == this)
        return GetFirstByte();
    if ((m_bLocked && !GetData()) || (source.m_nLength != 0 && !source.m_pData))
        return 0;
    const int nSource = source.GetLength();
    if (m_bLocked)
    {
        const int nCopy = std::min(GetLength(), nSource);
        if (nCopy > 0)
            std::memmove(GetData(), source.GetData(), static_cast<size_t>(nCopy));
        return GetFirstByte();
    }
    // Resizing frees the block: bytes taken from it are copied out first.
    if (Overlaps(source.GetData(), nSource))
    {
        const CBinary copy(source);
        if (copy.GetLength() != nSource)
            return GetFirstByte();
        return Copy(copy);
    }
    if (Resize(nSource) && nSource > 0)
        std::memcpy(GetData(), source.GetData(), static_cast<size_t>(nSource));
    return GetFirstByte();
}

BYTE CBinary::Copy(int nFill, int nCount)
{
    const CBinary source(nFill, nCount);
    return Copy(source);
}

BYTE CBinary::Append(BYTE byValue)
{
    return Append(&byValue, 1);
}

BYTE CBinary::Append(const void* pData, int nLength)
{
    const CBinary source(pData, std::max(0, nLength));
    return Append(source);
}

BYTE CBinary::Append(const CBinary& source)
{
    if (m_bLocked || (source.m_nLength != 0 && !source.m_pData))
        return GetFirstByte();
    const int nOld = GetLength();
    const int nAdd = source.GetLength();
    if (nAdd <= 0 || nAdd > INT_MAX - nOld)
        return GetFirstByte();
    // Appending a buffer to itself or to a view of itself: the resize would
    // move the bytes to be appended.
    if (&source == this || Overlaps(source.GetData(), nAdd))
    {
        const CBinary copy(source);
        if (copy.GetLength() != nAdd)
            return GetFirstByte();
        return Append(copy);
    }
    if (Resize(nOld + nAdd))
        std::memcpy(GetData() + nOld, source.GetData(), static_cast<size_t>(nAdd));
    return GetFirstByte();
}

CBinary& CBinary::operator=(int nValue)
{
    Copy(nValue & 0xFF, 1);
    return *this;
}

CBinary& CBinary::operator=(unsigned int nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(unsigned short nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(short nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(unsigned char nValue)
{
    return *this = static_cast<int>(nValue);
}

CBinary& CBinary::operator=(char nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(long nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(unsigned long nValue)
{
    return *this = static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator=(const CBinary& source)
{
    Copy(source);
    return *this;
}

CBinary& CBinary::operator+=(int nValue)
{
    Append(static_cast<BYTE>(nValue & 0xFF));
    return *this;
}

CBinary& CBinary::operator+=(unsigned int nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(unsigned short nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(short nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(unsigned char nValue)
{
    return *this += static_cast<int>(nValue);
}

CBinary& CBinary::operator+=(char nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(long nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(unsigned long nValue)
{
    return *this += static_cast<int>(nValue & 0xFF);
}

CBinary& CBinary::operator+=(const CBinary& source)
{
    Append(source);
    return *this;
}
