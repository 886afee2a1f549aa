// Basic types shared by the framework's core classes.
#pragma once

#include <windows.h>

// An opaque iteration position in a list or map (a node of the container).
struct KvPositionTag;
typedef KvPositionTag* POSITION;

// Passed to the map iteration helpers: "before the first element".
#define BEFORE_START_POSITION ((POSITION)-1L)

// A function pointer as another function type: a function of a library loaded at run time
// (GetProcAddress) as the type it has there, or a function as a FARPROC. It goes through the
// generic function type, which the compiler's check of casts between function types accepts.
template <class To, class From>
inline To AfxFunctionCast(From function) {
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}
