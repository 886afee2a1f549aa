// The Save As Image dialog on the real view's design: its lists for each kind of design, the
// image size, the preview's whole outline, the saved fold lines' whole height, the border and
// overlap choices written into the print options, the file name it asks for and corrects, and the
// ends of a save: written, a name collision declined, a failed write reported with the dialog kept
// open.
#include <doctest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "canvas/ViewSettings.h"
#include "framework/win/ScopedGdi.h"
#include "print/DlgSaveAsImage.h"
#include "print/ImageExport.h"
#include "print/PrintSettings.h"
#include "render/CanvasSettings.h"
#include "res/PrintDialogsIds.h"

using namespace printtest;

namespace {

struct FileAnswer {
    CString offeredPath;  // what the dialog offered
    CString typed;        // what the user types (empty: the offered name is kept)
    int filterIndex = 0;  // 0: the one offered
    bool cancel = false;
};

// Answers the dialog's file question as the user would, and restores the real question.
struct FileQuestion {
    explicit FileQuestion(FileAnswer& answer) {
        DlgSaveAsImage::s_askFileName = [&answer](CWnd*, CString& path, int& filterIndex) {
            answer.offeredPath = path;
            if (answer.cancel) return false;
            if (!answer.typed.IsEmpty()) path = answer.typed;
            if (answer.filterIndex) filterIndex = answer.filterIndex;
            return true;
        };
    }
    ~FileQuestion() { DlgSaveAsImage::s_askFileName = saved; }
    std::function<bool(CWnd*, CString&, int&)> saved = DlgSaveAsImage::s_askFileName;
};

// Types g_typedName into the system's "Save Image" file dialog once it shows, and presses Save.
std::wstring g_typedName;
void CALLBACK TypeIntoSaveImage(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ::FindWindowA("#32770", "Save Image");
    HWND field = dialog ? ::GetDlgItem(dialog, 1148) : nullptr;  // a combo box, or an edit field
    if (dialog && !field) field = ::GetDlgItem(dialog, 1152);
    if (!field || !::IsWindowVisible(dialog)) return;
    ::SetWindowTextW(field, g_typedName.c_str());
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

void Defaults() {
    g_units = "Inches";
    g_printOptions.SetDefaults();
    for (int& o : g_exportImageOptions) o = 0;
    g_dialogPositions[kSaveAsImagePos] = POINT{-1, -1};
}

// The pixels a window shows in a rectangle of its client area, row by row.
std::vector<COLORREF> WindowPixels(HWND window, const RECT& r) {
    std::vector<COLORREF> pixels;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return pixels;
    ScopedWindowDC screen(window);
    ScopedDC memory(::CreateCompatibleDC(screen));
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, w, h));
    ScopedSelect selection(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels.push_back(::GetPixel(memory.Get(), x, y));
    return pixels;
}

int Find(const std::vector<std::string>& entries, const char* text) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST_CASE("Save as Image offers the parts of the design") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;
    SUBCASE("a CD design with one disc") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        Driven<DlgSaveAsImage> dialog(view);
        std::vector<std::string> images, types, dpis, overlaps;
        dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
            images = ComboEntries(d, IDC_EXPORT_IMAGE);
            types = ComboEntries(d, IDC_EXPORT_TYPE);
            dpis = ComboEntries(d, IDC_EXPORT_RESOLUTION);
            overlaps = ComboEntries(d, IDC_EXPORT_OVERLAP);
        };
        dialog.DoModal();
        CHECK(images == std::vector<std::string>{"Page 1", "Page 2", "Page 3", "Disc Label", "Front Cover",
                                                 "Back Cover"});
        CHECK(static_cast<int>(types.size()) == kExportFormatCount);
        CHECK(types[3] == "TIFF File (*.tif)");
        CHECK(dpis == std::vector<std::string>{"150 DPI", "300 DPI", "600 DPI"});
        CHECK(overlaps == std::vector<std::string>{"0.00 ''", "0.05 ''", "0.10 ''", "0.15 ''"});
    }
    SUBCASE("a DVD design with two discs, in millimetres") {
        view->m_templates.coverTemplateName = "(DVD Case - Plain Paper)";
        NewDesign(view, kLayout2DiscTop, "Front Cover");
        view->m_templates.coverTemplateName = "(CD Jewel Case - Plain Paper)";
        g_units = "Millimeters";
        Driven<DlgSaveAsImage> dialog(view);
        std::vector<std::string> images, overlaps;
        CString physical;
        dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
            images = ComboEntries(d, IDC_EXPORT_IMAGE);
            overlaps = ComboEntries(d, IDC_EXPORT_OVERLAP);
            physical = ItemText(d, IDC_EXPORT_INCHES);
        };
        dialog.DoModal();
        CHECK(images ==
              std::vector<std::string>{"Page 1", "Page 2", "Page 3", "Disc 1", "Disc 2", "Booklet", "Case"});
        CHECK(overlaps == std::vector<std::string>{"0.0 mm", "1.3 mm", "2.5 mm", "3.8 mm"});
        CHECK(physical.Find("millimeters") > 0);
    }
    SUBCASE(
        "covers on one page and a centred disc: no Page 3, no Page 1; a border for page 2 is the back's "
        "too") {
        NewDesign(view, kLayout1DiscTop, "Front Cover");
        view->m_design.GetBackCover()->side = 2;
        for (int i = 0; i < view->m_design.GetDiscTemplate()->GetObjectCount(); ++i) {
            ViewObject* o = view->m_design.GetDiscTemplate()->GetObject(i);
            if (o->IsDisc()) o->savedLeft = o->savedTop = 100;
        }
        Driven<DlgSaveAsImage> dialog(view);
        std::vector<std::string> images, borders;
        dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
            images = ComboEntries(d, IDC_EXPORT_IMAGE);
            Choose(d, IDC_EXPORT_IMAGE, Find(images, "Page 2"));
            borders = ComboEntries(d, IDC_EXPORT_BORDER);
            Choose(d, IDC_EXPORT_BORDER, 3);
        };
        dialog.DoModal();
        CHECK(Find(images, "Page 1") < 0);
        CHECK(Find(images, "Page 3") < 0);
        CHECK(borders.size() == 4);
        CHECK(g_printOptions.frontBorder == 1);
        CHECK(g_printOptions.frontFold == 1);
        CHECK(g_printOptions.backBorder == 1);
        CHECK(g_printOptions.backFold == 1);
        // The choices are stored when the dialog closes.
        CHECK(g_exportImageOptions.image == Find(images, "Page 2"));
        CHECK(g_exportImageOptions.border == 3);
        CHECK(g_dialogPositions[kSaveAsImagePos].x >= 0);
    }
}

