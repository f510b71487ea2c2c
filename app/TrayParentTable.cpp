#include "app/TrayParentTable.h"

#include "frame/CriticalSection.h"

namespace
{
struct Entry
{
    HWND hParent;
    WNDPROC pfnPrevious;
    HWND hTray;
    int nCount;
};

// Constructed on first use; the construction of a function-local static is
// itself thread-safe.
struct Table
{
    CCriticalSection lock;
    Entry entries[CTrayParentTable::MAX_ENTRIES] = {};
};

Table& TheTable()
{
    static Table s_table;
    return s_table;
}

Entry* Find(Table& table, HWND hParent)
{
    for (Entry& e : table.entries)
    {
        if (e.hParent && e.hParent == hParent)
            return &e;
    }
    return nullptr;
}
} // namespace

BOOL CTrayParentTable::Register(HWND hParent, WNDPROC pfnPrevious, HWND hTray)
{
    Table& table = TheTable();
    CSingleLock lock(table.lock);
    if (Entry* pEntry = Find(table, hParent))
    {
        ++pEntry->nCount;
        return TRUE;
    }
    if (!hParent)
        return FALSE;
    for (Entry& e : table.entries)
    {
        if (!e.hParent)
        {
            e = {hParent, pfnPrevious, hTray, 1};
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CTrayParentTable::Remove(HWND hParent, WNDPROC* ppfnPrevious)
{
    Table& table = TheTable();
    CSingleLock lock(table.lock);
    Entry* pEntry = Find(table, hParent);
    if (!pEntry || --pEntry->nCount > 0)
        return FALSE;
    *ppfnPrevious = pEntry->pfnPrevious;
    *pEntry = Entry();
    return TRUE;
}

BOOL CTrayParentTable::Lookup(HWND hParent, WNDPROC* ppfnPrevious, HWND* phTray)
{
    Table& table = TheTable();
    CSingleLock lock(table.lock);
    const Entry* pEntry = Find(table, hParent);
    if (!pEntry)
        return FALSE;
    *ppfnPrevious = pEntry->pfnPrevious;
    *phTray = pEntry->hTray;
    return TRUE;
}
