// AppCanvasState: the part of the application object that the canvas reads and writes - the
// pointer to the one view, the text typed on the canvas that waits for the idle handler, the
// idle-time requests, the print-preview flag, the clipboard format, the flags shared with the
// image colour worker and the start-up facts. The application object derives from it (so
// KorvanelleApp::m_pView names the member below) and registers itself with SetCurrent when it is
// made; the canvas reaches it through AppCanvasState::Get.
#pragma once

#include <windows.h>

#include <atomic>

#include "framework/Core.h"

class View;

struct AppCanvasState {
    AppCanvasState();
    virtual ~AppCanvasState();
    AppCanvasState(const AppCanvasState&) = delete;
    AppCanvasState& operator=(const AppCanvasState&) = delete;

    // The state in force: the one registered with SetCurrent, else a plain one of the canvas's
    // own (so that the canvas works, and can be tested, without an application object).
    static AppCanvasState& Get();
    // Registers the application's state (null: back to the canvas's own).
    static void SetCurrent(AppCanvasState* state);

    // The canvas's share of the application's idle work, in its order: text typed on the canvas
    // is inserted into the edited text as one undo step; otherwise the edited text is laid out
    // again when asked; then the view is redrawn when asked. True after one of the first two
    // (the idle loop comes back for more). `step` is advanced past each part for the idle
    // handler's error report.
    bool RunIdleWork(int& step);

    View* m_pView = nullptr;  // the one view; null before start-up and after exit
    // Characters typed on the canvas ("\r" for Enter), inserted by the idle handler as one
    // undo step.
    CString m_queuedText;
    // Non-zero: the edited text must be laid out again at idle time.
    int m_relayoutRequest = 0;
    // Non-zero: the view must be redrawn at idle time; kRedrawArea: only m_redrawArea changed.
    BYTE m_redrawRequest = 0;
    static const BYTE kRedrawArea = 2;
    // The part of the side (design units) a kRedrawArea request draws again.
    RECT m_redrawArea = {};
    // Asks for a redraw of an area of the side at idle time; a request for the whole view stays.
    void RequestAreaRedraw(const RECT& area);
    // The print dialog chose Preview; cleared when the preview ends.
    BYTE m_inPrintPreview = 0;
    // The number of the registered clipboard format "Korvanelle500" (0 until registered).
    WORD m_clipboardFormat = 0;
    // The image colour worker: it runs; a result waits to be shown; the values changed while it
    // ran. Written by the worker thread and the user-interface thread, so atomic.
    std::atomic<int> m_hslThreadRunning{0};
    std::atomic<BYTE> m_hslResultReady{0};
    std::atomic<BYTE> m_hslRerun{0};
    // The splash window is done; the view's start-up timer waits for it.
    BYTE m_splashDone = 0;
    // The document path given on the command line (empty when none).
    CString m_commandLineFile;
};
