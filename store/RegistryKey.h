#ifndef GLIMWICK_STORE_REGISTRYKEY_H
#define GLIMWICK_STORE_REGISTRYKEY_H

#include "diag/Binary.h"
#include "frame/String.h"

#include <windows.h>

class CKeyHandle;

// One registry key named by a full path such as
// "HKEY_CURRENT_USER\Software\MOSS-HARK\Glimwick". The object holds no open
// key: every operation opens what it needs and closes it before returning.
//
// Most operations come in three forms, in this order: root (a root key and a
// subkey under it), handle (an open key, neither opened nor closed here) and
// relative (a path resolved against the object, empty for the object's own
// key). Relative forms fail on an object whose path was refused.
class CRegistryKey
{
public:
    // Reading values, their types and existence.
    static constexpr REGSAM ACCESS_READ = KEY_READ;
    // Deleting values or subkeys, and opening a root before creating under it.
    static constexpr REGSAM ACCESS_MODIFY = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    // Creating (or opening) a key to write into it.
    static constexpr REGSAM ACCESS_WRITE = KEY_ALL_ACCESS;
    // Opening a key of a tree to empty and delete it.
    static constexpr REGSAM ACCESS_DELETE = ACCESS_MODIFY | DELETE;

    // A key name is at most 255 characters, two bytes each in Shift-JIS.
    static constexpr int MAX_KEY_NAME_CHARS = 255;
    static constexpr int MAX_KEY_NAME_BYTES = 2 * MAX_KEY_NAME_CHARS + 1;
    // Pause after each pass of the tree deletion, in milliseconds.
    static constexpr DWORD DELETE_PASS_PAUSE = 10;

    // The outcome shows in m_bValid only.
    explicit CRegistryKey(CString strPath);

    // On failure the object becomes invalid with empty paths and root 0.
    virtual BOOL SetPath(CString strPath);
    virtual CString GetPath() const;
    // Trims white space (single-byte only), then backslashes, at both ends.
    virtual CString& NormalizePath(CString& strPath);
    // Outputs are cleared first: on failure root 0 and an empty subkey. A
    // path without a root name takes the object's root (none while SetPath
    // parses into the members themselves).
    virtual BOOL ParsePath(CString strPath, HKEY& hRoot, CString& strSubKey);
    // On failure the outputs keep what they held. A relative path that
    // begins with a root name is refused. Here and in ParsePath (so also in
    // SetPath) a path holding a zero byte is refused: the registry would
    // take only what comes before it.
    virtual BOOL ResolvePath(CString strRelPath, HKEY& hRoot, CString& strSubKey);
    // Deletes the subkey with everything below it, or, when no such key
    // exists or a name in it is too long for a key's, the value it names.
    // A symbolic link in the tree goes itself, its target stays. FALSE at
    // the first failure (a key that cannot be opened included), with the
    // rest of the tree left as it was.
    virtual BOOL DeleteTree(HKEY hKey, LPCSTR pszSubKey);
    // Creates (or opens) the key and closes it again.
    virtual BOOL CreateKey(HKEY hParent, CString strSubKey);
    virtual BOOL CreateKey(CString strRelPath);
    // DeleteTree with no guard; a subkey holding a zero byte is refused.
    virtual BOOL DeleteKey(HKEY hKey, CString strSubKey);
    // Refuses an empty subkey and the protected system keys, then DeleteTree.
    virtual BOOL DeleteKey(CString strRelPath);

