// The document shell: the framework document of the single template. It holds no design itself
// (the view keeps the current design and the template library); it owns the file commands, the
// question before a design is dropped, the modified flag, the path and the main window's caption,
// and moves designs between files and the view.
#pragma once

#include <string>

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
    // The design was written as its own file; false when in the middle of a change, which leaves
    // it modified.
    virtual bool NoteDesignSaved() = 0;
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
    // ownFile: the file is the design's own, whose state is then the saved one.
    bool WriteFile(const CString& path, bool ownFile = true);
    void SetPathAndTitle(CString path, BOOL addToMru);
    CString GetFileName();
    // The file's name as the user gave it, in UTF-16.
    std::wstring GetLongFileName();
    bool IsStartupDesign();
    void SetMainWindowTitle(CString title);
    void SetMainWindowTitle(const std::wstring& title);

    // The file commands' dialogs; tests replace them. Return false when cancelled.
    virtual bool AskOpenPath(CString& path);
    virtual bool AskSavePath(CString& path);

    // The name Save As writes: ".kvl" appended, or a differently cased ".kvl" corrected.
    static CString ApplyDesignExtension(const CString& path);
    static void ShowNewerVersionMessage();
    static bool RelinkBackgroundImages(KorvanelleDocument* design);

    // The last save reached the file (SaveModified answers "Yes" with it).
    bool m_lastSaveOk = false;

    // "No" to the save question lets the design go without clearing the modified flag: the flag
    // is cleared only when the design is really replaced (or the program really ends). While the
    // command that asked runs on, the design is not asked about again; once it ends, a design
    // still on screen is asked about again.
    bool DropAgreed() const { return m_dropAgreed; }
    void ForgetDropAgreement() { m_dropAgreed = false; }

    // The temporary file a save of `path` writes before it replaces the design: beside it, named
    // after it, so that one left by a save that was killed is known and removed by the next.
    static CString SavingFileOf(const CString& path);
    // The pictures of a design that hold no picture of their own and only name a file, which
    // was not found: their file names, one a line (empty when there are none).
    static CString MissingPictureNames(KorvanelleDocument* design);
    // The pictures the design holds that cannot be shown, as the user knows them, one a line: the
    // design keeps them. Those refused for their size go to `tooLarge` instead. A picture that is
    // slow to decode is judged by its headers alone (it is decoded when its side is shown); the
    // others are decoded, and kept decoded only when they lie on the side shown first.
    static CString UnreadablePictureNames(KorvanelleDocument* design, CString& tooLarge);
    // Whether a file that was read holds a design: one or two label templates, at least one of
    // them with a disc or a cover. The template library or a file without any template is not.
    static bool HoldsDesign(const KorvanelleDocument* design);

private:
    // Commands that may drop the design: the outermost one forgets the agreement when it ends.
    friend struct DropAgreementScope;
    bool m_dropAgreed = false;
    int m_dropCommandDepth = 0;
};
