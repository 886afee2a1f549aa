// The formatting and colour bars working on the real view: bold on a selected word, an option
// chosen from its menu, a hue drag and a key on a slider, a palette click, each as the undo
// steps of the view count them.
#include <doctest.h>

#include <functional>
#include <vector>

#include "CanvasFixture.h"
#include "GuiSupport.h"
#include "bars/ToolColorNew.h"
#include "bars/ToolFont.h"
#include "canvas/AppCanvasState.h"
#include "controls/ThemeResources.h"
#include "res/CommandIds.h"
#include "res/FormatBarsIds.h"
#include "res/ResourceImages.h"

namespace {

// The view's host with the two bars connected, as the main frame connects them.
struct BarsHost : cvtest::RecordingHost {
    CToolFont* font = nullptr;
    CToolColorNew* colors = nullptr;
    void UpdateFontBarFromSelection(ViewObject* object) override { font->UpdateFromSelection(object); }
    void UpdateColorBarFromSelection(ViewObject* object) override { colors->UpdateFromSelection(object); }
    int GetFormatBarButtonCount() override { return font->GetToolBarCtrl().GetButtonCount(); }
    int GetFormatBarButtonImage(int index) override { return font->GetButtonImage(index); }
    void SetFormatBarButtonImage(int index, int image) override { font->SetButtonImage(index, image); }
    void ShowFontName(const CString& name) override { font->ShowFontName(name); }
    void ShowFontSizeText(const CString& text) override { font->ShowFontSizeText(text); }
    void SetAspectButtonCommand(UINT command) override { font->m_menuAspect.SetCurrentItemById(command); }
};

struct World {
    View* view;
    CFrameWnd* frame;
    CToolFont font;
    CToolColorNew colors;
    BarsHost host;
    CImageList normal, hot;
    std::vector<std::function<void()>> hslRuns;

    World() : view(cvtest::EnsureView()), frame(view->GetParentFrame()) {
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
        const DWORD flat = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
        REQUIRE(colors.CreateEx(frame, flat, 0x40402800, CRect(0, 0, 0, 0), 1053));
        colors.CreateControls();
        REQUIRE(font.CreateEx(frame, flat, 0x40402830, CRect(0, 0, 0, 0), 1060));
        normal.Create(19, 19, ILC_COLOR24 | ILC_MASK, 12, 0);
        HBITMAP strip =
            static_cast<HBITMAP>(::LoadImage(::GetModuleHandle(nullptr), MAKEINTRESOURCE(IDB_PROPBAR_NORMAL),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ImageList_AddMasked(normal.GetSafeHandle(), strip, RGB(255, 0, 255));
        ::DeleteObject(strip);
        font.GetToolBarCtrl().SetImageList(&normal);
        font.CreateControls();
        frame->EnableDocking(CBRS_ALIGN_ANY);
        colors.EnableDocking(CBRS_ALIGN_TOP);
        font.EnableDocking(CBRS_ALIGN_TOP);
        frame->DockControlBar(&colors, AFX_IDW_DOCKBAR_TOP);
        frame->DockControlBar(&font, AFX_IDW_DOCKBAR_TOP);
        frame->ShowControlBar(&colors, TRUE, FALSE);
        frame->ShowControlBar(&font, TRUE, FALSE);
        host.font = &font;
        host.colors = &colors;
        View::SetHost(&host);
        AppCanvasState::Get().m_splashDone = 1;
        // The colour worker's runs wait here until the test lets them go.
        ViewSelect::SetHslExecutor([this](std::function<void()> run) { hslRuns.push_back(run); });
        frame->RecalcLayout();
        cvtest::Pump();
    }
    void Settle() {
        kvtest::PumpUntil([&] { return font.m_bLayoutSettled == 1; }, 500);
        for (int i = 0; i < 5; ++i) cvtest::Pump();
    }
    ViewObject* Select(const char* name) {
        view->OnSelectionChanged(name, TRUE);
        Settle();
        return view->m_design.GetFirstSelected();
    }
};

World& TheWorld() {
    static World* world = new World;
    return *world;
}

void Click(CWnd& window, CPoint at) {
    window.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    cvtest::Pump();
}

LONG WeightAt(ViewObject* o, int index) {
    for (int i = index; i >= 0; --i)
        if (i < o->charFonts.GetSize() && o->charFonts[i]) return o->charFonts[i]->lfWeight;
    return 0;
}

// The steps applied (undone ones do not count; a new step drops them).
int Applied(View* view) {
    return view->m_undoPosition + 1;
}

int Records(ViewObject* o) {
    int n = 0;
    for (INT_PTR i = 0; i < o->charFonts.GetSize(); ++i) n += o->charFonts[i] != nullptr;
    return n;
}

}  // namespace

TEST_CASE("bold on a selected word: the bold run, one undo step, and undo merges it back") {
    World& w = TheWorld();
    cvtest::AddText(w.view, "Text 1", "Hello big world", 500, 500, 3000, 600);
    ViewObject* text = w.Select("Text 1");
    REQUIRE(text != nullptr);
    REQUIRE(Records(text) == 1);
    w.view->m_select.SetSelection(6, 9);
    w.view->m_select.UpdateHighlight(false, false);
    w.view->m_select.ShowFontSize();
    REQUIRE(w.font.GetButtonImage(CToolFont::kBoldIndex) == 0);
    // The canvas shows the selection's face and size in the boxes.
    CString face, size;
    w.font.m_fontName.GetWindowText(face);
    w.font.m_fontSize.GetWindowText(size);
    CHECK(face == "Arial");
    CHECK(size == "40.0");
    const int steps = Applied(w.view);

    CRect bold;
    w.font.GetItemRect(CToolFont::kBoldIndex, &bold);
    Click(w.font, bold.CenterPoint());
    CHECK(Applied(w.view) == steps + 1);
    CHECK(w.view->m_openUndoStep == nullptr);
    CHECK(WeightAt(text, 5) == 400);
    CHECK(WeightAt(text, 6) == 700);
    CHECK(WeightAt(text, 8) == 700);
    CHECK(WeightAt(text, 9) == 400);
    CHECK(Records(text) == 3);
    CHECK(w.font.GetButtonImage(CToolFont::kBoldIndex) == 3);  // the canvas shows the bold state

    w.view->OnEditUndo();
    CHECK(WeightAt(text, 7) == 400);

    // A double click is two presses: bold on, then off again, in two steps.
    w.view->m_select.ShowFontSize();
    const int before = Applied(w.view);
    w.font.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(bold.CenterPoint().x, bold.CenterPoint().y));
    w.font.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bold.CenterPoint().x, bold.CenterPoint().y));
    cvtest::Pump();
    CHECK(WeightAt(text, 7) == 700);
    w.font.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(bold.CenterPoint().x, bold.CenterPoint().y));
    w.font.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(bold.CenterPoint().x, bold.CenterPoint().y));
    cvtest::Pump();
    CHECK(WeightAt(text, 7) == 400);
    CHECK(Applied(w.view) == before + 2);
}

