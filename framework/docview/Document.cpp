#include "framework/docview/Document.h"

#include <windows.h>
#include <commdlg.h>

#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"

// ======================= CDocument =======================

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::CDocument() {
    AfxInstallDocLayerHooks();
}

CDocument::~CDocument() {
    // Views still attached lose their document; the template forgets it.
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        if (pView != nullptr && pView->m_pDocument == this) pView->m_pDocument = nullptr;
    }
    m_viewList.RemoveAll();
    if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
    m_strTitle = lpszTitle ? lpszTitle : "";
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    // A path reached through short names (an older recent-file entry) is kept with the names the
    // user gave, which the title and the questions show.
    CString path = lpszPathName ? lpszPathName : "";
    if (!path.IsEmpty()) path = AfxFullPathOf(path);
    m_strPathName = path;
    CString title = path;
    int slash = title.ReverseFind('\\');
    int fwd = title.ReverseFind('/');
    if (fwd > slash) slash = fwd;
    if (slash >= 0) title = title.Mid(slash + 1);
    SetTitle(title);
    if (bAddToMRU && !m_strPathName.IsEmpty()) AfxAddToRecentFileList(m_strPathName);
}

BOOL CDocument::IsModified() {
    return m_bModified;
}
void CDocument::SetModifiedFlag(BOOL bModified) {
    m_bModified = bModified;
}

BOOL CDocument::SaveModified() {
    return !IsModified();
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
    (void)pFrame;
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd* pFrame) {
    (void)pFrame;
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

namespace {
// Runs the document's Serialize through an archive on file; false when it throws.
bool SerializeThrough(CDocument* pDoc, CFile& file, UINT nMode) {
    try {
        CArchive ar(&file, nMode);
        pDoc->Serialize(ar);
        ar.Close();
        return true;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}
}  // namespace

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) return FALSE;
    DeleteContents();
    SetModifiedFlag(TRUE);
    if (!SerializeThrough(this, file, CArchive::load)) {
        DeleteContents();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName) {
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeCreate | CFile::modeWrite, &fe)) return FALSE;
    if (!SerializeThrough(this, file, CArchive::store)) return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;  // the last view's destruction must not delete us meanwhile
    // Destroy every frame that shows this document (collected first: the list
    // changes as views go).
    std::vector<HWND> frames;
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView ? pView->GetParentFrame() : nullptr;
        if (pFrame != nullptr && pFrame->m_hWnd != nullptr) {
            bool seen = false;
            for (HWND h : frames) seen = seen || h == pFrame->m_hWnd;
            if (!seen) frames.push_back(pFrame->m_hWnd);
        }
    }
    for (HWND hFrame : frames) {
        CFrameWnd* pFrame = (CFrameWnd*)CWnd::FromHandlePermanent(hFrame);
        if (pFrame != nullptr) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        }
    }
    DeleteContents();
    m_bAutoDelete = bAutoDelete;
    if (m_bAutoDelete) delete this;
}

void CDocument::DeleteContents() {}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace) {
    CString path = lpszPathName ? lpszPathName : "";
    if (path.IsEmpty()) {
        char file[MAX_PATH];
        lstrcpynA(file, m_strTitle, MAX_PATH);
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        CWnd* pMain = AfxGetMainWnd();
        ofn.hwndOwner = pMain ? pMain->m_hWnd : nullptr;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!::GetSaveFileNameA(&ofn)) return FALSE;
        path = file;
    }
    if (!OnSaveDocument(path)) return FALSE;
    if (bReplace) SetPathName(path);
    return TRUE;
}

BOOL CDocument::DoFileSave() {
    return DoSave(m_strPathName.IsEmpty() ? nullptr : (LPCTSTR)m_strPathName);
}

void CDocument::AddView(CView* pView) {
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    POSITION pos = m_viewList.Find(pView);
    if (pos != nullptr) m_viewList.RemoveAt(pos);
    if (pView->m_pDocument == this) pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    // A document whose last view went (its frame was destroyed) goes with it.
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
    }
}

void CDocument::UpdateFrameCounts() {
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView ? pView->GetParentFrame() : nullptr;
        if (pFrame != nullptr && pFrame->m_hWnd != nullptr && pFrame->GetActiveDocument() == this)
            pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        CView* pView = GetNextView(pos);
        if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return FALSE;
}

