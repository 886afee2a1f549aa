// The design document in memory: sides, names, selection, backgrounds, margins, built-in
// templates, album fields and the operations that copy and merge documents.
#include <doctest.h>

#include "app/PaperTable.h"
#include "model/BuiltInTemplates.h"
#include "model/KorvanelleDocument.h"
#include "model/OldFormat.h"
#include "model/PageSizes.h"
#include "ArchiveBytes.h"

namespace {

const char kEnd = 0x08;

struct PaperTable {
    PaperTable() { InitPaperTable(); }
} g_paper;

// A design of the plain disc label and the jewel case, as a new design starts.
struct Design {
    KorvanelleDocument library;
    KorvanelleDocument doc;
    Design(int discIndex = 0, int coverIndex = 1) {
        library.CreateBuiltInTemplates();
        doc.CreateFromTemplates(library.templates[discIndex], library.templates[coverIndex]);
    }
    ~Design() {
        doc.DeleteContents(true);
        library.DeleteContents(true);
    }
    LabelTemplate* Disc() { return doc.GetDiscTemplate(); }
    LabelTemplate* Cover() { return doc.GetCoverTemplate(); }
};

CString Names(const CSelectionArray& selection) {
    CString all;
    for (INT_PTR i = 0; i < selection.GetSize(); ++i) all += selection[i]->name + ";";
    return all;
}

}  // namespace

TEST_CASE("current side and page are looked up by name and never stale") {
    Design d;
    CHECK(d.doc.currentSideName == "Disc 1");
    REQUIRE(d.doc.GetCurrentSide() != nullptr);
    CHECK(d.doc.GetCurrentSideIndex() == 1);
    REQUIRE(d.doc.GetCurrentPage() != nullptr);
    CHECK(d.doc.GetCurrentPage()->name == "Page 1");

    SUBCASE("a side name that names no object gives no side, index 0 and no page") {
        d.doc.currentSideName = "Nowhere";
        CHECK(d.doc.GetCurrentSide() == nullptr);
        CHECK(d.doc.GetCurrentSideIndex() == 0);
        CHECK(d.doc.GetCurrentPage() == nullptr);
    }
    SUBCASE("switching side index picks the first side of that index and its page") {
        d.doc.SetCurrentSideIndex(3);
        CHECK(d.doc.currentSideName == "Back Cover");
        CHECK(d.doc.GetCurrentPage()->name == "Page 3");
        d.doc.SetCurrentSideIndex(2);
        CHECK(d.doc.currentSideName == "Front Cover");
        CHECK(d.doc.GetCurrentPage()->name == "Page 2");
    }
    SUBCASE("a side without a page of its index has no page rather than the last one found") {
        d.doc.SetCurrentSideIndex(3);
        CHECK(d.doc.GetCurrentPage()->name == "Page 3");
        ViewObject* page3 = d.Cover()->FindPage(3);
        d.Cover()->RemoveObject(page3, true);
        d.doc.ClearSelection();
        CHECK(d.doc.GetCurrentPage() == nullptr);
    }
    SUBCASE("side index 1 in a design without a disc changes nothing") {
        KorvanelleDocument covers;
        covers.CreateFromTemplates(nullptr, d.library.templates[1]);
        covers.currentSideName = "Front Cover";
        covers.SetCurrentSideIndex(1);
        CHECK(covers.currentSideName == "Front Cover");
        covers.DeleteContents(true);
    }
}

