#include <doctest.h>

#include "app/PaperTable.h"
#include "ArchiveBytes.h"
#include "GdiplusSession.h"
#include "model/HeaderRecords.h"
#include "model/LabelTemplate.h"

using namespace kvtest;

namespace {

ViewObject* Obj(int type, const char* name, const char* sideName, int left, int top, int width = 100,
                int height = 100) {
    return NewViewObject(type, name, 1, sideName, left, top, width, height);
}

// A disc page with two discs and a text and a track list on each.
LabelTemplate* TwoDiscTemplate() {
    LabelTemplate* t = new LabelTemplate;
    t->name = "Test Stock";
    ViewObject* page = Obj(kObjectPage, "Page 1", "", 0, 0, 8500, 11000);
    t->AddObject(page);
    t->AddObject(Obj(kObjectDisc, "Disc 1", "Disc 1", 1938, 688, 4625, 1600));
    t->AddObject(Obj(kObjectDisc, "Disc 2", "Disc 2", 1938, 5688, 4625, 1600));
    t->AddObject(Obj(kObjectText, "Title(Disc)", "Disc 1", 2500, 1000));
    t->AddObject(Obj(kObjectTrack, "Track List - Disc 2(Disc)", "Disc 2", 2600, 6000));
    t->AddObject(Obj(kObjectText, "Artist", "Disc 1", 2700, 1200));
    return t;
}

ViewObject* Find(LabelTemplate* t, const char* prefix) {
    for (int i = 0; i < t->GetObjectCount(); ++i)
        if (t->GetObject(i)->name.Left(static_cast<int>(strlen(prefix))) == prefix) return t->GetObject(i);
    return nullptr;
}

}  // namespace

TEST_CASE("layout names") {
    CHECK(LabelTemplate::LayoutName(7) == "Layout1DiscTop");
    CHECK(LabelTemplate::LayoutName(-1) == "Layout1DiscTop");
    CHECK(LabelTemplate::LayoutName(4) == "Layout2DiscBottom");
    CHECK(LabelTemplate::LayoutFromName("Layout2DiscDuplicate", -1) == 5);
    CHECK(LabelTemplate::LayoutFromName("layout2discduplicate", 0) == 0);
    CHECK(LabelTemplate::LayoutFromName("Nothing", -1) == 0);
    CHECK(LabelTemplate::LayoutFromName("Layout2DiscTop", 2) == 1);
    CHECK(LabelTemplate::LayoutFromName("", 3) == 2);
    CHECK(LabelTemplate::LayoutFromName("", 9) == 0);
}

TEST_CASE("finders and case kind") {
    LabelTemplate t;
    ViewObject* disc = Obj(kObjectDisc, "Disc 1", "Disc 1", 0, 0);
    ViewObject* back = Obj(kObjectJewel, "Back Cover", "Back Cover", 0, 0);
    ViewObject* front = Obj(kObjectFront, "Front Cover", "Front Cover", 0, 0);
    back->side = 2;
    front->side = 2;
    front->bFolded = 1;
    t.AddObject(disc);
    t.AddObject(back);
    CHECK(t.GetCaseKind() == kObjectDisc);  // the disc comes first
    t.RemoveObject(disc, false);
    CHECK(t.GetCaseKind() == kObjectJewel);
    t.InsertObjectAfter(front, back);
    CHECK(t.GetObject(1) == front);
    t.InsertObjectAfter(disc, nullptr);
    CHECK(t.GetObject(2) == disc);
    CHECK(t.HasJewelBack());
    CHECK_FALSE(t.HasDvdBack());
    CHECK(t.HasCover());
    CHECK(t.AreCoversOnSamePage());
    CHECK(t.IsFrontCoverFolded());
    CHECK(t.GetDisc(1) == disc);
    CHECK(t.GetDisc(2) == nullptr);
    CHECK_FALSE(t.IsDiscCentered());
    LabelTemplate none;
    CHECK(none.GetCaseKind() == kObjectJewel);
    t.DeleteObjects();
}

