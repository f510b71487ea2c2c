// Sillbeck.dll as the program uses it: by ordinal, from any thread, its
// first report to the program's own controller, and the program's binding
// when the library or its entries are missing.
#include "app/TrayLibrary.h"
#include "frame/Wnd.h"
#include "res/Protocol.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace
{
typedef int(__cdecl* GetRectFn)(RECT*);

std::string LibraryPath()
{
    return ProgramFolder() + "Sillbeck.dll";
}

// Where the library must find the notification area.
RECT ExpectedTrayRect()
{
    RECT rc = {};
    HWND hTray = ::FindWindowA("Shell_TrayWnd", NULL);
    HWND hNotify = hTray ? ::FindWindowExA(hTray, NULL, "TrayNotifyWnd", NULL) : NULL;
    ::GetWindowRect(hNotify ? hNotify : hTray, &rc);
    return rc;
}

class CLoadedLibrary
{
public:
    explicit CLoadedLibrary(const std::string& strPath) : m_h(::LoadLibraryA(strPath.c_str())) {}
    ~CLoadedLibrary()
    {
        if (m_h)
            ::FreeLibrary(m_h);
    }
    HMODULE m_h;
};
} // namespace

TEST(SillbeckDll, ExportsOnlyOrdinalsTenTwentyThirty)
{
    CLoadedLibrary lib(LibraryPath());
    ASSERT_NE(nullptr, lib.m_h);
    for (WORD n = 1; n <= 40; ++n)
    {
        const bool bExpected = n == 10 || n == 20 || n == 30;
        EXPECT_EQ(bExpected, ::GetProcAddress(lib.m_h, MAKEINTRESOURCEA(n)) != NULL) << "ordinal " << n;
    }
    // No entry has a name.
    const BYTE* pBase = reinterpret_cast<const BYTE*>(lib.m_h);
    const IMAGE_NT_HEADERS* pNt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(0u, dir.VirtualAddress);
    const IMAGE_EXPORT_DIRECTORY* pExports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(pBase + dir.VirtualAddress);
    EXPECT_EQ(0u, pExports->NumberOfNames);
    EXPECT_EQ(nullptr, ::GetProcAddress(lib.m_h, "SillbeckGetTrayRect"));
}

TEST(SillbeckDll, RectangleIsTheNotificationAreaOnEveryThread)
{
    const RECT rcExpected = ExpectedTrayRect();
    ASSERT_FALSE(::IsRectEmpty(&rcExpected)) << "the virtual desktop has a taskbar";
    ASSERT_TRUE(CTrayLibrary::Bind(LibraryPath().c_str()));

    RECT rcMain = {};
    ASSERT_NE(0, SillbeckGetTrayRect(&rcMain));
    EXPECT_TRUE(::EqualRect(&rcExpected, &rcMain));

    // The locator asks from its worker while the main thread waits.
    RECT rcWorker[3] = {};
    int nResults[3] = {};
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            nResults[i] = SillbeckGetTrayRect(&rcWorker[i]);
    });
    worker.join();
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_NE(0, nResults[i]);
        EXPECT_TRUE(::EqualRect(&rcMain, &rcWorker[i])) << "call " << i << " while nothing moved";
    }
    CTrayLibrary::Unbind();
}

TEST(SillbeckDll, RectangleStaysTheSameAcrossTheSearchesStopsAndStarts)
{
    // The controller's order of calls: stop (also when nothing was started,
    // and twice), start, and stop and start around each search. Any change
    // of the rectangle in between would start a needless search.
    ASSERT_TRUE(CTrayLibrary::Bind(LibraryPath().c_str()));
    RECT rcFirst = {};
    ASSERT_NE(0, SillbeckGetTrayRect(&rcFirst));
    const std::function<void()> kSteps[] = {
        [] { SillbeckStop(); }, [] { SillbeckStop(); }, [] { SillbeckStart(); },
        [] { SillbeckStop(); }, [] { SillbeckStart(); }, [] { SillbeckStop(); },
    };
    for (size_t i = 0; i < sizeof kSteps / sizeof kSteps[0]; ++i)
    {
        kSteps[i]();
        RECT rc = {};
        EXPECT_NE(0, SillbeckGetTrayRect(&rc)) << "step " << i;
        EXPECT_TRUE(::EqualRect(&rcFirst, &rc)) << "step " << i;
    }
    EXPECT_EQ(0, SillbeckGetTrayRect(nullptr));
    CTrayLibrary::Unbind();
}

