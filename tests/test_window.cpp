// Window objects, message dispatch, subclassing, and modal and modeless
// dialogs, on real windows.
#include "frame/DataExchange.h"
#include "frame/Dialog.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace
{
const UINT WM_PROBE_ANSWER = WM_APP + 1;
const UINT WM_PROBE_THROW = WM_APP + 2;
const UINT_PTR TIMER_PROBE = 5;
const UINT IDD_PROBE = 500;
const UINT IDC_PROBE_EDIT = 1001;

class CProbeWnd : public CWnd
{
public:
    ~CProbeWnd() override
    {
        if (m_pbDestroyed)
            *m_pbDestroyed = true;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message)
        {
        case WM_CREATE:
            ++m_nCreates;
            break;
        case WM_PROBE_ANSWER:
            return OnAnswer(wParam, lParam);
        case WM_PROBE_THROW:
            throw std::runtime_error("handler failed");
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PreSubclassWindow() override { m_hWndAtPreSubclass = m_hWnd; ++m_nPreSubclass; }
    void PostNcDestroy() override
    {
        ++m_nFinal;
        if (m_bSelfDelete)
            delete this;
    }

    void OnTimer(UINT_PTR nID) override { m_timers.push_back(nID); }
    // Command n answers n; 20 first sends itself 21, which answers for itself.
    BOOL OnCommand(UINT nID, UINT, HWND) override
    {
        if (nID == 22)
            return TRUE;
        SetMessageResult(nID);
        if (nID == 20)
            m_lInnerResult = SendMessage(WM_COMMAND, 21);
        return TRUE;
    }
    LRESULT OnAnswer(WPARAM a, LPARAM b) { return static_cast<LRESULT>(a + b); }

    BOOL CreateFrame(LPCSTR pszName, DWORD dwStyle = WS_OVERLAPPED)
    {
        const RECT rc = {10, 10, 110, 60};
        return CreateEx(0, NULL, pszName, dwStyle, rc, nullptr, 0);
    }

    int m_nCreates = 0;
    LRESULT m_lInnerResult = 0;
    int m_nPreSubclass = 0;
    int m_nFinal = 0;
    HWND m_hWndAtPreSubclass = NULL;
    std::vector<UINT_PTR> m_timers;
    bool m_bSelfDelete = false;
    bool* m_pbDestroyed = nullptr;
};

// A dialog that records what reached it and can end itself from a timer.
class CProbeDlg : public CDialog
{
public:
    explicit CProbeDlg(CWnd* pParent = nullptr) : CDialog(IDD_PROBE, pParent) {}

    BOOL OnInitDialog() override
    {
        ++m_nInits;
        m_bEditAtInit = ::GetDlgItem(m_hWnd, IDC_PROBE_EDIT) != NULL;
        m_bOwnerEnabledAtInit = m_hWndOwnerToCheck && ::IsWindowEnabled(m_hWndOwnerToCheck);
        if (m_nEndAfterMs)
            SetTimer(TIMER_PROBE, m_nEndAfterMs);
        if (m_postAtInit.message)
            PostMessage(m_postAtInit.message, m_postAtInit.wParam, m_postAtInit.lParam);
        return TRUE;
    }
    void OnTimer(UINT_PTR nIDEvent) override
    {
        if (nIDEvent == TIMER_PROBE)
            OnProbeTimer();
    }
    void OnOK() override
    {
        ++m_nOK;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++m_nCancel;
        CDialog::OnCancel();
    }
    void OnProbeTimer()
    {
        KillTimer(TIMER_PROBE);
        if (m_pInner)
            m_nInnerResult = static_cast<int>(m_pInner->DoModal());
        m_bOuterStillRunningAfterInner = ContinueModal() != FALSE;
        if (m_bDestroyInsteadOfEnd)
            DestroyWindow();
        else
            EndDialog(m_nEndCode);
    }

    int m_nInits = 0;
    int m_nOK = 0;
    int m_nCancel = 0;
    bool m_bEditAtInit = false;
    bool m_bOwnerEnabledAtInit = true;
    HWND m_hWndOwnerToCheck = NULL;
    UINT m_nEndAfterMs = 0;
    int m_nEndCode = 0;
    bool m_bDestroyInsteadOfEnd = false;
    MSG m_postAtInit = {};
    CProbeDlg* m_pInner = nullptr;
    int m_nInnerResult = 0;
    bool m_bOuterStillRunningAfterInner = false;
};
} // namespace

TEST(Dispatch, TypedHandlersAndDefaultProcessing)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateFrame("probe window"));
    EXPECT_EQ(1, wnd.m_nCreates);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(::GetDesktopWindow()));

    EXPECT_EQ(42, wnd.SendMessage(WM_PROBE_ANSWER, 40, 2));
    // A handler's own result, also around a message sent from inside it.
    EXPECT_EQ(20, wnd.SendMessage(WM_COMMAND, 20));
    EXPECT_EQ(21, wnd.m_lInnerResult);
    EXPECT_EQ(0, wnd.SendMessage(WM_COMMAND, 22)) << "a command's usual result";
    // Unhandled messages reach the default processing.
    char szText[32] = {};
    EXPECT_EQ(12, wnd.SendMessage(WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText)));
    EXPECT_STREQ("probe window", szText);

    ASSERT_NE(0u, wnd.SetTimer(7, 10));
    EXPECT_TRUE(PumpUntil([&] { return wnd.m_timers.size() >= 2; }, 2000));
    EXPECT_TRUE(wnd.KillTimer(7));
    EXPECT_FALSE(wnd.KillTimer(7)) << "a killed timer is gone";
    EXPECT_EQ(7u, wnd.m_timers.front());
}

