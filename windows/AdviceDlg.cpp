#include "windows/AdviceDlg.h"

#include "res/resource.h"

CAdviceDlg::CAdviceDlg(CWnd* pParent) : CDialog(IDD_ADVICE, pParent)
{
}
