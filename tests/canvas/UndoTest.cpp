// The undo engine over a real design in the real view: the step limit, the redo tail, steps that
// span two drags, the first and last recorded texts, objects that appear and go, the disc layout,
// values that look like "not recorded" (a left of 0, a hue of -1) and character styles.
#include <doctest.h>

#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "TestSupport.h"
#include "canvas/AppCanvasState.h"
#include "canvas/FrameCommandState.h"
#include "canvas/ViewSettings.h"

using namespace cvtest;

namespace {

View* Fresh(const char* side = "Back Cover", int layout = kLayout1DiscTop) {
    View* view = EnsureView();
    NewDesign(view, layout, side);
    REQUIRE(view->GetUndoCount() == 0);
    REQUIRE(view->m_undoPosition == -1);
    return view;
}

void MoveLeft(View* view, ViewObject* o, int left) {
    view->BeginUndoStep();
    view->SetObjectLeft(o, left);
    view->EndUndoStep();
}

}  // namespace

TEST_CASE("fifty steps at most; a new step after undo drops the redo tail; redo at the end stays") {
    View* view = Fresh();
    ViewObject* t = AddText(view, "Text 1", "Hello\b", 1000, 1000, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    for (int i = 1; i <= 55; ++i) MoveLeft(view, t, 1000 + i * 10);
    CHECK(view->GetUndoCount() == 50);
    CHECK(view->m_undoPosition == 49);
    // Undoing everything reaches the state after the fifth change, not the start.
    for (int i = 0; i < 60; ++i) view->OnEditUndo();
    CHECK(view->m_undoPosition == -1);
    CHECK(t->left == 1050);
    // Redo at the end does nothing and keeps the position on the last step.
    for (int i = 0; i < 60; ++i) view->OnEditRedo();
    CHECK(view->m_undoPosition == 49);
    CHECK(t->left == 1550);
    view->OnEditRedo();
    CHECK(view->m_undoPosition == 49);
    view->OnEditUndo();
    CHECK(t->left == 1540);
    // Undo twice, then a new change: the undone steps are gone and Redo has nothing.
    view->OnEditUndo();
    view->OnEditUndo();
    CHECK(view->m_undoPosition == 46);
    MoveLeft(view, t, 4000);
    CHECK(view->GetUndoCount() == 48);
    CHECK(view->m_undoPosition == 47);
    view->OnEditRedo();
    CHECK(t->left == 4000);
    CHECK(view->m_undoPosition == 47);
}

TEST_CASE("two drags in one step; the first previous text and the last next text") {
    View* view = Fresh();
    ViewObject* t = AddText(view, "Text 1", "Hello\b", 1000, 1000, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    view->BeginUndoStep();
    CRect before1(1000, 1000, 2000, 400);
    view->m_select.SetObjectRect(t, 1200, 1100, 2000, 400, &before1, kRectLeft | kRectTop);
    CRect before2(1200, 1100, 2000, 400);
    view->m_select.SetObjectRect(t, 1500, 1300, 2000, 400, &before2, kRectLeft | kRectTop);
    view->EndUndoStep();
    REQUIRE(view->GetUndoCount() == 1);
    view->OnEditUndo();
    CHECK(t->left == 1000);
    CHECK(t->top == 1000);
    view->OnEditRedo();
    CHECK(t->left == 1500);
    CHECK(t->top == 1300);

    view->BeginUndoStep();
    view->RecordUndoValue("prevText", t, "", "");
    t->SetText("First\b");
    view->RecordUndoValue("nextText", t, "", "");
    view->RecordUndoValue("prevText", t, "", "");
    t->SetText("Second\b");
    view->RecordUndoValue("nextText", t, "", "");
    view->EndUndoStep();
    view->OnEditUndo();
    CHECK(t->GetText() == "Hello\b");
    view->OnEditRedo();
    CHECK(t->GetText() == "Second\b");
}

TEST_CASE("a left of 0 and a hue of -1 are restored; so are fonts, colours and underlines") {
    View* view = Fresh();
    ViewObject* t = AddText(view, "Text 1", "Word\b", 0, 1000, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    MoveLeft(view, t, 700);
    view->OnEditUndo();
    CHECK(t->left == 0);
    view->OnEditRedo();
    CHECK(t->left == 700);

    // Moving to 0 is a change like any other.
    MoveLeft(view, t, 0);
    CHECK(t->left == 0);
    view->OnEditUndo();
    CHECK(t->left == 700);
    view->OnEditRedo();
    CHECK(t->left == 0);

    // Styles: a bold second letter, red colour, an underline.
    view->BeginUndoStep();
    for (const char* key : {"prevFont", "prevColor", "prevUnderline"}) view->RecordUndoValue(key, t, "", "");
    t->charFonts[1] = ViewObject::CopyFontRecord(t->charFonts[0]);
    t->charFonts[1]->lfWeight = 700;
    *t->charColors[0] = RGB(255, 0, 0);
    t->charUnderlines[2] = 1;
    for (const char* key : {"nextFont", "nextColor", "nextUnderline"}) view->RecordUndoValue(key, t, "", "");
    view->EndUndoStep();
    view->OnEditUndo();
    CHECK(t->charFonts[1] == nullptr);
    CHECK(t->charFonts[0]->lfWeight == 400);
    CHECK(*t->charColors[0] == RGB(0, 0, 0));
    CHECK(t->charUnderlines[2] == 0);
    view->OnEditRedo();
    REQUIRE(t->charFonts[1] != nullptr);
    CHECK(t->charFonts[1]->lfWeight == 700);
    CHECK(*t->charColors[0] == RGB(255, 0, 0));
    CHECK(t->charUnderlines[2] != 0);  // the layout keeps the line's thickness in the word

    // Hue, saturation and lightness: -1 is a real value.
    const std::string picture = MakePicture("hue", 60, 40, RGB(200, 60, 60));
    ViewObject* side = view->m_design.GetCurrentSide();
    view->BeginUndoStep();
    view->InsertImage(CRect(side->left + 500, side->top + 500, side->left + 1500, side->top + 1200),
                      picture.c_str(), false);
    view->EndUndoStep();
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    image->hue = -1;
    image->saturation = -1;
    image->lightness = 5;
    FrameCommandState::Get().m_sliderFlags[0] = 1;
    view->BeginUndoStep();
    view->RecordUndoValue("prevHSL", image, "", "");
    image->hue = 30;
    image->saturation = 10;
    image->lightness = -1;
    view->RecordUndoValue("nextHSL", image, "", "");
    view->EndUndoStep();
    view->OnEditUndo();
    CHECK(image->hue == -1);
    CHECK(image->saturation == -1);
    CHECK(image->lightness == 5);
    CHECK(FrameCommandState::Get().m_sliderFlags[0] == 0);
    view->OnEditRedo();
    CHECK(image->hue == 30);
    CHECK(image->lightness == -1);
}

TEST_CASE("an inserted image: undo deletes it, redo recreates it from its file") {
    View* view = Fresh();
    const std::string picture = MakePicture("insert", 80, 40, RGB(30, 160, 60));
    ViewObject* side = view->m_design.GetCurrentSide();
    const int objects = [&] {
        int n = 0;
        view->m_design.ForEachObject([&](ViewObject*) { ++n; });
        return n;
    }();
    view->BeginUndoStep();
    view->RecordUndoValue("prevOrder", nullptr, "", "");
    view->InsertImage(CRect(side->left + 1000, side->top + 1000, side->left + 2500, side->top + 2500),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    const CString name = image->name;
    const int left = image->left, width = image->width;
    view->RecordUndoValue("nextRich", image, "", "");
    view->RecordUndoValue("nextOrder", image, "", "");
    view->EndUndoStep();
    view->OnEditUndo();
    CHECK(view->m_design.FindObject(name) == nullptr);
    int after = 0;
    view->m_design.ForEachObject([&](ViewObject*) { ++after; });
    CHECK(after == objects);
    view->OnEditRedo();
    ViewObject* again = view->m_design.FindObject(name);
    REQUIRE(again != nullptr);
    CHECK(again->left == left);
    CHECK(again->width == width);
    CHECK(again->imagePath == CString(picture.c_str()));
    CHECK(again->EnsureImageLoaded());
    REQUIRE(again->decodedImage != nullptr);
    CHECK(again->decodedImage->GetWidth() == 80u);
    // And undo once more deletes it again.
    view->OnEditUndo();
    CHECK(view->m_design.FindObject(name) == nullptr);
}

TEST_CASE("a deleted picture comes back with its own bytes, whatever became of its file") {
    View* view = Fresh();
    const std::string picture = MakePicture("deleted", 80, 40, RGB(30, 160, 60));
    const std::vector<unsigned char> original = kvtest::ReadFileBytes(picture);
    REQUIRE(original.size() > 8);
    ViewObject* side = view->m_design.GetCurrentSide();
    view->BeginUndoStep();
    view->RecordUndoValue("prevOrder", nullptr, "", "");
    view->InsertImage(CRect(side->left + 1000, side->top + 1000, side->left + 2500, side->top + 2500),
                      picture.c_str(), false);
    ViewObject* image = view->m_design.GetFirstSelected();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    view->RecordUndoValue("nextRich", image, "", "");
    view->RecordUndoValue("nextOrder", image, "", "");
    view->EndUndoStep();
    const CString name = image->name;
    view->OnSelectionChanged(name, TRUE);
    view->SetFocus();
    // The Delete key removes it; then its file is replaced by another picture of the same name.
    view->PostMessage(WM_KEYDOWN, VK_DELETE, 1);
    view->PostMessage(WM_KEYUP, VK_DELETE, 0xC0000001);
    Pump();
    REQUIRE(view->m_design.FindObject(name) == nullptr);
    MakePicture("deleted", 20, 30, RGB(200, 0, 0));
    REQUIRE(kvtest::ReadFileBytes(picture) != original);

    view->PostMessage(WM_COMMAND, ID_EDIT_UNDO, 0);
    Pump();
    ViewObject* back = view->m_design.FindObject(name);
    REQUIRE(back != nullptr);
    REQUIRE(back->EnsureImageLoaded());
    CHECK(back->decodedImage->GetWidth() == 80u);
    CHECK(back->decodedImage->GetHeight() == 40u);
    Gdiplus::Color pixel;
    back->decodedImage->GetPixel(60, 30, &pixel);
    CHECK(pixel.GetG() == 160);
    CHECK(pixel.GetR() == 30);

    // Redo deletes it again, and a second Undo still has the picture when the file is gone.
    view->PostMessage(WM_COMMAND, ID_EDIT_REDO, 0);
    Pump();
    REQUIRE(view->m_design.FindObject(name) == nullptr);
    REQUIRE(::DeleteFileA(picture.c_str()));
    view->PostMessage(WM_COMMAND, ID_EDIT_UNDO, 0);
    Pump();
    back = view->m_design.FindObject(name);
    REQUIRE(back != nullptr);
    CHECK(back->EnsureImageLoaded());
    CHECK(back->image.GetSize() == original.size());
}

TEST_CASE("an image that does not decode inserts nothing and leaves no step") {
    View* view = Fresh();
    const std::string folder = kvtest::TempDir("not-a-picture");
    const std::string path = folder + "\\broken.png";
    kvtest::WriteFileBytes(path, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    KvMessageBoxCapture boxes;
    ViewObject* made = nullptr;
    view->BeginUndoStep();
    made = view->InsertImageObject(CRect(1000, 1000, 2000, 2000), path.c_str(), false);
    CHECK(made == nullptr);
    CHECK(boxes.LastText() == "Invalid image format.");
    view->DropOpenUndoStep();
    CHECK(view->GetUndoCount() == 0);
    CHECK(view->m_openUndoStep == nullptr);
}

TEST_CASE("deleting an object is one step; undo brings it back in its place") {
    View* view = Fresh();
    AddText(view, "Text 1", "Keep me\b", 1000, 1000, 2000, 400);
    ViewObject* side = view->m_design.GetCurrentSide();
    view->OnSelectionChanged("Text 1", FALSE);
    // Sides, pages and boundaries cannot be deleted.
    view->OnSelectionChanged(side->name, FALSE);
    view->OnDeleteObject();
    CHECK(view->GetUndoCount() == 0);
    view->OnSelectionChanged("Text 1", FALSE);
    view->OnDeleteObject();
    CHECK(view->m_design.FindObject("Text 1") == nullptr);
    CHECK(view->GetUndoCount() == 1);
    view->OnEditUndo();
    ViewObject* back = view->m_design.FindObject("Text 1");
    REQUIRE(back != nullptr);
    CHECK(back->GetText() == "Keep me\b");
    CHECK(back->left == 1000);
    view->OnEditRedo();
    CHECK(view->m_design.FindObject("Text 1") == nullptr);
}

TEST_CASE("undo of a disc layout change back to one disc shows disc 1") {
    View* view = Fresh("Disc 1", kLayout1DiscTop);
    view->SetDiscLayout(kLayout2DiscTop);
    REQUIRE(view->GetUndoCount() == 1);
    CHECK(view->m_design.IsTwoDiscLayout());
    view->ShowSide("Disc 2");
    REQUIRE(view->m_design.currentSideName == "Disc 2");
    view->OnEditUndo();
    CHECK(view->m_design.IsSingleDiscLayout());
    CHECK(view->m_design.currentSideName == "Disc 1");
    view->OnEditRedo();
    CHECK(view->m_design.IsTwoDiscLayout());
    // Setting the layout in force records nothing.
    view->SetDiscLayout(kLayout2DiscTop);
    CHECK(view->GetUndoCount() == 1);
}

TEST_CASE("an album field edit on the side is undone with the field") {
    View* view = Fresh();
    ViewObject* side = view->m_design.GetCurrentSide();
    const CString before = view->m_design.GetAlbumField("Artist");
    view->BeginUndoStep();
    view->RecordUndoValue("prevText", side, "", "");
    view->SetDocumentText("Artist", "Someone Else\b");
    view->RecordUndoValue("nextText", side, "", "");
    view->EndUndoStep();
    CHECK(Host().Called("UpdateField Artist"));
    view->OnEditUndo();
    CHECK(view->m_design.GetAlbumField("Artist") == before);
    view->OnEditRedo();
    CHECK(view->m_design.GetAlbumField("Artist") == "Someone Else\b");
}

TEST_CASE("an insertion with no side to put the object on leaves no step; the image filter names .tiff") {
    View* view = Fresh();
    view->m_contextPoint = CPoint(-1, -1);
    view->m_design.currentSideName = "No Such Side";
    view->m_design.ClearSelection();
    view->InsertObject("Text");
    CHECK(view->GetUndoCount() == 0);
    CHECK(view->m_openUndoStep == nullptr);
    // A step opened by the caller stays open for it.
    view->BeginUndoStep();
    view->InsertObject("Text");
    CHECK(view->m_openUndoStep != nullptr);
    view->DropOpenUndoStep();
    const std::string filter = kInsertImageFilter;
    CHECK(filter.find("TIFF Files (*.tif;*.tiff)|*.tif;*.tiff|") != std::string::npos);
    CHECK(filter.find(";*tiff") == std::string::npos);
}

TEST_CASE("a step opened and dropped without a change leaves undo and redo as they were") {
    // A slider pressed and let go without a move, or a picker closed without a change, opens a
    // step and drops it: the redo history must survive.
    View* view = Fresh();
    ViewObject* t = AddText(view, "Text 1", "Hello\b", 1000, 1000, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    MoveLeft(view, t, 1100);
    MoveLeft(view, t, 1200);
    MoveLeft(view, t, 1300);
    view->OnEditUndo();
    view->OnEditUndo();
    REQUIRE(t->left == 1100);
    REQUIRE(view->m_undoPosition == 0);
    view->BeginUndoStep();
    view->DropOpenUndoStep();
    CHECK(view->GetUndoCount() == 3);
    CHECK(view->m_undoPosition == 0);
    view->OnEditRedo();
    view->OnEditRedo();
    CHECK(t->left == 1300);
    // A step that is ended after the drop is a new step as usual.
    MoveLeft(view, t, 1400);
    CHECK(view->GetUndoCount() == 4);
    view->OnEditUndo();
    CHECK(t->left == 1300);
}

TEST_CASE("a step whose values are the same before and after is not kept: Redo and the modified flag stay") {
    View* view = Fresh();
    ViewObject* t = AddText(view, "Text 1", "Hello\b", 1000, 1000, 2000, 400);
    view->OnSelectionChanged("Text 1", FALSE);
    MoveLeft(view, t, 1100);
    MoveLeft(view, t, 1200);
    view->OnEditUndo();
    REQUIRE(view->m_undoPosition == 0);
    CDocument* doc = view->UndoDocument();
    if (doc) doc->SetModifiedFlag(FALSE);
    // The same left again, the same alignment, the fonts recorded around nothing.
    MoveLeft(view, t, 1100);
    view->BeginUndoStep();
    view->RecordUndoValue("alignment", t, t->alignment, t->alignment);
    view->RecordUndoValue("prevFont", t, "", "");
    view->RecordUndoValue("nextFont", t, "", "");
    view->EndUndoStep();
    CHECK(view->GetUndoCount() == 2);
    CHECK(view->m_undoPosition == 0);
    if (doc) CHECK_FALSE(doc->IsModified());
    view->OnEditRedo();
    CHECK(t->left == 1200);
    // One value that differs keeps the step.
    view->OnEditUndo();
    const BYTE italic = t->charFonts[0]->lfItalic;
    view->BeginUndoStep();
    view->RecordUndoValue("prevFont", t, "", "");
    t->charFonts[0]->lfItalic = !italic;
    view->RecordUndoValue("nextFont", t, "", "");
    view->EndUndoStep();
    CHECK(view->GetUndoCount() == 2);
    CHECK(view->m_undoPosition == 1);
    view->OnEditUndo();
    CHECK(t->charFonts[0]->lfItalic == italic);
    CHECK(t->left == 1100);
}
