// The records of files before version 300 as the old-file reader works on them. Private to the
// design model: nothing outside model/ (and its tests) reads this layout.
#pragma once

#include <vector>

#include "framework/Core.h"

struct OldPropertyRecord {
    CString itemName;
    CString name;
    CString value;
    bool flag = false;
    CString fifth;
    CString choices;
    int kind = 0;
};

struct OldTextRecord {
    int number = 0;
    CString first;   // field name
    CString second;  // kind ("Text" or a track list)
    CString third;   // value
};

// The image blocks of a file before version 300, in file order.
typedef std::vector<std::vector<BYTE>> OldImageBlocks;
typedef std::vector<int> OldImageSizes;

// What the reader of such a file gathers before it makes the objects.
struct OldDocumentParts {
    std::vector<OldTextRecord> texts;
    std::vector<OldPropertyRecord> properties;
    OldImageBlocks blocks;
    OldImageSizes sizes;
};

// One image block as the image data of versions 300 to 499 is kept (an unused line, the byte
// count line, the bytes), or as a persisted variant holding the count.
void ReadOldImageBytes(CArchive& ar, OldImageBlocks& blocks, OldImageSizes& sizes);
void ReadOldVariantImage(CArchive& ar, OldImageBlocks& blocks, OldImageSizes& sizes);
