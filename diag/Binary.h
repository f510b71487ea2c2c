#ifndef GLIMWICK_DIAG_BINARY_H
#define GLIMWICK_DIAG_BINARY_H

#include "frame/String.h"

#include <windows.h>

// A growable byte buffer. A substance owns its heap block; a view (made by
// Focus) shows part of another buffer's block and never frees it. A view is
// valid only while its owner exists and keeps the same block. The length
// lock stops every size change; fixed-length views are always locked.
class CBinary
{
public:
    // Caption of the dump's message box.
    static constexpr LPCSTR DUMP_CAPTION = "CBinary dumping";
    // Bytes per dump line.
    static constexpr int DUMP_LINE_BYTES = 16;
    // Stands for an unprintable byte in the dump (a middle dot in code page 932).
    static constexpr BYTE UNPRINTABLE = 0xA5;

    CBinary();
    // nCount copies of nFill's low 8 bits; created locked. A negative count
    // counts as 0; on allocation failure the buffer is empty (and locked).
    explicit CBinary(int nFill, int nCount);
    // A copy of nLength bytes, or zeros when pData is null; created locked.
    // On allocation failure the buffer is empty (and locked).
    explicit CBinary(const void* pData, int nLength);
    // An unlocked substance holding a copy of the other buffer's visible bytes.
    CBinary(const CBinary& other);

    // Forgets the block without freeing it: an empty, unlocked substance.
    virtual void Reset();
    // Frees the block if this buffer owns it, then Reset.
    virtual void Release();
    // Exact reallocation; FALSE (nothing changed) when locked, when the
    // allocation fails or when a view's owner no longer has the view's block.
    virtual BOOL SetLength(int nLength);
    // The data pointer after the copy; NULL (nothing copied) when the resize fails.
    virtual BYTE* Assign(const void* pData, int nLength);
    virtual BOOL IsView() const;
    virtual BOOL HasFocusLength() const;
    virtual void SetFocus(int nOffset, int nLength);
    virtual BYTE* GetData() const;
    virtual int GetLength() const;
    virtual int GetFocusOffset() const;
    virtual BOOL IsEmpty() const;
    virtual BOOL Empty();
    virtual BOOL IsLocked() const;
    virtual BOOL IsFree() const;
    virtual void LockLength();
    // TRUE when the lock stays (a fixed-length view), FALSE when cleared.
    virtual BOOL UnlockLength();
    virtual BYTE* LockBuffer();
    virtual void UnlockBuffer();
    // 0 when the index is outside the visible bytes.
    virtual BYTE GetAt(int nIndex) const;
    // Ignored when the index is outside the visible bytes.
    virtual void SetAt(int nIndex, BYTE byValue);
    virtual CBinary Focus(int nCount);
    virtual BYTE* GetDataPtr() const;
    virtual BYTE GetFirstByte() const;
    virtual int GetSize() const;
    // FALSE (nothing changed) when locked or when the allocation fails.
    virtual BOOL Resize(int nLength);
    // NULL when the resize fails.
    virtual BYTE* GetBufferSetLength(int nLength);
    // NULL when a needed resize fails.
    virtual BYTE* GetBuffer(int nMinimum);

    // The Copy and Append family return the first byte afterwards (0 when
    // empty). A locked buffer keeps its length: Copy overwrites what fits,
    // Append does nothing.
    virtual BYTE Copy(const void* pData, int nLength);
    virtual BYTE Copy(const CBinary& source);
    virtual BYTE Copy(int nFill, int nCount);
    virtual BYTE Append(BYTE byValue);
    virtual BYTE Append(const void* pData, int nLength);
    virtual BYTE Append(const CBinary& source);

