#ifndef GLIMWICK_FRAME_MENU_H
#define GLIMWICK_FRAME_MENU_H

#include <windows.h>

// A menu handle. The object destroys the menu it holds when it goes,
// unless the menu was detached first (a submenu belongs to its parent).
class CMenu
{
public:
    CMenu() = default;
    virtual ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = NULL;
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // FALSE, with nothing held, when the resource is missing.
    BOOL LoadMenu(UINT nIDResource);
    // FALSE if a menu is already held or hMenu is NULL.
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();

    // The submenu at nPos, or NULL; it stays owned by this menu.
    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR pszNewItem = nullptr)
    {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, pszNewItem);
    }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hWndOwner) const
    {
        return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hWndOwner, NULL);
    }
};

#endif