void CDocument::OnFileClose() {
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() {
    DoFileSave();
}
void CDocument::OnFileSaveAs() {
    DoSave(nullptr);
}

// ======================= CDocTemplate =======================

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {
    AfxInstallDocLayerHooks();
    m_strDocStrings.LoadString(nIDResource);
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::AddDocument(CDocument* pDoc) {
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (pDoc->m_pDocTemplate == this) pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_pDocClass == nullptr) return nullptr;
    CObject* pObject = m_pDocClass->CreateObject();
    CDocument* pDoc = dynamic_cast<CDocument*>(pObject);
    if (pDoc == nullptr) {
        delete pObject;
        return nullptr;
    }
    AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    (void)pOther;
    if (m_pFrameClass == nullptr) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* pObject = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (pFrame == nullptr) {
        delete pObject;
        return nullptr;
    }
    // A frame whose creation failed has deleted itself (its window's last
    // message, or Create's failure path, deletes it).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::CloseAllDocuments(BOOL bEndSession) {
    (void)bEndSession;
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

BOOL CDocTemplate::SaveAllModified() {
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->SaveModified()) return FALSE;
    }
    return TRUE;
}

BOOL CDocTemplate::GetDocString(CString& rString, int nIndex) const {
    CString s = m_strDocStrings;
    for (int i = 0; i < nIndex; ++i) {
        int nl = s.Find('\n');
        if (nl < 0) {
            rString.Empty();
            return FALSE;
        }
        s = s.Mid(nl + 1);
    }
    int nl = s.Find('\n');
    rString = nl < 0 ? s : s.Left(nl);
    return TRUE;
}

// ======================= CSingleDocTemplate =======================

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc != nullptr) m_pOnlyDoc->m_pDocTemplate = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const {
    return m_pOnlyDoc ? (POSITION)1 : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const {
    CDocument* pDoc = (rPos == (POSITION)1) ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* pDoc = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    BOOL bWasModified = FALSE;

    if (m_pOnlyDoc != nullptr) {
        pDoc = m_pOnlyDoc;
        if (!pDoc->SaveModified()) return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        if (pos != nullptr) {
            CView* pView = pDoc->GetNextView(pos);
            pFrame = pView ? pView->GetParentFrame() : nullptr;
        }
    } else {
        pDoc = CreateNewDocument();
        if (pDoc == nullptr) {
            AfxMessageBox("Failed to create empty document.", MB_ICONEXCLAMATION);
            return nullptr;
        }
        BOOL bAutoDelete = pDoc->m_bAutoDelete;
        pDoc->m_bAutoDelete = FALSE;  // a failed frame must not take the document with it
        pFrame = CreateNewFrame(pDoc, nullptr);
        pDoc->m_bAutoDelete = bAutoDelete;
        if (pFrame == nullptr) {
            AfxMessageBox("Failed to create the main window.", MB_ICONEXCLAMATION);
            delete pDoc;
            return nullptr;
        }
        bCreated = TRUE;
    }

    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDoc);
        if (!bCreated) pDoc->m_bAutoDelete = FALSE;
        BOOL bOk = pDoc->OnNewDocument();
        if (!bCreated) pDoc->m_bAutoDelete = TRUE;
        if (!bOk) {
            if (bCreated && pFrame != nullptr) pFrame->DestroyWindow();
            return nullptr;
        }
    } else {
        bWasModified = pDoc->IsModified();
        pDoc->SetModifiedFlag(FALSE);
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            if (bCreated) {
                if (pFrame != nullptr) pFrame->DestroyWindow();
            } else if (!pDoc->IsModified()) {
                pDoc->SetModifiedFlag(bWasModified);
            }
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }

    CWinApp* pApp = AfxGetApp();
    if (bCreated && pApp != nullptr && pApp->m_pMainWnd == nullptr) pApp->m_pMainWnd = pFrame;
    if (pFrame != nullptr) InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    CString title;
    if (!GetDocString(title, 1) || title.IsEmpty()) title = "Untitled";
    pDocument->SetTitle(title);
}