TEST_CASE("object names are made unique") {
    Design d;
    LabelTemplate* disc = d.Disc();
    SUBCASE("a second free text Text 1 becomes Text 2") {
        disc->AddObject(NewViewObject(kObjectText, "Text 1", 1, "Disc 1"));
        ViewObject* second = NewViewObject(kObjectText, "Text 1", 1, "Disc 1");
        disc->AddObject(second);
        d.doc.MakeNamesUnique();
        CHECK(second->name == "Text 2");
    }
    SUBCASE("a colliding Artist becomes Artist(1), a colliding Artist(1) the first free number") {
        disc->AddObject(NewViewObject(kObjectImage, "Artist", 1, "Disc 1"));
        ViewObject* artist = NewViewObject(kObjectImage, "Artist", 1, "Disc 1");
        disc->AddObject(artist);
        d.doc.MakeNamesUnique();
        CHECK(artist->name == "Artist(1)");
        ViewObject* again = NewViewObject(kObjectImage, "Artist(1)", 1, "Disc 1");
        disc->AddObject(again);
        d.doc.MakeNamesUnique();
        CHECK(again->name == "Artist(2)");
    }
    SUBCASE("a name with a blank before its bracket keeps the blank") {
        ViewObject* photo = NewViewObject(kObjectImage, "Photo (1)", 1, "Disc 1");
        d.doc.AssignUniqueName(photo);
        CHECK(photo->name == "Photo (1)");
        DeleteViewObject(photo);
    }
}

TEST_CASE("selecting an album field selects every linked object of the field") {
    Design d;
    LabelTemplate* disc = d.Disc();
    ViewObject* a = NewViewObject(kObjectText, "Artist", 1, "Disc 1");
    ViewObject* a1 = NewViewObject(kObjectText, "Artist(1)", 1, "Disc 1");
    ViewObject* a2 = NewViewObject(kObjectText, "Artist(2)", 3, "Back Cover");
    a->bLinkText = a1->bLinkText = a2->bLinkText = 1;
    disc->AddObject(a);
    disc->AddObject(a1);
    d.Cover()->AddObject(a2);
    d.doc.SelectObjectByName("Artist");
    CHECK(Names(d.doc.selection) == "Artist;Artist(1);Artist(2);");
    CHECK(d.doc.currentSideName == "Disc 1");

    a1->bLinkText = 0;
    d.doc.SelectObjectByName("Artist(2)");
    CHECK(Names(d.doc.selection) == "Artist(2);Artist;");
    CHECK(d.doc.currentSideName == "Back Cover");

    d.doc.SelectObjectByName("Page 2");
    CHECK(Names(d.doc.selection) == "Page 2;");
    CHECK(d.doc.currentSideName == "Back Cover");  // a page does not change the side
}

TEST_CASE("background panels, margin rectangles and full-side backgrounds") {
    Design d;
    ViewObject* front = d.doc.GetFrontCover();
    ViewObject* back = d.doc.GetBackCover();
    REQUIRE(front != nullptr);
    REQUIRE(back != nullptr);

    SUBCASE("margin options") {
        Gdiplus::Rect r = KorvanelleDocument::GetMarginRect(back, 1, 6);
        CHECK((r.X == 1550 && r.Y == 550 && r.Width == 5410 && r.Height == 4750));
        r = KorvanelleDocument::GetMarginRect(back, 1, 2);
        CHECK((r.X == 1250 && r.Y == 550 && r.Width == 6010 && r.Height == 4750));
        r = KorvanelleDocument::GetMarginRect(front, 1, 3);
        CHECK((r.X == 5560 && r.Y == 700 && r.Width == 4860 && r.Height == 4960));
        r = KorvanelleDocument::GetMarginRect(front, 0, 3);  // panel 0 counts as 1
        CHECK(r.X == 5560);
        r = KorvanelleDocument::GetMarginRect(front, 2, 4);
        CHECK((r.X == 650 && r.Y == 650 && r.Width == 4910 && r.Height == 5060));
    }
    SUBCASE("an image centred on the fold line is on panel 1, left of it on panel 2") {
        ViewObject* image =
            NewViewObject(kObjectImage, "Image", 2, "Front Cover", 800 + 4760 - 500, 800, 1000, 1000);
        d.Cover()->AddObject(image);
        CHECK(d.doc.GetBackgroundPanel(image) == 1);
        image->left -= 1;
        CHECK(d.doc.GetBackgroundPanel(image) == 2);
    }
    SUBCASE("a background fitted with a margin option is recognised") {
        ViewObject* image = NewViewObject(kObjectImage, "Image", 2, "Front Cover");
        Gdiplus::Rect r = KorvanelleDocument::GetMarginRect(front, 2, 3);
        image->left = r.X;
        image->top = r.Y;
        image->width = r.Width;
        image->height = r.Height;
        image->bBackground = 2;
        d.Cover()->AddObject(image);
        int panel = 0, option = -1;
        d.doc.FindBackgroundFit(image, panel, option);
        CHECK(panel == 2);
        CHECK(option == 3);
        d.doc.FindBackgroundFit(nullptr, panel, option);
        CHECK((panel == 1 && option == 0));
    }
    SUBCASE("a background 2 units short on every edge covers the side; 3 units does not") {
        // The jewel back without its spines: 1550 .. 6960 by 600 .. 5250.
        ViewObject* image = NewViewObject(kObjectImage, "Image", 3, "Back Cover", 1552, 602, 5406, 4646);
        image->bBackground = 1;
        d.Cover()->AddObject(image);
        CHECK(d.doc.IsBackgroundFullSide(back));
        image->left = 1553;
        CHECK_FALSE(d.doc.IsBackgroundFullSide(back));
        d.doc.ClearSelection();
        CHECK_FALSE(d.doc.IsBackgroundFullSide(nullptr));
    }
}

