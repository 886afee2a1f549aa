// CD-TEXT records, the CDPlayer.ini lookup and the MP3 names and tags of the Read CD worker.
#include "disc/ReadCdSources.h"

#include <id3/tag.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const BYTE* Descriptor(const BYTE* pToc, int i) {
    return pToc + 4 + 8 * i;
}

long FramesOf(const BYTE* pToc, int i) {
    const BYTE* d = Descriptor(pToc, i);
    return (long)(d[5] * 60 + d[6]) * 75 + d[7];
}

// Leading blanks, tabs and line-end characters.
CString TrimLineStart(const CString& line) {
    int i = 0;
    while (i < line.GetLength() && strchr(" \t\r\n", line[i])) ++i;
    return line.Mid(i);
}

CString TrimLineEnd(const CString& value) {
    CString v = value;
    v.TrimRight(" \t\r\n");
    return v;
}

// The folding that names and tag texts share: '_' to blank, trimmed, blanks around dashes and
// runs of blanks become one "-".
CString FoldName(const CString& text, bool withTripleBlank) {
    CString s = text;
    s.Replace('_', ' ');
    s.Trim(" ");
    if (withTripleBlank) s.Replace("   ", "-");
    s.Replace("  ", "-");
    s.Replace(" - ", "-");
    s.Replace(" -", "-");
    s.Replace("- ", "-");
    return s;
}

// The first text of a text frame in the system's code page; empty when the frame or its text
// field is missing or holds an encoding id3lib gives no access to.
CString FrameText(const ID3_Tag& tag, ID3_FrameID id) {
    ID3_Frame* frame = tag.Find(id);
    if (!frame) return CString();
    ID3_Field* field = frame->GetField(ID3FN_TEXT);
    if (!field) return CString();
    // The texts are read at most 1023 characters long and always end inside their buffer.
    const size_t kMaxChars = 1023;
    const ID3_TextEnc encoding = field->GetEncoding();
    if (encoding == ID3TE_ISO8859_1) {
        const char* raw = field->GetRawText();
        if (!raw) return CString();
        size_t n = strnlen(raw, kMaxChars);
        return CString(raw, (int)n);
    }
    if (encoding == ID3TE_UTF16) {
        // id3lib keeps UTF-16 texts as big-endian code units whatever their byte-order mark said;
        // its own copying call reads twice the text's length, so the bytes are taken directly.
        const BYTE* raw = reinterpret_cast<const BYTE*>(field->GetRawUnicodeText());
        if (!raw) return CString();
        size_t bytes = field->Size();
        if (bytes > kMaxChars * 2) bytes = kMaxChars * 2;
        return ConvertBigEndianUtf16(raw, bytes);
    }
    return CString();
}

}  // namespace

// ---- CD-TEXT ----------------------------------------------------------------------------------

bool MakeCdTextRecord(const CdTextInfo& info, int trackCount, CCDDBRecord& record) {
    bool anyTrack = false;
    for (size_t i = 1; i < info.tracks.size(); ++i) anyTrack = true;
    if (info.performer.IsEmpty() && info.title.IsEmpty() && !anyTrack) return false;
    record.Clear();
    record.m_artist = info.performer;
    record.m_title = info.title;
    // Titles by track position; a gap before the last named track keeps its place empty.
    int last = 0;
    for (int t = 1; t <= trackCount && t < (int)info.tracks.size(); ++t) last = t;
    for (int t = 1; t <= last; ++t) record.m_trackTitles.Add(info.tracks[t].title);
    record.m_source = "CD-TEXT";
    return true;
}

// ---- CDPlayer.ini -----------------------------------------------------------------------------

CString CdPlayerIniKey(const BYTE* pToc) {
    if (!CDiscTools::IsTocUsable(pToc)) return CString();
    const int n = pToc[3] - pToc[2] + 1;
    // The Windows CD player's own key: the tracks' start addresses as 0x00MMSSFF summed; a disc
    // of one or two tracks adds its length in frames, and one of two its first frame field again.
    DWORD sum = 0;
    for (int i = 0; i < n; ++i) {
        const BYTE* d = Descriptor(pToc, i);
        sum += ((DWORD)d[5] << 16) + ((DWORD)d[6] << 8) + d[7];
    }
    if (n < 3) {
        sum += (DWORD)(FramesOf(pToc, n) - FramesOf(pToc, 0));
        if (n == 2) sum += Descriptor(pToc, 0)[7];
    }
    CString key;
    key.Format("[%lX]", (unsigned long)sum);
    return key;
}

