#ifndef GLIMWICK_FRAME_DIALOG_H
#define GLIMWICK_FRAME_DIALOG_H

#include "frame/Wnd.h"

class CDataExchange;

// A dialog from a template of the program's resources. Modal and modeless
// use are the same class: DoModal creates it with its owner disabled and runs
// a modal loop until OK or Cancel end the loop; Create makes it modeless, and
// then OK or Cancel destroy the window. After OnInitDialog a hidden popup
// that did not move itself and has no owner or a disabled one (a modal box)
// is centred on its owner, or on the work area when the owner is hidden or
// minimised.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);

    // Modeless creation; FALSE if the window could not be created.
    BOOL Create(UINT nIDTemplate, CWnd* pParent = nullptr);
    // Returns the code given to EndDialog, or -1 if the dialog could not be
    // created or its window went away.
    INT_PTR DoModal();
    void EndDialog(int nResult);

    // Fills the controls from the template's initial data, then the fields'
    // values into the controls.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}

    // Runs the data exchange: fields into controls (FALSE) or back (TRUE).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Sends the template's dialog-initialisation entries (add-string
    // messages for list and combo boxes) to their controls; FALSE when the
    // data is malformed (entries before the fault are sent).
    BOOL ExecuteDlgInit();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // OK and Cancel.
    BOOL OnCommand(UINT nID, UINT nCode, HWND hWndControl) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    // Whether the initialisation that just ran leaves the dialog to be
    // centred: rcBefore is where it stood before.
    BOOL ShouldCentre(const RECT& rcBefore) const;
    void CentreOnOwner();
    static INT_PTR CALLBACK StaticDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateFromTemplate(HWND hWndOwner);
};

#endif
