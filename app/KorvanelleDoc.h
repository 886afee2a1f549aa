// The document shell: the framework document of the single template. It holds no design itself
// (the view keeps the current design and the template library); it owns the file commands, the
// question before a design is dropped, the modified flag, the path and the main window's caption,
// and moves designs between files and the view.
#pragma once

#include "framework/DocView.h"

class KorvanelleDocument;

// What the document shell needs of the view that holds the designs.
class DesignViewLink {
public:
    virtual ~DesignViewLink() = default;
    // The design on screen; null when there is none.
    virtual KorvanelleDocument* CurrentDesign() = 0;
    // The library of label templates.
    virtual KorvanelleDocument* TemplateLibrary() = 0;
    // The view takes over the design's templates (the design is left empty).
    virtual void ResetForDocument(KorvanelleDocument* design, BOOL viewFlag) = 0;
    // Save As Startup Design wrote the current design.
    virtual void SetStartupDesignSaved() = 0;
    // Shows the New Project dialog; true on OK (or Cancel with createOnCancel) with the choices.
    virtual bool AskNewProject(bool createOnCancel, int& caseKind, int& discLayout,
                               bool& useStartupDesign) = 0;
};

// The view link in use: set by the application at start-up (tests install their own).
DesignViewLink* GetDesignViewLink();
void SetDesignViewLink(DesignViewLink* link);

class KorvanelleDoc : public CDocument {
    DECLARE_DYNCREATE(KorvanelleDoc)
    DECLARE_MESSAGE_MAP()
public:
    KorvanelleDoc();
    ~KorvanelleDoc() override;

    CString m_defaultName = "Untitled.kvl";

    BOOL IsModified() override;
    void SetModifiedFlag(BOOL bModified = TRUE) override;
    BOOL SaveModified() override;

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnSaveAsStartupDesign();

    void OpenByPath(CString path);
    bool LoadFile(CString path, BOOL viewFlag, bool showErrors, bool fallBackToStartup);
    void NewDesign(BOOL viewFlag, bool createOnCancel);
    void NewFromTemplate(int caseKind, int discLayout, BOOL viewFlag);
    void OpenStartupDesign(int caseKind, int discLayout, BOOL viewFlag);
    // Writes the current design into the file at path: a temporary file in the same folder is
    // written and then put in place, so that a failed save leaves the old file as it was.
    bool WriteFile(const CString& path);
    void SetPathAndTitle(CString path, BOOL addToMru);
    CString GetFileName();
    bool IsStartupDesign();
    void SetMainWindowTitle(CString title);

    // The file commands' dialogs; tests replace them. Return false when cancelled.
    virtual bool AskOpenPath(CString& path);
    virtual bool AskSavePath(CString& path);

    // The name Save As writes: ".kvl" appended, or a differently cased ".kvl" corrected.
    static CString ApplyDesignExtension(const CString& path);
    static void ShowNewerVersionMessage();
    static bool RelinkBackgroundImages(KorvanelleDocument* design);

    // The last save reached the file (SaveModified answers "Yes" with it).
    bool m_lastSaveOk = false;
};
