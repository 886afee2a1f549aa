// The disc-printer label geometry in thousandths of an inch: the outer square (x, y, width,
// height) and the hole square (x, y, width, height).
#pragma once

extern float g_lightScribeGeometry[8];
