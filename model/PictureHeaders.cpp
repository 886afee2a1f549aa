// The header checks of the picture kinds a design can hold. Each reads only within the bytes
// given; a picture whose headers point outside them, or that claims more pixels than this process
// can decode, is refused before any decoder sees it.
#include "model/PictureHeaders.h"

#include <cstring>

#include "framework/graphics/DibHelpers.h"

namespace {

uint32_t Le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t Be16(const unsigned char* p) {
    return (p[0] << 8) | p[1];
}
uint32_t Be32(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// Whether a picture (or one frame or image of it) of this size may be decoded; one that has more
// pixels than allowed marks the whole picture as too large.
bool SizeAllowed(uint64_t width, uint64_t height, PictureHeaderCheck& r) {
    if (width == 0 || height == 0) return false;
    if (width * height <= kMaxPicturePixels) return true;
    r.tooLarge = true;
    return false;
}

void CheckBmp(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    if (size < 14 + 12) return;
    const uint32_t pixelOffset = Le32(b + 10);
    const uint32_t infoSize = Le32(b + 14);
    int64_t width, height;
    uint32_t planes, bits, compression = 0, colours = 0;
    if (infoSize == 12) {
        width = Le16(b + 18);
        height = static_cast<int16_t>(Le16(b + 20));
        planes = Le16(b + 22);
        bits = Le16(b + 24);
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
               infoSize == 124) {
        if (size < 14 + static_cast<size_t>(infoSize)) return;
        width = static_cast<int32_t>(Le32(b + 18));
        height = static_cast<int32_t>(Le32(b + 22));
        planes = Le16(b + 26);
        bits = Le16(b + 28);
        compression = Le32(b + 30);
        colours = Le32(b + 46);
    } else {
        return;
    }
    if (height < 0) height = -height;
    r.width = width > 0 ? static_cast<uint32_t>(width) : 0;
    r.height = static_cast<uint32_t>(height);
    if (width <= 0 || !SizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height), r)) return;
    if (planes != 1 || colours > 256) return;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return;
    // The pixels start after the headers and within the file.
    if (pixelOffset < 14 + infoSize || pixelOffset >= size) return;
    const uint64_t available = size - pixelOffset;
    switch (compression) {
        case 0:  // uncompressed
        case 3:  // bit fields
        case 6: {
            if (compression != 0 && bits != 16 && bits != 32) return;
            const uint64_t row = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
            if (row * static_cast<uint64_t>(height) > available) return;
            break;
        }
        case 1:  // run-length, 8 bits
            if (bits != 8) return;
            break;
        case 2:  // run-length, 4 bits
            if (bits != 4) return;
            break;
        default:
            return;
    }
    r.acceptable = true;
}

void CheckPng(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    // The header chunk comes first: length 13, "IHDR", width and height.
    if (size < 8 + 8 + 13 + 4) return;
    if (Be32(b + 8) != 13 || std::memcmp(b + 12, "IHDR", 4) != 0) return;
    r.width = Be32(b + 16);
    r.height = Be32(b + 20);
    if (r.width > 0x7FFFFFFF || r.height > 0x7FFFFFFF) return;
    r.acceptable = SizeAllowed(r.width, r.height, r);
}

// Skips a chain of GIF data sub-blocks; false when it runs off the end.
bool SkipGifBlocks(const unsigned char* b, size_t size, size_t& at) {
    for (;;) {
        if (at >= size) return false;
        const size_t length = b[at++];
        if (length == 0) return true;
        if (length > size - at) return false;
        at += length;
    }
}

