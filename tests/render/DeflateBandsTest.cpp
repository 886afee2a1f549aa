// Deflate pieces joined into one stream: pieces of runs, noise and single bytes, ending with
// every number of used bits in their last byte, inflate through zlib to exactly the bytes given.
#include <doctest.h>

#include <zlib.h>

#include <set>
#include <string>
#include <vector>

#include "render/DeflateBands.h"

extern "C" {
extern __thread int kv_deflate_last_bits;
}

namespace {

// Inflates a raw deflate stream; empty when it is not valid, does not end, or leaves bytes over.
std::vector<unsigned char> Inflate(const std::vector<unsigned char>& packed, size_t expected) {
    z_stream z = {};
    if (inflateInit2(&z, -15) != Z_OK) return {};
    std::vector<unsigned char> out(expected + 1024);
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = inflate(&z, Z_FINISH);
    const bool whole = r == Z_STREAM_END && z.avail_in == 0;
    out.resize(z.total_out);
    inflateEnd(&z);
    return whole ? out : std::vector<unsigned char>(1, 0xEE);
}

std::vector<unsigned char> Piece(unsigned seed, size_t size) {
    std::vector<unsigned char> data(size);
    unsigned x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        // Noise in some stretches, runs in others, as filtered photo and flat rows give.
        data[i] = ((i / 97 + seed) % 3) ? static_cast<unsigned char>(x >> 24) : static_cast<unsigned char>(seed);
    }
    return data;
}

}  // namespace

TEST_CASE("pieces ending on every bit of their last byte join into one stream") {
    // The stored block that closes an open piece goes into the last byte when three bits are free
    // there and into a byte of its own otherwise: every case of the used bits must join.
    std::set<int> usedBitsSeen;
    for (unsigned seed = 1; seed < 400 && usedBitsSeen.size() < 8; ++seed) {
        const std::vector<unsigned char> first = Piece(seed, 100 + seed * 37);
        std::vector<unsigned char> packed;
        REQUIRE(DeflatePiece(first.data(), first.size(), false, packed));
        // The same piece ended as the stream's end differs only in the final-block flag: its
        // last byte holds as many bits as the open piece's blocks did.
        std::vector<unsigned char> probe;
        REQUIRE(DeflatePiece(first.data(), first.size(), true, probe));
        usedBitsSeen.insert(kv_deflate_last_bits);

        const std::vector<unsigned char> second = Piece(seed + 1000, 5000);
        REQUIRE(DeflatePiece(second.data(), second.size(), true, packed));
        std::vector<unsigned char> expected = first;
        expected.insert(expected.end(), second.begin(), second.end());
        CAPTURE(seed);
        CHECK(Inflate(packed, expected.size()) == expected);
    }
    CHECK(usedBitsSeen.size() == 8);
}

TEST_CASE("many pieces, tiny and empty ones among them, in one stream") {
    std::vector<unsigned char> packed, expected;
    const size_t sizes[] = {0, 1, 2, 3, 1 << 20, 7, 0, 65536, 300000, 1};
    for (size_t i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i) {
        const std::vector<unsigned char> piece = Piece(static_cast<unsigned>(i + 7), sizes[i]);
        REQUIRE(DeflatePiece(piece.data(), piece.size(), i + 1 == sizeof(sizes) / sizeof(sizes[0]), packed));
        expected.insert(expected.end(), piece.begin(), piece.end());
    }
    CHECK(Inflate(packed, expected.size()) == expected);
    // Runs compress: a megabyte of one value takes far less than a kilobyte per 100 KB.
    std::vector<unsigned char> flat(1 << 20, 9), small;
    REQUIRE(DeflatePiece(flat.data(), flat.size(), true, small));
    CHECK(small.size() < 8 * 1024);
}
