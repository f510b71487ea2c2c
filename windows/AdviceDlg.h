#ifndef GLIMWICK_WINDOWS_ADVICEDLG_H
#define GLIMWICK_WINDOWS_ADVICEDLG_H

#include "frame/Dialog.h"

// The advice picture on eye care and posture, shown modally until closed.
class CAdviceDlg : public CDialog
{
public:
    explicit CAdviceDlg(CWnd* pParent = nullptr);
};

#endif
