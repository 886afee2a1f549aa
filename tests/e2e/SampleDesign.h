// The design the export and print scenarios hand to the program: a jewel case with one disc and a
// coloured text on each side, written by the driver through the design model as a .kvl file.
// The driver also renders that file's sides itself, through the same renderer the program links,
// to have the pictures an export must match, compares pictures block by block, and reads back the
// template library (templates.ini) the program keeps.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// The sides of the sample design, as Save as Image names them, and the design objects they are.
struct SampleSide {
    const char* entry;   // the entry of Save as Image's image list
    const char* object;  // the design object
    const char* text;    // the text the driver puts on it
};
const std::vector<SampleSide>& SampleSides();

// Starts GDI+ and the paper table for the driver's own rendering.
bool PrepareRendering();

// Writes the sample design to `path`; false when it could not be written.
bool WriteSampleDesign(const std::string& path);

// What an export of a side is compared with: the renderer's picture of the side of the design in
// `path`, for export at `dpi`, with the side's border, the covers' fold lines when `foldLines`,
// and no overlap (as the scenario chooses them in the dialog). With `withoutText` the side's text
// is left out (the picture a faulty export that lost the text would show).
std::unique_ptr<Gdiplus::Bitmap> RenderSampleSide(const std::string& path, const SampleSide& side, int dpi,
                                                  bool withoutText, bool foldLines);

// A picture file decoded (PNG, JPEG); null when it does not decode.
std::unique_ptr<Gdiplus::Bitmap> DecodePicture(const std::string& path);

// How far two pictures of one size lie apart: the mean colour of each `block` x `block` square
// compared channel by channel. A lost text changes the squares it covered by far more than the
// JPEG encoder's rounding does.
struct PictureDifference {
    bool sameSize = false;
    int worstBlock = 0;       // the largest difference of a block's channel mean, 0 to 255
    double meanAbs = 0;       // the mean difference per pixel and channel
    size_t differentBlocks = 0;  // blocks whose worst channel differs by more than 32
};
PictureDifference ComparePictures(Gdiplus::Bitmap& a, Gdiplus::Bitmap& b, int block);

// The top edge (thousandths of an inch) of the object `objectName` of the template `templateName`
// in the template library file `path`; -1 when the file, the template or the object is missing.
int TemplateObjectTop(const std::string& path, const std::string& templateName, const std::string& objectName);

}  // namespace e2e
