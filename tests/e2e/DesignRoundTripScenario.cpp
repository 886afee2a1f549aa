// A design made as a user makes it and kept: the album fields typed in the Text Editor bar and
// shown on the canvas, twelve tracks with three titles, a click on the title that takes the
// keyboard from the grid (keys then edit the title), the title made bold and coloured, a
// picture from a folder put on the disc through the Images panel and moved with the mouse, three
// steps undone and redone; saved as a new design, and after a new start with that file on the
// command line the canvas shows the same picture, the bar the same fields, and the file itself
// reads back with all of it. Saved again as a name outside the ANSI code page, the design is
// named so at the next start in the File menu's recent list, and opened from it.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iostream>

#include "AppDriver.h"
#include "ScenarioSupport.h"
#include "model/KorvanelleDocument.h"
#include "model/TrackListText.h"
#include "model/ViewObject.h"
#include "res/CommandIds.h"
#include "res/ImagePanelIds.h"

using namespace e2e;

namespace {

const char* const kArtist = "The Quiet Harbour";
const char* const kTitle = "Lanterns Over Water";
const char* const kGenre = "Ambient Folk";
const char* const kTrackTitles[3] = {"Salt Road", "Night Ferry", "Tidewater"};
const int kTrackCount = 12;
// The picture's colour: nothing else on the canvas has it.
const unsigned kPictureColor = 0x3C8C28;
const POINT kDragBy = {-90, 70};
// How long a step may take to show: a program on a loaded machine takes seconds over a drawing.
// (Every wait ends as soon as what it waits for shows.)
const DWORD kEffect = 30000;
// The second name: Cyrillic, outside the code page (1252) of the program's prefix.
const wchar_t* const kOtherName = L"\x0424\x043E\x043D\x0430\x0440\x0438.kvl";

// Control ids of the main window's parts.
const int kViewId = 59648;  // the canvas
const int kTextEditorId = 1048;
const int kColorBarId = 1053;
const int kPropertiesBarId = 1060;
const int kMainBarId = 1054;
const int kImagesBarId = 1057;
const int kArtistId = 1201, kTitleId = 1202, kGenreId = 1205, kTracksId = 1206, kGridId = 1207;
const int kBrowseTreeId = 14145;
// The grid's Track Name column (after a hidden one and the numbers).
const int kNameColumn = 2;

HWND Child(HWND parent, int id) {
    return FindDescendant(parent, [id](HWND h) { return ::GetDlgCtrlID(h) == id && ::IsWindowVisible(h); });
}

POINT Centre(HWND hWnd) {
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return POINT{rc.right / 2, rc.bottom / 2};
}

HWND FocusOf(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info);
    return info.hwndFocus;
}

// Pixels that differ between two pictures of the same size (all of them when the sizes differ).
size_t Difference(const kvtest::Capture& a, const kvtest::Capture& b) {
    if (a.width != b.width || a.height != b.height) return static_cast<size_t>(-1);
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

size_t CountColor(const kvtest::Capture& c, unsigned color) {
    return static_cast<size_t>(std::count(c.pixels.begin(), c.pixels.end(), color));
}

bool IsEmptyRect(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// A picture for the Images panel: a block of the picture colour with a white band.
bool WritePicture(const std::string& path) {
    kvtest::Capture picture;
    picture.width = 160;
    picture.height = 120;
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, kPictureColor);
    for (int y = 50; y < 70; ++y)
        for (int x = 0; x < picture.width; ++x) picture.pixels[static_cast<size_t>(y) * picture.width + x] = 0xFFFFFF;
    return kvtest::SavePng(picture, path);
}

std::string DesktopFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr,
                                  SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return path;
}

// Types into a field box of the Text Editor bar as a user does: a click, select all, the text.
void TypeField(AppDriver& app, HWND view, int id, const std::string& text) {
    CAPTURE(text);
    HWND box = Child(app.Main(), id);
    REQUIRE(box != nullptr);
    const kvtest::Capture before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(box, Centre(box)));
    REQUIRE(app.WaitForFocus(box, kEffect));
    // All of the old text selected, as Ctrl+A does (see Step for why not with Ctrl).
    ::SendMessageA(box, EM_SETSEL, 0, -1);
    app.TypeText(text);
    CHECK(WaitFor([&] { return WindowText(box) == text; }, kEffect));
    // The canvas shows the new text without any further input.
    CHECK(WaitForChange(view, before, kEffect));
}

RECT WaitForHandles(HWND view) {
    RECT box = {};
    WaitFor(
        [&] {
            box = FindHandleBox(view);
            return !IsEmptyRect(box);
        },
        kEffect);
    return box;
}

