// The stored settings and the settings dialog against the real registry,
// and in the running program.
#include "app/GlimwickDlg.h"
#include "diag/Log.h"
#include "frame/DataExchange.h"
#include "res/Protocol.h"
#include "res/resource.h"
#include "store/Policies.h"
#include "store/StoredSettings.h"
#include "tests/TestSupport.h"
#include "windows/SettingsDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
const char kSubkey[] = "Software\\MOSS-HARK\\Glimwick";

void Store(const char* pszName, DWORD dwType, const void* pData, DWORD cb)
{
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSubkey, pszName, dwType, pData, cb));
}

void StoreInterval(DWORD dw)
{
    Store("Interval", REG_DWORD, &dw, sizeof dw);
}

bool StoredDword(const char* pszName, DWORD* pdw)
{
    DWORD cb = sizeof *pdw;
    return ::RegGetValueA(HKEY_CURRENT_USER, kSubkey, pszName, RRF_RT_REG_DWORD, NULL, pdw, &cb) == ERROR_SUCCESS;
}

bool StoredString(const char* pszName, std::string* pstr)
{
    char sz[4096] = {};
    DWORD cb = sizeof sz;
    if (::RegGetValueA(HKEY_CURRENT_USER, kSubkey, pszName, RRF_RT_REG_SZ, NULL, sz, &cb) != ERROR_SUCCESS)
        return false;
    *pstr = sz;
    return true;
}

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kSubkey); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kSubkey); }
};

// Runs the dialog modally; pInspect sees it open, then pAct ends it.
class CSettingsProbe : public CSettingsDlg
{
public:
    explicit CSettingsProbe(const CPolicies& policies = CPolicies()) : CSettingsDlg(policies) {}

    std::function<void(CSettingsProbe&)> m_inspect;
    std::function<void(CSettingsProbe&)> m_act;

    BOOL OnInitDialog() override
    {
        const BOOL bResult = CSettingsDlg::OnInitDialog();
        SetTimer(1, 30);
        return bResult;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == 1)
        {
            KillTimer(1);
            if (m_inspect)
                m_inspect(*this);
            if (m_act)
                m_act(*this);
            return 0;
        }
        return CSettingsDlg::WindowProc(message, wParam, lParam);
    }

    int Selected() const { return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_INTERVAL, CB_GETCURSEL, 0, 0)); }
    std::string Item(int n) const
    {
        char sz[64] = {};
        ::SendDlgItemMessageA(m_hWnd, IDC_INTERVAL, CB_GETLBTEXT, n, reinterpret_cast<LPARAM>(sz));
        return sz;
    }
    std::string Text(int nID) const
    {
        char sz[1024] = {};
        ::GetDlgItemTextA(m_hWnd, nID, sz, sizeof sz);
        return sz;
    }
    void Press(int nID) { PostMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }
};

struct PolicyValue
{
    HKEY hRoot;
    const char* pszName;
    DWORD dwType;
    std::string data;
};

std::string Dword(DWORD dw)
{
    return std::string(reinterpret_cast<const char*>(&dw), sizeof dw);
}

void ClearPolicies()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, CPolicies::KEY);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, CPolicies::KEY);
}

// Writes the values over the user's own (interval 3, "mine"), then reads
// the policies.
CPolicies ReadPolicies(const std::vector<PolicyValue>& values)
{
    ClearPolicies();
    StoreInterval(3);
    Store("Message", REG_SZ, "mine", 5);
    for (const PolicyValue& v : values)
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(v.hRoot, CPolicies::KEY, v.pszName, v.dwType, v.data.c_str(),
                                                   static_cast<DWORD>(v.data.size())));
    CPolicies policies;
    policies.Read();
    return policies;
}

class PolicyTest : public SettingsTest
{
protected:
    void TearDown() override
    {
        ClearPolicies();
        SettingsTest::TearDown();
    }
};
} // namespace

TEST(StoredSettings, DefaultMessageIs148BytesOfShiftJis)
{
    const char* psz = CStoredSettings::DEFAULT_MESSAGE;
    EXPECT_EQ(148u, std::strlen(psz));
    EXPECT_EQ(0, std::strncmp(psz, "パソコン画面", 12));
    EXPECT_NE(nullptr, std::strstr(psz, "あります。\r\n姿勢を正し"));
    EXPECT_STREQ("軽い運動も忘れずに．．．", std::strrchr(psz, '\n') + 1) << "no line break at the end";
}

