// ViewObject: fields, defaults, type predicates, geometry, image data and copies.
#include "model/ViewObject.h"

#include "model/AlbumInfo.h"
#include "model/PictureHeaders.h"

#include <cmath>
#include <cstdio>

using namespace Gdiplus;

IMPLEMENT_SERIAL(ViewObject, CObject, 507 | VERSIONABLE_SCHEMA)

namespace {

inline double Rnd(double v) {
    return std::floor(v + 0.5);
}

}  // namespace

ViewObject::ViewObject() {
    titleArea = RectF(0, 0, 0, 0);
    Reset(0);
}

ViewObject::~ViewObject() = default;

CString ViewObject::TypeNameOf(int type) {
    switch (type) {
        case kObjectPage:
            return "Page";
        case kObjectDisc:
            return "Disc";
        case kObjectFront:
            return "Front";
        case kObjectJewel:
            return "Jewel";
        case kObjectDvd:
            return "DVD";
        case kObjectImage:
            return "Image";
        case kObjectText:
            return "Text";
        case kObjectTrack:
            return "Track";
        case kObjectBoundary:
            return "Boundary";
        case kObjectBluray:
            return "Blu-ray";
        default:
            return CString();
    }
}

void ViewObject::SetTypeFromName() {
    static const struct {
        const char* name;
        int type;
    } names[] = {
        {"Page", kObjectPage},         {"Front", kObjectFront},    {"Jewel", kObjectJewel},
        {"DVD", kObjectDvd},           {"Blu-ray", kObjectBluray}, {"Disc", kObjectDisc},
        {"Boundary", kObjectBoundary}, {"Image", kObjectImage},    {"Text", kObjectText},
        {"Track", kObjectTrack},
    };
    for (const auto& n : names) {
        if (typeName == n.name) {
            type = n.type;
            return;
        }
    }
    if (typeName == "Cover") {
        if (name.Left(4) == "Disc")
            type = kObjectDisc;
        else if (name == "Front Cover")
            type = kObjectFront;
        else if (name == "Back Cover")
            type = (g_loadingAlbumInfo && g_loadingAlbumInfo->m_case == "DVD") ? kObjectDvd : kObjectJewel;
    }
}

bool ViewObject::IsDisc(int n) const {
    if (type != kObjectDisc) return false;
    if (n == -1) return true;
    // "Ends with the number": so "Disc 11" also counts as disc 1, as files have always read it.
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", n);
    CString suffix(digits);
    return name.GetLength() >= suffix.GetLength() && name.Right(suffix.GetLength()) == suffix;
}

bool ViewObject::ShowsTrackNumbers() const {
    return type == kObjectTrack &&
           (trackNumbers == "Track Numbers && Times" || trackNumbers == "Track Numbers");
}

bool ViewObject::ShowsTrackTimes() const {
    return type == kObjectTrack &&
           (trackNumbers == "Track Numbers && Times" || trackNumbers == "Track Times");
}

float ViewObject::GetArea() const {
    if (type == kObjectDisc) {
        float r = static_cast<float>(width) / 2.0f;
        return 3.14159265f * (r * r);
    }
    return static_cast<float>(width) * static_cast<float>(height);
}

int ViewObject::AngleToDegrees() const {
    if (angle == "180 degrees") return 180;
    if (angle == "90 degrees") return 270;
    if (angle == "270 degrees") return 90;
    return 0;
}

RectF ViewObject::GetRectF(bool hole, int margin, double dpiX, double dpiY, double zoom, float offsetX,
                           float offsetY) const {
    bool disc = type == kObjectDisc;
    float x = static_cast<float>(left), y = static_cast<float>(top);
    float w = static_cast<float>(width), h = static_cast<float>(disc ? width : height);
    if (disc && hole) {
        x = static_cast<float>(left) + static_cast<float>(width) * 0.5f - static_cast<float>(height) * 0.5f;
        y = static_cast<float>(top) + static_cast<float>(width) * 0.5f - static_cast<float>(height) * 0.5f;
        w = h = static_cast<float>(height);
    }
    float m = static_cast<float>(margin), ox = offsetX, oy = offsetY;
    if (dpiX != 0 || dpiY != 0) {
        float fx = static_cast<float>(dpiX) / 1000.0f, fy = static_cast<float>(dpiY) / 1000.0f;
        if (zoom != 1.0) {
            fx *= static_cast<float>(zoom);
            fy *= static_cast<float>(zoom);
        }
        x *= fx;
        w *= fx;
        y *= fy;
        h *= fy;
        if (ox != 0 || oy != 0) {
            ox *= fx;
            oy *= fx;
        }
        if (margin != 0) m *= fx;
    }
    x += ox;
    y += oy;
    if (disc && hole) m = -m;
    if (m != 0) {
        x -= m;
        y -= m;
        w += 2 * m;
        h += 2 * m;
    }
    return RectF(x, y, w, h);
}

