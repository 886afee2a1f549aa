// Export as images: the program opens a design the driver wrote; File > Save As Image exports
// each side as PNG at 300 DPI and as JPEG at 600 DPI (image, file type, resolution, border and
// overlap chosen in the dialog, the name typed into the system's save dialog). Every file decodes
// to the size the dialog announced, carries its resolution, and shows what the renderer draws of
// the same side: the PNG files pixel for pixel, the JPEG files within the encoder's rounding, and
// both far enough from a picture without the side's text that a lost text would fail. The PNG
// files keep the covers' first choices (border and fold lines, no overlap). In every file the
// border's four lines, and the disc's ring, lie on the file's outermost pixels.
#include <doctest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>

#include "AppDriver.h"
#include "DialogControls.h"
#include "SampleDesign.h"
#include "ScenarioSupport.h"
#include "res/CommandIds.h"
#include "res/PrintDialogsIds.h"

using namespace e2e;

namespace {

struct ExportFormat {
    const char* fileType;    // the entry of the file-type list
    const char* resolution;  // the entry of the resolution list
    int dpi;
    const char* extension;
    bool lossless;
    const char* coverBorder;  // the covers' entry of the border list
};
const ExportFormat kFormats[] = {{"PNG File (*.png)", "300 DPI", 300, ".png", true, "Border & Fold Line"},
                                 {"JPEG File (*.jpg)", "600 DPI", 600, ".jpg", false, "Border"}};

bool IsDisc(const SampleSide& side) {
    return std::string(side.object).find("Disc") == 0;
}

// The darkest channel value found on each edge of a picture (left, top, right, bottom), a few
// pixels around the place `along` (a fraction) of the edge's length. The disc's ring meets the
// edges at their middles; a cover's border runs along the whole edge, and its fold line crosses
// the middle.
std::array<int, 4> EdgeInk(Gdiplus::Bitmap& picture, double along) {
    std::array<int, 4> ink = {255, 255, 255, 255};
    const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
    const int x = static_cast<int>(w * along), y = static_cast<int>(h * along);
    const int xs[4] = {0, x, w - 1, x}, ys[4] = {y, 0, y, h - 1};
    for (int edge = 0; edge < 4; ++edge)
        for (int d = -3; d <= 3; ++d) {
            Gdiplus::Color c;
            picture.GetPixel(xs[edge] + (edge % 2 ? d : 0), ys[edge] + (edge % 2 ? 0 : d), &c);
            ink[edge] = std::min({ink[edge], static_cast<int>(c.GetR()), static_cast<int>(c.GetG()),
                                  static_cast<int>(c.GetB())});
        }
    return ink;
}

struct Exported {
    const SampleSide* side;
    const ExportFormat* format;
    std::string path;
    int announcedWidth = 0, announcedHeight = 0;  // the dialog's "W x H pixels"
};

// Save As Image with one side and one format chosen; true once the file is written and the
// dialog has closed.
bool ExportOne(AppDriver& app, Exported& job) {
    app.Command(ID_SAVE_AS_IMAGE);
    HWND dialog = app.WaitForDialog("Save As Image", 20000);
    if (dialog == nullptr) return false;
    CHECK(ChooseComboEntry(dialog, IDC_EXPORT_IMAGE, job.side->entry));
    CHECK(ChooseComboEntry(dialog, IDC_EXPORT_TYPE, job.format->fileType));
    CHECK(ChooseComboEntry(dialog, IDC_EXPORT_RESOLUTION, job.format->resolution));
    // The side's outline (with or without the covers' fold lines), and no bleed past its edges:
    // the covers' first choices, as a new user finds them.
    if (job.format == &kFormats[0] && !IsDisc(*job.side)) {
        CHECK(ComboSelection(Control(dialog, IDC_EXPORT_BORDER)) == job.format->coverBorder);
        CHECK(ComboSelection(Control(dialog, IDC_EXPORT_OVERLAP)) == "0.00 ''");
    }
    const char* border = IsDisc(*job.side) ? "Border" : job.format->coverBorder;
    CHECK(ChooseComboEntry(dialog, IDC_EXPORT_BORDER, border));
    CHECK(ChooseComboEntry(dialog, IDC_EXPORT_OVERLAP, "0.00 ''"));
    const std::string size = WindowText(Control(dialog, IDC_EXPORT_PIXELS));
    CHECK(std::sscanf(size.c_str(), "%d x %d pixels", &job.announcedWidth, &job.announcedHeight) == 2);
    if (!app.PressButton(dialog, "  Save Image")) return false;
    if (!AnswerFileDialog(app, "Save Image", job.path, "Save", 20000)) return false;
    // The picture is rendered and written while the dialog waits; it closes when the file is there.
    const bool closed = WaitFor([&] { return !::IsWindow(dialog) || !app.Running(); }, 60000);
    if (HWND box = app.WaitForMessageBox(0)) {
        std::cout << "the program says: " << AppDriver::MessageText(box) << std::endl;
        return false;
    }
    return closed && FileExists(job.path);
}

}  // namespace