TEST(StoredSettings, ReminderPeriods)
{
    const UINT kExpected[] = {600000, 1800000, 3600000, 7200000, 10800000, 0, 0};
    for (DWORD i = 0; i < 7; ++i)
        EXPECT_EQ(kExpected[i], CStoredSettings::ReminderPeriod(i)) << "index " << i;
    EXPECT_EQ(0u, CStoredSettings::ReminderPeriod(0xFFFFFFFFu));
}

TEST_F(SettingsTest, BadStoredIntervalMeansTheDefault)
{
    EXPECT_EQ(0u, CStoredSettings::ReadInterval()) << "missing";
    StoreInterval(4);
    EXPECT_EQ(4u, CStoredSettings::ReadInterval());
    StoreInterval(7);
    EXPECT_EQ(7u, CStoredSettings::ReadInterval()) << "out of range is read as it is: no reminder";
    Store("Interval", REG_SZ, "5", 2);
    EXPECT_EQ(0u, CStoredSettings::ReadInterval()) << "a string";
    const BYTE kShort[3] = {5, 0, 0};
    Store("Interval", REG_BINARY, kShort, 2);
    EXPECT_EQ(0u, CStoredSettings::ReadInterval()) << "two bytes";
    for (DWORD cb = 1; cb <= 3; ++cb)
    {
        Store("Interval", REG_DWORD, kShort, cb);
        EXPECT_EQ(0u, CStoredSettings::ReadInterval()) << "a DWORD of " << cb << " bytes";
    }
    const ULONGLONG qw = 3;
    Store("Interval", REG_QWORD, &qw, sizeof qw);
    EXPECT_EQ(0u, CStoredSettings::ReadInterval()) << "eight bytes";
}

TEST_F(SettingsTest, BadStoredMessageIsCutOrReplaced)
{
    EXPECT_STREQ(CStoredSettings::DEFAULT_MESSAGE, CStoredSettings::MessageToShow()) << "missing";
    Store("Message", REG_SZ, "", 1);
    EXPECT_STREQ("", CStoredSettings::ReadMessage());
    EXPECT_STREQ(CStoredSettings::DEFAULT_MESSAGE, CStoredSettings::MessageToShow()) << "empty";

    Store("Message", REG_BINARY, "bin\0", 4);
    EXPECT_STREQ(CStoredSettings::DEFAULT_MESSAGE, CStoredSettings::MessageToShow()) << "binary";

    Store("Message", REG_SZ, "休憩", 4);
    EXPECT_STREQ("休憩", CStoredSettings::ReadMessage()) << "no terminator";

    // A huge text reaches the dialog whole and the reminder cut, between
    // two-byte characters.
    std::string huge = "x";
    while (huge.size() < 1024 * 1024)
        huge += "表";
    Store("Message", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    EXPECT_EQ(static_cast<int>(huge.size()), CStoredSettings::MessageToEdit().GetLength());
    const CString strShown = CStoredSettings::MessageToShow();
    EXPECT_EQ(CStoredSettings::MAX_SHOWN_MESSAGE - 1, strShown.GetLength());
    EXPECT_EQ(0, huge.compare(0, static_cast<size_t>(strShown.GetLength()), strShown.GetString()));
}

TEST_F(SettingsTest, DeleteAllKeepsTheParent)
{
    StoreInterval(2);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\MOSS-HARK", "Other", REG_SZ, "x", 2));
    EXPECT_TRUE(CStoredSettings::DeleteAll());
    HKEY hKey = NULL;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kSubkey, 0, KEY_READ, &hKey));
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\MOSS-HARK", 0, KEY_READ, &hKey));
    ::RegCloseKey(hKey);
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\MOSS-HARK", "Other");
}

