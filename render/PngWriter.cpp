// PNG encoding in bands compressed side by side. libdeflate compresses and checks the bands; zlib
// only joins their Adler-32 checksums.
#include "render/PngWriter.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "render/RenderThreads.h"
#include "render/DeflateBands.h"

using namespace Gdiplus;

namespace {

void PutBig32(unsigned char* p, unsigned long v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const unsigned char* data, size_t size) {
    unsigned char head[8];
    PutBig32(head, static_cast<unsigned long>(size));
    std::memcpy(head + 4, type, 4);
    out.insert(out.end(), head, head + 8);
    if (size) out.insert(out.end(), data, data + size);
    uint32_t crc = libdeflate_crc32(0, type, 4);
    if (size) crc = libdeflate_crc32(crc, data, size);
    unsigned char tail[4];
    PutBig32(tail, crc);
    out.insert(out.end(), tail, tail + 4);
}

// Fills in the length of the chunk that `chunk` holds from its start and appends its CRC.
void CloseChunk(std::vector<unsigned char>& chunk) {
    PutBig32(chunk.data(), static_cast<unsigned long>(chunk.size() - 8));
    const uint32_t crc = libdeflate_crc32(0, chunk.data() + 4, chunk.size() - 4);
    unsigned char tail[4];
    PutBig32(tail, crc);
    chunk.insert(chunk.end(), tail, tail + 4);
}

// One band of rows, filtered and deflated on its own; it ends on a byte boundary (a full flush),
// or with the stream's last block when it is the last band. Its data is a whole IDAT chunk:
// length, type, (the zlib header in the first band,) the deflated rows, (the stream's checksum
// in the last band,) the chunk's CRC.
struct Band {
    int begin = 0, end = 0;
    bool first = false, last = false;
    std::vector<unsigned char> data;
    uLong adler = 1;
    uLong length = 0;  // filtered bytes fed to the compressor
    bool ok = false;
};

bool DeflateBand(const unsigned char* rows, int width, int stride, Band& band) {
    try {
        const size_t rowBytes = static_cast<size_t>(width) * 3 + 1;
        const size_t rowCount = static_cast<size_t>(band.end - band.begin);
        band.data.reserve(rowBytes * rowCount / 2 + 4096);
        band.data.assign(8, 0);
        std::memcpy(band.data.data() + 4, "IDAT", 4);
        if (band.first) {
            // zlib stream: deflate, 32K window, fastest.
            band.data.push_back(0x78);
            band.data.push_back(0x01);
        }
        // The rows are filtered and compressed a piece of about a megabyte at a time, so that a
        // band never holds a filtered copy of all its rows.
        const int pieceRows = static_cast<int>(std::max<size_t>(1, (1u << 20) / rowBytes));
        std::vector<unsigned char> filtered(rowBytes * std::min<size_t>(rowCount, pieceRows));
        PieceDeflater deflater;
        for (int first = band.begin; first < band.end; first += pieceRows) {
            const int stop = std::min(band.end, first + pieceRows);
            unsigned char* f = filtered.data();
            for (int y = first; y < stop; ++y) {
                const unsigned char* cur = rows + static_cast<ptrdiff_t>(y) * stride;
                *f++ = 2;  // Up: each byte less the one above it
                if (y == 0) {
                    for (int x = 0; x < width; ++x, cur += 3, f += 3) f[0] = cur[2], f[1] = cur[1], f[2] = cur[0];
                } else {
                    const unsigned char* up = cur - stride;
                    for (int x = 0; x < width; ++x, cur += 3, up += 3, f += 3) {
                        f[0] = static_cast<unsigned char>(cur[2] - up[2]);
                        f[1] = static_cast<unsigned char>(cur[1] - up[1]);
                        f[2] = static_cast<unsigned char>(cur[0] - up[0]);
                    }
                }
            }
            const size_t size = static_cast<size_t>(f - filtered.data());
            band.adler = libdeflate_adler32(static_cast<uint32_t>(band.adler), filtered.data(), size);
            band.length += static_cast<uLong>(size);
            if (!deflater.Add(filtered.data(), size, band.last && stop == band.end, band.data)) return false;
        }
        if (!band.last) CloseChunk(band.data);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The PNG in pieces to be written one after the other: the head (signature, IHDR, pHYs), one
// IDAT chunk per band, and the tail (IEND).
struct PngPieces {
    std::vector<unsigned char> head, tail;
    std::vector<Band> bands;
};

bool EncodePieces(const unsigned char* rows, int width, int height, int stride, double dpiX, double dpiY,
                  int bands, PngPieces& png) {
    if (!rows || width <= 0 || height <= 0 || width > 0x3FFFFFFF / 3 || stride < width * 3) return false;
    if (bands < 1) bands = 1;
    if (bands > height / 16) bands = height / 16 > 0 ? height / 16 : 1;
    try {
        std::vector<Band>& parts = png.bands;
        parts.assign(bands, Band());
        for (int b = 0; b < bands; ++b) {
            parts[b].begin = static_cast<int>(static_cast<long long>(height) * b / bands);
            parts[b].end = static_cast<int>(static_cast<long long>(height) * (b + 1) / bands);
            parts[b].first = b == 0;
            parts[b].last = b == bands - 1;
        }
        ParallelRuns(bands, bands, 1, [&](int begin, int end) {
            for (int b = begin; b < end; ++b) parts[b].ok = DeflateBand(rows, width, stride, parts[b]);
        });
        uLong adler = 1;
        for (const Band& band : parts) {
            if (!band.ok) return false;
            adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));
        }
        // The combined checksum closes the stream in the last band.
        unsigned char check[4];
        PutBig32(check, adler);
        parts.back().data.insert(parts.back().data.end(), check, check + 4);
        CloseChunk(parts.back().data);

        static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        png.head.assign(kSignature, kSignature + 8);
        unsigned char header[13];
        PutBig32(header, static_cast<unsigned long>(width));
        PutBig32(header + 4, static_cast<unsigned long>(height));
        header[8] = 8;   // bits per channel
        header[9] = 2;   // red, green, blue
        header[10] = 0;  // deflate
        header[11] = 0;  // adaptive filters
        header[12] = 0;  // not interlaced
        AppendChunk(png.head, "IHDR", header, sizeof(header));
        if (dpiX > 0 && dpiY > 0) {
            unsigned char phys[9];
            PutBig32(phys, static_cast<unsigned long>(dpiX / 0.0254 + 0.5));
            PutBig32(phys + 4, static_cast<unsigned long>(dpiY / 0.0254 + 0.5));
            phys[8] = 1;  // per metre
            AppendChunk(png.head, "pHYs", phys, sizeof(phys));
        }
        png.tail.clear();
        AppendChunk(png.tail, "IEND", nullptr, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The bitmap's rows read as 24-bit pixels, encoded in pieces.
bool EncodeBitmapPieces(Bitmap* bitmap, int bands, PngPieces& png) {
    if (!bitmap) return false;
    Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    if (all.Width <= 0 || all.Height <= 0) return false;
    BitmapData data;
    if (bitmap->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) != Ok) return false;
    const bool ok =
        EncodePieces(static_cast<const unsigned char*>(data.Scan0), all.Width, all.Height, data.Stride,
                     bitmap->GetHorizontalResolution(), bitmap->GetVerticalResolution(), bands, png);
    bitmap->UnlockBits(&data);
    return ok;
}

bool Join(const PngPieces& png, std::vector<unsigned char>& out) {
    try {
        size_t total = png.head.size() + png.tail.size();
        for (const Band& band : png.bands) total += band.data.size();
        out.reserve(total);
        out.insert(out.end(), png.head.begin(), png.head.end());
        for (const Band& band : png.bands) out.insert(out.end(), band.data.begin(), band.data.end());
        out.insert(out.end(), png.tail.begin(), png.tail.end());
        return true;
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
}

bool WriteAll(HANDLE file, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD piece = static_cast<DWORD>(left > (1u << 24) ? (1u << 24) : left);
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written != piece)
            return false;
        done += piece;
    }
    return true;
}

}  // namespace

bool EncodePng(Bitmap* bitmap, int bands, std::vector<unsigned char>& out) {
    out.clear();
    PngPieces png;
    return EncodeBitmapPieces(bitmap, bands, png) && Join(png, out);
}

Status WritePngFile(Bitmap* bitmap, const WCHAR* path) {
    if (!bitmap || !path) return InvalidParameter;
    const double started = RenderClockSeconds();
    Status status = Ok;
    {
        PngPieces png;
        if (!EncodeBitmapPieces(bitmap, GetRenderThreadCount(), png)) {
            status = OutOfMemory;
        } else {
            HANDLE file =
                ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                status = Win32Error;
            } else {
                bool written = WriteAll(file, png.head);
                for (size_t b = 0; written && b < png.bands.size(); ++b)
                    written = WriteAll(file, png.bands[b].data);
                written = written && WriteAll(file, png.tail);
                ::CloseHandle(file);
                if (!written) {
                    ::DeleteFileW(path);
                    status = Win32Error;
                }
            }
        }
    }
    GetRenderTimings().encoding += RenderClockSeconds() - started;
    return status;
}