TEST_CASE("print options record") {
    PrintOptions defaults(nullptr);
    CHECK((defaults.printFront && defaults.printBack && defaults.printDisc1 && defaults.printDisc2));
    CHECK_FALSE((defaults.frontBorder || defaults.backBorder || defaults.discBorder || defaults.frontFold ||
                 defaults.backFold));
    defaults.frontMargin = 50;
    defaults.backMargin = 100;
    defaults.discMargin = 150;
    defaults.backFold = 1;
    PrintOptions copy(&defaults);
    CHECK(copy.GetMargin(kObjectFront) == 50);
    CHECK(copy.GetMargin(kObjectDvd) == 100);
    CHECK(copy.GetMargin(kObjectBluray) == 100);
    CHECK(copy.GetMargin(kObjectDisc) == 150);
    CHECK(copy.GetMargin(kObjectPage) == 0);
    CHECK(copy.GetMargin(kObjectImage) == 0);
    CHECK(copy.HasFoldLines(kObjectJewel));
    CHECK_FALSE(copy.HasFoldLines(kObjectDisc));
    copy.CopyFrom(nullptr);
    CHECK(copy.discMargin == 150);
}

TEST_CASE("built-in templates") {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    // An empty library gets every row of the table, in the table's order; the first five are
    // these.
    REQUIRE(library.templates.GetSize() == static_cast<INT_PTR>(kBuiltInTemplateCount));
    for (size_t i = 0; i < kBuiltInTemplateCount; ++i)
        CHECK(library.templates[i]->name == kBuiltInTemplates[i].name);
    CHECK(library.templates[0]->name == "(CD/DVD Disc Label - Generic)");
    CHECK(library.templates[1]->name == "(CD Jewel Case - Plain Paper)");
    CHECK(library.templates[2]->name == "(DVD Case - Plain Paper)");
    CHECK(library.templates[3]->name == "LightScribe");
    CHECK(library.templates[4]->name == "(Blu-ray Case - Plain Paper)");

    SUBCASE("pages take the Letter paper in both orientations") {
        LabelTemplate* jewel = library.FindTemplate("(CD Jewel Case - Plain Paper)");
        ViewObject* p2 = jewel->FindPage(2);
        ViewObject* p3 = jewel->FindPage(3);
        CHECK((p2->width == 11000 && p2->height == 8500));
        CHECK((p3->width == 8500 && p3->height == 11000));
        LabelTemplate* dvd = library.FindTemplate("(DVD Case - Plain Paper)");
        ViewObject* d2 = dvd->FindPage(2);
        ViewObject* d3 = dvd->FindPage(3);
        CHECK((d2->width == 11000 && d2->height == 8500 && d3->width == 11000 && d3->height == 8500));
    }
    SUBCASE("the LightScribe disc is centred on the disc-printer page") {
        LabelTemplate* ls = library.FindTemplate("LightScribe");
        ViewObject* page = ls->FindPage(1);
        CHECK((page->width == 5500 && page->height == 5500));
        ViewObject* disc1 = ls->GetDisc(1);
        CHECK(disc1->left == (5500 - 4622) / 2);
        CHECK(disc1->top == (5500 - 4622) / 2);
        CHECK((disc1->width == 4622 && disc1->height == 1874 && disc1->textMargin == 50));
        CHECK(disc1->HasSavedPosition());
        ViewObject* disc2 = ls->GetDisc(2);
        CHECK((disc2->name == "Disc 2" && disc2->sideName == "Disc 2" && disc2->left == disc1->left));
    }
    SUBCASE("a library that has every kind gets nothing more") {
        library.CreateBuiltInTemplates();
        CHECK(library.templates.GetSize() == static_cast<INT_PTR>(kBuiltInTemplateCount));
        // One whose only disc template is LightScribe gets no plain disc label.
        library.RemoveTemplate(library.FindTemplate("(CD/DVD Disc Label - Generic)"), true);
        library.CreateBuiltInTemplates();
        CHECK(library.templates.GetSize() == static_cast<INT_PTR>(kBuiltInTemplateCount) - 1);
    }
    SUBCASE("custom names take the next number") {
        LabelTemplate* a = new LabelTemplate;
        a->name = "Custom Jewel Case 3";
        LabelTemplate* b = new LabelTemplate;
        b->name = "Custom Jewel Case 10";
        library.AddTemplate(a);
        library.AddTemplate(b);
        LabelTemplate* fresh = new LabelTemplate(library.templates[1], false);
        library.AssignCustomTemplateName(fresh);
        CHECK(fresh->name == "Custom Jewel Case 11");
        DeleteLabelTemplate(fresh);
    }
    SUBCASE("startup design names") {
        CHECK(GetTemplateDocumentName(4, 0) == "CD-Template-1-Disc.kvl");
        CHECK(GetTemplateDocumentName(4, 3) == "CD-Template-2-Disc.kvl");
        CHECK(GetTemplateDocumentName(5, 2) == "DVD-Template-1-Disc.kvl");
        CHECK(GetTemplateDocumentName(10, 5) == "Bluray-Template-2-Disc.kvl");
        CHECK(GetTemplateDocumentName(2, 0) == "");
    }
    library.DeleteContents(true);
}

