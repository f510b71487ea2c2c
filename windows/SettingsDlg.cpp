#include "windows/SettingsDlg.h"

#include "frame/DataExchange.h"
#include "frame/Ime.h"
#include "res/resource.h"
#include "store/StoredSettings.h"

CSettingsDlg::CSettingsDlg(CWnd* pParent) : CDialog(IDD_SETTINGS, pParent)
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
    m_nInterval = static_cast<int>(CStoredSettings::ReadInterval());
    m_strMessage = CStoredSettings::MessageToEdit();
    UpdateData(FALSE);
    return TRUE;
}

void CSettingsDlg::OnOK()
{
    UpdateData(TRUE);
    // An empty message is stored empty: the default shows in its place.
    CStoredSettings::WriteInterval(static_cast<DWORD>(m_nInterval));
    CStoredSettings::WriteMessage(m_strMessage);
    CDialog::OnOK();
}

BOOL CSettingsDlg::DestroyWindow()
{
    if (m_hWnd)
        WINNLSEnableIME(m_hWnd, FALSE);
    return CDialog::DestroyWindow();
}
