// The image panel's settings and the table of image file types.
#include "bars/ImageBrowseSettings.h"

CString g_browseFolder;
BYTE g_helpImage = 0;

// The table is read by other globals' initialisers (the image panel's, the settings'): it is built
// ahead of every ordinary global of the program, whatever order the linker put the files in.
#define KV_BUILT_FIRST __attribute__((init_priority(200)))

const CString g_imageFilterNames[kImageFilterCount] KV_BUILT_FIRST = {
    "All Image Files",    "JPEG Files (*.jpg;*.jpeg)", "Bitmap Files (*.bmp;*.dib)",
    "GIF Files (*.gif)",  "TIFF Files (*.tif;*.tiff)", "PNG Files (*.png)",
    "Icon Files (*.ico)", "MetaFiles (*.wmf;*.emf)",
};

const CString g_imageFilterPatterns[kImageFilterCount] KV_BUILT_FIRST = {
    "*.jpg;*.jpeg;*.bmp;*.dib;*.gif;*.tif;*.tiff;*.png;*.ico;*.wmf;*.emf",
    "*.jpg;*.jpeg",
    "*.bmp;*.dib",
    "*.gif",
    "*.tif;*.tiff",
    "*.png",
    "*.ico",
    "*.wmf;*.emf",
};

const SIZE g_thumbSize = {110, 132};
