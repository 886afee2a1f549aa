// ViewObject: one object of a design - a page, a disc, a cover, a boundary strip, an image, a
// text or a track list. Side areas (discs and covers) are objects like the texts and images on
// them; every object names the area it sits on. Lengths are thousandths of an inch.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <mutex>

#include "framework/Core.h"
#include "model/TrackListText.h"
#include "model/ImageStream.h"

// What an image's copy to the clipboard did.
enum class ImageCopyResult {
    kCopied,         // its bytes and a bitmap for other programs
    kWithoutBitmap,  // its bytes only: no bitmap can be made of it in the memory left
    kTooLarge,       // nothing: too large for the memory left
    kUnreadable,     // nothing: the picture does not decode
    kClipboardBusy,  // nothing: another program holds the clipboard
};

// Type codes.
enum ViewObjectType {
    kObjectNone = 0,
    kObjectPage = 1,
    kObjectDisc = 2,
    kObjectFront = 3,
    kObjectJewel = 4,
    kObjectDvd = 5,
    kObjectImage = 6,
    kObjectText = 7,
    kObjectTrack = 8,
    kObjectBoundary = 9,
    kObjectBluray = 10,
};


// What a record read from a file or the clipboard may hold: positions and sizes within a sheet
// far larger than any page or side (thousandths of an inch), and fonts no taller than the largest
// size AutoFit chooses (500 points). A damaged or hostile record is brought within these on
// reading, so that no layout or drawing has to cope with values no design can use.
const int kMaxDesignLength = 50000;
const int kMaxFontHeight = 5000;  // tenths of a point
// The most characters a text or track list holds: more than the largest side shows at the
// smallest size AutoFit uses, while every character costs some sixty bytes held and a measure at
// each layout. A text of ten million characters took the 32-bit process past a gigabyte.
const int kMaxTextChars = 1 << 20;

// Where the three fields of one track begin and end (index of the closing 0x08).
struct TrackRow {
    int numberStart = 0, numberEnd = 0;
    int titleStart = 0, titleEnd = 0;
    int timeStart = 0, timeEnd = 0;
};

typedef CTypedPtrArray<CPtrArray, LOGFONTA*> CFontRecordArray;
typedef CTypedPtrArray<CPtrArray, COLORREF*> CColorRecordArray;
typedef CTypedPtrArray<CPtrArray, Gdiplus::RectF*> CBoxArray;
typedef CTypedPtrArray<CPtrArray, TrackRow*> CTrackRowArray;

class HslLock;
struct PictureHeaderCheck;

// Where a screen copy of a picture lies in the picture drawn whole at the screen's size: the
// whole's size and the part the copy holds (device pixels from the whole's top-left corner). A
// picture far larger than its side keeps a copy of only the part the side can show.
struct ScreenCopyPlace {
    int wholeWidth = 0, wholeHeight = 0;
    Gdiplus::Rect part;
    static ScreenCopyPlace Whole(int width, int height) {
        ScreenCopyPlace place;
        place.wholeWidth = width;
        place.wholeHeight = height;
        place.part = Gdiplus::Rect(0, 0, width, height);
        return place;
    }
    bool IsWhole() const {
        return part.X == 0 && part.Y == 0 && part.Width == wholeWidth && part.Height == wholeHeight;
    }
};

class ViewObject : public CObject {
    DECLARE_SERIAL(ViewObject)
public:
    ViewObject();
    ~ViewObject() override;
    ViewObject(const ViewObject&) = delete;
    ViewObject& operator=(const ViewObject&) = delete;

    // The file record.
    void Serialize(CArchive& ar) override;

    // ---- type names -------------------------------------------------------------------
    static CString TypeNameOf(int type);
    CString GetTypeName() const { return TypeNameOf(type); }
    // Sets `type` from `typeName` (the older "Cover" by the object's name).
    void SetTypeFromName();

