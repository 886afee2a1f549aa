// ShadeColor and Draw3dFrame live with the framework's graphics helpers; this name stays for callers.
#pragma once

#include "framework/graphics/Frame3d.h"
