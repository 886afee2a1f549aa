// Pictures of the Text Editor bar for docs/screens: the main window with the bar at its default
// width, a field of two lines and a record being edited in the grid, then the bar narrowed.
// Run by scripts/screens-text-editor.sh (in Wine's virtual desktop, which draws the frames).
#include <cstdio>
#include <string>

#include "TextEditorHarness.h"
#include "GuiSupport.h"

namespace {

bool Save(HWND window, const std::string& path) {
    kvtest::PumpPending();
    const bool ok = kvtest::SavePng(kvtest::CaptureWindowFromScreenSettled(window), path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    editortest::InitProgram();
    KvMessageBoxCapture boxes(IDOK);
    editortest::TestCanvas canvas;
    canvas.MakeDesign(false);
    canvas.m_design.SetAlbumField("Title", "Songs of the\rNorthern Sea\x08");
    canvas.m_design.SetAlbumField("Year", "1987\x08");
    canvas.m_design.SetAlbumField("Time", "41:20\x08");
    canvas.m_design.SetAlbumField("Genre", "Folk\x08");
    canvas.m_design.SetAlbumField("Artist", "The Harbour Lights\x08");
    canvas.m_design.SetAlbumField("Track List",
                                  "1. \x08Lantern Bay\x08 3:41\x08"
                                  "2. \x08The Long Way Round\rto Kilmore\x08 4:05\x08"
                                  "3. \x08Salt\x08 2:58\x08"
                                  "4. \x08Northern Sea\x08 5:12\x08"
                                  "5. \x08Tide Tables\x08 3:30\x08"
                                  "6. \x08Last Ferry\x08 4:44\x08"
                                  "7. \x08Home\x08 2:15\x08");
    SetBarCanvas(&canvas);
    editortest::EditorFrame* frame = new editortest::EditorFrame;
    if (!frame->CreateEditor(canvas, CRect(0, 0, 1000, 720))) return 1;
    frame->ShowWindow(SW_SHOWNORMAL);
    editortest::Settle(300);
    // A record being edited: the title of the second record.
    CTrackList& grid = frame->m_bar.m_trackList;
    CRect cell;
    grid.GetSubItemRect(2, 2, LVIR_BOUNDS, cell);
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 10, cell.top + 3));
    grid.m_cellEditor.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 3));
    bool ok = Save(frame->m_hWnd, folder + "/text-editor.png");
    frame->m_bar.SetSizeCX(165, "Vert");
    frame->RecalcLayout();
    ok = Save(frame->m_hWnd, folder + "/text-editor-narrow.png") && ok;
    SetBarCanvas(nullptr);
    return ok ? 0 : 1;
}
