// The byte buffer: substances and views, the length lock, copying, search,
// slicing, text and the dump.
#include "diag/Binary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace
{
const BYTE kTen[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

std::string Bytes(const CBinary& b)
{
    return b.GetData() ? std::string(reinterpret_cast<const char*>(b.GetData()), b.GetLength()) : std::string();
}

// An unlocked substance holding the ten digits.
CBinary Digits()
{
    CBinary made(kTen, sizeof kTen);
    return CBinary(made);
}
} // namespace

TEST(Binary, ConstructorsAndLocks)
{
    const CBinary empty;
    EXPECT_EQ(nullptr, empty.GetData());
    EXPECT_EQ(0, empty.GetLength());
    EXPECT_TRUE(empty.IsFree());
    EXPECT_FALSE(empty.IsView());

    const CBinary filled(0x1241, 3);
    EXPECT_EQ("AAA", Bytes(filled));
    EXPECT_TRUE(filled.IsLocked()) << "made from a fill byte: locked";
    const CBinary copied(kTen, 4);
    EXPECT_EQ("0123", Bytes(copied));
    EXPECT_TRUE(copied.IsLocked());
    const CBinary zeros(nullptr, 2);
    EXPECT_EQ(std::string(2, '\0'), Bytes(zeros));
    const CBinary copy(copied);
    EXPECT_EQ("0123", Bytes(copy));
    EXPECT_TRUE(copy.IsFree()) << "a copy is an unlocked substance";
    EXPECT_NE(copied.GetData(), copy.GetData());
}

TEST(Binary, LockedLengthNeverChanges)
{
    CBinary b(kTen, 4);
    EXPECT_FALSE(b.SetLength(8));
    EXPECT_FALSE(b.Resize(2));
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(nullptr, b.GetBufferSetLength(9));
    b.Append('x');
    b += b;
    b.DeleteLeft(1);
    b.DeleteRight(1);
    EXPECT_FALSE(b.FromString("too long"));
    EXPECT_EQ("0123", Bytes(b));
    EXPECT_FALSE(b.UnlockLength()) << "the lock is cleared";
    EXPECT_TRUE(b.Resize(6));
    EXPECT_EQ(std::string("0123\0\0", 6), Bytes(b)) << "grown with zeros";
    EXPECT_EQ(b.GetData(), b.GetBuffer(3)) << "already long enough";
    ASSERT_NE(nullptr, b.GetBuffer(8));
    EXPECT_EQ(8, b.GetLength());
    BYTE* p = b.LockBuffer();
    EXPECT_EQ(b.GetData(), p);
    EXPECT_TRUE(b.IsLocked());
    b.UnlockBuffer();
    EXPECT_TRUE(b.IsFree());
}

TEST(Binary, FocusSelectsViews)
{
    CBinary b = Digits();
    CBinary from2 = b.Focus(2);
    EXPECT_TRUE(from2.IsView());
    EXPECT_FALSE(from2.HasFocusLength());
    EXPECT_TRUE(from2.IsFree()) << "an open view has the owner's lock";
    EXPECT_EQ(b.GetData() + 2, from2.GetData());
    EXPECT_EQ(8, from2.GetLength());

    CBinary range = from2.Focus(3);
    EXPECT_EQ("234", Bytes(range));
    EXPECT_EQ(3, range.GetLength());
    EXPECT_TRUE(range.IsLocked());
    EXPECT_TRUE(range.UnlockLength()) << "a fixed-length view stays locked";
    EXPECT_TRUE(range.IsLocked());
    EXPECT_EQ(2, range.GetFocusOffset());
    EXPECT_EQ("56789", Bytes(range.Focus(3))) << "on a fixed view: further on, open";

    CBinary clipped = from2.Focus(100);
    EXPECT_EQ(8, clipped.GetLength()) << "never past the block";
    CBinary past = b.Focus(12);
    EXPECT_EQ(nullptr, past.GetData());
    EXPECT_EQ(0, past.GetLength());
    EXPECT_EQ(0, past.GetAt(0));

    // Writes through a view reach the owner; views never free the block.
    range.SetAt(0, 'x');
    range.SetAt(3, 'y');
    EXPECT_EQ("01x3456789", Bytes(b));
    EXPECT_EQ(0, range.GetAt(-1));
    range.Release();
    EXPECT_EQ("01x3456789", Bytes(b));

    CBinary locked(kTen, 10);
    EXPECT_TRUE(locked.Focus(1).IsLocked());
}

TEST(Binary, ResizeThroughAnOpenViewMovesTheOwner)
{
    CBinary b = Digits();
    CBinary from4 = b.Focus(4);
    EXPECT_TRUE(from4.Resize(2));
    EXPECT_EQ(6, b.GetLength());
    EXPECT_EQ("012345", Bytes(b));
    EXPECT_EQ("45", Bytes(from4));
    // A view made before the owner moved no longer resizes it.
    CBinary stale = b.Focus(1);
    EXPECT_TRUE(b.Resize(20));
    EXPECT_FALSE(stale.Resize(1));
    EXPECT_EQ(20, b.GetLength());
}

TEST(Binary, CopyAndAppend)
{
    CBinary locked(0, 4);
    const CBinary ten = Digits();
    EXPECT_EQ('0', locked.Copy(ten));
    EXPECT_EQ("0123", Bytes(locked)) << "a locked buffer keeps its length";
    CBinary shortSource(kTen + 8, 2);
    locked.Copy(shortSource);
    EXPECT_EQ("8923", Bytes(locked));

    CBinary lockedEmpty(0, 0);
    EXPECT_EQ(0, lockedEmpty.Copy(ten));
    EXPECT_EQ(0, lockedEmpty.GetLength());

    CBinary b;
    b.Copy(ten);
    EXPECT_EQ("0123456789", Bytes(b));
    b.Copy(kTen, 2);
    EXPECT_EQ("01", Bytes(b));
    b.Copy('z', 3);
    EXPECT_EQ("zzz", Bytes(b));
    b = 0x1234;
    EXPECT_EQ("\x34", Bytes(b));
    b += 'A';
    b += static_cast<unsigned short>(0x142);
    b += ten;
    EXPECT_EQ("\x34" "AB0123456789", Bytes(b));
    b = ten;
    EXPECT_EQ("0123456789", Bytes(b));
    EXPECT_EQ(nullptr, CBinary().Assign(nullptr, -1));
}

TEST(Binary, CopyAndAppendFromItself)
{
    CBinary b = Digits();
    b += b;
    EXPECT_EQ("01234567890123456789", Bytes(b));
    CBinary c = Digits();
    c.Append(c.Focus(7));
    EXPECT_EQ("0123456789789", Bytes(c));
    CBinary d = Digits();
    d.Copy(d.Focus(6));
    EXPECT_EQ("6789", Bytes(d));
    CBinary e = Digits();
    e.Assign(e.GetData() + 1, 3);
    EXPECT_EQ("123", Bytes(e));
    e = e;
    EXPECT_EQ("123", Bytes(e));
}

TEST(Binary, CompareBytes)
{
    const CBinary b;
    EXPECT_LT(b.CompareBytes("ab", 2, "abc", 3, 0), 0);
    EXPECT_GT(b.CompareBytes("abc", 3, "ab", 2, 0), 0);
    EXPECT_EQ(0, b.CompareBytes("abc", 3, "abc", 3, 0));
    EXPECT_EQ(0, b.CompareBytes("abX", 3, "abY", 3, 2)) << "at most two positions";
    EXPECT_GT(b.CompareBytes("\x80", 1, "\x01", 1, 0), 0) << "bytes compare unsigned";
    EXPECT_EQ(0, b.CompareBytes(nullptr, 5, nullptr, 0, 0));
    const CBinary ten = Digits();
    EXPECT_EQ(0, ten.Compare(kTen, 10));
    EXPECT_GT(ten.Compare(kTen, 9), 0) << "a longer buffer compares higher";
    EXPECT_EQ(0, ten.Compare(kTen, 0));
    EXPECT_EQ(0, ten.Compare(Digits()));
}

TEST(Binary, SearchAndCount)
{
    const char kText[] = "abaabaaab";
    const CBinary b(kText, 9);
    EXPECT_EQ(0, b.Find('a'));
    EXPECT_EQ(1, b.Find('b'));
    EXPECT_EQ(-1, b.Find('z'));
    EXPECT_EQ(0, b.Find("ab", 2));
    EXPECT_EQ(5, b.Find("aaab", 4));
    EXPECT_EQ(8, b.ReverseFind('b'));
    EXPECT_EQ(7, b.ReverseFind("ab", 2));
    EXPECT_EQ(3, b.ReverseFind(CBinary("aba", 3)));
    EXPECT_EQ(-1, b.Find("", 0));
    EXPECT_EQ(-1, b.Find("abaabaaabX", 10)) << "longer than the data";
    EXPECT_EQ(3, b.Count("aa", 2)) << "overlapping occurrences count";
    EXPECT_EQ(6, b.Count('a'));
    EXPECT_EQ(b.Count('b'), b.Count("b", 1));
    EXPECT_EQ(2, b.Count(CBinary("aba", 3)));
    // Search works on what a view shows.
    CBinary whole(b);
    CBinary tail = whole.Focus(4);
    EXPECT_EQ(1, tail.Find("aaab", 4));
    EXPECT_EQ(0, tail.Count("aba", 3));
}

TEST(Binary, SlicesAreNewSubstances)
{
    const CBinary ten = Digits();
    EXPECT_EQ("789", Bytes(ten.Right(3)));
    EXPECT_EQ("012", Bytes(ten.Left(3)));
    EXPECT_EQ("456789", Bytes(ten.Mid(4)));
    EXPECT_EQ("456", Bytes(ten.Mid(4, 3)));
    EXPECT_EQ("89", Bytes(ten.Mid(8, 5)));
    EXPECT_EQ("", Bytes(ten.Mid(12)));
    EXPECT_EQ("0123456789", Bytes(ten.Left(20)));
    EXPECT_EQ("0123456789", Bytes(ten.Right(10)));
    EXPECT_EQ("", Bytes(ten.Left(-1)));
    CBinary part = ten.Mid(2, 2);
    EXPECT_FALSE(part.IsView());
    EXPECT_TRUE(part.IsFree());
    EXPECT_NE(ten.GetData() + 2, part.GetData());

    CBinary b = Digits();
    b.DeleteLeft(3);
    EXPECT_EQ("3456789", Bytes(b));
    b.DeleteRight(2);
    EXPECT_EQ("34567", Bytes(b));
    b.DeleteLeft(0);
    EXPECT_EQ("34567", Bytes(b));
    CBinary view = b.Focus(1);
    view.DeleteLeft(1);
    EXPECT_EQ("4567", Bytes(view)) << "no effect on a view";
    b.DeleteRight(5);
    EXPECT_EQ(0, b.GetLength());
}

TEST(Binary, TextConversion)
{
    CBinary b;
    EXPECT_TRUE(b.FromString("abc"));
    EXPECT_EQ(std::string("abc\0", 4), Bytes(b));
    EXPECT_STREQ("abc", b.ToString());
    EXPECT_TRUE(b.FromString("表示"));
    EXPECT_EQ(5, b.GetLength());
    EXPECT_STREQ("表示", b.ToString());
    const CBinary withZero("ab\0cd", 5);
    CString str;
    EXPECT_TRUE(withZero.ToString(str));
    EXPECT_STREQ("ab", str);
    const CBinary noZero("xyz", 3);
    EXPECT_STREQ("xyz", noZero.ToString());
    EXPECT_TRUE(b.FromString(""));
    EXPECT_EQ(0, b.GetLength());
    EXPECT_STREQ("", b.ToString());
}

TEST(Binary, PrintableForm)
{
    BYTE input[16];
    for (int i = 0; i < 16; ++i)
        input[i] = static_cast<BYTE>(0x78 + i);  // 0x78 .. 0x87
    input[0] = 0x20;
    input[1] = 0x1F;
    char szOut[17];
    std::memset(szOut, 'q', sizeof szOut);
    CBinary().MakePrintable(szOut, input);
    EXPECT_EQ(' ', szOut[0]);
    EXPECT_EQ('\xA5', szOut[1]);
    EXPECT_EQ('\x7F', szOut[7]) << "0x7F stands for itself";
    EXPECT_EQ('\xA5', szOut[8]) << "0x80 is the placeholder";
    EXPECT_EQ('\0', szOut[16]);
}

TEST(Binary, DumpOfTwentyBytes)
{
    BYTE data[20];
    for (int i = 0; i < 20; ++i)
        data[i] = static_cast<BYTE>('A' + i);
    data[3] = 0x00;
    data[17] = 0xFF;
    CBinary b(data, 20);
    const BYTE* p = b.GetData();
    char szHeader[200];
    std::snprintf(szHeader, sizeof szHeader, "title\n\nbuff = %p, length = 20, Locked, focus[-1][-1], substance\n\n",
                  static_cast<const void*>(p));
    char szLine1[120];
    std::snprintf(szLine1, sizeof szLine1,
                  "%08X  00000000  41 42 43 00 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50  ABC\xA5"
                  "EFGHIJKLMNOP\n",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(p)));
    char szLine2[120];
    std::snprintf(szLine2, sizeof szLine2,
                  "%08X  00000010  51 FF 53 54 00 00 00 00  00 00 00 00 00 00 00 00  Q\xA5ST\xA5\xA5\xA5\xA5"
                  "\xA5\xA5\xA5\xA5\xA5\xA5\xA5\xA5\n",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(p + 16)));
    EXPECT_EQ(std::string(szHeader) + szLine1 + szLine2, std::string(b.DumpText("title").GetString()));

    // A view dumps its owner's whole block and says what it is.
    CBinary view = b.Focus(18);
    const std::string strView = view.DumpText("v").GetString();
    EXPECT_NE(std::string::npos, strView.find("length = 20, Locked, focus[18][-1], virtual\n\n"));
    EXPECT_NE(std::string::npos, strView.find(szLine2));
    std::snprintf(szHeader, sizeof szHeader, "e\n\nbuff = %p, length = 0, Free, focus[-1][-1], substance\n\n",
                  static_cast<const void*>(nullptr));
    EXPECT_EQ(std::string(szHeader), std::string(CBinary().DumpText("e").GetString())) << "an empty block: no lines";
}

TEST(Binary, DumpShowsAMessageBox)
{
    CBinary b("hello", 5);
    std::string strShown;
    std::atomic<bool> bFound(false);
    std::thread closer([&]() {
        for (int i = 0; i < 500 && !bFound; ++i)
        {
            HWND hBox = ::FindWindowA("#32770", CBinary::DUMP_CAPTION);
            if (hBox)
            {
                char szText[1024] = {};
                ::GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof szText);
                strShown = szText;
                bFound = true;
                ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
            }
            ::Sleep(20);
        }
    });
    b.Dump("shown");
    closer.join();
    ASSERT_TRUE(bFound);
    EXPECT_EQ(0u, strShown.find("shown"));
    EXPECT_NE(std::string::npos, strShown.find("68 65 6C 6C 6F 00 00 00  00 00 00 00 00 00 00 00  hello"));
}
