// The disc-printer label geometry lives with the design model's page sizes; this name stays for callers.
#pragma once

#include "model/PageSizes.h"