TEST_CASE("a library that lacks one built-in template gets it back from its row, as it was") {
    for (const BuiltInTemplate& row : kBuiltInTemplates) {
        CAPTURE(row.name);
        KorvanelleDocument library;
        library.CreateBuiltInTemplates();
        LabelTemplate* original = library.FindTemplate(row.name);
        REQUIRE(original);
        const kvtest::Bytes stored = kvtest::StoreBytes([&](CArchive& ar) { original->Serialize(ar); });
        library.RemoveTemplate(original, true);
        // A row that shares its kind with another is still held through that one's template,
        // unless it is looked for by name (the plain disc label beside LightScribe's discs).
        bool heldByAnother = false;
        for (const BuiltInTemplate& other : kBuiltInTemplates)
            heldByAnother =
                heldByAnother || (&other != &row && other.caseKind == row.caseKind && !row.presentByName);
        library.CreateBuiltInTemplates();
        if (heldByAnother) {
            CHECK(library.templates.GetSize() == static_cast<INT_PTR>(kBuiltInTemplateCount) - 1);
        } else {
            REQUIRE(library.templates.GetSize() == static_cast<INT_PTR>(kBuiltInTemplateCount));
            LabelTemplate* back = library.templates[library.templates.GetSize() - 1];
            CHECK(back->name == row.name);
            CHECK(kvtest::StoreBytes([&](CArchive& ar) { back->Serialize(ar); }) == stored);
        }
        library.DeleteContents(true);
    }
    // The settings' default template of each kind is its first row.
    CHECK(CString(FirstBuiltInTemplate(kCaseDisc).name) == "(CD/DVD Disc Label - Generic)");
    CHECK(CString(FirstBuiltInTemplate(kCaseBluray).name) == "(Blu-ray Case - Plain Paper)");
}

