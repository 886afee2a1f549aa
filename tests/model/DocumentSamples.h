// Sample files of every version for the document tests: designs made in memory, and older
// files, pre-300 property lists and "labels.ini" written byte by byte by the test-side writer.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/PaperTable.h"
#include "DocumentFileWriter.h"
#include "model/KorvanelleDocument.h"
#include "TestSupport.h"

namespace docsample {

using docfile::Album;
using docfile::Obj;
using docfile::Property;
using docfile::TextRecord;
using docfile::Writer;

const char kEnd = 0x08;
const std::string kEndS(1, 0x08);

inline std::vector<unsigned char> SaveBytes(KorvanelleDocument& doc) {
    CMemFile file;
    doc.Save(&file);
    const BYTE* data = file.GetData();
    return std::vector<unsigned char>(data, data + file.GetLength());
}

inline std::string WriteTemp(const std::string& folder, const std::string& name,
                             const std::vector<unsigned char>& bytes) {
    std::string dir = kvtest::TempDir(folder);
    std::string path = dir + "\\" + name;
    kvtest::WriteFileBytes(path, bytes);
    return path;
}

inline bool LoadBytes(KorvanelleDocument& doc, const std::vector<unsigned char>& bytes,
                      const char* name = "design.kvl") {
    return doc.Load(WriteTemp("docfile", name, bytes).c_str());
}

inline ViewObject* NewText(int type, const char* name, int side, const char* sideName, const char* text) {
    ViewObject* o = NewViewObject(type, name, side, sideName, 100, 200, 3000, 500);
    o->alignment = "Center";
    o->angle = "0 degrees";
    o->wrapStyle = "Word-Wrap";
    o->SetText(text);
    int n = o->GetCharCount();
    o->charFonts.SetSize(n);
    o->charColors.SetSize(n);
    o->charUnderlines.SetSize(n);
    return o;
}

inline LOGFONTA* Font(const char* face, int height, int weight, int italic) {
    LOGFONTA* f = ViewObject::NewFontRecord();
    lstrcpynA(f->lfFaceName, face, LF_FACESIZE);
    f->lfHeight = height;
    f->lfWeight = weight;
    f->lfItalic = static_cast<BYTE>(italic);
    return f;
}

inline ViewObject* NewImage(const char* name, int side, const char* sideName,
                            const std::vector<unsigned char>& bytes) {
    ViewObject* o = NewViewObject(kObjectImage, name, side, sideName, 10, 20, 1000, 800);
    o->bAspectRatio = 1;
    o->hue = 12;
    o->saturation = -5;
    o->lightness = 30;
    o->image.SetBytes(bytes.data(), static_cast<ULONG>(bytes.size()));
    return o;
}

// A design of a disc and a cover template with styled texts, a linked track list and two images.
inline void BuildDesign(KorvanelleDocument& doc, LabelTemplate* disc, LabelTemplate* cover) {
    doc.CreateFromTemplates(disc, cover);
    ViewObject* title = NewText(kObjectText, "Text 1", 1, "Disc 1", "Hello\rWorld");
    title->charFonts[0] = Font("Arial", 400, 700, 0);
    title->charFonts[5] = Font("Times New Roman", 240, 400, 1);
    title->charColors[0] = new COLORREF(RGB(255, 0, 0));
    title->charColors[6] = new COLORREF(RGB(0, 128, 255));
    title->charUnderlines[2] = 1;
    title->bAutoFit = 1;
    doc.GetDiscTemplate()->AddObject(title);

    ViewObject* tracks = NewText(kObjectTrack, "Track List", 3, "Back Cover", "");
    tracks->bLinkText = 1;
    tracks->trackNumbers = "Track Numbers && Times";
    tracks->textLayout = "Table Format";
    doc.GetCoverTemplate()->AddObject(tracks);
    doc.RefreshLinkedText();
    tracks->charFonts[0] = Font("Verdana", 300, 400, 0);
    tracks->charColors[0] = new COLORREF(RGB(1, 2, 3));
    tracks->charUnderlines.SetSize(tracks->GetCharCount());

    ViewObject* artist = NewText(kObjectText, "Artist", 2, "Front Cover", "");
    artist->bLinkText = 1;
    doc.GetCoverTemplate()->AddObject(artist);
    doc.SetAlbumField("Artist", CString("The Band") + kEnd);
    doc.RefreshLinkedText();
    artist->charFonts.SetSize(artist->GetCharCount());
    artist->charColors.SetSize(artist->GetCharCount());
    artist->charFonts[0] = Font("Courier New", 500, 400, 0);
    artist->charColors[0] = new COLORREF(RGB(9, 99, 199));
    artist->charUnderlines.SetSize(artist->GetCharCount());

    doc.GetDiscTemplate()->AddObject(NewImage("Image", 1, "Disc 1", docfile::MakeBmp(3, 2, 200, 10, 10)));
    ViewObject* background = NewImage("Image", 2, "Front Cover", docfile::MakeBmp(2, 2, 0, 0, 255));
    background->bBackground = 2;
    doc.GetCoverTemplate()->AddObject(background);
    ViewObject* linked = NewImage("Photo", 3, "Back Cover", {});
    linked->imageSource = "C:\\pictures\\photo.jpg";
    doc.GetCoverTemplate()->AddObject(linked);
    doc.MakeNamesUnique();

    for (int i = 0; i < 2; ++i) {
        IStreamObject* stream = new IStreamObject;
        std::vector<unsigned char> bmp = docfile::MakeBmp(1 + i, 1, 5, 6, 7);
        stream->SetBytes(bmp.data(), static_cast<ULONG>(bmp.size()));
        doc.AddToImagePool(stream);
    }
}

inline std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
    std::vector<unsigned char> b;
    for (int v : values) b.push_back(static_cast<unsigned char>(v));
    return b;
}

