// CDirReader lives in the framework's core (the image panel and the MP3 scan both use it); this name stays for callers.
#pragma once

#include "framework/core/DirReader.h"
