// Deflate of literals and runs with per-block Huffman codes.
#include "render/RunDeflate.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <utility>

namespace {

const size_t kBlockTokens = 1 << 15;  // symbols per block, each block with codes of its own
const int kMaxRun = 258;

// The length symbols (257..285) of runs of 3..258 bytes and their extra bits.
struct RunCodes {
    uint16_t symbol[kMaxRun + 1];
    uint8_t extraBits[kMaxRun + 1];
    uint16_t extra[kMaxRun + 1];
    RunCodes() {
        static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int bits[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int len = 3; len <= kMaxRun; ++len) {
            int i = 28;
            if (len < kMaxRun)
                while (base[i] > len || i == 28) --i;
            symbol[len] = static_cast<uint16_t>(257 + i);
            extraBits[len] = static_cast<uint8_t>(bits[i]);
            extra[len] = static_cast<uint16_t>(len - base[i]);
        }
    }
};

const RunCodes& Runs() {
    static const RunCodes codes;
    return codes;
}

// Canonical codes for the lengths, bit-reversed: deflate sends a code's highest bit first
// into a stream that is filled from the lowest bit.
void CanonicalCodes(const uint8_t* lengths, int count, uint32_t* codes) {
    int perLength[16] = {};
    for (int i = 0; i < count; ++i) ++perLength[lengths[i]];
    perLength[0] = 0;
    uint32_t next[16] = {};
    uint32_t code = 0;
    for (int bits = 1; bits <= 15; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int i = 0; i < count; ++i) {
        const int len = lengths[i];
        codes[i] = 0;
        if (!len) continue;
        uint32_t c = next[len]++, reversed = 0;
        for (int b = 0; b < len; ++b, c >>= 1) reversed = (reversed << 1) | (c & 1);
        codes[i] = reversed;
    }
}

}  // namespace

RunDeflater::RunDeflater() {
    m_tokens.reserve(kBlockTokens);
    std::memset(m_freq, 0, sizeof(m_freq));
}

void RunDeflater::CodeLengths(const uint32_t* freq, int count, int limit, uint8_t* lengths) {
    std::vector<uint32_t> f(freq, freq + count);
    int used = 0;
    for (uint32_t v : f) used += v != 0;
    // A code of one symbol is not complete; a second, unused one makes it so.
    for (int i = 0; used < 2 && i < count; ++i)
        if (!f[i]) f[i] = 1, ++used;
    for (;;) {
        // Huffman's construction; equal weights are taken in the order of their node numbers,
        // so the code is the same on every run.
        typedef std::pair<uint64_t, int> Node;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
        std::vector<int> parent(2 * count, -1);
        for (int i = 0; i < count; ++i)
            if (f[i]) queue.push(Node(f[i], i));
        int next = count;
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            parent[a.second] = parent[b.second] = next;
            queue.push(Node(a.first + b.first, next++));
        }
        int longest = 0;
        for (int i = 0; i < count; ++i) {
            int depth = 0;
            if (f[i])
                for (int n = i; parent[n] >= 0; n = parent[n]) ++depth;
            lengths[i] = static_cast<uint8_t>(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= limit) return;
        // Too long: the frequencies are flattened (never to 0) and the code made again.
        for (uint32_t& v : f)
            if (v) v = (v + 1) / 2;
    }
}

void RunDeflater::Put(uint32_t bits, int count, std::vector<unsigned char>& out) {
    m_bits |= bits << m_bitCount;
    m_bitCount += count;
    while (m_bitCount >= 8) {
        out.push_back(static_cast<unsigned char>(m_bits));
        m_bits >>= 8;
        m_bitCount -= 8;
    }
}

void RunDeflater::ByteAlign(std::vector<unsigned char>& out) {
    if (m_bitCount > 0) out.push_back(static_cast<unsigned char>(m_bits));
    m_bits = 0;
    m_bitCount = 0;
}