// ======================= CDocManager =======================

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::~CDocManager() {
    POSITION pos = m_templateList.GetHeadPosition();
    while (pos != nullptr) delete (CDocTemplate*)m_templateList.GetNext(pos);
    m_templateList.RemoveAll();
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) {
    if (pTemplate != nullptr && m_templateList.Find(pTemplate) == nullptr) m_templateList.AddTail(pTemplate);
}

int CDocManager::GetOpenDocumentCount() {
    int n = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        POSITION p2 = pTemplate->GetFirstDocPosition();
        while (p2 != nullptr) {
            pTemplate->GetNextDoc(p2);
            ++n;
        }
    }
    return n;
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName) {
    if (m_templateList.IsEmpty()) return nullptr;
    CDocTemplate* pTemplate = (CDocTemplate*)m_templateList.GetHead();
    return pTemplate->OpenDocumentFile(lpszFileName);
}

void CDocManager::OnFileNew() {
    if (m_templateList.IsEmpty()) return;
    CDocTemplate* pTemplate = (CDocTemplate*)m_templateList.GetHead();
    pTemplate->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    CWnd* pMain = AfxGetMainWnd();
    ofn.hwndOwner = pMain ? pMain->m_hWnd : nullptr;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFilter = "All Files (*.*)\0*.*\0";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (!::GetOpenFileNameA(&ofn)) return;
    AfxAppOpenDocumentFile(file);
}

BOOL CDocManager::SaveAllModified() {
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        if (!GetNextDocTemplate(pos)->SaveAllModified()) return FALSE;
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession) {
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

// ======================= CRecentFileList =======================

namespace {

// A path shortened to at most `budget` characters, as recent-file lists show one: the drive (or
// share) with its first folder, an ellipsis for the folders in between, and as many of the last
// folders as fit before the file name; the file name alone when even that is too long, and the
// file name cut before its extension when it is too long itself.
std::wstring ShortenedPath(const std::wstring& path, size_t budget) {
    const size_t none = std::wstring::npos;
    if (path.size() <= budget) return path;
    const size_t fileStart = path.rfind(L'\\') + 1;  // 0 when there is no folder
    // The root: a drive ("C:\") or a share ("\\server\share\"); none for a relative path.
    size_t root = 0;
    if (path.compare(0, 2, L"\\\\") == 0) {
        const size_t share = path.find(L'\\', 2);
        root = share == none ? none : path.find(L'\\', share + 1);
        if (root != none) ++root;
    } else if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') {
        root = 3;
    }
    const size_t headEnd = root == none ? none : path.find(L'\\', root);
    if (headEnd != none && headEnd + 1 < fileStart) {
        const std::wstring head = path.substr(0, headEnd) + L"\\...\\";
        size_t tail = fileStart;
        if (head.size() + path.size() - tail <= budget) {
            for (size_t before; (before = path.rfind(L'\\', tail - 2)) > headEnd &&
                                head.size() + path.size() - (before + 1) <= budget;)
                tail = before + 1;
            return head + path.substr(tail);
        }
    }
    const std::wstring file = path.substr(fileStart);
    if (file.size() <= budget) return file;
    const size_t dot = file.rfind(L'.');
    const std::wstring extension = dot != none && file.size() - dot < budget / 2 ? file.substr(dot) : L"";
    size_t keep = budget - 3 - extension.size();
    if (keep > 0 && IS_HIGH_SURROGATE(file[keep - 1])) --keep;  // a character is never split
    return file.substr(0, keep) + L"..." + extension;
}

}  // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                                 int nMaxDispLen)
    : m_nSize(nSize < 0 ? 0 : nSize),
      m_arrNames((size_t)(nSize < 0 ? 0 : nSize)),
      m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat),
      m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen) {}

int CRecentFileList::GetCount() const {
    int n = 0;
    for (const CString& s : m_arrNames)
        if (!s.IsEmpty()) ++n;
    return n;
}

void CRecentFileList::Add(LPCTSTR lpszPathName) {
    if (lpszPathName == nullptr || *lpszPathName == 0 || m_nSize == 0) return;
    const CString path = AfxFullPathOf(lpszPathName);
    int iMRU;
    for (iMRU = 0; iMRU < m_nSize - 1; ++iMRU)
        if (m_arrNames[iMRU].CompareNoCase(path) == 0) break;  // already there: move it up
    for (; iMRU > 0; --iMRU) m_arrNames[iMRU] = m_arrNames[iMRU - 1];
    m_arrNames[0] = path;
    WriteList();
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex < 0 || nIndex >= m_nSize) return;
    for (int i = nIndex; i < m_nSize - 1; ++i) m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
    WriteList();
}

