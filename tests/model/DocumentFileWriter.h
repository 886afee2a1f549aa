// A test-side writer of document files, byte by byte from the record layouts, independent of the
// model's own writer: archive elements, class and object tags, and the records of every version.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace docfile {

class Writer {
public:
    std::vector<unsigned char> bytes;
    // Offsets of every count word written, so that tests can enlarge them.
    std::vector<size_t> countOffsets;

    void U8(int v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void U16(int v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void I32(int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) U8((u >> (8 * i)) & 0xFF);
    }
    void Raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
    void Raw(const std::vector<unsigned char>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    // The archive's single-byte string.
    void Str(const std::string& s) {
        if (s.size() < 255) {
            U8(static_cast<int>(s.size()));
        } else if (s.size() < 0xFFFE) {
            U8(0xFF);
            U16(static_cast<int>(s.size()));
        } else {
            U8(0xFF);
            U16(0xFFFF);
            I32(static_cast<int32_t>(s.size()));
        }
        Raw(s);
    }
    void Count(size_t n) {
        countOffsets.push_back(bytes.size());
        if (n < 0xFFFF) {
            U16(static_cast<int>(n));
        } else {
            U16(0xFFFF);
            I32(static_cast<int32_t>(n));
        }
    }
    void Null() { U16(0); }
    // The tag of a new object of a class: the class record the first time, its index after.
    void Object(const std::string& className, int schema) {
        auto it = classes.find(className);
        if (it == classes.end()) {
            U16(0xFFFF);
            U16(schema);
            U16(static_cast<int>(className.size()));
            Raw(className);
            classes[className] = next++;
        } else {
            U16(0x8000 | static_cast<int>(it->second));
        }
        next++;  // the object's own index
    }
    // The image record: decimal count, a line feed, the bytes.
    void Image(const std::vector<unsigned char>& data) {
        Raw(std::to_string(data.size()));
        U8('\n');
        Raw(data);
    }

private:
    std::map<std::string, uint32_t> classes;
    uint32_t next = 1;
};

struct Property {
    std::string itemName, name, value;
    int flag = 0;
    std::string fifth, choices;
    int kind = 0;
};

struct TextRecord {
    int number = 0;
    std::string first, second, third;
};

// The two header lists; every class carries the file's version as its schema.
inline void HeaderLists(Writer& w, int version, const std::vector<Property>& properties,
                        const std::vector<TextRecord>& texts) {
    w.Count(properties.size());
    for (const Property& p : properties) {
        w.Object("CProperty", version);
        w.Str(p.name);
        w.Str(p.choices);
        w.Str(p.fifth);
        w.Str(p.value);
        w.I32(p.kind);
        w.Str(p.itemName);
        w.I32(p.flag);
    }
    w.Count(texts.size());
    for (const TextRecord& t : texts) {
        w.Object("CText", version);
        w.I32(t.number);
        w.Str(t.first);
        w.Str(t.second);
        w.Str(t.third);
    }
}

struct Album {
    std::string page, side, discCount, caseWord;
    std::string artist[2], title[2], tracks[2], year[2], time[2], genre[2];
    int oldValue3 = 0, oldImageCount = 0, oldImageNumber = 0;
};

inline void AlbumRecord(Writer& w, int version, const Album& a) {
    if (version >= 300) {
        w.Str(a.page);
        w.Str(a.side);
        w.Str(a.discCount);
        for (int d = 0; d < 2; ++d) w.Str(a.artist[d]);
        for (int d = 0; d < 2; ++d) w.Str(a.title[d]);
        for (int d = 0; d < 2; ++d) w.Str(a.tracks[d]);
        for (int d = 0; d < 2; ++d) w.Str(a.year[d]);
        for (int d = 0; d < 2; ++d) w.Str(a.time[d]);
        for (int d = 0; d < 2; ++d) w.Str(a.genre[d]);
        if (version >= 310) w.Str(a.caseWord);
        return;
    }
    w.Str(a.page);
    w.I32(a.oldValue3);
    w.Str(a.side);
    w.I32(0);
    w.I32(0);
    w.I32(a.oldImageCount);
    w.Str(a.discCount);
    if (version >= 5) w.I32(a.oldImageNumber);
}

struct Obj {
    std::string name, typeName;
    int side = 0;
    std::string sideName;
    int left = 0, top = 0, width = 0, height = 0;
    std::string alignment, angle, trackNumbers, textLayout, wrapStyle;
    int spineWidth = 0, textMargin = 0, linkText = 0, aspect = 0, background = 0, autoFit = 0, folded = 0;
    std::string text, fonts, colors;
    int hue = 0, saturation = 0;
    std::string imageSource;
    int lightness = 0, savedLeft = -1, savedTop = -1;
    std::vector<int> underlines;
    std::vector<unsigned char> image;  // written in the record from version 500 on
    bool textual() const { return typeName == "Text" || typeName == "Track"; }
};

// The object record in the layout of the given version (without its tag).
inline void ObjectRecord(Writer& w, int version, const Obj& o) {
    w.Str(o.name);
    w.Str(o.typeName);
    if (version >= 500)
        w.I32(o.side);
    else
        w.Str(std::to_string(o.side));
    w.Str(o.sideName);
    w.I32(o.left);
    w.I32(o.top);
    w.I32(o.width);
    w.I32(o.height);
    w.Str(o.alignment);
    w.Str(o.angle);
    w.Str(o.trackNumbers);
    w.Str(o.textLayout);
    w.Str(o.wrapStyle);
    for (int v : {o.spineWidth, o.textMargin, o.linkText, o.aspect, o.background, o.autoFit, o.folded})
        w.I32(v);
    w.Str(o.text);
    w.Str(o.fonts);
    w.Str(o.colors);
    if (version >= 420) {
        w.I32(o.hue);
        w.I32(o.saturation);
        w.Str(o.imageSource);
    }
    if (version >= 500) {
        w.I32(o.lightness);
        w.I32(o.savedLeft);
        w.I32(o.savedTop);
    } else if (version >= 446) {
        w.I32(o.lightness);
    }
    if (o.textual()) {
        w.Count(o.underlines.size());
        for (int u : o.underlines) w.U16(u);
    }
    if (version >= 500 && o.typeName == "Image" && o.imageSource.empty()) w.Image(o.image);
}

// Font and colour runs as the file holds them.
inline std::string FontRun(int position, const std::string& face, int height, int weight, int italic) {
    const char sep = 0x08;
    return std::to_string(position) + sep + face + sep + std::to_string(height) + sep +
           std::to_string(weight) + sep + std::to_string(italic) + sep;
}

inline std::string ColorRun(int position, int r, int g, int b) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d%03d%03d", r, g, b);
    return std::to_string(position) + static_cast<char>(0x08) + digits + static_cast<char>(0x08);
}

// A small 24-bit BMP file of w x h pixels in one colour.
inline std::vector<unsigned char> MakeBmp(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    const int rowBytes = (w * 3 + 3) & ~3;
    const int imageBytes = rowBytes * h;
    Writer out;
    out.U8('B');
    out.U8('M');
    out.I32(54 + imageBytes);
    out.I32(0);
    out.I32(54);
    out.I32(40);
    out.I32(w);
    out.I32(h);
    out.U16(1);
    out.U16(24);
    out.I32(0);
    out.I32(imageBytes);
    out.I32(2835);
    out.I32(2835);
    out.I32(0);
    out.I32(0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out.U8(b);
            out.U8(g);
            out.U8(r);
        }
        for (int p = w * 3; p < rowBytes; ++p) out.U8(0);
    }
    return out.bytes;
}

}  // namespace docfile
