// The main frame's command state and its accessor.
#include "canvas/FrameCommandState.h"

namespace {
FrameCommandState* g_currentFrameState = nullptr;
}

FrameCommandState::FrameCommandState() = default;

FrameCommandState::~FrameCommandState() {
    if (g_currentFrameState == this) g_currentFrameState = nullptr;
}

FrameCommandState& FrameCommandState::Get() {
    if (g_currentFrameState) return *g_currentFrameState;
    static FrameCommandState own;
    return own;
}

void FrameCommandState::SetCurrent(FrameCommandState* state) {
    g_currentFrameState = state;
}
