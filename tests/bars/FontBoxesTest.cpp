// The font name and size boxes of the formatting bar: the installed families, each with a font
// of its own face, the recent names on top, the wheel that never climbs into them, and the size
// box's keys, Enter and AutoFit.
#include <doctest.h>

#include "BarsHarness.h"
#include "GuiSupport.h"

namespace {

CString Entry(CComboBox& box, int index) {
    CString text;
    box.GetLBText(index, text);
    return text;
}

CString FamilyOf(Gdiplus::Font* font) {
    Gdiplus::FontFamily family;
    font->GetFamily(&family);
    WCHAR wide[LF_FACESIZE] = {};
    family.GetFamilyName(wide);
    char narrow[LF_FACESIZE * 2] = {};
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

BOOL Key(CWnd& box, UINT key) {
    MSG msg = {};
    msg.hwnd = box.m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    return box.PreTranslateMessage(&msg);
}

}  // namespace

TEST_CASE("the font name box") {
    barstest::Harness& h = barstest::TheHarness();
    CComboFont& box = h.Bar().m_fontName;
    barstest::RecordingCanvas& c = h.canvas;
    c.Select(c.Add(kObjectText, "Artist", 1));
    c.Reset();
    // The bar leaves the list to be filled when first needed (the application does it once the
    // frame shows); filling it again adds nothing.
    box.EnsureFontList();
    REQUIRE(box.IsFontListFilled());
    const int count = box.GetCount();
    box.EnsureFontList();
    CHECK(box.GetCount() == count);
    // Only once per program: the recent names stay with the box.
    static const int installed = box.GetCount() - static_cast<int>(box.m_recentFonts.GetSize());
    REQUIRE(installed >= 5);

    SUBCASE("every installed family, sorted, each in a font of its own face") {
        CStringArray names;
        CComboFont::GetInstalledFontNames(names);
        CHECK(names.GetSize() == installed);
        const int first = static_cast<int>(box.m_recentFonts.GetSize());
        for (int i = first; i + 1 < box.GetCount(); ++i)
            CHECK(Entry(box, i).CompareNoCase(Entry(box, i + 1)) <= 0);
        // Families that resolve by their own names get a font of that face; the rest the box's.
        int checked = 0;
        for (const char* face : {"Tahoma", "Liberation Serif", "DejaVu Sans", "Liberation Mono"}) {
            const int entry = box.FindSortedEntry(face);
            if (entry < 0) continue;
            Gdiplus::Font* font = box.GetItemFont(entry);
            REQUIRE(font != nullptr);
            CHECK(FamilyOf(font) == face);
            ++checked;
        }
        CHECK(checked >= 2);
    }
    SUBCASE("the last four applied names stand on top, most recent first") {
        const int first = static_cast<int>(box.m_recentFonts.GetSize());
        CString applied[5];
        for (int k = 0; k < 5; ++k) applied[k] = Entry(box, first + 2 * k);
        for (int k = 0; k < 5; ++k) {
            box.SetCurSel(box.FindSortedEntry(applied[k]));
            box.ApplyFontName();
        }
        REQUIRE(box.m_recentFonts.GetSize() == 4);
        for (int k = 0; k < 4; ++k) {
            CHECK(box.m_recentFonts[k] == applied[4 - k]);
            CHECK(Entry(box, k) == applied[4 - k]);
        }
        CHECK(box.GetCount() == installed + 4);
        CHECK(Entry(box, 4) == Entry(box, box.FindSortedEntry(Entry(box, 4))));
        CHECK(c.steps.size() == 5);
        CHECK(c.steps[0].keys == std::vector<std::string>{"prevFont", "nextFont"});
        CHECK(c.Last("SetFontName") == "SetFontName:" + std::string(applied[4]));
        // The selection rests on the sorted entry of the name.
        CHECK(box.GetCurSel() > 3);
        CHECK(Entry(box, box.GetCurSel()) == applied[4]);

        // Applied again, a recent name moves to the top without a second entry.
        box.SetCurSel(2);
        box.ApplyFontName();
        CHECK(box.m_recentFonts[0] == applied[2]);
        CHECK(box.GetCount() == installed + 4);

        // A name that is not installed is applied as typed and shown in the box's own font.
        box.SetCurSel(-1);
        box.SetWindowText("No Such Face   ");
        box.ApplyFontName();
        CHECK(c.Last("SetFontName") == "SetFontName:No Such Face");
        CHECK(box.GetCurSel() == 0);
        Gdiplus::Font* fallback = box.GetItemFont(0);
        REQUIRE(fallback != nullptr);
        CHECK(fallback->IsAvailable());
    }
    SUBCASE("the wheel never climbs into the recent names") {
        const int recent = static_cast<int>(box.m_recentFonts.GetSize());
        REQUIRE(recent == 4);
        box.SetCurSel(recent);
        box.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        CHECK(box.GetCurSel() == recent);
        box.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        CHECK(box.GetCurSel() == recent + 1);
        box.SetCurSel(recent + 2);
        box.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        CHECK(box.GetCurSel() < recent + 2);
    }
}

TEST_CASE("the font size box") {
    barstest::Harness& h = barstest::TheHarness();
    CComboFontSize& box = h.Bar().m_fontSize;
    barstest::RecordingCanvas& c = h.canvas;
    c.Reset();
    CHECK(box.GetCount() == 20);
    CHECK(Entry(box, 0) == "AutoFit");
    CHECK(Entry(box, 19) == "72");

    CHECK(Key(box, 'A'));
    CHECK(Key(box, VK_DELETE));
    CHECK_FALSE(Key(box, '5'));
    CHECK_FALSE(Key(box, VK_OEM_PERIOD));
    CHECK(c.steps.empty());

    box.SetCurSel(-1);
    box.SetWindowText("12.5");
    CHECK(Key(box, VK_RETURN));
    CHECK(c.Last("SetFontSize") == "SetFontSize:12.5");
    CHECK(c.steps.size() == 1);
    CHECK(::GetFocus() == c.view);

    box.SetCurSel(0);
    box.ApplyFontSize();
    CHECK(c.Last("SetFontSize") == "SetFontSize:AutoFit");
    const int shown = c.Count("ShowFontSize");
    CHECK(kvtest::PumpUntil([&] { return c.Count("ShowFontSize") > shown; }, 1000));
}