namespace {

// Scale factors of the integer forms; (0, 0) dots per inch leave values as they are.
struct IntScale {
    bool on = false;
    double fx = 1, fy = 1;
    IntScale(double dpiX, double dpiY, double zoom) {
        if (dpiX != 0 || dpiY != 0) {
            on = true;
            fx = dpiX / 1000.0;
            fy = dpiY / 1000.0;
            if (zoom != 1.0) {
                fx *= zoom;
                fy *= zoom;
            }
        }
    }
    int X(double v) const { return static_cast<int>(Rnd(on ? v * fx : v)); }
    int Y(double v) const { return static_cast<int>(Rnd(on ? v * fy : v)); }
};

}  // namespace

Rect ViewObject::GetDeviceRect(bool hole, int margin, double dpiX, double dpiY, double zoom, float offsetX,
                               float offsetY) const {
    bool disc = type == kObjectDisc;
    int x = left, y = top, w = width, h = disc ? width : height;
    if (disc && hole) {
        x = left + (width - height) / 2;
        y = top + (width - height) / 2;
        w = h = height;
    }
    IntScale s(dpiX, dpiY, zoom);
    int X = s.X(x), Y = s.Y(y), W = s.X(w), H = s.Y(h);
    X += s.X(offsetX);
    Y += s.X(offsetY);
    int m = s.X(margin);
    if (disc && hole) m = -m;
    return Rect(X - m, Y - m, W + 2 * m, H + 2 * m);
}

CRect ViewObject::GetDeviceBounds(bool hole, int margin, double dpiX, double dpiY, double zoom, float offsetX,
                                  float offsetY) const {
    bool disc = type == kObjectDisc;
    int x = left, y = top, w = width, h = disc ? width : height;
    if (disc && hole) {
        x = left + width / 2 - height / 2;
        y = top + width / 2 - height / 2;
        w = h = height;
    }
    IntScale s(dpiX, dpiY, zoom);
    int L = s.X(x), T = s.Y(y), R = s.X(x + w), B = s.Y(y + h);
    int ox = s.X(offsetX), oy = s.X(offsetY);
    int m = s.X(margin);
    if (disc && hole) m = -m;
    return CRect(L + ox - m, T + oy - m, R + ox + m, B + oy + m);
}

bool ViewObject::HitTest(float x, float y) const {
    if (type == kObjectDisc) {
        auto inEllipse = [x, y](const Rect& r) {
            if (r.Width <= 0 || r.Height <= 0) return false;
            double rx = r.Width / 2.0, ry = r.Height / 2.0;
            double dx = (x - (r.X + rx)) / rx, dy = (y - (r.Y + ry)) / ry;
            return dx * dx + dy * dy <= 1.0;
        };
        Rect outer = GetDeviceRect(false);
        Rect inner = GetDeviceRect(true);
        return inEllipse(outer) && !inEllipse(inner);
    }
    RectF r = GetRectF(false);
    return x >= r.X && y >= r.Y && x < r.X + r.Width && y < r.Y + r.Height;
}

void ViewObject::CopyGeometry(const ViewObject* other) {
    if (!other) return;
    side = other->side;
    left = other->left;
    top = other->top;
    width = other->width;
    height = other->height;
    spineWidth = other->spineWidth;
    bFolded = other->bFolded;
    savedLeft = other->savedLeft;
    savedTop = other->savedTop;
}

void ViewObject::Reset(int newType) {
    name.Empty();
    type = newType;
    side = 0;
    sideName.Empty();
    left = top = width = height = 0;
    alignment.Empty();
    angle.Empty();
    trackNumbers.Empty();
    textLayout.Empty();
    wrapStyle.Empty();
    spineWidth = textMargin = 0;
    bLinkText = bAspectRatio = bBackground = bAutoFit = bFolded = 0;
    hue = saturation = lightness = 0;
    imageSource.Empty();
    savedLeft = savedTop = -1;
    autoFitGaveUp = 0;
    needsLayout = 1;
}