TEST(Dispatch, ExceptionStopsAtTheWindowProcedure)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateFrame("thrower"));
    EXPECT_EQ(0, wnd.SendMessage(WM_PROBE_THROW));
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    EXPECT_EQ(3, wnd.SendMessage(WM_PROBE_ANSWER, 1, 2)) << "the window keeps working";
}

TEST(Lifetime, DestroyingTheWindowDetachesTheObject)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateFrame("short-lived"));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(NULL, wnd.m_hWnd);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(1, wnd.m_nFinal);
    EXPECT_FALSE(wnd.DestroyWindow()) << "nothing left to destroy";
}

TEST(Lifetime, DestroyingTheObjectDestroysItsWindow)
{
    HWND hWnd = NULL;
    {
        CProbeWnd wnd;
        ASSERT_TRUE(wnd.CreateFrame("scoped"));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(Lifetime, ObjectMayDeleteItselfAfterTheLastMessage)
{
    bool bDestroyed = false;
    CProbeWnd* pWnd = new CProbeWnd;
    pWnd->m_bSelfDelete = true;
    pWnd->m_pbDestroyed = &bDestroyed;
    ASSERT_TRUE(pWnd->CreateFrame("self-deleting"));
    HWND hWnd = pWnd->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_TRUE(bDestroyed);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(Subclass, SystemControlIsRoutedAndGivenBack)
{
    CProbeWnd parent;
    ASSERT_TRUE(parent.CreateFrame("parent"));
    CProbeWnd child;
    const RECT rc = {0, 0, 10, 10};
    ASSERT_TRUE(child.CreateEx(0, "STATIC", "", WS_CHILD, rc, &parent, 1102));
    EXPECT_EQ(1, child.m_nPreSubclass);
    EXPECT_EQ(child.m_hWnd, child.m_hWndAtPreSubclass) << "the window is known before routing starts";
    EXPECT_EQ(1102, ::GetDlgCtrlID(child.m_hWnd));
    EXPECT_EQ(9, child.SendMessage(WM_PROBE_ANSWER, 4, 5));

    CProbeWnd second;
    EXPECT_FALSE(second.SubclassWindow(child.m_hWnd)) << "one object per window";
    EXPECT_FALSE(second.SubclassWindow(NULL));

    WNDCLASSA wc = {};
    ASSERT_TRUE(::GetClassInfoA(NULL, "STATIC", &wc));
    HWND hWnd = child.UnsubclassWindow();
    ASSERT_EQ(child.m_hWndAtPreSubclass, hWnd);
    EXPECT_EQ(NULL, child.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(0, ::SendMessageA(hWnd, WM_PROBE_ANSWER, 4, 5)) << "the probe no longer answers";
    EXPECT_TRUE(second.SubclassDlgItem(1102, &parent));
    EXPECT_EQ(hWnd, second.m_hWnd);
}

TEST(ModelessDialog, CreatedFromTemplateAndDestroyedByOK)
{
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    EXPECT_EQ(1, dlg.m_nInits);
    EXPECT_TRUE(dlg.m_bEditAtInit) << "controls exist when OnInitDialog runs";
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_FALSE(dlg.Create(IDD_PROBE)) << "a second window for the same object";

    HWND hWnd = dlg.m_hWnd;
    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(1, dlg.m_nOK);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(NULL, dlg.m_hWnd);
}

TEST(ModelessDialog, MissingTemplateFails)
{
    CDialog dlg(9999);
    EXPECT_FALSE(dlg.Create(9999));
    EXPECT_EQ(NULL, dlg.m_hWnd);
    EXPECT_EQ(-1, dlg.DoModal());
}

TEST(ModelessDialog, RunModalLoopReturnsTheCodeOfOK)
{
    // The program's controller runs this way: modeless, then a modal loop.
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    dlg.PostMessage(WM_COMMAND, IDOK, 0);
    EXPECT_EQ(IDOK, dlg.RunModalLoop());
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the loop's end leaves the window to its owner";
    dlg.DestroyWindow();
}

TEST(ModalDialog, EndDialogCodeAndOwnerDisabledMeanwhile)
{
    CProbeWnd owner;
    ASSERT_TRUE(owner.CreateFrame("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    CProbeDlg dlg(&owner);
    dlg.m_hWndOwnerToCheck = owner.m_hWnd;
    dlg.m_nEndAfterMs = 30;
    dlg.m_nEndCode = 7;
    EXPECT_EQ(7, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_nInits);
    EXPECT_FALSE(dlg.m_bOwnerEnabledAtInit) << "the owner is disabled while the dialog runs";
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd)) << "and enabled again afterwards";
    EXPECT_EQ(NULL, dlg.m_hWnd) << "DoModal destroys its window";
}

TEST(ModalDialog, CommandsAndKeysEndTheLoop)
{
    struct Case
    {
        UINT message;
        WPARAM wParam;
        INT_PTR nExpected;
        int nOK;
        int nCancel;
    };
    const Case kCases[] = {
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK, 1, 0},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL, 0, 1},
        {WM_CLOSE, 0, IDCANCEL, 0, 1},
    };
    for (const Case& c : kCases)
    {
        CProbeDlg dlg;
        dlg.m_postAtInit.message = c.message;
        dlg.m_postAtInit.wParam = c.wParam;
        EXPECT_EQ(c.nExpected, dlg.DoModal()) << "message " << c.message;
        EXPECT_EQ(c.nOK, dlg.m_nOK);
        EXPECT_EQ(c.nCancel, dlg.m_nCancel);
    }
}

TEST(ModalDialog, EscapeGoesThroughTheDialogManager)
{
    class CEscapeDlg : public CProbeDlg
    {
    public:
        BOOL OnInitDialog() override
        {
            CProbeDlg::OnInitDialog();
            HWND hEdit = ::GetDlgItem(m_hWnd, IDC_PROBE_EDIT);
            ::SetFocus(hEdit);
            ::PostMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            return FALSE;
        }
    } dlg;
    dlg.m_nEndAfterMs = 3000;
    dlg.m_nEndCode = 99;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_nCancel);
}

TEST(ModalDialog, NestedLoopsEndInOrder)
{
    CProbeDlg inner;
    inner.m_nEndAfterMs = 20;
    inner.m_nEndCode = 11;
    CProbeDlg outer;
    outer.m_nEndAfterMs = 20;
    outer.m_nEndCode = 22;
    outer.m_pInner = &inner;
    EXPECT_EQ(22, outer.DoModal());
    EXPECT_EQ(11, outer.m_nInnerResult);
    EXPECT_TRUE(outer.m_bOuterStillRunningAfterInner) << "the inner loop ended only itself";
}

TEST(ModalDialog, LoopEndsWhenTheWindowGoesAway)
{
    CProbeDlg dlg;
    dlg.m_nEndAfterMs = 20;
    dlg.m_bDestroyInsteadOfEnd = true;
    EXPECT_EQ(-1, dlg.DoModal());
}

TEST(ModalDialog, QuitMessageEndsTheLoopAndIsKept)
{
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_PROBE));
    ::PostQuitMessage(3);
    EXPECT_EQ(-1, dlg.RunModalLoop());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
    dlg.DestroyWindow();
}

