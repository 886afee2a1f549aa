// A photo-like JPEG for the benchmarks that insert or open large pictures: smooth gradients with a
// fine pattern, so that it compresses and decodes as a camera's photo does.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "framework/graphics/GdipImage.h"

namespace kvbench {

// A size x size JPEG at `path`; `step` pixels make one level of the gradients.
inline bool WritePhotoJpeg(const std::wstring& path, int size, int step) {
    Gdiplus::Bitmap bitmap(size, size, PixelFormat24bppRGB);
    Gdiplus::Rect all(0, 0, size, size);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < size; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        for (int x = 0; x < size; ++x) {
            row[x * 3] = static_cast<BYTE>(x / step + ((x * y) >> 9));
            row[x * 3 + 1] = static_cast<BYTE>(y / step);
            row[x * 3 + 2] = static_cast<BYTE>((x + y) / (2 * step));
        }
    }
    bitmap.UnlockBits(&data);
    CLSID jpeg;
    if (GetEncoderClsid(L"image/jpeg", &jpeg) < 0) return false;
    return bitmap.Save(path.c_str(), &jpeg, nullptr) == Gdiplus::Ok;
}

}  // namespace kvbench
