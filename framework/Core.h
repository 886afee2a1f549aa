// The framework's core: objects and run-time classes, archive, files,
// strings, collections, geometry, exceptions, the failure helper and whole-file writing.
#pragma once

#include "framework/core/Types.h"
#include "framework/core/Object.h"
#include "framework/core/Strings.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/core/WholeFileWrite.h"
#include "framework/core/Archive.h"
#include "framework/core/Arrays.h"
#include "framework/core/Lists.h"
#include "framework/core/Maps.h"
#include "framework/core/Geometry.h"
#include "framework/core/OperationError.h"