TEST_CASE("disc layouts") {
    LabelTemplate* t = TwoDiscTemplate();
    ViewObject* d1 = t->GetDisc(1);
    ViewObject* d2 = t->GetDisc(2);
    ViewObject* title = Find(t, "Title");
    ViewObject* tracks = Find(t, "Track List");

    t->SetLayout(1);
    CHECK(d1->top == 5688);
    CHECK(d2->top == 688);
    CHECK(title->top == 6000);
    CHECK(tracks->top == 1000);
    t->SetLayout(0);
    CHECK(d1->top == 688);
    CHECK(d2->top == 5688);
    CHECK(title->top == 1000);
    CHECK(tracks->top == 6000);

    t->SetLayout(3);
    CHECK(title->name == "Title - Disc 1(Disc)");
    CHECK(Find(t, "Artist")->name == "Artist");  // no bracket: left alone
    CHECK(tracks->name == "Track List - Disc 2(Disc)");
    CHECK(d1->top == 5688);  // layout 3: Disc 1 below Disc 2
    t->SetLayout(4);
    CHECK(title->name == "Title - Disc 1(Disc)");
    CHECK(d1->top == 688);
    CHECK(tracks->name == "Track List - Disc 2(Disc)");
    t->SetLayout(0);
    CHECK(title->name == "Title(Disc)");

    int before = d1->top;
    t->SetLayout(2);
    CHECK(d1->top == before);
    CHECK(t->IsDuplicateLayout());

    // duplicate layouts exchange the discs whenever their tops differ
    t->ApplyDuplicateLayout();
    CHECK(t->layout == 2);
    CHECK(d1->top == 5688);

    // a template with only Disc 1 changes nothing but the layout value
    LabelTemplate single;
    ViewObject* only = Obj(kObjectDisc, "Disc 1", "Disc 1", 0, 500);
    ViewObject* text = Obj(kObjectText, "Title(Disc)", "Disc 1", 0, 0);
    single.AddObject(only);
    single.AddObject(text);
    single.SetLayout(3);
    CHECK(single.layout == 3);
    CHECK(text->name == "Title(Disc)");
    single.DeleteObjects();
    DeleteLabelTemplate(t);
}

TEST_CASE("centring discs for printing") {
    InitPaperTable();
    LabelTemplate* t = TwoDiscTemplate();
    ViewObject* d1 = t->GetDisc(1);
    ViewObject* page = t->FindPage(1);
    ViewObject* title = Find(t, "Title");
    t->CenterDiscs(true, false);
    CHECK(d1->left == 437);
    CHECK(d1->top == 437);
    CHECK(t->GetDisc(2)->left == 437);
    CHECK(title->left == 2500 - (1938 - 437));
    CHECK(title->top == 1000 - (688 - 437));
    CHECK(page->width == 5500);
    CHECK(page->height == 5500);
    CHECK(t->IsDiscCentered());
    t->CenterDiscs(false, false);
    CHECK(d1->left == 1938);
    CHECK(d1->top == 688);
    CHECK(t->GetDisc(2)->top == 5688);
    CHECK(title->left == 2500);
    CHECK(title->top == 1000);
    CHECK(d1->savedLeft == -1);
    CHECK_FALSE(t->IsDiscCentered());
    CHECK(page->width == 5500);  // pages keep the centring size

    t->CenterDiscs(true, true);
    CHECK(page->width == 8500);
    CHECK(page->height == 11000);
    CHECK(t->GetDisc(2)->top == 688);  // moved to Disc 1's saved place
    DeleteLabelTemplate(t);
}

TEST_CASE("copies and empty images") {
    REQUIRE(kvtest::GdiplusReady());
    LabelTemplate* t = TwoDiscTemplate();
    t->layout = 4;
    ViewObject* img = Obj(kObjectImage, "Image", "Disc 1", 0, 0);
    t->AddObject(img);
    LabelTemplate copy(t, true);
    CHECK(copy.name == t->name);
    CHECK(copy.layout == 4);
    CHECK(copy.GetObjectCount() == t->GetObjectCount());
    CHECK(copy.GetObject(1) != t->GetObject(1));
    copy.RemoveEmptyImages();
    CHECK(copy.GetObjectCount() == t->GetObjectCount() - 1);
    copy.DeleteObjects();
    DeleteLabelTemplate(t);
}

TEST_CASE("template record") {
    REQUIRE(kvtest::GdiplusReady());
    LabelTemplate* t = TwoDiscTemplate();
    t->layout = 3;
    Bytes bytes = StoreBytes([&](CArchive& ar) { t->Serialize(ar); });
    // name, layout name, object count, then the first object with its class record
    Bytes head = Concat({Str("Test Stock"), Str("Layout2DiscTop"), W16(6), W16(0xFFFF), W16(507), W16(10),
                         Raw("ViewObject")});
    REQUIRE(bytes.size() > head.size());
    CHECK(Bytes(bytes.begin(), bytes.begin() + head.size()) == head);

    LabelTemplate back;
    g_fileVersion = 507;
    REQUIRE(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }));
    CHECK(back.name == "Test Stock");
    CHECK(back.layout == 3);
    REQUIRE(back.GetObjectCount() == 6);
    CHECK(back.GetDisc(2)->top == 5688);
    CHECK(back.GetObject(3)->name == "Title(Disc)");
    CHECK(back.GetObject(3)->IsText());
    Bytes again = StoreBytes([&](CArchive& ar) { back.Serialize(ar); });
    CHECK(again == bytes);

    // a truncated record fails with the archive's end-of-file error and leaks nothing it read
    LabelTemplate partial;
    int cause = 0;
    Bytes cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
    CHECK_FALSE(LoadBytes(
        cut, [&](CArchive& ar) { partial.Serialize(ar); }, &cause));
    CHECK(cause == CArchiveException::endOfFile);
    partial.DeleteObjects();
    back.DeleteObjects();
    DeleteLabelTemplate(t);
}