// Drags the selected text by `by` as a user does, by the band just outside its frame (inside it
// the mouse selects characters); the handles show where it went.
// The smallest rectangle around `handles`.
RECT Around(const std::vector<RECT>& handles) {
    RECT box = {0, 0, 0, 0};
    for (size_t i = 0; i < handles.size(); ++i) {
        if (i == 0) box = handles[i];
        box.left = std::min(box.left, handles[i].left);
        box.top = std::min(box.top, handles[i].top);
        box.right = std::max(box.right, handles[i].right);
        box.bottom = std::max(box.bottom, handles[i].bottom);
    }
    return box;
}

void DragSelected(AppDriver& app, HWND view, POINT by) {
    // The handles and their frame from one picture of the screen: the grip below is taken from
    // the frame, the check from the handles.
    std::vector<RECT> handles;
    REQUIRE(WaitFor(
        [&] {
            handles = FindHandles(view);
            return handles.size() >= 4;
        },
        kEffect));
    const RECT box = Around(handles);
    // The handles lie 10 pixels outside the frame.
    POINT from = {box.left + 10 + (box.right - box.left - 20) / 4, box.top + 4};
    ::ScreenToClient(view, &from);
    const kvtest::Capture before = CaptureOnScreen(view);
    CHECK(app.SteadyDrag(view, from, POINT{from.x + by.x, from.y + by.y}));
    CHECK(WaitForChange(view, before, kEffect));
    // Moved: handles show where the old ones lie moved by `by`, or their frame does (snapping to
    // the grid may shift them by a few pixels; a handle on a line or the disc's edge does not
    // show as a square).
    size_t matching = 0;
    RECT frame = {};
    const bool moved = WaitFor(
        [&] {
            matching = 0;
            const std::vector<RECT> shown = FindHandles(view);
            for (const RECT& now : shown)
                for (const RECT& old : handles)
                    if (std::abs(now.left - old.left - by.x) <= 12 && std::abs(now.top - old.top - by.y) <= 12) {
                        ++matching;
                        break;
                    }
            frame = shown.size() >= 4 ? Around(shown) : RECT{0, 0, 0, 0};
            const bool frameMoved = !IsEmptyRect(frame) && std::abs(frame.left - box.left - by.x) <= 12 &&
                                    std::abs(frame.top - box.top - by.y) <= 12 &&
                                    std::abs(frame.right - box.right - by.x) <= 12 &&
                                    std::abs(frame.bottom - box.bottom - by.y) <= 12;
            return matching >= 3 || frameMoved;
        },
        kEffect);
    CHECK_MESSAGE(moved, "frame at " << box.left << "," << box.top << "-" << box.right << "," << box.bottom
                                     << ", now " << frame.left << "," << frame.top << "-" << frame.right << ","
                                     << frame.bottom << ", " << matching << " handles moved");
    if (!moved) app.Screenshot("drag-failed");
}

// The top of the picture's white band in the column `x` of the canvas (screen coordinates), or
// -1: the first white pixel below the picture's colour.
int BandTop(HWND view, int x) {
    RECT window = {};
    ::GetWindowRect(view, &window);
    const kvtest::Capture c = CaptureOnScreen(view);
    const int column = x - std::max<LONG>(window.left, 0);
    if (column < 0 || column >= c.width) return -1;
    bool inPicture = false;
    for (int y = 0; y < c.height; ++y) {
        const unsigned pixel = c.At(column, y);
        if (pixel == kPictureColor) inPicture = true;
        if (inPicture && pixel == 0xFFFFFF) return y + std::max<LONG>(window.top, 0);
    }
    return -1;
}

// The rectangle of a list-view cell, in the grid's client coordinates.
RECT CellRect(AppDriver& app, HWND grid, int row, int column) {
    std::vector<unsigned char> block(sizeof(RECT), 0);
    RECT* r = reinterpret_cast<RECT*>(block.data());
    r->top = column;
    r->left = LVIR_LABEL;
    app.SendWithBlock(grid, LVM_GETSUBITEMRECT, row, block);
    return *reinterpret_cast<RECT*>(block.data());
}

std::string TreeItemText(AppDriver& app, HWND tree, HTREEITEM item) {
    const size_t textAt = sizeof(TVITEMA);
    std::vector<unsigned char> block(textAt + 260, 0);
    app.SendWithBlock(tree, TVM_GETITEMA, 0, block, [&](std::vector<unsigned char>& b, UINT_PTR base) {
        TVITEMA* tv = reinterpret_cast<TVITEMA*>(b.data());
        tv->mask = TVIF_TEXT;
        tv->hItem = item;
        tv->pszText = reinterpret_cast<char*>(base + textAt);
        tv->cchTextMax = 259;
    });
    return std::string(reinterpret_cast<const char*>(block.data() + textAt));
}