    // Every form that takes a value name refuses one holding a zero byte, as
    // paths are refused, after opening (or creating) the key as usual.
    // The relative form creates a missing key before the deletion fails.
    virtual BOOL DeleteValue(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteValue(HKEY hKey, CString strName);
    virtual BOOL DeleteValue(CString strRelPath, CString strName);

    // REG_SZ with its terminating zero byte; writes create missing keys.
    virtual BOOL WriteString(HKEY hRoot, CString strSubKey, CString strName, CString strValue);
    virtual BOOL WriteString(HKEY hKey, CString strName, CString strValue);
    virtual BOOL WriteString(CString strRelPath, CString strName, CString strValue);
    // On failure the output is empty (the relative form leaves it untouched
    // when the path does not resolve). Any stored type is read as text up to
    // its first zero byte, whole: a caller that shows it limits it.
    virtual BOOL ReadString(HKEY hRoot, CString strSubKey, CString strName, CString& strValue);
    virtual BOOL ReadString(HKEY hKey, CString strName, CString& strValue);
    virtual BOOL ReadString(CString strRelPath, CString strName, CString& strValue);
    virtual BOOL DeleteString(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteString(HKEY hKey, CString strName);
    virtual BOOL DeleteString(CString strRelPath, CString strName);

    // Stores strNew scrambled when the stored text equals strOld (a missing
    // value holds the empty text); unchanged on failure.
    virtual BOOL WriteScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strOld, CString strNew);
    virtual BOOL WriteScrambled(HKEY hKey, CString strName, CString strOld, CString strNew);
    virtual BOOL WriteScrambled(CString strRelPath, CString strName, CString strOld, CString strNew);
    // Compares without regard to case; a missing value is first stored
    // holding the empty text (not possible in the root form, opened read-only).
    virtual BOOL VerifyScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strCandidate);
    virtual BOOL VerifyScrambled(HKEY hKey, CString strName, CString strCandidate);
    virtual BOOL VerifyScrambled(CString strRelPath, CString strName, CString strCandidate);
    // Deletes only when VerifyScrambled accepts the candidate.
    virtual BOOL DeleteScrambled(HKEY hRoot, CString strSubKey, CString strName, CString strCandidate);
    virtual BOOL DeleteScrambled(HKEY hKey, CString strName, CString strCandidate);
    virtual BOOL DeleteScrambled(CString strRelPath, CString strName, CString strCandidate);

