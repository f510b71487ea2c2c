#ifndef GLIMWICK_FRAME_DATAEXCHANGE_H
#define GLIMWICK_FRAME_DATAEXCHANGE_H

#include "frame/String.h"
#include "frame/Wnd.h"

// One transfer between a dialog's fields and its controls: towards the
// controls, or (m_bSaveAndValidate) back into the fields.
class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND Control(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }
};

// The selected item of a combo box as an index; -1 for none. A missing
// control leaves the field as it is.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& nIndex);
// The text of a control, of any length.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& strValue);
// Attaches the object to the control once; later transfers change nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

#endif