namespace
{
const UINT IDD_EXCHANGE = 501;
const UINT IDD_BAD_INIT = 502;
const int IDC_COMBO = 1003;
const int IDC_TEXT = 1005;
const int IDC_LABEL = 1006;

class CExchangeDlg : public CDialog
{
public:
    explicit CExchangeDlg(UINT nID = IDD_EXCHANGE) : CDialog(nID) {}
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++m_nExchanges;
        DDX_CBIndex(pDX, IDC_COMBO, m_nIndex);
        DDX_Text(pDX, IDC_TEXT, m_strText);
        DDX_Control(pDX, IDC_LABEL, m_label);
    }
    int m_nIndex = -1;
    CString m_strText;
    CProbeWnd m_label;
    int m_nExchanges = 0;
};

std::string ComboItem(HWND hDlg, int nIndex)
{
    char sz[64] = {};
    ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(sz));
    return sz;
}
} // namespace

TEST(DataExchange, InitialDataAndTransfersBothWays)
{
    CExchangeDlg dlg;
    dlg.m_nIndex = 1;
    dlg.m_strText = "一行目\r\n二行目";
    ASSERT_TRUE(dlg.Create(IDD_EXCHANGE));
    HWND hDlg = dlg.m_hWnd;
    ASSERT_EQ(3, ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_GETCOUNT, 0, 0));
    EXPECT_EQ("１０", ComboItem(hDlg, 0));
    EXPECT_EQ("なし", ComboItem(hDlg, 1));
    EXPECT_EQ("x", ComboItem(hDlg, 2));
    EXPECT_EQ(1, ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_GETCURSEL, 0, 0)) << "the field went into the control";
    char szText[64] = {};
    ::GetDlgItemTextA(hDlg, IDC_TEXT, szText, sizeof szText);
    EXPECT_STREQ("一行目\r\n二行目", szText);
    EXPECT_NE(nullptr, dlg.m_label.m_hWnd) << "the control object is attached";
    HWND hLabel = dlg.m_label.m_hWnd;

    ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_SETCURSEL, 2, 0);
    const std::string strLong(5000, 'z');
    ::SetDlgItemTextA(hDlg, IDC_TEXT, strLong.c_str());
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(2, dlg.m_nIndex);
    EXPECT_EQ(5000, dlg.m_strText.GetLength()) << "text of any length comes back whole";
    EXPECT_EQ(hLabel, dlg.m_label.m_hWnd) << "attached once only";

    ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(-1, dlg.m_nIndex) << "no selection";
    dlg.m_nIndex = 7;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(-1, ::SendDlgItemMessageA(hDlg, IDC_COMBO, CB_GETCURSEL, 0, 0)) << "an index past the items selects none";
    dlg.DestroyWindow();
}

