// FrameCommandState: the part of the main frame that the canvas reads and writes - the
// command-state bytes of the object commands (set by the view on every selection change), the
// New/Open enable byte, the disc that Read CD fills, the number of CD drives, the busy byte that
// holds Undo and Redo back, and the flag bytes of the image panel's colour sliders. The main
// frame derives from it and registers itself with SetCurrent; the canvas reaches it through
// FrameCommandState::Get.
#pragma once

#include <windows.h>

struct FrameCommandState {
    FrameCommandState();
    virtual ~FrameCommandState();
    FrameCommandState(const FrameCommandState&) = delete;
    FrameCommandState& operator=(const FrameCommandState&) = delete;

    // The registered frame's state, else a plain one of the canvas's own.
    static FrameCommandState& Get();
    static void SetCurrent(FrameCommandState* state);

    int m_cdDriveCount = 0;  // CD drives found; Read CD opens its dialog only when not 0
    BYTE m_enableCenterVertically = 0;
    BYTE m_enableCenterHorizontally = 0;
    BYTE m_enableCutText = 0;
    BYTE m_enableCopyText = 0;
    int m_enablePasteText = 0;
    BYTE m_enableCutObject = 0;
    BYTE m_enableCopyObject = 0;
    int m_enablePasteObject = 0;
    BYTE m_enableDeleteObject = 0;
    BYTE m_enableFileNewOpen = 1;  // File > New and File > Open enabled
    int m_targetDisc = 1;          // the disc (1 or 2) that Read CD fills
    // Set while the frame is busy: Undo and Redo are disabled, Apply Template does not refresh.
    BYTE m_busy = 0;
    // The image panel's hue, saturation and lightness slider flags; an undo step that restores
    // one of these values clears its flag.
    BYTE m_sliderFlags[3] = {0, 0, 0};
};
