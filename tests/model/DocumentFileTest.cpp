// The document file: version-507 designs written and read back byte for byte, and files of
// older versions and "labels.ini" built byte by byte from the record layouts.
#include <doctest.h>

#include "app/PaperTable.h"
#include "DocumentFileWriter.h"
#include "DocumentSamples.h"
#include "GdiplusSession.h"
#include "model/KorvanelleDocument.h"
#include "model/LabelDimensions.h"
#include "TestSupport.h"

using docfile::Album;
using docfile::Obj;
using docfile::Property;
using docfile::TextRecord;
using docfile::Writer;
using namespace docsample;

namespace {

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

}  // namespace

TEST_CASE("a version-507 design is written, read back and written again byte for byte") {
    REQUIRE(kvtest::GdiplusReady());
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    const int discs[] = {0, 3};
    const int covers[] = {1, 2, 4};
    for (int disc : discs) {
        for (int cover : covers) {
            CAPTURE(disc);
            CAPTURE(cover);
            KorvanelleDocument doc;
            BuildDesign(doc, library.templates[disc], library.templates[cover]);
            doc.currentSideName = "Back Cover";
            std::vector<unsigned char> first = SaveBytes(doc);
            CHECK(doc.propertyRecords.GetSize() == 0);
            CHECK(doc.textRecords.GetSize() == 0);

            KorvanelleDocument back;
            REQUIRE(LoadBytes(back, first));
            CHECK(g_fileVersion == 507);
            CHECK(g_loadingAlbumInfo == nullptr);
            CHECK(back.propertyRecords.GetSize() == 0);
            CHECK(back.textRecords.GetSize() == 0);
            CHECK(back.currentSideName == "Back Cover");
            CHECK(back.discTemplateName == library.templates[disc]->name);
            CHECK(back.coverTemplateName == library.templates[cover]->name);
            CHECK(back.templates.GetSize() == 2);
            CHECK(back.imagePool.GetSize() == 2);
            CHECK(back.GetAlbumField("Artist") == CString("The Band") + kEnd);

            ViewObject* text = back.FindObject("Text 1");
            REQUIRE(text != nullptr);
            CHECK(text->GetText() == "Hello\rWorld");
            REQUIRE(text->charFonts.GetSize() == 11);
            CHECK(CString(text->charFonts[5]->lfFaceName) == "Times New Roman");
            CHECK(text->charFonts[5]->lfItalic == 1);
            CHECK(text->charFonts[1] == nullptr);
            CHECK(*text->charColors[6] == RGB(0, 128, 255));
            CHECK(text->charUnderlines[2] == 1);
            ViewObject* tracks = back.FindObject("Track List");
            REQUIRE(tracks != nullptr);
            CHECK(tracks->GetText() == back.GetAlbumField("Track List"));
            ViewObject* image = back.FindObject("Image");
            REQUIRE(image != nullptr);
            CHECK(image->image.GetSize() == docfile::MakeBmp(3, 2, 200, 10, 10).size());
            CHECK((image->hue == 12 && image->saturation == -5 && image->lightness == 30));
            ViewObject* photo = back.FindObject("Photo");
            REQUIRE(photo != nullptr);
            CHECK(photo->image.IsEmpty());
            CHECK(photo->imageSource == "C:\\pictures\\photo.jpg");

            std::vector<unsigned char> second = SaveBytes(back);
            CHECK(first == second);

            // The beginning of every current file.
            std::vector<unsigned char> head = Bytes({0x01, 0x00, 0xFF, 0xFF, 0xFB, 0x01, 0x09, 0x00});
            Append(head, "CProperty");
            head.insert(head.end(), 13, 0);
            std::vector<unsigned char> textHead = Bytes({0x01, 0x00, 0xFF, 0xFF, 0xFB, 0x01, 0x05, 0x00});
            head.insert(head.end(), textHead.begin(), textHead.end());
            Append(head, "CText");
            head.insert(head.end(), 7, 0);
            std::vector<unsigned char> pool = Bytes({0x02, 0x00, 0xFF, 0xFF, 0xFB, 0x01, 0x0D, 0x00});
            head.insert(head.end(), pool.begin(), pool.end());
            Append(head, "IStreamObject");
            REQUIRE(first.size() > head.size());
            CHECK(std::vector<unsigned char>(first.begin(), first.begin() + head.size()) == head);
            // The second image refers to the class by its index.
            size_t second_image = head.size() +
                                  std::to_string(docfile::MakeBmp(1, 1, 5, 6, 7).size()).size() + 1 +
                                  docfile::MakeBmp(1, 1, 5, 6, 7).size();
            CHECK(first[second_image] == 0x05);
            CHECK(first[second_image + 1] == 0x80);

            back.DeleteContents(true);
            doc.DeleteContents(true);
        }
    }

    SUBCASE("the template library round-trips too") {
        // The library is opened as the library is (its templates share object names).
        std::vector<unsigned char> first = SaveBytes(library);
        KorvanelleDocument back;
        REQUIRE(back.OpenDocumentFile(WriteTemp("library", "templates.ini", first).c_str()));
        CHECK(back.templates.GetSize() == 5);
        CHECK(SaveBytes(back) == first);
        back.DeleteContents(true);
    }
    SUBCASE("a header-only store writes the header lists and the image pool") {
        KorvanelleDocument doc;
        BuildDesign(doc, library.templates[0], library.templates[1]);
        doc.headerOnly = true;
        std::vector<unsigned char> bytes = SaveBytes(doc);
        doc.headerOnly = false;
        KorvanelleDocument pool;
        std::string path = WriteTemp("headeronly", "CD-Template-1-Disc.kvl", bytes);
        CHECK_FALSE(pool.Load(path.c_str()));  // the rest of the design is not there
        pool.DeleteContents(true);
        std::string full = WriteTemp("fullpool", "CD-Template-1-Disc.kvl", SaveBytes(doc));
        CHECK(pool.LoadImagePool(full.c_str()));
        CHECK(pool.imagePool.GetSize() == 2);
        CHECK_FALSE(pool.headerOnly);
        pool.DeleteContents(true);
        doc.DeleteContents(true);
    }
    library.DeleteContents(true);
}