TEST_F(SettingsTest, FirstRunShowsTenMinutesAndTheDefaultMessage)
{
    CSettingsProbe dlg;
    std::vector<std::string> items;
    int nSelected = -2;
    std::string strMessage, strCaption;
    bool bTopmost = false;
    dlg.m_inspect = [&](CSettingsProbe& d) {
        for (int i = 0; i < 6; ++i)
            items.push_back(d.Item(i));
        nSelected = d.Selected();
        strMessage = d.Text(IDC_MESSAGE);
        char sz[64] = {};
        ::GetWindowTextA(d.m_hWnd, sz, sizeof sz);
        strCaption = sz;
        bTopmost = (::GetWindowLongA(d.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    dlg.m_act = [](CSettingsProbe& d) { d.Press(IDCANCEL); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{"１０分おき", "３０分おき", "６０分おき", "２時間おき", "３時間おき", "なし"}),
              items);
    EXPECT_EQ(0, nSelected);
    EXPECT_EQ(CStoredSettings::DEFAULT_MESSAGE, strMessage);
    EXPECT_EQ(" ｵﾌﾟｼｮﾝ設定", strCaption);
    EXPECT_TRUE(bTopmost);
    DWORD dw;
    EXPECT_FALSE(StoredDword("Interval", &dw)) << "Cancel stores nothing";
}

TEST_F(SettingsTest, OkStoresTheChoiceAndTheText)
{
    struct Case
    {
        DWORD dwStored;
        int nShown;
        int nChoose;  // -2: leave the selection as it is
        const char* pszText;
        DWORD dwExpected;
    };
    const Case kCases[] = {
        {5, 5, -2, "休んでください", 5},
        {2, 2, 5, "x", 5},
        {7, -1, -2, "", 0xFFFFFFFF},  // out of range: no selection; OK stores -1
    };
    for (const Case& c : kCases)
    {
        StoreInterval(c.dwStored);
        CSettingsProbe dlg;
        int nShown = -2;
        dlg.m_inspect = [&](CSettingsProbe& d) { nShown = d.Selected(); };
        dlg.m_act = [&](CSettingsProbe& d) {
            if (c.nChoose != -2)
                ::SendDlgItemMessageA(d.m_hWnd, IDC_INTERVAL, CB_SETCURSEL, c.nChoose, 0);
            ::SetDlgItemTextA(d.m_hWnd, IDC_MESSAGE, c.pszText);
            d.Press(IDOK);
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(c.nShown, nShown) << "stored " << c.dwStored;
        DWORD dw = 12345;
        EXPECT_TRUE(StoredDword("Interval", &dw));
        EXPECT_EQ(c.dwExpected, dw) << "stored " << c.dwStored;
        std::string str = "unset";
        EXPECT_TRUE(StoredString("Message", &str));
        EXPECT_EQ(c.pszText, str);
    }
    // The empty message stays stored empty; the dialog shows the default.
    CSettingsProbe dlg;
    std::string strShown;
    dlg.m_inspect = [&](CSettingsProbe& d) { strShown = d.Text(IDC_MESSAGE); };
    dlg.m_act = [](CSettingsProbe& d) { d.Press(IDCANCEL); };
    dlg.DoModal();
    EXPECT_EQ(CStoredSettings::DEFAULT_MESSAGE, strShown);
    std::string str = "unset";
    EXPECT_TRUE(StoredString("Message", &str));
    EXPECT_EQ("", str);
}

TEST_F(PolicyTest, MachineOverUserOverStoredAndBadValuesIgnored)
{
    const HKEY M = HKEY_LOCAL_MACHINE;
    const HKEY U = HKEY_CURRENT_USER;
    const std::string strEmpty(1, '\0');
    struct Case
    {
        std::vector<PolicyValue> values;
        DWORD dwInterval;
        const char* pszMessage;
        bool bNoPause;
        const char* pszNames;
        size_t nLogged;
    };
    const Case kCases[] = {
        {{}, 3, "mine", false, "", 0},
        {{{M, "Interval", REG_DWORD, Dword(5)}, {M, "Message", REG_SZ, "admin"},
          {M, "DisablePause", REG_DWORD, Dword(1)}},
         5, "admin", true, "Interval,Message,DisablePause", 0},
        {{{U, "Interval", REG_DWORD, Dword(0)}}, 0, "mine", false, "Interval", 0},
        {{{M, "Interval", REG_DWORD, Dword(2)}, {U, "Interval", REG_DWORD, Dword(4)}, {U, "Message", REG_SZ, strEmpty},
          {M, "DisablePause", REG_DWORD, Dword(0)}, {U, "DisablePause", REG_DWORD, Dword(1)}},
         2, CStoredSettings::DEFAULT_MESSAGE, false, "Interval,Message", 0},
        {{{M, "Interval", REG_DWORD, Dword(6)}, {U, "Interval", REG_SZ, "1"}, {M, "Message", REG_BINARY, "bin"},
          {U, "DisablePause", REG_QWORD, Dword(1) + Dword(0)}},
         3, "mine", false, "", 4},
        // A bad value of the machine leaves the user's policy in force.
        {{{M, "Interval", REG_DWORD, Dword(1).substr(0, 3)}, {M, "DisablePause", REG_DWORD, Dword(2)},
          {U, "Interval", REG_DWORD, Dword(1)}},
         1, "mine", false, "Interval", 2},
    };
    const std::string strLine = "POLICY VALUE IGNORED: ";
    WriteLog("POLICY TEST\n");  // the log's path is known from its first line on
    for (const Case& c : kCases)
    {
        const size_t nLogBefore = ReadWholeFile(GetLogPath()).size();
        CPolicies policies = ReadPolicies(c.values);
        const std::string strRow = std::to_string(&c - kCases);
        EXPECT_EQ(c.dwInterval, policies.Interval()) << strRow;
        EXPECT_STREQ(c.pszMessage, policies.MessageToShow()) << strRow;
        EXPECT_EQ(c.bNoPause, policies.DisablesPause() != FALSE) << strRow;
        EXPECT_STREQ(c.pszNames, policies.SetNames()) << strRow;

        const std::string strLog = ReadWholeFile(GetLogPath());
        const std::string strNew = strLog.substr(std::min(nLogBefore, strLog.size()));
        EXPECT_EQ(c.nLogged, CountOf(strNew, strLine)) << strRow << ": " << strNew;
        policies.Read();
        EXPECT_EQ(strLog.size(), ReadWholeFile(GetLogPath()).size()) << strRow << ": logged once";
    }
    const std::string strPath = "HKEY_LOCAL_MACHINE\\Software\\Policies\\MOSS-HARK\\Glimwick\\Interval";
    EXPECT_NE(std::string::npos, ReadWholeFile(GetLogPath()).find(strLine + strPath + "\r\n"));
}

TEST_F(PolicyTest, DialogShowsPoliciesDisabledAndOkLeavesTheUsersValues)
{
    CSettingsProbe dlg(ReadPolicies(
        {{HKEY_LOCAL_MACHINE, "Interval", REG_DWORD, Dword(1)}, {HKEY_CURRENT_USER, "Message", REG_SZ, "admin"}}));
    int nShown = -2;
    std::string strShown;
    bool bEnabled = true;
    dlg.m_inspect = [&](CSettingsProbe& d) {
        nShown = d.Selected();
        strShown = d.Text(IDC_MESSAGE);
        bEnabled = ::IsWindowEnabled(::GetDlgItem(d.m_hWnd, IDC_INTERVAL)) ||
                   ::IsWindowEnabled(::GetDlgItem(d.m_hWnd, IDC_MESSAGE));
    };
    dlg.m_act = [](CSettingsProbe& d) {
        ::SendDlgItemMessageA(d.m_hWnd, IDC_INTERVAL, CB_SETCURSEL, 5, 0);
        ::SetDlgItemTextA(d.m_hWnd, IDC_MESSAGE, "typed");
        d.Press(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, nShown);
    EXPECT_EQ("admin", strShown);
    EXPECT_FALSE(bEnabled);
    DWORD dw = 0;
    std::string str;
    EXPECT_TRUE(StoredDword("Interval", &dw) && StoredString("Message", &str));
    EXPECT_EQ(3u, dw);
    EXPECT_EQ("mine", str);
}

namespace
{
class CControllerProbe : public CGlimwickDlg
{
public:
    using CGlimwickDlg::m_wndBalloon;
};

// Answers the settings dialog that the controller opens.
void CALLBACK AnswerSettings(HWND, UINT, UINT_PTR nID, DWORD)
{
    HWND hDlg = ::FindWindowA(NULL, " ｵﾌﾟｼｮﾝ設定");
    if (!hDlg)
        return;
    ::KillTimer(NULL, nID);
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}
} // namespace

TEST_F(SettingsTest, ControllerHidesTheReminderAndRestartsTheCountdown)
{
    CControllerProbe dlg;
    ASSERT_TRUE(dlg.Create(IDD_GLIMWICK_DIALOG));
    dlg.SendMessage(WM_TIMER, CGlimwickDlg::TIMER_REMINDER);
    EXPECT_TRUE(dlg.m_wndBalloon.IsWindowVisible()) << "a reminder is up";
    StoreInterval(CStoredSettings::INTERVAL_NONE);

    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, AnswerSettings);
    dlg.SendMessage(WM_COMMAND, ID_MENU_SETTINGS);
    ::KillTimer(NULL, nTimer);
    EXPECT_FALSE(dlg.m_wndBalloon.IsWindowVisible()) << "hidden at once";
    EXPECT_FALSE(::KillTimer(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER)) << "Cancel, yet the stored none applies";

    StoreInterval(0);
    ::SetTimer(NULL, 0, 50, AnswerSettings);
    dlg.SendMessage(WM_COMMAND, ID_MENU_SETTINGS);
    EXPECT_TRUE(::KillTimer(dlg.m_hWnd, CGlimwickDlg::TIMER_REMINDER)) << "restarted from the stored interval";
    dlg.DestroyWindow();
}

TEST_F(SettingsTest, UnregistDeletesTheKeyButNotItsParent)
{
    ASSERT_TRUE(EndRunningProgram());
    StoreInterval(3);
    Store("Message", REG_SZ, "x", 2);
    CChildProcess program;
    ASSERT_NE(nullptr, StartProgram(program));
    CChildProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start("\"" + ProgramFolder() + "Glimwick.exe\" /unregist"));
    // The first icon search holds the program's thread for seconds on a busy
    // machine; the request to end waits in its queue until then.
    EXPECT_TRUE(program.WaitForExit(15000));
    EXPECT_TRUE(uninstaller.WaitForExit(15000));
    HKEY hKey = NULL;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kSubkey, 0, KEY_READ, &hKey));
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\MOSS-HARK", 0, KEY_READ, &hKey));
    ::RegCloseKey(hKey);
}

