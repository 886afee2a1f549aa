// A look at the headers of an encoded picture before a decoder gets it: offsets and counts must
// lie within the bytes held, and the picture must be small enough for this process to decode.
#pragma once

#include <cstddef>
#include <cstdint>

// The most pixels a picture may have, whatever its file's size (a plain-coloured picture of tens
// of megapixels fits in a few kilobytes): 100 megapixels decode to 300 or 400 MB, which a 32-bit
// process can hold once. A header claiming more is refused as too large before any decoder sees it.
const uint64_t kMaxPicturePixels = 100u * 1000u * 1000u;

// What the headers say about a picture: its kind and size, and whether it can be handed to a
// decoder.
struct PictureHeaderCheck {
    enum Kind { kUnknown, kBmp, kPng, kGif, kJpeg, kTiff } kind = kUnknown;
    uint32_t width = 0, height = 0;
    bool acceptable = false;
    // Refused for its size alone: more than kMaxPicturePixels.
    bool tooLarge = false;
};

// Pictures of this many pixels or more take a second or more to decode and to scale for the
// screen: the canvas has them decoded on a thread of their own. Only kinds whose bytes a decode
// keeps as they are (the others are kept as a PNG of the decoded picture).
const uint64_t kSlowDecodePixels = 4000000;
bool IsSlowToDecode(const PictureHeaderCheck& headers);

// Checks the headers of BMP, PNG, GIF, JPEG, TIFF and icon files, and the records of enhanced and
// Windows metafiles. Other kinds are acceptable as long as they are not empty.
PictureHeaderCheck CheckPictureHeaders(const unsigned char* bytes, size_t size);
