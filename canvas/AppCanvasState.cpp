// The application object's canvas state and its accessor.
#include "canvas/AppCanvasState.h"

#include "canvas/View.h"

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

bool AppCanvasState::RunIdleWork(int& step) {
    if (!m_queuedText.IsEmpty()) {
        if (m_pView != nullptr)
            m_pView->m_select.InsertQueuedText();
        else
            m_queuedText.Empty();
        return true;
    }
    step = 1;
    if (m_relayoutRequest != 0) {
        m_relayoutRequest = 0;
        if (m_pView != nullptr) m_pView->m_select.UpdateTextLayout(1, 1);
        return true;
    }
    step = 2;
    if (m_redrawRequest) {
        m_redrawRequest = 0;
        if (m_pView != nullptr && m_pView->m_hWnd != nullptr) {
            m_pView->m_waitCursor = 0;
            m_pView->Redraw(true);
            m_pView->m_waitCursor = 1;
        }
    }
    step = 3;
    return false;
}
