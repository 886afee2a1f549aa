// GDI+'s DrawImage (into an integer rectangle) and Save (into a stream), failing for one
// picture's size on cue and otherwise GDI+'s own.
#include "GdiplusRefusal.h"

#include <objidl.h>
#include <gdiplus.h>

#include <atomic>

using namespace Gdiplus;

namespace {

std::atomic<UINT> g_width{0}, g_height{0};
std::atomic<bool> g_draw{false}, g_save{false};

bool Refused(GpImage* image, const std::atomic<bool>& which) {
    UINT width = 0, height = 0;
    return which && g_width != 0 && DllExports::GdipGetImageWidth(image, &width) == Ok &&
           DllExports::GdipGetImageHeight(image, &height) == Ok && width == g_width && height == g_height;
}

template <class F>
F Real(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("gdiplus.dll"), name)));
}

}  // namespace

namespace kvtest {

GdiplusRefusal::GdiplusRefusal(UINT width, UINT height, bool draw, bool save) {
    g_draw = draw;
    g_save = save;
    g_height = height;
    g_width = width;
}

GdiplusRefusal::~GdiplusRefusal() {
    g_width = 0;
}

}  // namespace kvtest

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                       INT height) {
    if (Refused(image, g_draw)) return OutOfMemory;
    static const auto real =
        Real<GpStatus(WINGDIPAPI*)(GpGraphics*, GpImage*, INT, INT, INT, INT)>("GdipDrawImageRectI");
    return real(graphics, image, x, y, width, height);
}

GpStatus WINGDIPAPI GdipSaveImageToStream(GpImage* image, IStream* stream, GDIPCONST CLSID* encoder,
                                          GDIPCONST EncoderParameters* parameters) {
    if (Refused(image, g_save)) {
        stream->Write("\x89PNG\r\n\x1A\n", 8, nullptr);
        return GenericError;
    }
    static const auto real =
        Real<GpStatus(WINGDIPAPI*)(GpImage*, IStream*, GDIPCONST CLSID*, GDIPCONST EncoderParameters*)>(
            "GdipSaveImageToStream");
    return real(image, stream, encoder, parameters);
}

}  // extern "C"
}  // namespace DllExports
}  // namespace Gdiplus
