#ifndef GLIMWICK_APP_GLIMWICKAPP_H
#define GLIMWICK_APP_GLIMWICKAPP_H

#include "frame/WinApp.h"

// The process's entry into the program: uninstall, end as a duplicate, or
// run the tray eye inside the controller's loop. Never runs a loop of its
// own.
class CGlimwickApp : public CWinApp
{
public:
    BOOL InitInstance() override;
};

#endif