TEST_CASE("a design made from two templates") {
    Design d;
    SUBCASE("gets the inside panel and the two tab strips of its covers") {
        ViewObject* inside = d.doc.FindObject("Front Cover (Inside)");
        ViewObject* leftTab = d.doc.FindObject("Left Tab");
        ViewObject* rightTab = d.doc.FindObject("Right Tab");
        REQUIRE((inside && leftTab && rightTab));
        CHECK((inside->left == 800 && inside->width == 4760 && inside->type == kObjectBoundary));
        CHECK((leftTab->left == 1300 && leftTab->width == 250));
        CHECK((rightTab->left == 6960 && rightTab->width == 250));
        CHECK(inside->sideName == "Front Cover");
        CHECK(rightTab->sideName == "Back Cover");
        CHECK(d.doc.templates.GetSize() == 2);
    }
    SUBCASE("copies the templates, leaving the originals as they were") {
        CHECK(d.library.templates[1]->GetObjectCount() == 4);
        CHECK(d.Cover() != d.library.templates[1]);
    }
    SUBCASE("a cover template without a back cover gets only the inside panel") {
        LabelTemplate frontOnly;
        frontOnly.name = "Front only";
        frontOnly.AddObject(
            NewViewObject(kObjectFront, "Front Cover", 2, "Front Cover", 100, 100, 1000, 1000));
        KorvanelleDocument doc;
        doc.CreateFromTemplates(d.library.templates[0], &frontOnly);
        CHECK(doc.FindObject("Front Cover (Inside)") != nullptr);
        CHECK(doc.FindObject("Front Cover (Inside)")->left == -900);
        CHECK(doc.FindObject("Left Tab") == nullptr);
        doc.DeleteContents(true);
        frontOnly.DeleteObjects();
    }
    SUBCASE("a design of a two-disc template gets the samples of both discs") {
        LabelTemplate twoDiscs(d.library.templates[0], false);
        twoDiscs.SetLayout(kLayout2DiscBottom);
        KorvanelleDocument doc;
        doc.CreateFromTemplates(&twoDiscs, d.library.templates[1]);
        CHECK(doc.GetAlbumField("Artist") == CString("Artist - Disc 1") + kEnd);
        CHECK(doc.GetAlbumField("Genre - Disc 2") == CString("Genre - Disc 2") + kEnd);
        CString tracks = doc.GetAlbumField("Track List - Disc 2");
        CHECK(tracks.Find("Track 7 - Disc 2") > 0);
        doc.DeleteContents(true);
        twoDiscs.DeleteObjects();
    }
    SUBCASE("a one-disc design has the plain sample values") {
        CHECK(d.doc.GetAlbumField("Artist") == CString("Artist") + kEnd);
        CHECK(d.doc.GetAlbumField("Time") == CString("Time") + kEnd);
        CString tracks = d.doc.GetAlbumField("Track List");
        CString first = CString("1. ") + kEnd + "Track 1" + kEnd + " 0:01" + kEnd;
        CHECK(tracks.Left(first.GetLength()) == first);
        CHECK(tracks.Right(8) == CString("7") + kEnd + " 0:07" + kEnd);
        CHECK(d.doc.GetAlbumField("Artist - Disc 2").IsEmpty());
    }
}

