// Pictures of the formatting bar (for a text, an image and a page), the colour bar and the colour
// picker, as a user sees them, for docs/screens/. Run by scripts/bars-screens.sh inside Wine's
// virtual desktop, which draws the window captions; takes the folder to write into.
#include <windows.h>

#include <string>

#include "BarsHarness.h"
#include "GuiSupport.h"
#include "render/CanvasSettings.h"
#include "res/CommandIds.h"

namespace {

void Show(barstest::Harness& h, ViewObject* object) {
    h.canvas.Select(object);
    h.Bar().UpdateFromSelection(nullptr);
    h.Colors().UpdateFromSelection(nullptr);
    kvtest::PumpUntil([&] { return h.Bar().m_bLayoutSettled == 1; }, 5000);
    h.Pump();
}

void Save(barstest::Harness& h, HWND window, const std::string& file) {
    h.frame->RedrawWindow(nullptr, nullptr,
                          RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    h.Pump();
    kvtest::SavePng(kvtest::CaptureWindowFromScreenSettled(window), file);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    barstest::Harness& h = barstest::TheHarness();
    h.frame->SetWindowText("Korvanelle - Formatting and colour bars");
    h.frame->SetWindowPos(nullptr, 20, 20, 1200, 240, SWP_NOZORDER);
    h.frame->RecalcLayout();
    barstest::RecordingCanvas& c = h.canvas;
    g_units = "Inches";

    ViewObject* artist = c.Add(kObjectText, "Artist", 1);
    artist->bLinkText = 1;
    artist->alignment = "Left";
    artist->SetText("The Artist");
    artist->charColors.SetSize(1);
    artist->charColors[0] = new COLORREF(RGB(0, 0, 255));
    Show(h, artist);
    h.Bar().ShowFontName("Tahoma");
    h.Bar().ShowFontSizeText("24.0");
    h.Bar().SetButtonInfo(CToolFont::kBoldIndex, ID_FORMAT_BOLD, TBBS_BUTTON, 3);
    Save(h, h.frame->m_hWnd, folder + "/format-bar-text.png");

    // The font list dropped: every family in its own face, the last four applied names on top (the
    // first of five applied names has gone from them).
    for (const char* face : {"Arial", "Liberation Serif", "DejaVu Sans Mono", "Courier New", "Tahoma"}) {
        h.Bar().m_fontName.SetCurSel(h.Bar().m_fontName.FindSortedEntry(face));
        h.Bar().m_fontName.ApplyFontName();
    }
    h.Bar().m_fontName.ShowDropDown(TRUE);
    h.Pump();
    kvtest::SavePng(kvtest::CaptureScreenSettled(), folder + "/format-bar-font-list.png");
    h.Bar().m_fontName.ShowDropDown(FALSE);

    ViewObject* image = c.Add(kObjectImage, "Image 1", 1);
    image->hue = 40;
    image->saturation = -25;
    image->lightness = 10;
    Show(h, image);
    Save(h, h.frame->m_hWnd, folder + "/format-bar-image.png");

    Show(h, c.design.FindPage(1, true));
    Save(h, h.frame->m_hWnd, folder + "/format-bar-page.png");

    // The colour bar with the pointer over a swatch, and the picker opened from it.
    Show(h, artist);
    const CRect swatch = CToolColorNew::FindSwatch(h.Colors().GetPaletteImage(), RGB(255, 0, 0));
    h.Colors().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(swatch.CenterPoint().x + 27, swatch.CenterPoint().y));
    Save(h, h.Colors().m_hWnd, folder + "/color-bar.png");
    ::ReleaseCapture();
    h.Colors().SendMessage(WM_COMMAND, ID_CUSTOM_COLOR);
    h.Pump();
    Save(h, h.Colors().GetPicker().m_hWnd, folder + "/color-picker.png");
    h.frame->DestroyWindow();
    return 0;
}
