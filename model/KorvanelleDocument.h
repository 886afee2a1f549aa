// KorvanelleDocument: one design (or one library of label templates) in memory - its label
// templates with their objects, the image pool, the album data, the file header records, the
// selection and the side being edited - and its document file of every version.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/Core.h"
#include "model/AlbumInfo.h"
#include "model/HeaderRecords.h"
#include "model/ImageStream.h"
#include "model/LabelTemplate.h"
#include "model/PrintOptions.h"
#include "model/ViewObject.h"

typedef CTypedPtrArray<CObArray, LabelTemplate*> CLabelTemplateArray;
typedef CTypedPtrArray<CObArray, IStreamObject*> CImagePoolArray;
typedef CTypedPtrArray<CObArray, CProperty*> CPropertyArray;
typedef CTypedPtrArray<CObArray, CText*> CTextArray;
typedef CTypedPtrArray<CObArray, ViewObject*> CViewObjectArray;
typedef CTypedPtrArray<CPtrArray, ViewObject*> CSelectionArray;
typedef CTypedPtrArray<CPtrArray, Gdiplus::Region*> CRegionArray;

// Case kinds of label templates (LabelTemplate::GetCaseKind).
enum CaseKind {
    kCaseCover = 0,  // lookups only: any template that holds a cover
    kCaseDisc = 2,
    kCaseJewel = 4,
    kCaseDvd = 5,
    kCaseBluray = 10,
};

// A row of the built-in templates (model/BuiltInTemplates.h).
struct BuiltInTemplate;

// The records of files before version 300 (model/OldFormat.h, private to the model).
struct OldTextRecord;
struct OldDocumentParts;

// Every read of a document file, an object file or the clipboard's object runs inside one of
// these: the reader's globals start at the current version and no album record, and go back
// to rest however the read ends. The version the file claimed stays in g_lastReadFileVersion.
class DocumentReadScope {
public:
    DocumentReadScope();
    ~DocumentReadScope();
    DocumentReadScope(const DocumentReadScope&) = delete;
    DocumentReadScope& operator=(const DocumentReadScope&) = delete;

private:
    bool m_outermost;
};

// The version found in the file of the last read (507 when it had none); above 507 when the
// read was refused because a newer version wrote the file.
extern int g_lastReadFileVersion;

class KorvanelleDocument : public CObject {
    DECLARE_SERIAL(KorvanelleDocument)
public:
    KorvanelleDocument();
    // Releases only the document's own arrays and strings: owners call DeleteContents(true)
    // first.
    ~KorvanelleDocument() override;
    KorvanelleDocument(const KorvanelleDocument&) = delete;
    KorvanelleDocument& operator=(const KorvanelleDocument&) = delete;

    // ---- template list ------------------------------------------------------------------------
    void AddTemplate(LabelTemplate* labelTemplate);
    void RemoveTemplate(LabelTemplate* labelTemplate, bool deleteIt);
    LabelTemplate* FindTemplate(const CString& templateName) const;
    LabelTemplate* GetDiscTemplate() const;
    LabelTemplate* GetCoverTemplate() const;
    int CountTemplatesOfKind(int caseKind) const;
    int GetDiscLayout() const;
    void RemoveEmptyImages();
    void DetachAllObjects();
    void RenameTemplates(const CString& discName, const CString& coverName);
    // Fills a combo box with the names of the templates of one kind and selects `selectName`
    // (empty: the design's own template of that kind).
    void FillTemplateCombo(HWND comboBox, int caseKind, const CString& selectName) const;
    void ApplyDuplicateLayout();
    void SetDiscLayout(int layout);
    // `aside`: objects kept outside the design that move with their sides all the same.
    void ApplyPendingGeometry(LabelTemplate* labelTemplate, const std::vector<ViewObject*>& aside = {});
    void AddSecondDiscObjects(LabelTemplate* labelTemplate, int layout);
    void RefitSideObjects(ViewObject* oldSide, ViewObject* newSide, bool cover,
                          const std::vector<ViewObject*>& aside = {});

