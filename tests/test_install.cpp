// The setup program and its uninstaller, end to end: a silent install, a
// silent install over the running program, and a silent uninstall.
#include "res/resource.h"
#include "tests/TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

namespace
{
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimwick";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSettingsParent[] = "Software\\MOSS-HARK";
const char kSettingsKey[] = "Software\\MOSS-HARK\\Glimwick";
// Settings of another program of the same publisher.
const char kNeighbourKey[] = "Software\\MOSS-HARK\\InstallTestNeighbour";
const char* const kInstalledFiles[] = {"Glimwick.exe", "Sillbeck.dll", "glimctl.exe", "uninstall.exe"};
// Not the default (0), so a reset would show.
const DWORD kChangedInterval = 5;
const DWORD kSetupTimeout = 120000;
const DWORD kStartTimeout = 20000;

std::string ShellFolder(int nFolder)
{
    char sz[MAX_PATH] = "";
    ::SHGetFolderPathA(NULL, nFolder, NULL, SHGFP_TYPE_CURRENT, sz);
    return sz;
}

std::string InstallFolder()
{
    return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Glimwick";
}

std::string Shortcut()
{
    return ShellFolder(CSIDL_PROGRAMS) + "\\Glimwick.lnk";
}

bool PathExists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(const char* pszKey)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

// The string value, or "(missing)" when there is none of type REG_SZ.
std::string ReadString(const char* pszKey, const char* pszValue)
{
    char sz[1024] = "";
    DWORD cb = sizeof(sz);
    if (::RegGetValueA(HKEY_CURRENT_USER, pszKey, pszValue, RRF_RT_REG_SZ, NULL, sz, &cb) != ERROR_SUCCESS)
        return "(missing)";
    return sz;
}

bool ReadDword(const char* pszKey, const char* pszValue, DWORD* pdw)
{
    DWORD cb = sizeof(*pdw);
    return ::RegGetValueA(HKEY_CURRENT_USER, pszKey, pszValue, RRF_RT_REG_DWORD, NULL, pdw, &cb) == ERROR_SUCCESS;
}

BOOL CALLBACK CountInstance(HWND hWnd, LPARAM lParam)
{
    char sz[64] = "";
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    if (std::strcmp(sz, GLIMWICK_MARKER_TITLE) == 0)
        ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

int CountInstances()
{
    int n = 0;
    ::EnumWindows(CountInstance, reinterpret_cast<LPARAM>(&n));
    return n;
}

DWORD InstanceProcessId()
{
    DWORD dwId = 0;
    if (HWND hWnd = FindProgram())
        ::GetWindowThreadProcessId(hWnd, &dwId);
    return dwId;
}

std::string ProcessImage(DWORD dwId)
{
    char sz[MAX_PATH] = "";
    DWORD cch = sizeof(sz);
    if (HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwId))
    {
        ::QueryFullProcessImageNameA(hProcess, 0, sz, &cch);
        ::CloseHandle(hProcess);
    }
    return sz;
}

// The exit code, or 0xFFFFFFFF / 0xFFFFFFFE when it did not start / end.
DWORD RunToEnd(const std::string& strCommandLine)
{
    CChildProcess proc;
    if (!proc.Start(strCommandLine))
        return 0xFFFFFFFF;
    if (!proc.WaitForExit(kSetupTimeout))
        return 0xFFFFFFFE;
    return proc.ExitCode();
}

// Takes away whatever an install may have left, however far a failed run
// got, so that no other test meets an installed or running Glimwick or a
// Run value that would start it with the next session.
void RemoveInstallation()
{
    EndRunningProgram();
    // The program's file stays in use for a moment after its window went.
    for (const char* pszFile : kInstalledFiles)
    {
        const std::string strPath = InstallFolder() + "\\" + pszFile;
        WaitUntil([&] { return ::DeleteFileA(strPath.c_str()) || !PathExists(strPath); }, 10000);
    }
    ::RemoveDirectoryA(InstallFolder().c_str());
    ::DeleteFileA(Shortcut().c_str());
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Glimwick");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kNeighbourKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsParent);
}

class InstallTest : public ::testing::Test
{
protected:
    void SetUp() override { RemoveInstallation(); }
    void TearDown() override { RemoveInstallation(); }
};
} // namespace