// Finds the item named `name` among the children of `parent`, expanding `parent` first.
HTREEITEM FindTreeChild(AppDriver& app, HWND tree, HTREEITEM parent, const std::string& name) {
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    HTREEITEM found = nullptr;
    WaitFor(
        [&] {
            for (HTREEITEM item = reinterpret_cast<HTREEITEM>(
                     ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
                 item != nullptr; item = reinterpret_cast<HTREEITEM>(::SendMessageA(
                                      tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
                if (TreeItemText(app, tree, item) == name) {
                    found = item;
                    return true;
                }
            }
            return false;
        },
        kEffect);
    return found;
}

// Image Folder on the Images bar, a click on the folder in the chooser, the chooser closed: the
// panel shows the folder's picture.
void LoadPictureFolder(AppDriver& app, const std::string& folderName) {
    HWND bar = Child(app.Main(), kImagesBarId);
    REQUIRE(bar != nullptr);
    REQUIRE(app.PressButton(bar, "  Image Folder"));
    HWND chooser =
        app.WaitForWindow([](HWND h) { return FindDescendant(h, [](HWND c) { return ::GetDlgCtrlID(c) == kBrowseTreeId; }) != nullptr; },
                          20000);
    REQUIRE(chooser != nullptr);
    HWND tree = FindDescendant(chooser, [](HWND c) { return ::GetDlgCtrlID(c) == kBrowseTreeId; });
    CHECK(WaitForStillWindow(chooser, 10000));
    HTREEITEM root = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    REQUIRE(root != nullptr);
    HTREEITEM folder = FindTreeChild(app, tree, root, folderName);
    if (folder == nullptr) {
        for (HTREEITEM item = reinterpret_cast<HTREEITEM>(
                 ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
             item != nullptr; item = reinterpret_cast<HTREEITEM>(
                                  ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            std::cout << "folder chooser shows: " << TreeItemText(app, tree, item) << std::endl;
    }
    REQUIRE(folder != nullptr);
    ::SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(folder));
    std::vector<unsigned char> block(sizeof(RECT), 0);
    *reinterpret_cast<HTREEITEM*>(block.data()) = folder;
    REQUIRE(app.SendWithBlock(tree, TVM_GETITEMRECT, TRUE, block) != 0);
    const RECT item = *reinterpret_cast<RECT*>(block.data());
    CHECK(app.SteadyClick(tree, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}));
    CHECK(WaitFor([&] { return WindowText(bar) == "Images (1)"; }, kEffect));
    // The search over, the chooser's button reads Close again.
    CHECK(WaitFor([&] { return Child(chooser, IDC_BROWSE_CLOSE) && WindowText(Child(chooser, IDC_BROWSE_CLOSE)) == "Close"; },
                  kEffect));
    REQUIRE(app.PressButton(chooser, "Close"));
    CHECK(WaitFor([&] { return !::IsWindowVisible(chooser); }, kEffect));
}

std::string CellText(AppDriver& app, HWND grid, int row, int column) {
    const size_t textAt = sizeof(LVITEMA);
    std::vector<unsigned char> block(textAt + 260, 0);
    app.SendWithBlock(grid, LVM_GETITEMTEXTA, row, block, [&](std::vector<unsigned char>& b, UINT_PTR base) {
        LVITEMA* item = reinterpret_cast<LVITEMA*>(b.data());
        item->iSubItem = column;
        item->pszText = reinterpret_cast<char*>(base + textAt);
        item->cchTextMax = 259;
    });
    return std::string(reinterpret_cast<const char*>(block.data() + textAt));
}

int RowCount(HWND grid) {
    return static_cast<int>(::SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0));
}

// The Tracks box: the old count rubbed out, the new one typed, Return.
void SetTrackCount(AppDriver& app, HWND view, int count) {
    HWND tracks = Child(app.Main(), kTracksId);
    REQUIRE(tracks != nullptr);
    HWND edit = ::GetWindow(tracks, GW_CHILD);
    REQUIRE(edit != nullptr);
    RECT rc = {};
    ::GetClientRect(edit, &rc);
    const kvtest::Capture before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(edit, POINT{rc.right - 2, rc.bottom / 2}));
    REQUIRE(app.WaitForFocus(edit, kEffect));
    for (int i = 0; i < 3; ++i) app.Key(VK_BACK);
    app.TypeText(std::to_string(count));
    CHECK(WaitFor([&] { return WindowText(edit) == std::to_string(count); }, kEffect));
    app.Key(VK_RETURN);
    CHECK(WaitFor([&] { return RowCount(Child(app.Main(), kGridId)) == count; }, kEffect));
    CHECK(WaitForChange(view, before, kEffect));
}

// The first track titles typed into the grid's Track Name column, Tab from one to the next.
void TypeTrackTitles(AppDriver& app, HWND view) {
    HWND grid = Child(app.Main(), kGridId);
    REQUIRE(grid != nullptr);
    const RECT cell = CellRect(app, grid, 0, kNameColumn);
    const kvtest::Capture before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(grid, POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2}));
    HWND editor = nullptr;
    REQUIRE(WaitFor(
        [&] {
            editor = FocusOf(grid);
            return editor != nullptr && ClassName(editor) == "Edit" && WindowText(editor) == "Track 1";
        },
        kEffect));
    for (int i = 0; i < 3; ++i) {
        CAPTURE(i);
        const std::string old = "Track " + std::to_string(i + 1);
        CHECK(WaitFor([&] { return WindowText(editor) == old; }, kEffect));
        ::SendMessageA(editor, EM_SETSEL, 0, -1);
        app.TypeText(kTrackTitles[i]);
        CHECK(WaitFor([&] { return WindowText(editor) == kTrackTitles[i]; }, kEffect));
        CHECK(WaitFor([&] { return CellText(app, grid, i, kNameColumn) == kTrackTitles[i]; }, kEffect));
        if (i < 2) app.Key(VK_TAB);
    }
    CHECK(WaitForChange(view, before, kEffect));
}

