// The PNG writer: pictures of awkward widths written in 1, 2 and 8 bands decode to exactly their
// pixels through GDI+'s decoder and through zlib's inflate with the filters undone here; every
// chunk's checksum holds; the file on disk is the same and keeps the resolution.
#include <doctest.h>

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GdiplusSession.h"
#include "render/PngWriter.h"
#include "render/RenderThreads.h"

using namespace Gdiplus;

namespace {

Bitmap* MakePicture(int w, int h) {
    Bitmap* b = new Bitmap(w, h, PixelFormat24bppRGB);
    Rect r(0, 0, w, h);
    BitmapData d;
    REQUIRE(b->LockBits(&r, ImageLockModeWrite, PixelFormat24bppRGB, &d) == Ok);
    unsigned seed = 77u + w;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = static_cast<unsigned char*>(d.Scan0) + y * d.Stride;
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            // Smooth areas, noise and hard steps.
            row[x * 3] = static_cast<unsigned char>(x * 255 / w);
            row[x * 3 + 1] = static_cast<unsigned char>((x / 7 + y / 5) % 2 ? 230 : 20);
            row[x * 3 + 2] = static_cast<unsigned char>(seed >> 24);
        }
    }
    b->UnlockBits(&d);
    return b;
}

unsigned long Big32(const unsigned char* p) {
    return (static_cast<unsigned long>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// Decodes with zlib: checks every chunk's CRC, inflates the joined IDAT data (which checks the
// stream's Adler-32) and undoes the row filters. Returns rows of red, green, blue.
bool DecodeWithZlib(const std::vector<unsigned char>& png, int& w, int& h, std::vector<unsigned char>& rgb,
                    unsigned long& ppm, int& idatCount) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), sig, 8) != 0) return false;
    std::vector<unsigned char> z;
    size_t at = 8;
    bool ended = false;
    idatCount = 0;
    ppm = 0;
    while (at + 12 <= png.size() && !ended) {
        const unsigned long len = Big32(&png[at]);
        if (at + 12 + len > png.size()) return false;
        const unsigned char* type = &png[at + 4];
        const unsigned char* data = &png[at + 8];
        if (crc32(0, type, 4 + len) != Big32(data + len)) return false;
        if (!std::memcmp(type, "IHDR", 4)) {
            w = static_cast<int>(Big32(data));
            h = static_cast<int>(Big32(data + 4));
            if (data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
        } else if (!std::memcmp(type, "pHYs", 4)) {
            ppm = Big32(data);
        } else if (!std::memcmp(type, "IDAT", 4)) {
            z.insert(z.end(), data, data + len);
            ++idatCount;
        } else if (!std::memcmp(type, "IEND", 4)) {
            ended = true;
        }
        at += 12 + len;
    }
    if (!ended || at != png.size()) return false;
    const size_t rowBytes = static_cast<size_t>(w) * 3 + 1;
    std::vector<unsigned char> raw(rowBytes * h);
    uLongf rawLen = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawLen, z.data(), static_cast<uLong>(z.size())) != Z_OK) return false;
    if (rawLen != raw.size()) return false;
    rgb.assign(static_cast<size_t>(w) * 3 * h, 0);
    for (int y = 0; y < h; ++y) {
        const unsigned char* f = &raw[y * rowBytes];
        unsigned char* out = &rgb[static_cast<size_t>(y) * w * 3];
        const unsigned char* up = y ? out - w * 3 : nullptr;
        for (int i = 0; i < w * 3; ++i) {
            const int a = i >= 3 ? out[i - 3] : 0, b = up ? up[i] : 0, c = (up && i >= 3) ? up[i - 3] : 0;
            int v = f[1 + i];
            switch (f[0]) {
                case 0:
                    break;
                case 1:
                    v += a;
                    break;
                case 2:
                    v += b;
                    break;
                case 3:
                    v += (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    v += (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default:
                    return false;
            }
            out[i] = static_cast<unsigned char>(v);
        }
    }
    return true;
}

// Every pixel of `b` against red, green, blue rows.
int CountDifferent(Bitmap* b, const std::vector<unsigned char>& rgb) {
    const int w = static_cast<int>(b->GetWidth()), h = static_cast<int>(b->GetHeight());
    Rect r(0, 0, w, h);
    BitmapData d;
    if (b->LockBits(&r, ImageLockModeRead, PixelFormat24bppRGB, &d) != Ok) return -1;
    int off = 0;
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(d.Scan0) + y * d.Stride;
        for (int x = 0; x < w; ++x) {
            const unsigned char* q = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            off += row[x * 3 + 2] != q[0] || row[x * 3 + 1] != q[1] || row[x * 3] != q[2];
        }
    }
    b->UnlockBits(&d);
    return off;
}

