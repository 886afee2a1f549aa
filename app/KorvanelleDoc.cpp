// The document shell: New, Open, Save, Save As, Save As Startup Design, the save question, the
// startup designs and the caption.
#include "app/KorvanelleDoc.h"

#include <memory>

#include "app/AppMessages.h"
#include "app/Settings.h"
#include "model/HeaderRecords.h"
#include "model/KorvanelleDocument.h"
#include "model/PictureHeaders.h"
#include "render/DocumentBitmap.h"
#include "res/CommandIds.h"

IMPLEMENT_DYNCREATE(KorvanelleDoc, CDocument)

BEGIN_MESSAGE_MAP(KorvanelleDoc, CDocument)
    ON_COMMAND(ID_FILE_NEW_CMD, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN_CMD, OnFileOpen)
    ON_COMMAND(ID_FILE_SAVE_CMD, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS_CMD, OnFileSaveAs)
    ON_COMMAND(ID_FILE_SAVE_STARTUP, OnSaveAsStartupDesign)
END_MESSAGE_MAP()

namespace {

const char kDesignFilter[] = "Korvanelle (*.kvl)|*.kvl||";

DesignViewLink* g_designViewLink = nullptr;

// The six startup designs in the order they are recognised.
const int kStartupPairs[6][2] = {{4, 0}, {4, 3}, {5, 0}, {5, 3}, {10, 0}, {10, 3}};

CString FolderOf(const CString& path) {
    int slash = path.ReverseFind('\\');
    return slash >= 0 ? path.Left(slash + 1) : CString();
}

// The pictures whose file was not found, as a message: a title line and one name a line.
CString PictureListMessage(const CString& title, const CString& names) {
    return title + "\r\n\r\n" + names;
}

// Empties and frees a temporary design on every way out.
struct TemporaryDesign {
    KorvanelleDocument* design = new KorvanelleDocument;
    ~TemporaryDesign() {
        design->DeleteContents(true);
        delete design;
    }
};

}  // namespace

// A command that may drop the design: the agreement to drop it, given by "No" to the save
// question, lasts until the outermost such command ends.
struct DropAgreementScope {
    KorvanelleDoc& doc;
    explicit DropAgreementScope(KorvanelleDoc& d) : doc(d) { ++doc.m_dropCommandDepth; }
    ~DropAgreementScope() {
        if (--doc.m_dropCommandDepth == 0) doc.m_dropAgreed = false;
    }
    DropAgreementScope(const DropAgreementScope&) = delete;
    DropAgreementScope& operator=(const DropAgreementScope&) = delete;
};

DesignViewLink* GetDesignViewLink() {
    return g_designViewLink;
}

void SetDesignViewLink(DesignViewLink* link) {
    g_designViewLink = link;
}

KorvanelleDoc::KorvanelleDoc() = default;
KorvanelleDoc::~KorvanelleDoc() = default;

BOOL KorvanelleDoc::IsModified() {
    return CDocument::IsModified();
}

void KorvanelleDoc::SetModifiedFlag(BOOL bModified) {
    // Written, replaced or changed again: an earlier "No" no longer speaks for this state.
    m_dropAgreed = false;
    CDocument::SetModifiedFlag(bModified);
}

// ---- names and caption ----

CString KorvanelleDoc::GetFileName() {
    CString name;
    GuardOperation(1833, [&] {
        const CString& path = GetPathName();
        int slash = path.ReverseFind('\\');
        name = slash >= 0 ? path.Mid(slash + 1) : path;
    });
    return name;
}

bool KorvanelleDoc::IsStartupDesign() {
    bool result = false;
    GuardOperation(1837, [&] {
        CString name = GetFileName();
        for (const auto& pair : kStartupPairs)
            if (name == GetTemplateDocumentName(pair[0], pair[1])) result = true;
    });
    return result;
}

void KorvanelleDoc::SetMainWindowTitle(CString title) {
    SetMainWindowTitle(AfxWideOf(title));
}

