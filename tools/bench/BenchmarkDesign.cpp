// The design of the export and print benchmarks: a jewel-case front cover with a full-side photo
// background (3000 x 1500 pixels, kept as JPEG bytes as photos are) and 20 texts in four fonts
// and four angles.
#include "BenchmarkDesign.h"

#include <cstdio>

#include "framework/graphics/GdipImage.h"
#include "GoldenDesigns.h"

using namespace Gdiplus;

namespace {

// A photo-like picture: smooth gradients with fine noise, kept as JPEG bytes as photos are.
bool MakePhoto(ViewObject* image, int w, int h) {
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

namespace rt {

ViewObject* MakeBenchmarkCover(KorvanelleDocument& library, KorvanelleDocument& design,
                               std::vector<ViewObject*>& texts) {
    library.CreateBuiltInTemplates();
    design.CreateFromTemplates(library.FindTemplate("(CD/DVD Disc Label - Generic)"),
                               library.FindTemplate("(CD Jewel Case - Plain Paper)"));
    LabelTemplate* covers = design.GetCoverTemplate();
    ViewObject* front = design.GetFrontCover();
    if (!covers || !front) return nullptr;
    design.currentSideName = front->name;

    ViewObject* photo = rt::MakeImageObject("Photo", front->side, front->name, front->left, front->top,
                                            front->width, front->height, 8, 8);
    photo->bBackground = 1;
    if (!MakePhoto(photo, 3000, 1500)) return nullptr;
    covers->AddObject(photo);
    static const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New", "Tahoma"};
    static const char* const kAngles[] = {"", "90 degrees", "180 degrees", "270 degrees"};
    for (int i = 0; i < 20; ++i) {
        char name[16], text[96];
        std::snprintf(name, sizeof(name), "Text %d", i + 1);
        std::snprintf(text, sizeof(text), "Text number %d of the cover,\rwith a second line\b", i + 1);
        const int col = i % 5, rowIndex = i / 5;
        ViewObject* t = rt::MakeTextObject(name, front->side, front->name, front->left + 200 + col * 1850,
                                           front->top + 200 + rowIndex * 1120, 1700, 1000, text,
                                           kFaces[i % 4], 120 + 20 * (i % 5), i % 3 == 0 ? 700 : 400,
                                           i % 2 == 1, RGB(20 * i, 255 - 10 * i, 60));
        t->angle = kAngles[i % 4];
        t->wrapStyle = "Word-Wrap";
        t->bAutoFit = i % 2;
        covers->AddObject(t);
        texts.push_back(t);
    }
    return front;
}

}  // namespace rt