TEST_CASE("disc layouts and the second disc's objects") {
    Design d;
    LabelTemplate* disc = d.Disc();
    ViewObject* artist = NewViewObject(kObjectText, "Artist", 1, "Disc 1", 2000, 1000, 2000, 300);
    artist->bLinkText = 1;
    disc->AddObject(artist);
    d.doc.RefreshLinkedText();
    CHECK(artist->GetText() == CString("Artist") + kEnd);

    // Namesakes and free texts: each copy's name is free among the design's and the copies before it.
    disc->AddObject(NewViewObject(kObjectText, "Artist", 1, "Disc 1", 2000, 1400, 2000, 300));
    disc->AddObject(NewViewObject(kObjectText, "Text 1", 1, "Disc 1", 2000, 1800, 2000, 300));
    disc->AddObject(NewViewObject(kObjectText, "Text 3", 1, "Disc 1", 2000, 2200, 2000, 300));

    d.doc.SetDiscLayout(kLayout2DiscBottom);
    CHECK(d.doc.GetDiscLayout() == kLayout2DiscBottom);
    std::vector<ViewObject*> copies;
    for (int k = 0; k < disc->GetObjectCount(); ++k)
        if (disc->GetObject(k)->sideName == "Disc 2" && !disc->GetObject(k)->IsSide())
            copies.push_back(disc->GetObject(k));
    REQUIRE(copies.size() == 4);
    ViewObject* copy = copies[0];
    CHECK(copy->name == "Artist - Disc 2(1)");
    CHECK(copies[1]->name == "Artist - Disc 2(2)");
    CHECK(copies[2]->name == "Text 2");
    CHECK(copies[3]->name == "Text 4");
    CHECK(copy->top == 1000 + 5000);
    CHECK(copy->GetText() == CString("Artist - Disc 2") + kEnd);
    // Only the disc 2 fields are filled; disc 1 keeps its values.
    CHECK(d.doc.GetAlbumField("Artist") == CString("Artist") + kEnd);

    int count = disc->GetObjectCount();
    d.doc.SetDiscLayout(kLayout2DiscTop);
    d.doc.SetDiscLayout(kLayout2DiscBottom);
    CHECK(disc->GetObjectCount() == count);  // no second copy

    d.doc.currentSideName = "Disc 2";
    d.doc.SetDiscLayout(kLayout1DiscTop);
    CHECK(d.doc.currentSideName == "Disc 1");
}

TEST_CASE("album fields and linked objects") {
    Design d;
    LabelTemplate* disc = d.Disc();
    ViewObject* linked = NewViewObject(kObjectText, "Title(1)", 1, "Disc 1");
    ViewObject* linked2 = NewViewObject(kObjectText, "Title", 1, "Disc 1");
    ViewObject* own = NewViewObject(kObjectText, "Genre", 1, "Disc 1");
    linked->bLinkText = linked2->bLinkText = 1;
    own->SetText("mine");
    disc->AddObject(linked);
    disc->AddObject(linked2);
    disc->AddObject(own);
    d.doc.SetAlbumField("Title", CString("Blue") + kEnd);
    d.doc.RefreshLinkedText();
    CHECK(linked->GetText() == CString("Blue") + kEnd);
    CHECK(linked2->GetText() == CString("Blue") + kEnd);
    CHECK(own->GetText() == "mine");

    d.doc.SetAlbumField("Title", "");
    d.doc.RefreshLinkedText();
    CHECK(linked->GetText() == CString("Blue") + kEnd);

    SUBCASE("old album texts become fields") {
        std::vector<OldTextRecord> records(2);
        records[0].first = "Track List";
        records[0].second = "Track";
        records[0].third = "2`One`3:00`Two`4:10`";
        records[1].first = "Artist";
        records[1].second = "Text";
        records[1].third = "A\r\nB";
        d.doc.ConvertOldAlbumText(records);
        CString expected = CString("1. ") + kEnd + "One" + kEnd + " 3:00" + kEnd + "2. " + kEnd + "Two" +
                           kEnd + " 4:10" + kEnd;
        CHECK(d.doc.GetAlbumField("Track List") == expected);
        CHECK(d.doc.GetAlbumField("Artist") == CString("A\rB") + kEnd);
        // A count larger than the tracks present stops at the last track.
        records[0].third = "99999999`One`3:00`";
        d.doc.ConvertOldAlbumText(records);
        CHECK(d.doc.GetAlbumField("Track List") == CString("1. ") + kEnd + "One" + kEnd + " 3:00" + kEnd);
    }
    SUBCASE("template names resolve by kind, name first") {
        KorvanelleDocument& lib = d.library;
        CHECK(lib.FindTemplateNameOfKind("(DVD Case - Plain Paper)", 5) == "(DVD Case - Plain Paper)");
        CHECK(lib.FindTemplateNameOfKind("no such", 5) == "(DVD Case - Plain Paper)");
        CHECK(lib.FindTemplateNameOfKind("LightScribe", 0) == "(CD Jewel Case - Plain Paper)");
        CHECK(lib.FindTemplateNameOfKind("x", 7) == "");
        CHECK(lib.ResolveTemplateName("LightScribe", 2) == "LightScribe");
        CHECK(lib.discTemplateName == "LightScribe");
        CHECK(lib.ResolveTemplateName("(Blu-ray Case - Plain Paper)", 10) == "(Blu-ray Case - Plain Paper)");
        CHECK(lib.coverTemplateName == "(Blu-ray Case - Plain Paper)");
        CHECK(lib.ResolveTemplateNameAt(2, 5) == "(DVD Case - Plain Paper)");
        CHECK(lib.ResolveTemplateNameAt(99, 2) == "(CD/DVD Disc Label - Generic)");
    }
}

