// One track read from a disc.
#pragma once

#include "framework/core.h"

struct TrackRecord {
  CString title;
};