TEST_CASE("an angle chosen from its drop-down button turns the text, as one step") {
    World& w = TheWorld();
    ViewObject* text = w.Select("Text 1");
    REQUIRE(text != nullptr);
    const int steps = Applied(w.view);
    ::SetCursorPos(5, 790);
    for (UINT key : {UINT(VK_DOWN), UINT(VK_DOWN), UINT(VK_RETURN)}) {
        ::PostMessage(w.font.m_menuAngle.m_hWnd, WM_KEYDOWN, key, 1);
        ::PostMessage(w.font.m_menuAngle.m_hWnd, WM_KEYUP, key, 0xC0000001);
    }
    w.font.m_menuAngle.ShowMenu();
    cvtest::Pump();
    CHECK(text->angle == "90 degrees");
    CHECK(Applied(w.view) == steps + 1);
    w.view->OnEditUndo();
    CHECK(text->angle == "0 degrees");
}

TEST_CASE("the hue slider: a drag is one step and moves during a run give one rerun; a key one closed step") {
    World& w = TheWorld();
    const std::string picture = cvtest::MakePicture("hue", 40, 30, RGB(200, 80, 40));
    w.view->BeginUndoStep();
    ViewObject* image = w.view->InsertImageObject(CRect(600, 600, 1600, 1400), picture.c_str(), false);
    w.view->EndUndoStep();
    cvtest::Pump();
    REQUIRE(image != nullptr);
    REQUIRE(image->IsImage());
    w.Select(image->name);
    REQUIRE(::IsWindowVisible(w.font.m_sliderHue.m_hWnd));
    w.hslRuns.clear();
    const int steps = Applied(w.view);

    CSliderCustom& hue = w.font.m_sliderHue;
    CRect channel;
    hue.GetChannelRect(&channel);
    auto at = [&](int value) {
        return CPoint(channel.left + channel.Width() * (value + 180) / 360, channel.CenterPoint().y);
    };
    hue.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at(0).x, at(0).y));
    cvtest::Pump();
    for (int value : {30, 60, 90}) {
        hue.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at(value).x, at(value).y));
        cvtest::Pump();
    }
    hue.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at(90).x, at(90).y));
    cvtest::Pump();
    CHECK(Applied(w.view) == steps + 1);
    CHECK(w.view->m_openUndoStep == nullptr);
    CHECK(image->hue == hue.GetPos());
    // The first move started the worker; the others, while it ran, asked for one more run.
    REQUIRE(w.hslRuns.size() == 1);
    CHECK(AppCanvasState::Get().m_hslRerun == 1);
    w.hslRuns[0]();
    CHECK(kvtest::PumpUntil([&] { return w.hslRuns.size() == 2; }, 1000));
    w.hslRuns[1]();
    kvtest::PumpUntil([&] { return AppCanvasState::Get().m_hslResultReady == 0; }, 1000);
    cvtest::Pump();
    CHECK(w.hslRuns.size() == 2);

    hue.SetFocus();
    hue.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    hue.SendMessage(WM_KEYUP, VK_RIGHT, 0xC0000001);
    cvtest::Pump();
    CHECK(Applied(w.view) == steps + 2);
    CHECK(w.view->m_openUndoStep == nullptr);
    CHECK(image->hue == hue.GetPos());
}

