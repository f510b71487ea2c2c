#include "windows/SettingsDlg.h"

#include "frame/DataExchange.h"
#include "frame/Ime.h"
#include "res/resource.h"
#include "store/StoredSettings.h"

CSettingsDlg::CSettingsDlg(const CPolicies& policies, CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent), m_policies(policies)
{
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_INTERVAL, m_nInterval);
    DDX_Text(pDX, IDC_MESSAGE, m_strMessage);
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    WINNLSEnableIME(m_hWnd, TRUE);
    m_nInterval = static_cast<int>(m_policies.Interval());
    m_strMessage = m_policies.MessageToEdit();
    UpdateData(FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INTERVAL), !m_policies.SetsInterval());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MESSAGE), !m_policies.SetsMessage());
    return TRUE;
}

void CSettingsDlg::OnOK()
{
    UpdateData(TRUE);
    // A policy's value is the administrator's, not the user's choice. An
    // empty message is stored empty: the default shows in its place.
    if (!m_policies.SetsInterval())
        CStoredSettings::WriteInterval(static_cast<DWORD>(m_nInterval));
    if (!m_policies.SetsMessage())
        CStoredSettings::WriteMessage(m_strMessage);
    CDialog::OnOK();
}

BOOL CSettingsDlg::DestroyWindow()
{
    if (m_hWnd)
        WINNLSEnableIME(m_hWnd, FALSE);
    return CDialog::DestroyWindow();
}
