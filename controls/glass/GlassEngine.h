// The subclassing engine that lets the standard controls of a dialog show on desktop-window-manager
// glass: the dialog and each control under it get window procedures of their own, which paint the
// control into a buffered-paint surface made opaque where it draws. It works window by window
// through the window property "AeroGlassSubclass" and has no class of its own.
//
// The per-class procedures live in GlassProgress, GlassTree, GlassDatePick, GlassIpAddr, GlassSpin,
// GlassSlider, GlassButton, GlassHeader, GlassListView, GlassStatic, GlassListBox, GlassEdit,
// GlassAnim and GlassCombo (.cpp, beside this header; their subclass functions are declared below);
// the GDI+ drawing helpers they share are in GlassDraw.h.
#pragma once

#include <windows.h>

class DwmApi;
class UxThemeApi;

// The window property holding a control's or dialog's block.
#define KV_GLASS_PROP           "AeroGlassSubclass"
// The registered message that asks the dialog (or a control) to repaint a control.
#define KV_GLASS_REDRAW_MESSAGE "AeroGlassSubclassRedraw"

// Flags of word 0 of a block.
enum : DWORD {
    kGlassRedrawPending = 0x01,   // a redraw through the redraw message is pending
    kGlassBlackFrame = 0x02,      // the buffered paint draws a one-pixel black frame around the control
    kGlassStaticBlack = 0x04,     // WM_CTLCOLORSTATIC answers the black stock brush
    kGlassStaticWhite = 0x08,     // WM_CTLCOLORSTATIC answers the white stock brush
    kGlassNotified = 0x10,        // set by notification code 1, cleared by code 2
    kGlassNoGlass = 0x20,         // the dialog was switched on without glass
    kGlassCaretHidden = 0x40,     // the engine has hidden this edit's caret
    kGlassAviInitialised = 0x80,  // the AVI file system was initialised for this animation control
};

// Class bits of EnableGlassSubclass's flags and GlassSubclassControl's mask; bit 0x01 means no glass.
enum : DWORD {
    kGlassFlagNoGlass = 0x0001,
    kGlassClassStatic = 0x0002,
    kGlassClassButton = 0x0004,
    kGlassClassListBox = 0x0008,
    kGlassClassListView = 0x0010,
    kGlassClassHeader = 0x0020,
    kGlassClassEdit = 0x0040,
    kGlassClassCombo = 0x0080,
    kGlassClassAnimate = 0x0100,
    kGlassClassTrackbar = 0x0200,
    kGlassClassUpDown = 0x0400,
    kGlassClassIPAddress = 0x0800,
    kGlassClassDatePick = 0x1000,
    kGlassClassTreeView = 0x2000,
    kGlassClassProgress = 0x4000,
    kGlassAllClasses = 0x7FFE,
};

// The 32-byte block of the window property (eight 32-bit words on the 32-bit target), allocated with
// LocalAlloc(LPTR). A control's block is a copy of its parent's with its own previous procedure.
struct GlassSubclassBlock {
    DWORD flags;             // word 0
    WNDPROC previousProc;    // word 1
    DwmApi* dwmApi;          // word 2: the window-manager loader, shared, never freed here
    UxThemeApi* uxThemeApi;  // word 3: the theme loader, shared, never freed here
    UINT redrawMessage;      // word 4
    LONG lastSelStart;       // word 5: an edit's last selection start, -1 when made
    LONG lastSelEnd;         // word 6
    DWORD reserved;          // word 7: copied, unused
};

// Record that EnableGlassSubclass hands to SubclassChildByClass through the enumeration.
struct GlassEnumRecord {
    DWORD* error;  // the first error met; children are only dispatched while it is 0
    DWORD classMask;
    HWND dialog;
};

// Switches the engine on for a dialog; flags are class bits plus kGlassFlagNoGlass; reserved must be 0.
// FALSE with the reason in the last error.
BOOL EnableGlassSubclass(HWND window, DWORD flags, DWORD reserved);
// Puts one control under the engine (all class bits, its parent as the dialog). Always TRUE; a failure
// shows only in the last error (2 when the parent was never switched on).
BOOL GlassSubclassControl(HWND control);
// The class-name dispatcher: the child-enumeration callback; lParam is a GlassEnumRecord*. Always TRUE.
BOOL CALLBACK SubclassChildByClass(HWND window, LPARAM record);
// Gives a control a block copied from its parent's (extraFlags ORed in) and installs the procedure.
BOOL SubclassChild(HWND control, WNDPROC proc, DWORD extraFlags);
// When the control's procedure is `proc`, restores the previous one, removes the property, frees the block.
BOOL RemoveSubclass(HWND control, WNDPROC proc, GlassSubclassBlock* block);
// The procedure installed on the dialog.
LRESULT CALLBACK GlassSubclassDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The shared painting step: the control prints itself into a buffered paint over `rect` of `dc`,
// which is made opaque and copied; `frame` grows the rectangle by one pixel and outlines it in black.
void PaintBufferedAlpha(HWND control, HDC dc, const RECT* rect, BOOL frame);

// The block of a window under the engine, or null.
GlassSubclassBlock* GetGlassBlock(HWND window);
// The registered redraw message (registered on first use).
UINT GlassRedrawMessage();
// Whether the window manager composes the desktop now (the engine's test of "composition on").
bool GlassCompositionEnabled();

// "Button" theme class state id of a button (part 1 push, 2 radio, 3 check box, 4 group box; other 0).
int GetButtonThemeState(DWORD style, bool hot, bool pressed, int checkState, int part, bool captured);

// Subclass functions of the classes (each SubclassChild with its procedure and extra flags; some then
// put their child controls under the engine).
BOOL GlassSubclassProgress(HWND control);
BOOL GlassSubclassTree(HWND control);
BOOL GlassSubclassDatePick(HWND control);
BOOL GlassSubclassIPAddress(HWND control);
BOOL GlassSubclassSpin(HWND control);
BOOL GlassSubclassSlider(HWND control);
BOOL GlassSubclassButton(HWND control);
BOOL GlassSubclassHeader(HWND control);
BOOL GlassSubclassListView(HWND control);
BOOL GlassSubclassStatic(HWND control);
BOOL GlassSubclassListBox(HWND control);
BOOL GlassSubclassEdit(HWND control);
BOOL GlassSubclassAnimate(HWND control);
BOOL GlassSubclassCombo(HWND control);
BOOL GlassSubclassComboEx(HWND control);

// For tests only: forces the engine's composition test on (1) or off (0); -1 asks the window manager.
void SetGlassCompositionOverride(int value);
