#include "disc/Mp3HeaderReader.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/core/OperationError.h"

namespace {

// The first frame must start so that its four header bytes end at or before this offset.
const long kMaxHeaderEnd = 100000;

// kbit/s by [MPEG-1 ? 0 : 1][layer bits 3 = I, 2 = II, 1 = III][bitrate index].
const int kBitrates[2][4][16] = {
    {{0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}},
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
};

const int kSampleRates[4][3] = {
    {32000, 16000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

// Length of the ID3v2 tags at the start of the file (header, synch-safe size, footer when
// flagged); 0 when the file starts with none. Text frames in UTF-16 begin with FF FE, which
// looks like the start of a frame header, so the search must begin behind the tags.
long long Id3v2TagsLength(FILE* fp, long long fileSize) {
    long long at = 0;
    for (;;) {
        BYTE h[10];
        if (_fseeki64(fp, at, SEEK_SET) != 0 || fread(h, 1, sizeof(h), fp) != sizeof(h)) break;
        if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF) break;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80) break;
        long long size = ((long long)h[6] << 21) | ((long long)h[7] << 14) | ((long long)h[8] << 7) | h[9];
        size += 10;
        if (h[5] & 0x10) size += 10;
        if (at + size > fileSize) break;
        at += size;
    }
    return at;
}

}  // namespace

bool Mp3HeaderReader::IsValidHeader() const {
    if ((m_header & 0xFFE00000u) != 0xFFE00000u) return false;
    if (Version() == 1) return false;
    if (Layer() == 0) return false;
    int bitrateIndex = (int)((m_header >> 12) & 15);
    if (bitrateIndex == 0 || bitrateIndex == 15) return false;
    if (((m_header >> 10) & 3) == 3) return false;
    if ((m_header & 3) == 2) return false;
    return true;
}

int Mp3HeaderReader::GetFrameLength() const {
    if (!IsValidHeader()) return 0;
    const int row = ((m_header >> 19) & 1) ? 0 : 1;
    const int kbps = kBitrates[row][Layer()][(m_header >> 12) & 15];
    const int rate = GetSampleRate();
    if (kbps <= 0 || rate <= 0) return 0;
    const int padding = (int)((m_header >> 9) & 1);
    if (Layer() == 3) return (12 * kbps * 1000 / rate + padding) * 4;  // Layer I: four-byte slots
    // Layer III of MPEG-2 and 2.5 carries half as many samples per frame.
    const int factor = (Layer() == 1 && Version() != 3) ? 72 : 144;
    return factor * kbps * 1000 / rate + padding;
}

int Mp3HeaderReader::GetSampleRate() const {
    int index = (int)((m_header >> 10) & 3);
    if (index == 3) return 0;
    return kSampleRates[Version()][index];
}

int Mp3HeaderReader::GetBitrate() const {
    if (!m_vbr) {
        int row = ((m_header >> 19) & 1) ? 0 : 1;
        return kBitrates[row][Layer()][(m_header >> 12) & 15];
    }
    // A variable-bitrate file: the average from the size and the number of frames.
    // A missing count gives -1 and an empty time; a count of 0 gives 0 (no division).
    if (m_frameCount == 0) return 0;
    if (m_frameCount < 0) return -1;
    // Bytes per frame = f x bitrate / sample rate: 48 for Layer I (twelve four-byte slots per
    // kbit), 144 for Layer II and MPEG-1 Layer III, and 72 for Layer III of MPEG-2 and 2.5,
    // whose frames carry half as many samples (144 there would double every such file's time).
    double f = 144.0;
    if (Layer() == 3)
        f = 48.0;
    else if (Layer() == 1 && Version() != 3)
        f = 72.0;
    double rate = (double)m_fileSize / (double)m_frameCount * (double)GetSampleRate() / (f * 1000.0);
    if (rate >= 2147483647.0) return 0;
    return (int)rate;
}

int Mp3HeaderReader::SideInfoSize() const {
    bool mono = ((m_header >> 6) & 3) == 3;
    if (Version() == 3) return mono ? 17 : 32;
    return mono ? 9 : 17;
}

bool Mp3HeaderReader::ReadXing(const BYTE* p) {
    m_frameCount = -1;
    if (memcmp(p, "Xing", 4) != 0) return false;
    if (p[7] & 1)
        m_frameCount = (int)(((DWORD)p[8] << 24) | ((DWORD)p[9] << 16) | ((DWORD)p[10] << 8) | p[11]);
    return true;
}

CString Mp3HeaderReader::GetMp3Duration(LPCSTR pszPath) {
    return GuardOperation<CString>(9140, CString(), [&]() -> CString {
        m_header = 0;
        m_frameCount = -1;
        m_vbr = 0;
        m_fileSize = 0;
        FILE* fp = fopen(pszPath, "rb");
        if (!fp) return CString();
        _fseeki64(fp, 0, SEEK_END);
        long long size = _ftelli64(fp);
        m_fileSize = size > 0 ? (ULONGLONG)size : 0;
        const long long start = Id3v2TagsLength(fp, size);
        // The search reads at most the first 100000 bytes behind the tags; read them once.
        std::vector<BYTE> head((size_t)kMaxHeaderEnd);
        _fseeki64(fp, start, SEEK_SET);
        size_t got = fread(head.data(), 1, head.size(), fp);
        // Another valid header where this one's frame ends, or the end of the file there: four
        // bytes that merely look like a header (inside a picture, say) rarely pass both.
        auto followed = [&](long pos) {
            const int length = GetFrameLength();
            if (length <= 0) return false;
            const long long next = start + pos + length;
            if (next == size) return true;
            BYTE b[4];
            if (next + 4 <= start + (long long)got) {
                memcpy(b, head.data() + (next - start), 4);
            } else if (_fseeki64(fp, next, SEEK_SET) != 0 || fread(b, 1, 4, fp) != 4) {
                return false;
            }
            const DWORD saved = m_header;
            m_header = ((DWORD)b[0] << 24) | ((DWORD)b[1] << 16) | ((DWORD)b[2] << 8) | b[3];
            const bool valid = IsValidHeader();
            m_header = saved;
            return valid;
        };
        long found = -1;
        for (long pos = 0; pos + 4 <= (long)got; ++pos) {
            m_header = ((DWORD)head[pos] << 24) | ((DWORD)head[pos + 1] << 16) | ((DWORD)head[pos + 2] << 8) |
                       head[pos + 3];
            if (IsValidHeader() && followed(pos)) {
                found = pos;
                break;
            }
        }
        if (found < 0) {
            fclose(fp);
            return CString();
        }
        BYTE xing[12] = {0};
        long long xingPos = start + (long long)found + 4 + SideInfoSize();
        bool haveXing = false;
        if (_fseeki64(fp, xingPos, SEEK_SET) == 0 && fread(xing, 1, sizeof(xing), fp) == sizeof(xing))
            haveXing = ReadXing(xing);
        fclose(fp);
        m_vbr = haveXing ? 1 : 0;

        int bitrate = GetBitrate();
        if (bitrate <= 0) return CString();
        ULONGLONG seconds = (m_fileSize * 8 / 1000) / (ULONGLONG)bitrate;
        if (seconds == 0) return CString();
        CString text;
        text.Format("%u:%02u", (unsigned)(seconds / 60), (unsigned)(seconds % 60));
        return text;
    });
}
