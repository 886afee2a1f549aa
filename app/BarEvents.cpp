// The frame-side helpers of the bar events.
#include "app/BarEvents.h"

CString PageObjectName(int sideIndex) {
    CString name;
    name.Format("Page %d", sideIndex);
    return name;
}