TEST_CASE("copying, moving, merging and initialising documents") {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();

    SUBCASE("initialising from a template takes a copy and leaves the template with its owner") {
        KorvanelleDocument preview;
        LabelTemplate* source = library.templates[2];
        int objects = source->GetObjectCount();
        preview.InitWithTemplate(source);
        preview.InitWithTemplate(source);  // the first copies are released
        REQUIRE(preview.templates.GetSize() == 1);
        CHECK(preview.templates[0] != source);
        CHECK(preview.discTemplateName == source->name);
        CHECK(preview.coverTemplateName == source->name);
        preview.GetBackCover()->left = 1;
        CHECK(source->GetBackCover()->left == 145);
        CHECK(source->GetObjectCount() == objects);
        preview.DeleteContents(true);
        CHECK(library.templates[2] == source);
    }
    SUBCASE("merging a library into itself does nothing") {
        CHECK_FALSE(library.MergeTemplatesFrom(&library));
        CHECK(library.templates.GetSize() == 5);
    }
    SUBCASE("merging keeps the first of two equal names and frees the rest") {
        KorvanelleDocument other;
        other.CreateBuiltInTemplates();
        LabelTemplate* extra = new LabelTemplate;
        extra->name = "New";
        LabelTemplate* extra2 = new LabelTemplate;
        extra2->name = "New";
        other.AddTemplate(extra);
        other.AddTemplate(extra2);
        CHECK(library.MergeTemplatesFrom(&other));
        CHECK(library.templates.GetSize() == 6);
        CHECK(library.templates[5] == extra);
        CHECK(other.templates.GetSize() == 0);
    }
    SUBCASE("a deep copy owns its templates and images; a move hands them over") {
        KorvanelleDocument a;
        a.CreateFromTemplates(library.templates[0], library.templates[1]);
        IStreamObject* stream = new IStreamObject;
        const BYTE bytes[3] = {1, 2, 3};
        stream->SetBytes(bytes, 3);
        a.AddToImagePool(stream);
        KorvanelleDocument b;
        b.CopyFrom(&a, true, false);
        CHECK(b.templates.GetSize() == 2);
        CHECK(b.templates[0] != a.templates[0]);
        CHECK(b.imagePool[0] != stream);
        CHECK(b.imagePool[0]->GetSize() == 3);
        CHECK(b.GetAlbumField("Artist") == a.GetAlbumField("Artist"));
        KorvanelleDocument c;
        LabelTemplate* first = a.templates[0];
        c.MoveFrom(&a);
        CHECK(c.templates[0] == first);
        CHECK(a.templates.GetSize() == 0);
        CHECK(c.imagePool[0] == stream);
        c.DeleteContents(true);
        b.DeleteContents(true);
    }
    library.DeleteContents(true);
}

