#include "controls/AeroListImage.h"

#include <cmath>
#include <memory>

#include "controls/AeroDialog.h"
#include "framework/graphics/Frame3d.h"
#include "controls/ThemeResources.h"
#include "controls/glass/GlassEngine.h"

using namespace Gdiplus;

IMPLEMENT_DYNAMIC(AeroListBox, CListBox)
IMPLEMENT_DYNAMIC(AeroListImage, CListBox)

BEGIN_MESSAGE_MAP(AeroListImage, CListBox)
    ON_WM_DESTROY()
    ON_CONTROL_REFLECT_EX(LBN_DBLCLK, OnDoubleClick)
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
END_MESSAGE_MAP()

namespace {

Color OpaqueColor(COLORREF c) {
    return Color(255, GetRValue(c), GetGValue(c), GetBValue(c));
}

// The caption font; a plain one of the same size when the shared font is missing.
const Font* CaptionFont(std::unique_ptr<Font>& fallback) {
    if (g_gdipBoldFont && g_gdipBoldFont->IsAvailable()) return g_gdipBoldFont;
    fallback.reset(new Font(L"Arial", 8.5f, FontStyleBold));
    return fallback.get();
}

std::wstring ToWide(const CString& text) {
    const int length = text.GetLength();
    if (length == 0) return std::wstring();
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, &wide[0], needed);
    return wide;
}

int RoundEdge(float value) {
    return static_cast<int>(std::floor(value + 0.5f));
}

}  // namespace

ListImageArray::~ListImageArray() {
    for (Image* image : images) delete image;
}

BOOL HandleRecordListDoubleClick(CListBox* list) {
    BOOL handled = FALSE;
    GuardOperation(1239, [&] {
        const DWORD pos = ::GetMessagePos();
        POINT point = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        ::ScreenToClient(list->m_hWnd, &point);
        BOOL outside = TRUE;
        const UINT index = list->ItemFromPoint(CPoint(point.x, point.y), outside);
        if (outside) return;
        const DWORD_PTR data = list->GetItemData(static_cast<int>(index));
        if (data == 0 || data == static_cast<DWORD_PTR>(LB_ERR)) return;
        handled = (reinterpret_cast<ListItemRecord*>(data)->flags & kItemFlagKeepDoubleClick) ? TRUE : FALSE;
    });
    return handled;
}

AeroListImage::AeroListImage() = default;

AeroListImage::~AeroListImage() {
    // Normally everything went at WM_DESTROY; this covers an object whose window never existed.
    delete m_images;
    delete m_rowBuffer;
}

ImageListItemRecord* AeroListImage::GetRecord(int index) const {
    const DWORD_PTR data = GetItemData(index);
    if (data == 0 || data == static_cast<DWORD_PTR>(LB_ERR)) return nullptr;
    return reinterpret_cast<ImageListItemRecord*>(data);
}

void AeroListImage::SetImages(ListImageArray* images) {
    GuardOperation(1258, [&] {
        if (m_images != images) delete m_images;
        m_images = images;
        m_imageWidth = 0;
        m_imageHeight = 0;
        if (!images) return;
        UINT widest = 0, tallest = 0;
        for (Image* image : images->images) {
            if (!image) continue;
            if (image->GetWidth() > widest) widest = image->GetWidth();
            if (image->GetHeight() > tallest) tallest = image->GetHeight();
        }
        m_imageWidth = widest ? static_cast<int>(widest) : 300;
        m_imageHeight = tallest ? static_cast<int>(tallest) : 64;
    });
}

bool AeroListImage::SetImageSize(int width, int height) {
    bool changed = false;
    GuardOperation(1262, [&] {
        if (width == m_imageWidth && height == m_imageHeight) return;
        m_imageWidth = width;
        m_imageHeight = height;
        changed = true;
        if (!m_hWnd) return;
        const int count = GetCount();
        for (int i = 0; i < count; ++i) {
            MEASUREITEMSTRUCT measure = {};
            measure.CtlType = ODT_LISTBOX;
            measure.CtlID = static_cast<UINT>(GetDlgCtrlID());
            measure.itemID = static_cast<UINT>(i);
            MeasureItem(&measure);
            SetItemHeight(i, measure.itemHeight);
        }
        Invalidate();
    });
    return changed;
}

void AeroListImage::PutImage(int i, Image* image) {
    GuardOperation(1263, [&] {
        if (!m_images || i < 0 || i >= m_images->Size()) {
            delete image;
            return;
        }
        delete m_images->images[static_cast<size_t>(i)];
        m_images->images[static_cast<size_t>(i)] = image;
        if (!m_hWnd) return;
        const int count = GetCount();
        for (int row = 0; row < count; ++row) {
            const ImageListItemRecord* record = GetRecord(row);
            RECT area;
            if (record && record->imageIndex == static_cast<DWORD>(i) && GetItemRect(row, &area) != LB_ERR)
                InvalidateRect(&area, FALSE);
        }
    });
}

