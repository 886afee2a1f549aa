// A photo-like JPEG for the benchmarks that insert or open large pictures: smooth gradients with a
// fine pattern, so that it compresses and decodes as a camera's photo does.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "framework/graphics/GdipImage.h"

namespace kvbench {

// A width x height picture at `path` in the encoder's format (JPEG unless `mime` says otherwise);
// `step` pixels make one level of the gradients, over which a fine pattern lies unless `smooth`
// (a drawing's flat colours rather than a photo, as PNG files mostly hold).
inline bool WritePhoto(const std::wstring& path, int width, int height, int step,
                       const WCHAR* mime = L"image/jpeg", bool smooth = false) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<BYTE>(x / step + (smooth ? 0 : (x * y) >> 9));
            row[x * 3 + 1] = static_cast<BYTE>(y / step);
            row[x * 3 + 2] = static_cast<BYTE>((x + y) / (2 * step));
        }
    }
    bitmap.UnlockBits(&data);
    CLSID encoder;
    if (GetEncoderClsid(mime, &encoder) < 0) return false;
    return bitmap.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

// A size x size JPEG at `path`.
inline bool WritePhotoJpeg(const std::wstring& path, int size, int step) {
    return WritePhoto(path, size, size, step);
}

}  // namespace kvbench