Bitmap* DecodeWithGdiplus(const std::vector<unsigned char>& png) {
    IStream* stream = nullptr;
    REQUIRE(CreateStreamOnHGlobal(nullptr, TRUE, &stream) == S_OK);
    ULONG written = 0;
    stream->Write(png.data(), static_cast<ULONG>(png.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    Bitmap* b = Bitmap::FromStream(stream);
    stream->Release();
    return b;
}

}  // namespace

TEST_CASE("PNG round trip in 1, 2 and 8 bands through two decoders") {
    REQUIRE(kvtest::GdiplusReady());
    const int sizes[][2] = {{1, 1}, {97, 61}, {1001, 37}, {331, 263}};
    for (const auto& size : sizes) {
        Bitmap* picture = MakePicture(size[0], size[1]);
        picture->SetResolution(600, 600);
        std::vector<unsigned char> first;
        for (int bands : {1, 2, 8}) {
            CAPTURE(size[0]);
            CAPTURE(size[1]);
            CAPTURE(bands);
            std::vector<unsigned char> png;
            REQUIRE(EncodePng(picture, bands, png));
            int w = 0, h = 0, idats = 0;
            unsigned long ppm = 0;
            std::vector<unsigned char> rgb;
            REQUIRE(DecodeWithZlib(png, w, h, rgb, ppm, idats));
            CHECK(w == size[0]);
            CHECK(h == size[1]);
            CHECK(ppm == 23622);  // 600 dots per inch
            // One IDAT per band; a picture under 16 rows a band is one band.
            CHECK(idats == (size[1] / 16 >= bands ? bands : (size[1] / 16 > 0 ? size[1] / 16 : 1)));
            CHECK(CountDifferent(picture, rgb) == 0);
            Bitmap* decoded = DecodeWithGdiplus(png);
            REQUIRE(decoded != nullptr);
            REQUIRE(decoded->GetLastStatus() == Ok);
            CHECK(decoded->GetWidth() == static_cast<UINT>(size[0]));
            CHECK(static_cast<int>(decoded->GetHorizontalResolution() + 0.5f) == 600);
            CHECK(CountDifferent(decoded, rgb) == 0);
            delete decoded;
            if (bands == 1) first = png;
        }
        delete picture;
    }
}

TEST_CASE("PNG file written in place of an old one, and a file that cannot be made reported") {
    REQUIRE(kvtest::GdiplusReady());
    Bitmap* picture = MakePicture(211, 90);
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"png", 0, path);  // an existing file to be replaced
    SetRenderThreadCount(3);
    REQUIRE(WritePngFile(picture, path) == Ok);
    SetRenderThreadCount(0);
    {
        Bitmap back(path);
        REQUIRE(back.GetLastStatus() == Ok);
        CHECK(back.GetWidth() == 211);
        CHECK(back.GetHeight() == 90);
        std::vector<unsigned char> png;
        REQUIRE(EncodePng(picture, 1, png));
        int w, h, idats;
        unsigned long ppm;
        std::vector<unsigned char> rgb;
        REQUIRE(DecodeWithZlib(png, w, h, rgb, ppm, idats));
        CHECK(CountDifferent(&back, rgb) == 0);
    }
    DeleteFileW(path);
    std::wstring missing = std::wstring(folder) + L"no such folder\\x.png";
    CHECK(WritePngFile(picture, missing.c_str()) == Win32Error);
    CHECK(WritePngFile(nullptr, path) == InvalidParameter);
    delete picture;
}