int AeroListImage::AddItem(LPCTSTR text, int imageIndex) {
    int result = LB_ERR;
    GuardOperation(1243, [&] {
        result = AddString(text);
        if (result == LB_ERR || result == LB_ERRSPACE) return;
        SetItemRecord(result, 0, 0, static_cast<DWORD>(imageIndex), 0, 0xFFFFFFFF);
    });
    return result;
}

int AeroListImage::SetItemRecord(int index, DWORD w0, DWORD w1, DWORD imageIndex, DWORD flags, DWORD mask) {
    int result = LB_ERR;
    GuardOperation(1241, [&] {
        if (index < 0 || index >= GetCount()) return;  // no item, nothing to attach to
        ImageListItemRecord* record = GetRecord(index);
        if (!record) record = new ImageListItemRecord();  // zeroed
        if (mask & kItemRecordValue0) record->value0 = w0;
        if (mask & kItemRecordValue1) record->value1 = w1;
        if (mask & kItemRecordImage) record->imageIndex = imageIndex;
        if (mask & kItemRecordFlags) record->flags = flags;
        CString text;
        GetText(index, text);
        RenderCaption(text, &record->normalCaption, false);
        RenderCaption(text, &record->selectedCaption, true);
        result = SetItemData(index, reinterpret_cast<DWORD_PTR>(record));
    });
    return result;
}

void AeroListImage::FreeItemData(int index) {
    GuardOperation(1242, [&] {
        ImageListItemRecord* record = GetRecord(index);
        if (record) {
            delete record->normalCaption;
            delete record->selectedCaption;
            delete record;
        }
        SetItemData(index, 0);
    });
}

void AeroListImage::SizeToContent() {
    GuardOperation(2306, [&] {
        RECT window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        const int ncWidth = (window.right - window.left) - (client.right - client.left);
        const int ncHeight = (window.bottom - window.top) - (client.bottom - client.top);
        int height = 0;
        const int count = GetCount();
        for (int i = 0; i < count; ++i) height += GetItemHeight(i);
        SetWindowPos(nullptr, 0, 0, m_imageWidth + m_captionWidth + ncWidth + 30, height + ncHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
    });
}

void AeroListImage::UpdateTheme() {
    GuardOperation(2300, [&] {
        m_glassRendering = (m_onGlass && GlassCompositionEnabled()) ? 1 : 0;
        RenderAllCaptions();
    });
}

void AeroListImage::RenderAllCaptions() {
    GuardOperation(2301, [&] {
        const int count = GetCount();
        for (int i = 0; i < count; ++i) {
            ImageListItemRecord* record = GetRecord(i);
            if (!record) continue;
            CString text;
            GetText(i, text);
            RenderCaption(text, &record->normalCaption, false);
            RenderCaption(text, &record->selectedCaption, true);
        }
        if (m_hWnd) Invalidate();
    });
}

SIZE AeroListImage::MeasureCaption(const CString& text) {
    std::unique_ptr<Font> fallback;
    const Font* font = CaptionFont(fallback);
    Bitmap scratch(1, 1, PixelFormat24bppRGB);
    Graphics g(&scratch);
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    format.SetFormatFlags(StringFormatFlagsNoWrap);
    format.SetTrimming(StringTrimmingNone);
    const std::wstring wide = ToWide(text);
    RectF box;
    g.MeasureString(wide.c_str(), static_cast<INT>(wide.size()), font, PointF(0, 0), &format, &box);
    SIZE size = {RoundEdge(box.X + box.Width) - RoundEdge(box.X),
                 RoundEdge(box.Y + box.Height) - RoundEdge(box.Y)};
    return size;
}

void AeroListImage::RenderCaption(const CString& text, Bitmap** slot, bool selected) {
    GuardOperation(2303, [&] {
        delete *slot;
        *slot = nullptr;
        COLORREF textColour = ::GetSysColor(COLOR_WINDOWTEXT);
        COLORREF backColour = ::GetSysColor(COLOR_WINDOW);
        if (selected) {
            textColour = ~textColour & 0x00FFFFFF;
            backColour = ::GetSysColor(COLOR_HIGHLIGHT);
        }
        SIZE size = MeasureCaption(text);
        size.cx += 7;
        size.cy += 6;
        if (size.cx > m_captionWidth) m_captionWidth = size.cx;

        Bitmap* bitmap = new Bitmap(size.cx, size.cy, PixelFormat24bppRGB);
        {
            Graphics g(bitmap);
            g.Clear(OpaqueColor(backColour));
            std::unique_ptr<Font> fallback;
            const Font* font = CaptionFont(fallback);
            StringFormat format;
            format.SetAlignment(StringAlignmentCenter);
            format.SetLineAlignment(StringAlignmentCenter);
            format.SetFormatFlags(StringFormatFlagsNoWrap);
            format.SetTrimming(StringTrimmingNone);
            SolidBrush brush(OpaqueColor(textColour));
            const std::wstring wide = ToWide(text);
            g.DrawString(wide.c_str(), static_cast<INT>(wide.size()), font,
                         RectF(0, 0, static_cast<REAL>(size.cx), static_cast<REAL>(size.cy)), &format,
                         &brush);
        }
        *slot = bitmap;
    });
}

void AeroListImage::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    GuardOperation(1234, [&] {
        const int index = static_cast<int>(measureItem->itemID);
        CString text;
        if (m_hWnd && index >= 0 && index < GetCount()) GetText(index, text);
        int height = MeasureCaption(text).cy;
        if (m_images && height < m_imageHeight) height = m_imageHeight;
        height += 10;
        if (index == 0) height += 5;
        if (m_images && index == m_images->Size() - 1) height += 5;
        measureItem->itemHeight = static_cast<UINT>(height);
    });
}

