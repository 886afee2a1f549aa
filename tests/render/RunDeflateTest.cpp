// The deflate compressor of the PNG writer: streams of runs, noise, single bytes and skewed byte
// counts, in one piece or many, inflate through zlib to exactly the bytes given; pieces ended
// with a flush join into one stream; the Huffman code lengths stay within their limit and make a
// complete code.
#include <doctest.h>

#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/RunDeflate.h"

namespace {

// Inflates a raw deflate stream (no zlib header); empty when it is not valid or does not end.
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
    return whole ? out : std::vector<unsigned char>();
}

std::vector<unsigned char> Compress(const std::vector<unsigned char>& data, size_t piece) {
    std::vector<unsigned char> out;
    RunDeflater deflater;
    for (size_t at = 0; at < data.size(); at += piece)
        deflater.Add(data.data() + at, std::min(piece, data.size() - at), out);
    deflater.Finish(true, out);
    return out;
}

// Kraft's sum of the lengths, times 2^15: exactly 2^15 for a complete code.
long KraftSum(const uint8_t* lengths, int n) {
    long sum = 0;
    for (int i = 0; i < n; ++i)
        if (lengths[i]) sum += 1L << (15 - lengths[i]);
    return sum;
}

}  // namespace

TEST_CASE("runs, noise and single bytes inflate to the bytes given, whole and in pieces") {
    std::vector<std::pair<std::string, std::vector<unsigned char>>> cases;
    cases.push_back({"nothing", {}});
    cases.push_back({"one byte", {42}});
    cases.push_back({"two equal bytes", {7, 7}});
    std::vector<unsigned char> runs;
    // Runs of every length from 1 to 700 (beyond the longest match of 258), of zeros and of
    // other values, starting the stream with one.
    for (int len = 1; len <= 700; ++len) runs.insert(runs.end(), len, static_cast<unsigned char>(len % 3 ? 0 : len));
    cases.push_back({"runs", runs});
    std::vector<unsigned char> noise(300000);
    unsigned seed = 3;
    for (auto& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>((seed >> 16) % 29 == 0 ? 0 : seed >> 24);  // many blocks
    }
    cases.push_back({"noise", noise});
    // Byte counts in Fibonacci proportions, all in one block (28,656 bytes): plain Huffman codes
    // would run to 21 bits.
    std::vector<unsigned char> skewed;
    long a = 1, b = 1;
    for (int v = 0; v < 21; ++v) {
        for (long i = 0; i < a; ++i) skewed.push_back(static_cast<unsigned char>(v * 9 + 1));
        const long next = a + b;
        a = b;
        b = next;
    }
    // The same bytes interleaved, so that they are literals, not runs.
    std::vector<unsigned char> mixed(skewed.size());
    for (size_t i = 0, j = 0; i < skewed.size(); ++i, j = (j + 7919) % skewed.size()) mixed[i] = skewed[j];
    cases.push_back({"skewed", mixed});
    for (const auto& c : cases) {
        for (size_t piece : {size_t(1), size_t(1000), size_t(1) << 30}) {
            CAPTURE(c.first);
            CAPTURE(piece);
            if (c.second.size() > 100000 && piece == 1) continue;
            const std::vector<unsigned char> packed = Compress(c.second, piece);
            CHECK(Inflate(packed, c.second.size()) == c.second);
        }
    }
    // Runs compress: 700 runs of up to 700 bytes take a few bits each.
    CHECK(Compress(runs, 1 << 30).size() < runs.size() / 20);
}

TEST_CASE("pieces ended with a flush join into one stream") {
    std::vector<unsigned char> first(5000, 0), second(7000);
    for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<unsigned char>(i * 31 % 251);
    std::vector<unsigned char> joined;
    RunDeflater a;
    a.Add(first.data(), first.size(), joined);
    a.Finish(false, joined);
    // A fresh compressor for the second piece, as each band of the PNG writer has.
    RunDeflater b;
    b.Add(second.data(), second.size(), joined);
    b.Finish(true, joined);
    std::vector<unsigned char> whole = first;
    whole.insert(whole.end(), second.begin(), second.end());
    CHECK(Inflate(joined, whole.size()) == whole);
}

TEST_CASE("code lengths stay within the limit and make a complete code") {
    uint32_t fib[40];
    fib[0] = fib[1] = 1;
    for (int i = 2; i < 40; ++i) fib[i] = fib[i - 1] + fib[i - 2];
    uint8_t lengths[40];
    RunDeflater::CodeLengths(fib, 40, 15, lengths);
    int longest = 0;
    for (int i = 0; i < 40; ++i) {
        CHECK(lengths[i] >= 1);
        longest = std::max<int>(longest, lengths[i]);
    }
    CHECK(longest == 15);
    CHECK(KraftSum(lengths, 40) == 1L << 15);
    // The seven-bit limit of the code-length code.
    RunDeflater::CodeLengths(fib, 19, 7, lengths);
    for (int i = 0; i < 19; ++i) CHECK(lengths[i] <= 7);
    CHECK(KraftSum(lengths, 19) == 1L << 15);
    // One symbol alone gets a partner, so that the code is complete.
    uint32_t one[5] = {0, 0, 9, 0, 0};
    RunDeflater::CodeLengths(one, 5, 15, lengths);
    CHECK(lengths[2] == 1);
    CHECK(KraftSum(lengths, 5) == 1L << 15);
}
