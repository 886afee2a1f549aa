// A PNG writer of our own, used for exported pictures: 24-bit rows with the Up filter, compressed
// by libdeflate at its fastest level (zlib gives the checksums), and the rows cut into bands that
// are compressed on threads of their own and joined into one stream. GDI+'s PNG encoder is several
// times slower and its files larger.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

// Encodes a bitmap of any format (read as 24-bit; its resolution is kept) as a PNG file image in
// `out`, the rows compressed in `bands` bands (at most one per 16 rows). False when memory runs
// out or a size makes no sense.
bool EncodePng(Gdiplus::Bitmap* bitmap, int bands, std::vector<unsigned char>& out);

// Writes `bitmap` as a PNG file at `path` (replacing any file there), in as many bands as there
// are render threads. Ok, or the reason it failed; a file that could not be written whole is
// removed.
Gdiplus::Status WritePngFile(Gdiplus::Bitmap* bitmap, const WCHAR* path);
