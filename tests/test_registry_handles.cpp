// No operation of the registry key object leaves a key open, on any path.
#include "store/RegistryKey.h"
#include "tests/TestKey.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The number of handles this process holds, from the system's handle list
// (the process handle count is not kept up to date under Wine); -1 when the
// list cannot be read.
int CountOwnHandles()
{
    struct Entry
    {
        PVOID pObject;
        ULONG_PTR nProcessId;
        ULONG_PTR nHandle;
        ULONG nAccess;
        USHORT nBackTrace;
        USHORT nType;
        ULONG nAttributes;
        ULONG nReserved;
    };
    struct List
    {
        ULONG_PTR nCount;
        ULONG_PTR nReserved;
        Entry entries[1];
    };
    constexpr ULONG SYSTEM_EXTENDED_HANDLE_INFORMATION = 64;
    constexpr LONG STATUS_INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004);
    using QueryFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const QueryFn pfnQuery = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!pfnQuery)
        return -1;
    std::vector<char> buffer(1 << 20);
    for (;;)
    {
        ULONG cbNeeded = 0;
        const LONG lStatus = pfnQuery(SYSTEM_EXTENDED_HANDLE_INFORMATION, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &cbNeeded);
        if (lStatus == STATUS_INFO_LENGTH_MISMATCH && buffer.size() < (64u << 20))
        {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (lStatus != 0)
            return -1;
        break;
    }
    const List* pList = reinterpret_cast<const List*>(buffer.data());
    int nOwn = 0;
    for (ULONG_PTR i = 0; i < pList->nCount; ++i)
    {
        if (pList->entries[i].nProcessId == ::GetCurrentProcessId())
            ++nOwn;
    }
    return nOwn;
}
} // namespace

TEST(RegistryHandles, NoOperationLeavesAKeyOpen)
{
    const int nBaseline = CountOwnHandles();
    ASSERT_GT(nBaseline, 0) << "the system's handle list cannot be read";
    {
        // The count must see key handles, or this test could not fail.
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &hKey));
        const int nOpen = CountOwnHandles();
        ::RegCloseKey(hKey);
        ASSERT_EQ(nBaseline + 1, nOpen);
    }

    CTestKey test;
    const CString strSubKey(test.SubKey().c_str());
    const auto exercise = [&]() {
        CRegistryKey key(test.Path().c_str());
        CRegistryKey invalid("nowhere");
        CString str;
        DWORD dw = 0;
        WORD w = 0;
        int n = 0;
        LONG l = 0;
        BYTE buf[4];
        DWORD cb = sizeof buf;
        CBinary bin;
        // Successes, in every form.
        key.CreateKey("Sub\\Deeper");
        key.CreateKey(test.Handle(), "Sub2");
        key.WriteString("", "S", "text");
        key.WriteString(HKEY_CURRENT_USER, strSubKey, "S", "text");
        key.ReadString("", "S", str);
        key.ReadString(HKEY_CURRENT_USER, strSubKey, "S", str);
        key.WriteDword("Sub", "D", 1);
        key.ReadDword("Sub", "D", &dw);
        key.ReadDword(HKEY_CURRENT_USER, strSubKey, "S", &dw);
        key.WriteInt("", "I", 1);
        key.ReadInt("", "I", &n);
        key.WriteWord("", "W", 1);
        key.ReadWord(HKEY_CURRENT_USER, strSubKey, "W", &w);
        key.WriteLong(HKEY_CURRENT_USER, strSubKey, "L", 1);
        key.ReadLong("", "L", &l);
        key.WriteBinary("", "B", buf, 2);
        key.ReadBinary("", "B", buf, &cb);
        key.ReadBinary(HKEY_CURRENT_USER, strSubKey, "B", &bin);
        key.GetValueType("", "B", &dw);
        key.ValueExists("", "");
        key.ValueExists(HKEY_CURRENT_USER, strSubKey, "B");
        key.WriteScrambled("", "X", "", "abc");
        key.VerifyScrambled(HKEY_CURRENT_USER, strSubKey, "X", "ABC");
        key.DeleteScrambled(HKEY_CURRENT_USER, strSubKey, "X", "abc");
        key.DeleteValue("", "S");
        key.DeleteValue(HKEY_CURRENT_USER, strSubKey, "I");
        key.DeleteKey("Sub");
        // Failures on the way in and half-way.
        key.ReadString("Missing", "S", str);
        key.ReadDword("", "Missing", &dw);
        key.ReadString("", "Missing", str);
        cb = 1;
        key.ReadBinary("", "B", buf, &cb);
        key.ReadBinary("", "B", nullptr, &cb);
        key.WriteBinary("", "B", nullptr, 1);
        key.WriteScrambled("", "Y", "wrong", "abc");
        key.WriteScrambled("", "Y", "", "\x01");
        key.VerifyScrambled(HKEY_CURRENT_USER, strSubKey, "Z", "");
        key.DeleteScrambled("", "Y", "wrong");
        key.DeleteKey("Missing");
        key.DeleteKey(HKEY_CURRENT_USER, test.SubKey("Missing\\Value").c_str());
        key.DeleteValue(HKEY_CURRENT_USER, test.SubKey("Missing").c_str(), "S");
        invalid.ReadDword("", "D", &dw);
        invalid.WriteString("", "S", "x");
    };
    exercise();  // first use may open cached handles of the predefined roots
    const int nBefore = CountOwnHandles();
    for (int i = 0; i < 20; ++i)
        exercise();
    EXPECT_EQ(nBefore, CountOwnHandles());
}
