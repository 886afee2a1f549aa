// The image panel's settings and the table of image file types.
#include "bars/ImageBrowseSettings.h"

CString g_browseFolder;
BYTE g_helpImage = 0;

const CString g_imageFilterNames[kImageFilterCount] = {
    "All Image Files",    "JPEG Files (*.jpg;*.jpeg)", "Bitmap Files (*.bmp;*.dib)",
    "GIF Files (*.gif)",  "TIFF Files (*.tif;*.tiff)", "PNG Files (*.png)",
    "Icon Files (*.ico)", "MetaFiles (*.wmf;*.emf)",
};

const CString g_imageFilterPatterns[kImageFilterCount] = {
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