TEST_CASE("template geometry refits the objects of a side from its first shape") {
    Design d;
    ViewObject* back = d.doc.GetBackCover();
    ViewObject* text = NewViewObject(kObjectText, "Text 1", 3, "Back Cover", 1300, 600, 5910, 4650);
    d.Cover()->AddObject(text);

    LabelTemplate bigger;
    ViewObject* model = NewViewObject(kObjectJewel, "Back Cover", 3, "Back Cover", 0, 0, 5910 * 2, 4650 * 2);
    model->spineWidth = 500;
    bigger.AddObject(model);
    d.doc.ApplyPendingGeometry(&bigger);
    CHECK(back->width == 11820);
    CHECK((text->left == 0 && text->top == 0 && text->width == 11820 && text->height == 9300));
    ViewObject* rightTab = d.doc.FindObject("Right Tab");
    CHECK(rightTab->left == 11820 - 500);
    CHECK(rightTab->width == 500);
    REQUIRE(back->pendingGeometry != nullptr);
    CHECK(back->pendingGeometry->width == 5910);

    // Back to the first shape: the object is where it started.
    model->left = 1300;
    model->top = 600;
    model->width = 5910;
    model->height = 4650;
    model->spineWidth = 250;
    d.doc.ApplyPendingGeometry(&bigger);
    CHECK((text->left == 1300 && text->top == 600 && text->width == 5910 && text->height == 4650));
    bigger.DeleteObjects();
}

TEST_CASE("the template combo box lists one kind and selects the exact name") {
    KorvanelleDocument library;
    library.CreateBuiltInTemplates();
    LabelTemplate* lower = new LabelTemplate(library.templates[2], false);
    lower->name = "(dvd case - plain paper)";
    library.AddTemplate(lower);
    // A user's disc template, listed after the built-in ones but sorted before "LightScribe".
    LabelTemplate* custom = new LabelTemplate(library.templates[0], false);
    custom->name = "Custom Disc Label 1";
    library.AddTemplate(custom);
    library.coverTemplateName = "(DVD Case - Plain Paper)";
    // Sorted, as the print dialog's boxes are.
    HWND combo = CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST | CBS_HASSTRINGS | CBS_SORT, 0, 0,
                               300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(combo != nullptr);
    auto selected = [&] {
        char text[128] = {};
        LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (at != CB_ERR)
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
        return CString(text);
    };
    library.FillTemplateCombo(combo, 5, "(dvd case - plain paper)");
    CHECK(SendMessageA(combo, CB_GETCOUNT, 0, 0) == 2);
    CHECK(selected() == "(dvd case - plain paper)");
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    library.FillTemplateCombo(combo, 5, "");
    CHECK(selected() == "(DVD Case - Plain Paper)");
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    library.discTemplateName = "LightScribe";
    library.FillTemplateCombo(combo, 2, "");
    CHECK(SendMessageA(combo, CB_GETCOUNT, 0, 0) == 3);
    CHECK(selected() == "LightScribe");
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    library.FillTemplateCombo(combo, 2, "(CD/DVD Disc Label - Generic)");
    CHECK(selected() == "(CD/DVD Disc Label - Generic)");
    DestroyWindow(combo);
    library.DeleteContents(true);
}

TEST_CASE("template list queries and changes") {
    Design d;
    CHECK(d.library.CountTemplatesOfKind(2) == 2);
    CHECK(d.library.CountTemplatesOfKind(4) == 1);
    CHECK(d.library.CountTemplatesOfKind(10) == 1);

    Gdiplus::PointF offset = d.doc.GetOtherDiscOffset(d.doc.GetDisc(1));
    CHECK((offset.X == 0 && offset.Y == 5000));
    offset = d.doc.GetOtherDiscOffset(d.doc.GetDisc(2));
    CHECK(offset.Y == -5000);
    offset = d.doc.GetOtherDiscOffset(d.doc.GetFrontCover());
    CHECK((offset.X == 0 && offset.Y == 0));

    d.doc.RenameTemplates("My Discs", "");
    CHECK(d.doc.discTemplateName == "My Discs");
    CHECK(d.Disc() != nullptr);
    CHECK(d.Cover()->name == "(CD Jewel Case - Plain Paper)");

    // Removing a selected object leaves no pointer to it behind.
    d.doc.SelectObjectByName("Front Cover");
    REQUIRE(d.doc.GetCurrentSide() == d.doc.GetFrontCover());
    d.doc.RemoveObject(d.doc.GetFrontCover(), true);
    CHECK(d.doc.selection.GetSize() == 0);
    CHECK(d.doc.GetCurrentSide() == nullptr);
    CHECK(d.doc.GetFrontCover() == nullptr);
}
