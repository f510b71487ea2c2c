#include "frame/Dialog.h"

#include "frame/DataExchange.h"
#include "frame/WinApp.h"

#include <algorithm>
#include <cstring>

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent)
{
}

BOOL CDialog::CreateFromTemplate(HWND hWndOwner)
{
    if (m_hWnd)
        return FALSE;
    ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner,
                         StaticDialogProc, reinterpret_cast<LPARAM>(this));
    // A system-modal template means a topmost window; not every dialog
    // manager makes it so by itself.
    if (m_hWnd && (GetStyle() & DS_SYSMODAL))
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return m_hWnd != NULL;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParent)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    return CreateFromTemplate(pParent ? pParent->m_hWnd : NULL);
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the dialog is owned by the main window, as a modal
    // box of the program must block the program's own window.
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND hWndOwner = pOwner && pOwner != this ? pOwner->m_hWnd : NULL;
    const BOOL bEnableOwner = hWndOwner && ::IsWindowEnabled(hWndOwner);
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, FALSE);

    INT_PTR nResult = -1;
    if (CreateFromTemplate(hWndOwner))
    {
        // A modal box is shown whether or not its template says visible.
        if (m_hWnd && !IsWindowVisible())
            ShowWindow(SW_SHOWNORMAL);
        nResult = RunModalLoop();
        if (m_hWnd)
            SetWindowPos(NULL, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    if (ContinueModal())
        EndModalLoop(nResult);
    else
        DestroyWindow();
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::ExecuteDlgInit()
{
    // The entries of resource type 240: control id (WORD), message (WORD,
    // the 16-bit add-string codes), length (DWORD), then that many bytes of
    // zero-terminated text; a zero control id ends the list.
    const WORD kDlgInit = 240;
    const WORD kAddStringListBox = 0x0401;
    const WORD kAddStringComboBox = 0x0403;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(kDlgInit));
    if (!hRes)
        return TRUE;
    const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hRes)));
    const DWORD cbTotal = ::SizeofResource(hInst, hRes);
    if (!p)
        return FALSE;
    DWORD nPos = 0;
    while (nPos + 2 <= cbTotal)
    {
        WORD nIDC, nMsg;
        DWORD cbData;
        std::memcpy(&nIDC, p + nPos, 2);
        if (nIDC == 0)
            return TRUE;
        if (nPos + 8 > cbTotal)
            return FALSE;
        std::memcpy(&nMsg, p + nPos + 2, 2);
        std::memcpy(&cbData, p + nPos + 4, 4);
        nPos += 8;
        if (cbData > cbTotal - nPos)
            return FALSE;
        // The text must end inside its entry.
        const char* pszText = reinterpret_cast<const char*>(p + nPos);
        if (cbData == 0 || pszText[cbData - 1] != '\0')
            return FALSE;
        const UINT nWin32Msg = nMsg == kAddStringComboBox ? CB_ADDSTRING
                               : nMsg == kAddStringListBox ? LB_ADDSTRING
                                                           : 0;
        if (nWin32Msg)
            ::SendDlgItemMessageA(m_hWnd, nIDC, nWin32Msg, 0, reinterpret_cast<LPARAM>(pszText));
        nPos += cbData;
    }
    return nPos == cbTotal;
}

BOOL CDialog::ShouldCentre(const RECT& rcBefore) const
{
    // Children and windows shown already keep their place, and so does a
    // dialog that moved itself while it initialised. A modeless box with an
    // enabled owner (the Loupe, the balloon) places itself.
    if (GetStyle() & (WS_CHILD | WS_VISIBLE))
        return FALSE;
    RECT rcNow;
    ::GetWindowRect(m_hWnd, &rcNow);
    if (!::EqualRect(&rcBefore, &rcNow))
        return FALSE;
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    return !hOwner || !::IsWindowEnabled(hOwner);
}

void CDialog::CentreOnOwner()
{
    // On the owner when it can be seen, otherwise on the work area of the
    // screen the dialog is on; kept inside that work area either way.
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    HMONITOR hMonitor = ::MonitorFromWindow(hOwner ? hOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (!::GetMonitorInfoA(hMonitor, &mi))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &mi.rcWork, 0);
    const RECT& rcWork = mi.rcWork;
    RECT rcCentre = rcWork;
    if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &rcCentre);

    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    int x = (rcCentre.left + rcCentre.right - cx) / 2;
    int y = (rcCentre.top + rcCentre.bottom - cy) / 2;
    x = std::max(static_cast<int>(rcWork.left), std::min(x, static_cast<int>(rcWork.right) - cx));
    y = std::max(static_cast<int>(rcWork.top), std::min(y, static_cast<int>(rcWork.bottom) - cy));
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
    {
        RECT rcBefore;
        ::GetWindowRect(m_hWnd, &rcBefore);
        const BOOL bResult = OnInitDialog();
        if (m_hWnd && ShouldCentre(rcBefore))
            CentreOnOwner();
        return bResult;
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(UINT nID, UINT nCode, HWND hWndControl)
{
    if (nCode == BN_CLICKED)
    {
        if (nID == IDOK)
        {
            OnOK();
            return TRUE;
        }
        if (nID == IDCANCEL)
        {
            OnCancel();
            return TRUE;
        }
    }
    return CWnd::OnCommand(nID, nCode, hWndControl);
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only WM_INITDIALOG is handled here: it attaches the object and routes
    // the window's messages through the object's WindowProc, whose default
    // processing comes back here and is answered "not handled".
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg || !pDlg->SubclassWindow(hWnd))
        return FALSE;
    return StaticWindowProc(hWnd, message, wParam, lParam);
}
