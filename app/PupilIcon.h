#ifndef GLIMWICK_APP_PUPILICON_H
#define GLIMWICK_APP_PUPILICON_H

#include <windows.h>

class CTrayIcon;

// The open eyes with the pupils drawn into the icon, for a composed
// desktop, where pupils painted on the screen would not last. It makes a
// new icon only when the pupils moved, shows it, and destroys the one it
// replaced, so that it holds one icon however long the eyes follow the
// pointer.
class CPupilIcon
{
public:
    CPupilIcon() = default;
    ~CPupilIcon();
    CPupilIcon(const CPupilIcon&) = delete;
    CPupilIcon& operator=(const CPupilIcon&) = delete;

    // Shows hOpen with the pupils at the offsets ptLeft and ptRight (from
    // the located rectangle's corner, as the painted pupils have them) in
    // tray, unless it shows them already.
    void Show(CTrayIcon& tray, HICON hOpen, POINT ptLeft, POINT ptRight);

private:
    // A copy of hOpen with the pupils drawn in; NULL when none can be made.
    static HICON Compose(HICON hOpen, POINT ptLeft, POINT ptRight);

    HICON m_hIcon = NULL;
    POINT m_ptLeft = {};
    POINT m_ptRight = {};
};

#endif