TEST(DataExchange, OkSavesThenEndsCancelDoesNot)
{
    struct Case
    {
        WPARAM nCommand;
        int nExpectedIndex;
    };
    const Case kCases[] = {{IDOK, 0}, {IDCANCEL, 2}};
    for (const Case& c : kCases)
    {
        CExchangeDlg dlg;
        dlg.m_nIndex = 2;
        ASSERT_TRUE(dlg.Create(IDD_EXCHANGE));
        ::SendDlgItemMessageA(dlg.m_hWnd, IDC_COMBO, CB_SETCURSEL, 0, 0);
        dlg.PostMessage(WM_COMMAND, c.nCommand, 0);
        EXPECT_EQ(static_cast<int>(c.nCommand), dlg.RunModalLoop());
        EXPECT_EQ(c.nExpectedIndex, dlg.m_nIndex) << "command " << c.nCommand;
        dlg.DestroyWindow();
    }
}

TEST(DataExchange, MalformedInitialDataStopsAtTheFault)
{
    CExchangeDlg dlg(IDD_BAD_INIT);
    ASSERT_TRUE(dlg.Create(IDD_BAD_INIT));
    EXPECT_EQ(1, ::SendDlgItemMessageA(dlg.m_hWnd, IDC_COMBO, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(dlg.ExecuteDlgInit());
    dlg.DestroyWindow();
}

namespace
{
// A hidden dialog that may put itself somewhere while it initialises.
class CPlacedDlg : public CDialog
{
public:
    CPlacedDlg(CWnd* pOwner, bool bMovesItself) : CDialog(IDD_EXCHANGE, pOwner), m_bMovesItself(bMovesItself) {}
    BOOL OnInitDialog() override
    {
        if (m_bMovesItself)
            SetWindowPos(NULL, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return CDialog::OnInitDialog();
    }
    bool m_bMovesItself;
};

POINT Centre(const RECT& rc)
{
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
} // namespace

TEST(DialogPlacement, CentredOnTheOwnerOrTheWorkAreaUnlessPlacedByItself)
{
    RECT rcWork;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0));
    const RECT rcOwner = {100, 100, 500, 400};
    struct Case
    {
        bool bOwner;
        bool bOwnerVisible;
        bool bMovesItself;
        POINT ptCentre; // (0, 0): where it put itself
    };
    const Case kCases[] = {
        {false, false, false, Centre(rcWork)},
        {true, true, false, Centre(rcOwner)},
        {true, false, false, Centre(rcWork)},
        {false, false, true, {0, 0}},
    };
    for (const Case& c : kCases)
    {
        CProbeWnd owner;
        ASSERT_TRUE(owner.CreateFrame("owner", WS_OVERLAPPEDWINDOW | (c.bOwnerVisible ? WS_VISIBLE : 0)));
        ::MoveWindow(owner.m_hWnd, rcOwner.left, rcOwner.top, rcOwner.right - rcOwner.left,
                     rcOwner.bottom - rcOwner.top, FALSE);
        // Disabled, as a modal box's owner is.
        ::EnableWindow(owner.m_hWnd, FALSE);
        CPlacedDlg dlg(c.bOwner ? &owner : nullptr, c.bMovesItself);
        ASSERT_TRUE(dlg.Create(IDD_EXCHANGE, c.bOwner ? &owner : nullptr));
        RECT rc;
        ::GetWindowRect(dlg.m_hWnd, &rc);
        if (c.bMovesItself)
        {
            EXPECT_EQ(7, rc.left);
            EXPECT_EQ(9, rc.top);
        }
        else
        {
            EXPECT_NEAR(c.ptCentre.x, Centre(rc).x, 1) << c.bOwner << c.bOwnerVisible;
            EXPECT_NEAR(c.ptCentre.y, Centre(rc).y, 1) << c.bOwner << c.bOwnerVisible;
        }
        dlg.DestroyWindow();
    }
}
