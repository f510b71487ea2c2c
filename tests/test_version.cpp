// Each shipped binary and the setup program carry the build's version in
// their version resource; the two programs carry their manifest.
#include "Version.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A string of the version resource's block ("041104B0" or "040904B0");
// "(missing)" when there is none.
std::string VersionString(const std::vector<BYTE>& data, const char* pszBlock, const char* pszName)
{
    const std::string strPath = std::string("\\StringFileInfo\\") + pszBlock + "\\" + pszName;
    char* psz = nullptr;
    UINT cch = 0;
    if (!::VerQueryValueA(data.data(), strPath.c_str(), reinterpret_cast<void**>(&psz), &cch) || !psz)
        return "(missing)";
    return psz;
}

// The program's manifest text; empty when it has none.
std::string Manifest(const std::string& strPath)
{
    HMODULE h = ::LoadLibraryExA(strPath.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!h)
        return "";
    std::string str;
    if (HRSRC hRes = ::FindResourceA(h, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST))
        str.assign(static_cast<const char*>(::LockResource(::LoadResource(h, hRes))), ::SizeofResource(h, hRes));
    ::FreeLibrary(h);
    return str;
}
} // namespace

TEST(Version, EveryBinaryCarriesTheBuildsVersion)
{
    const struct
    {
        std::string strName;
        bool bManifest;  // the setup's own comes from NSIS
        bool bEnglish;   // NSIS keeps each language's block in a resource of
                         // its own, and the system reads the user's
    } kBinaries[] = {
        {"Glimwick.exe", true, true},
        {"glimctl.exe", true, true},
        {"Sillbeck.dll", false, true},
        {"Glimwick-" GLIMWICK_VERSION_TEXT "-setup.exe", false, false},
    };
    const DWORD dwVersionMS = MAKELONG(GLIMWICK_VERSION_MINOR, GLIMWICK_VERSION_MAJOR);
    const DWORD dwVersionLS = MAKELONG(0, GLIMWICK_VERSION_PATCH);
    for (const auto& b : kBinaries)
    {
        SCOPED_TRACE(b.strName);
        const std::string strPath = ProgramFolder() + b.strName;
        DWORD dwHandle = 0;
        std::vector<BYTE> data(::GetFileVersionInfoSizeA(strPath.c_str(), &dwHandle));
        ASSERT_FALSE(data.empty());
        ASSERT_TRUE(::GetFileVersionInfoA(strPath.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));

        VS_FIXEDFILEINFO* pInfo = nullptr;
        UINT cb = 0;
        ASSERT_TRUE(::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&pInfo), &cb));
        EXPECT_EQ(dwVersionMS, pInfo->dwFileVersionMS);
        EXPECT_EQ(dwVersionLS, pInfo->dwFileVersionLS);
        EXPECT_EQ(dwVersionMS, pInfo->dwProductVersionMS);
        EXPECT_EQ(dwVersionLS, pInfo->dwProductVersionLS);
        for (const char* pszBlock : {"041104B0", "040904B0"})
        {
            if (!b.bEnglish && std::string(pszBlock) == "040904B0")
                continue;
            SCOPED_TRACE(pszBlock);
            EXPECT_EQ("MOSS-HARK", VersionString(data, pszBlock, "CompanyName"));
            EXPECT_EQ("Glimwick", VersionString(data, pszBlock, "ProductName"));
            EXPECT_EQ(GLIMWICK_VERSION_QUAD_TEXT, VersionString(data, pszBlock, "FileVersion"));
            EXPECT_EQ(GLIMWICK_VERSION_QUAD_TEXT, VersionString(data, pszBlock, "ProductVersion"));
            EXPECT_EQ(b.strName, VersionString(data, pszBlock, "OriginalFilename"));
            EXPECT_NE("(missing)", VersionString(data, pszBlock, "FileDescription"));
        }

        if (!b.bManifest)
            continue;
        const std::string strManifest = Manifest(strPath);
        EXPECT_NE(std::string::npos, strManifest.find("level=\"asInvoker\"")) << strManifest;
        EXPECT_NE(std::string::npos, strManifest.find("version=\"" GLIMWICK_VERSION_QUAD_TEXT "\""));
        // Windows 7's and Windows 10's (and 11's) entries.
        for (const char* pszOS : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
            EXPECT_NE(std::string::npos, strManifest.find(pszOS)) << pszOS;
        EXPECT_EQ(std::string::npos, strManifest.find("dpiAware"));
    }
}
