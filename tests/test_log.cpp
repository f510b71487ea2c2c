// The diagnostic log: its path rules, the exact line format, rotation past
// one mebibyte, and lines from two threads at once.
#include "diag/Log.h"
#include "frame/File.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

namespace
{
std::string LogPath()
{
    return TempFolder() + "test_log_v2.log";
}

std::string BackupPath()
{
    return TempFolder() + "test_log_v2.bak";
}

void WriteFileOfSize(const std::string& strPath, size_t nSize)
{
    CFile file;
    ASSERT_TRUE(file.Open(strPath.c_str(), CFile::modeWrite | CFile::modeCreate));
    const std::string strBlock(nSize, 'x');
    ASSERT_TRUE(file.Write(strBlock.data(), static_cast<DWORD>(strBlock.size())));
}

ULONGLONG SizeOf(const std::string& strPath)
{
    CFileStatus status;
    return CFile::GetStatus(strPath.c_str(), status) ? status.m_size : 0;
}

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::DeleteFileA(LogPath().c_str());
        ::DeleteFileA(BackupPath().c_str());
    }
};
} // namespace

// Declared first: the process's first lines come from two threads at once,
// and the log must be set up exactly once.
TEST(LogFirstUse, TwoThreadsStartingTogether)
{
    ::DeleteFileA(LogPath().c_str());
    HANDLE hGo = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    auto Writer = [hGo](char chTag) {
        ::WaitForSingleObject(hGo, INFINITE);
        for (int i = 0; i < 200; ++i)
            WriteLog("THREAD %c LINE %03d\n", chTag, i);
    };
    std::thread a(Writer, 'A');
    std::thread b(Writer, 'B');
    ::SetEvent(hGo);
    a.join();
    b.join();
    ::CloseHandle(hGo);

    EXPECT_EQ(LogPath(), GetLogPath());
    const std::string strLog = ReadWholeFile(LogPath());
    EXPECT_EQ(200u, CountOf(strLog, "\tTHREAD A LINE"));
    EXPECT_EQ(200u, CountOf(strLog, "\tTHREAD B LINE"));
    // Every line is whole: stamp, tab, message, then the empty line.
    const std::regex line(R"(\d{4}/\d\d/\d\d\(\w+day\) \d\d:\d\d:\d\d\tTHREAD [AB] LINE \d{3}\r\n\r\n)");
    const std::string strRest = std::regex_replace(strLog, line, "");
    EXPECT_EQ("", strRest) << "interleaved or broken lines";
}

TEST_F(LogTest, LineFormatInTextMode)
{
    WriteLog("GET TRAY RECT ( %d, %d )-( %d, %d )\n", 0, 780, 1280, 800);
    WriteLog("NO LINE FEED");
    WriteLog("AFTER");
    const std::string strLog = ReadWholeFile(LogPath());
    const std::regex whole(
        R"((\d{4})/(\d\d)/(\d\d)\((Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday)\) \d\d:\d\d:\d\d\t)"
        R"(GET TRAY RECT \( 0, 780 \)-\( 1280, 800 \)\r\n\r\n)"
        R"([^\t]+\tNO LINE FEED\r\n[^\t]+\tAFTER\r\n)");
    EXPECT_TRUE(std::regex_match(strLog, whole)) << strLog;

    SYSTEMTIME st;
    ::GetLocalTime(&st);
    char szDate[16];
    std::snprintf(szDate, sizeof szDate, "%04d/%02d/", st.wYear, st.wMonth);
    EXPECT_EQ(0u, strLog.find(szDate)) << "the stamp is the local date";
}

TEST_F(LogTest, LongMessagesAreCutTo1024Characters)
{
    const std::string strLong(3000, 'L');
    WriteLog("%s", strLong.c_str());
    const std::string strLog = ReadWholeFile(LogPath());
    const size_t nTab = strLog.find('\t');
    ASSERT_NE(std::string::npos, nTab);
    EXPECT_EQ(std::string(1024, 'L') + "\r\n", strLog.substr(nTab + 1));
}