void CheckGif(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    if (size < 13) return;
    r.width = Le16(b + 6);
    r.height = Le16(b + 8);
    if (!SizeAllowed(r.width, r.height, r)) return;
    size_t at = 13;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
    // Every frame must fit the pixel limit too; the walk stops at the trailer or at the end of
    // what can be followed (the decoder then reports the damage itself).
    while (at < size) {
        const unsigned char tag = b[at];
        if (tag == 0x3B) break;
        if (tag == 0x21) {
            at += 2;
            if (!SkipGifBlocks(b, size, at)) break;
        } else if (tag == 0x2C) {
            if (size - at < 10) break;
            const uint32_t w = Le16(b + at + 5), h = Le16(b + at + 7);
            if (!SizeAllowed(w, h, r)) return;
            const unsigned char flags = b[at + 9];
            at += 10;
            if (flags & 0x80) at += 3u << ((flags & 7) + 1);
            at += 1;  // the code size
            if (!SkipGifBlocks(b, size, at)) break;
        } else {
            break;
        }
    }
    r.acceptable = true;
}

void CheckJpeg(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    size_t at = 2;
    bool frame = false;
    while (at + 4 <= size) {
        if (b[at] != 0xFF) return;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9) return;
        const uint32_t length = Be16(b + at + 2);
        if (length < 2 || length > size - at - 2) return;
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            if (length < 8) return;
            r.height = Be16(b + at + 5);
            r.width = Be16(b + at + 7);
            const uint32_t components = b[at + 9];
            if (components == 0 || components > 4 || length < 8 + 3 * components) return;
            if (!SizeAllowed(r.width, r.height, r)) return;
            frame = true;
        }
        if (marker == 0xDA) {
            r.acceptable = frame;
            return;
        }
        at += 2 + length;
    }
}

