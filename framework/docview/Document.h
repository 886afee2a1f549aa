// Documents, document templates, the document manager and the recent-file
// list: the model half of the document/view layer.
//
// A program registers one CSingleDocTemplate (document, frame and view
// classes); File New through the application creates the document, then the
// frame (LoadFrame with a CCreateContext), whose client creation makes the
// view. The one document is reused for every later New or Open.
#pragma once

#include <vector>

#include "framework/win/WinApp.h"
#include "framework/docview/Ids.h"

class CDocument;
class CDocTemplate;
class CView;
class CFrameWnd;

// What a frame needs to create its view and attach it to a document.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    // Sets the title and the captions of the document's frames.
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Stores the full path, takes the file name as the title and (bAddToMRU)
    // puts the path at the head of the recent-file list.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL bModified = TRUE);
    // Whether the document may be dropped: TRUE lets the caller go on. The question to the user
    // and its words belong to the application's document class, which overrides this; here a
    // modified document is kept, never dropped unasked.
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd* pFrame);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Destroys the document's frames (and with them its views), then the
    // document itself when m_bAutoDelete is set.
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();

    // Views.
    POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    CView* GetNextView(POSITION& rPosition) const { return (CView*)m_viewList.GetNext(rPosition); }
    virtual void AddView(CView* pView);
    virtual void RemoveView(CView* pView);
    // OnUpdate of every view except pSender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();
    void UpdateFrameCounts();

    // Routing: the document's own map, then its template's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    CPtrList m_viewList;
    BOOL m_bModified = FALSE;
    BOOL m_bAutoDelete = TRUE;
    BOOL m_bEmbedded = FALSE;

    DECLARE_MESSAGE_MAP()
};

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    ~CDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual CDocument* CreateNewDocument();
    // A frame of m_pFrameClass loaded from the template's resources, holding a
    // new view of pDoc; null when something failed (nothing is left behind).
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual BOOL SaveAllModified();
    // Piece n (0-based) of the template's "\n"-separated resource string.
    BOOL GetDocString(CString& rString, int nIndex) const;

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                 CRuntimeClass* pViewClass);
};

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    // The first call makes document, frame and view; later calls reuse the
    // document after asking it to save its changes.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

    CDocument* m_pOnlyDoc = nullptr;
};

// The application's templates and the commands that span them.
class CDocManager : public CObject {
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager() = default;
    ~CDocManager() override;  // deletes the templates

    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const {
        return (CDocTemplate*)m_templateList.GetNext(pos);
    }
    int GetOpenDocumentCount();
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    CPtrList m_templateList;
};

// The most recently used files: kept in the profile, shown in a menu as
// "&1 name" .. and opened through the application's OpenDocumentFile.
class CRecentFileList {
public:
    // Entries are read from and written to lpszSection, named by lpszEntryFormat
    // ("File%d", numbered from 1); nStart is the first command's offset from
    // ID_FILE_MRU_FILE1.
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                    int nMaxDispLen = 0);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return m_nSize; }
    int GetCount() const;  // the entries in use
    const CString& operator[](int nIndex) const { return m_arrNames[nIndex]; }
    // Puts the path first (moving it up when already there, compared without
    // case); the last entry drops off when the list is full.
    virtual void Add(LPCTSTR lpszPathName);
    virtual void Remove(int nIndex);
    virtual void ReadList();
    virtual void WriteList();
    // Replaces the items from pCmdUI's position with one item per entry, or one
    // disabled "Recent File" item when the list is empty.
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;

    int m_nSize;
    std::vector<CString> m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal;  // the text of the menu item the list replaced
};

// ---- the application's document services ----
// CWinApp's document members (AddDocTemplate, LoadStdProfileSettings,
// ProcessShellCommand, OnFileNew, OnFileOpen, OnOpenRecentFile, and through
// the window layer's hooks OpenDocumentFile, AddToRecentFileList and
// SaveAllModified) are defined by this layer; these are their free forms.
CDocManager* AfxGetDocManager();          // the application's, made on first use
CRecentFileList* AfxGetRecentFileList();  // null before LoadStdProfileSettings
void AfxAddDocTemplate(CDocTemplate* pTemplate);
void AfxLoadStdProfileSettings(UINT nMaxMRU = 4);
void AfxAddToRecentFileList(LPCTSTR lpszPathName);  // through the application's virtual
BOOL AfxProcessShellCommand(CCommandLineInfo& rCmdInfo);
void AfxOnFileNew();
void AfxOnFileOpen();
// Opens a file the way the application does (its OpenDocumentFile override).
CDocument* AfxAppOpenDocumentFile(LPCTSTR lpszFileName);
void AfxCloseAllDocuments(BOOL bEndSession);
// Installs the window layer's hooks into this layer (done by the first
// document, template or manager; harmless to repeat).
void AfxInstallDocLayerHooks();

// The string of a resource id with a fallback for the framework's own ids.
CString AfxLoadStringOrDefault(UINT nID);