namespace
{
// Another process's controls answer text in UTF-16.
std::wstring ControlTextW(HWND hWnd)
{
    wchar_t sz[512] = {};
    ::SendMessageW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(sz));
    return sz;
}

std::wstring ToWide(const char* psz)
{
    wchar_t sz[512] = {};
    ::MultiByteToWideChar(932, 0, psz, -1, sz, 512);
    return sz;
}
} // namespace

TEST_F(SettingsTest, InTheProgramFromTheTrayMenu)
{
    ASSERT_TRUE(EndRunningProgram());
    CChildProcess program;
    HWND hWnd = StartProgram(program);
    ASSERT_NE(nullptr, hWnd);
    ::PostMessageA(::GetDlgItem(hWnd, GLIMWICK_TRAY_ICON_ID), WM_COMMAND, ID_MENU_SETTINGS, 0);
    HWND hDlg = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (hDlg = ::FindWindowA(NULL, " ｵﾌﾟｼｮﾝ設定")) != NULL; }, 5000));
    PumpMessages(300);
    SaveScreenshot("settings.bmp");

    HWND hCombo = ::GetDlgItem(hDlg, IDC_INTERVAL);
    const int nSel = static_cast<int>(::SendMessageW(hCombo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, nSel);
    wchar_t szItem[64] = {};
    ::SendMessageW(hCombo, CB_GETLBTEXT, nSel, reinterpret_cast<LPARAM>(szItem));
    EXPECT_EQ(ToWide("１０分おき"), szItem);
    EXPECT_EQ(ToWide(CStoredSettings::DEFAULT_MESSAGE), ControlTextW(::GetDlgItem(hDlg, IDC_MESSAGE)));

    // Choose "なし" and OK: 5 is stored.
    ::SendMessageW(hCombo, CB_SETCURSEL, 5, 0);
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([] { return ::FindWindowA(NULL, " ｵﾌﾟｼｮﾝ設定") == NULL; }, 5000));
    DWORD dw = 0;
    EXPECT_TRUE(WaitUntil([&] { return StoredDword("Interval", &dw); }, 2000));
    EXPECT_EQ(5u, dw);
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}