// The first image of a TIFF file: its size, its compression, and every strip (or tile) within
// the file, holding all its rows when the pixels are stored as they are. Wine's decoder keeps the
// stream it was given whenever it fails, so a damaged picture is best refused here.
void CheckTiff(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    if (size < 8) return;
    const bool little = b[0] == 'I';
    auto u16 = [&](size_t at) { return little ? Le16(b + at) : Be16(b + at); };
    auto u32 = [&](size_t at) { return little ? Le32(b + at) : Be32(b + at); };
    const uint32_t ifd = u32(4);
    if (ifd < 8 || ifd > size - 2) return;
    const uint32_t entries = u16(ifd);
    if (entries == 0 || entries > (size - ifd - 2) / 12) return;

    // A field's values: inline when they fit four bytes, else at an offset within the file.
    struct Field {
        uint32_t type = 0, count = 0;
        size_t at = 0;  // where the values start
        bool present = false;
    };
    Field fields[5];  // offsets, byte counts (strips or tiles), bits per sample, rows per strip, tile size
    uint32_t compression = 1, samples = 1, rowsPerStrip = 0xFFFFFFFF, tileWidth = 0, tileLength = 0;
    uint32_t planar = 1;
    for (uint32_t e = 0; e < entries; ++e) {
        const size_t at = ifd + 2 + 12 * static_cast<size_t>(e);
        const uint32_t tag = u16(at), type = u16(at + 2), count = u32(at + 4);
        const uint32_t unit = type == 3 ? 2 : type == 4 ? 4 : 0;
        if (unit == 0) continue;
        Field f;
        f.type = type;
        f.count = count;
        f.present = true;
        if (static_cast<uint64_t>(count) * unit <= 4) {
            f.at = at + 8;
        } else {
            const uint32_t offset = u32(at + 8);
            if (offset > size || static_cast<uint64_t>(count) * unit > size - offset) return;
            f.at = offset;
        }
        auto first = [&]() { return count == 0 ? 0 : type == 3 ? u16(f.at) : u32(f.at); };
        switch (tag) {
            case 256: r.width = first(); break;
            case 257: r.height = first(); break;
            case 258: fields[2] = f; break;
            case 259: compression = first(); break;
            case 273: case 324: fields[0] = f; break;
            case 279: case 325: fields[1] = f; break;
            case 277: samples = first(); break;
            case 278: rowsPerStrip = first(); break;
            case 284: planar = first(); break;
            case 322: tileWidth = first(); break;
            case 323: tileLength = first(); break;
            default: break;
        }
    }
    static const uint32_t kKnown[] = {1, 2, 3, 4, 5, 7, 8, 32773, 32946};
    bool known = false;
    for (uint32_t k : kKnown) known = known || compression == k;
    if (!known || !SizeAllowed(r.width, r.height, r) || samples == 0 || samples > 8 ||
        (planar != 1 && planar != 2))
        return;
    // Bits per sample: 1, 2, 4, 8 or 16 each.
    uint32_t bitsPerPixel = samples;  // one bit each when the field is missing
    if (fields[2].present) {
        if (fields[2].count != 1 && fields[2].count != samples) return;
        bitsPerPixel = 0;
        for (uint32_t k = 0; k < samples; ++k) {
            const uint32_t n = fields[2].count == 1 ? 0 : k;
            const uint32_t bits = fields[2].type == 3 ? u16(fields[2].at + 2 * n) : u32(fields[2].at + 4 * n);
            if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) return;
            bitsPerPixel += bits;
        }
    }
    const Field& offsets = fields[0];
    const Field& counts = fields[1];
    if (!offsets.present || !counts.present || offsets.count != counts.count || offsets.count == 0) return;
    // How many pieces the image is stored in, and how many bytes each holds uncompressed.
    uint64_t pieces, pieceBytes, lastBytes;
    const bool tiled = tileWidth != 0 || tileLength != 0;
    const uint64_t planes = planar == 2 ? samples : 1;
    const uint64_t pixelBits = planar == 2 ? bitsPerPixel / samples : bitsPerPixel;
    if (tiled) {
        if (tileWidth == 0 || tileLength == 0 || tileWidth % 16 || tileLength % 16) return;
        pieces = ((r.width + uint64_t(tileWidth) - 1) / tileWidth) * ((r.height + uint64_t(tileLength) - 1) / tileLength);
        pieceBytes = lastBytes = (uint64_t(tileWidth) * pixelBits + 7) / 8 * tileLength;
    } else {
        const uint64_t rows = rowsPerStrip == 0 || rowsPerStrip > r.height ? r.height : rowsPerStrip;
        const uint64_t rowBytes = (uint64_t(r.width) * pixelBits + 7) / 8;
        pieces = (r.height + rows - 1) / rows;
        pieceBytes = rows * rowBytes;
        lastBytes = (r.height - (pieces - 1) * rows) * rowBytes;
    }
    if (offsets.count != pieces * planes) return;
    for (uint32_t k = 0; k < offsets.count; ++k) {
        const uint64_t offset = offsets.type == 3 ? u16(offsets.at + 2 * k) : u32(offsets.at + 4 * k);
        const uint64_t bytes = counts.type == 3 ? u16(counts.at + 2 * k) : u32(counts.at + 4 * k);
        if (bytes == 0 || offset > size || bytes > size - offset) return;
        const bool last = (k + 1) % pieces == 0;
        if (compression == 1 && bytes < (last ? lastBytes : pieceBytes)) return;
    }
    r.acceptable = true;
}

// The player of a metafile takes its records as they say: an object index past the handle table
// writes outside it, and a record's size or bitmap that reaches past the record reads outside.
// Both are refused; a metafile must end with its end-of-file record.

// Whether [offset, offset + count) lies within `size` bytes.
bool Within(uint64_t offset, uint64_t count, uint64_t size) {
    return offset <= size && count <= size - offset;
}

