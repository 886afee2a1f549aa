// One track read from a disc.
#pragma once

#include "framework/Core.h"

struct TrackRecord {
    CString title;
};