TEST_CASE("the file version: newer files are refused and the reader's globals always go back to rest") {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument doc;
    doc.CreateFromTemplates(library.templates[0], library.templates[1]);
    std::vector<unsigned char> bytes = SaveBytes(doc);
    // The CText class record's schema word: after the CProperty list and the CText count and tag.
    const size_t schemaAt = 8 + 9 + 13 + 2 + 2;
    REQUIRE(bytes[schemaAt] == 0xFB);

    KorvanelleDocument read;
    bytes[schemaAt] = 0xFC;  // 508
    CHECK_FALSE(LoadBytes(read, bytes));
    CHECK(g_lastReadFileVersion == 508);
    CHECK(g_fileVersion == 507);
    CHECK(g_loadingAlbumInfo == nullptr);
    read.DeleteContents(true);

    bytes[schemaAt] = 0xF4;  // 500: read in the current order
    CHECK(LoadBytes(read, bytes));
    CHECK(g_lastReadFileVersion == 500);
    CHECK(g_fileVersion == 507);
    CHECK(read.templates.GetSize() == 2);
    read.DeleteContents(true);

    // A read that fails after the album record leaves no album pointer behind.
    bytes[schemaAt] = 0xFB;
    bytes.resize(bytes.size() - 3);
    CHECK_FALSE(LoadBytes(read, bytes));
    CHECK(g_loadingAlbumInfo == nullptr);
    CHECK(g_fileVersion == 507);
    read.DeleteContents(true);

    CMemFile file;
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    CHECK_FALSE(LoadObjectFromFile(&read, &file));
    CHECK(g_loadingAlbumInfo == nullptr);
    read.DeleteContents(true);

    // A file with no CText record is read as the current version.
    Writer w;
    docfile::HeaderLists(w, 507, {}, {});
    w.Count(0);
    Album a;
    docfile::AlbumRecord(w, 507, a);
    w.Str("Disc 1");
    w.Str("");
    w.Str("");
    w.Count(0);
    CHECK(LoadBytes(read, w.bytes));
    CHECK(read.currentSideName == "Disc 1");
    read.DeleteContents(true);

    doc.DeleteContents(true);
    library.DeleteContents(true);
}

