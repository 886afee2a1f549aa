// The installed canvas of the image panel.
#include "bars/ImagePanelCanvas.h"

namespace {
ImagePanelCanvas* g_imagePanelCanvas = nullptr;
}

ImagePanelCanvas* ImagePanelCanvas::Get() {
    return g_imagePanelCanvas;
}

void ImagePanelCanvas::Set(ImagePanelCanvas* canvas) {
    g_imagePanelCanvas = canvas;
}