void AeroListImage::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(1235, [&] {
        const int index = static_cast<int>(drawItem->itemID);
        if (index < 0) return;
        ImageListItemRecord* record = reinterpret_cast<ImageListItemRecord*>(drawItem->itemData);
        if (!record || drawItem->itemData == static_cast<ULONG_PTR>(LB_ERR)) return;

        const RECT& item = drawItem->rcItem;
        const int w = item.right - item.left;
        const int h = item.bottom - item.top;
        if (w <= 0 || h <= 0) return;
        if (!m_rowBuffer || static_cast<int>(m_rowBuffer->GetWidth()) != w ||
            static_cast<int>(m_rowBuffer->GetHeight()) != h) {
            delete m_rowBuffer;
            m_rowBuffer = nullptr;
            m_rowBuffer = new Bitmap(w, h, PixelFormat24bppRGB);
        }
        const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
        {
            Graphics g(m_rowBuffer);
            g.Clear(Color(255, 255, 255, 255));

            const int pad = index == 0 ? 5 : 0;
            int columnWidth = w - 20;
            int pictureX = 10, pictureY = pad, pictureW = w - 20, pictureH = h;
            if (m_showImages) {
                columnWidth = m_captionWidth + 10;
                pictureX = m_captionWidth + 20;
                if (m_images) {
                    pictureY = pad + 5;
                    pictureW = m_imageWidth;
                    pictureH = m_imageHeight;
                } else {
                    pictureW = 0;
                    pictureH = 0;
                }
            }
            (void)pictureW;

            Pen frame(OpaqueColor(::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW)), 3.0f);
            g.DrawRectangle(&frame, 6, pictureY - 4, w - 13, pictureH + 7);

            if (m_images && record->imageIndex < static_cast<DWORD>(m_images->Size())) {
                Image* image = m_images->images[record->imageIndex];
                if (image) {
                    g.DrawImage(image, pictureX, pictureY, static_cast<INT>(image->GetWidth()),
                                static_cast<INT>(image->GetHeight()));
                }
            }

            Bitmap* caption = selected ? record->selectedCaption : record->normalCaption;
            if (caption) {
                const int cw = static_cast<int>(caption->GetWidth());
                const int ch = static_cast<int>(caption->GetHeight());
                g.DrawImage(caption, 10 + (columnWidth - cw - 1) / 2, pad + (h - ch) / 2, cw, ch);
            }
        }
        Graphics screen(drawItem->hDC);
        screen.DrawImage(m_rowBuffer, item.left, item.top, w, h);
    });
}

BOOL AeroListImage::OnDoubleClick() {
    return HandleRecordListDoubleClick(this);
}

BOOL AeroListImage::OnEraseBkgnd(CDC*) {
    return TRUE;
}

void AeroListImage::OnNcPaint() {
    GuardOperation(2302, [&] {
        if (!m_glassRendering) {
            Default();
            return;
        }
        ScopedWindowDC dc(m_hWnd, ScopedWindowDC::kWhole);
        if (!dc) return;
        ::SelectClipRgn(dc, nullptr);
        RECT client;
        GetClientRect(&client);
        {
            Graphics g(dc);
            Draw3dFrame(&g, client.left, client.top, client.right - client.left + 4,
                        client.bottom - client.top + 4, false, false);
        }
    });
}

void AeroListImage::FreeEverything() {
    GuardOperation(1240, [&] {
        delete m_images;
        m_images = nullptr;
        delete m_rowBuffer;
        m_rowBuffer = nullptr;
        for (int i = GetCount() - 1; i >= 0; --i) FreeItemData(i);
    });
}

void AeroListImage::OnDestroy() {
    GuardOperation(1233, [&] {
        FreeEverything();
        Default();
    });
}

void AeroListImage::Initialise() {
    GuardOperation(2299, [&] {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_standardFont ? g_uiFont : g_uiScaledFont), TRUE);
        AeroDialog* dialog = dynamic_cast<AeroDialog*>(GetParent());
        m_onGlass = (dialog && dialog->m_glassMode == 1) ? 1 : 0;
        UpdateTheme();
    });
}

void AeroListImage::PreSubclassWindow() {
    GuardOperation(2298, [&] {
        Initialise();
        CListBox::PreSubclassWindow();
    });
}
