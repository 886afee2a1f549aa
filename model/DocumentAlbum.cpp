// Album fields in the design: reading and writing a field by name, the sample values of a new
// design, linked texts that follow their field, the album texts of the oldest files, and how the
// design settles the names of its disc and cover templates.
#include "model/KorvanelleDocument.h"
#include "model/OldFormat.h"

#include <cstdlib>

namespace {

const char kFieldEnd = 0x08;

const char* const kFieldNames[6] = {"Artist", "Title", "Track List", "Year", "Time", "Genre"};

// Seven sample tracks: "k. ", title, " 0:0k", each field ended by 0x08.
CString SampleTrackList(const char* titleSuffix) {
    CString list;
    for (int k = 1; k <= 7; ++k) {
        CString track;
        track.Format("%d. %cTrack %d%s%c 0:%02d%c", k, kFieldEnd, k, titleSuffix, kFieldEnd, k, kFieldEnd);
        list += track;
    }
    return list;
}

void FillSampleFields(CAlbumInfo& album, const char* suffix) {
    for (const char* field : kFieldNames) {
        CString name = CString(field) + suffix;
        if (CString(field) == "Track List")
            album.SetField(name, SampleTrackList(suffix));
        else
            album.SetField(name, name + kFieldEnd);
    }
}

}  // namespace

CString KorvanelleDocument::GetAlbumField(const CString& fieldName) const {
    return albumInfo.GetField(fieldName);
}

void KorvanelleDocument::SetAlbumField(const CString& fieldName, const CString& value) {
    albumInfo.SetField(fieldName, value);
}

void KorvanelleDocument::SetSampleAlbumData(bool disc2Only) {
    GuardOperation(640, [&] {
        if (!disc2Only) {
            // The design's disc template decides; a design still being put together has only
            // the first template that holds a disc to go by.
            LabelTemplate* disc = GetDiscTemplate();
            int layout = disc ? disc->layout : GetDiscLayout();
            bool twoDiscs = layout >= 3 && layout <= 5;
            if (!twoDiscs) {
                FillSampleFields(albumInfo, "");
                return;
            }
            FillSampleFields(albumInfo, " - Disc 1");
        }
        FillSampleFields(albumInfo, " - Disc 2");
    });
}

void KorvanelleDocument::RefreshLinkedText() {
    GuardOperation(641, [&] {
        ForEachObject([&](ViewObject* o) {
            if (!(o->IsText() || o->IsTrackList()) || !o->bLinkText) return;
            CString value = albumInfo.GetField(o->name);
            if (!value.IsEmpty() && value != o->GetText()) o->SetTextKeepStyles(value);
        });
    });
}

void KorvanelleDocument::ConvertOldAlbumText(const std::vector<OldTextRecord>& records) {
    GuardOperation(642, [&] {
        for (const OldTextRecord& record : records) {
            CString result;
            const CString& value = record.third;
            if (record.second == "Text") {
                for (int i = 0; i < value.GetLength(); ++i) {
                    char c = value.GetAt(i);
                    if (c == '\r' && i + 1 < value.GetLength() && value.GetAt(i + 1) == '\n') ++i;
                    result += c;
                }
                result += kFieldEnd;
            } else {
                // "n`title`time`title`time`...": the count, then title and time of each track.
                // The count comes from the file: the tracks actually present bound it.
                int at = value.Find('`');
                int count = at >= 0 ? std::atoi(value.Left(at)) : 0;
                int pos = at + 1;
                auto nextItem = [&](CString& item) {
                    if (at < 0 || pos > value.GetLength()) return false;
                    int end = value.Find('`', pos);
                    if (end < 0) return false;
                    item = value.Mid(pos, end - pos);
                    pos = end + 1;
                    return true;
                };
                for (int k = 1; k <= count; ++k) {
                    CString title, time;
                    if (!nextItem(title) || !nextItem(time)) break;
                    CString track;
                    track.Format("%d. %c", k, kFieldEnd);
                    result += track;
                    result += title;
                    result += kFieldEnd;
                    result += ' ';
                    result += time;
                    result += kFieldEnd;
                }
            }
            albumInfo.SetField(record.first, result);
        }
    });
}

CString KorvanelleDocument::FindTemplateNameOfKind(const CString& templateName, int caseKind) const {
    auto ofKind = [&](const LabelTemplate* t) {
        return caseKind == kCaseCover ? t->HasCover() : t->GetCaseKind() == caseKind;
    };
    for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
        LabelTemplate* t = templates[i];
        if (t && ofKind(t) && t->name == templateName) return t->name;
    }
    for (INT_PTR i = 0; i < templates.GetSize(); ++i) {
        LabelTemplate* t = templates[i];
        if (t && ofKind(t)) return t->name;
    }
    return CString();
}

CString KorvanelleDocument::ResolveTemplateName(const CString& templateName, int caseKind) {
    CString result;
    GuardOperation(643, [&] {
        result = FindTemplateNameOfKind(templateName, caseKind);
        if (caseKind == kCaseDisc)
            discTemplateName = result;
        else
            coverTemplateName = result;
    });
    return result;
}

CString KorvanelleDocument::ResolveTemplateNameAt(int index, int caseKind) {
    CString templateName;
    if (index >= 0 && index < templates.GetSize() && templates[index]) templateName = templates[index]->name;
    return ResolveTemplateName(templateName, caseKind);
}
