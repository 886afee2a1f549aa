// The application's side of the editing canvas: the upward calls of the view (ViewHost) go to
// the main frame, its bars, the document shell and the dialogs; the document shell reaches the
// view's designs through it (DesignViewLink). One instance, installed at start-up.
#pragma once

#include "app/KorvanelleDoc.h"
#include "canvas/ViewHost.h"

class KorvanelleFrame;

class AppViewHost : public ViewHost, public DesignViewLink {
public:
    static AppViewHost& Instance();

    // ---- ViewHost ----
    void UpdateField(const CString& fieldName) override;
    void UpdateAllFields() override;
    void UpdateFontBarFromSelection(ViewObject* object) override;
    void UpdateColorBarFromSelection(ViewObject* object) override;
    int GetFormatBarButtonCount() override;
    int GetFormatBarButtonImage(int index) override;
    void SetFormatBarButtonImage(int index, int image) override;
    void ShowFontName(const CString& faceName) override;
    void ShowFontSizeText(const CString& sizeText) override;
    void SetAspectButtonCommand(UINT commandId) override;
    void RedrawToolBars() override;
    void ShowCheckedToolBars() override;
    void CheckSnapToGrid(bool checked) override;
    void CheckShowGrid(bool checked) override;
    void UpdateMainToolbarButtons() override;
    void RedrawMenuBar() override;
    CWnd* GetMainFrame() override;
    void ShowHelpContext(HWND window, int contextId) override;
    void OpenStartupDesign(int caseKind, int discLayout) override;
    void NewFromTemplate(int caseKind, int discLayout) override;
    void LoadFile(const CString& path) override;
    void RunNewProject() override;
    void RunUnitsDialog() override;
    int RunGridSizeDialog() override;
    void LoadImageFolder(const CString& folder, bool subfolders, int filter) override;
    void RunReadCd() override;
    int RunDiscChoice(const CString& question) override;
    // The print, page-layout and export dialogs and the printer set-up (AppPrintHost.cpp).
    int RunPrintDialog(View* view) override;
    void RunLabelStock() override;
    int RunLabelAlignment(LabelTemplate* labelTemplate, int kind) override;
    void RunSaveAsImage() override;
    bool GetCurrentPrinterSetup(CanvasPrinterSetup& setup) override;
    void SetPrinterCopies(int copies) override;
    void ShowPrinterProperties(HWND owner, int which) override;
    int LightScribeAvailability() override;
    bool HaveLightScribeDrive() override;
    int RunLightScribeDialog() override;
    int LightScribePrint(Gdiplus::Bitmap* bitmap) override;

    // ---- DesignViewLink ----
    KorvanelleDocument* CurrentDesign() override;
    KorvanelleDocument* TemplateLibrary() override;
    void ResetForDocument(KorvanelleDocument* design, BOOL viewFlag) override;
    void SetStartupDesignSaved() override;
    bool NoteDesignSaved() override;
    bool AskNewProject(bool createOnCancel, int& caseKind, int& discLayout, bool& useStartupDesign) override;

private:
    static KorvanelleDoc* Document();
};

// Answers the menu library's questions (the menu image list, "the selection is an image", the
// saved-as-startup mark) from the shared resources and the view.
void InstallMenuQueries();
