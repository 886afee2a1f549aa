// The one place that lays out packed bitmaps and makes top-down DIB sections.
#include <doctest.h>

#include "framework/graphics/DibHelpers.h"

TEST_CASE("PackedDib: one block, rows addressed from the top, impossible sizes refused") {
    PackedDib dib;
    SUBCASE("an 8-bit bitmap: header, table, rows stored bottom-up") {
        REQUIRE(dib.Create(5, 3, 8));
        CHECK(dib.Size() == 40 + 256 * 4 + 3 * 8);
        CHECK(dib.Stride() == 8);
        CHECK(dib.ImageSize() == 24);
        const BITMAPINFOHEADER* header = dib.Header();
        REQUIRE(header == reinterpret_cast<const BITMAPINFOHEADER*>(dib.Data()));
        CHECK((header->biSize == 40 && header->biWidth == 5 && header->biHeight == 3));
        CHECK((header->biPlanes == 1 && header->biBitCount == 8 && header->biCompression == BI_RGB));
        CHECK((header->biSizeImage == 0 && header->biClrUsed == 0));
        CHECK(dib.ColorCount() == 256);
        CHECK(reinterpret_cast<BYTE*>(dib.ColorTable()) == dib.Data() + 40);
        CHECK(dib.Bits() == dib.Data() + 40 + 1024);
        CHECK(dib.Row(0) == dib.Bits() + 2 * 8);
        CHECK(dib.Row(2) == dib.Bits());
        CHECK(dib.Row(3) == nullptr);
        CHECK(dib.Row(-1) == nullptr);
    }
    SUBCASE("no colour table above 8 bits") {
        REQUIRE(dib.Create(3, 2, 24));
        CHECK(dib.ColorCount() == 0);
        CHECK(dib.Stride() == 12);
        CHECK(dib.Bits() == dib.Data() + 40);
        CHECK(dib.Size() == 40 + 24);
    }
    SUBCASE("refusals leave it empty") {
        // The last two: width x bits wraps round 32 bits to a stride of 0; 4 GB of rows.
        const int refused[][3] = {{0, 4, 8}, {4, 0, 8},           {4, 4, 7},
                                  {4, 4, 0}, {0x20000000, 1, 32}, {65536, 65536, 8}};
        for (const auto& size : refused) {
            CAPTURE(size[0]);
            CAPTURE(size[2]);
            REQUIRE(dib.Create(2, 2, 8));
            CHECK_FALSE(dib.Create(size[0], size[1], size[2]));
            CHECK(dib.IsEmpty());
            CHECK((dib.Data() == nullptr && dib.Size() == 0 && dib.Stride() == 0 && dib.Bits() == nullptr));
            CHECK(dib.Row(0) == nullptr);
        }
    }
}

TEST_CASE("top-down DIB sections and their headers") {
    const BITMAPINFO info = MakeTopDownDibInfo(7, 5, 32);
    CHECK((info.bmiHeader.biWidth == 7 && info.bmiHeader.biHeight == -5 && info.bmiHeader.biBitCount == 32));
    CHECK(MakeDibHeader(7, 5, 24).biHeight == 5);

    void* bits = nullptr;
    ScopedBitmap section = CreateTopDownDibSection(nullptr, 7, 5, 32, &bits);
    REQUIRE(section);
    REQUIRE(bits != nullptr);
    // The first row in memory is the top row on the device.
    static_cast<DWORD*>(bits)[0] = 0x00FF0000;
    ScopedMemoryDC memory(nullptr);
    REQUIRE(memory.Select(section, false));
    CHECK(::GetPixel(memory, 0, 0) == RGB(255, 0, 0));
    CHECK(::GetPixel(memory, 0, 4) == RGB(0, 0, 0));

    // Palette depths get a whole (black) colour table.
    void* paletteBits = nullptr;
    CHECK(CreateTopDownDibSection(nullptr, 4, 4, 8, &paletteBits));
    CHECK(paletteBits != nullptr);

    bits = &bits;
    CHECK_FALSE(CreateTopDownDibSection(nullptr, 0, 5, 32, &bits));
    CHECK(bits == nullptr);
    HBITMAP plain = Create24BitDibSection(nullptr, 3, 3);
    CHECK(plain != nullptr);
    ScopedBitmap owner(plain);
}
