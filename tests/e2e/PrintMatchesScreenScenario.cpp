// What the screen shows is what is printed: the program opens a design the driver wrote (a jewel
// case and a disc, each side with a yellow photo as its background, sized as Set as Background
// sizes it for a 0.10 inch overlap, and a red text on it). Every side is looked at four ways: on
// the canvas, in a Save As Image export at 300 DPI with the 0.10 inch overlap chosen, in Print
// Preview (the print dialog's Preview button, then Next Page) and in the PDF the queue writes for
// the same job. In each picture the photo's ink gives the side's extent (on the canvas it stops
// at the cut line, on paper and in the export it runs on by the overlap) and the text's ink its
// place; they must agree:
// - the text's box inside the side's box, as fractions of the side's size, within 2.5 % on every
//   picture of every side (the canvas is the reference);
// - the photo's box on the paper, in inches, within 0.04 inch of the side grown by the overlap,
//   for the PDF page and for the preview (which shows the paper at screen size);
// - the export is the side and its overlap: the photo fills the image to within 0.01 inch.
#include <doctest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>

#include "AppDriver.h"
#include "DialogControls.h"
#include "GuiSupport.h"
#include "PrintedJobs.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"
#include "model/KorvanelleDocument.h"
#include "model/TrackListText.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

using namespace e2e;
using namespace Gdiplus;

namespace {

const double kPlaceTolerance = 0.025;  // of the photo's width or height
const double kPaperTolerance = 0.04;   // inch
const int kOverlap = 100;              // thousandths of an inch: the "0.10 ''" overlap

struct Side {
    const char* entry;                                // Save As Image's entry
    const char* object;                               // the design object
    UINT command;                                     // the View menu's command that shows it
    int page;                                         // the print job's page
    double left = 0, top = 0, width = 0, height = 0;  // inches on its page
};

// The design: the sample jewel case and disc with a photo behind every side's text.
bool WritePhotoDesign(const std::string& path, const std::string& photo, std::vector<Side>& sides) {
    if (!WriteSampleDesign(path)) return false;
    KorvanelleDocument design;
    if (!design.Load(path.c_str())) return false;
    bool ok = true;
    int n = 0;
    for (Side& side : sides) {
        ViewObject* object = design.FindObject(side.object);
        if (!object) {
            ok = false;
            break;
        }
        const int h = object->IsDisc() ? object->width : object->height;
        side.left = object->left / 1000.0, side.top = object->top / 1000.0;
        side.width = object->width / 1000.0, side.height = h / 1000.0;
        const std::string name = "Image " + std::to_string(++n);
        ViewObject* image =
            NewViewObject(kObjectImage, name.c_str(), object->side, object->name, object->left - kOverlap,
                          object->top - kOverlap, object->width + 2 * kOverlap, h + 2 * kOverlap);
        image->bBackground = 1;
        if (!image->LoadImageFile(photo.c_str(), true)) {
            DeleteViewObject(image);
            ok = false;
            break;
        }
        design.AddObject(image);
        // The photo lies under the text: it is drawn first.
        ViewObject* text =
            design.FindObjectIf([&](ViewObject* o) { return o->IsText() && o->sideName == object->name; });
        if (text) {
            design.RemoveObject(text, false);
            design.AddObject(text);
        }
    }
    CFile file;
    if (ok && file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        try {
            design.Save(&file);
            file.Close();
        } catch (...) {
            file.Abort();
            ok = false;
        }
    }
    design.DeleteContents(true);
    return ok;
}

// A yellow photo with a soft gradient, written as PNG through GDI+.
bool WritePhoto(const std::string& path) {
    Bitmap photo(320, 240, PixelFormat24bppRGB);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            photo.SetPixel(x, y, Color(255, 250 - x / 32, 215 - y / 16, 50 + (x + y) / 40));
    UINT count = 0, size = 0;
    GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            const std::wstring wide(path.begin(), path.end());
            return photo.Save(wide.c_str(), &encoders[i].Clsid, nullptr) == Ok;
        }
    return false;
}

bool IsPhoto(unsigned rgb) {
    const int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
    return r >= 200 && g >= 150 && b <= 130 && r - b >= 100;
}

bool IsText(unsigned rgb) {
    const int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
    return r >= 140 && g <= 110 && b <= 110 && r - g >= 80;
}

struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    void Add(int x, int y) {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
    }
    bool Empty() const { return right < 0; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The photo's and the text's ink in a picture (0x00RRGGBB pixels).
struct Marks {
    Box photo, text;
    double overlap = 0;  // pixels by which the photo runs past the side's cut line
    // The text's box inside the side's, in fractions of the side's size.
    double Place(int i) const {
        const double left = photo.left + overlap, top = photo.top + overlap;
        const double w = std::max(1.0, photo.Width() - 2 * overlap),
                     h = std::max(1.0, photo.Height() - 2 * overlap);
        switch (i) {
            case 0:
                return (text.left - left) / w;
            case 1:
                return (text.top - top) / h;
            case 2:
                return (text.right - left) / w;
            default:
                return (text.bottom - top) / h;
        }
    }
};

Marks Measure(const kvtest::Capture& c, const RECT& area) {
    Marks m;
    for (int y = std::max(0L, area.top); y < std::min<long>(c.height, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(c.width, area.right); ++x) {
            const unsigned p = c.At(x, y);
            if (IsPhoto(p)) m.photo.Add(x, y);
            if (IsText(p)) m.text.Add(x, y);
        }
    return m;
}

kvtest::Capture FromBitmap(Bitmap& b) {
    kvtest::Capture c;
    c.width = static_cast<int>(b.GetWidth()), c.height = static_cast<int>(b.GetHeight());
    BitmapData data = {};
    Rect all(0, 0, c.width, c.height);
    if (b.LockBits(&all, ImageLockModeRead, PixelFormat32bppRGB, &data) != Ok) return kvtest::Capture();
    c.pixels.resize(static_cast<size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            c.pixels[static_cast<size_t>(y) * c.width + x] =
                static_cast<const unsigned*>(data.Scan0)[y * data.Stride / 4 + x] & 0xFFFFFF;
    b.UnlockBits(&data);
    return c;
}

const RECT kAll = {0, 0, LONG_MAX, LONG_MAX};

void CheckPlace(const char* what, const Marks& seen, const Marks& canvas) {
    CAPTURE(what);
    REQUIRE_FALSE(seen.photo.Empty());
    REQUIRE_FALSE(seen.text.Empty());
    for (int i = 0; i < 4; ++i) {
        CAPTURE(i);
        CHECK(std::fabs(seen.Place(i) - canvas.Place(i)) <= kPlaceTolerance);
    }
}

// The photo's box on the paper, in inches, against the side's place in the design grown by the
// overlap.
void CheckOnPaper(const char* what, const Box& photo, double pixelsPerInch, const Side& side) {
    CAPTURE(what);
    const double left = photo.left / pixelsPerInch, top = photo.top / pixelsPerInch;
    const double width = photo.Width() / pixelsPerInch, height = photo.Height() / pixelsPerInch;
    const double m = kOverlap / 1000.0;
    std::cout << what << " " << side.object << ": photo at " << left << ", " << top << " inch, " << width
              << " x " << height << "; the side with its overlap is at " << side.left - m << ", "
              << side.top - m << ", " << side.width + 2 * m << " x " << side.height + 2 * m << std::endl;
    CHECK(std::fabs(left - (side.left - m)) <= kPaperTolerance);
    CHECK(std::fabs(top - (side.top - m)) <= kPaperTolerance);
    CHECK(std::fabs(width - (side.width + 2 * m)) <= kPaperTolerance);
    CHECK(std::fabs(height - (side.height + 2 * m)) <= kPaperTolerance);
}

void Report(const char* what, const Side& side, const Marks& m) {
    std::cout << what << " " << side.object << ": photo " << m.photo.Width() << " x " << m.photo.Height()
              << " at " << m.photo.left << "," << m.photo.top << "; text at " << m.Place(0) << ", "
              << m.Place(1) << " - " << m.Place(2) << ", " << m.Place(3) << std::endl;
}

// The Print dialog with the PDF queue chosen.
HWND OpenPrintDialog(AppDriver& app) {
    app.Command(ID_FILE_PRINT_CMD);
    HWND dialog = app.WaitForDialog("Print", 20000);
    if (dialog == nullptr) return nullptr;
    HWND printers = Control(dialog, IDC_PRINT_PRINTER);
    if (!WaitFor(
            [&] {
                const std::string s = ComboSelection(printers);
                return !s.empty() && s != "Finding Available Printers ...";
            },
            20000))
        return nullptr;
    if (ComboSelection(printers) != "PDF" && !ChooseComboEntry(dialog, IDC_PRINT_PRINTER, "PDF"))
        return nullptr;
    for (int id : {IDC_PRINT_FRONT, IDC_PRINT_BACK, IDC_PRINT_DISC1}) {
        HWND box = Control(dialog, id);
        if (!IsChecked(box) && !app.PressButton(dialog, WindowText(box))) return nullptr;
        if (!WaitFor([&] { return IsChecked(box); }, 10000)) return nullptr;
    }
    return dialog;
}

// The preview's page on the screen: its view (the frame's main pane) and the paper's box.
struct PreviewPage {
    kvtest::Capture picture;
    Box paper;
};

PreviewPage CapturePreview(HWND main) {
    PreviewPage p;
    HWND pane = ::GetDlgItem(main, 0xE900);
    if (!pane || !WaitForStillWindow(pane, 20000)) return p;
    p.picture = CaptureOnScreen(pane);
    // The paper is framed in black, with a black shadow 4 pixels down and right.
    Box black;
    for (int y = 0; y < p.picture.height; ++y)
        for (int x = 0; x < p.picture.width; ++x)
            if (p.picture.At(x, y) == 0) black.Add(x, y);
    if (black.Width() > 8 && black.Height() > 8) {
        p.paper = black;
        p.paper.right -= 4, p.paper.bottom -= 4;
    }
    return p;
}

}  // namespace

TEST_CASE("print_matches_screen") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    REQUIRE(!PrintQueueFolder().empty());
    std::vector<Side> sides = {{"Disc Label", "Disc 1", ID_VIEW_DISC_LABEL, 1},
                               {"Front Cover", "Front Cover", ID_VIEW_FRONT_COVER, 2},
                               {"Back Cover", "Back Cover", ID_VIEW_BACK_COVER, 3}};
    const std::string title = UniqueDesignName("Quay Photos");
    const std::string photo = OutDir() + "\\quay.png";
    const std::string design = OutDir() + "\\" + title + ".kvl";
    REQUIRE(WritePhoto(photo));
    REQUIRE(WritePhotoDesign(design, photo, sides));
    std::cout << "tolerances: the text's place inside the side within " << kPlaceTolerance * 100
              << " % of the side's size; the photo on paper within " << kPaperTolerance << " inch"
              << std::endl;

    AppDriver app;
    HWND main = StartReady(app, "\"" + design + "\"");
    REQUIRE(main != nullptr);

    // The canvas, side by side.
    std::vector<Marks> canvas;
    for (const Side& side : sides) {
        REQUIRE(app.Run(side.command));
        HWND pane = ::GetDlgItem(main, 0xE900);
        REQUIRE(pane != nullptr);
        REQUIRE(WaitForStillWindow(pane, 20000));
        canvas.push_back(Measure(CaptureOnScreen(pane), kAll));
        Report("canvas", side, canvas.back());
        REQUIRE_FALSE(canvas.back().photo.Empty());
        REQUIRE_FALSE(canvas.back().text.Empty());
    }

    // Save As Image at 300 DPI, without border, with the overlap (which printing uses too).
    std::vector<std::string> exported;
    for (const Side& side : sides) {
        app.Command(ID_SAVE_AS_IMAGE);
        HWND dialog = app.WaitForDialog("Save As Image", 20000);
        REQUIRE(dialog != nullptr);
        CHECK(ChooseComboEntry(dialog, IDC_EXPORT_IMAGE, side.entry));
        CHECK(ChooseComboEntry(dialog, IDC_EXPORT_TYPE, "PNG File (*.png)"));
        CHECK(ChooseComboEntry(dialog, IDC_EXPORT_RESOLUTION, "300 DPI"));
        CHECK(ChooseComboEntry(dialog, IDC_EXPORT_BORDER, "No Border"));
        CHECK(ChooseComboEntry(dialog, IDC_EXPORT_OVERLAP, "0.10 ''"));
        const std::string path = OutDir() + "\\" + side.entry + "-300.png";
        REQUIRE(app.PressButton(dialog, "  Save Image"));
        REQUIRE(AnswerFileDialog(app, "Save Image", path, "Save", 20000));
        REQUIRE(WaitFor([&] { return !::IsWindow(dialog); }, 60000));
        REQUIRE(FileExists(path));
        exported.push_back(path);
    }

    // Print Preview from the print dialog, page by page.
    HWND dialog = OpenPrintDialog(app);
    REQUIRE(dialog != nullptr);
    REQUIRE(app.PressButton(dialog, "  Preview"));
    REQUIRE(WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 30000));
    std::vector<PreviewPage> previews;
    for (size_t i = 0; i < sides.size(); ++i) {
        if (i > 0) REQUIRE(app.PressButton(main, "Next Page"));
        // The page changes: wait until the picture is another one and shows the photo (a busy
        // machine can pause the page's drawing between its frame and its pictures).
        PreviewPage page;
        REQUIRE(WaitFor(
            [&] {
                page = CapturePreview(main);
                if (page.paper.Empty()) return false;
                const RECT paper = {page.paper.left, page.paper.top, page.paper.right, page.paper.bottom};
                return (previews.empty() || page.picture.pixels != previews.back().picture.pixels) &&
                       !Measure(page.picture, paper).photo.Empty();
            },
            30000));
        previews.push_back(page);
        if (i == 0) CHECK(app.Screenshot("print-preview"));
    }
    REQUIRE(app.PressButton(main, "Close"));
    // The print dialog comes back; this time it prints.
    dialog = app.WaitForDialog("Print", 30000);
    REQUIRE(dialog != nullptr);
    REQUIRE(WaitFor([&] { return IsChecked(Control(dialog, IDC_PRINT_DISC1)); }, 10000));
    REQUIRE(app.PressButton(dialog, "  Print"));
    CHECK(WaitFor([&] { return !::IsWindow(dialog); }, 30000));
    const std::string pdf = FindPrintedJob(title, 60000);
    CHECK(app.WaitForMessageBox(0) == nullptr);
    CHECK(app.Quit(30000));
    REQUIRE_MESSAGE(!pdf.empty(), "no PDF titled " << title << " in " << PrintQueueFolder());
    // One job, no other of this title: the program has ended, and the queue has printed what it sent.
    CHECK(CountPrintedJobs(title, pdf) == 1);
    const std::vector<PdfPage> pages = PdfPageSizes(pdf);
    REQUIRE(pages.size() == sides.size());

    const int pdfDpi = 100;
    for (size_t i = 0; i < sides.size(); ++i) {
        const Side& side = sides[i];
        CAPTURE(side.object);
        // The export.
        std::unique_ptr<Bitmap> file = DecodePicture(exported[i]);
        REQUIRE(file != nullptr);
        const kvtest::Capture picture = FromBitmap(*file);
        Marks fromExport = Measure(picture, kAll);
        fromExport.overlap = kOverlap * 300 / 1000.0;
        Report("export", side, fromExport);
        CheckPlace("export", fromExport, canvas[i]);
        // The photo reaches the image's edges (within 3 pixels, 0.01 inch).
        CHECK(fromExport.photo.left <= 3);
        CHECK(fromExport.photo.top <= 3);
        CHECK(fromExport.photo.right >= picture.width - 3);
        CHECK(fromExport.photo.bottom >= picture.height - 3);

        // The printed page.
        const std::string base = UnixPath(OutDir()) + "/printed-" + std::to_string(side.page);
        RunUnix("pdftoppm -f " + std::to_string(side.page) + " -l " + std::to_string(side.page) + " -r " +
                    std::to_string(pdfDpi) + " -singlefile -png '" + UnixPath(pdf) + "' '" + base + "'",
                OutDir());
        std::unique_ptr<Bitmap> printed = DecodePicture(WindowsPath(base + ".png"));
        REQUIRE(printed != nullptr);
        Marks fromPdf = Measure(FromBitmap(*printed), kAll);
        fromPdf.overlap = kOverlap * pdfDpi / 1000.0;
        Report("print", side, fromPdf);
        CheckPlace("print", fromPdf, canvas[i]);
        CheckOnPaper("print", fromPdf.photo, pdfDpi, side);

        // The preview: the paper's box is the whole page.
        const PreviewPage& preview = previews[i];
        const double paperInches = pages[side.page - 1].width / 72.0;
        const double perInch = preview.paper.Width() / paperInches;
        const RECT paper = {preview.paper.left, preview.paper.top, preview.paper.right, preview.paper.bottom};
        Marks fromPreview = Measure(preview.picture, paper);
        fromPreview.overlap = kOverlap * perInch / 1000.0;
        Report("preview", side, fromPreview);
        CheckPlace("preview", fromPreview, canvas[i]);
        Box onPaper = fromPreview.photo;
        onPaper.left -= preview.paper.left, onPaper.right -= preview.paper.left;
        onPaper.top -= preview.paper.top, onPaper.bottom -= preview.paper.top;
        CheckOnPaper("preview", onPaper, perInch, side);
    }
    ::DeleteFileA(pdf.c_str());
}