void KorvanelleDoc::SetMainWindowTitle(const std::wstring& title) {
    GuardOperation(1835, [&] {
        CWnd* main = AfxGetMainWnd();
        if (main == nullptr || main->m_hWnd == nullptr) return;
        const std::wstring caption = title + L" - Korvanelle";
        const CString narrow = AfxSystemAnsiOf(caption.c_str());
        if (AfxWideOf(narrow) == caption) {
            main->SetWindowText(narrow);
            return;
        }
        // A name outside the ANSI code page: the narrow window would take it with stand-ins, so it
        // goes to the default handling in UTF-16, which keeps it whole for the system's caption and
        // window lists (whoever asks the narrow window for its text still gets the stand-ins).
        ::DefWindowProcW(main->m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    });
}

std::wstring KorvanelleDoc::GetLongFileName() {
    const std::wstring path = AfxLongPathOf(GetPathName());
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void KorvanelleDoc::SetPathAndTitle(CString path, BOOL addToMru) {
    GuardOperation(1834, [&] {
        SetPathName(path, addToMru);
        // The caption names the file as the user did, in UTF-16: a name outside the ANSI code page
        // stays whole.
        if (IsStartupDesign())
            SetMainWindowTitle(m_defaultName);
        else
            SetMainWindowTitle(GetLongFileName());
    });
}

CString KorvanelleDoc::ApplyDesignExtension(const CString& path) {
    CString result = path;
    CString tail = result.Right(4);
    if (tail != ".kvl") {
        CString lower = tail;
        lower.MakeLower();
        if (lower != ".kvl")
            result += ".kvl";
        else
            result = result.Left(result.GetLength() - 4) + ".kvl";
    }
    return result;
}

// ---- the save question ----

BOOL KorvanelleDoc::SaveModified() {
    BOOL result = TRUE;
    GuardOperation(155, [&] {
        if (!IsModified() || m_dropAgreed) return;
        CString name = IsStartupDesign() || GetFileName().IsEmpty() ? m_defaultName : GetFileName();
        const int answer = AskSaveChanges(name);
        if (answer == IDCANCEL) {
            result = FALSE;
        } else if (answer == IDNO) {
            // The design stays modified until it is really replaced: a Cancel in the next dialog
            // or a file that fails to open leaves it on screen as it was.
            m_dropAgreed = true;
        } else {
            // Only a save that reached the file lets the design go; a failed save or a cancelled
            // Save As keeps it open and modified.
            m_lastSaveOk = false;
            OnFileSave();
            result = m_lastSaveOk ? TRUE : FALSE;
        }
    });
    return result;
}

// ---- writing ----

CString KorvanelleDoc::SavingFileOf(const CString& path) {
    return path + ".saving";
}

CString KorvanelleDoc::MissingPictureNames(KorvanelleDocument* design) {
    CString names;
    if (design == nullptr) return names;
    design->ForEachObject([&](ViewObject* object) {
        if (!object->IsImage() || !object->image.IsEmpty() || object->imageSource.IsEmpty()) return;
        if (!names.IsEmpty()) names += "\r\n";
        names += object->imageSource;
    });
    return names;
}

CString KorvanelleDoc::UnreadablePictureNames(KorvanelleDocument* design, CString& tooLarge) {
    CString names;
    tooLarge.Empty();
    if (design == nullptr) return names;
    const int shown = design->GetCurrentSideIndex();
    design->ForEachObject([&](ViewObject* object) {
        if (!object->IsImage() || object->image.IsEmpty()) return;
        const PictureHeaderCheck headers = object->image.CheckHeaders();
        bool large = headers.tooLarge;
        bool readable = headers.acceptable;
        if (readable && !IsSlowToDecode(headers)) {
            readable = object->EnsureImageLoaded(&large);
            if (object->side != shown) object->FreeImageData(true);
        }
        if (readable) return;
        CString& list = large ? tooLarge : names;
        if (!list.IsEmpty()) list += "\r\n";
        list += object->PictureName();
    });
    return names;
}

bool KorvanelleDoc::HoldsDesign(const KorvanelleDocument* design) {
    int count = 0;
    bool sides = false;
    for (INT_PTR i = 0; i < design->templates.GetSize(); ++i) {
        const LabelTemplate* t = design->templates[i];
        if (t == nullptr) continue;
        ++count;
        if (t->HasDisc() || t->HasCover()) sides = true;
    }
    return sides && count <= 2;
}

bool KorvanelleDoc::WriteFile(const CString& path, bool ownFile) {
    bool ok = false;
    CString leftOut;
    // Whatever makes the write fail is told once, by the caller ("Error saving file:" and the path).
    GuardOperationQuietly(154, [&] {
        DesignViewLink* link = GetDesignViewLink();
        KorvanelleDocument* design = link ? link->CurrentDesign() : nullptr;
        if (design == nullptr) return;
        // A target that exists but cannot be written is refused before anything is made.
        const DWORD attributes = ::GetFileAttributesW(AfxWideOf(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
        CWaitCursor wait;
        leftOut = MissingPictureNames(design);
        design->RemoveEmptyImages();
        if (IsStartupDesign()) MakeDocumentThumbnail(design);
        const bool written = WriteFileWhole(path, SavingFileOf(path), [&](CFile& file) {
            design->Save(&file);
            return true;
        });
        // The thumbnail a startup design was given goes, saved or not.
        design->ClearImagePool(true);
        if (!written) return;
        // Written in the middle of a change, the design stays modified: the change goes on from
        // what was written. Another file than its own leaves it as modified as it was.
        SetModifiedFlag(ownFile ? !link->NoteDesignSaved() : IsModified());
        ok = true;
    });
    if (ok && !leftOut.IsEmpty())
        ShowBox(kBoxWarning,
                PictureListMessage("These pictures were not found and are not in the saved file:", leftOut));
    return ok;
}

void KorvanelleDoc::OnFileSave() {
    GuardOperation(145, [&] {
        if (IsStartupDesign() || GetPathName().IsEmpty()) {
            OnFileSaveAs();
            return;
        }
        CString path = GetPathName();
        if (!WriteFile(path)) {
            ShowSaveFailed(path);
            return;
        }
        m_lastSaveOk = true;
    });
}

bool KorvanelleDoc::AskOpenPath(CString& path) {
    if (g_lastOpenPath.IsEmpty()) g_lastOpenPath = g_openSaveFolder;
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kDesignFilter);
    dialog.m_ofn.lpstrInitialDir = g_lastOpenPath;
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}

bool KorvanelleDoc::AskSavePath(CString& path) {
    if (g_lastSavePath.IsEmpty()) g_lastSavePath = g_openSaveFolder;
    CFileDialog dialog(FALSE, nullptr, "Untitled.kvl", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kDesignFilter);
    dialog.m_ofn.lpstrInitialDir = g_lastSavePath;
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}

void KorvanelleDoc::OnFileSaveAs() {
    GuardOperation(147, [&] {
        CString chosen;
        if (!AskSavePath(chosen)) return;
        CString path = ApplyDesignExtension(chosen);
        // The caption and path change only once the file is written: a failed Save As keeps the
        // old name.
        CString previous = GetPathName();
        SetPathName(path, FALSE);
        bool written = WriteFile(path);
        if (!written) {
            SetPathName(previous, FALSE);
            ShowSaveFailed(path);
            return;
        }
        SetPathAndTitle(path, TRUE);
        g_lastSavePath = FolderOf(path);
        m_lastSaveOk = true;
    });
}

void KorvanelleDoc::OnSaveAsStartupDesign() {
    GuardOperation(152, [&] {
        DesignViewLink* link = GetDesignViewLink();
        KorvanelleDocument* design = link ? link->CurrentDesign() : nullptr;
        if (design == nullptr) return;
        // The saved case kind and layout follow the design only once its startup design exists.
        int caseKind = g_caseKind;
        if (LabelTemplate* cover = design->GetCoverTemplate()) caseKind = cover->GetCaseKind();
        const int discLayout = design->GetDiscLayout();
        CString path = g_openSaveFolder + "\\" + GetTemplateDocumentName(caseKind, discLayout);
        CString kept = GetPathName();
        // A design that goes back to a file of its own has not reached that file, so it keeps the
        // state it had.
        const bool ownFile = kept.IsEmpty() || kept.CompareNoCase(path) == 0;
        SetPathName(path, FALSE);
        bool written = WriteFile(path, ownFile);
        if (!written && g_isVistaOrLater) {
            ::CreateDirectoryA(g_openSaveFolder, nullptr);
            written = WriteFile(path, ownFile);
        }
        if (!written) {
            SetPathName(kept, FALSE);
            ShowSaveFailed(path);
            return;
        }
        g_caseKind = caseKind;
        g_discLayout = discLayout;
        SetPathAndTitle(path, FALSE);
        if (!kept.IsEmpty()) SetPathAndTitle(kept, FALSE);
        link->SetStartupDesignSaved();
    });
}

// ---- reading ----

void KorvanelleDoc::ShowNewerVersionMessage() {
    ShowBox(kBoxInformation,
            "This file cannot be opened because it was created with a newer version of Korvanelle.\r\n\r\n"
            "To view this file, please upgrade to the latest version of Korvanelle.");
}

bool KorvanelleDoc::RelinkBackgroundImages(KorvanelleDocument* design) {
    bool any = false;
    GuardOperation(1876, [&] {
        const int currentSide = design->GetCurrentSideIndex();
        design->ForEachObject([&](ViewObject* object) {
            if (!object->IsImage() || !object->image.IsEmpty() || object->imageSource.IsEmpty()) return;
            const bool notOnCurrentSide = object->side != currentSide;
            bool loaded = object->LoadImageFile(g_programFolder + "\\Backgrounds\\" + object->imageSource,
                                                notOnCurrentSide);
            if (!loaded && !g_dataFolder.IsEmpty())
                loaded = object->LoadImageFile(g_dataFolder + "\\Backgrounds\\" + object->imageSource,
                                               notOnCurrentSide);
            if (!loaded) return;
            object->imageSource.Empty();
            any = true;
        });
    });
    return any;
}

bool KorvanelleDoc::LoadFile(CString path, BOOL viewFlag, bool showErrors, bool fallBackToStartup) {
    bool result = false;
    bool failed = true;
    bool relinked = false;
    CString leftOut, unreadable, tooLarge;
    {
        CWaitCursor wait;
        TemporaryDesign temporary;
        GuardOperation(153, [&] {
            DesignViewLink* link = GetDesignViewLink();
            if (link == nullptr) return;
            try {
                g_lastReadFileVersion = kCurrentFileVersion;
                if (!temporary.design->Load(path)) return;
                // A file that holds no design (no label template, or the template library) is
                // refused before anything on screen changes.
                if (!HoldsDesign(temporary.design)) return;
                SetPathAndTitle(path, TRUE);
                if (IsStartupDesign()) {
                    temporary.design->SetSampleAlbumData(false);
                    temporary.design->RefreshLinkedText();
                }
                relinked = RelinkBackgroundImages(temporary.design);
                leftOut = MissingPictureNames(temporary.design);
                temporary.design->RemoveEmptyImages();
                unreadable = UnreadablePictureNames(temporary.design, tooLarge);
                link->ResetForDocument(temporary.design, viewFlag);
                SetModifiedFlag(FALSE);
                result = true;
                failed = false;
            } catch (CException* e) {
                if (e) e->Delete();
            }
        });
        if (failed && showErrors) {
            if (g_lastReadFileVersion > kCurrentFileVersion)
                ShowNewerVersionMessage();
            else
                ShowBox(kBoxError, "Error opening file:\r\n\r\n" + path + "\r\n ");
        }
        g_fileVersion = kCurrentFileVersion;
    }
    // The user hears of every picture the design lost before anything can be saved.
    if (result && !leftOut.IsEmpty())
        ShowBox(kBoxWarning, PictureListMessage(
                                 "These pictures were not found and were left out of the design:", leftOut));
    if (result && !unreadable.IsEmpty())
        ShowBox(kBoxWarning,
                PictureListMessage("These pictures could not be read; the design keeps them, but they are not shown:",
                                   unreadable));
    if (result && !tooLarge.IsEmpty()) {
        CString title;
        title.Format("These pictures are too large to be shown (pictures of up to %u megapixels can be used, as far "
                     "as the memory left allows); the design keeps them:",
                     static_cast<unsigned>(kMaxPicturePixels / 1000000));
        ShowBox(kBoxWarning, PictureListMessage(title, tooLarge));
    }
    // Only a startup design whose background was re-linked is written back: an ordinary older
    // document must not overwrite the user's startup design or change the saved case kind.
    if (result && relinked && IsStartupDesign()) OnSaveAsStartupDesign();
    if (failed && showErrors && fallBackToStartup) OpenStartupDesign(g_caseKind, g_discLayout, viewFlag);
    return result;
}

void KorvanelleDoc::OpenByPath(CString path) {
    DropAgreementScope scope(*this);
    GuardOperation(156, [&] {
        // The recent-file list replaces the design as File > Open does: only after asking.
        if (!SaveModified()) return;
        LoadFile(path, 1, true, false);
    });
}

void KorvanelleDoc::NewFromTemplate(int caseKind, int discLayout, BOOL viewFlag) {
    GuardOperation(158, [&] {
        DesignViewLink* link = GetDesignViewLink();
        KorvanelleDocument* library = link ? link->TemplateLibrary() : nullptr;
        if (library == nullptr) return;
        int slot = caseKind == kCaseJewel ? 2 : caseKind == kCaseDvd ? 3 : caseKind == kCaseBluray ? 4 : -1;
        if (slot >= 0)
            g_defaultTemplateNames[slot] =
                library->ResolveTemplateName(g_defaultTemplateNames[slot], caseKind);
        // A library whose disc-label template was never chosen takes the saved default.
        if (library->GetDiscTemplate() == nullptr)
            g_defaultTemplateNames[0] = library->ResolveTemplateName(g_defaultTemplateNames[0], kCaseDisc);
        if (library->GetCoverTemplate() == nullptr)
            g_defaultTemplateNames[1] = library->ResolveTemplateName(g_defaultTemplateNames[1], kCaseCover);
        TemporaryDesign temporary;
        temporary.design->CreateFromTemplates(library->GetDiscTemplate(), library->GetCoverTemplate());
        temporary.design->SetDiscLayout(discLayout);
        SetModifiedFlag(FALSE);
        link->ResetForDocument(temporary.design, viewFlag);
        SetPathAndTitle(GetTemplateDocumentName(caseKind, discLayout), FALSE);
    });
}

void KorvanelleDoc::OpenStartupDesign(int caseKind, int discLayout, BOOL viewFlag) {
    DropAgreementScope scope(*this);
    GuardOperation(151, [&] {
        if (!SaveModified()) return;
        const CString name = GetTemplateDocumentName(caseKind, discLayout);
        const CString folders[3] = {g_openSaveFolder, g_programFolder, g_dataFolder};
        for (const CString& folder : folders)
            if (LoadFile(folder + "\\" + name, viewFlag, false, false)) return;
        NewFromTemplate(caseKind, discLayout, viewFlag);
    });
}

void KorvanelleDoc::NewDesign(BOOL viewFlag, bool createOnCancel) {
    DropAgreementScope scope(*this);
    GuardOperation(948, [&] {
        if (!SaveModified()) return;
        DesignViewLink* link = GetDesignViewLink();
        if (link == nullptr) return;
        int kind = g_caseKind, layout = g_discLayout;
        bool useStartup = true;
        if (!link->AskNewProject(createOnCancel, kind, layout, useStartup)) return;
        if (useStartup)
            OpenStartupDesign(kind, layout, viewFlag);
        else
            NewFromTemplate(kind, layout, viewFlag);
    });
}

void KorvanelleDoc::OnFileNew() {
    GuardOperation(1877, [&] { NewDesign(1, false); });
}

void KorvanelleDoc::OnFileOpen() {
    DropAgreementScope scope(*this);
    GuardOperation(148, [&] {
        if (!SaveModified()) return;
        CString path;
        if (!AskOpenPath(path)) return;
        g_lastOpenPath = FolderOf(path);
        LoadFile(path, 1, true, false);
    });
}
