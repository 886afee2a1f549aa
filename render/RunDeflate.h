// A deflate compressor of our own for filtered picture rows: literals and runs of the byte before
// (distance 1), coded with Huffman codes made for each block. The rows of a photograph filtered
// against the row above are mostly small unrepeated values and those of flat areas runs of one
// value; for both, searching for matches further back costs much and finds little, and zlib's
// own coding of the symbols (even with Z_RLE) runs at a third of this one's speed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RunDeflater {
public:
    RunDeflater();

    // Compresses `size` more bytes of the stream onto `out`'s end (a run may reach back to the
    // byte before them).
    void Add(const unsigned char* data, size_t size, std::vector<unsigned char>& out);
    // Ends the data: with `last`, the stream's final block; otherwise an empty stored block, so
    // that the data ends on a byte boundary and other compressed data may follow (a full flush,
    // since no later symbol reaches back before it).
    void Finish(bool last, std::vector<unsigned char>& out);

    // The Huffman code lengths, at most `limit` bits, for symbols of the given frequencies; every
    // symbol with a frequency above 0 gets a code, and at least two do.
    static void CodeLengths(const uint32_t* freq, int count, int limit, uint8_t* lengths);

private:
    void EmitBlock(std::vector<unsigned char>& out);
    void Put(uint32_t bits, int count, std::vector<unsigned char>& out);
    void ByteAlign(std::vector<unsigned char>& out);

    std::vector<uint16_t> m_tokens;  // a literal, or 256 + run length - 3
    uint32_t m_freq[286];
    int m_previous = -1;  // the byte before the next one, -1 at the stream's start
    uint32_t m_bits = 0;  // bits not yet written, the first in the lowest bit
    int m_bitCount = 0;   // below 8 between calls
};