TEST_F(InstallTest, InstallUpgradeAndUninstall)
{
    const std::string strSetup = "\"" + ProgramFolder() + "Glimwick-2.2-setup.exe\" /S";
    const std::string strFolder = InstallFolder();
    const std::string strProgram = strFolder + "\\Glimwick.exe";

    // 1. A fresh silent install.
    ASSERT_EQ(0u, RunToEnd(strSetup));
    for (const char* pszFile : kInstalledFiles)
        EXPECT_TRUE(PathExists(strFolder + "\\" + pszFile)) << pszFile;
    EXPECT_TRUE(PathExists(Shortcut()));
    EXPECT_EQ("\"" + strProgram + "\"", ReadString(kRunKey, "Glimwick"));
    const struct
    {
        const char* pszValue;
        std::string strExpected;
    } kEntry[] = {
        {"DisplayName", "Glimwick"},
        {"DisplayVersion", "2.2"},
        {"Publisher", "MOSS-HARK"},
        {"DisplayIcon", strProgram + ",0"},
        {"InstallLocation", strFolder},
        {"UninstallString", "\"" + strFolder + "\\uninstall.exe\""},
        {"QuietUninstallString", "\"" + strFolder + "\\uninstall.exe\" /S"},
    };
    for (const auto& e : kEntry)
        EXPECT_EQ(e.strExpected, ReadString(kUninstallKey, e.pszValue)) << e.pszValue;
    DWORD dwSize = 0, dwNoModify = 0, dwNoRepair = 0;
    EXPECT_TRUE(ReadDword(kUninstallKey, "EstimatedSize", &dwSize) && dwSize > 0);
    EXPECT_TRUE(ReadDword(kUninstallKey, "NoModify", &dwNoModify) && dwNoModify == 1);
    EXPECT_TRUE(ReadDword(kUninstallKey, "NoRepair", &dwNoRepair) && dwNoRepair == 1);
    ASSERT_TRUE(WaitUntil([] { return InstanceProcessId() != 0; }, kStartTimeout));
    const DWORD dwFirst = InstanceProcessId();
    EXPECT_EQ(0, ::lstrcmpiA(strProgram.c_str(), ProcessImage(dwFirst).c_str())) << ProcessImage(dwFirst);

    // 2. A changed setting, then a silent install over the running program.
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval", REG_DWORD,
                                               &kChangedInterval, sizeof(kChangedInterval)));
    ASSERT_EQ(0u, RunToEnd(strSetup));
    EXPECT_TRUE(WaitUntil([&] { return InstanceProcessId() != 0 && InstanceProcessId() != dwFirst; }, kStartTimeout));
    // A second instance would need a moment to show itself.
    Sleep(2000);
    EXPECT_EQ(1, CountInstances());
    DWORD dwInterval = 0;
    EXPECT_TRUE(ReadDword(kSettingsKey, "Interval", &dwInterval));
    EXPECT_EQ(kChangedInterval, dwInterval);

    // 3. A silent uninstall, as the list of installed programs runs it. It
    // goes on in a copy of itself, and removes the list entry last.
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kNeighbourKey, "Kept", REG_SZ, "1", 2));
    ASSERT_EQ(0u, RunToEnd(ReadString(kUninstallKey, "QuietUninstallString")));
    EXPECT_TRUE(WaitUntil([] { return !KeyExists(kUninstallKey); }, kSetupTimeout));
    EXPECT_EQ(0, CountInstances());
    EXPECT_FALSE(KeyExists(kSettingsKey));
    EXPECT_TRUE(KeyExists(kNeighbourKey));
    for (const char* pszFile : kInstalledFiles)
        EXPECT_FALSE(PathExists(strFolder + "\\" + pszFile)) << pszFile;
    EXPECT_FALSE(PathExists(strFolder));
    EXPECT_FALSE(PathExists(Shortcut()));
    EXPECT_EQ("(missing)", ReadString(kRunKey, "Glimwick"));
}