TEST_CASE("a palette click colours the selected text in one step") {
    World& w = TheWorld();
    ViewObject* text = w.Select("Text 1");
    REQUIRE(text != nullptr);
    w.view->m_select.SetSelection(0, text->GetCharCount());
    w.view->m_select.UpdateHighlight(false, false);
    const int steps = Applied(w.view);
    const CRect swatch = CToolColorNew::FindSwatch(w.colors.GetPaletteImage(), RGB(0, 255, 0));
    REQUIRE_FALSE(swatch.IsRectEmpty());
    w.colors.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(swatch.CenterPoint().x, swatch.CenterPoint().y));
    w.colors.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(swatch.CenterPoint().x, swatch.CenterPoint().y));
    w.colors.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(swatch.CenterPoint().x, swatch.CenterPoint().y));
    cvtest::Pump();
    CHECK(Applied(w.view) == steps + 1);
    const COLORREF* first = w.view->m_select.GetRunObject(text, 0);
    const COLORREF* last = w.view->m_select.GetRunObject(text, text->GetCharCount() - 1);
    REQUIRE((first && last));
    CHECK(*first == RGB(0, 255, 0));
    CHECK(*last == RGB(0, 255, 0));
    CHECK(w.colors.GetIndicator() == swatch);
    w.view->OnEditUndo();
    CHECK(*w.view->m_select.GetRunObject(text, 0) == RGB(0, 0, 0));
}

TEST_CASE("a visit of the colour picker is one step; Cancel takes it back; a visit without a change leaves the design unmodified") {
    World& w = TheWorld();
    ViewObject* text = w.Select("Text 1");
    REQUIRE(text != nullptr);
    w.view->m_select.SetSelection(0, text->GetCharCount());
    w.view->m_select.UpdateHighlight(false, false);
    w.view->m_select.SetColor(text, RGB(200, 100, 50), FALSE);
    w.colors.UpdateFromSelection(nullptr);
    DlgColorPicker& picker = w.colors.GetPicker();
    const int before = Applied(w.view);
    w.colors.SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
    cvtest::Pump();
    REQUIRE(picker.IsWindowVisible());
    REQUIRE(w.view->m_openUndoStep != nullptr);
    const CPoint centre = picker.GetWheelCentre();
    picker.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x + 100, centre.y));
    picker.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(centre.x, centre.y - 100));
    picker.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y - 100));
    const COLORREF chosen = picker.GetColor();
    CHECK(chosen == RGB(HsbToRgb(89, 255, 200).red, HsbToRgb(89, 255, 200).green, 0));
    CHECK(*w.view->m_select.GetRunObject(text, 0) == chosen);
    w.frame->SetActiveWindow();
    w.view->SetFocus();
    cvtest::Pump();
    CHECK(w.view->m_openUndoStep == nullptr);
    CHECK(Applied(w.view) == before + 1);

    // Shown again, changed, and cancelled: the design gets its colour back in one undo.
    w.colors.SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
    picker.SetActiveWindow();
    cvtest::Pump();
    REQUIRE(w.view->m_openUndoStep != nullptr);
    picker.SetDlgItemText(IDC_PICKER_RED, "10");
    CHECK(*w.view->m_select.GetRunObject(text, 0) != chosen);
    picker.SendMessage(WM_COMMAND, IDCANCEL);
    cvtest::Pump();
    CHECK(*w.view->m_select.GetRunObject(text, 0) == chosen);
    CHECK_FALSE(picker.IsWindowVisible());

    // Shown and closed with nothing changed: a saved design stays unmodified.
    CDocument* doc = w.view->GetParentFrame()->GetActiveDocument();
    REQUIRE(doc != nullptr);
    doc->SetModifiedFlag(FALSE);
    const int steps = Applied(w.view);
    w.colors.SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
    cvtest::Pump();
    REQUIRE(w.view->m_openUndoStep != nullptr);
    picker.SendMessage(WM_COMMAND, IDCANCEL);
    cvtest::Pump();
    CHECK(Applied(w.view) == steps);
    CHECK_FALSE(doc->IsModified());
}
