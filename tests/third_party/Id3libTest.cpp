// id3lib, as the MP3-folder lookup uses it: a tag linked to a file, the lead-artist and title frames.
#include <doctest.h>
#include <id3/tag.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

void PutFrame(std::vector<unsigned char>& out, const char id[4], const std::string& latin1) {
    const size_t size = latin1.size() + 1;  // encoding byte + text
    out.insert(out.end(), id, id + 4);
    out.push_back(static_cast<unsigned char>(size >> 24));
    out.push_back(static_cast<unsigned char>(size >> 16));
    out.push_back(static_cast<unsigned char>(size >> 8));
    out.push_back(static_cast<unsigned char>(size));
    out.push_back(0);
    out.push_back(0);  // flags
    out.push_back(0);  // ISO-8859-1
    out.insert(out.end(), latin1.begin(), latin1.end());
}

// An ID3v2.3 tag with TPE1 and TIT2, padding, then a few MPEG-1 Layer III frames.
std::vector<unsigned char> MakeMp3(const std::string& artist, const std::string& title) {
    std::vector<unsigned char> frames;
    PutFrame(frames, "TPE1", artist);
    PutFrame(frames, "TIT2", title);
    frames.resize(frames.size() + 64, 0);  // padding
    const size_t n = frames.size();
    const unsigned char header[10] = {'I',
                                      'D',
                                      '3',
                                      3,
                                      0,
                                      0,
                                      static_cast<unsigned char>((n >> 21) & 0x7F),
                                      static_cast<unsigned char>((n >> 14) & 0x7F),
                                      static_cast<unsigned char>((n >> 7) & 0x7F),
                                      static_cast<unsigned char>(n & 0x7F)};
    std::vector<unsigned char> out(sizeof(header) + n);
    std::copy(header, header + sizeof(header), out.begin());
    std::copy(frames.begin(), frames.end(), out.begin() + sizeof(header));
    for (int i = 0; i < 20; ++i) {  // 128 kbit/s, 44.1 kHz: 417 bytes a frame
        const unsigned char hdr[4] = {0xFF, 0xFB, 0x90, 0x44};
        out.insert(out.end(), hdr, hdr + 4);
        out.resize(out.size() + 413, 0);
    }
    return out;
}

std::string FrameText(ID3_Tag& tag, ID3_FrameID id) {
    ID3_Frame* frame = tag.Find(id);
    if (!frame) return "<none>";
    ID3_Field* field = frame->GetField(ID3FN_TEXT);
    if (!field) return "<no field>";
    char buf[256] = {0};
    field->Get(buf, sizeof buf - 1);
    return buf;
}

}  // namespace

TEST_CASE("id3lib reads the lead artist and title of an MP3 file's ID3v2 tag") {
    const std::string dir = kvtest::TempDir("id3");
    const std::string path = dir + "\\track01.mp3";
    REQUIRE(kvtest::WriteFileBytes(path, MakeMp3("Test Artist", "Test Title")));

    ID3_Tag tag;
    tag.Link(path.c_str(), ID3TT_ALL);
    CHECK(tag.HasV2Tag());
    CHECK(FrameText(tag, ID3FID_LEADARTIST) == "Test Artist");
    CHECK(FrameText(tag, ID3FID_TITLE) == "Test Title");
}

TEST_CASE("id3lib finds no frames in a file without a tag") {
    const std::string dir = kvtest::TempDir("id3-none");
    const std::string path = dir + "\\plain.mp3";
    std::vector<unsigned char> bytes = MakeMp3("x", "y");
    const size_t tagSize = 10 + ((bytes[8] << 7) | bytes[9]);
    bytes.erase(bytes.begin(), bytes.begin() + tagSize);
    REQUIRE(kvtest::WriteFileBytes(path, bytes));

    ID3_Tag tag;
    tag.Link(path.c_str(), ID3TT_ALL);
    CHECK_FALSE(tag.HasV2Tag());
    CHECK(tag.Find(ID3FID_LEADARTIST) == nullptr);
}
