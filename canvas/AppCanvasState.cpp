// The application object's canvas state and its accessor.
#include "canvas/AppCanvasState.h"

namespace {
AppCanvasState* g_currentAppState = nullptr;
}

AppCanvasState::AppCanvasState() = default;

AppCanvasState::~AppCanvasState() {
    if (g_currentAppState == this) g_currentAppState = nullptr;
}

AppCanvasState& AppCanvasState::Get() {
    if (g_currentAppState) return *g_currentAppState;
    static AppCanvasState own;
    return own;
}

void AppCanvasState::SetCurrent(AppCanvasState* state) {
    g_currentAppState = state;
}