namespace
{
// A controller stand-in: the marker title, and the reports it receives.
class CReportReceiver : public CWnd
{
public:
    CReportReceiver()
    {
        const RECT rc = {0, 0, 10, 10};
        CreateEx(0, NULL, GLIMWICK_MARKER_TITLE, WS_POPUP, rc, nullptr, 0);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GLIMWICK_TRAY_REPORT)
            m_reports.push_back({LOWORD(wParam), HIWORD(wParam), LOWORD(lParam), HIWORD(lParam)});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<RECT> m_reports;
};
} // namespace

TEST(SillbeckDll, FirstStartWithAControllerReportsTheAreaOnce)
{
    ASSERT_TRUE(CTrayLibrary::Bind(LibraryPath().c_str()));
    // No controller in this process yet: nobody to tell.
    SillbeckStart();
    CReportReceiver controller;
    ASSERT_NE(nullptr, controller.m_hWnd);
    // As around every search: stop, then start again.
    for (int i = 0; i < 3; ++i)
    {
        SillbeckStop();
        SillbeckStart();
    }
    PumpMessages(200);
    CTrayLibrary::Unbind();
    ASSERT_EQ(1u, controller.m_reports.size());
    const RECT rcExpected = ExpectedTrayRect();
    EXPECT_TRUE(::EqualRect(&rcExpected, &controller.m_reports[0]));
}

TEST(TrayLibraryBinding, MissingLibraryMeansNotStartedAndNoRectangle)
{
    CTrayLibrary::Unbind();
    EXPECT_FALSE(CTrayLibrary::Bind((ProgramFolder() + "NoSuchLibrary.dll").c_str()));
    EXPECT_FALSE(CTrayLibrary::IsBound());
    EXPECT_EQ(0, SillbeckStart());
    SillbeckStop();
    RECT rc = {1, 2, 3, 4};
    EXPECT_EQ(0, SillbeckGetTrayRect(&rc));
    EXPECT_EQ(1, rc.left) << "the rectangle is left alone";
    EXPECT_EQ(4, rc.bottom);
}

TEST(TrayLibraryBinding, ModuleWithoutTheOrdinalsIsNotBound)
{
    // The program file exports nothing.
    EXPECT_FALSE(CTrayLibrary::Bind((ProgramFolder() + "glimctl.exe").c_str()));
    EXPECT_FALSE(CTrayLibrary::IsBound());
    EXPECT_EQ(0, SillbeckStart());
}

TEST(TrayLibraryBinding, DefaultIsTheLibraryBesideTheProgram)
{
    ASSERT_TRUE(CTrayLibrary::Bind());
    EXPECT_TRUE(CTrayLibrary::IsBound());
    CTrayLibrary::Unbind();
    EXPECT_FALSE(CTrayLibrary::IsBound());
    // By the system's search of the program's folder and, where the system
    // lacks it, by the full path.
    for (BOOL bSearchFlags : {TRUE, FALSE})
    {
        HMODULE h = CTrayLibrary::LoadBesideProgram(bSearchFlags);
        ASSERT_NE(nullptr, h) << bSearchFlags;
        char szPath[MAX_PATH] = "";
        ::GetModuleFileNameA(h, szPath, MAX_PATH);
        EXPECT_EQ(0, ::lstrcmpiA(LibraryPath().c_str(), szPath)) << szPath;
        ::FreeLibrary(h);
    }
}

TEST(TrayLibraryBinding, JapaneseFolderName)
{
    // 表 ends in the byte of a backslash.
    const std::string strFolder = ProgramFolder() + "表示テスト";
    ::CreateDirectoryA(strFolder.c_str(), NULL);
    const std::string strCopy = strFolder + "\\Sillbeck.dll";
    ASSERT_TRUE(::CopyFileA(LibraryPath().c_str(), strCopy.c_str(), FALSE));
    EXPECT_TRUE(CTrayLibrary::Bind(strCopy.c_str()));
    EXPECT_TRUE(CTrayLibrary::IsBound());
    CTrayLibrary::Unbind();
    ::DeleteFileA(strCopy.c_str());
    ::RemoveDirectoryA(strFolder.c_str());
}