inline void Append(std::vector<unsigned char>& to, const std::string& s) {
    to.insert(to.end(), s.begin(), s.end());
}

// An old object list of a one- or two-disc jewel or DVD design, in the given version's layout.
inline std::vector<Obj> OldObjects(bool withDisc2) {
    std::vector<Obj> list;
    auto add = [&](const char* name, const char* typeName, int side, const char* sideName, int l, int t,
                   int w, int h) {
        Obj o;
        o.name = name;
        o.typeName = typeName;
        o.side = side;
        o.sideName = sideName;
        o.left = l;
        o.top = t;
        o.width = w;
        o.height = h;
        list.push_back(o);
        return &list.back();
    };
    add("Page 1", "Page", 1, "", 0, 0, 8500, 11000);
    add("Disc 1", "Cover", 1, "Disc 1", 1938, 688, 4625, 1600)->colors = docfile::ColorRun(0, 255, 0, 0);
    if (withDisc2) add("Disc 2", "Cover", 1, "Disc 2", 1938, 5688, 4625, 1600);
    add("Page 2", "Page", 2, "", 0, 0, 11000, 8500);
    add("Page 3", "Page", 3, "", 0, 0, 8500, 11000);
    add("Front Cover", "Cover", 2, "Front Cover", 800, 800, 9520, 4760)->folded = 1;
    add("Back Cover", "Cover", 3, "Back Cover", 1300, 600, 5910, 4650)->spineWidth = 250;
    Obj* artist = add("Artist", "Text", 1, "Disc 1", 2000, 1500, 2500, 400);
    artist->linkText = 1;
    artist->fonts = docfile::FontRun(0, "Arial", 400, 700, 0);
    artist->colors = docfile::ColorRun(0, 10, 20, 30);
    artist->underlines = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    Obj* tracks = add("Track List", "Track", 3, "Back Cover", 1600, 700, 5000, 4000);
    tracks->linkText = 1;
    tracks->trackNumbers = "Track Numbers + Track Times";
    tracks->textLayout = "Top + Bottom";
    Obj* note = add("Text 1", "Text", 2, "Front Cover", 6000, 1000, 3000, 500);
    note->text = "Liner\rnotes";
    note->fonts = docfile::FontRun(0, "Georgia", 320, 400, 1) + docfile::FontRun(6, "Arial", 280, 400, 0);
    note->underlines = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
    Obj* image = add("Image", "Image", 2, "Front Cover", 5560, 800, 4760, 4760);
    image->background = 4;  // the older code of panel 1
    image->lightness = 25;
    image->hue = 40;
    return list;
}