    // ---- objects and sides ----------------------------------------------------------------------
    ViewObject* GetFrontCover() const;
    ViewObject* GetBackCover() const;
    ViewObject* GetLeftTab() const;
    ViewObject* GetRightTab() const;
    ViewObject* GetFrontCoverInside() const;
    ViewObject* GetDisc(int n) const;
    bool IsDiscCentered() const;
    bool IsLightScribeTemplate() const;
    bool IsSingleDiscLayout() const;
    bool IsTwoDiscLayout() const;
    bool IsDuplicateLayout() const;
    bool AreCoversOnSamePage() const;
    bool HasJewelCase() const;
    bool HasDvdCase() const;
    bool HasBlurayCase() const;

    // Fills `list` (a template used as a plain, non-owning list) with the objects of all
    // templates, or only of the design's disc and cover templates.
    void CollectObjects(LabelTemplate& list, bool currentOnly) const;
    ViewObject* FindObject(const CString& objectName) const;
    // Calls fn(object) for every object of every template, in order.
    template <class Fn>
    void ForEachObject(Fn fn) const {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            for (int k = 0; k < t->GetObjectCount(); ++k)
                if (ViewObject* o = t->GetObject(k)) fn(o);
        }
    }
    // The first object, in the order of ForEachObject, for which pred(object) holds; null if none.
    template <class Pred>
    ViewObject* FindObjectIf(Pred pred) const {
        for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
            LabelTemplate* t = templates[i];
            if (!t) continue;
            for (int k = 0; k < t->GetObjectCount(); ++k) {
                ViewObject* o = t->GetObject(k);
                if (o && pred(o)) return o;
            }
        }
        return nullptr;
    }
    ViewObject* FindPage(int sideIndex, bool currentOnly) const;
    void AddObject(ViewObject* object);
    void InsertObjectAfter(ViewObject* object, ViewObject* after);
    void RemoveObject(ViewObject* object, bool deleteIt);
    Gdiplus::PointF GetOtherDiscOffset(const ViewObject* disc) const;
    void FreeImageCachesExceptSide(int sideIndex);
    void DetachImages();
    void AssignUniqueName(ViewObject* object);
    // Names several objects in order, each as AssignUniqueName would with the ones before it
    // already added: one count of the design's names serves them all, so naming the copies of
    // thousands of objects costs time in proportion to the objects, not to their square.
    void AssignUniqueNames(const std::vector<ViewObject*>& objects);
    void MakeNamesUnique();

    // ---- selection and current side --------------------------------------------------------------
    void ClearSelection();
    ViewObject* GetFirstSelected() const;
    void SelectObjectByName(const CString& objectName);
    ViewObject* GetCurrentSide();
    ViewObject* GetCurrentPage();
    int GetCurrentSideIndex();
    void SetCurrentSideIndex(int sideIndex);
    bool IsCurrentDiscDuplicated();
    bool IsCurrentDiscCentered();

    // ---- background images -----------------------------------------------------------------------
    int GetBackgroundPanel(const ViewObject* image) const;
    void FindBackgroundFit(const ViewObject* object, int& panel, int& marginOption) const;
    ViewObject* FindBackgroundImage(const ViewObject* object) const;
    bool IsBackgroundFullSide(const ViewObject* sideObject) const;
    // The rectangle (x, y, width, height) a background takes on panel 1 or 2 of a side with a
    // margin option 1 to 8.
    static Gdiplus::Rect GetMarginRect(const ViewObject* sideObject, int panel, int marginOption);

    // ---- whole document -------------------------------------------------------------------------
    void DeleteContents(bool deleteTemplates);
    // Makes the design one of copies of the given template (which stays the caller's).
    void InitWithTemplate(const LabelTemplate* labelTemplate);
    void CopyFrom(KorvanelleDocument* other, bool deep, bool copyFlag);
    void MoveFrom(KorvanelleDocument* other);
    bool MergeTemplatesFrom(KorvanelleDocument* other);
    CAlbumInfo& GetAlbumInfo() { return albumInfo; }
    void ClearImagePool(bool release);
    void AddToImagePool(IStreamObject* stream);

    // ---- album fields ----------------------------------------------------------------------------
    CString GetAlbumField(const CString& fieldName) const;
    void SetAlbumField(const CString& fieldName, const CString& value);
    void SetSampleAlbumData(bool disc2Only);
    void RefreshLinkedText();
    void ConvertOldAlbumText(const std::vector<OldTextRecord>& records);
    CString FindTemplateNameOfKind(const CString& templateName, int caseKind) const;
    CString ResolveTemplateName(const CString& templateName, int caseKind);
    CString ResolveTemplateNameAt(int index, int caseKind);

    // ---- built-in templates ----------------------------------------------------------------------
    void CreateBuiltInTemplates();
    void AddPlainDiscTemplate();
    void AddJewelCaseTemplate();
    void AddDvdCaseTemplate();
    void AddBlurayCaseTemplate();
    void AddLightScribeTemplate();
    void AssignCustomTemplateName(LabelTemplate* labelTemplate) const;
    void CreateFromTemplates(const LabelTemplate* discTemplate, const LabelTemplate* coverTemplate);

    // ---- document file ---------------------------------------------------------------------------
    void Serialize(CArchive& ar) override;
    // Stores the design into an open file; failures pass to the caller.
    void Save(CFile* file);
    bool Load(LPCSTR path);
    bool LoadImagePool(LPCSTR path);
    // The template library's reader: a document file, or a "labels.ini".
    bool OpenDocumentFile(LPCSTR path);
    void BuildHeaderRecords(bool build);
    void PostLoadFixup();
    void ReadPre500Objects(CArchive& ar);
    void ReadOldImageData(CArchive& ar, ViewObject* image);
    bool ImportLabelsIni(CFile& file);

    // ---- files before version 300 ----------------------------------------------------------------
    void ReadPre300Document(CArchive& ar);
    void ConvertOldItems(const OldDocumentParts& parts);

    // ---- fields, in declared order ---------------------------------------------------------------
    CString currentSideName;
    CString discTemplateName;
    CString coverTemplateName;
    CImagePoolArray imagePool;   // owned
    CSelectionArray selection;   // not owned
    CRegionArray handleRegions;  // owned; entries may be null
    CAlbumInfo albumInfo;
    CLabelTemplateArray templates;   // owned
    CPropertyArray propertyRecords;  // owned
    CTextArray textRecords;          // owned
    CViewObjectArray oldObjects;     // owned; files of versions 300 to 499 while they are read
    bool headerOnly = false;
    // Names no new object is given, though no object holds them now: the editor may yet bring
    // their objects back (not stored).
    std::vector<CString> heldNames;
    ViewObject* cachedSide = nullptr;
    ViewObject* cachedPage = nullptr;

private:
    // After a read, successful or not: every container keeps only records of its own class,
    // each record once, so that releasing the document frees each record exactly once.
    void SettleOwnership();
    // Drops from the selection and the side caches every object no template holds any more.
    void ForgetMissingObjects();
    void LoadContents(CArchive& ar);
    // Appends the built-in template of the row (model/BuiltInTemplates.h).
    void AddBuiltInTemplate(const BuiltInTemplate& row);
};

// Reads one object from an open file through a loading archive; false when reading fails.
bool LoadObjectFromFile(CObject* object, CFile* file);
// The startup design file of a case kind and disc layout; empty for other kinds.
CString GetTemplateDocumentName(int caseKind, int layout);
// A template of copies of the source's objects, each with its own copy of the image bytes.
LabelTemplate* CopyTemplateWithImages(const LabelTemplate* source);
// The part of a name before its first "(" (the whole name without one).
CString BaseNameOf(const CString& objectName);
