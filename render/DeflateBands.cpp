// Deflate in pieces that join into one stream, through libdeflate.
#include "render/DeflateBands.h"

#include <libdeflate.h>

#include <new>

// Set and read around each call on the calling thread: libdeflate (as our build compiles it)
// leaves the final-block flag off while kv_deflate_open_end is set, and stores in
// kv_deflate_last_bits how many bits of its output's last byte are used (0: all eight or none).
extern "C" {
extern __thread int kv_deflate_open_end;
extern __thread int kv_deflate_last_bits;
}

PieceDeflater::PieceDeflater() : m_compressor(libdeflate_alloc_compressor(1)) {}

PieceDeflater::~PieceDeflater() {
    if (m_compressor) libdeflate_free_compressor(m_compressor);
}

bool DeflatePiece(const unsigned char* data, size_t size, bool last, std::vector<unsigned char>& out) {
    PieceDeflater deflater;
    return deflater.Add(data, size, last, out);
}

bool PieceDeflater::Add(const unsigned char* data, size_t size, bool last, std::vector<unsigned char>& out) {
    // An empty piece that does not end the stream adds nothing (libdeflate would end the stream
    // with an empty final block).
    if (size == 0 && !last) return true;
    if (!m_compressor) return false;
    try {
        const size_t start = out.size();
        const size_t bound = libdeflate_deflate_compress_bound(m_compressor, size);
        out.resize(start + bound + 6);
        kv_deflate_open_end = last ? 0 : 1;
        kv_deflate_last_bits = 0;
        const size_t packed =
            libdeflate_deflate_compress(m_compressor, data, size, out.data() + start, bound);
        const int usedBits = kv_deflate_last_bits;
        kv_deflate_open_end = 0;
        if (packed == 0) return false;  // cannot happen with the bound's room
        size_t end = start + packed;
        if (!last) {
            // An empty stored block: three header bits (not final, stored), up to the next byte,
            // then the lengths 0 and ~0. The header fits into the last byte's unused high bits
            // (which libdeflate leaves zero) when at least three of them are free.
            if (usedBits == 0 || usedBits > 5) out[end++] = 0;
            out[end++] = 0x00;
            out[end++] = 0x00;
            out[end++] = 0xFF;
            out[end++] = 0xFF;
        }
        out.resize(end);
        return true;
    } catch (const std::bad_alloc&) {
        kv_deflate_open_end = 0;
        return false;
    }
}