void CheckEmf(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    const uint32_t headerSize = Le32(b + 4);
    const uint32_t total = Le32(b + 48), records = Le32(b + 52), handles = Le16(b + 56);
    if (headerSize < 88 || headerSize % 4 || total > size || total % 4 || headerSize > total || handles == 0) return;
    const uint32_t descriptionLength = Le32(b + 60), descriptionAt = Le32(b + 64);
    if (descriptionLength && !Within(descriptionAt, 2ull * descriptionLength, headerSize)) return;
    if (headerSize >= 100 && Le32(b + 88) && !Within(Le32(b + 92), Le32(b + 88), total)) return;
    // Where each creating, selecting or deleting record keeps its object index, and where the
    // bitmap records keep their (offset, size) pairs of bitmap header and pixels.
    auto objectIndexAt = [](uint32_t type) -> int {
        switch (type) {
            case 37: case 40: case 48: case 50: case 51: case 100: case 101:  // select, delete, palettes, colour spaces
            case 38: case 39: case 49: case 82: case 93: case 94: case 95: case 99: case 122:  // creations
                return 8;
            default:
                return 0;
        }
    };
    auto bitmapPairsAt = [](uint32_t type) -> int {
        switch (type) {
            case 76: case 77: case 114: case 116:  // bit and stretch blits, alpha blend, transparent blit
                return 84;
            case 80: case 81:  // DIB bits to the device, stretched DIB bits
                return 48;
            case 93: case 94:  // pattern brushes
                return 16;
            default:
                return 0;
        }
    };
    uint32_t count = 0, type = 0;
    for (uint64_t at = 0; at < total; ++count) {
        if (total - at < 8) return;
        type = Le32(b + at);
        const uint32_t length = Le32(b + at + 4);
        if (length < 8 || length % 4 || length > total - at || (at == 0) != (type == 1)) return;
        if (const int index = objectIndexAt(type)) {
            if (length < static_cast<uint32_t>(index) + 4) return;
            const uint32_t object = Le32(b + at + index);
            // Stock objects (the high bit) live outside the table; only selections may use them.
            const bool stock = (object & 0x80000000u) && (type == 37 || type == 48);
            if (!stock && object >= handles) return;
        }
        if (const int pairs = bitmapPairsAt(type)) {
            if (length < static_cast<uint32_t>(pairs) + 16) return;
            for (int k = 0; k < 2; ++k)
                if (!Within(Le32(b + at + pairs + 8 * k), Le32(b + at + pairs + 8 * k + 4), length)) return;
        }
        at += length;
    }
    r.acceptable = type == 14 && count == records;  // the end-of-file record last
}

void CheckWmf(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    if (size >= 22 && Le32(b) == 0x9AC6CDD7u) {  // the placeable header in front
        b += 22;
        size -= 22;
    }
    if (size < 18 || Le16(b + 2) != 9) return;
    const uint64_t total = 2ull * Le32(b + 6), largest = Le32(b + 12);
    const uint32_t objects = Le16(b + 10);
    if (total < 18 || total > size) return;
    // Where the records that take a bitmap along keep it (in words behind the function).
    auto bitmapAt = [](uint32_t function, uint64_t words) -> uint64_t {
        switch (function) {
            case 0x0F43: return 11;                    // stretched DIB
            case 0x0B41: return words > 13 ? 10 : 0;   // DIB stretch blit (with a bitmap)
            case 0x0940: return words > 12 ? 8 : 0;    // DIB bit blit (with a bitmap)
            case 0x0D33: return 9;                     // DIB bits to the device
            case 0x0142: return 2;                     // DIB pattern brush
            default: return 0;
        }
    };
    for (uint64_t at = 18; at + 6 <= total;) {
        const uint64_t words = Le32(b + at);
        const uint32_t function = Le16(b + at + 4);
        if (words < 3 || words > largest || 2 * words > total - at) return;
        if (function == 0) {  // the end of the file
            r.acceptable = true;
            return;
        }
        if (function == 0x012D || function == 0x01F0 || function == 0x0234 || function == 0x012C) {
            // select object, delete object, select palette, select clipping region
            if (words < 4 || Le16(b + at + 6) >= objects) return;
        }
        if (const uint64_t dib = bitmapAt(function, words)) {
            const uint64_t from = 6 + 2 * dib;
            if (from >= 2 * words || GetPackedDibSizeWithin(b + at + from, static_cast<SIZE_T>(2 * words - from)) == 0)
                return;
        }
        at += 2 * words;
    }
}

