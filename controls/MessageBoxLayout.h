// Where the parts of the themed message box go, computed from the sizes of its controls alone, so
// that the layout can be checked without a window. The box itself (AeroMessageBox) measures its
// controls, asks for the layout and moves the windows.
#pragma once

#include <windows.h>

#include <vector>

struct MessageBoxLayoutInput {
    RECT icon = {0, 0, 0, 0};  // the icon control in client pixels; its left and top are the margins
    SIZE message = {0, 0};     // the message label's size
    bool messageGlow = false;  // the message label is enlarged by the glow margin
    bool hasLink = false;
    SIZE link = {0, 0};  // the link label's size (always with its glow margin)
    bool hasCheck = false;
    SIZE check = {0, 0};
    bool checkGlow = false;
    std::vector<SIZE> buttons;  // the added buttons, in order
    int glow = 0;               // the shared glow margin G
    bool centreButtons = true;
};

struct MessageBoxLayout {
    POINT message = {0, 0};  // top-left corners of the windows
    POINT link = {0, 0};
    POINT check = {0, 0};
    std::vector<RECT> buttons;
    SIZE client = {0, 0};  // the client area the window is sized to
};

MessageBoxLayout ComputeMessageBoxLayout(const MessageBoxLayoutInput& in);