TEST_CASE("the file types listed, filtered and chosen are those of the export formats table") {
    View* view = EnsurePrintView();
    Defaults();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    Driven<DlgSaveAsImage> dialog(view);
    std::vector<std::string> types;
    dialog.drive = [&](Driven<DlgSaveAsImage>& d) { types = ComboEntries(d, IDC_EXPORT_TYPE); };
    dialog.DoModal();
    REQUIRE(static_cast<int>(types.size()) == kExportFormatCount);
    for (int i = 0; i < kExportFormatCount; ++i)
        CHECK(types[i] == ExportFormatTitle(kExportFormats[i]).GetString());
    // The file dialog's filter: every type in the list's order (so that its index is the list's),
    // and the end mark.
    const CString filter = ExportFileFilter();
    CHECK(filter.Find("Bitmap File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg|"
                      "PNG File (*.png)|*.png|TIFF File (*.tif)|*.tif|") == 0);
    int at = 0;
    for (int i = 0; i < kExportFormatCount; ++i) {
        const CString entry = ExportFormatTitle(kExportFormats[i]) + "|*" + kExportFormats[i].extension + "|";
        CHECK(filter.Mid(at, entry.GetLength()) == entry);
        at += entry.GetLength();
    }
    CHECK(filter.Mid(at) == "|");
    // The names callers use point at their own entries; outside the table is the first.
    CHECK(CString(ExportFormatAt(kExportJpeg).extension) == ".jpg");
    CHECK(ExportFormatAt(kExportJpeg).lossy);
    CHECK(CString(ExportFormatAt(kExportPng).extension) == ".png");
    CHECK(CString(ExportFormatAt(kExportTiff).extension) == ".tif");
    CHECK(&ExportFormatAt(kExportFormatCount) == &kExportFormats[kExportBmp]);
}