    // ---- predicates -------------------------------------------------------------------
    bool IsPage(int sideIndex = -1) const {
        return type == kObjectPage && (sideIndex == -1 || side == sideIndex);
    }
    bool IsDisc(int n = -1) const;
    bool IsFrontCover() const { return type == kObjectFront; }
    bool IsJewelBack() const { return type == kObjectJewel; }
    bool IsDvdBack() const { return type == kObjectDvd; }
    bool IsBlurayBack() const { return type == kObjectBluray; }
    bool IsBackCover() const { return type == kObjectJewel || type == kObjectDvd || type == kObjectBluray; }
    bool IsCover() const { return type == kObjectFront || IsBackCover(); }
    bool IsSide() const { return IsDisc(-1) || IsCover(); }
    bool IsFoldedFrontCover() const { return type == kObjectFront && bFolded != 0; }
    bool IsImage() const { return type == kObjectImage; }
    bool IsText() const { return type == kObjectText; }
    bool IsTrackList() const { return type == kObjectTrack; }
    bool IsBoundary() const { return type == kObjectBoundary; }
    bool IsTimeField() const { return type == kObjectText && name.Left(4) == "Time"; }
    bool IsFreeText() const { return type == kObjectText && name.Left(4) == "Text"; }
    bool IsFrontCoverInside() const {
        return type == kObjectBoundary && name.Left(20) == "Front Cover (Inside)";
    }
    bool IsLeftTab() const { return type == kObjectBoundary && name.Left(8) == "Left Tab"; }
    bool IsRightTab() const { return type == kObjectBoundary && name.Left(9) == "Right Tab"; }
    bool HasSavedPosition() const { return type == kObjectDisc && savedLeft > -1; }
    bool ShowsTrackNumbers() const;
    bool ShowsTrackTimes() const;
    bool IsTableFormat() const { return type == kObjectTrack && textLayout == "Table Format"; }
    bool IsColumnFormat() const {
        return type == kObjectTrack && (textLayout == "1 Column" || textLayout == "2 Columns");
    }

    // ---- geometry (design units unless said otherwise) ---------------------------------------
    int GetRight() const { return left + width; }
    int GetBottom() const { return top + (type == kObjectDisc ? width : height); }
    CPoint GetCenter() const { return CPoint(left + width / 2, top + height / 2); }
    float GetArea() const;
    // Clockwise drawing rotation of `angle`: 0, 90, 180 or 270.
    int AngleToDegrees() const;
    // The object's rectangle (or a disc's hole square with `hole`) scaled by dots per inch / 1000
    // and the zoom (both dots-per-inch values 0: not scaled), moved by the offset (design units)
    // and widened by the margin (narrowed for a hole).
    Gdiplus::RectF GetRectF(bool hole = false, int margin = 0, double dpiX = 0, double dpiY = 0,
                            double zoom = 1.0, float offsetX = 0, float offsetY = 0) const;
    Gdiplus::Rect GetDeviceRect(bool hole = false, int margin = 0, double dpiX = 0, double dpiY = 0,
                                double zoom = 1.0, float offsetX = 0, float offsetY = 0) const;
    CRect GetDeviceBounds(bool hole = false, int margin = 0, double dpiX = 0, double dpiY = 0,
                          double zoom = 1.0, float offsetX = 0, float offsetY = 0) const;
    bool HitTest(float x, float y) const;
    void CopyGeometry(const ViewObject* other);

    // ---- image data (image objects) ------------------------------------------------------------
    // `tooLarge` (when given) says whether a picture that did not load was refused for its size.
    bool EnsureImageLoaded(bool* tooLarge = nullptr);
    void FreeImageData(bool keepBytes);
    bool LoadImageFile(LPCSTR path, bool dropDecoded);
    // Reads a picture file's bytes into the object without decoding them: false (and nothing held)
    // when the file cannot be read or its headers are refused. The decode comes later; `headers`
    // (when given) receives what the headers say.
    bool ReadImageFile(LPCSTR path, PictureHeaderCheck* headers = nullptr);
    // How the user knows this picture: the name of the file it came from when that is known, else
    // the object's name and the side it lies on ("Image(3) on the Back Cover", "Image on Disc 1").
    CString PictureName() const;
    // Whether the screen waits for this object's picture from a decode that runs elsewhere.
    bool IsDecodePending() const { return decodeTicket != 0 && !decodedImage; }
    // Replace a decoded bitmap, releasing the previous one when this object owns it; the object
    // owns the new one. The adjusted and working images are shared with the colour worker: the
    // one-argument forms wait for hslBusy themselves, the others are for a caller holding it.
    void SetDecodedImage(Gdiplus::Bitmap* bitmap);
    // Hands the decoded bitmap it owns to the caller and keeps none, so that work on another
    // thread reads it alone (SetDecodedImage gives it back); null when it owns none, or while the
    // colour worker reads it.
    Gdiplus::Bitmap* TakeDecodedImage();
    void SetAdjustedImage(Gdiplus::Bitmap* bitmap);
    void SetWorkingImage(Gdiplus::Bitmap* bitmap);
    void SetAdjustedImage(Gdiplus::Bitmap* bitmap, const HslLock& held);
    void SetWorkingImage(Gdiplus::Bitmap* bitmap, const HslLock& held);
    // The same, for a copy of a part of the picture (the forms above take the bitmap as a copy of
    // the whole); the working image always lies where the adjusted one does.
    void SetAdjustedImage(Gdiplus::Bitmap* bitmap, const ScreenCopyPlace& place, const HslLock& held);
    // True when the image bytes and decoded images are another object's (a shared copy).
    bool SharesImageData() const { return image.IsBorrowed() || sharedDecoded || sharedAdjusted; }

