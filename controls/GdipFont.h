// CreateGdipFont lives with the framework's graphics helpers; this name stays for callers.
#pragma once

#include "framework/graphics/GdipFont.h"
