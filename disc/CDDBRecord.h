// Album candidates of a disc lookup and the match lines of a database query.
#pragma once

#include "framework/Core.h"

// One album found by a lookup source ("Freedb", "CD-TEXT" or "CDPlayer.ini").
class CCDDBRecord : public CObject {
    DECLARE_DYNAMIC(CCDDBRecord)
public:
    CCDDBRecord() = default;
    CCDDBRecord(const CCDDBRecord& other) : CObject() { *this = other; }
    CCDDBRecord& operator=(const CCDDBRecord& other);
    // Back to the state of a new record.
    void Clear();

    CDWordArray m_trackOffsets;  // frames, 75 a second
    int m_discLength = 0;        // seconds
    int m_revision = 0;
    CString m_submitterClient;
    CString m_submitterVersion;
    CString m_source;
    DWORD m_discId = 0;
    CString m_artist;
    CString m_title;
    CStringArray m_trackTitles;
    CString m_extendedData;
    CStringArray m_extendedTrackData;
    CDWordArray m_playOrder;
    int m_year = 0;
    CString m_genre;
};

// One match line of a query reply: enough to read the full record.
class CCDDBQueryResult {
public:
    // "category discid disc title"; true when the line is well formed.
    bool Parse(LPCSTR pszLine);

    CString m_category;
    DWORD m_discId = 0;
    CString m_artist;
    CString m_title;
};

// The records of the current lookup, in the order found (owned).
extern CObArray g_discRecords;
// Deletes every record and empties the list.
void ClearDiscRecords();
