// RenderContext: the record every drawing of a design goes through - where to draw (a GDI+
// surface and, on screen, the view's off-screen DIB), what to draw (the document and the side
// object), how design units map to device pixels, and why the drawing is made (its purpose).
// It also carries the side's clip, the area a partial redraw is limited to, a copy of the print
// options and the outlines a screen drawing paints inverted at its end.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <vector>

#include "framework/Core.h"
#include "framework/win/ScopedGdi.h"
#include "model/PrintOptions.h"
#include "model/ViewObject.h"
#include "render/CanvasBackground.h"

class KorvanelleDocument;
class LabelTemplate;

// Why a drawing is made.
enum RenderPurpose {
    kPurposeNone = 0,
    kPurposeScreen = 1,
    kPurposeExportPreview = 2,
    kPurposeExport = 3,
    kPurposePrint = 4,
    kPurposePrintPreview = 5,
    kPurposeLightScribe = 6,
    kPurposeLightScribePreview = 7,
    kPurposeInactiveOutline = 8,
    kPurposeLabelStockPreview = 9,
    kPurposeAlignmentPreview = 10,
    kPurposeThumbnail = 11,
};

// Purposes drawn without anti-aliasing, with single-bit text and preview interpolation.
inline bool IsPreviewQuality(int purpose) {
    return purpose == kPurposeExportPreview || purpose == kPurposePrintPreview ||
           purpose == kPurposeLightScribePreview || purpose == kPurposeThumbnail;
}

typedef CTypedPtrArray<CPtrArray, ViewObject*> CObjectPtrArray;
typedef CTypedPtrArray<CPtrArray, Gdiplus::GraphicsPath*> CPathArray;

class RenderContext {
public:
    RenderContext();
    ~RenderContext();
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    // ---- set-up (each leaves the fields it does not name as they were) -----------------------
    void Setup(Gdiplus::Graphics* g, double sx, double sy, int purposeValue, KorvanelleDocument* doc,
               const PrintOptions* options);
    void Init(Gdiplus::Graphics* g, double sx, double sy, float ox, float oy, int purposeValue,
              KorvanelleDocument* doc, ViewObject* current, const PrintOptions* options);
    void SetupView(Gdiplus::Graphics* g, HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc,
                   const Gdiplus::Rect& marquee, int bx, int by, const Gdiplus::Rect& printable,
                   bool selection);
    void SetupScreen(Gdiplus::Graphics* g, HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc,
                     ViewObject* current, int bx, int by);
    void SetupHighlight(HBITMAP offscreen, double sx, double sy, KorvanelleDocument* doc, int bx, int by);
    void SetupGeometry(KorvanelleDocument* doc, double sx, double sy, int purposeValue, int bx, int by);
    void SetCurrentObject(ViewObject* object);

    // ---- queries ---------------------------------------------------------------------------------
    int GetKindSetting() const;
    bool HasBorder() const;
    bool HasFoldLines() const;
    bool GetSideRect(Gdiplus::Rect* side, Gdiplus::Rect* wide) const;
    // A fill of `color` over the device rectangle `r`, as far as the clip lets it through, would
    // only repeat what the blank area already holds.
    bool IsBlankFill(const Gdiplus::RectF& r, Gdiplus::ARGB color) const;
    // A fill over the device rectangle `r` (as far as the clip lets it through) lies wholly under
    // an opaque picture among the children that is drawn later in the same clip.
    bool IsHiddenByImage(const Gdiplus::RectF& r);

    // ---- regions ---------------------------------------------------------------------------------
    void BuildSideClip();
    void ApplyClip(bool on);
    bool HasVisibleArea() const { return visibleArea.Width > 0 && visibleArea.Height > 0; }
    // Narrows the surface's clip to the visible area, when there is one.
    void ClipToVisibleArea();
    void SetUpdateRects(const Gdiplus::Rect& first, const Gdiplus::Rect& second, int inflate, int originX,
                        int originY);
    void MirrorUpdateRegion(float dx, float dy);
    void InvertRegion(HRGN region);
    void AddRectPath(int x, int y, int w, int h);
    void TranslateForDuplicate(float dx, float dy);

    // ---- mapping ---------------------------------------------------------------------------------
    // A design rectangle to device floats (edges rounded to whole pixels), and to integers.
    Gdiplus::RectF MapRectF(const Gdiplus::RectF& r) const;
    Gdiplus::Rect MapRect(const Gdiplus::RectF& r) const;
    // A device rectangle grown by one pixel on every side meets the update region.
    bool MeetsUpdateRegion(const ViewObject* object) const;

    // ---- side drawing ----------------------------------------------------------------------------
    void FillBackground();
    void CollectObjects(CObjectPtrArray& out);
    void CollectChildren();
    void DrawBackgrounds();
    // Which pictures DrawImages draws: all, only the side's background pictures, or the others.
    enum class ImageLayer { All, Backgrounds, Others };
    void DrawImages(ImageLayer layer = ImageLayer::All);
    void DrawSideOutline();
    // The side's shape grown by the bleed (a disc's hole shrunk by it), in device pixels; null when
    // there is no current object.
    Gdiplus::Region* BuildBleedClip(int margin) const;

