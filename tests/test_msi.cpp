// The per-machine package under the system's installer, end to end: a silent
// install, an upgrade in place by a package a version later, a refused
// downgrade, and a silent uninstall that leaves the users' settings.
#include "Version.h"
#include "tests/TestSupport.h"

#include <msi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSettingsKey[] = "Software\\MOSS-HARK\\Glimwick";
const char* const kFiles[] = {"Glimwick.exe", "Sillbeck.dll", "glimctl.exe"};
const DWORD kMsiexecTimeout = 180000;

// The build's package, and the one it makes a version later for this test.
const std::string kPackage = ProgramFolder() + "Glimwick-" GLIMWICK_VERSION_TEXT "-x64.msi";
const std::string kNextPackage = ProgramFolder() + "Glimwick-next-x64.msi";

std::string Version(int nPatchAfter)
{
    return std::to_string(GLIMWICK_VERSION_MAJOR) + "." + std::to_string(GLIMWICK_VERSION_MINOR) + "." +
           std::to_string(GLIMWICK_VERSION_PATCH + nPatchAfter);
}

// msiexec's exit code for a silent run of the action (/i, /x) on a package
// or product code.
DWORD Msiexec(const char* pszAction, const std::string& strWhat)
{
    CChildProcess proc;
    if (!proc.Start(std::string("msiexec.exe ") + pszAction + " \"" + strWhat + "\" /qn"))
        return 0xFFFFFFFF;
    return proc.WaitForExit(kMsiexecTimeout) ? proc.ExitCode() : 0xFFFFFFFE;
}

std::string ShellFolder(int nFolder)
{
    char sz[MAX_PATH] = "";
    ::SHGetFolderPathA(NULL, nFolder, NULL, SHGFP_TYPE_CURRENT, sz);
    return sz;
}

// Where the installer puts a shortcut for all users: the common Programs
// folder. Wine's installer uses the user's own for it, whatever ALLUSERS says.
std::string ProgramMenuFolder()
{
    const bool bWine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
    return ShellFolder(bWine ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS);
}

bool Exists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A string value; "(missing)" when there is none.
std::string StringValue(HKEY hRoot, const std::string& strKey, const char* pszName)
{
    char sz[1024] = "";
    DWORD cb = sizeof sz;
    if (::RegGetValueA(hRoot, strKey.c_str(), pszName, RRF_RT_REG_SZ, NULL, sz, &cb) != ERROR_SUCCESS)
        return "(missing)";
    return sz;
}

// The product codes of the installed packages named Glimwick.
std::vector<std::string> InstalledProducts()
{
    std::vector<std::string> codes;
    char szCode[39] = "";
    for (DWORD i = 0; ::MsiEnumProductsA(i, szCode) == ERROR_SUCCESS; ++i)
    {
        char szName[64] = "";
        DWORD cch = sizeof szName;
        if (::MsiGetProductInfoA(szCode, INSTALLPROPERTY_INSTALLEDPRODUCTNAME, szName, &cch) == ERROR_SUCCESS &&
            std::string(szName) == "Glimwick")
            codes.push_back(szCode);
    }
    return codes;
}

class MsiTest : public ::testing::Test
{
protected:
    // A run that failed half-way may have left a package installed.
    void SetUp() override
    {
        for (const std::string& strCode : InstalledProducts())
            Msiexec("/x", strCode);
        ASSERT_TRUE(InstalledProducts().empty());
    }
    void TearDown() override { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Message"); }
};
} // namespace

TEST_F(MsiTest, InstallUpgradeAndUninstallSilently)
{
    const std::string strFolder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Glimwick\\";
    const std::string strShortcut = ProgramMenuFolder() + "\\Glimwick.lnk";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Message", REG_SZ, "kept", 5));

    ASSERT_EQ(0u, Msiexec("/i", kPackage));
    for (const char* pszFile : kFiles)
        EXPECT_TRUE(Exists(strFolder + pszFile)) << pszFile;
    EXPECT_TRUE(Exists(strShortcut));
    EXPECT_EQ("\"" + strFolder + "Glimwick.exe\"", StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Glimwick"));
    std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(1u, products.size());
    const std::string strEntry = kUninstallKey + products[0];
    EXPECT_EQ("Glimwick", StringValue(HKEY_LOCAL_MACHINE, strEntry, "DisplayName"));
    EXPECT_EQ(Version(0), StringValue(HKEY_LOCAL_MACHINE, strEntry, "DisplayVersion"));
    EXPECT_EQ("MOSS-HARK", StringValue(HKEY_LOCAL_MACHINE, strEntry, "Publisher"));
    char szIcon[MAX_PATH] = "";
    DWORD cch = sizeof szIcon;
    EXPECT_EQ(0u, ::MsiGetProductInfoA(products[0].c_str(), INSTALLPROPERTY_PRODUCTICON, szIcon, &cch));
    EXPECT_TRUE(Exists(szIcon)) << "the program's icon: " << szIcon;

    EXPECT_EQ(0u, Msiexec("/i", kNextPackage));
    products = InstalledProducts();
    ASSERT_EQ(1u, products.size()) << "the newer one replaced the older";
    EXPECT_EQ(Version(1), StringValue(HKEY_LOCAL_MACHINE, kUninstallKey + products[0], "DisplayVersion"));
    for (const char* pszFile : kFiles)
        EXPECT_TRUE(Exists(strFolder + pszFile)) << pszFile;

    EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_FAILURE), Msiexec("/i", kPackage)) << "an older package refuses";
    EXPECT_EQ(products, InstalledProducts());

    EXPECT_EQ(0u, Msiexec("/x", kNextPackage));
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(Exists(strFolder));
    EXPECT_FALSE(Exists(strShortcut));
    EXPECT_EQ("(missing)", StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Glimwick"));
    EXPECT_EQ("kept", StringValue(HKEY_CURRENT_USER, kSettingsKey, "Message")) << "the users' settings stay";
}
