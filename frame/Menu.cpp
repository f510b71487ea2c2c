#include "frame/Menu.h"

#include "frame/WinApp.h"

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    if (m_hMenu)
        return FALSE;
    m_hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    return m_hMenu != NULL;
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu || !hMenu)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}
