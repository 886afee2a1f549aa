// Export throughput: a jewel-case front cover with a full-side photo background and 20 texts,
// exported at 600 dots per inch to PNG. Prints the time of the text layout, of the drawing and
// of the PNG encoding. Run by hand (build-dir/wine-run render_benchmark.exe [out.png]).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <vector>

#include "app/PaperTable.h"
#include "model/KorvanelleDocument.h"
#include "render/ColorProcessing.h"
#include "render/DocumentBitmap.h"
#include "render/TextLayout.h"
#include "golden_designs.h"

using namespace Gdiplus;

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / f.QuadPart;
}

// A photo-like picture: smooth gradients with fine noise, kept as JPEG bytes as photos are.
bool MakePhoto(ViewObject* image, int w, int h)
{
    Bitmap photo(w, h, PixelFormat24bppRGB);
    Rect r(0, 0, w, h);
    BitmapData data;
    if (photo.LockBits(&r, ImageLockModeWrite, PixelFormat24bppRGB, &data) != Ok) return false;
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            int n = static_cast<int>((seed >> 16) & 31) - 16;
            auto clamp = [](int v) { return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
            row[x * 3 + 0] = clamp(255 * y / h + n);
            row[x * 3 + 1] = clamp(128 + 100 * (x - w / 2) / w + n);
            row[x * 3 + 2] = clamp(255 * x / w + n);
        }
    }
    photo.UnlockBits(&data);
    CLSID jpeg;
    if (GetEncoderClsid(L"image/jpeg", &jpeg) < 0) return false;
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return false;
    bool ok = photo.Save(stream, &jpeg, nullptr) == Ok;
    STATSTG st = {};
    stream->Stat(&st, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(st.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    return ok && image->image.SetBytes(bytes.data(), read);
}

}  // namespace

int main(int argc, char** argv)
{
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return 1;
    {
        InitPaperTable();
        KorvanelleDocument library;
        library.CreateBuiltInTemplates();
        KorvanelleDocument design;
        design.CreateFromTemplates(library.FindTemplate("(CD/DVD Disc Label - Generic)"),
                                   library.FindTemplate("(CD Jewel Case - Plain Paper)"));
        LabelTemplate* covers = design.GetCoverTemplate();
        ViewObject* front = design.GetFrontCover();
        if (!covers || !front) return 2;
        design.currentSideName = front->name;

        ViewObject* photo = rt::MakeImageObject("Photo", front->side, front->name, front->left, front->top,
                                                front->width, front->height, 8, 8);
        photo->bBackground = 1;
        if (!MakePhoto(photo, 3000, 1500)) return 3;
        covers->AddObject(photo);
        static const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New", "Tahoma"};
        static const char* const kAngles[] = {"", "90 degrees", "180 degrees", "270 degrees"};
        std::vector<ViewObject*> texts;
        for (int i = 0; i < 20; ++i) {
            char name[16], text[96];
            std::snprintf(name, sizeof(name), "Text %d", i + 1);
            std::snprintf(text, sizeof(text), "Text number %d of the cover,\rwith a second line\b", i + 1);
            const int col = i % 5, rowIndex = i / 5;
            ViewObject* t = rt::MakeTextObject(name, front->side, front->name, front->left + 200 + col * 1850,
                                               front->top + 200 + rowIndex * 1120, 1700, 1000, text, kFaces[i % 4],
                                               120 + 20 * (i % 5), i % 3 == 0 ? 700 : 400, i % 2 == 1,
                                               RGB(20 * i, 255 - 10 * i, 60));
            t->angle = kAngles[i % 4];
            t->wrapStyle = "Word-Wrap";
            t->bAutoFit = i % 2;
            covers->AddObject(t);
            texts.push_back(t);
        }

        double t0 = Now();
        RenderContext layoutContext;
        layoutContext.document = &design;
        layoutContext.currentObject = front;
        for (ViewObject* t : texts) DrawTextObject(t, layoutContext);
        double t1 = Now();

        PrintOptions options(&g_printOptions);
        options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
        Bitmap* bitmap = RenderDocumentToBitmap(&design, front, 3, 600, &options);
        double t2 = Now();
        if (!bitmap) return 4;

        CLSID png;
        GetEncoderClsid(L"image/png", &png);
        IStream* stream = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        Status saved = bitmap->Save(stream, &png, nullptr);
        double t3 = Now();
        STATSTG st = {};
        stream->Stat(&st, STATFLAG_NONAME);
        if (argc > 1) {
            WCHAR path[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
            bitmap->Save(path, &png, nullptr);
        }
        stream->Release();

        std::printf("front cover %u x %u pixels at 600 dpi, 20 texts, photo 3000 x 1500\n", bitmap->GetWidth(),
                    bitmap->GetHeight());
        std::printf("layout:   %8.1f ms\n", (t1 - t0) * 1000);
        std::printf("drawing:  %8.1f ms\n", (t2 - t1) * 1000);
        std::printf("encoding: %8.1f ms (%s, %.1f MB of PNG)\n", (t3 - t2) * 1000, saved == Ok ? "ok" : "failed",
                    st.cbSize.QuadPart / 1048576.0);
        delete bitmap;
        design.DeleteContents(true);
        library.DeleteContents(true);
        FreeColorScratchBitmaps();
    }
    GdiplusShutdown(token);
    return 0;
}
