// Basic types shared by the framework's core classes.
#pragma once

#include <windows.h>

// An opaque iteration position in a list or map (a node of the container).
struct KvPositionTag;
typedef KvPositionTag* POSITION;

// Passed to the map iteration helpers: "before the first element".
#define BEFORE_START_POSITION ((POSITION)-1L)