inline Album OldAlbum(const char* discCount, const char* caseWord) {
    Album a;
    a.page = "3";
    a.side = "";
    a.discCount = discCount;
    a.caseWord = caseWord;
    a.artist[0] = "Old Artist" + kEndS;
    a.tracks[0] = "1. " + kEndS + "Intro" + kEndS + " 1:00" + kEndS;
    a.title[0] = "Old Title" + kEndS;
    return a;
}

// A file of versions 300 to 499: header lists, album record, old object list, image data.
inline std::vector<unsigned char> OldFile(int version, const char* className, const std::vector<Obj>& objects,
                                          const Album& album, const std::vector<unsigned char>& imageBytes,
                                          Writer* out = nullptr) {
    Writer w;
    docfile::HeaderLists(w, version, {Property()}, {TextRecord()});
    docfile::AlbumRecord(w, version, album);
    w.Count(objects.size());
    for (const Obj& o : objects) {
        w.Object(className, version);
        docfile::ObjectRecord(w, version, o);
    }
    for (const Obj& o : objects) {
        if (o.typeName != "Image" || !o.imageSource.empty()) continue;
        w.Raw("image.bmp\r\n");
        w.Raw(std::to_string(imageBytes.size()) + "\r\n");
        w.Raw(imageBytes);
    }
    if (out) *out = w;
    return w.bytes;
}

// One old item: a type record and the records that follow, all of one item name.
inline void Item(std::vector<Property>& list, const char* type, const char* itemName,
                 std::vector<std::string> values, const char* typeChoices = "", int kind = 0) {
    Property head;
    head.itemName = itemName;
    head.name = "Item Type";
    head.value = type;
    head.choices = typeChoices;
    head.kind = kind;
    head.flag = 1;
    list.push_back(head);
    for (std::string& v : values) {
        Property p;
        p.itemName = itemName;
        p.name = "Value";
        p.value = v;
        list.push_back(p);
    }
}

inline std::vector<unsigned char> Pre300File(int version, const std::vector<Property>& properties,
                                             const std::vector<TextRecord>& texts, const Album& album,
                                             const std::vector<std::vector<unsigned char>>& images,
                                             Writer* out = nullptr) {
    Writer w;
    docfile::HeaderLists(w, version, properties, texts);
    docfile::AlbumRecord(w, version, album);
    for (const auto& image : images) {
        if (version == 1) {
            w.U16(VT_I4);
            w.I32(static_cast<int>(image.size()));
        } else {
            w.Raw("picture\r\n");
            w.Raw(std::to_string(image.size()) + "\n");
        }
        w.Raw(image);
    }
    if (out) *out = w;
    return w.bytes;
}

// The header texts of a file before version 300: an artist and a list of two tracks.
inline std::vector<TextRecord> Pre300Texts(const char* artist) {
    std::vector<TextRecord> texts(2);
    texts[0].first = "Artist";
    texts[0].second = "Text";
    texts[0].third = artist;
    texts[1].first = "Track List";
    texts[1].second = "Track";
    texts[1].third = "2`One`3:00`Two`4:10`";
    return texts;
}

// The album record of a file before version 300: a double disc shown on page 1, one old image.
inline Album Pre300Album() {
    Album album;
    album.page = "1";
    album.side = "Disc 1";
    album.discCount = "Double";
    album.oldImageCount = 1;
    return album;
}

