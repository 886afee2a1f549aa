// The disc-lookup settings live with the disc lookup; the settings store loads and saves them.
#pragma once

#include "disc/SettingsLookup.h"