TEST_CASE("Save as Image gives the image's size") {
    View* view = EnsurePrintView();
    Defaults();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    // A front cover 4.750 inches wide, not folded.
    ViewObject* front = view->m_design.GetFrontCover();
    front->bFolded = 0;
    front->width = 4750;
    front->height = 4750;
    Driven<DlgSaveAsImage> dialog(view);
    CString pixels, inches, pixelsAt600;
    dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
        Choose(d, IDC_EXPORT_IMAGE, Find(ComboEntries(d, IDC_EXPORT_IMAGE), "Front Cover"));
        Choose(d, IDC_EXPORT_RESOLUTION, 1);
        Choose(d, IDC_EXPORT_OVERLAP, 2);
        pixels = ItemText(d, IDC_EXPORT_PIXELS);
        inches = ItemText(d, IDC_EXPORT_INCHES);
        Choose(d, IDC_EXPORT_RESOLUTION, 2);
        pixelsAt600 = ItemText(d, IDC_EXPORT_PIXELS);
    };
    dialog.DoModal();
    CHECK(g_printOptions.frontMargin == 100);
    CHECK(pixels == "1485 x 1485 pixels ");
    CHECK(inches == "4.950 x 4.950 inches");
    CHECK(pixelsAt600 == "2970 x 2970 pixels ");
}

TEST_CASE("the preview of a disc without overlap shows the whole ring") {
    View* view = EnsurePrintView();
    Defaults();
    NewDesign(view, kLayout1DiscTop, "Disc 1");
    Driven<DlgSaveAsImage> dialog(view);
    std::vector<COLORREF> shown;
    RECT place = {};
    dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
        Choose(d, IDC_EXPORT_IMAGE, Find(ComboEntries(d, IDC_EXPORT_IMAGE), "Disc Label"));
        Choose(d, IDC_EXPORT_BORDER, 1);
        Choose(d, IDC_EXPORT_OVERLAP, 0);
        HWND preview = ::GetDlgItem(d.m_hWnd, IDC_EXPORT_PREVIEW);
        ::UpdateWindow(preview);
        ::GetWindowRect(preview, &place);
        ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        shown = WindowPixels(d.m_hWnd, place);
    };
    dialog.DoModal();
    const int w = place.right - place.left, h = place.bottom - place.top;
    REQUIRE(shown.size() == static_cast<size_t>(w) * h);
    auto black = [&](int x, int y) { return (shown[y * w + x] & 0x808080) == 0; };
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (black(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    REQUIRE(right > left);
    // The ring meets its box at the middles of the box's four sides.
    const int cx = (left + right) / 2, cy = (top + bottom) / 2;
    CHECK(black(left, cy));
    CHECK(black(cx, top));
    CHECK(black(right, cy));
    CHECK(black(cx, bottom));
}

TEST_CASE("a cover's fold lines alone run from its top edge to its bottom edge in the saved image") {
    View* view = EnsurePrintView();
    Defaults();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    FileAnswer answer;
    FileQuestion question(answer);
    g_exportImageOptions.fileType = kExportPng;
    for (const std::string cover : {"Front Cover", "Back Cover"}) {
        const std::string file = kvtest::TempDir("save-fold-lines") + "\\" + cover + ".png";
        answer.typed = file.c_str();
        Driven<DlgSaveAsImage> dialog(view);
        dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
            Choose(d, IDC_EXPORT_IMAGE, Find(ComboEntries(d, IDC_EXPORT_IMAGE), cover.c_str()));
            Choose(d, IDC_EXPORT_BORDER, Find(ComboEntries(d, IDC_EXPORT_BORDER), "Fold Line"));
            Choose(d, IDC_EXPORT_OVERLAP, 0);
            Command(d, IDOK);
        };
        REQUIRE(dialog.DoModal() == 0);
        const std::wstring wide(file.begin(), file.end());
        std::unique_ptr<Gdiplus::Bitmap> saved(Gdiplus::Bitmap::FromFile(wide.c_str()));
        REQUIRE(saved);
        const int w = static_cast<int>(saved->GetWidth()), h = static_cast<int>(saved->GetHeight());
        Gdiplus::Color c;
        auto black = [&](int x, int y) { return saved->GetPixel(x, y, &c) == Gdiplus::Ok && c.GetR() < 128; };
        // Every fold line crossing the middle row reaches the first and the last rows.
        int lines = 0;
        for (int x = 0; x < w; ++x)
            if (black(x, h / 2)) {
                CAPTURE(cover);
                CAPTURE(x);
                CHECK(black(x, 0));
                CHECK(black(x, h - 1));
                ++lines;
            }
        CHECK(lines == (cover == "Front Cover" ? 1 : 2));
    }
}

