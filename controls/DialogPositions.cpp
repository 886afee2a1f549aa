// The remembered dialog positions (the settings load and store them).
#include "controls/DialogPositions.h"

POINT g_dialogPositions[6] = {};
