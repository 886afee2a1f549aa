// Deflate in pieces that join into one stream: each piece is compressed on its own (by
// libdeflate, at its fastest level), so pieces can be compressed side by side on several threads
// and written one after the other as a single deflate stream.
#pragma once

#include <cstddef>
#include <vector>

#include <memory>

struct libdeflate_compressor;

class PieceDeflater {
public:
    PieceDeflater();
    ~PieceDeflater();
    PieceDeflater(const PieceDeflater&) = delete;
    PieceDeflater& operator=(const PieceDeflater&) = delete;

    // Appends `size` bytes compressed as raw deflate blocks to `out`. With `last`, the blocks end
    // the stream; otherwise they are followed by an empty stored block, so that the piece ends on
    // a byte boundary and the next piece's blocks may follow (none of them reaches back into
    // this one). False when memory runs out; `out` then holds an unfinished piece.
    bool Add(const unsigned char* data, size_t size, bool last, std::vector<unsigned char>& out);

private:
    libdeflate_compressor* m_compressor;
};

// One piece with a compressor of its own.
bool DeflatePiece(const unsigned char* data, size_t size, bool last, std::vector<unsigned char>& out);
