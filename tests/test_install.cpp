// The setup program and its uninstaller, end to end: a silent install into
// a folder that holds a file of the user's, silent installs over the running
// program, one over a program that does not end, and a silent uninstall; and
// the program run from a folder whose name the ANSI code page cannot spell.
#include "Version.h"
#include "res/Protocol.h"
#include "tests/TestSupport.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
// A file of the user's in the install folder, larger than the programs.
const char kForeignFile[] = "notes.dat";
const DWORD kForeignSize = 2 * 1024 * 1024;
// The setup's exit code when it stops.
const DWORD kSetupStopped = 2;

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

// Running processes of the program file's name: a second instance exists as
// a process before it shows (or does not show) its window.
int CountProgramProcesses()
{
    int n = 0;
    const HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL bMore = ::Process32First(hSnapshot, &entry); bMore; bMore = ::Process32Next(hSnapshot, &entry))
        n += ::lstrcmpiA(entry.szExeFile, "Glimwick.exe") == 0;
    ::CloseHandle(hSnapshot);
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
    ::DeleteFileA((InstallFolder() + "\\" + kForeignFile).c_str());
    ::RemoveDirectoryA(InstallFolder().c_str());
    ::DeleteFileA(Shortcut().c_str());
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Glimwick");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kNeighbourKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsParent);
}

bool WriteFileOfSize(const std::string& strPath, DWORD cb)
{
    HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const std::string strData(cb, 'x');
    DWORD cbWritten = 0;
    const bool bOk = ::WriteFile(h, strData.data(), cb, &cbWritten, NULL) && cbWritten == cb;
    ::CloseHandle(h);
    return bOk;
}

std::string SetupCommand(const char* pszSwitches)
{
    return "\"" + ProgramFolder() + "Glimwick-" GLIMWICK_VERSION_TEXT "-setup.exe\" /S " + pszSwitches;
}

class InstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveInstallation();
        ASSERT_TRUE(PathExists(ProgramFolder() + "Glimwick-" GLIMWICK_VERSION_TEXT "-setup.exe"))
            << "the setup target makes it, with makensis";
    }
    void TearDown() override { RemoveInstallation(); }
};
} // namespace

TEST_F(InstallTest, InstallUpgradeAndUninstall)
{
    const std::string strSetup = SetupCommand("");
    const std::string strFolder = InstallFolder();
    const std::string strProgram = strFolder + "\\Glimwick.exe";
    const std::string strForeign = strFolder + "\\" + kForeignFile;

    // 1. A fresh silent install, into a folder that already holds a file.
    ASSERT_TRUE(::SHCreateDirectoryExA(NULL, strFolder.c_str(), NULL) == ERROR_SUCCESS);
    ASSERT_TRUE(WriteFileOfSize(strForeign, kForeignSize));
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
        {"DisplayVersion", GLIMWICK_VERSION_TEXT},
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
    // In KB: the three programs come to several hundred; the user's file
    // is not the setup's.
    EXPECT_GE(std::atoi(ReadValue(kUninstallKey, "EstimatedSize").c_str()), 100);
    EXPECT_LT(std::atoi(ReadValue(kUninstallKey, "EstimatedSize").c_str()), static_cast<int>(kForeignSize / 1024));
    ASSERT_TRUE(WaitUntil([] { return InstanceProcessId() != 0; }, kStartTimeout));

    // 2. Changed settings (not to start with Windows), then silent
    // installs over the running program: an upgrade keeps the choice, the
    // switch sets it.
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Interval", REG_DWORD,
                                               &kChangedInterval, sizeof(kChangedInterval)));
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Glimwick"));
    const struct
    {
        const char* pszSwitches;
        std::string strRunValue;
    } kUpgrades[] = {
        {"", "(missing)"},
        {"/AUTOSTART=1", "\"" + strProgram + "\""},
    };
    for (const auto& u : kUpgrades)
    {
        SCOPED_TRACE(u.pszSwitches);
        const DWORD dwBefore = InstanceProcessId();
        ASSERT_EQ(0u, RunToEnd(SetupCommand(u.pszSwitches)));
        EXPECT_EQ(u.strRunValue, ReadValue(kRunKey, "Glimwick"));
        EXPECT_TRUE(
            WaitUntil([&] { return InstanceProcessId() != 0 && InstanceProcessId() != dwBefore; }, kStartTimeout));
    }
    // Every program the setups started exists by now; one that found the
    // instance ends by itself, and two that stay never make one.
    EXPECT_TRUE(WaitUntil([] { return CountProgramProcesses() == 1; }, kStartTimeout));
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
    EXPECT_TRUE(PathExists(strForeign)) << "not the setup's to delete";
    EXPECT_FALSE(PathExists(Shortcut()));
    EXPECT_EQ("(missing)", ReadValue(kRunKey, "Glimwick"));
}