    // REG_DWORD, four bytes.
    virtual BOOL WriteDword(HKEY hRoot, CString strSubKey, CString strName, DWORD dwValue);
    virtual BOOL WriteDword(HKEY hKey, CString strName, DWORD dwValue);
    virtual BOOL WriteDword(CString strRelPath, CString strName, DWORD dwValue);
    // On failure *pdwValue is untouched. A stored value of up to four bytes of
    // any type is taken, widened with zeros; a longer one fails.
    virtual BOOL ReadDword(HKEY hRoot, CString strSubKey, CString strName, DWORD* pdwValue);
    virtual BOOL ReadDword(HKEY hKey, CString strName, DWORD* pdwValue);
    virtual BOOL ReadDword(CString strRelPath, CString strName, DWORD* pdwValue);
    virtual BOOL DeleteDword(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteDword(HKEY hKey, CString strName);
    virtual BOOL DeleteDword(CString strRelPath, CString strName);

    // REG_DWORD, four bytes.
    virtual BOOL WriteInt(HKEY hRoot, CString strSubKey, CString strName, int nValue);
    virtual BOOL WriteInt(HKEY hKey, CString strName, int nValue);
    virtual BOOL WriteInt(CString strRelPath, CString strName, int nValue);
    // On failure *pnValue is untouched; as ReadDword otherwise.
    virtual BOOL ReadInt(HKEY hRoot, CString strSubKey, CString strName, int* pnValue);
    virtual BOOL ReadInt(HKEY hKey, CString strName, int* pnValue);
    virtual BOOL ReadInt(CString strRelPath, CString strName, int* pnValue);
    virtual BOOL DeleteInt(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteInt(HKEY hKey, CString strName);
    virtual BOOL DeleteInt(CString strRelPath, CString strName);

    // REG_DWORD, the value widened with zeros.
    virtual BOOL WriteWord(HKEY hRoot, CString strSubKey, CString strName, WORD wValue);
    virtual BOOL WriteWord(HKEY hKey, CString strName, WORD wValue);
    virtual BOOL WriteWord(CString strRelPath, CString strName, WORD wValue);
    // On failure *pwValue is untouched; otherwise the low 16 bits of ReadDword.
    virtual BOOL ReadWord(HKEY hRoot, CString strSubKey, CString strName, WORD* pwValue);
    virtual BOOL ReadWord(HKEY hKey, CString strName, WORD* pwValue);
    virtual BOOL ReadWord(CString strRelPath, CString strName, WORD* pwValue);
    virtual BOOL DeleteWord(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteWord(HKEY hKey, CString strName);
    virtual BOOL DeleteWord(CString strRelPath, CString strName);

    // The DWORD family under another integer type.
    virtual BOOL WriteLong(HKEY hRoot, CString strSubKey, CString strName, LONG nValue);
    virtual BOOL WriteLong(HKEY hKey, CString strName, LONG nValue);
    virtual BOOL WriteLong(CString strRelPath, CString strName, LONG nValue);
    // On failure *pnValue is untouched.
    virtual BOOL ReadLong(HKEY hRoot, CString strSubKey, CString strName, LONG* pnValue);
    virtual BOOL ReadLong(HKEY hKey, CString strName, LONG* pnValue);
    virtual BOOL ReadLong(CString strRelPath, CString strName, LONG* pnValue);
    virtual BOOL DeleteLong(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteLong(HKEY hKey, CString strName);
    virtual BOOL DeleteLong(CString strRelPath, CString strName);

    // REG_BINARY; a null pointer fails. A CBinary gives its visible bytes (an
    // empty one has no data pointer and fails too).
    virtual BOOL WriteBinary(HKEY hRoot, CString strSubKey, CString strName, const BYTE* pData, DWORD cbData);
    virtual BOOL WriteBinary(HKEY hKey, CString strName, const BYTE* pData, DWORD cbData);
    virtual BOOL WriteBinary(HKEY hRoot, CString strSubKey, CString strName, const CBinary& data);
    virtual BOOL WriteBinary(HKEY hKey, CString strName, const CBinary& data);
    virtual BOOL WriteBinary(CString strRelPath, CString strName, const BYTE* pData, DWORD cbData);
    virtual BOOL WriteBinary(CString strRelPath, CString strName, const CBinary& data);
    // Into a caller buffer: *pcbData is the capacity in and the byte count
    // out (the size needed when the buffer is too small; the buffer is then
    // not to be relied on). Into a CBinary: emptied on failure (untouched when
    // the relative path does not resolve), and a locked CBinary fails.
    virtual BOOL ReadBinary(HKEY hRoot, CString strSubKey, CString strName, BYTE* pBuffer, DWORD* pcbData);
    virtual BOOL ReadBinary(HKEY hKey, CString strName, BYTE* pBuffer, DWORD* pcbData);
    virtual BOOL ReadBinary(HKEY hRoot, CString strSubKey, CString strName, CBinary* pData);
    virtual BOOL ReadBinary(HKEY hKey, CString strName, CBinary* pData);
    virtual BOOL ReadBinary(CString strRelPath, CString strName, BYTE* pBuffer, DWORD* pcbData);
    virtual BOOL ReadBinary(CString strRelPath, CString strName, CBinary* pData);
    virtual BOOL DeleteBinary(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL DeleteBinary(HKEY hKey, CString strName);
    virtual BOOL DeleteBinary(CString strRelPath, CString strName);

    // TRUE when the value exists; *pdwType (when not null) receives its type,
    // and is not to be relied on after FALSE.
    virtual BOOL GetValueType(HKEY hRoot, CString strSubKey, CString strName, DWORD* pdwType);
    virtual BOOL GetValueType(HKEY hKey, CString strName, DWORD* pdwType);
    virtual BOOL GetValueType(CString strRelPath, CString strName, DWORD* pdwType);
    // The root and relative forms with an empty name tell whether the key
    // exists; the handle form asks for the key's default value.
    virtual BOOL ValueExists(HKEY hRoot, CString strSubKey, CString strName);
    virtual BOOL ValueExists(HKEY hKey, CString strName);
    virtual BOOL ValueExists(CString strRelPath, CString strName);

    // Reserved: do nothing and return TRUE.
    virtual BOOL ReservedA(DWORD dwFirst, CString strText, DWORD dwSecond);
    virtual BOOL ReservedB(DWORD dwFirst, CString strText, DWORD dwSecond);
    virtual BOOL ReservedC(DWORD dwFirst, CString strText, DWORD dwSecond, DWORD dwThird);
    // After the operations, so that they keep their places in the table.
    virtual ~CRegistryKey() = default;

    // On failure the output is empty. A missing value is first stored
    // holding the empty text.
    BOOL ReadScrambled(HKEY hKey, CString strName, CString& strPlain);
    BOOL ReadScrambled(CString strRelPath, CString strName, CString& strPlain);
    // On failure (a character outside space to '~') the output holds the
    // part encoded so far.
    static BOOL EncodeScrambled(CString strPlain, CString& strStored);
    // On failure (not in the scrambled form) the output is empty.
    static BOOL DecodeScrambled(CString strStored, CString& strPlain);

    // Substitutes for the printable characters 0x20 to 0x7E, all different;
    // 0 for every byte that cannot be scrambled.
    static const char s_scrambleTable[256];

protected:
    BOOL m_bValid;
    HKEY m_hRoot;
    CString m_strPath;
    CString m_strSubKey;

private:
    // Opens the root with the modify mask and creates (or opens) the
    // resolved key beneath it with full access; the root closes on return.
    BOOL OpenRelativeForWrite(CString strRelPath, CKeyHandle& key);
    // The value branch of DeleteTree: the path's last component names a
    // value in the key the rest names.
    BOOL DeleteValuePath(HKEY hKey, const CString& strPath);
};

#endif