// A swatch of the colour bar: its centre (bar's client coordinates) and colour (0x00RRGGBB).
struct Swatch {
    POINT at;
    unsigned color;
};

// The swatch nearest to pure red.
Swatch RedSwatch(HWND colorBar) {
    const kvtest::Capture bar = CaptureOnScreen(colorBar);
    RECT window = {};
    ::GetWindowRect(colorBar, &window);
    POINT client = {0, 0};
    ::ClientToScreen(colorBar, &client);
    const int dx = client.x - window.left, dy = client.y - window.top;
    Swatch best = {{0, 0}, 0};
    long bestDistance = -1;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 82; ++column) {
            const int x = 5 + column * 9 + 4, y = 3 + row * 9 + 4;
            if (x + dx >= bar.width || y + dy >= bar.height) continue;
            const unsigned c = bar.At(x + dx, y + dy);
            const long r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
            const long distance = (255 - r) * (255 - r) + g * g + b * b;
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = Swatch{{x, y}, c};
            }
        }
    return best;
}

RECT ToolbarButtonRect(AppDriver& app, HWND toolbar, int index) {
    std::vector<unsigned char> block(sizeof(RECT), 0);
    app.SendWithBlock(toolbar, TB_GETITEMRECT, index, block);
    return *reinterpret_cast<RECT*>(block.data());
}

// Undo or Redo on the main tool bar; then waits until the canvas shows what the step must give.
// (The buttons rather than Ctrl+Z: Wine takes the state of the modifier keys from the X server
// whenever the pointer crosses into a window, and a Ctrl that only went through the input queue
// may be let go there before the Z comes.)
void Step(AppDriver& app, UINT command, const std::string& what, const std::function<bool()>& shows) {
    CAPTURE(what);
    HWND toolbar = Child(app.Main(), kMainBarId);
    REQUIRE(toolbar != nullptr);
    const int index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0));
    REQUIRE(index >= 0);
    const RECT button = ToolbarButtonRect(app, toolbar, index);
    REQUIRE(!IsEmptyRect(button));
    // Whether the pointer settled over the button does not matter here: the click carries its own
    // place, and what the canvas shows next is the check. (The tool bar's hot buttons keep Wine's
    // pointer readings from settling under load.)
    app.SteadyClick(toolbar, POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    const bool shown = WaitFor(shows, kEffect);
    CHECK(shown);
    if (!shown) app.Screenshot("failed-step");
}

