#ifndef GLIMWICK_WINDOWS_SETTINGSDLG_H
#define GLIMWICK_WINDOWS_SETTINGSDLG_H

#include "frame/Dialog.h"
#include "frame/String.h"
#include "store/Policies.h"

// The reminder's interval and text, read from and written to the stored
// settings. The input method editor is on only while it is open, so the
// message can be typed in Japanese. A value an administrator's policy sets
// shows the policy's value in a disabled control and is not stored.
class CSettingsDlg : public CDialog
{
public:
    explicit CSettingsDlg(const CPolicies& policies = CPolicies(), CWnd* pParent = nullptr);

    BOOL DestroyWindow() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The selected item: the interval index; -1 for none.
    int m_nInterval = -1;
    CString m_strMessage;

private:
    CPolicies m_policies;
};

#endif
