// Generates the image folder of the image panel's tests with GDI+ (PNG, JPEG, BMP) and a small
// GIF writer of its own (GDI+ under Wine writes no usable GIF).
#include "ImageFolderFixture.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>

#include "TestSupport.h"

namespace kvtest {
namespace {

bool EncoderClsid(const WCHAR* mime, CLSID* clsid) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mime) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

bool SaveGdiplus(const std::string& path, int w, int h, unsigned colour, const WCHAR* mime) {
    Gdiplus::Bitmap bitmap(w, h, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(255, (colour >> 16) & 255, (colour >> 8) & 255, colour & 255));
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 255 - ((colour >> 16) & 255), 40, 200));
        g.FillEllipse(&brush, w / 4, h / 4, std::max(1, w / 2), std::max(1, h / 2));
    }
    CLSID clsid;
    if (!EncoderClsid(mime, &clsid)) return false;
    return bitmap.Save(Wide(path).c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

// A GIF of four colours whose LZW stream never grows its code table (a clear code after every two
// pixels), which every decoder reads.
bool SaveGif(const std::string& path, int w, int h, unsigned colour) {
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&out](int v) {
        out.push_back((unsigned char)(v & 255));
        out.push_back((unsigned char)(v >> 8));
    };
    put16(w);
    put16(h);
    out.push_back(0x81);  // global table of 4 colours
    out.push_back(0);
    out.push_back(0);
    const unsigned char table[12] = {(unsigned char)(colour >> 16),
                                     (unsigned char)(colour >> 8),
                                     (unsigned char)colour,
                                     255,
                                     255,
                                     255,
                                     0,
                                     0,
                                     0,
                                     0,
                                     128,
                                     0};
    out.insert(out.end(), table, table + 12);
    out.push_back(0x2C);
    put16(0);
    put16(0);
    put16(w);
    put16(h);
    out.push_back(0);
    out.push_back(2);  // minimum code size
    std::vector<unsigned char> data;
    unsigned bits = 0;
    int count = 0;
    auto code = [&](unsigned c) {
        bits |= c << count;
        count += 3;
        while (count >= 8) {
            data.push_back((unsigned char)(bits & 255));
            bits >>= 8;
            count -= 8;
        }
    };
    const int pixels = w * h;
    for (int i = 0; i < pixels; ++i) {
        if (i % 2 == 0) code(4);
        const int x = i % w, y = i / w;
        code(((x / 8) + (y / 8)) % 2 == 0 ? 0 : 1);
    }
    code(5);
    if (count > 0) data.push_back((unsigned char)(bits & 255));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back((unsigned char)n);
        out.insert(out.end(), data.begin() + i, data.begin() + i + n);
    }
    out.push_back(0);
    out.push_back(0x3B);
    return WriteFileBytes(path, out);
}

std::string Extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return (char)tolower(c); });
    return ext;
}

}  // namespace

ImageFolderInfo MakeImageFolder(const std::string& name, int count) {
    ImageFolderInfo info;
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    info.root = std::string(cwd) + "\\" + name;
    const std::string marker = info.root + "\\complete.txt";
    const bool reuse = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    CreateDirectoryA(info.root.c_str(), nullptr);
    bool complete = true;
    const char* const folders[] = {"", "sub1", "sub1\\deeper", "sub2"};
    for (const char* f : folders) {
        if (*f) CreateDirectoryA((info.root + "\\" + f).c_str(), nullptr);
    }
    CreateDirectoryA((info.root + "\\Temporary Internet Files").c_str(), nullptr);
    const char* const exts[] = {".png", ".jpg", ".bmp", ".gif", ".jpeg"};
    for (int i = 0; i < count; ++i) {
        const int folder = i < count * 2 / 5 ? 0 : i < count * 16 / 25 ? 1 : i < count * 4 / 5 ? 2 : 3;
        const std::string ext = exts[i % 5];
        char file[64];
        snprintf(file, sizeof(file), "img%03d%s", i, ext.c_str());
        const std::string rel =
            *folders[folder] ? std::string(folders[folder]) + "\\" + file : std::string(file);
        const std::string path = info.root + "\\" + rel;
        const bool corrupt = i % 50 == 7;
        const bool huge = i == 3 || i == count / 2 + 3;
        const int w = huge ? 3000 : 16 + (i * 37) % 380;
        const int h = huge ? 2400 : 8 + (i * 53) % 290;
        const unsigned colour = (unsigned)(i * 2654435761u) & 0xFFFFFF;
        if (!reuse) {
            bool written = true;
            if (corrupt) {
                std::vector<unsigned char> junk(300 + i);
                for (size_t k = 0; k < junk.size(); ++k) junk[k] = (unsigned char)(k * 7 + i);
                WriteFileBytes(path, junk);
            } else if (ext == ".png") {
                written = SaveGdiplus(path, w, h, colour, L"image/png");
            } else if (ext == ".jpg" || ext == ".jpeg") {
                written = SaveGdiplus(path, w, h, colour, L"image/jpeg");
            } else if (ext == ".bmp") {
                written = SaveGdiplus(path, w, h, colour, L"image/bmp");
            } else {
                written = SaveGif(path, w, h, colour);
            }
            // A folder made while the encoders were missing must not be kept for later runs.
            complete = complete && written;
        }
        info.allImages.push_back(rel);
        if (folder == 0) {
            info.rootFiles.push_back(file);
            if (ext == ".png") ++info.pngInRoot;
        }
        if (corrupt) info.corrupt.push_back(rel);
    }
    if (!reuse) {
        // No images: found by no pattern.
        WriteFileBytes(info.root + "\\notes.txt", {'h', 'i'});
        WriteFileBytes(info.root + "\\sub1\\song.mp3", {0xFF, 0xFB, 0x90, 0x44});
        // The browser cache is left out of the panel's scans.
        SaveGdiplus(info.root + "\\Temporary Internet Files\\cached.png", 20, 20, 0x00FF00, L"image/png");
        if (complete) WriteFileBytes(marker, {'o', 'k'});
    }
    return info;
}

std::vector<std::string> ExpectedImages(const ImageFolderInfo& info,
                                        const std::vector<std::string>& extensions, bool subfolders) {
    std::vector<std::string> out;
    for (const std::string& rel : info.allImages) {
        if (!subfolders && rel.find('\\') != std::string::npos) continue;
        const std::string ext = Extension(rel);
        if (std::find(extensions.begin(), extensions.end(), ext) != extensions.end()) out.push_back(rel);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace kvtest