// Whether `window` shows `text` as the menu font draws it: somewhere every pixel of its ink is
// dark, and few others around it are.
bool ShowsMenuText(HWND window, const std::wstring& text) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ font = ::SelectObject(dc, ::CreateFontIndirectW(&metrics.lfMenuFont));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    unsigned* ink = nullptr;
    HGDIOBJ bitmap = ::SelectObject(
        dc, ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&ink), nullptr, 0));
    ::TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));  // black on white
    ::GdiFlush();
    auto dark = [](unsigned c) { return (c >> 16 & 255) + (c >> 8 & 255) + (c & 255) < 3 * 128; };
    const kvtest::Capture shown = CaptureOnScreen(window);
    bool found = false;
    for (int y0 = 0; !found && y0 + size.cy <= shown.height; ++y0)
        for (int x0 = 0; !found && x0 + size.cx <= shown.width; ++x0) {
            int inked = 0, missing = 0, extra = 0;
            for (int i = 0; i < size.cx * size.cy && missing == 0; ++i) {
                const bool in = dark(ink[i]), on = dark(shown.At(x0 + i % size.cx, y0 + i / size.cx));
                inked += in;
                missing += in && !on;
                extra += on && !in;
            }
            found = inked > 0 && missing == 0 && extra * 10 <= inked;
        }
    ::DeleteObject(::SelectObject(dc, bitmap));
    ::DeleteObject(::SelectObject(dc, font));
    ::DeleteDC(dc);
    return found;
}

// The saved file read back with the design model: the album fields, the track list, the title's
// style and colour, and the picture where it was dragged.
void CheckSavedDesign(const std::string& path, unsigned red) {
    KorvanelleDocument design;
    REQUIRE(design.Load(path.c_str()));
    const CString end(kTrackFieldEnd);
    CHECK(design.GetAlbumField("Artist") == CString(kArtist) + end);
    CHECK(design.GetAlbumField("Title") == CString(kTitle) + end);
    CHECK(design.GetAlbumField("Genre") == CString(kGenre) + end);
    const CString tracks = design.GetAlbumField("Track List");
    CHECK(CountTrackRecords(tracks) == kTrackCount);
    for (int i = 0; i < 3; ++i) CHECK(GetTrackField(tracks, i + 1, 2) == kTrackTitles[i]);
    CHECK(GetTrackField(tracks, 4, 2) == "Track 4");

    ViewObject* title = design.FindObject("Title");
    REQUIRE(title != nullptr);
    CHECK(title->GetText() == CString(kTitle) + end);
    REQUIRE(title->charFonts.GetSize() > 0);
    REQUIRE(title->charFonts[0] != nullptr);
    CHECK(title->charFonts[0]->lfWeight == 700);
    REQUIRE(title->charColors.GetSize() > 0);
    REQUIRE(title->charColors[0] != nullptr);
    CHECK(kvtest::Rgb(*title->charColors[0]) == red);
    for (const char* name : {"Artist", "Genre", "Track List"}) {
        CAPTURE(name);
        ViewObject* text = design.FindObject(name);
        REQUIRE(text != nullptr);
        CHECK(text->charFonts.GetSize() > 0);
        CHECK((text->charFonts[0] == nullptr || text->charFonts[0]->lfWeight != 700));
    }

    ViewObject* picture = design.FindObjectIf([](ViewObject* o) { return o->IsImage(); });
    REQUIRE(picture != nullptr);
    CHECK(picture->image.GetSize() > 0);
    ViewObject* disc = design.GetDisc(1);
    REQUIRE(disc != nullptr);
    // Dragged left and down from where it filled the disc.
    CHECK(picture->left < disc->left);
    CHECK(picture->top > disc->top);
}

}  // namespace

