// List boxes of the dialogs. AeroListBox is the plain themed list box. AeroListImage is an
// owner-drawn list box whose rows show a caption and, optionally, a picture from an array of
// GDI+ images handed over by the owner (the New Project dialog's case kinds). Captions are
// rendered once per item into two small bitmaps (normal and selected); each row is composed in
// an off-screen bitmap that is reused while the row size stays the same.
//
// The owner sets m_showImages, then calls SetImages, AddItem for each row and SizeToContent. An
// owner whose pictures come later hands over an array of empty entries, sets the size the
// pictures will have (SetImageSize) and puts each picture in when it is made (PutImage).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/Win.h"

class AeroListBox : public CListBox {
    DECLARE_DYNAMIC(AeroListBox)
};

// The record attached to every item of the picture and icon list boxes. Both classes keep the
// image index and the flags at the same words, so that they share one double-click handler.
struct ListItemRecord {
    DWORD value0;
    DWORD value1;
    DWORD imageIndex;
    DWORD formatOrSpare;  // icon list: extra DrawText format flags; picture list: unused
    DWORD flags;          // bit 0: a double-click on this item is not passed to the parent
};
enum : DWORD {
    kItemRecordValue0 = 1,
    kItemRecordValue1 = 2,
    kItemRecordImage = 4,
    kItemRecordFlags = 8,
    kItemFlagKeepDoubleClick = 1,
};

// The picture list's record: the common words plus its two caption bitmaps.
struct ImageListItemRecord : ListItemRecord {
    Gdiplus::Bitmap* normalCaption;
    Gdiplus::Bitmap* selectedCaption;
};

// The array of pictures an AeroListImage owns.
struct ListImageArray {
    ListImageArray() = default;
    ~ListImageArray();
    ListImageArray(const ListImageArray&) = delete;
    ListImageArray& operator=(const ListImageArray&) = delete;
    // Takes ownership of the image.
    void Add(Gdiplus::Image* image) { images.push_back(image); }
    int Size() const { return static_cast<int>(images.size()); }
    std::vector<Gdiplus::Image*> images;
};

// The reflected LBN_DBLCLK handling of both record list boxes: TRUE (keep it from the parent)
// only on an item whose record has kItemFlagKeepDoubleClick.
BOOL HandleRecordListDoubleClick(CListBox* list);

class AeroListImage : public CListBox {
    DECLARE_DYNAMIC(AeroListImage)
public:
    AeroListImage();
    ~AeroListImage() override;

    int m_onGlass = 0;
    int m_glassRendering = 0;
    BYTE m_standardFont = 1;
    BYTE m_showImages = 0;

    // Takes the array (owned from now on; null allowed) and measures its pictures.
    void SetImages(ListImageArray* images);
    // Rows are measured for pictures of this size from now on; the rows there are measured again.
    // True when the size changed.
    bool SetImageSize(int width, int height);
    // Takes the picture (owned from now on; null allowed) as entry i of the array, freeing the one
    // there, and repaints the rows that show it.
    void PutImage(int i, Gdiplus::Image* image);
    int AddItem(LPCTSTR text, int imageIndex);
    int SetItemRecord(int index, DWORD w0, DWORD w1, DWORD imageIndex, DWORD flags, DWORD mask);
    void FreeItemData(int index);
    void SizeToContent();
    void UpdateTheme();

    int GetCaptionWidth() const { return m_captionWidth; }
    int GetImageWidth() const { return m_imageWidth; }
    int GetImageHeight() const { return m_imageHeight; }
    // Entry i of the pictures (null when there is none).
    Gdiplus::Image* GetImage(int i) const {
        return m_images && i >= 0 && i < m_images->Size() ? m_images->images[static_cast<size_t>(i)] : nullptr;
    }
    ImageListItemRecord* GetRecord(int index) const;

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

    void OnDestroy();
    BOOL OnDoubleClick();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcPaint();

    DECLARE_MESSAGE_MAP()

private:
    void Initialise();
    void RenderCaption(const CString& text, Gdiplus::Bitmap** slot, bool selected);
    void RenderAllCaptions();
    void FreeEverything();
    // The text's bounding box in the caption font, rounded to whole pixels.
    SIZE MeasureCaption(const CString& text);

    int m_captionWidth = 0;
    ListImageArray* m_images = nullptr;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    Gdiplus::Bitmap* m_rowBuffer = nullptr;
};
