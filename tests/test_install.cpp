// The setup program and its uninstaller, end to end: a silent install, a
// silent install over the running program, and a silent uninstall.
#include "res/Protocol.h"
#include "tests/TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>

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

// A path below one of the shell's folders.
std::string ShellPath(int nFolder, const char* pszBelow)
{
    char sz[MAX_PATH] = "";
    ::SHGetFolderPathA(NULL, nFolder, NULL, SHGFP_TYPE_CURRENT, sz);
    return std::string(sz) + pszBelow;
}

std::string InstallFolder()
{
    return ShellPath(CSIDL_LOCAL_APPDATA, "\\Programs\\Glimwick");
}

std::string Shortcut()
{
    return ShellPath(CSIDL_PROGRAMS, "\\Glimwick.lnk");
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

// A string value as it is, a DWORD in decimal; "(missing)" when there is none.
std::string ReadValue(const char* pszKey, const char* pszValue)
{
    char sz[1024] = "";
    DWORD cb = sizeof(sz), dwType = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, pszKey, pszValue, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &dwType, sz, &cb) !=
        ERROR_SUCCESS)
        return "(missing)";
    return dwType == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(sz)) : std::string(sz);
}

int CountInstances()
{
    int n = 0;
    for (HWND hWnd = NULL; (hWnd = ::FindWindowExA(NULL, hWnd, NULL, GLIMWICK_MARKER_TITLE)) != NULL;)
        ++n;
    return n;
}

DWORD InstanceProcessId()
{
    DWORD dwId = 0;
    if (HWND hWnd = FindProgram())
        ::GetWindowThreadProcessId(hWnd, &dwId);
    return dwId;
}

// The exit code; 0xFFFFFFFF when the program did not start or end.
DWORD RunToEnd(const std::string& strCommandLine)
{
    CChildProcess proc;
    return proc.Start(strCommandLine) && proc.WaitForExit(kSetupTimeout) ? proc.ExitCode() : 0xFFFFFFFF;
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
    const std::string strSetupFile = ProgramFolder() + "Glimwick-2.2-setup.exe";
    ASSERT_TRUE(PathExists(strSetupFile)) << "the setup target makes it, with makensis";
    const std::string strSetup = "\"" + strSetupFile + "\" /S";
    const std::string strFolder = InstallFolder();
    const std::string strProgram = strFolder + "\\Glimwick.exe";

    // 1. A fresh silent install.
    ASSERT_EQ(0u, RunToEnd(strSetup));
    for (const char* pszFile : kInstalledFiles)
        EXPECT_TRUE(PathExists(strFolder + "\\" + pszFile)) << pszFile;
    EXPECT_TRUE(PathExists(Shortcut()));
    EXPECT_EQ("\"" + strProgram + "\"", ReadValue(kRunKey, "Glimwick"));
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
        {"NoModify", "1"},
        {"NoRepair", "1"},
    };
    for (const auto& e : kEntry)
        EXPECT_EQ(e.strExpected, ReadValue(kUninstallKey, e.pszValue)) << e.pszValue;
    // In KB: the three programs come to several hundred.
    EXPECT_GE(std::atoi(ReadValue(kUninstallKey, "EstimatedSize").c_str()), 100);
    ASSERT_TRUE(WaitUntil([] { return InstanceProcessId() != 0; }, kStartTimeout));
    const DWORD dwFirst = InstanceProcessId();

    // 2. A changed setting, then a silent install over the running program.
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval", REG_DWORD,
                                               &kChangedInterval, sizeof(kChangedInterval)));
    ASSERT_EQ(0u, RunToEnd(strSetup));
    EXPECT_TRUE(WaitUntil([&] { return InstanceProcessId() != 0 && InstanceProcessId() != dwFirst; }, kStartTimeout));
    // A second instance would need a moment to show itself.
    Sleep(2000);
    EXPECT_EQ(1, CountInstances());
    EXPECT_EQ(std::to_string(kChangedInterval), ReadValue(kSettingsKey, "Interval"));

    // 3. A silent uninstall, as the list of installed programs runs it. It
    // goes on in a copy of itself, and removes the list entry last.
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kNeighbourKey, "Kept", REG_SZ, "1", 2));
    ASSERT_EQ(0u, RunToEnd(ReadValue(kUninstallKey, "QuietUninstallString")));
    EXPECT_TRUE(WaitUntil([] { return !KeyExists(kUninstallKey); }, kSetupTimeout));
    EXPECT_EQ(0, CountInstances());
    EXPECT_FALSE(KeyExists(kSettingsKey));
    EXPECT_TRUE(KeyExists(kNeighbourKey));
    for (const char* pszFile : kInstalledFiles)
        EXPECT_FALSE(PathExists(strFolder + "\\" + pszFile)) << pszFile;
    EXPECT_FALSE(PathExists(strFolder));
    EXPECT_FALSE(PathExists(Shortcut()));
    EXPECT_EQ("(missing)", ReadValue(kRunKey, "Glimwick"));
}