TEST_CASE("design_round_trip") {
    ScenarioClock clock;
    const std::string folderName = "Cover Art";
    const std::string desktop = DesktopFolder();
    REQUIRE(!desktop.empty());
    const std::string folder = desktop + "\\" + folderName;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    REQUIRE(WritePicture(folder + "\\harbour.png"));
    const std::string designPath = OutDir() + "\\Lanterns.kvl";

    AppDriver app;
    REQUIRE(app.Start());
    HWND main = app.WaitForMainWindow(30000);
    REQUIRE(main != nullptr);
    HWND newProject = app.WaitForDialog("New Project", 20000);
    REQUIRE(newProject != nullptr);
    CHECK(app.WaitForSplashGone(20000));
    REQUIRE(app.PressButton(newProject, "Cancel"));
    REQUIRE(WaitFor([&] { return !::IsWindow(newProject); }, kEffect));
    HWND view = Child(main, kViewId);
    REQUIRE(view != nullptr);
    CHECK(WaitForStillWindow(main, 20000));
    RecordCounts(app, "start");

    // The album's texts on the disc (Edit > Insert), the title last: it stays selected.
    // Each lands at the same free place and is dragged by its frame to where it belongs.
    const struct {
        UINT id;
        POINT by;
    } inserts[] = {{ID_INSERT_ARTIST, {200, -240}}, {ID_INSERT_GENRE, {200, 150}}, {ID_INSERT_TRACK, {390, 0}},
                   {ID_INSERT_TITLE, {0, 0}}};
    for (const auto& insert : inserts) {
        const kvtest::Capture before = CaptureOnScreen(view);
        REQUIRE(app.Run(insert.id));
        CHECK(WaitForChange(view, before, kEffect));
        if (insert.by.x != 0 || insert.by.y != 0) DragSelected(app, view, insert.by);
    }
    const RECT titleFrame = WaitForHandles(view);
    REQUIRE(!IsEmptyRect(titleFrame));

    TypeField(app, view, kArtistId, kArtist);
    TypeField(app, view, kTitleId, kTitle);
    TypeField(app, view, kGenreId, kGenre);
    SetTrackCount(app, view, kTrackCount);
    TypeTrackTitles(app, view);

    // The title bold from the properties bar and red from the colour bar: a click into the
    // title on the canvas (a caret, no characters selected: the whole text changes).
    const POINT titleAt = ClientCentre(view, titleFrame);
    CHECK(app.SteadyClick(view, titleAt));
    // The click took the keyboard from the track cell typed into last: the keys that follow edit
    // the title on the canvas (its field in the bar shows it), and the cell keeps its text. A
    // character typed, the one after it deleted; then both put back.
    CHECK(app.WaitForFocus(view, kEffect));
    HWND titleBox = Child(main, kTitleId);
    app.TypeText("Q");
    CHECK(WaitFor([&] { return WindowText(titleBox).find('Q') != std::string::npos; }, kEffect));
    app.Key(VK_DELETE);
    CHECK(WaitFor([&] { return WindowText(titleBox).size() == std::strlen(kTitle); }, kEffect));
    CHECK(CellText(app, Child(main, kGridId), 2, kNameColumn) == kTrackTitles[2]);
    const size_t typedAt = WindowText(titleBox).find('Q');
    REQUIRE(typedAt < std::strlen(kTitle));
    app.Key(VK_BACK);
    app.TypeText(std::string(1, kTitle[typedAt]));
    CHECK(WaitFor([&] { return WindowText(titleBox) == kTitle; }, kEffect));
    HWND properties = Child(main, kPropertiesBarId);
    REQUIRE(properties != nullptr);
    RECT bold = {};
    REQUIRE(WaitFor(
        [&] {
            bold = ToolbarButtonRect(app, properties, 4);
            return !IsEmptyRect(bold);
        },
        kEffect));
    kvtest::Capture before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(properties, POINT{(bold.left + bold.right) / 2, (bold.top + bold.bottom) / 2}));
    CHECK(WaitForChange(view, before, kEffect));
    HWND colorBar = Child(main, kColorBarId);
    REQUIRE(colorBar != nullptr);
    const Swatch red = RedSwatch(colorBar);
    std::cout << "red swatch " << std::hex << red.color << std::dec << std::endl;
    REQUIRE(((red.color >> 16) & 255) > 200);
    before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(colorBar, red.at));
    CHECK(WaitForChange(view, before, kEffect));
    CHECK(WaitFor([&] { return CountColor(CaptureOnScreen(view), red.color) > 100; }, kEffect));

    // A picture from a folder through the Images panel, dragged on the canvas.
    LoadPictureFolder(app, folderName);
    HWND images = Child(main, kImagesBarId);
    RECT thumb = {};
    REQUIRE(WaitFor(
        [&] {
            thumb = FindColorBox(images, kPictureColor);
            return !IsEmptyRect(thumb);
        },
        kEffect));
    before = CaptureOnScreen(view);
    CHECK(app.SteadyClick(images, ClientCentre(images, thumb), true));
    CHECK(WaitForChange(view, before, kEffect));
    RECT picture = {};
    REQUIRE(WaitFor(
        [&] {
            picture = FindColorBox(view, kPictureColor);
            return !IsEmptyRect(picture);
        },
        kEffect));
    // The picture fills the disc, which clips it: its white band shows where it lies. It is
    // taken by its upper part, clear of the hole and the texts.
    const int bandX = picture.left + (picture.right - picture.left) / 4;
    const int bandTop = BandTop(view, bandX);
    REQUIRE(bandTop > 0);
    POINT grab = {(picture.left + picture.right) / 2, picture.top + (picture.bottom - picture.top) / 8};
    ::ScreenToClient(view, &grab);
    before = CaptureOnScreen(view);
    CHECK(app.SteadyDrag(view, grab, POINT{grab.x + kDragBy.x, grab.y + kDragBy.y}));
    CHECK(WaitForChange(view, before, kEffect));
    CHECK(WaitFor([&] { return std::abs(BandTop(view, bandX) - bandTop - kDragBy.y) <= 12; }, kEffect));
    const int movedBandTop = BandTop(view, bandX);

    // Three steps back (the move, the picture, the colour) and forward again, each seen on the
    // canvas before the next key.
    // What the finished move shows, read once two readings agree: the outline around the
    // selection marches, and a loaded machine may still be drawing when the window looks still.
    CHECK(WaitForStillWindow(view, 10000, 4000));
    size_t pictureShown = 0, redShown = 0;
    CHECK(WaitFor(
        [&] {
            const kvtest::Capture first = CaptureOnScreen(view);
            ::Sleep(300);
            const kvtest::Capture second = CaptureOnScreen(view);
            pictureShown = CountColor(second, kPictureColor);
            redShown = CountColor(second, red.color);
            return CountColor(first, kPictureColor) == pictureShown && CountColor(first, red.color) == redShown;
        },
        kEffect));
    auto bandAt = [&](int top) {
        const int now = BandTop(view, bandX);
        if (std::abs(now - top) <= 2) return true;
        std::cout << "band at " << now << ", not " << top << std::endl;
        return false;
    };
    // The picture is a hundred thousand pixels. Undone, it may leave a line of itself along the
    // frame of the selected title until the next full drawing (the frame's outline puts back what
    // lay under it); that is a few hundred.
    auto pictureGone = [&] { return CountColor(CaptureOnScreen(view), kPictureColor) < 1000; };
    auto redShows = [&] { return CountColor(CaptureOnScreen(view), red.color) > 100; };
    Step(app, ID_EDIT_UNDO_CMD, "undo the move", [&] { return bandAt(bandTop); });
    Step(app, ID_EDIT_UNDO_CMD, "undo the picture", pictureGone);
    Step(app, ID_EDIT_UNDO_CMD, "undo the colour", [&] { return !redShows(); });
    Step(app, ID_EDIT_REDO_CMD, "redo the colour", redShows);
    Step(app, ID_EDIT_REDO_CMD, "redo the picture", [&] { return bandAt(bandTop); });
    Step(app, ID_EDIT_REDO_CMD, "redo the move", [&] { return bandAt(movedBandTop); });
    // Redone, the canvas shows what it showed before the three steps back, once it has drawn it.
    auto alike = [](size_t a, size_t b) { return std::abs(static_cast<long>(a) - static_cast<long>(b)) < 50; };
    size_t pictureNow = 0, redNow = 0;
    const bool same = WaitFor(
        [&] {
            const kvtest::Capture now = CaptureOnScreen(view);
            pictureNow = CountColor(now, kPictureColor);
            redNow = CountColor(now, red.color);
            return alike(pictureNow, pictureShown) && alike(redNow, redShown);
        },
        kEffect);
    if (!same)
        std::cout << "picture " << pictureNow << " of " << pictureShown << ", red " << redNow << " of " << redShown
                  << std::endl;
    CHECK(same);

    // File > Save As, a new name; the design leaves the selection as it was.
    app.Command(ID_FILE_SAVE_AS_CMD);
    HWND saveAs = app.WaitForDialog("Save As", 20000);
    REQUIRE(saveAs != nullptr);
    HWND nameBox = nullptr;
    REQUIRE(WaitFor(
        [&] {
            nameBox = FocusOf(saveAs);
            return nameBox != nullptr && ClassName(nameBox) == "Edit" &&
                   ::GetAncestor(nameBox, GA_ROOT) == saveAs;
        },
        kEffect));
    ::SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(designPath.c_str()));
    REQUIRE(app.PressButton(saveAs, "Save"));
    CHECK(WaitFor([&] { return !::IsWindow(saveAs); }, kEffect));
    CHECK(WaitFor([&] { return WindowText(main) == "Lanterns.kvl - Korvanelle"; }, kEffect));
    REQUIRE(FileExists(designPath));

    // The picture for the README, and the canvas as it was left, without the selection: a click
    // beside the disc, clear of the picture, selects the page, which shows no frame.
    app.Screenshot("finished-design");
    RECT viewRect = {};
    ::GetClientRect(view, &viewRect);
    CHECK(app.SteadyClick(view, POINT{viewRect.right - 60, viewRect.bottom - 40}));
    // The page's outline flashes (inverted along the canvas's edges) and goes.
    auto pageOutline = [&] {
        const kvtest::Capture c = CaptureOnScreen(view);
        for (int y = 20; y < c.height - 40; ++y)
            for (int x = 3; x < 9; ++x)
                if (c.At(x, y) == 0) return true;
        return false;
    };
    CHECK(WaitFor(pageOutline, kEffect));
    CHECK(WaitFor([&] { return !pageOutline(); }, kEffect));
    CHECK(WaitForStillWindow(view, 10000));
    const kvtest::Capture saved = CaptureOnScreen(view);
    RecordCounts(app, "end");
    CHECK(app.Quit(30000));

    // Started again with the design on its command line.
    AppDriver again;
    REQUIRE(again.Start("\"" + designPath + "\""));
    HWND main2 = again.WaitForMainWindow(30000);
    REQUIRE(main2 != nullptr);
    CHECK(WindowText(main2) == "Lanterns.kvl - Korvanelle");
    CHECK(again.WaitForSplashGone(20000));
    HWND view2 = Child(main2, kViewId);
    REQUIRE(view2 != nullptr);
    CHECK(WaitForStillWindow(main2, 20000));
    const kvtest::Capture reopened = CaptureOnScreen(view2);
    const size_t differing = Difference(saved, reopened);
    kvtest::SavePng(saved, OutDir() + "\\saved-canvas.png");
    kvtest::SavePng(reopened, OutDir() + "\\reopened-canvas.png");
    RecordMetric("reopened_differing_pixels", static_cast<long long>(differing));
    // A word of the smallest text on the disc changes several hundred pixels.
    CHECK(differing <= 150);
    CHECK(CountColor(reopened, kPictureColor) == CountColor(saved, kPictureColor));
    CHECK(CountColor(reopened, red.color) == CountColor(saved, red.color));
    CHECK(WindowText(Child(main2, kArtistId)) == kArtist);
    CHECK(WindowText(Child(main2, kTitleId)) == kTitle);
    CHECK(WindowText(Child(main2, kGenreId)) == kGenre);
    HWND grid2 = Child(main2, kGridId);
    CHECK(RowCount(grid2) == kTrackCount);
    for (int i = 0; i < 3; ++i) CHECK(CellText(again, grid2, i, kNameColumn) == kTrackTitles[i]);
    // Saved again through the system's dialog, as a name outside the code page.
    const std::string out = OutDir();
    const std::wstring otherPath = std::wstring(out.begin(), out.end()) + L"\\" + kOtherName;
    const std::wstring otherCaption = std::wstring(kOtherName) + L" - Korvanelle";
    again.Command(ID_FILE_SAVE_AS_CMD);
    HWND saveAs2 = again.WaitForDialog("Save As", 20000);
    REQUIRE(saveAs2 != nullptr);
    HWND nameBox2 = nullptr;
    REQUIRE(WaitFor([&] { return ::GetAncestor(nameBox2 = FocusOf(saveAs2), GA_ROOT) == saveAs2; }, kEffect));
    ::SendMessageW(nameBox2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(otherPath.c_str()));
    REQUIRE(again.PressButton(saveAs2, "Save"));
    CHECK(WaitFor([&] { return WideWindowText(main2) == otherCaption; }, kEffect));
    CHECK(again.Quit(30000));

    // Started once more: the File menu (Alt+F) names it first among the recent files; its number
    // opens it.
    AppDriver third;
    REQUIRE(third.Start());
    REQUIRE(third.WaitForMainWindow(30000) != nullptr);
    HWND newProject3 = third.WaitForDialog("New Project", 20000);
    REQUIRE(newProject3 != nullptr);
    CHECK(third.WaitForSplashGone(20000));
    REQUIRE(third.PressButton(newProject3, "Cancel"));
    ::PostMessageA(third.Main(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    HWND menu = third.WaitForWindow([](HWND h) { return ClassName(h) == "#32768"; }, kEffect);
    CHECK(WaitFor([&] { return menu != nullptr && ShowsMenuText(menu, kOtherName); }, kEffect));
    CHECK_FALSE(ShowsMenuText(menu, L"??????.kvl"));  // the code page's stand-ins are told apart
    third.Key('1');
    CHECK(WaitFor([&] { return WideWindowText(third.Main()) == otherCaption; }, kEffect));
    CHECK(third.Quit(30000));

    CheckSavedDesign(designPath, red.color);
    CheckSavedDesign(static_cast<const char*>(AfxNarrowOf(otherPath.c_str())), red.color);
}