void CRecentFileList::ReadList() {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, entry, "");
        // An entry of an older version may name a file through its short names.
        if (!m_arrNames[i].IsEmpty()) m_arrNames[i] = AfxNarrowOf(AfxLongPathOf(m_arrNames[i]).c_str());
    }
    // Close up gaps a hand-edited profile may have.
    int j = 0;
    for (int i = 0; i < m_nSize; ++i)
        if (!m_arrNames[i].IsEmpty()) m_arrNames[j++] = m_arrNames[i];
    for (; j < m_nSize; ++j) m_arrNames[j].Empty();
}

void CRecentFileList::WriteList() {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        if (m_arrNames[i].IsEmpty())
            pApp->WriteProfileString(m_strSectionName, entry, nullptr);
        else
            pApp->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const {
    (void)bAtLeastName;
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty()) return FALSE;
    strName = m_arrNames[nIndex];
    // Names in the current folder are shown without it.
    if (lpszCurDir != nullptr && nCurDir > 0 && strName.GetLength() > nCurDir &&
        strName.Left(nCurDir).CompareNoCase(CString(lpszCurDir, nCurDir)) == 0 && strName[nCurDir] == '\\')
        strName = strName.Mid(nCurDir + 1);
    if (m_nMaxDisplayLength > 3)
        strName = AfxNarrowOf(ShortenedPath(AfxWideOf(strName), (size_t)m_nMaxDisplayLength).c_str());
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (pMenu == nullptr) return;
    if (m_strOriginal.IsEmpty()) pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);

    // Take out the items of an earlier update.
    for (int i = 0; i < m_nSize; ++i) pMenu->DeleteMenu(pCmdUI->m_nID + i, MF_BYCOMMAND);

    if (GetCount() == 0) {
        CString text = m_strOriginal.IsEmpty() ? AfxLoadStringOrDefault(AFX_IDS_RECENT_FILE) : m_strOriginal;
        pMenu->InsertMenu(pCmdUI->m_nIndex, MF_BYPOSITION | MF_STRING | MF_GRAYED, pCmdUI->m_nID, text);
        pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
        pCmdUI->m_bEnableChanged = TRUE;
        return;
    }

    wchar_t wideCurDir[MAX_PATH];
    const CString curDir = ::GetCurrentDirectoryW(MAX_PATH, wideCurDir) ? AfxNarrowOf(wideCurDir) : CString();
    const int nCurDir = curDir.GetLength();
    int inserted = 0;
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, curDir, nCurDir)) break;
        name.Replace("&", "&&");
        CString text;
        text.Format("&%d %s", i + 1 + (int)m_nStart, (LPCSTR)name);
        // In UTF-16: the menu keeps a name outside the ANSI code page whole.
        ::InsertMenuW(pMenu->m_hMenu, pCmdUI->m_nIndex + inserted, MF_BYPOSITION | MF_STRING,
                      pCmdUI->m_nID + i, AfxWideOf(text).c_str());
        ++inserted;
    }
    // The caller's walk goes on after the inserted items.
    pCmdUI->m_nIndex += inserted - 1;
    pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

// ======================= application services =======================

namespace {
CDocument* HookOpenDocumentFile(CWinApp* pApp, LPCTSTR lpszFileName) {
    if (pApp->m_pDocManager == nullptr) return nullptr;
    return pApp->m_pDocManager->OpenDocumentFile(lpszFileName);
}
void HookAddToRecentFileList(CWinApp* pApp, LPCTSTR lpszPathName) {
    if (pApp->m_pRecentFileList != nullptr) pApp->m_pRecentFileList->Add(lpszPathName);
}
BOOL HookSaveAllModified(CWinApp* pApp) {
    return pApp->m_pDocManager == nullptr || pApp->m_pDocManager->SaveAllModified();
}
void HookExitInstance(CWinApp* pApp) {
    pApp->SaveStdProfileSettings();
    delete pApp->m_pRecentFileList;
    pApp->m_pRecentFileList = nullptr;
    delete pApp->m_pDocManager;
    pApp->m_pDocManager = nullptr;
}
}  // namespace

