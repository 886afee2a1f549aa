// A plain frame holding the real View, a host that records what the canvas asks of the layers
// above it, and the designs the canvas tests work on.
#pragma once

#include <string>
#include <vector>

#include "canvas/View.h"
#include "canvas/ViewHost.h"

namespace cvtest {

// Records every upward call; answers the dialogs with the values set in it.
struct RecordingHost : ViewHost {
    std::vector<std::string> calls;
    int formatImages[8] = {0, 0, 0, 0, 0, 1, 2, 0};
    int formatButtons = 12;
    int discChoice = 2;
    int gridAnswer = IDOK;
    int printAnswer = IDCANCEL;
    bool haveCdDrive = false;
    CanvasPrinterSetup printer;
    bool havePrinter = false;
    CString shownFontName, shownSizeText;

    void Log(const std::string& s) { calls.push_back(s); }
    bool Called(const std::string& s) const;
    void UpdateField(const CString& name) override { Log("UpdateField " + std::string(name.GetString())); }
    void UpdateAllFields() override { Log("UpdateAllFields"); }
    void UpdateFontBarFromSelection(ViewObject*) override { Log("UpdateFontBar"); }
    void UpdateColorBarFromSelection(ViewObject*) override { Log("UpdateColorBar"); }
    int GetFormatBarButtonCount() override { return formatButtons; }
    int GetFormatBarButtonImage(int i) override { return i >= 0 && i < 8 ? formatImages[i] : -1; }
    void SetFormatBarButtonImage(int i, int image) override {
        if (i >= 0 && i < 8) formatImages[i] = image;
    }
    void ShowFontName(const CString& name) override { shownFontName = name; }
    void ShowFontSizeText(const CString& text) override { shownSizeText = text; }
    void CheckSnapToGrid(bool c) override { Log(c ? "CheckSnapToGrid 1" : "CheckSnapToGrid 0"); }
    void CheckShowGrid(bool c) override { Log(c ? "CheckShowGrid 1" : "CheckShowGrid 0"); }
    void UpdateMainToolbarButtons() override { Log("UpdateMainToolbarButtons"); }
    void RedrawToolBars() override { Log("RedrawToolBars"); }
    void LoadImageFolder(const CString& folder, bool, int) override {
        Log("LoadImageFolder " + std::string(folder.GetString()));
    }
    int RunDiscChoice(const CString&) override {
        Log("RunDiscChoice");
        return discChoice;
    }
    int RunGridSizeDialog() override {
        Log("RunGridSizeDialog");
        return gridAnswer;
    }
    void RunReadCd() override { Log("RunReadCd"); }
    // Answers as the print dialog does: with OK it has set the page range from the print options.
    int RunPrintDialog(View* view) override {
        Log("RunPrintDialog");
        if (printAnswer == IDOK && view) view->SetPrintPageRange();
        return printAnswer;
    }
    bool GetCurrentPrinterSetup(CanvasPrinterSetup& setup) override {
        if (havePrinter) setup = printer;
        return havePrinter;
    }
};

RecordingHost& Host();

// The frame with the view: made once, 1000 x 760, with the template library loaded from an
// empty temporary settings folder (the built-in templates) and a jewel-case design shown on its
// back cover. GDI+ runs.
View* EnsureView();
// A new design of the built-in disc label and jewel case with the given disc layout, taken by the
// view and shown on a side.
void NewDesign(View* view, int layout, const char* side);
// Dispatches the waiting messages and runs the idle work once.
void Pump();
// A text object on the current side of the view's design, with one font and colour record.
ViewObject* AddText(View* view, const char* name, const char* text, int left, int top, int width, int height);
// The pointer at a client point of the view, and the thread's last message taken there (as the
// mouse message that makes the system ask the view for its cursor).
void PointerAt(View* view, CPoint client);
// A picture file of w x h pixels in the test's folder (a PNG); its path.
std::string MakePicture(const char* name, int w, int h, COLORREF color);

}  // namespace cvtest