    // The integer forms hold (or append) the argument's low 8 bits.
    virtual CBinary& operator=(int nValue);
    virtual CBinary& operator=(unsigned int nValue);
    virtual CBinary& operator=(unsigned short nValue);
    virtual CBinary& operator=(short nValue);
    virtual CBinary& operator=(unsigned char nValue);
    virtual CBinary& operator=(char nValue);
    virtual CBinary& operator=(long nValue);
    virtual CBinary& operator=(unsigned long nValue);
    virtual CBinary& operator=(const CBinary& source);
    virtual CBinary& operator+=(int nValue);
    virtual CBinary& operator+=(unsigned int nValue);
    virtual CBinary& operator+=(unsigned short nValue);
    virtual CBinary& operator+=(short nValue);
    virtual CBinary& operator+=(unsigned char nValue);
    virtual CBinary& operator+=(char nValue);
    virtual CBinary& operator+=(long nValue);
    virtual CBinary& operator+=(unsigned long nValue);
    virtual CBinary& operator+=(const CBinary& source);

    // Byte-wise comparison of at most nMaximum positions (not positive: the
    // shorter length plus one); a proper prefix compares lower. A null
    // pointer counts as an empty range.
    virtual int CompareBytes(const void* pFirst, int nFirst, const void* pSecond, int nSecond,
                             int nMaximum) const;
    virtual int Compare(const void* pData, int nLength) const;
    virtual int Compare(const CBinary& other, int nMaximum = 0) const;
    // Positions in the visible bytes; -1 when not found.
    virtual int Find(BYTE byValue) const;
    virtual int Find(const CBinary& pattern) const;
    virtual int Find(const void* pPattern, int nLength) const;
    virtual int ReverseFind(BYTE byValue) const;
    virtual int ReverseFind(const CBinary& pattern) const;
    virtual int ReverseFind(const void* pPattern, int nLength) const;
    // Overlapping occurrences each count.
    virtual int Count(BYTE byValue) const;
    virtual int Count(const CBinary& pattern) const;
    virtual int Count(const void* pPattern, int nLength) const;
    // No effect on a view or a locked buffer.
    virtual void DeleteLeft(int nCount);
    virtual void DeleteRight(int nCount);
    // New substances; out-of-range counts and offsets are clamped.
    virtual CBinary Left(int nCount) const;
    virtual CBinary Right(int nCount) const;
    virtual CBinary Mid(int nOffset) const;
    virtual CBinary Mid(int nOffset, int nCount) const;
    virtual CString ToString() const;
    // The visible bytes up to the first zero byte; always TRUE.
    virtual BOOL ToString(CString& strText) const;
    // The text's bytes and one zero byte (an empty text empties the buffer);
    // FALSE (buffer unchanged) when the buffer cannot take that length.
    virtual BOOL FromString(CString strText);
    // pszOutput receives 17 characters: one per input byte and a zero.
    virtual void MakePrintable(char* pszOutput, const BYTE* pInput) const;
    // Shows DumpText in a message box.
    virtual void Dump(LPCSTR pszTitle);
    // After the operations, so that they keep their places in the table.
    virtual ~CBinary();

    // The text Dump shows: a header, then the block in lines of 16 bytes.
    CString DumpText(LPCSTR pszTitle) const;

protected:
    // A view on pOwner's block from nOffset, nLength long or (-1) to the end.
    CBinary(CBinary* pOwner, int nOffset, int nLength);

private:
    // TRUE when the bytes lie inside this buffer's block (Copy and Append
    // must not read from a block they are about to replace).
    BOOL Overlaps(const void* pData, int nLength) const;
    // TRUE when the pattern (at least one byte) starts at that visible position.
    BOOL MatchesAt(int nStart, const BYTE* pPattern, int nLength) const;
    // A new substance of at most nCount (-1: all) visible bytes from nOffset,
    // selected on a copy of this buffer through Focus.
    CBinary Slice(int nOffset, int nCount) const;

    BYTE* m_pData;
    int m_nLength;
    BOOL m_bLocked;
    int m_nFocusOffset;
    int m_nFocusLength;
    CBinary* m_pOwner;
};

#endif
