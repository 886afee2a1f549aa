// The parsers of the disc database's replies: query matches, xmcd records and
// server lists. Every read stays inside the text it is given.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "disc/CDDB.h"

namespace {

// The most characters a record keeps of one album text (a title, the genre, a track title, the
// extended data): as much as the design's text fields take from any other lookup source. A
// field split over many lines, or one huge line, stops growing there instead of carrying
// megabytes into the design.
const size_t kMaxFieldChars = 1023;
// The disc title holds the artist, " / " and the title.
const size_t kMaxDiscTitleChars = 2 * kMaxFieldChars + 3;
// The play order: up to 99 track numbers of up to 3 digits and their commas.
const size_t kMaxPlayOrderChars = 99 * 4;

void AppendBounded(std::string& to, const std::string& value, size_t limit) {
    if (to.size() >= limit) return;
    to.append(value, 0, limit - to.size());
}

void AppendBounded(CString& to, const std::string& value, size_t limit) {
    const size_t have = (size_t)to.GetLength();
    if (have >= limit) return;
    to += CString(value.substr(0, limit - have));
}

// The reply code in the body's first three characters; -1 when they are not three digits.
int ReplyCode(const std::string& body) {
    if (body.size() < 3) return -1;
    for (int i = 0; i < 3; ++i)
        if (body[i] < '0' || body[i] > '9') return -1;
    return (body[0] - '0') * 100 + (body[1] - '0') * 10 + (body[2] - '0');
}

// Lines end at "\r\n", or at "\n" where a line has no "\r\n".
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        size_t end = nl;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        start = nl + 1;
    }
    return lines;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, strlen(prefix), prefix) == 0;
}

