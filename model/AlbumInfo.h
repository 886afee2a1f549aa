// CAlbumInfo: the album data embedded in every design (artist, title, track list, year, total
// time and genre of disc 1 and disc 2, disc count and case), with the readers of the record
// layouts of older files.
#pragma once

#include "framework/Core.h"

class CAlbumInfo : public CObject {
    DECLARE_SERIAL(CAlbumInfo)
public:
    CAlbumInfo();
    void Clear();
    void CopyFrom(const CAlbumInfo& other);
    // The field a name selects (the name is cut at its first "("); a name that selects no
    // field changes nothing / gives "".
    void SetField(const CString& name, const CString& value);
    CString GetField(const CString& name) const;
    void Serialize(CArchive& ar) override;

    // Disc 1 and disc 2: index 0 and 1.
    CString m_artist[2];
    CString m_title[2];
    CString m_trackList[2];  // three 0x08-terminated fields per track: number, title, time
    CString m_year[2];
    CString m_time[2];
    CString m_genre[2];
    int m_oldImageCount = 0;  // files below version 300
    CString m_sideName;       // side current when saved
    CString m_pageNumber;     // page current when saved, as decimal text
    CString m_discCount;      // "Single" or "Double"
    CString m_case;           // "Jewel", "DVD" ...
    int m_oldImageNumber = 0;
    int m_oldValue3 = 0;
    LONGLONG m_oldPair = 0;

private:
    CString* FieldFor(const CString& name);
};

// The album record of the document being read, for object records that take linked texts and
// old case words from it; null outside a read.
extern CAlbumInfo* g_loadingAlbumInfo;