void AfxInstallDocLayerHooks() {
    AFX_DOCLAYER_HOOKS& hooks = AfxGetDocLayerHooks();
    if (hooks.pfnOpenDocumentFile != nullptr) return;
    hooks.pfnOpenDocumentFile = HookOpenDocumentFile;
    hooks.pfnAddToRecentFileList = HookAddToRecentFileList;
    hooks.pfnSaveAllModified = HookSaveAllModified;
    hooks.pfnExitInstance = HookExitInstance;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    AfxInstallDocLayerHooks();
    if (m_pDocManager == nullptr) m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    AfxInstallDocLayerHooks();
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (nMaxMRU == 0) return;
    if (nMaxMRU > ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1)
        nMaxMRU = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;
    // A long path is shown shortened, so that the menu stays on the screen and its entries apart.
    m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", (int)nMaxMRU, 60);
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList != nullptr) m_pRecentFileList->WriteList();
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen:
            return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
        case CCommandLineInfo::FileNothing:
            return TRUE;
        default:
            return FALSE;
    }
}

void CWinApp::OnFileNew() {
    if (m_pDocManager != nullptr) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager != nullptr) m_pDocManager->OnFileOpen();
}

BOOL CWinApp::OnOpenRecentFile(UINT nID) {
    if (m_pRecentFileList == nullptr) return FALSE;
    int nIndex = (int)(nID - ID_FILE_MRU_FIRST);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[nIndex].IsEmpty())
        return FALSE;
    CString path = (*m_pRecentFileList)[nIndex];
    if (OpenDocumentFile(path) == nullptr && m_pRecentFileList != nullptr) {
        // A file that cannot be opened any more leaves the list.
        for (int i = 0; i < m_pRecentFileList->GetSize(); ++i)
            if ((*m_pRecentFileList)[i] == path) {
                m_pRecentFileList->Remove(i);
                break;
            }
    }
    return TRUE;
}

CDocManager* AfxGetDocManager() {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return nullptr;
    AfxInstallDocLayerHooks();
    if (pApp->m_pDocManager == nullptr) pApp->m_pDocManager = new CDocManager;
    return pApp->m_pDocManager;
}

CRecentFileList* AfxGetRecentFileList() {
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->m_pRecentFileList : nullptr;
}

void AfxAddDocTemplate(CDocTemplate* pTemplate) {
    if (AfxGetApp() != nullptr) AfxGetApp()->AddDocTemplate(pTemplate);
}

void AfxLoadStdProfileSettings(UINT nMaxMRU) {
    if (AfxGetApp() != nullptr) AfxGetApp()->LoadStdProfileSettings(nMaxMRU);
}

void AfxAddToRecentFileList(LPCTSTR lpszPathName) {
    if (AfxGetApp() != nullptr) AfxGetApp()->AddToRecentFileList(lpszPathName);
}

BOOL AfxProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    return AfxGetApp() != nullptr && AfxGetApp()->ProcessShellCommand(rCmdInfo);
}

void AfxOnFileNew() {
    if (AfxGetApp() != nullptr) AfxGetApp()->OnFileNew();
}

void AfxOnFileOpen() {
    if (AfxGetApp() != nullptr) AfxGetApp()->OnFileOpen();
}

CDocument* AfxAppOpenDocumentFile(LPCTSTR lpszFileName) {
    AfxInstallDocLayerHooks();
    return AfxGetApp() ? AfxGetApp()->OpenDocumentFile(lpszFileName) : nullptr;
}

void AfxCloseAllDocuments(BOOL bEndSession) {
    CDocManager* pManager = AfxGetApp() ? AfxGetApp()->m_pDocManager : nullptr;
    if (pManager != nullptr) pManager->CloseAllDocuments(bEndSession);
}

CString AfxLoadStringOrDefault(UINT nID) {
    CString s;
    if (s.LoadString(nID)) return s;
    switch (nID) {
        case AFX_IDS_RECENT_FILE:
            return "Recent File";
        default:
            return CString();
    }
}