TEST_CASE("export_images") {
    ScenarioClock clock;
    REQUIRE(PrepareRendering());
    const std::string design = OutDir() + "\\Harbour Lights.kvl";
    REQUIRE(WriteSampleDesign(design));

    AppDriver app;
    HWND main = StartReady(app, "\"" + design + "\"");
    REQUIRE(main != nullptr);
    CHECK(WindowText(main).find("Harbour Lights") != std::string::npos);

    std::vector<Exported> jobs;
    ProbeResult afterFirst;
    for (const ExportFormat& format : kFormats) {
        for (const SampleSide& side : SampleSides()) {
            Exported job;
            job.side = &side;
            job.format = &format;
            job.path = OutDir() + "\\" + side.entry + "-" + std::to_string(format.dpi) + format.extension;
            CAPTURE(job.path);
            const DWORD started = ::GetTickCount();
            REQUIRE(ExportOne(app, job));
            RecordMetric(std::string("export_ms_") + (format.lossless ? "png_" : "jpeg_") +
                             std::to_string(jobs.size() % 3),
                         ::GetTickCount() - started);
            jobs.push_back(job);
            // The first export fills the program's caches (the dialog's pictures, the encoders).
            if (jobs.size() == 1) afterFirst = RecordCounts(app, "after_first_export");
        }
    }
    CHECK(WaitForStillWindow(main, 20000));
    const ProbeResult end = RecordCounts(app, "end");
    // Five more exports leave no objects behind. The exports' text runs keep a GDI font for each
    // font and size they met (a bounded set, for the whole process), and the 600-DPI exports meet
    // new sizes; a leak of one object an export (five) still goes past the bound.
    CHECK(end.gdiObjects - afterFirst.gdiObjects <= 3);
    CHECK(end.userObjects - afterFirst.userObjects <= 2);
    CHECK(app.Quit(30000));

    for (const Exported& job : jobs) {
        CAPTURE(job.path);
        std::unique_ptr<Gdiplus::Bitmap> file = DecodePicture(job.path);
        REQUIRE(file != nullptr);
        CHECK(static_cast<int>(file->GetWidth()) == job.announcedWidth);
        CHECK(static_cast<int>(file->GetHeight()) == job.announcedHeight);
        CHECK(file->GetHorizontalResolution() == doctest::Approx(job.format->dpi).epsilon(0.002));
        CHECK(file->GetVerticalResolution() == doctest::Approx(job.format->dpi).epsilon(0.002));
        const bool folds = job.format->coverBorder == std::string("Border & Fold Line");
        std::unique_ptr<Gdiplus::Bitmap> expected =
            RenderSampleSide(design, *job.side, job.format->dpi, false, folds);
        std::unique_ptr<Gdiplus::Bitmap> textless =
            RenderSampleSide(design, *job.side, job.format->dpi, true, folds);
        REQUIRE(expected != nullptr);
        REQUIRE(textless != nullptr);
        const int block = job.format->dpi / 50;  // squares of a fiftieth of an inch
        const PictureDifference same = ComparePictures(*file, *expected, block);
        const PictureDifference lost = ComparePictures(*file, *textless, block);
        std::cout << job.path << ": " << file->GetWidth() << " x " << file->GetHeight()
                  << ", against the renderer: worst block " << same.worstBlock << ", mean " << same.meanAbs
                  << ", blocks apart " << same.differentBlocks << "; without the text: worst block "
                  << lost.worstBlock << ", blocks apart " << lost.differentBlocks << std::endl;
        REQUIRE(same.sameSize);
        const std::array<int, 4> ink = EdgeInk(*file, IsDisc(*job.side) ? 0.5 : 0.25);
        for (int edge = 0; edge < 4; ++edge) {
            CAPTURE(edge);
            CHECK(ink[edge] < 100);
        }
        if (job.format->lossless) {
            CHECK(same.meanAbs == 0.0);
        } else {
            CHECK(same.worstBlock <= 12);
            CHECK(same.meanAbs < 2.0);
        }
        CHECK(same.differentBlocks == 0);
        // The text is there: without it, many squares would lie far apart.
        CHECK(lost.differentBlocks > 20);
    }
}
