// The document file: the design written through the archive as version 507, read back from
// every version, the entry points that open, load and store files, and the repairs made after
// reading files of versions below 500; the template library's oldest form, "labels.ini".
#include "model/KorvanelleDocument.h"

#include "model/LabelDimensions.h"

#include <cstdlib>
#include <unordered_set>

int g_lastReadFileVersion = kCurrentFileVersion;

namespace {

int g_readDepth = 0;

// Keeps the entries of `list` that are of `cls`, not null and not yet in `seen`.
void KeepOwnEntries(CObArray& list, const CRuntimeClass* cls, std::unordered_set<const CObject*>& seen) {
    for (INT_PTR i = 0; i < list.GetSize();) {
        CObject* o = list[i];
        if (o && o->IsKindOf(cls) && seen.insert(o).second)
            ++i;
        else
            list.RemoveAt(i);
    }
}

// Reads an object array whose elements must all be of `cls` (or null): a record of another class
// fails the read before it is created, so no record can nest a document or a template in itself.
void ReadArrayOf(CArchive& ar, CObArray& list, const CRuntimeClass* cls) {
    DWORD_PTR count = ar.ReadCount();
    list.RemoveAll();
    for (DWORD_PTR i = 0; i < count; ++i) list.Add(ar.ReadObject(cls));
}

// Reads one line; a file that has ended fails the read.
void ReadLine(CArchive& ar, CString& line) {
    if (!ar.ReadString(line)) AfxThrowArchiveException(CArchiveException::endOfFile);
}

}  // namespace

DocumentReadScope::DocumentReadScope() : m_outermost(g_readDepth == 0) {
    ++g_readDepth;
    if (m_outermost) {
        g_fileVersion = kCurrentFileVersion;
        g_loadingAlbumInfo = nullptr;
        g_lastReadFileVersion = kCurrentFileVersion;
    }
}

DocumentReadScope::~DocumentReadScope() {
    --g_readDepth;
    if (m_outermost) {
        g_fileVersion = kCurrentFileVersion;
        g_loadingAlbumInfo = nullptr;
    }
}

void KorvanelleDocument::BuildHeaderRecords(bool build) {
    for (INT_PTR i = 0; i < propertyRecords.GetSize(); ++i) delete propertyRecords[i];
    propertyRecords.RemoveAll();
    for (INT_PTR i = 0; i < textRecords.GetSize(); ++i) delete textRecords[i];
    textRecords.RemoveAll();
    if (build) {
        propertyRecords.Add(new CProperty(CString(), CString(), CString(), 0, CString(), CString(), 0));
        textRecords.Add(new CText(0, CString(), CString(), CString()));
    }
}

void KorvanelleDocument::SettleOwnership() {
    std::unordered_set<const CObject*> seen;
    KeepOwnEntries(propertyRecords, RUNTIME_CLASS(CProperty), seen);
    KeepOwnEntries(textRecords, RUNTIME_CLASS(CText), seen);
    KeepOwnEntries(imagePool, RUNTIME_CLASS(IStreamObject), seen);
    KeepOwnEntries(templates, RUNTIME_CLASS(LabelTemplate), seen);
    // An object may be named by more than one template of a damaged file; it stays with the first.
    for (INT_PTR i = 0; i < templates.GetSize(); ++i)
        KeepOwnEntries(templates[i]->objects, RUNTIME_CLASS(ViewObject), seen);
    KeepOwnEntries(oldObjects, RUNTIME_CLASS(ViewObject), seen);
}

void KorvanelleDocument::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        BuildHeaderRecords(true);
        propertyRecords.Serialize(ar);
        textRecords.Serialize(ar);
        imagePool.Serialize(ar);
        if (headerOnly) return;
        albumInfo.Serialize(ar);
        ar << currentSideName << discTemplateName << coverTemplateName;
        templates.Serialize(ar);
        BuildHeaderRecords(false);
        return;
    }

    // A read entered here directly still starts at the current version and leaves the reader's
    // globals at rest.
    DocumentReadScope scope;
    try {
        LoadContents(ar);
    } catch (...) {
        // What was read so far stays in the document, each record owned once.
        SettleOwnership();
        throw;
    }
    SettleOwnership();
}

void KorvanelleDocument::LoadContents(CArchive& ar) {
    ReadArrayOf(ar, propertyRecords, RUNTIME_CLASS(CProperty));
    ReadArrayOf(ar, textRecords, RUNTIME_CLASS(CText));
    g_lastReadFileVersion = g_fileVersion;
    const int version = g_fileVersion;
    if (version > kCurrentFileVersion) AfxThrowArchiveException(CArchiveException::badSchema);

    if (version >= 500) {
        ReadArrayOf(ar, imagePool, RUNTIME_CLASS(IStreamObject));
        albumInfo.Serialize(ar);
        g_loadingAlbumInfo = &albumInfo;
        ar >> currentSideName >> discTemplateName >> coverTemplateName;
        ReadArrayOf(ar, templates, RUNTIME_CLASS(LabelTemplate));
        SettleOwnership();
        BuildHeaderRecords(false);
        return;
    }
    albumInfo.Serialize(ar);
    g_loadingAlbumInfo = &albumInfo;
    if (version >= 300)
        ReadPre500Objects(ar);
    else
        ReadPre300Document(ar);
    SettleOwnership();
    PostLoadFixup();
    BuildHeaderRecords(false);
}

void KorvanelleDocument::ReadPre500Objects(CArchive& ar) {
    ReadArrayOf(ar, oldObjects, RUNTIME_CLASS(ViewObject));
    SettleOwnership();
    for (INT_PTR i = 0; i < oldObjects.GetSize(); ++i) {
        ViewObject* o = oldObjects[i];
        if (o->IsImage() && o->imageSource.IsEmpty()) ReadOldImageData(ar, o);
    }
}