// ---- image data -------------------------------------------------------------------------------

void ViewObject::ReleaseOwnedImages() {
    if (!sharedDecoded) delete decodedImage;
    decodedImage = nullptr;
    sharedDecoded = false;
    // The colour worker may be reading the decoded image and writing these two: wait for it.
    HslLock held(*this);
    if (!sharedAdjusted) delete adjustedImage;
    delete workingImage;
    adjustedImage = nullptr;
    workingImage = nullptr;
    sharedAdjusted = false;
}

void ViewObject::SetDecodedImage(Bitmap* bitmap) {
    if (bitmap == decodedImage) return;
    if (!sharedDecoded) delete decodedImage;
    decodedImage = bitmap;
    sharedDecoded = false;
}

Bitmap* ViewObject::TakeDecodedImage() {
    HslLock held(*this, std::try_to_lock);
    if (!held || sharedDecoded) return nullptr;
    Bitmap* taken = decodedImage;
    decodedImage = nullptr;
    return taken;
}

void ViewObject::SetAdjustedImage(Bitmap* bitmap) {
    HslLock held(*this);
    SetAdjustedImage(bitmap, held);
}

void ViewObject::SetWorkingImage(Bitmap* bitmap) {
    HslLock held(*this);
    SetWorkingImage(bitmap, held);
}

void ViewObject::SetAdjustedImage(Bitmap* bitmap, const HslLock& held) {
    const int w = bitmap ? static_cast<int>(bitmap->GetWidth()) : 0;
    const int h = bitmap ? static_cast<int>(bitmap->GetHeight()) : 0;
    SetAdjustedImage(bitmap, ScreenCopyPlace::Whole(w, h), held);
}

void ViewObject::SetAdjustedImage(Bitmap* bitmap, const ScreenCopyPlace& place, const HslLock&) {
    adjustedPlace = place;
    if (bitmap == adjustedImage) return;
    if (!sharedAdjusted) delete adjustedImage;
    adjustedImage = bitmap;
    sharedAdjusted = false;
}

void ViewObject::SetWorkingImage(Bitmap* bitmap, const HslLock&) {
    if (bitmap == workingImage) return;
    delete workingImage;
    workingImage = bitmap;
}

void ViewObject::LockHsl() {
    while (!TryLockHsl()) Sleep(1);
}

bool ViewObject::EnsureImageLoaded(bool* tooLarge) {
    bool result = false;
    if (tooLarge) *tooLarge = false;
    GuardOperation(500, [&] {
        if (type != kObjectImage) return;
        if (decodedImage) {
            result = true;
            return;
        }
        if (image.IsEmpty()) return;
        Bitmap* bitmap = image.CreateBitmap(tooLarge);
        SetDecodedImage(bitmap);
        result = bitmap != nullptr;
    });
    return result;
}

void ViewObject::FreeImageData(bool keepBytes) {
    GuardOperation(501, [&] {
        if (type != kObjectImage) return;
        ReleaseOwnedImages();
        if (!keepBytes) image.Clear();
    });
}

bool ViewObject::ReadImageFile(LPCSTR path, PictureHeaderCheck* headers) {
    bool ok = false;
    GuardOperation(516, [&] {
        if (type != kObjectImage) return;
        FreeImageData(false);
        HANDLE file = CreateFileW(AfxWideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER size = {};
        bool read = false;
        CByteArray bytes;
        if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
            bytes.SetSize(static_cast<INT_PTR>(size.QuadPart));
            DWORD got = 0;
            read = ReadFile(file, bytes.GetData(), static_cast<DWORD>(size.QuadPart), &got, nullptr) &&
                   got == static_cast<DWORD>(size.QuadPart);
        }
        CloseHandle(file);
        if (!read) return;
        const PictureHeaderCheck check = CheckPictureHeaders(bytes.GetData(), static_cast<size_t>(bytes.GetSize()));
        if (headers) *headers = check;
        if (!check.acceptable) return;
        ok = image.SetBytes(bytes.GetData(), static_cast<ULONG>(bytes.GetSize()));
    });
    if (!ok && type == kObjectImage) image.Clear();
    return ok;
}

