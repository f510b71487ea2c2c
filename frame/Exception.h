#ifndef GLIMWICK_FRAME_EXCEPTION_H
#define GLIMWICK_FRAME_EXCEPTION_H

#include <windows.h>

// The framework's exceptions: thrown by value, caught as const CException&.
// Drawing code catches them where an operation must end with a neutral
// result instead.
class CException
{
public:
    virtual ~CException() = default;
    // A short English description for diagnostics.
    virtual LPCSTR GetErrorMessage() const = 0;
};

// A GDI or user-interface object could not be created.
class CResourceException : public CException
{
public:
    LPCSTR GetErrorMessage() const override { return "RESOURCE EXCEPTION"; }
};

// The framework ran out of memory.
class CMemoryException : public CException
{
public:
    LPCSTR GetErrorMessage() const override { return "MEMORY EXCEPTION"; }
};

[[noreturn]] inline void AfxThrowResourceException() { throw CResourceException(); }
[[noreturn]] inline void AfxThrowMemoryException() { throw CMemoryException(); }

#endif
