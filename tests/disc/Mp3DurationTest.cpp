// Playing times of MPEG audio files built frame header by frame header.
#include <doctest.h>

#include <string>
#include <vector>

#include "disc/Mp3HeaderReader.h"
#include "TestSupport.h"

namespace {

// Bytes of one frame of the headers below.
size_t FrameBytes(const unsigned char header[4]) {
    return header[1] == 0xF3 ? 208 : 417;
}

// A file of `size` bytes with a frame header at `offset` and the next frame's header behind it,
// and optionally a Xing header behind the side information.
std::string WriteMp3(const std::string& dir, const char* name, size_t size, size_t offset,
                     const unsigned char header[4], int sideInfo = -1, long frames = -2) {
    std::vector<unsigned char> bytes(size, 0);
    for (size_t at = offset; at < offset + 2 * FrameBytes(header); at += FrameBytes(header))
        if (at + 4 <= size)
            for (int i = 0; i < 4; ++i) bytes[at + i] = header[i];
    if (sideInfo >= 0) {
        size_t x = offset + 4 + sideInfo;
        bytes[x] = 'X';
        bytes[x + 1] = 'i';
        bytes[x + 2] = 'n';
        bytes[x + 3] = 'g';
        if (frames >= 0) {
            bytes[x + 7] = 1;
            bytes[x + 8] = (unsigned char)(frames >> 24);
            bytes[x + 9] = (unsigned char)(frames >> 16);
            bytes[x + 10] = (unsigned char)(frames >> 8);
            bytes[x + 11] = (unsigned char)frames;
        }
    }
    std::string path = dir + "\\" + name;
    REQUIRE(kvtest::WriteFileBytes(path, bytes));
    return path;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo.
const unsigned char kMpeg1[4] = {0xFF, 0xFB, 0x90, 0x00};
// The same, single channel.
const unsigned char kMpeg1Mono[4] = {0xFF, 0xFB, 0x90, 0xC0};
// MPEG-2 Layer III, 64 kbit/s, 22050 Hz, stereo.
const unsigned char kMpeg2[4] = {0xFF, 0xF3, 0x80, 0x00};

}  // namespace

TEST_CASE("MPEG audio playing times") {
    std::string dir = kvtest::TempDir("mp3");
    Mp3HeaderReader reader;
    SUBCASE("constant bitrate") {
        CHECK(std::string(reader.GetMp3Duration(WriteMp3(dir, "a.mp3", 4000000, 0, kMpeg1).c_str())) ==
              "4:10");
        CHECK(std::string(reader.GetMp3Duration(WriteMp3(dir, "b.mp3", 480000, 10, kMpeg2).c_str())) ==
              "1:00");
    }
    SUBCASE("the first frame must start within the first 100000 bytes") {
        CHECK(std::string(reader.GetMp3Duration(WriteMp3(dir, "c.mp3", 400000, 99996, kMpeg1).c_str())) ==
              "0:25");
        CHECK(reader.GetMp3Duration(WriteMp3(dir, "d.mp3", 400000, 99997, kMpeg1).c_str()).IsEmpty());
    }
    SUBCASE("variable bitrate with a Xing header") {
        // 1000 frames of 1152 samples at 44100 Hz: 26.1 s.
        CHECK(std::string(reader.GetMp3Duration(
                  WriteMp3(dir, "e.mp3", 500000, 0, kMpeg1, 32, 1000).c_str())) == "0:26");
        CHECK(reader.m_vbr == 1);
        CHECK(reader.m_frameCount == 1000);
        // Single channel: the Xing header sits 17 bytes behind the frame header.
        CHECK(std::string(reader.GetMp3Duration(
                  WriteMp3(dir, "f.mp3", 500000, 0, kMpeg1Mono, 17, 1000).c_str())) == "0:26");
        // MPEG-2: 2000 frames of 576 samples at 22050 Hz: 52.2 s.
        CHECK(std::string(reader.GetMp3Duration(
                  WriteMp3(dir, "g.mp3", 400000, 0, kMpeg2, 17, 2000).c_str())) == "0:52");
    }
    SUBCASE("Xing headers that give no time") {
        CHECK(reader.GetMp3Duration(WriteMp3(dir, "h.mp3", 500000, 0, kMpeg1, 32, 0).c_str()).IsEmpty());
        CHECK(reader.GetMp3Duration(WriteMp3(dir, "i.mp3", 500000, 0, kMpeg1, 32, -1).c_str()).IsEmpty());
        CHECK(reader.m_frameCount == -1);
        // So many frames that the average bitrate is 0.
        CHECK(
            reader.GetMp3Duration(WriteMp3(dir, "j.mp3", 5000, 0, kMpeg1, 32, 0x7FFFFFFF).c_str()).IsEmpty());
    }
    SUBCASE("encoder output behind ID3v2 tags in Latin-1 and UTF-16") {
        // A UTF-16 text frame starts FF FE 48 00 for "H": that looks like an MPEG-1 Layer I
        // frame header, so the search has to start behind the tag.
        CHECK(std::string(reader.GetMp3Duration("utf16-7s.mp3")) == "0:07");
        CHECK(reader.m_header == 0xFFFB18C4);  // MPEG-1 Layer III, 32 kbit/s, 32 kHz, mono
        CHECK(std::string(reader.GetMp3Duration("utf16-26s.mp3")) == "0:26");
        CHECK(std::string(reader.GetMp3Duration("latin1-3s.mp3")) == "0:03");
    }
    SUBCASE("a lone header is no frame unless the next one follows at its length") {
        // Four header bytes in the middle of noise, then the real frames further on.
        std::vector<unsigned char> bytes(200000, 0x11);
        for (int i = 0; i < 4; ++i) bytes[50 + i] = kMpeg1[i];
        for (size_t at = 1000; at + 4 <= bytes.size(); at += 208)
            for (int i = 0; i < 4; ++i) bytes[at + i] = kMpeg2[i];
        const std::string path = dir + "\\lone.mp3";
        REQUIRE(kvtest::WriteFileBytes(path, bytes));
        CHECK(std::string(reader.GetMp3Duration(path.c_str())) == "0:25");  // 64 kbit/s, not 128
        // A tag whose size runs past the end of the file is no tag: the search starts at 0.
        std::vector<unsigned char> tagged = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
        tagged.resize(20000, 0);
        for (size_t at = 10; at + 4 <= tagged.size(); at += 417)
            for (int i = 0; i < 4; ++i) tagged[at + i] = kMpeg1[i];
        REQUIRE(kvtest::WriteFileBytes(dir + "\\bigtag.mp3", tagged));
        CHECK(std::string(reader.GetMp3Duration((dir + "\\bigtag.mp3").c_str())) == "0:01");
    }
    SUBCASE("files without a time") {
        CHECK(reader.GetMp3Duration((dir + "\\missing.mp3").c_str()).IsEmpty());
        CHECK(reader.GetMp3Duration(WriteMp3(dir, "k.mp3", 3, 0, kMpeg1).c_str()).IsEmpty());
        CHECK(
            reader.GetMp3Duration(WriteMp3(dir, "l.mp3", 200000, 0, (const unsigned char*)"\0\0\0\0").c_str())
                .IsEmpty());
        // Too short to last a second.
        CHECK(reader.GetMp3Duration(WriteMp3(dir, "m.mp3", 10000, 0, kMpeg1).c_str()).IsEmpty());
    }
    SUBCASE("header fields") {
        reader.m_header = 0xFFFB9000;
        CHECK(reader.IsValidHeader());
        CHECK(reader.GetSampleRate() == 44100);
        reader.m_vbr = 0;
        CHECK(reader.GetBitrate() == 128);
        reader.m_header = 0xFFEB9000;  // reserved version
        CHECK_FALSE(reader.IsValidHeader());
        reader.m_header = 0xFFFBF000;  // bitrate index 15
        CHECK_FALSE(reader.IsValidHeader());
        reader.m_header = 0xFFFB9C00;  // sample-rate index 3
        CHECK_FALSE(reader.IsValidHeader());
        reader.m_header = 0xFFFB9002;  // emphasis 10
        CHECK_FALSE(reader.IsValidHeader());
    }
}
