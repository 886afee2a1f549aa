#include "model/AlbumInfo.h"

#include "model/HeaderRecords.h"

IMPLEMENT_SERIAL(CAlbumInfo, CObject, 507 | VERSIONABLE_SCHEMA)

CAlbumInfo* g_loadingAlbumInfo = nullptr;

CAlbumInfo::CAlbumInfo() {
    Clear();
}

void CAlbumInfo::Clear() {
    GuardOperation(540, [&] {
        for (int d = 0; d < 2; ++d) {
            m_artist[d].Empty();
            m_title[d].Empty();
            m_trackList[d].Empty();
            m_year[d].Empty();
            m_time[d].Empty();
            m_genre[d].Empty();
        }
        m_oldImageCount = 0;
        m_sideName.Empty();
        m_pageNumber.Empty();
        m_discCount.Empty();
        m_case.Empty();
        m_oldImageNumber = 0;
        m_oldValue3 = 0;
        m_oldPair = 0;
    });
}

void CAlbumInfo::CopyFrom(const CAlbumInfo& other) {
    GuardOperation(541, [&] {
        if (&other == this) return;
        for (int d = 0; d < 2; ++d) {
            m_artist[d] = other.m_artist[d];
            m_title[d] = other.m_title[d];
            m_trackList[d] = other.m_trackList[d];
            m_year[d] = other.m_year[d];
            m_time[d] = other.m_time[d];
            m_genre[d] = other.m_genre[d];
        }
        m_oldImageCount = other.m_oldImageCount;
        m_sideName = other.m_sideName;
        m_pageNumber = other.m_pageNumber;
        m_discCount = other.m_discCount;
        m_case = other.m_case;
        m_oldImageNumber = other.m_oldImageNumber;
        m_oldValue3 = other.m_oldValue3;
        m_oldPair = other.m_oldPair;
    });
}

CString* CAlbumInfo::FieldFor(const CString& fullName) {
    int bracket = fullName.Find('(');
    CString name = bracket >= 0 ? fullName.Left(bracket) : fullName;
    struct Entry {
        const char* base;
        CString* fields;
    };
    const Entry entries[] = {
        {"Artist", m_artist}, {"Title", m_title}, {"Track List", m_trackList},
        {"Year", m_year},     {"Time", m_time},   {"Genre", m_genre},
    };
    for (const Entry& e : entries) {
        CString base(e.base);
        if (name == base || name == base + " - Disc 1") return &e.fields[0];
        if (name == base + " - Disc 2") return &e.fields[1];
    }
    return nullptr;
}

void CAlbumInfo::SetField(const CString& name, const CString& value) {
    GuardOperation(542, [&] {
        CString* field = FieldFor(name);
        if (field) *field = value;
    });
}

CString CAlbumInfo::GetField(const CString& name) const {
    CString result;
    GuardOperation(543, [&] {
        const CString* field = const_cast<CAlbumInfo*>(this)->FieldFor(name);
        if (field) result = *field;
    });
    return result;
}

void CAlbumInfo::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_pageNumber << m_sideName << m_discCount;
        ar << m_artist[0] << m_artist[1] << m_title[0] << m_title[1] << m_trackList[0] << m_trackList[1];
        ar << m_year[0] << m_year[1] << m_time[0] << m_time[1] << m_genre[0] << m_genre[1];
        ar << m_case;
        return;
    }

    int version = g_fileVersion;
    if (version >= 300) {
        ar >> m_pageNumber >> m_sideName >> m_discCount;
        ar >> m_artist[0] >> m_artist[1] >> m_title[0] >> m_title[1] >> m_trackList[0] >> m_trackList[1];
        ar >> m_year[0] >> m_year[1] >> m_time[0] >> m_time[1] >> m_genre[0] >> m_genre[1];
        if (version >= 310)
            ar >> m_case;
        else
            m_case = "Jewel";
    } else {
        ar >> m_pageNumber >> m_oldValue3 >> m_sideName >> m_oldPair >> m_oldImageCount >> m_discCount;
        if (version >= 5) ar >> m_oldImageNumber;
        m_case = "Jewel";
    }
    if (version < 500) {
        bool countOk = m_discCount == "Single" || m_discCount == "Double";
        bool caseOk = m_case == "Jewel" || m_case == "DVD";
        if (!countOk || !caseOk) AfxThrowArchiveException(CArchiveException::badSchema);
    }
}
