// CRegistryKey: the scrambled string form, a REG_SZ holding two check digits
// and the plain text, each character replaced through a fixed table.
#include "store/RegistryKey.h"

#include "store/KeyHandle.h"

#include <mbstring.h>

// A fixed permutation of the printable characters. Stored scrambled values
// can only be read back with this very table: never change it.
const char CRegistryKey::s_scrambleTable[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x00
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x10
    'A', 'U', ':', '+', 'b', 'j', 's', 'I', 'W', '{', '8', 'z', 'J', '!', 'm', 'D',  // 0x20
    'Q', ' ', 'X', 'g', '9', '|', ')', '_', 'q', '0', '~', 'e', 'r', '@', '7', 'H',  // 0x30
    '?', 'x', 'p', 'M', '3', '%', 'k', 'i', '&', '4', 'N', '6', 't', 'T', '}', '.',  // 0x40
    'w', 'F', 'h', ';', '-', '=', 'n', 'P', ']', '2', '[', '(', '`', 'f', 'K', 'Z',  // 0x50
    'y', '1', 'Y', '<', 'R', 'l', '"', '*', '\\', ',', '^', 'C', '5', '\'', '/', 'd',  // 0x60
    'a', 'G', 'B', 'L', '>', 'c', 'v', '$', '#', 'S', 'o', 'E', 'V', 'u', 'O', 0,  // 0x70
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x90
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xA0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xB0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xC0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xD0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xE0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0xF0
};

namespace
{
constexpr unsigned CHECK_MODULUS = 100;
constexpr BYTE FIRST_PRINTABLE = 0x20;
constexpr BYTE LAST_PRINTABLE = 0x7E;

// The sum of the byte values modulo 100: the check digits.
unsigned CheckNumber(LPCSTR psz)
{
    unsigned nSum = 0;
    for (; *psz; ++psz)
        nSum += static_cast<BYTE>(*psz);
    return nSum % CHECK_MODULUS;
}

// The C runtime's case-insensitive multibyte collation.
bool SameText(const CString& strA, const CString& strB)
{
    return ::_mbsicoll(reinterpret_cast<const unsigned char*>(strA.GetString()),
                       reinterpret_cast<const unsigned char*>(strB.GetString())) == 0;
}
} // namespace

BOOL CRegistryKey::EncodeScrambled(CString strPlain, CString& strStored)
{
    CString strFormatted;
    strFormatted.Format("%02u%s", CheckNumber(strPlain), strPlain.GetString());
    strStored.Empty();
    for (int i = 0; i < strFormatted.GetLength(); ++i)
    {
        const char chStored = s_scrambleTable[static_cast<BYTE>(strFormatted.GetAt(i))];
        if (!chStored)
            return FALSE;
        strStored += chStored;
    }
    return TRUE;
}

BOOL CRegistryKey::DecodeScrambled(CString strStored, CString& strPlain)
{
    strPlain.Empty();
    if (strStored.GetLength() < 2)
        return FALSE;
    CString strWork;
    for (int i = 0; i < strStored.GetLength(); ++i)
    {
        const char chStored = strStored.GetAt(i);
        int nPlain = FIRST_PRINTABLE;
        while (nPlain <= LAST_PRINTABLE && s_scrambleTable[nPlain] != chStored)
            ++nPlain;
        if (nPlain > LAST_PRINTABLE)
            return FALSE;
        strWork += static_cast<char>(nPlain);
    }
    // The check digits need not be digits: anything else just fails the check.
    const int nCheck = (strWork.GetAt(0) - '0') * 10 + (strWork.GetAt(1) - '0');
    const CString strText = strWork.Mid(2, strWork.GetLength() - 2);
    if (static_cast<int>(CheckNumber(strText)) != nCheck)
        return FALSE;
    strPlain = strText;
    return TRUE;
}

BOOL CRegistryKey::ReadScrambled(HKEY hKey, CString strName, CString& strPlain)
{
    strPlain.Empty();
    if (!ValueExists(hKey, strName))
    {
        CString strEmpty;
        EncodeScrambled(CString(), strEmpty);
        return WriteString(hKey, strName, strEmpty);
    }
    CString strStored;
    if (!ReadString(hKey, strName, strStored))
        return FALSE;
    return DecodeScrambled(strStored, strPlain);
}

BOOL CRegistryKey::ReadScrambled(CString strRelPath, CString strName, CString& strPlain)
{
    strPlain.Empty();
    if (!ValueExists(strRelPath, strName))
    {
        CString strEmpty;
        EncodeScrambled(CString(), strEmpty);
        return WriteString(strRelPath, strName, strEmpty);
    }
    CString strStored;
    if (!ReadString(strRelPath, strName, strStored))
        return FALSE;
    return DecodeScrambled(strStored, strPlain);
}

BOOL CRegistryKey::WriteScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strOld, CString strNew)
{
    CKeyHandle key;
    if (!key.Create(hRoot, strSubKey, ACCESS_WRITE))
        return FALSE;
    return WriteScrambled(key.Get(), strName, strOld, strNew);
}

BOOL CRegistryKey::WriteScrambled(HKEY hKey, CString strName, CString strOld, CString strNew)
{
    CString strCurrent;
    if (!ReadScrambled(hKey, strName, strCurrent) || !SameText(strCurrent, strOld))
        return FALSE;
    CString strStored;
    if (!EncodeScrambled(strNew, strStored))
        return FALSE;
    return WriteString(hKey, strName, strStored);
}

BOOL CRegistryKey::WriteScrambled(CString strRelPath, CString strName, CString strOld, CString strNew)
{
    CString strCurrent;
    if (!ReadScrambled(strRelPath, strName, strCurrent) || !SameText(strCurrent, strOld))
        return FALSE;
    CString strStored;
    if (!EncodeScrambled(strNew, strStored))
        return FALSE;
    return WriteString(strRelPath, strName, strStored);
}

BOOL CRegistryKey::VerifyScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strCandidate)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_READ))
        return FALSE;
    return VerifyScrambled(key.Get(), strName, strCandidate);
}

BOOL CRegistryKey::VerifyScrambled(HKEY hKey, CString strName, CString strCandidate)
{
    CString strCurrent;
    return ReadScrambled(hKey, strName, strCurrent) && SameText(strCurrent, strCandidate);
}

BOOL CRegistryKey::VerifyScrambled(CString strRelPath, CString strName, CString strCandidate)
{
    CString strCurrent;
    return ReadScrambled(strRelPath, strName, strCurrent) && SameText(strCurrent, strCandidate);
}

BOOL CRegistryKey::DeleteScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strCandidate)
{
    CKeyHandle key;
    if (!key.Open(hRoot, strSubKey, ACCESS_MODIFY))
        return FALSE;
    return DeleteScrambled(key.Get(), strName, strCandidate);
}

BOOL CRegistryKey::DeleteScrambled(HKEY hKey, CString strName, CString strCandidate)
{
    if (!VerifyScrambled(hKey, strName, strCandidate))
        return FALSE;
    return DeleteValue(hKey, strName);
}

BOOL CRegistryKey::DeleteScrambled(CString strRelPath, CString strName, CString strCandidate)
{
    if (!VerifyScrambled(strRelPath, strName, strCandidate))
        return FALSE;
    return DeleteValue(strRelPath, strName);
}