TEST_CASE("a size text that gets shorter leaves nothing of the longer one") {
    View* view = EnsurePrintView();
    Defaults();
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    Driven<DlgSaveAsImage> dialog(view);
    CString longText, shortText;
    std::vector<COLORREF> shown, repainted;
    dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
        Choose(d, IDC_EXPORT_IMAGE, Find(ComboEntries(d, IDC_EXPORT_IMAGE), "Front Cover"));
        Choose(d, IDC_EXPORT_RESOLUTION, 2);
        d.UpdateWindow();
        longText = ItemText(d, IDC_EXPORT_PIXELS);
        // Where the long text stood, in the dialog's client area.
        RECT place;
        ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDC_EXPORT_PIXELS), &place);
        ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        Choose(d, IDC_EXPORT_RESOLUTION, 0);
        shortText = ItemText(d, IDC_EXPORT_PIXELS);
        d.UpdateWindow();
        shown = WindowPixels(d.m_hWnd, place);
        // The same place after the whole dialog was painted again from scratch.
        ::RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        repainted = WindowPixels(d.m_hWnd, place);
    };
    dialog.DoModal();
    REQUIRE(longText.GetLength() > shortText.GetLength());
    REQUIRE(!shown.empty());
    CHECK(shown.size() == repainted.size());
    size_t stale = 0;
    for (size_t i = 0; i < shown.size() && i < repainted.size(); ++i) stale += shown[i] != repainted[i];
    CHECK(stale == 0);
}

