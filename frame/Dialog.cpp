#include "frame/Dialog.h"

#include "frame/WinApp.h"

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
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
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
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
        {
            if (LOWORD(wParam) == IDOK)
            {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL)
            {
                OnCancel();
                return 0;
            }
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
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