TEST_CASE("a version-450 file becomes two custom templates") {
    std::vector<unsigned char> bmp = docfile::MakeBmp(2, 2, 1, 2, 3);
    KorvanelleDocument doc;
    REQUIRE(LoadBytes(doc, OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Single", "Jewel"), bmp)));
    CHECK(g_fileVersion == 507);
    CHECK(g_loadingAlbumInfo == nullptr);
    REQUIRE(doc.templates.GetSize() == 2);
    CHECK(doc.templates[0]->name == "Custom Disc Label 1");
    CHECK(doc.templates[1]->name == "Custom Jewel Case 1");
    CHECK(doc.discTemplateName.IsEmpty());
    CHECK(doc.coverTemplateName.IsEmpty());
    CHECK(doc.oldObjects.GetSize() == 0);
    CHECK(doc.currentSideName == "Back Cover");  // empty side name, page 3
    CHECK(doc.templates[0]->layout == kLayout1DiscTop);

    ViewObject* disc1 = doc.FindObject("Disc 1");
    REQUIRE(disc1 != nullptr);
    CHECK(disc1->type == kObjectDisc);
    CHECK(disc1->side == 1);
    REQUIRE(disc1->charColors.GetSize() == 1);
    CHECK(*disc1->charColors[0] == RGB(255, 0, 0));
    CHECK(disc1->savedLeft == -1);
    CHECK(doc.FindObject("Back Cover")->type == kObjectJewel);
    CHECK(doc.FindObject("Front Cover")->bFolded == 1);
    ViewObject* artist = doc.FindObject("Artist");
    CHECK(artist->GetText() == CString("Old Artist") + kEnd);
    CHECK(CString(artist->charFonts[0]->lfFaceName) == "Arial");
    ViewObject* tracks = doc.FindObject("Track List");
    CHECK(tracks->trackNumbers == "Track Numbers && Times");
    CHECK(tracks->textLayout == "Top && Bottom");
    CHECK(tracks->side == 3);
    ViewObject* note = doc.FindObject("Text 1");
    CHECK(note->GetText() == "Liner\rnotes");
    CHECK(CString(note->charFonts[6]->lfFaceName) == "Arial");
    CHECK(note->charUnderlines[0] == 1);
    ViewObject* image = doc.FindObject("Image");
    CHECK(image->bBackground == 1);
    CHECK(image->lightness == 25);
    CHECK(image->hue == 40);
    CHECK(image->image.GetSize() == bmp.size());
    doc.DeleteContents(true);

    SUBCASE("two discs of a double design give the two-disc layout; a missing disc keeps the first") {
        REQUIRE(
            LoadBytes(doc, OldFile(450, "ViewObject", OldObjects(true), OldAlbum("Double", "Jewel"), bmp)));
        CHECK(doc.templates[0]->layout == kLayout2DiscBottom);
        doc.DeleteContents(true);
        REQUIRE(
            LoadBytes(doc, OldFile(450, "ViewObject", OldObjects(false), OldAlbum("Double", "Jewel"), bmp)));
        CHECK(doc.templates[0]->layout == kLayout1DiscTop);
        doc.DeleteContents(true);
    }
    SUBCASE("a damaged disc count is refused") {
        CHECK_FALSE(LoadBytes(doc, OldFile(450, "ViewObject", OldObjects(true), OldAlbum("", "Jewel"), bmp)));
        doc.DeleteContents(true);
    }
}

TEST_CASE("a version-350 file of CRichChild records with a DVD case and an image that names no file") {
    std::vector<unsigned char> bmp = docfile::MakeBmp(4, 1, 9, 9, 9);
    Album album = OldAlbum("Single", "DVD");
    album.page = "2";
    album.side = "Front Cover";
    KorvanelleDocument doc;
    REQUIRE(LoadBytes(doc, OldFile(350, "CRichChild", OldObjects(true), album, bmp)));
    REQUIRE(doc.templates.GetSize() == 2);
    CHECK(doc.templates[1]->name == "Custom DVD Case 1");
    CHECK(doc.currentSideName == "Front Cover");
    ViewObject* back = doc.FindObject("Back Cover");
    CHECK(back->type == kObjectDvd);
    ViewObject* image = doc.FindObject("Image");
    CHECK(image->image.GetSize() == bmp.size());
    CHECK(image->hue == 0);  // no colour fields below 420
    CHECK(image->lightness == 0);
    doc.DeleteContents(true);

    SUBCASE("versions 420 and 446 differ by the lightness") {
        REQUIRE(
            LoadBytes(doc, OldFile(420, "ViewObject", OldObjects(true), OldAlbum("Single", "Jewel"), bmp)));
        CHECK(doc.FindObject("Image")->lightness == 0);
        CHECK(doc.FindObject("Image")->hue == 40);
        doc.DeleteContents(true);
        REQUIRE(
            LoadBytes(doc, OldFile(446, "ViewObject", OldObjects(true), OldAlbum("Single", "Jewel"), bmp)));
        CHECK(doc.FindObject("Image")->lightness == 25);
        CHECK(doc.FindObject("Back Cover")->side == 3);
        doc.DeleteContents(true);
    }
}

TEST_CASE("files before version 300 are converted into objects") {
    REQUIRE(kvtest::GdiplusReady());
    std::vector<TextRecord> texts = Pre300Texts("Old Band\r\nLive");
    Album album = Pre300Album();
    std::vector<unsigned char> bmp = docfile::MakeBmp(2, 2, 50, 60, 70);

    KorvanelleDocument doc;
    REQUIRE(LoadBytes(doc, Pre300File(6, Pre300Items(false), texts, album, {bmp})));
    CHECK(g_fileVersion == 507);
    REQUIRE(doc.templates.GetSize() == 2);
    CHECK(doc.templates[0]->name == "Custom Disc Label 1");
    CHECK(doc.templates[1]->name == "Custom Jewel Case 1");
    CHECK(doc.currentSideName == "Disc 1");
    CHECK(doc.templates[0]->layout == kLayout2DiscBottom);
    CHECK(doc.GetAlbumField("Artist") == CString("Old Band\rLive") + kEnd);

    ViewObject* disc1 = doc.FindObject("Disc 1");
    REQUIRE(disc1 != nullptr);
    CHECK((disc1->type == kObjectDisc && disc1->left == 1500 && disc1->top == 688));
    CHECK((disc1->width == 4625 && disc1->height == 1600 && disc1->textMargin == 100));
    CHECK(doc.FindObject("Disc 2")->textMargin == 50);  // 70 is no margin option
    ViewObject* back = doc.FindObject("Back Cover");
    CHECK((back->type == kObjectJewel && back->spineWidth == 250));
    CHECK(*back->charColors[0] == RGB(44, 2, 255));
    CHECK(doc.FindObject("Front Cover")->bFolded == 1);

    ViewObject* artist = doc.FindObject("Artist(1)");
    REQUIRE(artist != nullptr);
    CHECK(artist->GetText() == CString("Old Band\rLive") + kEnd);
    CHECK(artist->alignment == "Right");  // top left at 90 degrees
    CHECK(artist->wrapStyle == "Single-Line");
    REQUIRE(artist->charFonts.GetSize() == artist->GetCharCount());
    CHECK(CString(artist->charFonts[3]->lfFaceName) == "Arial");
    CHECK(artist->charFonts[3]->lfWeight == 700);
    CHECK(artist->charFonts[3]->lfItalic == 1);
    CHECK(artist->charFonts[3]->lfHeight == 360);
    CHECK(*artist->charColors[5] == RGB(10, 20, 30));
    CHECK(artist->charUnderlines.GetSize() == artist->GetCharCount());

    ViewObject* tracks = doc.FindObject("Track List");
    REQUIRE(tracks != nullptr);
    CHECK(tracks->GetText() == doc.GetAlbumField("Track List"));
    CHECK(tracks->trackNumbers == "Track Numbers");
    CHECK(tracks->textLayout == "Table Format");
    CHECK(tracks->wrapStyle == "Multi-Line");  // the table format sets it before the switch is read
    CHECK(tracks->angle == "0 degrees");
    CHECK(tracks->alignment == "Center");
    CHECK(tracks->charFonts[0]->lfHeight == 280);

    ViewObject* image = doc.FindObject("Image");
    REQUIRE(image != nullptr);
    CHECK(image->bAspectRatio == 1);
    CHECK(image->decodedImage != nullptr);
    CHECK(image->left == 5500);
    CHECK(doc.FindObject("Gadget") == nullptr);
    ViewObject* text1 = doc.FindObject("Text 1");
    REQUIRE(text1 != nullptr);
    CHECK(text1->GetText() == CString(kEnd));  // no text record of that name
    CHECK(text1->angle == "180 degrees");      // version 6: no upgrade
    CHECK(text1->alignment == "Left");

    ViewObject* inside = doc.FindObject("Front Cover (Inside)");
    REQUIRE(inside != nullptr);
    CHECK((inside->type == kObjectBoundary && inside->left == 800 && inside->width == 4750));
    doc.DeleteContents(true);

    SUBCASE("version 2: angles off the discs turn, aspect ratios gain their two properties") {
        Album old = album;
        old.oldImageNumber = 0;
        REQUIRE(LoadBytes(doc, Pre300File(2, Pre300Items(true), texts, old, {bmp})));
        ViewObject* upgradedImage = doc.FindObject("Image");
        REQUIRE(upgradedImage != nullptr);
        CHECK(upgradedImage->bAspectRatio == 1);
        // The item after the image still reads in step.
        ViewObject* t = doc.FindObject("Text 1");
        REQUIRE(t != nullptr);
        CHECK(t->angle == "180 degrees");                           // on a disc: kept
        CHECK(doc.FindObject("Artist(1)")->angle == "90 degrees");  // not 180: kept
        doc.DeleteContents(true);

        std::vector<Property> items = Pre300Items(true);
        for (Property& p : items)
            if (p.itemName == "Artist(1)" && p.value == "90 degrees") p.value = "180 degrees";
        REQUIRE(LoadBytes(doc, Pre300File(2, items, texts, old, {bmp})));
        CHECK(doc.FindObject("Artist(1)")->angle == "270 degrees");
        CHECK(doc.FindObject("Artist(1)")->alignment == "Left");
        doc.DeleteContents(true);
    }
    SUBCASE("version 1 keeps its images as persisted variants") {
        Album old = album;
        REQUIRE(LoadBytes(doc, Pre300File(1, Pre300Items(true), texts, old, {bmp})));
        CHECK(doc.FindObject("Image") != nullptr);
        doc.DeleteContents(true);
    }
    SUBCASE("an image whose block is missing is dropped; a bad kind count or a short item fails") {
        Album none = album;
        none.oldImageCount = 0;
        REQUIRE(LoadBytes(doc, Pre300File(6, Pre300Items(false), texts, none, {})));
        CHECK(doc.FindObject("Image") == nullptr);
        CHECK(doc.FindObject("Text 1") != nullptr);
        doc.DeleteContents(true);

        std::vector<Property> items = Pre300Items(false);
        for (Property& p : items)
            if (p.value == "Widget") p.kind = 1000000;
        CHECK_FALSE(LoadBytes(doc, Pre300File(6, items, texts, album, {bmp})));
        doc.DeleteContents(true);

        items = Pre300Items(false);
        items.resize(items.size() - 3);
        CHECK_FALSE(LoadBytes(doc, Pre300File(6, items, texts, album, {bmp})));
        doc.DeleteContents(true);

        Album many = album;
        many.oldImageCount = 0x7FFFFFFF;
        CHECK_FALSE(LoadBytes(doc, Pre300File(6, Pre300Items(false), texts, many, {bmp})));
        CHECK(g_loadingAlbumInfo == nullptr);
        doc.DeleteContents(true);
    }
}

TEST_CASE("labels.ini becomes label templates") {
    KorvanelleDocument lib;
    std::string path = WriteTemp("labels1", "labels.ini", LabelsIni(ThreeStocks(5500), "1,0\r\n"));
    REQUIRE(lib.OpenDocumentFile(path.c_str()));
    REQUIRE(lib.templates.GetSize() == 3);
    CHECK(lib.discTemplateName == "Disc Stock");
    CHECK(lib.coverTemplateName == "Jewel Stock");
    LabelTemplate* jewel = lib.templates[0];
    CHECK(jewel->name == "Jewel Stock");
    CHECK(jewel->GetBackCover()->type == kObjectJewel);
    CHECK(jewel->GetBackCover()->side == 3);
    CHECK(jewel->GetBackCover()->spineWidth == 250);
    CHECK(jewel->GetFrontCover()->bFolded == 1);
    CHECK(jewel->FindPage(2)->width == 11000);
    CHECK(jewel->FindPage(3)->height == 11000);
    CHECK(lib.templates[2]->GetBackCover()->type == kObjectDvd);
    CHECK(lib.templates[2]->GetBackCover()->side == 2);
    ViewObject* disc1 = lib.templates[1]->GetDisc(1);
    CHECK((disc1->savedLeft == 11 && disc1->savedTop == 12 && disc1->textMargin == 50));
    CHECK(lib.templates[1]->GetDisc(2)->savedLeft == 13);
    CHECK(lib.templates[1]->GetDisc(2)->top == 5439);
    lib.DeleteContents(true);

    path = WriteTemp("labels2", "labels.ini", LabelsIni(ThreeStocks(11000), "7,7\n"));
    KorvanelleDocument fresh;
    REQUIRE(fresh.OpenDocumentFile(path.c_str()));
    CHECK(fresh.discTemplateName.IsEmpty());
    CHECK(fresh.coverTemplateName.IsEmpty());
    CHECK(fresh.templates[1]->GetDisc(1)->savedLeft == -1);
    fresh.DeleteContents(true);

    // A damaged stock is held to what a design can use: sides no larger than a design's, the back
    // cover on a page that is there.
    std::vector<Stock> damaged = ThreeStocks(5500);
    damaged[2].page[0] = 1668248586;
    damaged[2].a[3] = -165632;
    damaged[2].backPage = 221260849;
    path = WriteTemp("labels5", "labels.ini", LabelsIni(damaged, "1,0\r\n"));
    REQUIRE(lib.OpenDocumentFile(path.c_str()));
    CHECK(lib.templates[2]->FindPage(2)->width == kMaxDesignLength);
    CHECK(lib.templates[2]->GetFrontCover()->height == 0);
    CHECK(lib.templates[2]->GetBackCover()->side == 3);
    lib.DeleteContents(true);

    // The same bytes under another case of the name are a document file, which they are not.
    path = WriteTemp("labels3", "Labels.ini", LabelsIni(ThreeStocks(5500), "1,0\r\n"));
    CHECK_FALSE(lib.OpenDocumentFile(path.c_str()));
    CHECK(lib.templates.GetSize() == 0);

    // A damaged labels.ini is reported and leaves the library empty.
    std::vector<unsigned char> cut = LabelsIni(ThreeStocks(5500), "1,0\r\n");
    cut.resize(cut.size() / 2);
    path = WriteTemp("labels4", "labels.ini", cut);
    KvMessageBoxCapture boxes;
    CHECK_FALSE(lib.OpenDocumentFile(path.c_str()));
    CHECK(boxes.LastText() == "Error 670");
    CHECK(lib.templates.GetSize() == 0);

    // A label dimension record is never written.
    CLabelDim record;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        record.Serialize(ar);
        ar.Close();
    }
    CHECK(file.GetLength() == 0);
}

TEST_CASE("object records: linked texts, colour runs and older words") {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    KorvanelleDocument doc;
    doc.CreateFromTemplates(library.templates[0], library.templates[1]);
    ViewObject* disc1 = doc.GetDisc(1);
    disc1->charColors.Add(new COLORREF(RGB(255, 0, 0)));
    CHECK(disc1->EncodeColorRuns() == CString("0") + kEnd + "255000000" + kEnd);

    ViewObject* linked = NewText(kObjectText, "Title", 1, "Disc 1", "");
    linked->bLinkText = 1;
    doc.GetDiscTemplate()->AddObject(linked);
    doc.SetAlbumField("Title", CString("Stored") + kEnd);
    doc.RefreshLinkedText();
    std::vector<unsigned char> bytes = SaveBytes(doc);
    // The linked text is not stored with the object: its name is followed by the type name and
    // the record's text item is empty, so "Stored" appears once, in the album record.
    std::string all(bytes.begin(), bytes.end());
    CHECK(all.find("Stored") == all.rfind("Stored"));
    KorvanelleDocument back;
    REQUIRE(LoadBytes(back, bytes));
    CHECK(back.FindObject("Title")->GetText() == CString("Stored") + kEnd);
    CHECK(*back.GetDisc(1)->charColors[0] == RGB(255, 0, 0));
    back.DeleteContents(true);
    doc.DeleteContents(true);
    library.DeleteContents(true);
}

TEST_CASE("a file that names one record twice gives it to one owner") {
    Writer w;
    docfile::HeaderLists(w, 507, {Property()}, {TextRecord()});  // indices 1 to 4
    w.Count(0);
    docfile::AlbumRecord(w, 507, Album());
    w.Str("Disc 1");
    w.Str("Disc Label");
    w.Str("");
    w.Count(3);
    w.Object("LabelTemplate", 507);  // class 5, template 6
    w.Str("Disc Label");
    w.Str("Layout2DiscTop");
    w.Count(1);
    Obj disc;
    disc.name = "Disc 1";
    disc.typeName = "Disc";
    disc.side = 1;
    disc.sideName = "Disc 1";
    w.Object("ViewObject", 507);  // class 7, object 8
    docfile::ObjectRecord(w, 507, disc);
    w.U16(6);                        // the same template again
    w.Object("LabelTemplate", 507);  // template 9
    w.Str("Other");
    w.Str("Layout1DiscTop");
    w.Count(2);
    w.U16(8);  // the disc of the first template
    w.U16(8);
    KorvanelleDocument doc;
    REQUIRE(LoadBytes(doc, w.bytes));
    REQUIRE(doc.templates.GetSize() == 2);
    CHECK(doc.templates[0]->GetObjectCount() == 1);
    CHECK(doc.templates[0]->layout == kLayout2DiscTop);
    CHECK(doc.templates[1]->name == "Other");
    CHECK(doc.templates[1]->GetObjectCount() == 0);
    CHECK(doc.GetCurrentSide() == doc.templates[0]->GetObject(0));
    doc.DeleteContents(true);  // each record released once
}
