// The one installed canvas of the editing bars.
#include "bars/BarCanvas.h"

#include "bars/ViewBarCanvas.h"

namespace {
BarCanvas* g_barCanvas = nullptr;
}

BarCanvas* GetBarCanvas() {
    return g_barCanvas ? g_barCanvas : GetViewBarCanvas();
}

BarCanvas* SetBarCanvas(BarCanvas* canvas) {
    BarCanvas* previous = g_barCanvas;
    g_barCanvas = canvas;
    return previous;
}