    // ---- screen overlays -------------------------------------------------------------------------
    void DrawGridDots();
    void AddGuidePaths();
    void AddDiscMarginPaths(bool alsoDuplicate);
    void DrawPrintableArea();
    void DrawPageFrame();
    void AddMarqueePath();
    void AddSelectionHandles();
    // The squares of the handles around `frame` (device pixels, the selection's rectangle grown
    // by a pixel), to be inverted with the outlines: a second inversion takes them off again.
    void AddHandleSquares(const Gdiplus::Rect& frame);
    void DrawOutlinePaths();

    // ---- fields, in order ------------------------------------------------------------------------
    Gdiplus::Graphics* graphics = nullptr;  // not owned
    HBITMAP offscreenBitmap = nullptr;      // not owned
    // `graphics` draws into a 24-bit GDI+ bitmap of the drawing's own (an export): characters of
    // one font and colour may then be put on its device context in one call (GlyphRuns.h).
    bool onRgbBitmap = false;
    KorvanelleDocument* document = nullptr;
    int borderX = 0, borderY = 0;
    Gdiplus::Rect printableArea;
    BYTE selectionShown = 0;
    ViewObject* currentObject = nullptr;
    CObjectPtrArray children;
    double scaleX = 1.0, scaleY = 1.0;
    float offsetX = 0, offsetY = 0;
    PrintOptions printOptions;
    int purpose = kPurposeNone;
    Gdiplus::Region* sideClip = nullptr;
    Gdiplus::Region* updateRegion = nullptr;
    ScopedRegion updateRgn;  // the update rectangles as a GDI region (device pixels), or none
    // The rectangles whose union is updateRegion (device pixels): whether an object meets it is
    // asked once per object of the side, which a test of the GDI+ region made slow.
    std::vector<Gdiplus::RectF> updateRects;
    BYTE hasUpdateRegion = 0;
    // The part of the surface a screen drawing has to get right (device pixels): the window shows
    // no more of the buffer. Empty: all of it. Fills, pictures and texts are clipped to it, and
    // nothing else about the drawing depends on it (unlike the update region, it leaves no object
    // out), so its pixels come out as a drawing of the whole surface has them.
    Gdiplus::Rect visibleArea;
    Gdiplus::Rect marqueeRect;
    CPathArray outlinePaths;
    // The outlines added by AddRectPath (device pixels); inverted straight with the paths: a side
    // of thousands of texts made a path GDI+ took minutes to turn into pixels.
    std::vector<Gdiplus::Rect> outlineRects;
    // The frame whose handle squares were added (empty: none).
    Gdiplus::Rect handlesFrame;
    // What a screen drawing fills the canvas around the side with (not owned); null: plain grey.
    const CanvasBackdrop* canvasBackdrop = nullptr;
    // A device rectangle that holds only `blankColor`, nothing drawn on it yet (a freshly cleared
    // export bitmap, a filled page): fills of that colour inside it change nothing and are
    // skipped. Empty once anything else is drawn.
    Gdiplus::Rect blankArea;
    Gdiplus::ARGB blankColor = 0;
    // For a preview drawing: takes over a picture that is not decoded, given the size it is drawn
    // at; true when it does, with in `copy` what to draw in its place (null: nothing yet, the
    // preview draws again once it comes). Unset or false: the picture is decoded for the drawing.
    std::function<bool(ViewObject* picture, int width, int height, Gdiplus::Bitmap*& copy)> previewPicture;
    // For a screen drawing: has a picture that is not decoded yet decoded away from the drawing
    // (on a thread), given the size its screen copy is wanted at (0 x 0: none); true when it will
    // come later, and the drawing leaves it out meanwhile. Unset: pictures are decoded where they
    // are drawn.
    std::function<bool(ViewObject* picture, int width, int height)> decodeElsewhere;
    // The pictures a drawing other than the screen's could not decode or draw with their colour
    // change (memory ran short, or their bytes are damaged): the drawing lacks them, and its
    // caller must say so.
    CObjectPtrArray undrawnPictures;

private:
    void ShiftByBorder();
    // The offsets already hold the canvas border (the screen set-ups).
    bool bordersInOffsets = false;
};

// Small shared operations of the renderer.
Gdiplus::GraphicsPath* MakeRectPath(float x, float y, float w, float h, const Gdiplus::Matrix* matrix);
Gdiplus::GraphicsPath* MakeEllipsePath(float x, float y, float w, float h, const Gdiplus::Matrix* matrix);
void SetSolidBrush(Gdiplus::SolidBrush** holder, Gdiplus::ARGB color);
DWORD ColorRefToRgb(COLORREF color);

// The side of a design, drawn layer by layer in a fixed order: its background, then each disc or
// cover with its pictures, texts and outlines, and on the screen the frame and selection on top.
void DrawSide(RenderContext& rc);
void DrawSideObjects(RenderContext& rc);
// Whether the pictures a drawing of the document's current side for `purpose` draws can be had,
// before anything is drawn: each one not decoded yet is decoded and let go again, one at a time;
// those that cannot are added to `undrawn`.
void CheckSidePictures(KorvanelleDocument* document, int purpose, const PrintOptions* options,
                       CObjectPtrArray& undrawn);
