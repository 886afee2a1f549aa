// The framework's core: objects and run-time classes, archive, files,
// strings, collections, geometry, exceptions and the failure helper.
#pragma once

#include "framework/core/Types.h"
#include "framework/core/Object.h"
#include "framework/core/Strings.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/core/Archive.h"
#include "framework/core/Arrays.h"
#include "framework/core/Lists.h"
#include "framework/core/Maps.h"
#include "framework/core/Geometry.h"
#include "framework/core/OperationError.h"