    // The busy flag of the working bitmaps (adjustedImage, workingImage), shared by the colour
    // worker and the user interface. TryLockHsl takes it when free; LockHsl waits for it.
    bool TryLockHsl() { return !hslBusy.exchange(true, std::memory_order_acquire); }
    void LockHsl();
    void UnlockHsl() { hslBusy.store(false, std::memory_order_release); }
    bool IsHslBusy() const { return hslBusy.load(std::memory_order_acquire); }

    // ---- the clipboard ----------------------------------------------------------------------------
    // Texts and track lists travel as their own file record under the registered format, images
    // as their own bytes (PictureClipboardFormat) beside a device-independent bitmap, plain text
    // as CF_TEXT. Each opens and closes the clipboard, and empties it only once it has the data.
    bool CopyToClipboard(UINT format);
    // True when anything reached the clipboard; `result` (when given) says what did, or why
    // nothing did. With a `renderer` window, a decoded picture's bitmap is only offered: that
    // window owns the clipboard and makes the bitmap when a program asks for it
    // (WM_RENDERFORMAT), or before it goes (WM_RENDERALLFORMATS).
    bool CopyImageToClipboard(ImageCopyResult* result = nullptr, HWND renderer = nullptr);
    // Reads a record of the registered format into this fresh object; false (the caller deletes
    // the object) when the block is too short, unreadable, or holds anything but a text or a
    // track list. A linked text takes its field from g_loadingAlbumInfo as the caller set it.
    bool PasteFromClipboard(UINT format);
    // The picture's own bytes when the clipboard offers them, else its bitmap, decoded into this
    // image object; `tooLarge` (when given) says whether a picture that did not paste was refused
    // for its size or for the memory left.
    bool PasteImageFromClipboard(bool* tooLarge = nullptr);
    // The clipboard's text with "\r\n" as "\r", no 0x08 and tabs as blanks; empty for objects
    // other than texts and track lists.
    CString PasteText();

    // ---- life and copies ------------------------------------------------------------------------
    void Reset(int newType);
    void CopyFrom(ViewObject* source, bool moveImage, bool copyImage, bool shareImage);

    // The text encodings of the font and colour runs in the file record.
    CString EncodeFontRuns() const;
    CString EncodeColorRuns() const;
    void DecodeFontRuns(const CString& text);
    void DecodeColorRuns(const CString& text);
    // Brings the numbers a record was read with (positions, sizes, colour changes, font heights
    // and weights) within what a design can use.
    void LimitRecordValues();

    // ---- characters, runs and track rows ----------------------------------------------------------
    // A text longer than kMaxTextChars keeps its first characters and its last one (the 0x08 that
    // ends a text or a track list's last field).
    void SetText(const CString& text);
    CString GetText() const;
    void SetTextKeepStyles(const CString& text);
    void PruneCharFonts();
    void PruneCharColors();
    void SyncCharUnderlines();
    void SyncCharBoxes();
    void FreeLayoutBoxes(bool alsoRows);
    void RebuildTrackRows();
    Gdiplus::RectF GetTrackColumnRect(int row, int column) const;
    Gdiplus::RectF GetTrackRowRect(int row) const;
    void LayoutTrackColumns();
    // Frees every font and colour record and empties both arrays.
    void FreeCharStyles();
    int GetCharCount() const { return static_cast<int>(chars.GetSize()); }

    // Font records start all zero with character set 1; the default record is "Arial", height
    // 400 (tenths of a point), weight 400.
    static LOGFONTA* NewFontRecord();
    static LOGFONTA* NewDefaultFontRecord();
    static LOGFONTA* CopyFontRecord(const LOGFONTA* source);
    static COLORREF* CopyColorRecord(const COLORREF* source);

