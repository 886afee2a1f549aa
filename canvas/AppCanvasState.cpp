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
        const bool area = m_redrawRequest == kRedrawArea;
        m_redrawRequest = 0;
        if (m_pView != nullptr && m_pView->m_hWnd != nullptr) {
            m_pView->m_waitCursor = 0;
            if (area)
                m_pView->Redraw(true, Gdiplus::Rect(m_redrawArea.left, m_redrawArea.top,
                                                    m_redrawArea.right - m_redrawArea.left,
                                                    m_redrawArea.bottom - m_redrawArea.top));
            else
                m_pView->Redraw(true);
            m_pView->m_waitCursor = 1;
        }
    }
    step = 3;
    return false;
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