bool ViewObject::LoadImageFile(LPCSTR path, bool dropDecoded) {
    bool ok = false;
    GuardOperation(502, [&] {
        if (!ReadImageFile(path) || !EnsureImageLoaded()) return;
        if (dropDecoded) FreeImageData(true);
        ok = true;
    });
    if (!ok && type == kObjectImage) {
        // An image object is never left holding bytes that do not decode.
        ReleaseOwnedImages();
        image.Clear();
    }
    return ok;
}

CString ViewObject::PictureName() const {
    const CString& file = imageSource.IsEmpty() ? imagePath : imageSource;
    if (!file.IsEmpty()) return file.Mid(file.ReverseFind('\\') + 1);
    if (sideName.IsEmpty()) return name;
    return name + (sideName.Left(4) == "Disc" ? " on " : " on the ") + sideName;
}

// ---- life and copies ------------------------------------------------------------------------------

void ViewObject::ReleaseAll() {
    FreeCharStyles();
    charUnderlines.RemoveAll();
    chars.RemoveAll();
    FreeLayoutBoxes(true);
    for (INT_PTR i = 0; i < trackRows.GetSize(); ++i) delete trackRows[i];
    trackRows.RemoveAll();
    ReleaseOwnedImages();
    image.Clear();
}

void ViewObject::CopyFrom(ViewObject* source, bool moveImage, bool copyImage, bool shareImage) {
    GuardOperation(503, [&] {
        if (!source || source == this) return;
        name = source->name;
        type = source->type;
        side = source->side;
        sideName = source->sideName;
        left = source->left;
        top = source->top;
        width = source->width;
        height = source->height;
        textMargin = source->textMargin;
        bAspectRatio = source->bAspectRatio;
        bLinkText = source->bLinkText;
        bAutoFit = source->bAutoFit;
        bBackground = source->bBackground;
        alignment = source->alignment;
        angle = source->angle;
        trackNumbers = source->trackNumbers;
        textLayout = source->textLayout;
        wrapStyle = source->wrapStyle;
        hue = source->hue;
        saturation = source->saturation;
        lightness = source->lightness;
        spineWidth = source->spineWidth;
        bFolded = source->bFolded;
        savedLeft = source->savedLeft;
        savedTop = source->savedTop;

        chars.Copy(source->chars);
        FreeCharStyles();
        for (INT_PTR i = 0; i < source->charFonts.GetSize(); ++i)
            charFonts.Add(CopyFontRecord(source->charFonts[i]));
        for (INT_PTR i = 0; i < source->charColors.GetSize(); ++i)
            charColors.Add(CopyColorRecord(source->charColors[i]));
        charUnderlines.Copy(source->charUnderlines);

        FreeLayoutBoxes(true);
        for (INT_PTR i = 0; i < trackRows.GetSize(); ++i) delete trackRows[i];
        trackRows.RemoveAll();
        ReleaseOwnedImages();
        image.Clear();
        needsLayout = 1;

        if (source->imagePath.IsEmpty()) {
            if (moveImage && !source->image.IsBorrowed()) {
                // The bytes change hands: the source no longer holds them.
                image.Attach(source->image.GetStream());
                source->image.Detach();
            }
        } else {
            imagePath = source->imagePath;
        }
        if (copyImage) {
            if (!source->image.IsEmpty()) image.CopyFrom(source->image.GetStream());
        } else if (shareImage) {
            // What the source has decoded is shared; a picture it has not is not decoded for the
            // copy (a copy of a whole design would decode the pictures of every side): the copy
            // decodes it from the shared bytes if it is drawn.
            if (image.IsEmpty() && !source->image.IsEmpty()) image.Borrow(source->image.GetStream());
            decodedImage = source->decodedImage;
            sharedDecoded = decodedImage != nullptr;
            HslLock sourceHeld(*source);
            adjustedImage = source->adjustedImage;
            adjustedPlace = source->adjustedPlace;
            sharedAdjusted = adjustedImage != nullptr;
        }
    });
}

ViewObject* NewViewObject(int type, const char* name, int side, const char* sideName, int left, int top,
                          int width, int height) {
    ViewObject* o = new ViewObject;
    o->Reset(type);
    o->name = name;
    o->side = side;
    o->sideName = sideName;
    o->left = left;
    o->top = top;
    o->width = width;
    o->height = height;
    return o;
}

void DeleteViewObject(ViewObject* object) {
    if (!object) return;
    GuardOperation(504, [&] {
        object->ReleaseAll();
        ViewObject* pending = object->pendingGeometry;
        object->pendingGeometry = nullptr;
        DeleteViewObject(pending);
    });
    delete object;
}