bool ParseCdPlayerIni(const CString& fileText, const CString& key, CCDDBRecord& record) {
    // What the design takes from a section: texts of up to 1023 characters (as from the other
    // sources) and up to 99 tracks, however long a damaged file's lines or track list are.
    const int kMaxText = 1023, kMaxTracks = 99;
    if (key.IsEmpty()) return false;
    bool inSection = false, found = false;
    int nextTrack = 0;
    int start = 0;
    const int length = fileText.GetLength();
    // Every line, the last one too when the file does not end with a line feed.
    while (start < length) {
        int end = fileText.Find('\n', start);
        if (end < 0) end = length;
        CString line = TrimLineStart(fileText.Mid(start, end - start));
        start = end + 1;
        if (!inSection) {
            if (line.Left(1) != "[") continue;
            line.MakeUpper();
            if (line.Left(key.GetLength()) == key) {
                inSection = found = true;
                record.Clear();
            }
            continue;
        }
        if (line.Left(1) == "[") break;
        if (line.Left(7) == "artist=") {
            record.m_artist = TrimLineEnd(line.Mid(7)).Left(kMaxText);
        } else if (line.Left(6) == "title=") {
            record.m_title = TrimLineEnd(line.Mid(6)).Left(kMaxText);
        } else if (nextTrack < kMaxTracks) {
            CString trackKey;
            trackKey.Format("%d=", nextTrack);
            if (line.Left(trackKey.GetLength()) == trackKey) {
                record.m_trackTitles.Add(TrimLineEnd(line.Mid(trackKey.GetLength())).Left(kMaxText));
                ++nextTrack;
            }
        }
    }
    if (found) record.m_source = "CDPlayer.ini";
    return found;
}

bool ReadTextFile(const CString& path, CString& text) {
    text.Empty();
    if (path.IsEmpty()) return false;
    FILE* f = _wfopen(AfxWideOf(path).c_str(), L"rb");
    if (!f) return false;
    // A CD player's file of tens of thousands of discs stays far below this; a larger file is
    // read up to it rather than taken into memory whole.
    const size_t kMaxFileBytes = 32u * 1024 * 1024;
    std::vector<char> bytes;
    char chunk[4096];
    size_t got;
    while (bytes.size() < kMaxFileBytes && (got = fread(chunk, 1, sizeof(chunk), f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(f);
    // A zero byte inside the file ends no line: it reads as a blank.
    for (char& c : bytes)
        if (c == 0) c = ' ';
    text = CString(bytes.data(), (int)bytes.size());
    return true;
}

bool CanOpenForReading(const CString& path) {
    if (path.IsEmpty()) return false;
    FILE* f = _wfopen(AfxWideOf(path).c_str(), L"rb");
    if (!f) return false;
    fclose(f);
    return true;
}

// ---- MP3 files --------------------------------------------------------------------------------

CString MakeMp3DisplayName(const CString& path) {
    CString name = path;
    int slash = name.ReverseFind('\\');
    if (slash >= 0) name = name.Mid(slash + 1);
    name = name.Left(name.GetLength() >= 4 ? name.GetLength() - 4 : 0);
    name = FoldName(name, true);
    name.MakeLower();
    for (int i = 0; i < name.GetLength(); ++i) {
        const bool wordStart = i == 0 || name[i - 1] == ' ';
        if (wordStart && name[i] != ' ') name.SetAt(i, (char)toupper((unsigned char)name[i]));
    }
    return name;
}

CString CleanMp3TagText(const CString& text) {
    return FoldName(text, false);
}

CString ReadMp3TagText(const CString& path) {
    try {
        ID3_Tag tag;
        tag.Link(path, ID3TT_ALL);
        CString artist = FrameText(tag, ID3FID_LEADARTIST);
        CString title = FrameText(tag, ID3FID_TITLE);
        return artist.IsEmpty() ? title : artist + "-" + title;
    } catch (...) {
        // A tag id3lib cannot read leaves the file name in place.
        return CString();
    }
}

CString ConvertBigEndianUtf16(const BYTE* bytes, size_t byteCount) {
    std::wstring wide;
    for (size_t i = 0; i + 1 < byteCount; i += 2) {
        wchar_t c = (wchar_t)((bytes[i] << 8) | bytes[i + 1]);
        if (c == 0) break;
        if (c == 0xFEFF) continue;  // a byte-order mark left inside the text
        wide += c;
    }
    if (wide.empty()) return CString();
    int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return CString();
    std::vector<char> out(size);
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), out.data(), size, nullptr, nullptr);
    return CString(out.data(), size);
}