TEST_F(InstallTest, ProgramThatDoesNotEndStopsTheSetupBeforeAnyChange)
{
    ASSERT_EQ(0u, RunToEnd(SetupCommand("")));
    ASSERT_TRUE(WaitUntil([] { return InstanceProcessId() != 0; }, kStartTimeout));
    ASSERT_TRUE(EndRunningProgram());
    // A mark in an installed file, which a setup that went on would replace.
    const std::string strMarked = InstallFolder() + "\\glimctl.exe";
    ASSERT_TRUE(WriteFileOfSize(strMarked, 1));

    // A window with the marker title on this thread, which does not pump
    // while the setup waits: a program that never answers.
    HWND hWnd = ::CreateWindowExA(0, "STATIC", GLIMWICK_MARKER_TITLE, WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(kSetupStopped, RunToEnd(SetupCommand("")));
    EXPECT_EQ("x", ReadWholeFile(strMarked));
    EXPECT_EQ(1, CountInstances()) << "no program started";
    ::DestroyWindow(hWnd);
}

TEST(InstallFolderName, OutsideTheCodePageTheProgramStillFindsItsEyes)
{
    ASSERT_TRUE(EndRunningProgram());
    WCHAR szTemp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, szTemp);
    const std::wstring strFolder = std::wstring(szTemp) + L"Zo\u00eb M\u00fcller";
    ::CreateDirectoryW(strFolder.c_str(), NULL);
    for (const wchar_t* pszFile : {L"Glimwick.exe", L"Sillbeck.dll"})
    {
        WCHAR szSource[MAX_PATH] = L"";
        ::MultiByteToWideChar(CP_ACP, 0, ProgramFolder().c_str(), -1, szSource, MAX_PATH);
        ASSERT_TRUE(::CopyFileW((szSource + std::wstring(pszFile)).c_str(), (strFolder + L"\\" + pszFile).c_str(), FALSE));
    }
    // Started from elsewhere, so only the program's own folder can give it
    // the library.
    std::wstring strCommand = L"\"" + strFolder + L"\\Glimwick.exe\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessW(NULL, &strCommand[0], NULL, NULL, FALSE, 0, NULL, szTemp, &si, &pi));
    ::CloseHandle(pi.hThread);

    // The first search holds the program; a status asked meanwhile goes
    // unanswered.
    const std::string strOut = ProgramFolder() + "install-status.out";
    std::string strStatus;
    EXPECT_TRUE(WaitUntil(
        [&] {
            CChildProcess glimctl;
            strStatus = glimctl.Start("\"" + ProgramFolder() + "glimctl.exe\" status", strOut) &&
                                glimctl.WaitForExit(kStartTimeout)
                            ? ReadWholeFile(strOut)
                            : "";
            return strStatus.find("\neyes=found") != std::string::npos;
        },
        30000))
        << strStatus;
    EXPECT_TRUE(EndRunningProgram());
    ::WaitForSingleObject(pi.hProcess, kStartTimeout);
    ::CloseHandle(pi.hProcess);
    ::DeleteFileA(strOut.c_str());
    for (const wchar_t* pszFile : {L"Glimwick.exe", L"Sillbeck.dll"})
        ::DeleteFileW((strFolder + L"\\" + pszFile).c_str());
    ::RemoveDirectoryW(strFolder.c_str());
}