std::string TrimBlanks(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

long DecimalOf(const std::string& s) {
    return strtol(s.c_str(), nullptr, 10);
}

// "\n", "\t" and "\\" in one pass from the left: a backslash pair followed by
// an "n" stays a backslash and an "n".
std::string DecodeEscapes(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[i + 1];
            if (c == 'n') {
                out += '\n';
                ++i;
                continue;
            }
            if (c == 't') {
                out += '\t';
                ++i;
                continue;
            }
            if (c == '\\') {
                out += '\\';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// The track number behind "TTITLE" or "EXTT": one to two digits, 0 to 99.
bool TrackIndex(const std::string& digits, int* pIndex) {
    if (digits.empty() || digits.size() > 2) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    *pIndex = atoi(digits.c_str());
    return *pIndex >= 0 && *pIndex <= 99;
}

void AppendAt(CStringArray& list, int index, const std::string& value) {
    // Grows the list to the index; a later, smaller index never drops titles.
    if (list.GetSize() < index + 1) list.SetSize(index + 1);
    AppendBounded(list.ElementAt(index), value, kMaxFieldChars);
}

bool FailProtocol() {
    WSASetLastError(CCDDB::kErrorProtocol);
    return false;
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// "N048.13": a letter, three digits of degrees, one separator, two digits of minutes.
bool ParseCoordinate(const std::string& s, char positive, char negative, int* pPositive, int* pMinutes) {
    if (s.size() != 7) return false;
    if (s[0] != positive && s[0] != negative) return false;
    if (!AllDigits(s.substr(1, 3)) || !AllDigits(s.substr(5, 2))) return false;
    *pPositive = s[0] == positive ? 1 : 0;
    *pMinutes = atoi(s.substr(1, 3).c_str()) * 60 + atoi(s.substr(5, 2).c_str());
    return true;
}

}  // namespace

bool CCDDB::ParseQueryReply(LPCSTR pszBody, std::vector<CCDDBQueryResult>& results) {
    results.clear();
    std::string body(pszBody ? pszBody : "");
    int code = ReplyCode(body);
    if (code >= 210 && code <= 219) {
        std::vector<std::string> lines = SplitLines(body);
        for (size_t i = 1; i < lines.size(); ++i) {
            CCDDBQueryResult match;
            if (match.Parse(lines[i].c_str())) results.push_back(match);
        }
        return true;
    }
    if (code == 200) {
        if (body.size() <= 5) return FailProtocol();
        CCDDBQueryResult match;
        if (match.Parse(body.c_str() + 4)) results.push_back(match);
        return true;
    }
    if (code == 202) return true;
    return FailProtocol();
}

bool CCDDB::ParseRecordReply(LPCSTR pszBody, CCDDBRecord& record) {
    std::string body(pszBody ? pszBody : "");
    int code = ReplyCode(body);
    if (code < 210 || code > 219) return FailProtocol();
    if (body.find('\n') == std::string::npos) return FailProtocol();
    std::vector<std::string> lines = SplitLines(body);

    record.Clear();
    bool xmcd = false, offsetsOpen = false, seenLength = false, seenSubmitted = false;
    bool hasId = false, seenTitle = false;
    std::string discTitle, playOrder;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '#') {
            std::string rest = line.substr(1);
            std::string text = rest.size() > 1 ? TrimBlanks(rest) : std::string();
            if (StartsWith(text, "xmcd")) {
                xmcd = true;
            } else if (text.find("Track frame offsets:") != std::string::npos) {
                offsetsOpen = true;
            } else if (StartsWith(text, "Disc length:")) {
                offsetsOpen = false;
                seenLength = true;
                record.m_discLength = text.size() > 13 ? (int)DecimalOf(text.substr(13)) : 0;
            } else if (StartsWith(text, "Revision:")) {
                record.m_revision = text.size() > 9 ? (int)DecimalOf(text.substr(9)) : 0;
            } else if (StartsWith(text, "Submitted via:")) {
                std::vector<std::string> words;
                std::string rest14 = text.size() > 14 ? text.substr(14) : std::string();
                size_t pos = 0;
                while (words.size() < 2) {
                    pos = rest14.find_first_not_of(' ', pos);
                    if (pos == std::string::npos) break;
                    size_t end = rest14.find(' ', pos);
                    words.push_back(
                        rest14.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
                    if (end == std::string::npos) break;
                    pos = end;
                }
                if (words.size() < 2) return FailProtocol();
                record.m_submitterClient = CString(words[0]);
                record.m_submitterVersion = CString(words[1]);
                seenSubmitted = true;
            } else if (!text.empty() && offsetsOpen) {
                record.m_trackOffsets.Add((DWORD)strtoul(text.c_str(), nullptr, 10));
            }
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        std::string value = DecodeEscapes(line.substr(eq + 1));
        int index = 0;
        if (key == "DISCID") {
            if (value.size() >= 8) {
                record.m_discId = (DWORD)strtoul(value.c_str(), nullptr, 16);
                hasId = true;
            }
        } else if (key == "DTITLE") {
            AppendBounded(discTitle, value, kMaxDiscTitleChars);
            seenTitle = true;
        } else if (key == "DYEAR") {
            record.m_year = (int)DecimalOf(value);
        } else if (key == "DGENRE") {
            AppendBounded(record.m_genre, value, kMaxFieldChars);
        } else if (StartsWith(key, "TTITLE")) {
            if (!TrackIndex(key.substr(6), &index)) return FailProtocol();
            AppendAt(record.m_trackTitles, index, value);
        } else if (key == "EXTD") {
            AppendBounded(record.m_extendedData, value, kMaxFieldChars);
        } else if (StartsWith(key, "EXTT")) {
            if (!TrackIndex(key.substr(4), &index)) return FailProtocol();
            AppendAt(record.m_extendedTrackData, index, value);
        } else if (key == "PLAYORDER") {
            AppendBounded(playOrder, value, kMaxPlayOrderChars);
        }
    }

    if (!xmcd || record.m_trackOffsets.GetSize() < 1 || !seenLength || !seenSubmitted || !hasId ||
        !seenTitle || record.m_trackTitles.GetSize() != record.m_extendedTrackData.GetSize())
        return FailProtocol();

    size_t split = discTitle.find(" / ");
    if (split != std::string::npos) {
        record.m_artist = CString(discTitle.substr(0, std::min(split, kMaxFieldChars)));
        record.m_title = CString(discTitle.substr(split + 3, kMaxFieldChars));
    } else {
        record.m_artist = CString(discTitle.substr(0, kMaxFieldChars));
        record.m_title = record.m_artist;
    }
    if (!playOrder.empty()) {
        size_t start = 0;
        for (;;) {
            size_t comma = playOrder.find(',', start);
            std::string piece =
                playOrder.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            record.m_playOrder.Add((DWORD)strtoul(piece.c_str(), nullptr, 10));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    return true;
}

bool CCDDB::ParseSitesReply(LPCSTR pszBody, std::vector<CCDDBSite>& sites) {
    std::string body(pszBody ? pszBody : "");
    int code = ReplyCode(body);
    if (code < 210 || code > 219) return FailProtocol();
    sites.clear();
    std::vector<std::string> lines = SplitLines(body);
    for (size_t i = 1; i < lines.size(); ++i) {
        CCDDBSite site;
        if (site.Parse(lines[i].c_str())) sites.push_back(site);
    }
    return true;
}

bool CCDDBSite::Parse(LPCSTR pszLine) {
    if (!pszLine) return false;
    std::string line(pszLine);
    size_t nl = line.find('\n');
    if (nl != std::string::npos) line.resize(nl);
    if (!line.empty() && line.back() == '\r') line.pop_back();

    // Fields 1 to 6 each end at a blank; the description is the rest of the line.
    std::string fields[6];
    size_t pos = 0;
    for (int f = 0; f < 6; ++f) {
        if (pos >= line.size() || line[pos] == ' ') return false;
        size_t blank = line.find(' ', pos);
        if (blank == std::string::npos) return false;
        fields[f] = line.substr(pos, blank - pos);
        pos = line.find_first_not_of(' ', blank);
        if (pos == std::string::npos) return false;
    }
    std::string description = line.substr(pos);
    if (description.empty()) return false;
    if (CString(fields[1].c_str()).CompareNoCase("http") != 0) return false;
    if (!AllDigits(fields[2]) || fields[2].size() > 5) return false;
    int port = atoi(fields[2].c_str());
    if (port < 1 || port > 65535) return false;
    int north = 0, latitude = 0, east = 0, longitude = 0;
    if (!ParseCoordinate(fields[4], 'N', 'S', &north, &latitude)) return false;
    if (!ParseCoordinate(fields[5], 'E', 'W', &east, &longitude)) return false;

    m_host = CString(fields[0]);
    m_port = port;
    m_path = CString(fields[3]);
    m_north = north;
    m_latitude = latitude;
    m_east = east;
    m_longitude = longitude;
    m_description = CString(description);
    return true;
}