void RunDeflater::Add(const unsigned char* data, size_t size, std::vector<unsigned char>& out) {
    const RunCodes& runs = Runs();
    const unsigned char* p = data;
    const unsigned char* const end = data + size;
    int previous = m_previous;
    while (p < end) {
        if (m_tokens.size() >= kBlockTokens) EmitBlock(out);
        if (*p != previous) {
            previous = *p++;
            m_tokens.push_back(static_cast<uint16_t>(previous));
            ++m_freq[previous];
            continue;
        }
        const unsigned char* q = p;
        const unsigned char* const limit = end - p > kMaxRun ? p + kMaxRun : end;
        while (q < limit && *q == previous) ++q;
        const int run = static_cast<int>(q - p);
        if (run >= 3) {
            m_tokens.push_back(static_cast<uint16_t>(256 + run - 3));
            ++m_freq[runs.symbol[run]];
        } else {
            for (int i = 0; i < run; ++i) m_tokens.push_back(static_cast<uint16_t>(previous));
            m_freq[previous] += run;
        }
        p = q;
    }
    m_previous = previous;
}

void RunDeflater::EmitBlock(std::vector<unsigned char>& out) {
    if (m_tokens.empty()) return;
    const RunCodes& runs = Runs();
    m_freq[256] = 1;  // the block's end
    uint8_t litLen[286];
    CodeLengths(m_freq, 286, 15, litLen);
    uint32_t litCode[286];
    CanonicalCodes(litLen, 286, litCode);
    int hlit = 286;
    while (hlit > 257 && litLen[hlit - 1] == 0) --hlit;

    // The code lengths of the literal/length code and of the one distance code (distance 1,
    // length 1), themselves coded with a code of at most 7 bits.
    uint8_t sequence[287];
    std::memcpy(sequence, litLen, hlit);
    sequence[hlit] = 1;
    uint32_t lengthFreq[19] = {};
    for (int i = 0; i <= hlit; ++i) ++lengthFreq[sequence[i]];
    uint8_t lengthLen[19];
    CodeLengths(lengthFreq, 19, 7, lengthLen);
    uint32_t lengthCode[19];
    CanonicalCodes(lengthLen, 19, lengthCode);
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int hclen = 19;
    while (hclen > 4 && lengthLen[order[hclen - 1]] == 0) --hclen;

    Put(2u << 1, 3, out);  // not the last block; dynamic codes
    Put(static_cast<uint32_t>(hlit - 257), 5, out);
    Put(0, 5, out);  // one distance code
    Put(static_cast<uint32_t>(hclen - 4), 4, out);
    for (int i = 0; i < hclen; ++i) Put(lengthLen[order[i]], 3, out);
    for (int i = 0; i <= hlit; ++i) Put(lengthCode[sequence[i]], lengthLen[sequence[i]], out);

    // Every token's bits in one go: a literal's code, or a length's code, its extra bits and
    // the distance code (a single 0 bit).
    uint32_t tokenBits[512];
    uint8_t tokenCount[512];
    for (int t = 0; t < 256; ++t) tokenBits[t] = litCode[t], tokenCount[t] = litLen[t];
    for (int run = 3; run <= kMaxRun; ++run) {
        const int s = runs.symbol[run], t = 256 + run - 3;
        tokenBits[t] = litCode[s] | (static_cast<uint32_t>(runs.extra[run]) << litLen[s]);
        tokenCount[t] = static_cast<uint8_t>(litLen[s] + runs.extraBits[run] + 1);
    }
    const size_t at = out.size();
    out.resize(at + m_tokens.size() * 3 + 8);
    unsigned char* w = out.data() + at;
    uint32_t bits = m_bits;
    int count = m_bitCount;
    for (const uint16_t t : m_tokens) {
        bits |= tokenBits[t] << count;
        count += tokenCount[t];
        std::memcpy(w, &bits, 4);  // little-endian: the lowest bits first
        w += count >> 3;
        bits >>= count & ~7;
        count &= 7;
    }
    out.resize(static_cast<size_t>(w - out.data()));
    m_bits = bits;
    m_bitCount = count;
    Put(litCode[256], litLen[256], out);

    m_tokens.clear();
    std::memset(m_freq, 0, sizeof(m_freq));
}

void RunDeflater::Finish(bool last, std::vector<unsigned char>& out) {
    EmitBlock(out);
    if (last) {
        Put(1u | (1u << 1), 3, out);  // the last block, fixed codes: only its end (seven 0 bits)
        Put(0, 7, out);
        ByteAlign(out);
    } else {
        Put(0, 3, out);  // an empty stored block
        ByteAlign(out);
        static const unsigned char kEmpty[4] = {0x00, 0x00, 0xFF, 0xFF};
        out.insert(out.end(), kEmpty, kEmpty + 4);
    }
}
