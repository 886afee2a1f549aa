#include "print/LightScribeGeometry.h"

float g_lightScribeGeometry[8] = {0.0f, 0.0f, 4622.0f, 4622.0f, 1374.0f, 1374.0f, 1874.0f, 1874.0f};
