// CBinary: conversion to and from text, and the hexadecimal dump.
#include "diag/Binary.h"

#include <algorithm>
#include <cstring>

CString CBinary::ToString() const
{
    CString strText;
    ToString(strText);
    return strText;
}

BOOL CBinary::ToString(CString& strText) const
{
    const int nLength = GetLength();
    if (nLength == 0)
    {
        strText.Empty();
        return TRUE;
    }
    const BYTE* pData = GetData();
    const void* pZero = std::memchr(pData, 0, static_cast<size_t>(nLength));
    const int nText = pZero ? static_cast<int>(static_cast<const BYTE*>(pZero) - pData) : nLength;
    strText = CString(reinterpret_cast<LPCSTR>(pData), nText);
    return TRUE;
}

BOOL CBinary::FromString(CString strText)
{
    if (strText.IsEmpty())
        return Empty();
    return Assign(strText.GetString(), strText.GetLength() + 1) != nullptr;
}

void CBinary::MakePrintable(char* pszOutput, const BYTE* pInput) const
{
    for (int i = 0; i < DUMP_LINE_BYTES; ++i)
    {
        const BYTE b = pInput[i];
        pszOutput[i] = static_cast<char>(b >= 0x20 && b <= 0x7F ? b : UNPRINTABLE);
    }
    pszOutput[DUMP_LINE_BYTES] = '\0';
}

CString CBinary::DumpText(LPCSTR pszTitle) const
{
    CString strText;
    strText.Format("%s\n\nbuff = %p, length = %d, %s, focus[%d][%d], %s\n\n", pszTitle ? pszTitle : "",
                   static_cast<void*>(m_pData), m_nLength, m_bLocked ? "Locked" : "Free",
                   m_nFocusOffset, m_nFocusLength, m_pOwner == this ? "substance" : "virtual");
    // The whole block, also for a view; the last group is padded with zeros.
    for (int nOffset = 0; nOffset < m_nLength; nOffset += DUMP_LINE_BYTES)
    {
        BYTE group[DUMP_LINE_BYTES] = {};
        const int nBytes = std::min(DUMP_LINE_BYTES, m_nLength - nOffset);
        std::memcpy(group, m_pData + nOffset, static_cast<size_t>(nBytes));
        char szPrintable[DUMP_LINE_BYTES + 1];
        MakePrintable(szPrintable, group);
        // The address column has room for its low 32 bits.
        const unsigned nAddress = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(m_pData + nOffset));
        CString strLine;
        strLine.Format("%08X  %08X  %02X %02X %02X %02X %02X %02X %02X %02X  "
                       "%02X %02X %02X %02X %02X %02X %02X %02X  %s\n",
                       nAddress, static_cast<unsigned>(nOffset), group[0], group[1], group[2],
                       group[3], group[4], group[5], group[6], group[7], group[8], group[9],
                       group[10], group[11], group[12], group[13], group[14], group[15], szPrintable);
        strText += strLine;
    }
    return strText;
}

void CBinary::Dump(LPCSTR pszTitle)
{
    const CString strText = DumpText(pszTitle);
    ::MessageBoxA(NULL, strText, DUMP_CAPTION, MB_OK);
}
