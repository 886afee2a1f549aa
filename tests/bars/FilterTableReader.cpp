// A global built at start-up from the table of image file types, in a library the linker places
// after the bars' own: its initialiser runs before the initialisers of the bars' files would.
#include "bars/ImageBrowseSettings.h"

extern const CString g_filtersReadAtStart;
const CString g_filtersReadAtStart = g_imageFilterPatterns[5] + "|" + g_imageFilterNames[6];