inline std::vector<Property> Pre300Items(bool imageWithAspect) {
    std::vector<Property> p;
    Item(p, "Page", "Page 1", {"1", "", "0", "0", "8.5", "11"});
    Item(p, "Cover", "Disc 1", {"1", "1.5", "0.688", "1.6", "4.625", "", "255,0,0", "", "0.1"});
    Item(p, "Cover", "Disc 2", {"1", "1.5", "5.688", "1.6", "4.625", "", "0,255,0", "", "0.07"});
    Item(p, "Page", "Page 2", {"2", "", "0", "0", "11", "8.5"});
    Item(p, "Page", "Page 3", {"3", "", "0", "0", "8.5", "11"});
    Item(p, "Cover", "Front Cover", {"2", "0.8", "0.8", "9.5", "4.75", "Yes", "", "1,2,3"});
    Item(p, "Cover", "Back Cover", {"3", "1.25", "0.5", "5.75", "4.5", "0.25", "", "300,2,-1"});
    Item(p, "Text", "Artist(1)",
         {"2", "10,20,30", "Front Cover", "Arial,700,1", "6", "1", "3", "0.5", "Top Left", "360`", "No",
          "90 degrees"});
    p.back().name = "Angle";
    Item(p, "Track", "Track List",
         {"3", "0,0,0", "Back Cover", "Verdana,400,0", "1.5", "0.75", "5", "4", "Bottom", "280`x", "Yes",
          "No", "Yes", "Yes"});
    if (imageWithAspect) {
        Item(p, "Image", "Image", {"2", "Front Cover", "0", "5.5", "0.8", "4.75", "4.75", "Locked"});
        p.back().name = "Aspect Ratio";
    } else {
        Item(p, "Image", "Image", {"2", "Front Cover", "0", "5.5", "0.8", "4.75", "4.75", "Yes", "No", "No"},
             "1");
    }
    Item(p, "Widget", "Gadget", {"a", "b"}, "", 2);
    Item(p, "Text", "Text 1",
         {"1", "0,0,255", "Disc 1", "Georgia,400,0", "2", "2", "2", "1", "Bottom Right", "200`", "Yes",
          "180 degrees"});
    p.back().name = "Angle";
    return p;
}

struct Stock {
    int kind;
    std::string name;
    int backPage;
    int page[2], page2[2];
    int a[4], b[4];  // left, top, width, height
    int folded, spine;
    int rect1[2], rect2[2];
};

inline std::vector<unsigned char> LabelsIni(const std::vector<Stock>& stocks, const std::string& line) {
    Writer w;
    w.Count(stocks.size());
    for (const Stock& s : stocks) {
        w.Object("CLabelDim", 1);
        w.I32(s.kind);
        w.Str(s.name);
        w.I32(0);
        w.I32(s.backPage);
        w.I32(s.page[0]);
        w.I32(s.page[1]);
        w.I32(s.page2[0]);
        w.I32(s.page2[1]);
        w.I32(s.a[0]);
        w.I32(s.b[0]);
        w.I32(s.a[1]);
        w.I32(s.b[1]);
        w.I32(s.a[2]);
        w.I32(s.b[2]);
        w.I32(s.a[3]);
        w.I32(s.b[3]);
        w.I32(s.folded);
        w.I32(s.spine);
        w.I32(s.rect1[0]);
        w.I32(s.rect1[1]);
        w.I32(0);
        w.I32(0);
        w.I32(s.rect2[0]);
        w.I32(s.rect2[1]);
        for (int i = 0; i < 2 + 16; ++i) w.I32(0);
    }
    w.Raw(line);
    return w.bytes;
}

inline std::vector<Stock> ThreeStocks(int discPageHeight) {
    return {
        {1,
         "Jewel Stock",
         3,
         {11000, 8500},
         {8500, 11000},
         {800, 800, 9520, 4760},
         {1300, 600, 5910, 4650},
         1,
         250,
         {0, 0},
         {0, 0}},
        {0,
         "Disc Stock",
         1,
         {5500, discPageHeight},
         {0, 0},
         {439, 439, 4622, 1600},
         {439, 5439, 4622, 1600},
         0,
         0,
         {11, 12},
         {13, 14}},
        {2,
         "DVD Stock",
         2,
         {11000, 8500},
         {11000, 8500},
         {775, 746, 9449, 7008},
         {145, 647, 10727, 7191},
         1,
         5079,
         {0, 0},
         {0, 0}},
    };
}

}  // namespace docsample