// An icon's images must lie within the file, and a bitmap image must hold the colour rows of the
// height it claims (half its header's height: the mask's rows follow): the decoder of a damaged
// one that claims millions of rows keeps a handle at every try.
void CheckIco(const unsigned char* b, size_t size, PictureHeaderCheck& r) {
    static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const uint32_t count = Le16(b + 4);
    if (count == 0 || 6 + 16ull * count > size) return;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = b + 6 + 16 * i;
        const uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
        if (bytes == 0 || !Within(offset, bytes, size)) return;
        const unsigned char* image = b + offset;
        if (bytes >= 8 && std::memcmp(image, kPngSignature, 8) == 0) {
            PictureHeaderCheck png;
            CheckPng(image, bytes, png);
            if (!png.acceptable) {
                r.tooLarge = png.tooLarge;
                return;
            }
            continue;
        }
        if (bytes < 40) return;
        const uint32_t headerSize = Le32(image), bits = Le16(image + 14), used = Le32(image + 32);
        const int32_t width = static_cast<int32_t>(Le32(image + 4)), height = static_cast<int32_t>(Le32(image + 8));
        if (headerSize < 40 || headerSize > bytes || width <= 0 || height <= 0 || height % 2) return;
        if (!SizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height / 2), r)) return;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return;
        const uint64_t colours = used ? used : (bits <= 8 ? 1u << bits : 0);
        const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (colours > 256 || headerSize + 4 * colours + stride * static_cast<uint64_t>(height / 2) > bytes) return;
    }
    r.acceptable = true;
}

}  // namespace

PictureHeaderCheck CheckPictureHeaders(const unsigned char* bytes, size_t size) {
    PictureHeaderCheck r;
    if (!bytes || size == 0) return r;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        r.kind = PictureHeaderCheck::kBmp;
        CheckBmp(bytes, size, r);
    } else if (size >= 8 && std::memcmp(bytes, kPng, 8) == 0) {
        r.kind = PictureHeaderCheck::kPng;
        CheckPng(bytes, size, r);
    } else if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0)) {
        r.kind = PictureHeaderCheck::kGif;
        CheckGif(bytes, size, r);
    } else if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        r.kind = PictureHeaderCheck::kJpeg;
        CheckJpeg(bytes, size, r);
    } else if (size >= 4 && ((bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) ||
                             (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42))) {
        r.kind = PictureHeaderCheck::kTiff;
        CheckTiff(bytes, size, r);
    } else if (size >= 6 && Le16(bytes) == 0 && (Le16(bytes + 2) == 1 || Le16(bytes + 2) == 2)) {
        CheckIco(bytes, size, r);
    } else if (size >= 88 && Le32(bytes) == 1 && std::memcmp(bytes + 40, " EMF", 4) == 0) {
        CheckEmf(bytes, size, r);
    } else if ((size >= 22 && Le32(bytes) == 0x9AC6CDD7u) ||
               (size >= 18 && (Le16(bytes) == 1 || Le16(bytes) == 2) && Le16(bytes + 2) == 9)) {
        CheckWmf(bytes, size, r);
    } else {
        r.acceptable = true;
    }
    return r;
}

bool IsSlowToDecode(const PictureHeaderCheck& headers) {
    const bool kept = headers.kind == PictureHeaderCheck::kJpeg || headers.kind == PictureHeaderCheck::kPng ||
                      headers.kind == PictureHeaderCheck::kGif || headers.kind == PictureHeaderCheck::kTiff;
    return headers.acceptable && kept &&
           static_cast<uint64_t>(headers.width) * headers.height >= kSlowDecodePixels;
}
