#include "framework/graphics/DibSectionBitmap.h"

#include "framework/Core.h"
#include "framework/Win.h"

CBitmap* CreateDibSectionBitmap(int width, int height, WORD bitCount) {
    CBitmap* result = nullptr;
    GuardOperation(2203, [&] {
        // Room for a 256-entry colour table, so that palette bit counts get a valid header too.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info = {};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;  // top-down rows
        info.header.biPlanes = 1;
        info.header.biBitCount = bitCount;
        info.header.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP section = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                             &bits, nullptr, 0);
        if (!section) return;
        result = new CBitmap;
        result->Attach(section);  // takes any handle but a null one
    });
    return result;
}