TEST_F(LogTest, DeletedFileIsCreatedAgain)
{
    WriteLog("ONE\n");
    ASSERT_TRUE(::DeleteFileA(LogPath().c_str()));
    WriteLog("TWO\n");
    const std::string strLog = ReadWholeFile(LogPath());
    EXPECT_EQ(std::string::npos, strLog.find("ONE"));
    EXPECT_NE(std::string::npos, strLog.find("TWO"));
}

TEST_F(LogTest, RotatesOnlyPastOneMebibyte)
{
    // A line is stamp (length varies with the weekday) + message + CR LF.
    WriteLog("PROBE");
    const ULONGLONG nLine = SizeOf(LogPath());
    ASSERT_GT(nLine, 10u);

    // Exactly 0x100000 after the line: not rotated.
    WriteFileOfSize(LogPath(), static_cast<size_t>(LOG_ROTATE_SIZE - nLine));
    WriteLog("PROBE");
    EXPECT_EQ(LOG_ROTATE_SIZE, SizeOf(LogPath()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(BackupPath().c_str()));

    // One byte more: the line that passed the limit goes with the backup.
    WriteLog("PASSED");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(LogPath().c_str()));
    const std::string strBackup = ReadWholeFile(BackupPath());
    EXPECT_EQ(LOG_ROTATE_SIZE + nLine + 1, strBackup.size());
    EXPECT_NE(std::string::npos, strBackup.find("\tPASSED\r\n"));

    WriteLog("NEXT\n");
    const std::string strLog = ReadWholeFile(LogPath());
    EXPECT_NE(std::string::npos, strLog.find("\tNEXT\r\n"));
    EXPECT_LT(strLog.size(), 100u) << "a new file begins";
}

TEST_F(LogTest, NewerBackupReplacesTheOlder)
{
    WriteFileOfSize(BackupPath(), 10);
    WriteFileOfSize(LogPath(), static_cast<size_t>(LOG_ROTATE_SIZE));
    WriteLog("ROTATE\n");
    EXPECT_GT(SizeOf(BackupPath()), LOG_ROTATE_SIZE);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(LogPath().c_str()));
}

TEST(LogPaths, NameAndLocationRules)
{
    char szPath[256];
    MakeLogPath(nullptr, nullptr, szPath);
    EXPECT_STREQ("test_log_v2.log", szPath) << "named after the program file";
    MakeLogPath(nullptr, LOG_LOCATION_TEMP, szPath);
    EXPECT_EQ(TempFolder() + "test_log_v2.log", szPath);
    MakeLogPath("other.log", LOG_LOCATION_TEMP, szPath);
    EXPECT_EQ(TempFolder() + "other.log", szPath);
    MakeLogPath("ignored.log", "C:\\logs\\whole.txt", szPath);
    EXPECT_STREQ("C:\\logs\\whole.txt", szPath);
    // 表 ends in the byte of a backslash; the path is taken as it is.
    MakeLogPath(nullptr, "C:\\表\\x.log", szPath);
    EXPECT_STREQ("C:\\表\\x.log", szPath);
}

TEST(LogPaths, TooLongAPathTurnsTheLogOff)
{
    char szPath[256];
    const std::string strLong = "C:\\" + std::string(300, 'd') + "\\x.log";
    MakeLogPath(nullptr, strLong.c_str(), szPath);
    EXPECT_STREQ("", szPath);
    const std::string strFits = "C:\\" + std::string(245, 'd') + ".log";
    ASSERT_EQ(252u, strFits.size());
    MakeLogPath(nullptr, strFits.c_str(), szPath);
    EXPECT_EQ(strFits, szPath);
}

TEST(LogPaths, BackupName)
{
    struct Case
    {
        const char* pszPath;
        const char* pszBackup;
    };
    const Case kCases[] = {
        {"C:\\temp\\Glimwick_v2.log", "C:\\temp\\Glimwick_v2.bak"},
        {"C:\\temp\\name.with.dots.log", "C:\\temp\\name.with.dots.bak"},
        {"C:\\temp\\noext", "C:\\temp\\noext.bak"},
        {".log", ".log.bak"},
        {"C:\\dir.d\\log", "C:\\dir.bak"},
    };
    for (const Case& c : kCases)
    {
        char szBackup[256];
        MakeBackupPath(c.pszPath, szBackup);
        EXPECT_STREQ(c.pszBackup, szBackup) << c.pszPath;
    }
}