TEST_CASE("saving an image") {
    View* view = EnsurePrintView();
    Defaults();
    KvMessageBoxCapture boxes;
    NewDesign(view, kLayout1DiscTop, "Front Cover");
    const std::string folder = kvtest::TempDir("save-as-image");
    g_lastExportPath = (folder + "\\last.png").c_str();
    FileAnswer answer;
    FileQuestion question(answer);
    auto run = [&](int type) {
        g_exportImageOptions.fileType = type;
        g_exportImageOptions.image = 3;  // the disc label
        Driven<DlgSaveAsImage> dialog(view);
        int stillOpen = 0;
        dialog.drive = [&](Driven<DlgSaveAsImage>& d) {
            Command(d, IDOK);
            stillOpen = d.ContinueModal() ? 1 : 0;
        };
        const int result = static_cast<int>(dialog.DoModal());
        return stillOpen ? kLeftOpen : result;
    };

    SUBCASE("the name's extension follows the type; the folder and name of the last export are offered") {
        answer.typed = (folder + "\\cover.JPG").c_str();
        CHECK(run(1) == 0);
        CHECK(answer.offeredPath == (folder + "\\last.jpg").c_str());
        CHECK(g_lastExportPath == (folder + "\\cover.jpg").c_str());
        CHECK(::GetFileAttributesA(folder.c_str() + CString("\\cover.jpg")) != INVALID_FILE_ATTRIBUTES);
        answer.typed = (folder + "\\cover").c_str();
        CHECK(run(1) == 0);
        CHECK(g_lastExportPath == (folder + "\\cover.jpg").c_str());
        answer.typed = (folder + "\\cover.png").c_str();
        CHECK(run(1) == 0);
        CHECK(g_lastExportPath == (folder + "\\cover.png.jpg").c_str());
        // Choosing the PNG type in the file dialog makes the image a PNG.
        answer.typed = (folder + "\\typed").c_str();
        answer.filterIndex = 3;
        CHECK(run(1) == 0);
        CHECK(g_lastExportPath == (folder + "\\typed.png").c_str());
        CHECK(g_exportImageOptions.fileType == kExportPng);
        std::vector<unsigned char> bytes = kvtest::ReadFileBytes(folder + "\\typed.png");
        REQUIRE(bytes.size() > 8);
        CHECK(bytes[1] == 'P');
        CHECK(bytes[2] == 'N');
        // The second "cover" met the first one's file: the only questions asked.
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("cover.jpg already exists") > 0);
    }
    SUBCASE("the offered name takes the extension of the type chosen, in either dialog") {
        g_lastExportPath = (folder + "\\Untitled.bmp").c_str();
        // PNG chosen in this dialog: the name is offered as a PNG.
        CHECK(run(2) == 0);
        CHECK(answer.offeredPath == (folder + "\\Untitled.png").c_str());
        CHECK(g_lastExportPath == (folder + "\\Untitled.png").c_str());
        // BMP chosen here, then TIFF in the file dialog with the offered name kept.
        answer.filterIndex = 4;
        CHECK(run(0) == 0);
        CHECK(answer.offeredPath == (folder + "\\Untitled.bmp").c_str());
        CHECK(g_lastExportPath == (folder + "\\Untitled.tif").c_str());
        CHECK(::GetFileAttributesA(folder.c_str() + CString("\\Untitled.tif")) != INVALID_FILE_ATTRIBUTES);
        // A folder as the last path offers "Untitled" in it.
        g_lastExportPath = folder.c_str();
        answer.cancel = true;
        CHECK(run(1) == kLeftOpen);
        CHECK(answer.offeredPath == (folder + "\\Untitled.jpg").c_str());
    }
    SUBCASE("an existing file is replaced only when the user says so") {
        const std::string existing = folder + "\\taken.bmp";
        REQUIRE(kvtest::WriteFileBytes(existing, {1, 2, 3}));
        answer.typed = existing.c_str();
        boxes.m_answerCaption = "No";
        CHECK(run(0) == kLeftOpen);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("already exists") > 0);
        CHECK(kvtest::ReadFileBytes(existing).size() == 3);
        boxes.m_answerCaption = "Yes";
        CHECK(run(0) == 0);
        CHECK(kvtest::ReadFileBytes(existing).size() > 3);
    }
    SUBCASE("a write that fails is reported and the dialog stays") {
        answer.typed = (folder + "\\no such folder\\disc.png").c_str();
        CHECK(run(2) == kLeftOpen);
        REQUIRE(boxes.Boxes().size() == 1);
        CHECK(boxes.LastText().Find("could not be saved") >= 0);
        CHECK(boxes.Boxes()[0].iconKind == 2);
    }
    SUBCASE("cancelling the file question keeps the dialog") {
        answer.cancel = true;
        CHECK(run(2) == kLeftOpen);
    }
    SUBCASE("a name outside the code page, typed into the system's file dialog") {
        DlgSaveAsImage::s_askFileName = question.saved;
        g_typedName = std::wstring(folder.begin(), folder.end()) + L"\\\x0414\x0438\x0441\x043A.png";
        ::DeleteFileW(g_typedName.c_str());
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, TypeIntoSaveImage);
        CHECK(run(2) == 0);
        ::KillTimer(nullptr, timer);
        CHECK(::GetFileAttributesW(g_typedName.c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}
