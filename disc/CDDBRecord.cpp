#include "disc/CDDBRecord.h"

#include <cstdlib>
#include <string>

IMPLEMENT_DYNAMIC(CCDDBRecord, CObject)

CObArray g_discRecords;

void ClearDiscRecords() {
    for (INT_PTR i = 0; i < g_discRecords.GetSize(); ++i) {
        CCDDBRecord* p = static_cast<CCDDBRecord*>(g_discRecords.GetAt(i));
        if (p) {
            p->Clear();
            delete p;
        }
    }
    g_discRecords.RemoveAll();
}

CCDDBRecord& CCDDBRecord::operator=(const CCDDBRecord& other) {
    if (this == &other) return *this;
    m_trackOffsets.Copy(other.m_trackOffsets);
    m_discLength = other.m_discLength;
    m_revision = other.m_revision;
    m_submitterClient = other.m_submitterClient;
    m_submitterVersion = other.m_submitterVersion;
    m_source = other.m_source;
    m_discId = other.m_discId;
    m_artist = other.m_artist;
    m_title = other.m_title;
    m_trackTitles.Copy(other.m_trackTitles);
    m_extendedData = other.m_extendedData;
    m_extendedTrackData.Copy(other.m_extendedTrackData);
    m_playOrder.Copy(other.m_playOrder);
    m_year = other.m_year;
    m_genre = other.m_genre;
    return *this;
}

void CCDDBRecord::Clear() {
    m_trackOffsets.RemoveAll();
    m_discLength = 0;
    m_revision = 0;
    m_submitterClient.Empty();
    m_submitterVersion.Empty();
    m_source.Empty();
    m_discId = 0;
    m_artist.Empty();
    m_title.Empty();
    m_trackTitles.RemoveAll();
    m_extendedData.Empty();
    m_extendedTrackData.RemoveAll();
    m_playOrder.RemoveAll();
    m_year = 0;
    m_genre.Empty();
}

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

CString TrimBlanks(const std::string& s) {
    CString out(s);
    out.Trim(' ');
    return out;
}

}  // namespace

bool CCDDBQueryResult::Parse(LPCSTR pszLine) {
    if (!pszLine) return false;
    std::string line(pszLine);
    // The line ends at its first "\r\n", or failing that at its first "\n".
    size_t end = line.find("\r\n");
    if (end == std::string::npos) end = line.find('\n');
    if (end != std::string::npos) line.resize(end);

    size_t blank = line.find(' ');
    if (blank == std::string::npos || blank == 0) return false;
    std::string category = line.substr(0, blank);
    size_t pos = line.find_first_not_of(' ', blank);
    if (pos == std::string::npos) return false;
    size_t idEnd = pos;
    while (idEnd < line.size() && IsHexDigit(line[idEnd])) ++idEnd;
    if (idEnd == pos || idEnd - pos > 8 || idEnd >= line.size() || line[idEnd] != ' ') return false;
    DWORD id = (DWORD)strtoul(line.substr(pos, idEnd - pos).c_str(), nullptr, 16);
    pos = line.find_first_not_of(' ', idEnd);
    if (pos == std::string::npos) return false;
    std::string discTitle = line.substr(pos);
    if (discTitle.empty()) return false;

    m_category = CString(category);
    m_discId = id;
    size_t slash = discTitle.find('/');
    if (slash != std::string::npos) {
        m_artist = TrimBlanks(discTitle.substr(0, slash));
        m_title = TrimBlanks(discTitle.substr(slash + 1));
    } else {
        m_artist.Empty();
        m_title = CString(discTitle);
    }
    return true;
}
