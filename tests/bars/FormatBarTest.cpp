// The formatting bar in a docked frame: its layout for each kind of object, the option lists it
// builds, the fitting of the option row into a narrow window, the background in the gaps between
// its controls, and what its buttons, option buttons and colour sliders ask of the canvas, with
// the undo steps they make.
#include <doctest.h>

#include "BarsHarness.h"
#include "GuiSupport.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "framework/win/ScopedGdi.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

using barstest::ButtonCount;
using barstest::Visible;

namespace {

barstest::Harness& Ready(ViewObject* select = nullptr) {
    barstest::Harness& h = barstest::TheHarness();
    h.SetFrameWidth(1100);
    if (select) h.canvas.Select(select);
    h.canvas.Reset();
    return h;
}

// Lets the deferred show run (timer 1105) so the bar takes its new size.
void Settle(barstest::Harness& h) {
    kvtest::PumpUntil([&] { return h.Bar().m_bLayoutSettled == 1; }, 5000);
    h.Pump();
}

void Update(barstest::Harness& h, ViewObject* object) {
    h.canvas.Select(object);
    h.Bar().UpdateFromSelection(nullptr);
    Settle(h);
}

// The image a tool-bar button shows.
int Image(CToolFont& bar, int index) {
    return bar.GetButtonImage(index);
}

CPoint ItemCentre(CToolBar& bar, int index) {
    CRect item;
    bar.GetItemRect(index, &item);
    return item.CenterPoint();
}

// A click as the mouse gives it to a window.
// The release is queued first: a press that starts a loop of its own (a button's tracking, a
// bar's drag) finds it there.
void Click(CWnd& window, CPoint at, bool twice = false) {
    for (UINT press : {UINT(WM_LBUTTONDOWN), UINT(WM_LBUTTONDBLCLK)}) {
        if (press == WM_LBUTTONDBLCLK && !twice) break;
        window.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        window.SendMessage(press, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        kvtest::PumpPending();
    }
}

}  // namespace

TEST_CASE("the option buttons keep their pictures after the idle time frees temporary objects") {
    barstest::Harness& h = Ready();
    CButtonMenu& angle = h.Bar().m_menuAngle;
    REQUIRE(angle.GetItemCount() == 4);
    // The list the buttons draw from must outlive the idle time's clean-up of temporary wrappers.
    REQUIRE(angle.m_pImageList != nullptr);
    CHECK(CImageList::FromHandlePermanent(angle.m_pImageList->GetSafeHandle()) == angle.m_pImageList);
    AfxDeleteTempMaps();
    angle.SetCurrentItemById(ID_ANGLE_0);
    const HICON first = angle.GetFirstIcon();
    CHECK(first != nullptr);
    angle.SetCurrentItemById(ID_ANGLE_90);
    CHECK(angle.GetFirstIcon() != nullptr);
    CHECK(angle.GetFirstIcon() != first);
    CHECK(angle.m_pImageList->GetImageCount() == ImageList_GetImageCount(g_toolImageList));

    // Every change of the current item gives the button a new picture; none of them stays behind.
    auto gdiObjects = [] {
        int n = 0;
        for (UINT_PTR value = 1; value < 0x10000; ++value)
            if (::GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++n;
        return n;
    };
    const int before = gdiObjects();
    for (int i = 0; i < 20; ++i) angle.SetCurrentItemById(i % 2 ? ID_ANGLE_90 : ID_ANGLE_180);
    CHECK(gdiObjects() <= before);
}

TEST_CASE("the formatting bar lays itself out for the selected object") {
    barstest::Harness& h = Ready();
    CToolFont& bar = h.Bar();
    barstest::RecordingCanvas& c = h.canvas;

    SUBCASE("an album-field text shows the linking option, a free text does not") {
        ViewObject* artist = c.Add(kObjectText, "Artist", 1);
        artist->bLinkText = 1;
        artist->alignment = "Right";
        Update(h, artist);
        CHECK(ButtonCount(bar) == 18);
        CHECK((Visible(bar.m_fontName) && Visible(bar.m_fontSize) && Visible(bar.m_menuLinking)));
        CHECK_FALSE(
            (Visible(bar.m_sliderHue) || Visible(bar.m_menuAspect) || Visible(bar.m_menuTrackLayout)));
        CHECK(bar.m_menuLinking.GetCurrentId() == ID_TEXT_LINKING_ON);
        CHECK(bar.m_menuWrapping.GetItemCount() == 3);
        CHECK(bar.m_menuWrapping.GetCurrentText() == "Word-Wrap");
        CHECK(bar.m_menuAngle.GetCurrentText() == "0 degrees");
        CHECK(Image(bar, 8) == 6);
        CHECK(Image(bar, 10) == 11);  // the right alignment shows its active picture
        CHECK(Image(bar, 4) == 0);    // the canvas set the bold button
        CHECK(c.Count("ShowFontSize") == 1);

        ViewObject* free = c.Add(kObjectText, "Text 1", 1);
        free->wrapStyle = "No Wrap";
        free->angle = "270 degrees";
        Update(h, free);
        CHECK(ButtonCount(bar) == 16);
        CHECK_FALSE(Visible(bar.m_menuLinking));
        CHECK(bar.m_menuWrapping.GetCurrentText() == "Multi-Line");
        CHECK(bar.m_menuAngle.GetCurrentText() == "270 degrees");
        // Laid out again for the same text, the bar builds no button anew: a mark put on one stays.
        TBBUTTONINFOA mark = {};
        mark.cbSize = sizeof mark;
        mark.dwMask = TBIF_BYINDEX | TBIF_LPARAM;
        mark.lParam = 42;
        bar.GetToolBarCtrl().Send(TB_SETBUTTONINFOA, 0, reinterpret_cast<LPARAM>(&mark));
        Update(h, free);
        mark.lParam = 0;
        bar.GetToolBarCtrl().Send(TB_GETBUTTONINFOA, 0, reinterpret_cast<LPARAM>(&mark));
        CHECK(mark.lParam == 42);
        // The font boxes stand over their separators.
        CRect box, slot;
        bar.m_fontSize.GetWindowRect(&box);
        bar.ScreenToClient(&box);
        bar.GetItemRect(2, &slot);
        CHECK(box.left == slot.left);
        CRect angle;
        bar.m_menuAngle.GetWindowRect(&angle);
        bar.ScreenToClient(&angle);
        bar.GetItemRect(12, &slot);
        CHECK(angle.left == slot.left);
    }
    SUBCASE("track lists: six layouts on the disc, three on a cover, three wraps in a table") {
        ViewObject* onDisc = c.Add(kObjectTrack, "Track List", 1);
        Update(h, onDisc);
        CHECK(ButtonCount(bar) == 22);
        CHECK(bar.m_menuTrackLayout.GetItemCount() == 6);
        CHECK(bar.m_menuTrackLayout.GetCurrentText() == "Top && Bottom");
        CHECK(bar.m_menuWrapping.GetItemCount() == 4);
        CHECK(bar.m_menuWrapping.GetCurrentText() == "Track-Wrap");
        CHECK(bar.m_menuNumbersTimes.GetCurrentId() == ID_TRACK_NUMBERS_TIMES);
        CHECK(Visible(bar.m_menuNumbersTimes));

        ViewObject* onCover = c.Add(kObjectTrack, "Track List - Back", 3);
        onCover->textLayout = "Table Format";
        onCover->wrapStyle = "Multi-Line";
        Update(h, onCover);
        CHECK(bar.m_menuTrackLayout.GetItemCount() == 3);
        CHECK(bar.m_menuTrackLayout.GetCurrentId() == ID_TRACKS_TABLE_FORMAT);
        CHECK(bar.m_menuWrapping.GetItemCount() == 3);
    }
    SUBCASE("an image shows the order buttons, the aspect option and its colour sliders") {
        ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
        image->hue = 40;
        image->saturation = -20;
        image->bAspectRatio = 1;
        Update(h, image);
        CHECK(ButtonCount(bar) == 12);
        CHECK((Visible(bar.m_sliderHue) && Visible(bar.m_btnBringToFront) && Visible(bar.m_menuAspect)));
        CHECK_FALSE((Visible(bar.m_fontName) || Visible(bar.m_menuAngle)));
        CHECK(bar.m_sliderHue.GetPos() == 40);
        CHECK(bar.m_sliderSaturation.GetPos() == -20);
        CHECK(bar.m_menuAspect.GetCurrentId() == ID_LOCK_ASPECT_RATIO);
        CRect hue;
        bar.m_sliderHue.GetWindowRect(&hue);
        CHECK(hue.Width() == 201);

        // A narrow window gives narrower sliders, never below 127 pixels.
        h.SetFrameWidth(700);
        bar.UpdateFromSelection(nullptr);
        Settle(h);
        bar.m_sliderHue.GetWindowRect(&hue);
        CHECK(hue.Width() < 201);
        CHECK(hue.Width() >= 127);
        h.SetFrameWidth(400);
        bar.UpdateFromSelection(nullptr);
        bar.m_sliderHue.GetWindowRect(&hue);
        CHECK(hue.Width() == 127);
        CHECK(bar.m_sliderWidth == 201);
    }
    SUBCASE("sides: label template, dimensions, and on a disc the margin and disc position") {
        g_units = "Inches";
        c.design.currentSideName = "Disc 1";
        ViewObject* disc = c.Find("Disc 1");
        REQUIRE(disc != nullptr);
        disc->textMargin = 100;
        Update(h, disc);
        CHECK((Visible(bar.m_btnChangeTemplate) && Visible(bar.m_btnEditDimensions)));
        CHECK((Visible(bar.m_menuTextMargin) && Visible(bar.m_menuDiscPosition)));
        CHECK(ButtonCount(bar) == 8);
        CHECK(bar.m_menuTextMargin.GetCurrentText() == "0.10'' Text Margin");
        CHECK(bar.m_menuDiscPosition.GetCurrentId() ==
              DiscPositionCommandForLayout(c.design.GetDiscLayout()));

        g_units = "Millimeters";
        Update(h, disc);
        CHECK(bar.m_menuTextMargin.GetCurrentText() == "2.5 mm Text Margin");

        c.design.currentSideName = "Front Cover";
        Update(h, c.Find("Front Cover"));
        CHECK(Visible(bar.m_btnEditDimensions));
        CHECK_FALSE((Visible(bar.m_menuTextMargin) || Visible(bar.m_menuDiscPosition)));
        CHECK(ButtonCount(bar) == 4);
        c.design.currentSideName = "Disc 1";
        g_units = "Inches";
    }
    SUBCASE("a narrow window turns the option captions off from the right, a wide one back on") {
        ViewObject* tracks = c.Add(kObjectTrack, "Track List", 1);
        h.SetFrameWidth(900);
        Update(h, tracks);
        CHECK(bar.m_menuTrackLayout.m_bShowCaption == 0);
        CHECK(bar.m_menuAngle.m_bShowCaption == 1);
        CRect last, frame;
        bar.m_menuTrackLayout.GetWindowRect(&last);
        h.frame->GetWindowRect(&frame);
        CHECK(last.right + 8 + 5 <= frame.right);
        h.SetFrameWidth(1280);
        Update(h, tracks);
        CHECK(bar.m_menuTrackLayout.m_bShowCaption == 1);
    }
    SUBCASE("the Text Editor bar names its fields after the disc of the selected object") {
        c.design.SetDiscLayout(3);
        ViewObject* second = c.Add(kObjectText, "Title - Disc 2", 1);
        Update(h, second);
        CHECK(h.frame->m_textBar.m_discSuffix == " - Disc 2");
        c.design.SetDiscLayout(0);
        Update(h, c.Add(kObjectText, "Artist", 1));
        CHECK(h.frame->m_textBar.m_discSuffix.IsEmpty());
    }
    SUBCASE("nothing changes during print preview or without an object") {
        ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
        Update(h, image);
        c.preview = true;
        Update(h, c.Add(kObjectText, "Artist", 1));
        CHECK(ButtonCount(bar) == 12);
        c.preview = false;
        c.Select(nullptr);
        bar.UpdateFromSelection(nullptr);
        CHECK(ButtonCount(bar) == 12);
    }
}

TEST_CASE("the gaps between the formatting bar's controls show only the bar's background") {
    barstest::Harness& h = Ready();
    CToolFont& bar = h.Bar();
    Update(h, h.canvas.Add(kObjectText, "Text 7", 1));
    bar.Invalidate();
    // The bar's neighbours in the dock reach over its edge (the colour bar's border lies over its
    // first rows) and may draw after it: only the pixels no other bar covers are the bar's own.
    std::vector<CRect> neighbours;
    CRect barOnScreen;
    bar.GetWindowRect(&barOnScreen);
    for (CWnd* w = bar.GetParent()->GetWindow(GW_CHILD); w != nullptr; w = w->GetWindow(GW_HWNDNEXT)) {
        CRect r, overlap;
        w->GetWindowRect(&r);
        if (w != &bar && w->IsWindowVisible() && overlap.IntersectRect(r, barOnScreen)) neighbours.push_back(r);
    }
    CClientDC screen(nullptr);
    int gaps = 0;
    for (int i = 0; i < ButtonCount(bar); ++i) {
        UINT id = 0, style = 0;
        int width = 0;
        bar.GetButtonInfo(i, id, style, width);
        if (!(style & TBBS_SEPARATOR) || id != 0) continue;
        ++gaps;
        CRect gap;
        bar.GetItemRect(i, &gap);
        // The bar's background: tiles from the corner of its client area.
        ScopedMemoryDC tiles(screen, gap.right, gap.bottom);
        TileThemeBackground(tiles, CRect(0, 0, gap.right, gap.bottom), 0, 0, 1);
        CRect onScreen = gap;
        bar.ClientToScreen(&onScreen);
        auto covered = [&](int x, int y) {
            for (const CRect& r : neighbours)
                if (r.PtInRect(CPoint(onScreen.left + x, onScreen.top + y))) return true;
            return false;
        };
        auto background = [&](const kvtest::Capture& shown) {
            if (shown.width != gap.Width() || shown.height != gap.Height()) return false;
            for (int y = 0; y < gap.Height(); ++y)
                for (int x = 0; x < gap.Width(); ++x)
                    if (!covered(x, y) && shown.At(x, y) != kvtest::Rgb(::GetPixel(tiles, gap.left + x, gap.top + y)))
                        return false;
            return true;
        };
        CAPTURE(i);
        CHECK(kvtest::PumpUntil([&] { return background(kvtest::CaptureRect(onScreen)); }, 5000));
    }
    CHECK(gaps >= 4);
}

TEST_CASE("the formatting bar's buttons and option buttons change the selection in one step each") {
    barstest::Harness& h = Ready();
    CToolFont& bar = h.Bar();
    barstest::RecordingCanvas& c = h.canvas;
    ViewObject* artist = c.Add(kObjectText, "Artist", 1);
    Update(h, artist);
    c.Reset();

    SUBCASE("bold, underline and alignment from the tool-bar buttons") {
        Click(bar, ItemCentre(bar, CToolFont::kBoldIndex));
        REQUIRE(c.steps.size() == 1);
        CHECK(c.steps[0].keys == std::vector<std::string>{"prevFont", "nextFont"});
        CHECK(c.Count("OnBold") == 1);
        CHECK(::GetFocus() == c.view);
        Click(bar, ItemCentre(bar, CToolFont::kUnderlineIndex));
        CHECK(c.steps.back().keys == std::vector<std::string>{"prevUnderline", "nextUnderline"});
        Click(bar, ItemCentre(bar, CToolFont::kAlignLeftIndex + 1));
        CHECK(c.Count("OnAlignCenter") == 1);
        CHECK(c.steps.size() == 3);
        // A double click is a second press: bold twice, in two steps.
        Click(bar, ItemCentre(bar, CToolFont::kBoldIndex), true);
        CHECK(c.Count("OnBold") == 3);
        CHECK(c.steps.size() == 5);
        // A separator only gives the canvas the focus.
        Click(bar, ItemCentre(bar, 7));
        CHECK(c.steps.size() == 5);
    }
    SUBCASE("an angle chosen from its drop-down menu") {
        ::SetCursorPos(5, 700);
        for (UINT key : {UINT(VK_DOWN), UINT(VK_DOWN), UINT(VK_RETURN)}) {
            ::PostMessage(bar.m_menuAngle.m_hWnd, WM_KEYDOWN, key, 1);
            ::PostMessage(bar.m_menuAngle.m_hWnd, WM_KEYUP, key, 0xC0000001);
        }
        bar.m_menuAngle.ShowMenu();
        CHECK(c.Last("SetAngle") == "SetAngle:90 degrees");
        CHECK(artist->angle == "90 degrees");
        CHECK(c.steps.size() == 1);
        CHECK(c.Count("UpdateTextLayout") == 1);
        CHECK(bar.m_menuAngle.GetCurrentText() == "90 degrees");
        CHECK(::GetFocus() == c.view);
    }
    SUBCASE("wrapping, linking, track layout and numbers") {
        bar.m_menuWrapping.SetCurrentItemByText("Multi-Line");
        bar.SendMessage(WM_COMMAND, ID_WRAP_MULTI_LINE);
        CHECK(c.Last("SetWrapStyle") == "SetWrapStyle:Multi-Line");
        bar.m_menuLinking.SetCurrentItemById(ID_TEXT_LINKING_OFF);
        bar.SendMessage(WM_COMMAND, ID_TEXT_LINKING_OFF);
        CHECK(c.Last("SetLinkText") == "SetLinkText:0");
        CHECK(c.steps.size() == 2);

        ViewObject* tracks = c.Add(kObjectTrack, "Track List", 1);
        Update(h, tracks);
        bar.m_menuTrackLayout.SetCurrentItemByText("Left Side");
        bar.SendMessage(WM_COMMAND, ID_TRACKS_LEFT_SIDE);
        CHECK(c.Last("SetTrackLayout") == "SetTrackLayout:Left Side");
        bar.m_menuNumbersTimes.SetCurrentItemById(ID_TRACK_TIMES);
        bar.SendMessage(WM_COMMAND, ID_TRACK_TIMES);
        CHECK(c.Last("SetTrackNumbers") == "SetTrackNumbers:Track Times");
        CHECK(c.steps.size() == 4);
        // The bar was laid out again for the changed object.
        CHECK(bar.m_menuTrackLayout.GetCurrentText() == "Left Side");
    }
    SUBCASE("image order, background and aspect; sides' commands") {
        ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
        Update(h, image);
        c.Reset();
        bar.SendMessage(WM_COMMAND, ID_IMAGE_BRING_TO_FRONT);
        CHECK(c.Last("BringImageToFront") == "BringImageToFront:Image 1");
        CHECK(c.steps.back().keys == std::vector<std::string>{"prevOrder", "nextOrder"});
        bar.SendMessage(WM_COMMAND, ID_IMAGE_SET_AS_BACKGROUND);
        CHECK(c.Last("SetAsBackground") == "SetAsBackground:Image 1,0");
        bar.m_menuAspect.SetCurrentItemById(ID_UNLOCK_ASPECT_RATIO);
        bar.SendMessage(WM_COMMAND, ID_UNLOCK_ASPECT_RATIO);
        CHECK(c.Last("SetImageSize") == "SetImageSize:0");
        CHECK(c.steps.size() == 3);

        c.design.currentSideName = "Disc 1";
        Update(h, c.Find("Disc 1"));
        c.Reset();
        bar.m_menuTextMargin.SetCurrentItemById(ID_TEXT_MARGIN_3);
        bar.SendMessage(WM_COMMAND, ID_TEXT_MARGIN_3);
        CHECK(c.Last("SetTextMargin") == "SetTextMargin:150");
        CHECK(c.steps.size() == 1);
        // Disc positions, the label template and the dimensions open no step of the bar's own.
        bar.m_menuDiscPosition.SetCurrentItem(bar.m_menuDiscPosition.GetItemCount() - 1);
        bar.SendMessage(WM_COMMAND, bar.m_menuDiscPosition.GetCurrentId());
        CHECK(c.Last("SetDiscLayout").find("SetDiscLayout:") == 0);
        bar.SendMessage(WM_COMMAND, ID_FORMAT_CHANGE_TEMPLATE);
        bar.SendMessage(WM_COMMAND, ID_FORMAT_EDIT_DIMENSIONS);
        CHECK(c.Count("OnChangeLabelTemplate") == 1);
        CHECK(c.Last("ShowLabelAlignment") ==
              "ShowLabelAlignment:" + std::string(c.design.discTemplateName) + ",1,0");
        CHECK(c.steps.size() == 1);
        CHECK(c.Count("BeginUndoStep") == 1);
    }
}

TEST_CASE("the colour sliders: one step per drag, per key and per typed value") {
    barstest::Harness& h = Ready();
    CToolFont& bar = h.Bar();
    barstest::RecordingCanvas& c = h.canvas;
    ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
    image->hue = image->saturation = image->lightness = 0;
    Update(h, image);
    c.Reset();
    CSliderCustom& hue = bar.m_sliderHue;
    CRect channel;
    hue.GetChannelRect(&channel);
    auto pointAt = [&](int value) {
        return CPoint(channel.left + (channel.Width() * (value + 180)) / 360, channel.CenterPoint().y);
    };
    auto settle = [&] { h.Pump(); };

    SUBCASE("a drag is one step, a press without a move none") {
        const CPoint start = pointAt(0), middle = pointAt(60), end = pointAt(90);
        hue.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
        settle();
        hue.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        settle();
        hue.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
        settle();
        hue.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
        settle();
        REQUIRE(c.steps.size() == 1);
        CHECK(c.steps[0].keys == std::vector<std::string>{"prevHSL", "nextHSL"});
        CHECK(c.Count("SetImageHsl") >= 2);
        CHECK(image->hue == hue.GetPos());
        CHECK(hue.GetPos() > 80);
        CHECK_FALSE(c.open);

        // Pressed and released where the thumb already is: nothing to keep.
        hue.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(end.x, end.y));
        hue.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
        settle();
        CHECK(c.steps.size() == 1);
        CHECK(c.discarded == 1);
        CHECK_FALSE(c.open);
    }
    SUBCASE("dragging near 0 snaps to 0; 4 stays 4") {
        hue.SetPos(-3);
        hue.SetEditText("-3");
        bar.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(-3)),
                        reinterpret_cast<LPARAM>(hue.m_hWnd));
        CHECK(hue.GetEditText() == "0");
        CHECK(hue.GetPos() == 0);
        CHECK(c.Last("SetImageHsl") == "SetImageHsl:0,0,0,0");
        hue.SetPos(4);
        bar.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 4), reinterpret_cast<LPARAM>(hue.m_hWnd));
        CHECK(c.Last("SetImageHsl") == "SetImageHsl:4,0,0,0");
    }
    SUBCASE("a typed value is clamped, keeps its plus sign and is its own step") {
        CSliderCustom& saturation = bar.m_sliderSaturation;
        saturation.SetEditText("150");
        bar.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 150),
                        reinterpret_cast<LPARAM>(saturation.m_hWnd));
        CHECK(saturation.GetEditText() == "100");
        CHECK(saturation.GetPos() == 100);
        CHECK(saturation.m_bKeepEditText);
        CHECK(c.Last("SetImageHsl") == "SetImageHsl:" + std::to_string(hue.GetPos()) + ",100,0,1");
        CHECK(c.steps.size() == 1);
        saturation.SetEditText("+150");
        saturation.SetPos(20);
        bar.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 150),
                        reinterpret_cast<LPARAM>(saturation.m_hWnd));
        CHECK(saturation.GetEditText() == "+100");
    }
    SUBCASE("a drag leaves no trace of the old thumb or value on the slider") {
        hue.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (int value : {90, 40}) {
            const CPoint start = pointAt(0), end = pointAt(value);
            hue.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
            settle();
            hue.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
            settle();
            hue.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
            settle();
        }
        REQUIRE(hue.GetPos() != 0);
        REQUIRE(hue.GetEditText() == "+" + CString(std::to_string(hue.GetPos()).c_str()));
        const kvtest::Capture shown = kvtest::CaptureWindowFromScreen(hue.m_hWnd);
        REQUIRE_FALSE(shown.Empty());
        hue.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const kvtest::Capture fresh = kvtest::CaptureWindowFromScreen(hue.m_hWnd);
        REQUIRE(fresh.pixels.size() == shown.pixels.size());
        int differ = 0;
        for (size_t i = 0; i < shown.pixels.size(); ++i)
            if (shown.pixels[i] != fresh.pixels[i]) ++differ;
        CHECK(differ == 0);
    }
    SUBCASE("every value shows whole in its value box, on one line, from its first character to its last") {
        std::vector<std::string> cut;
        for (CSliderCustom* slider : {&hue, &bar.m_sliderLightness}) {
            slider->m_bKeepEditText = false;
            CEdit& edit = slider->GetEdit();
            REQUIRE(kvtest::PumpUntil([&] { return edit.m_hWnd != nullptr; }, 5000));
            RECT box;
            edit.GetClientRect(&box);
            ScopedWindowDC dc(edit.m_hWnd);
            ScopedSelect font(dc, reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT)));
            for (int value = slider->GetRangeMin(); value <= slider->GetRangeMax(); ++value) {
                slider->SetPos(value);
                slider->UpdateWindow();
                const CString text = slider->GetEditText();
                CString expected;
                expected.Format(value > 0 ? "+%d" : "%d", value);
                const int last = text.GetLength() - 1;
                const LRESULT first = edit.SendMessage(EM_POSFROMCHAR, 0, 0);
                const LRESULT end = edit.SendMessage(EM_POSFROMCHAR, last, 0);
                SIZE lastChar = {0, 0};
                ::GetTextExtentPoint32A(dc, text.GetString() + last, 1, &lastChar);
                if (text != expected || edit.SendMessage(EM_GETLINECOUNT) != 1 ||
                    static_cast<short>(LOWORD(first)) < 0 ||
                    static_cast<short>(LOWORD(end)) + lastChar.cx > box.right ||
                    static_cast<short>(HIWORD(end)) + lastChar.cy > box.bottom)
                    cut.push_back(text.GetString());
            }
        }
        CHECK(cut.empty());
        if (!cut.empty()) MESSAGE("cut off: " << cut.front() << " and " << cut.size() - 1 << " more");
    }
    SUBCASE("a key moves the slider in one closed step") {
        hue.SetFocus();
        hue.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
        hue.SendMessage(WM_KEYUP, VK_RIGHT, 0xC0000001);
        settle();
        REQUIRE(c.steps.size() == 1);
        CHECK(c.steps[0].keys == std::vector<std::string>{"prevHSL", "nextHSL"});
        CHECK_FALSE(c.open);
        CHECK(image->hue == hue.GetPos());
        CHECK(hue.GetPos() != 0);
    }
}
