// A look at the headers of an encoded picture before a decoder gets it: offsets and counts must
// lie within the bytes held, and the picture must be small enough for this process to decode.
#pragma once

#include <cstddef>
#include <cstdint>

// The most pixels an ordinary picture may have: a 24-megapixel photo decodes to 96 MB as 32-bit
// pixels, and decoding may hold two such copies for a moment.
const uint64_t kMaxPicturePixels = 24u * 1000u * 1000u;
// Larger pictures (a camera's photo, a large background) up to 8192 pixels a side, when their
// file holds at least a byte for every kMostPixelsPerByte pixels: the flattest PNG or JPEG of a
// size needs about one byte for 350 pixels, a hostile header claiming a huge size far less.
const uint64_t kMaxLargePictureSide = 8192;
const uint64_t kMostPixelsPerByte = 1024;

// What the headers say about a picture: its kind and size, and whether it can be handed to a
// decoder.
struct PictureHeaderCheck {
    enum Kind { kUnknown, kBmp, kPng, kGif, kJpeg, kTiff } kind = kUnknown;
    uint32_t width = 0, height = 0;
    bool acceptable = false;
};

// Checks the headers of BMP, PNG, GIF, JPEG, TIFF and icon files, and the records of enhanced and
// Windows metafiles. Other kinds are acceptable as long as they are not empty.
PictureHeaderCheck CheckPictureHeaders(const unsigned char* bytes, size_t size);