void KorvanelleDocument::ReadOldImageData(CArchive& ar, ViewObject* image) {
    CString unused, countLine;
    ReadLine(ar, unused);
    ReadLine(ar, countLine);
    const int count = std::atoi(countLine);
    if (count <= 0) return;
    // The count comes from the file: it cannot ask for more than the file still holds.
    if (static_cast<ULONGLONG>(count) > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<BYTE> bytes(static_cast<size_t>(count));
    ar.EnsureRead(bytes.data(), static_cast<UINT>(count));
    if (image) image->image.SetBytes(bytes.data(), static_cast<ULONG>(count));
}

void KorvanelleDocument::PostLoadFixup() {
    GuardOperation(660, [&] {
        const CString& savedSide = albumInfo.m_sideName;
        if (savedSide == "Disc 2" || savedSide == "Disc 1" || savedSide == "Front Cover" ||
            savedSide == "Back Cover") {
            currentSideName = savedSide;
        } else {
            int page = std::atoi(albumInfo.m_pageNumber);
            currentSideName = page == 2 ? "Front Cover" : page == 3 ? "Back Cover" : "Disc 1";
        }
        cachedSide = nullptr;
        cachedPage = nullptr;

        LabelTemplate* discs = new LabelTemplate;
        LabelTemplate* covers = new LabelTemplate;
        for (INT_PTR i = 0; i < oldObjects.GetSize(); ++i) {
            ViewObject* o = oldObjects[i];
            if (o->side == 1)
                discs->AddObject(o);
            else if (o->side == 2 || o->side == 3)
                covers->AddObject(o);
            else
                DeleteViewObject(o);  // on no page of the design: nowhere to show it
        }
        oldObjects.RemoveAll();
        AssignCustomTemplateName(discs);
        AssignCustomTemplateName(covers);

        // Old files hold both discs; without both the layout stays the first one.
        ViewObject* disc1 = discs->GetDisc(1);
        ViewObject* disc2 = discs->GetDisc(2);
        if (disc1 && disc2) {
            bool disc1Higher = disc1->top < disc2->top;
            if (albumInfo.m_discCount != "Single")
                discs->layout = disc1Higher ? kLayout2DiscBottom : kLayout2DiscTop;
            else
                discs->layout = disc1Higher ? kLayout1DiscTop : kLayout1DiscBottom;
        }
        templates.Add(discs);
        templates.Add(covers);
    });
}

void KorvanelleDocument::Save(CFile* file) {
    CArchive ar(file, CArchive::store, 4096);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
}

bool LoadObjectFromFile(CObject* object, CFile* file) {
    if (!object || !file) return false;
    DocumentReadScope scope;
    try {
        CArchive ar(file, CArchive::load, 4096);
        ar.m_pDocument = object;
        object->Serialize(ar);
        ar.Close();
        return true;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {}
    return false;
}

bool KorvanelleDocument::Load(LPCSTR path) {
    DocumentReadScope scope;
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) return false;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        return false;
    } catch (...) {
        file.Abort();
        return false;
    }
    MakeNamesUnique();
    return true;
}

bool KorvanelleDocument::LoadImagePool(LPCSTR path) {
    headerOnly = true;
    bool ok = Load(path);
    headerOnly = false;
    return ok && imagePool.GetSize() > 0;
}

bool KorvanelleDocument::OpenDocumentFile(LPCSTR path) {
    DocumentReadScope scope;
    DeleteContents(true);
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) return false;
    CString name(path);
    bool ok;
    if (name.GetLength() >= 10 && name.Right(10) == "labels.ini")
        ok = ImportLabelsIni(file);
    else
        ok = LoadObjectFromFile(this, &file);
    file.Abort();
    if (!ok) DeleteContents(true);
    return ok;
}

bool KorvanelleDocument::ImportLabelsIni(CFile& file) {
    DocumentReadScope scope;
    CObArray records;
    bool ok = GuardOperation(670, [&] {
        CArchive ar(&file, CArchive::load, 4096);
        try {
            ReadArrayOf(ar, records, RUNTIME_CLASS(CLabelDim));
        } catch (...) {
            // Each record read so far is released once, whatever the damaged file repeated: a
            // repeat is recognised by its address before anything of it is touched (the first
            // copy may already be freed).
            std::unordered_set<CObject*> seen;
            for (INT_PTR i = 0; i < records.GetSize(); ++i)
                if (records[i] && seen.insert(records[i]).second &&
                    records[i]->IsKindOf(RUNTIME_CLASS(CLabelDim)))
                    delete records[i];
            records.RemoveAll();
            throw;
        }
        CString line;
        ar.ReadString(line);
        ar.Close();

        std::unordered_set<CObject*> seen;
        std::vector<CLabelDim*> stocks;
        for (INT_PTR i = 0; i < records.GetSize(); ++i)
            if (records[i] && seen.insert(records[i]).second &&
                records[i]->IsKindOf(RUNTIME_CLASS(CLabelDim)))
                stocks.push_back(static_cast<CLabelDim*>(records[i]));
        records.RemoveAll();

        int comma = line.Find(',');
        int a = comma >= 0 ? std::atoi(line.Left(comma)) : 0;
        int b = comma >= 0 ? std::atoi(line.Mid(comma + 1)) : std::atoi(line);

        for (CLabelDim* stock : stocks) AddTemplate(NewTemplateFromLabelDim(stock));
        for (CLabelDim* stock : stocks) delete stock;

        if (a >= 0 && a < templates.GetSize()) ResolveTemplateNameAt(a, kCaseDisc);
        if (b >= 0 && b < templates.GetSize()) ResolveTemplateNameAt(b, kCaseCover);
    });
    return ok;
}
