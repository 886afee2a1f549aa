// A whole small design written out and compared with the bytes expected of a version-507 file,
// element by element: the header lists, the image pool, the album record, the three names and the
// template list with the class records and class references of its objects.
#include <doctest.h>

#include <string>
#include <vector>

#include "framework/Core.h"
#include "GdiplusSession.h"
#include "model/KorvanelleDocument.h"

namespace {

typedef std::vector<unsigned char> ByteList;

struct Expect {
    ByteList b;
    Expect& u8(int v) {
        b.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    Expect& w(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Expect& i(int v) {
        unsigned u = static_cast<unsigned>(v);
        return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
    }
    Expect& raw(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Expect& s(const std::string& text)  // strings below 255 characters
    {
        return u8(static_cast<int>(text.size())).raw(text);
    }
    Expect& newClass(const std::string& name) {
        return w(0xFFFF).w(507).w(static_cast<int>(name.size())).raw(name);
    }
};

const std::string kSep(1, '\x08');

// Items 1 to 7 of an object record.
void Head(Expect& e, const char* name, const char* typeName, int side, const char* sideName, int l, int t,
          int wd, int h) {
    e.s(name).s(typeName).i(side).s(sideName).i(l).i(t).i(wd).i(h);
}

}  // namespace

TEST_CASE("a small design is written exactly as a version-507 file") {
    REQUIRE(kvtest::GdiplusReady());
    KorvanelleDocument doc;
    CAlbumInfo& a = doc.albumInfo;
    a.m_pageNumber = "1";
    a.m_sideName = "Disc 1";
    a.m_discCount = "Double";
    a.m_artist[0] = "A1";
    a.m_artist[1] = "A2";
    a.m_title[0] = "T1";
    a.m_title[1] = "T2";
    a.m_trackList[0] = "L1";
    a.m_trackList[1] = "L2";
    a.m_year[0] = "Y1";
    a.m_year[1] = "Y2";
    a.m_time[0] = "M1";
    a.m_time[1] = "M2";
    a.m_genre[0] = "G1";
    a.m_genre[1] = "G2";
    a.m_case = "DVD";
    a.m_oldImageCount = 9;  // the old values are never written
    a.m_oldImageNumber = 9;
    doc.currentSideName = "Disc 1";
    doc.discTemplateName = "D";
    doc.coverTemplateName = "C";
    IStreamObject* pooled = new IStreamObject;
    const BYTE poolBytes[3] = {1, 2, 3};
    REQUIRE(pooled->SetBytes(poolBytes, 3));
    doc.imagePool.Add(pooled);

    LabelTemplate* discs = new LabelTemplate;
    discs->name = "D";
    discs->layout = kLayout2DiscBottom;
    ViewObject* disc = NewViewObject(kObjectDisc, "Disc 1", 1, "Disc 1", 1938, 688, 4625, 1600);
    disc->textMargin = 50;
    disc->savedLeft = 10;
    disc->savedTop = 20;
    disc->charColors.Add(new COLORREF(RGB(255, 0, 0)));
    discs->AddObject(disc);
    ViewObject* text = NewViewObject(kObjectText, "Text 1", 1, "Disc 1", -5, 7, 300, 40);
    text->alignment = "Left";
    text->angle = "90 degrees";
    text->wrapStyle = "Word-Wrap";
    text->bAutoFit = 1;
    text->SetText("Hi");
    text->charFonts.SetSize(2);
    text->charColors.SetSize(2);
    text->charFonts[0] = ViewObject::NewFontRecord();
    lstrcpynA(text->charFonts[0]->lfFaceName, "Arial", LF_FACESIZE);
    text->charFonts[0]->lfHeight = 120;
    text->charFonts[0]->lfWeight = 700;
    text->charFonts[0]->lfItalic = 1;
    text->charColors[1] = new COLORREF(RGB(1, 20, 255));
    text->charUnderlines.Add(0);
    text->charUnderlines.Add(1);
    discs->AddObject(text);
    ViewObject* linked = NewViewObject(kObjectTrack, "Track List", 1, "Disc 1", 0, 0, 10, 10);
    linked->bLinkText = 1;
    linked->trackNumbers = "Track Numbers";
    linked->textLayout = "Table Format";
    linked->SetText("L1");
    linked->charUnderlines.Add(0);
    linked->charUnderlines.Add(0);
    discs->AddObject(linked);
    doc.templates.Add(discs);

    LabelTemplate* covers = new LabelTemplate;
    covers->name = "C";
    ViewObject* front = NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 800, 800, 9520, 4760);
    front->bFolded = 1;
    covers->AddObject(front);
    ViewObject* image = NewViewObject(kObjectImage, "Image", 2, "Front Cover", 1, 2, 3, 4);
    image->bAspectRatio = 1;
    image->bBackground = 2;
    image->hue = -180;
    image->saturation = 100;
    image->lightness = -100;
    const BYTE imageBytes[2] = {0x0A, 0x0D};
    REQUIRE(image->image.SetBytes(imageBytes, 2));
    covers->AddObject(image);
    ViewObject* photo = NewViewObject(kObjectImage, "Photo", 3, "Back Cover", 0, 0, 0, 0);
    photo->imageSource = "p.jpg";
    covers->AddObject(photo);
    doc.templates.Add(covers);

    CMemFile file;
    doc.Save(&file);
    const BYTE* data = file.GetData();
    ByteList written(data, data + file.GetLength());

    Expect e;
    // Header lists: CProperty class 1 with its object 2, CText class 3 with its object 4.
    e.w(1).newClass("CProperty").u8(0).u8(0).u8(0).u8(0).i(0).u8(0).i(0);
    e.w(1).newClass("CText").i(0).u8(0).u8(0).u8(0);
    // Image pool: IStreamObject class 5, object 6; the count line, then the bytes.
    e.w(1).newClass("IStreamObject").raw("3\n").u8(1).u8(2).u8(3);
    // Album record: page, side, disc count, the disc fields alternating, the case.
    e.s("1").s("Disc 1").s("Double").s("A1").s("A2").s("T1").s("T2").s("L1").s("L2");
    e.s("Y1").s("Y2").s("M1").s("M2").s("G1").s("G2").s("DVD");
    e.s("Disc 1").s("D").s("C");
    // Templates: LabelTemplate class 7, template object 8; ViewObject class 9, objects 10, 11, 12.
    e.w(2).newClass("LabelTemplate").s("D").s("Layout2DiscBottom").w(3);
    e.newClass("ViewObject");
    Head(e, "Disc 1", "Disc", 1, "Disc 1", 1938, 688, 4625, 1600);
    e.s("").s("").s("").s("").s("");
    e.i(0).i(50).i(0).i(0).i(0).i(0).i(0);
    e.s("").s("").s("0" + kSep + "255000000" + kSep);
    e.i(0).i(0).s("").i(0).i(10).i(20);
    e.w(0x8009);
    Head(e, "Text 1", "Text", 1, "Disc 1", -5, 7, 300, 40);
    e.s("Left").s("90 degrees").s("").s("").s("Word-Wrap");
    e.i(0).i(0).i(0).i(0).i(0).i(1).i(0);
    e.s("Hi").s("0" + kSep + "Arial" + kSep + "120" + kSep + "700" + kSep + "1" + kSep);
    e.s("1" + kSep + "001020255" + kSep);
    e.i(0).i(0).s("").i(0).i(-1).i(-1);
    e.w(2).w(0).w(1);
    e.w(0x8009);
    Head(e, "Track List", "Track", 1, "Disc 1", 0, 0, 10, 10);
    e.s("").s("").s("Track Numbers").s("Table Format").s("");
    e.i(0).i(0).i(1).i(0).i(0).i(0).i(0);
    e.s("").s("").s("");  // linked: no characters; no runs either
    e.i(0).i(0).s("").i(0).i(-1).i(-1);
    e.w(2).w(0).w(0);
    // Second template: class reference 0x8007, object 13; objects 14, 15, 16.
    e.w(0x8007).s("C").s("Layout1DiscTop").w(3);
    e.w(0x8009);
    Head(e, "Front Cover", "Front", 2, "Front Cover", 800, 800, 9520, 4760);
    e.s("").s("").s("").s("").s("");
    e.i(0).i(0).i(0).i(0).i(0).i(0).i(1);
    e.s("").s("").s("");
    e.i(0).i(0).s("").i(0).i(-1).i(-1);
    e.w(0x8009);
    Head(e, "Image", "Image", 2, "Front Cover", 1, 2, 3, 4);
    e.s("").s("").s("").s("").s("");
    e.i(0).i(0).i(0).i(1).i(2).i(0).i(0);
    e.s("").s("").s("");
    e.i(-180).i(100).s("").i(-100).i(-1).i(-1);
    e.raw("2\n").u8(0x0A).u8(0x0D);
    e.w(0x8009);
    Head(e, "Photo", "Image", 3, "Back Cover", 0, 0, 0, 0);
    e.s("").s("").s("").s("").s("");
    e.i(0).i(0).i(0).i(0).i(0).i(0).i(0);
    e.s("").s("").s("");
    e.i(0).i(0).s("p.jpg").i(0).i(-1).i(-1);

    CHECK(written.size() == e.b.size());
    size_t firstDiff = 0;
    while (firstDiff < written.size() && firstDiff < e.b.size() && written[firstDiff] == e.b[firstDiff])
        ++firstDiff;
    CAPTURE(firstDiff);
    CHECK(written == e.b);

    // Read back, the linked track list shows its album field and the file writes the same bytes.
    KorvanelleDocument back;
    {
        CMemFile in(written.data(), static_cast<UINT>(written.size()), 0);
        CArchive ar(&in, CArchive::load);
        back.Serialize(ar);
        ar.Close();
    }
    REQUIRE(back.templates.GetSize() == 2);
    ViewObject* tracks = back.FindObject("Track List");
    REQUIRE(tracks != nullptr);
    CHECK(tracks->GetText() == "L1");
    CMemFile again;
    back.Save(&again);
    CHECK(ByteList(again.GetData(), again.GetData() + again.GetLength()) == written);
    back.DeleteContents(true);
    doc.DeleteContents(true);
}
