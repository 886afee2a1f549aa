// GDI+ bitmap helpers: format normalisation, bitmaps from packed DIBs and encoder look-up.
#include "framework/graphics/GdipImage.h"

#include <cstring>
#include <vector>

using namespace Gdiplus;

namespace {

InterpolationMode InterpolationFor(Image* image) {
    return (image->GetWidth() >= 75 && image->GetHeight() > 100) ? InterpolationModeHighQualityBicubic
                                                                 : InterpolationModeNearestNeighbor;
}

}  // namespace

void PrepareCopyGraphics(Graphics& g, Image* source) {
    g.SetCompositingMode(CompositingModeSourceCopy);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
    g.SetInterpolationMode(InterpolationFor(source));
}

Bitmap* NormalizeBitmapFormat(Bitmap* bitmap) {
    if (!bitmap) return nullptr;
    PixelFormat fmt = bitmap->GetPixelFormat();
    if (fmt == PixelFormat24bppRGB || fmt == PixelFormat32bppARGB) return bitmap;
    INT w = static_cast<INT>(bitmap->GetWidth()), h = static_cast<INT>(bitmap->GetHeight());
    Bitmap* copy = nullptr;
    if (w > 0 && h > 0) {
        copy = new Bitmap(w, h, PixelFormat32bppARGB);
        bool drawn = false;
        if (copy->GetLastStatus() == Ok) {
            Graphics g(copy);
            if (g.GetLastStatus() == Ok) {
                PrepareCopyGraphics(g, bitmap);
                // A drawing that fails (its working copies find no memory) leaves the copy all
                // zeros: it is no copy of the picture.
                drawn = g.DrawImage(bitmap, Rect(0, 0, w, h)) == Ok;
            }
        }
        if (!drawn) {
            delete copy;
            copy = nullptr;
        }
    }
    delete bitmap;
    return copy;
}

Bitmap* CreateBitmapFromDib(const void* packedDib, size_t available) {
    if (!packedDib || available < sizeof(BITMAPINFOHEADER)) return nullptr;
    const BITMAPINFOHEADER* bih = static_cast<const BITMAPINFOHEADER*>(packedDib);
    if (bih->biSize < sizeof(BITMAPINFOHEADER) || bih->biBitCount != 32) return nullptr;
    LONG width = bih->biWidth;
    LONG height = bih->biHeight < 0 ? -bih->biHeight : bih->biHeight;
    if (width <= 0 || height <= 0 || width > 0x7FFFFF / 4) return nullptr;
    // Every byte read below must lie inside the block: sizes from the header are summed in 64
    // bits, so that no damaged field can wrap them round to something that fits.
    unsigned long long offset = bih->biSize + static_cast<unsigned long long>(bih->biClrUsed) * 4;
    if (bih->biSize == sizeof(BITMAPINFOHEADER) && bih->biCompression == BI_BITFIELDS) offset += 12;
    const unsigned long long needed =
        offset + static_cast<unsigned long long>(width) * 4 * static_cast<unsigned long long>(height);
    if (needed > available) return nullptr;
    const unsigned char* bits = static_cast<const unsigned char*>(packedDib) + offset;
    Bitmap* bm = new Bitmap(width, height, PixelFormat32bppARGB);
    if (bm->GetLastStatus() != Ok) {
        delete bm;
        return nullptr;
    }
    Rect rc(0, 0, width, height);
    BitmapData bd;
    if (bm->LockBits(&rc, ImageLockModeWrite, PixelFormat32bppARGB, &bd) != Ok) {
        delete bm;
        return nullptr;
    }
    size_t rowBytes = static_cast<size_t>(width) * 4;
    bool bottomUp = bih->biHeight > 0;
    // Many programs leave the fourth byte unused and zero: a picture with no alpha at all in any
    // pixel is opaque, not invisible.
    bool anyAlpha = false;
    const size_t allBytes = rowBytes * static_cast<size_t>(height);
    for (size_t i = 3; i < allBytes && !anyAlpha; i += 4) anyAlpha = bits[i] != 0;
    for (LONG y = 0; y < height; ++y) {
        const unsigned char* srcRow = bits + rowBytes * static_cast<size_t>(bottomUp ? height - 1 - y : y);
        unsigned char* dstRow = static_cast<unsigned char*>(bd.Scan0) + static_cast<INT_PTR>(y) * bd.Stride;
        std::memcpy(dstRow, srcRow, rowBytes);
        if (!anyAlpha)
            for (size_t i = 3; i < rowBytes; i += 4) dstRow[i] = 0xFF;
    }
    bm->UnlockBits(&bd);
    return bm;
}

int GetEncoderClsid(const WCHAR* mimeType, CLSID* clsid) {
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0 || count == 0) return -1;
    std::vector<unsigned char> buffer(size);
    ImageCodecInfo* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, codecs) != Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (mimeType && codecs[i].MimeType && wcscmp(codecs[i].MimeType, mimeType) == 0) {
            if (clsid) *clsid = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}
