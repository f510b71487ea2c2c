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
const char kSettingsKey[] = "Software\\MOSS-HARK\\Glimwick";
const char* const kFiles[] = {"Glimwick.exe", "Sillbeck.dll", "glimctl.exe"};

// The build's package, and the one it makes a version later for this test.
const std::string kPackage = ProgramFolder() + "Glimwick-" GLIMWICK_VERSION_TEXT "-x64.msi";
const std::string kNextPackage = ProgramFolder() + "test-upgrade-x64.msi";

// msiexec's exit code for a silent run of the action (/i, /x) on a package
// or product code.
DWORD Msiexec(const char* pszAction, const std::string& strWhat)
{
    CChildProcess proc;
    if (!proc.Start(std::string("msiexec.exe ") + pszAction + " \"" + strWhat + "\" /qn"))
        return 0xFFFFFFFF;
    return proc.WaitForExit(180000) ? proc.ExitCode() : 0xFFFFFFFE;
}

// Where the installer puts a shortcut for all users: the common Programs
// folder; Wine's installer takes the user's own, whatever ALLUSERS says.
std::string ShortcutPath()
{
    const bool bWine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL;
    char sz[MAX_PATH] = "";
    ::SHGetFolderPathA(NULL, bWine ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, sz);
    return std::string(sz) + "\\Glimwick.lnk";
}

bool Exists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string StringValue(HKEY hRoot, const char* pszKey, const char* pszName)
{
    char sz[MAX_PATH] = "";
    DWORD cb = sizeof sz;
    if (::RegGetValueA(hRoot, pszKey, pszName, RRF_RT_REG_SZ, NULL, sz, &cb) != ERROR_SUCCESS)
        return "(missing)";
    return sz;
}

// What the list of installed programs shows of a product; empty when unknown.
std::string ProductInfo(const std::string& strCode, LPCSTR pszProperty)
{
    char sz[MAX_PATH] = "";
    DWORD cch = sizeof sz;
    ::MsiGetProductInfoA(strCode.c_str(), pszProperty, sz, &cch);
    return sz;
}

// The product codes of the installed packages named Glimwick.
std::vector<std::string> InstalledProducts()
{
    std::vector<std::string> codes;
    char szCode[39] = "";
    for (DWORD i = 0; ::MsiEnumProductsA(i, szCode) == ERROR_SUCCESS; ++i)
    {
        if (ProductInfo(szCode, INSTALLPROPERTY_INSTALLEDPRODUCTNAME) == "Glimwick")
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
    }
    void TearDown() override { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Message"); }
};
} // namespace

TEST_F(MsiTest, InstallUpgradeAndUninstallSilently)
{
    char szFolder[MAX_PATH] = "";
    ::SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, SHGFP_TYPE_CURRENT, szFolder);
    const std::string strFolder = szFolder + std::string("\\Glimwick\\");
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Message", REG_SZ, "kept", 5));

    ASSERT_EQ(0u, Msiexec("/i", kPackage));
    for (const char* pszFile : kFiles)
        EXPECT_TRUE(Exists(strFolder + pszFile)) << pszFile;
    EXPECT_TRUE(Exists(ShortcutPath()));
    EXPECT_EQ("\"" + strFolder + "Glimwick.exe\"", StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Glimwick"));
    std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(1u, products.size());
    const std::string strVersion =
        std::to_string(GLIMWICK_VERSION_MAJOR) + "." + std::to_string(GLIMWICK_VERSION_MINOR) + ".";
    EXPECT_EQ(strVersion + std::to_string(GLIMWICK_VERSION_PATCH),
              ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING));
    EXPECT_EQ("MOSS-HARK", ProductInfo(products[0], INSTALLPROPERTY_PUBLISHER));
    EXPECT_TRUE(Exists(ProductInfo(products[0], INSTALLPROPERTY_PRODUCTICON))) << "the program's icon";

    EXPECT_EQ(0u, Msiexec("/i", kNextPackage));
    products = InstalledProducts();
    ASSERT_EQ(1u, products.size()) << "the newer one replaced the older";
    EXPECT_EQ(strVersion + std::to_string(GLIMWICK_VERSION_PATCH + 1),
              ProductInfo(products[0], INSTALLPROPERTY_VERSIONSTRING));
    EXPECT_TRUE(Exists(strFolder + "Glimwick.exe"));

    EXPECT_EQ(static_cast<DWORD>(ERROR_INSTALL_FAILURE), Msiexec("/i", kPackage)) << "an older one refuses";
    EXPECT_EQ(products, InstalledProducts());

    EXPECT_EQ(0u, Msiexec("/x", kNextPackage));
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(Exists(strFolder));
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_EQ("(missing)", StringValue(HKEY_LOCAL_MACHINE, kRunKey, "Glimwick"));
    EXPECT_EQ("kept", StringValue(HKEY_CURRENT_USER, kSettingsKey, "Message")) << "the users' settings stay";
}
