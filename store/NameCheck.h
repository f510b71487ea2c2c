#ifndef GLIMWICK_STORE_NAMECHECK_H
#define GLIMWICK_STORE_NAMECHECK_H

#include "frame/String.h"

#include <cstring>

// The registry takes paths and value names as C strings and stops at the
// first zero byte: a text holding one would reach another key or value
// than the one named, so the registry object refuses it.
inline bool HasZeroByte(const CString& str)
{
    return static_cast<int>(std::strlen(str)) != str.GetLength();
}

#endif
