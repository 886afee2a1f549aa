// The packed-DIB helpers live with the framework's graphics helpers; this name stays for callers.
#pragma once

#include "framework/graphics/DibHelpers.h"