    // ---- fields, in declared order ----------------------------------------------------------------
    CString name;
    int type = 0;
    int side = 0;
    CString sideName;
    int left = 0, top = 0;
    int width = 0;   // outer diameter of a disc
    int height = 0;  // inner (hole) diameter of a disc
    CString alignment;
    CString angle;         // "90 degrees", "180 degrees", "270 degrees"
    CString trackNumbers;  // "Track Numbers && Times", "Track Numbers", "Track Times", "Text Only"
    CString textLayout;    // "Table Format", "1 Column", "2 Columns", "Top && Bottom" ...
    CString wrapStyle;     // "Word-Wrap", "Single-Line"
    int spineWidth = 0;
    int textMargin = 0;
    int bLinkText = 0;
    int bAspectRatio = 0;
    int bBackground = 0;  // 0 none, 1 or 2: background of panel 1 or 2 of its side area
    int bAutoFit = 0;
    int bFolded = 0;
    CStringArray chars;          // one character per element
    CFontRecordArray charFonts;  // null: as the nearest character before it
    CColorRecordArray charColors;
    int hue = 0;          // -180..180
    int saturation = 0;   // -100..100
    CString imageSource;  // empty: the object carries its own image bytes in the file
    int lightness = 0;    // -100..100
    int savedLeft = -1, savedTop = -1;
    CWordArray charUnderlines;
    IStreamObject image;
    BYTE autoFitGaveUp = 0;
    BYTE needsLayout = 1;
    ViewObject* pendingGeometry = nullptr;  // owned
    Gdiplus::Bitmap* decodedImage = nullptr;
    Gdiplus::Bitmap* adjustedImage = nullptr;
    Gdiplus::Bitmap* workingImage = nullptr;
    ScreenCopyPlace adjustedPlace;  // where adjustedImage (and workingImage) lies
    // Non-zero while a decode started for this object (never copied) has not yet delivered.
    unsigned decodeTicket = 0;
    CTrackRowArray trackRows;
    CBoxArray cellBoxes;
    CBoxArray glyphBoxes;
    Gdiplus::RectF titleArea;
    // Used by undo snapshots only.
    CString undoDiscLayout;
    int undoSelStart = 0;
    int undoSelEnd = 0;
    CString imagePath;
    CString typeName;

private:
    friend void DeleteViewObject(ViewObject* object);
    void ReleaseOwnedImages();
    void ReleaseAll();
    void LoadRecord(CArchive& ar);

    std::atomic<bool> hslBusy{false};
    // A copy made with shareImage refers to its source's decoded images without owning them
    // (and to its stream, which `image` knows it borrows); these say which are borrowed.
    bool sharedDecoded = false;
    bool sharedAdjusted = false;
};

// Holds an object's hslBusy flag for as long as it lives and gives it back however the scope is
// left, an exception included (a flag left taken would make the next wait spin for ever).
class HslLock {
public:
    // Waits until the flag is free.
    explicit HslLock(ViewObject& object) : m_object(&object), m_owned(true) { object.LockHsl(); }
    // Takes the flag only when it is free; test with the bool operator.
    HslLock(ViewObject& object, std::try_to_lock_t) : m_object(&object), m_owned(object.TryLockHsl()) {}
    ~HslLock() {
        if (m_owned) m_object->UnlockHsl();
    }
    HslLock(const HslLock&) = delete;
    HslLock& operator=(const HslLock&) = delete;
    explicit operator bool() const { return m_owned; }

private:
    ViewObject* m_object;
    bool m_owned;
};

// Releases everything the object owns (and its pendingGeometry the same way), then the object.
void DeleteViewObject(ViewObject* object);

// A new object with its type's defaults, named and placed on a side (thousandths of an inch).
ViewObject* NewViewObject(int type, const char* name, int side, const char* sideName, int left = 0,
                          int top = 0, int width = 0, int height = 0);

// The clipboard's form of an image for other programs: a packed DIB (the bytes of a BMP file
// without its 14-byte file header) in 24 bits, or 32 when the picture has an alpha channel, with
// the image size filled in and no resolution; a new movable block, null on failure. `tooLarge`
// (when given) says whether the memory for it could not be had.
HGLOBAL MakeClipboardDib(Gdiplus::Bitmap* bitmap, bool* tooLarge = nullptr);
// The registered format under which an image object's own bytes (its picture file, exactly)
// travel beside its bitmap, so that Paste Object takes the picture as it was, at any size.
UINT PictureClipboardFormat();
// The clipboard's plain text normalised for pasting into a text or track list.
CString NormalizePastedText(const CString& text);
