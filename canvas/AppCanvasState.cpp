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

void AppCanvasState::RequestAreaRedraw(const RECT& area) {
    if (area.right <= area.left || area.bottom <= area.top) return;
    if (m_redrawRequest != 0 && m_redrawRequest != kRedrawArea) return;
    if (m_redrawRequest == kRedrawArea)
        ::UnionRect(&m_redrawArea, &m_redrawArea, &area);
    else
        m_redrawArea = area;
    m_redrawRequest = kRedrawArea;
}
