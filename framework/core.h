// The framework's core: objects and run-time classes, archive, files,
// strings, collections, geometry, exceptions and the failure helper.
#pragma once

#include "framework/core/types.h"
#include "framework/core/object.h"
#include "framework/core/cstring.h"
#include "framework/core/exceptions.h"
#include "framework/core/file.h"
#include "framework/core/archive.h"
#include "framework/core/arrays.h"
#include "framework/core/lists.h"
#include "framework/core/maps.h"
#include "framework/core/geometry.h"
#include "framework/core/operation_error.h"
