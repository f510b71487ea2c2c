#include "frame/DataExchange.h"

#include <vector>

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& nIndex)
{
    HWND hCombo = pDX->Control(nIDC);
    if (!hCombo)
        return;
    if (pDX->m_bSaveAndValidate)
        nIndex = static_cast<int>(::SendMessageA(hCombo, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& strValue)
{
    HWND hControl = pDX->Control(nIDC);
    if (!hControl)
        return;
    if (!pDX->m_bSaveAndValidate)
    {
        ::SetWindowTextA(hControl, strValue);
        return;
    }
    const int nLength = ::GetWindowTextLengthA(hControl);
    std::vector<char> buf(static_cast<size_t>(nLength) + 1);
    const int nCopied = ::GetWindowTextA(hControl, buf.data(), nLength + 1);
    strValue = CString(buf.data(), nCopied);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd)
        rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
}
