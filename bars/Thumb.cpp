// The cells of the Images panel: drawing, tooltip, drag and drop, double click, context menu.
#include "bars/Thumb.h"

#include "bars/BarBackground.h"
#include "bars/ImageBrowseSettings.h"
#include "bars/ImagePanelCanvas.h"
#include "framework/win/ScopedGdi.h"
#include "bars/ImageView1.h"
#include "controls/AeroMessageBox.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "framework/core/OperationError.h"
#include "menu/StyledMenu.h"
#include "res/CommandIds.h"
#include "res/ImagePanelIds.h"
#include "res/ResourceImages.h"

namespace {

const int kSquare = 110;
const int kCellWidth = CImageView1::kColumnStep;
const int kCellHeight = CImageView1::kRowHeight;
const int kOutlineWidth = 3;

ImagePanelState& State() {
    return *ImagePanelState::Get();
}

void SetDragCursor(UINT id) {
    HCURSOR cursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
    if (cursor == nullptr) cursor = ::LoadCursor(::GetModuleHandle(nullptr), MAKEINTRESOURCE(id));
    if (cursor != nullptr) ::SetCursor(cursor);
}

// A 3-pixel frame inverted on the screen: drawn twice, it is gone.
void InvertFrame(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    ScopedWindowDC screen(nullptr);
    HDC dc = screen.Get();
    if (dc == nullptr) return;
    const int w = rect.Width(), h = rect.Height(), t = kOutlineWidth;
    ::PatBlt(dc, rect.left, rect.top, w, t, DSTINVERT);
    ::PatBlt(dc, rect.left, rect.bottom - t, w, t, DSTINVERT);
    ::PatBlt(dc, rect.left, rect.top + t, t, h - 2 * t, DSTINVERT);
    ::PatBlt(dc, rect.right - t, rect.top + t, t, h - 2 * t, DSTINVERT);
}

}  // namespace

CString FormatImageFileSize(DWORD size) {
    CString text;
    const int kb = (int)(size / 1024);
    if (kb < 1000)
        text.Format("%d KB", kb);
    else
        text.Format("%.2f MB", size * (1.0 / 1024) * (1.0 / 1024));
    return text;
}

CString BuildImageTipText(const CString& name, int width, int height, DWORD size, const CString& path) {
    CString text;
    text.Format("%s\r\nDimensions: %d x %d\r\nSize: %s\r\nFolder: %s", (LPCSTR)name, width, height,
                (LPCSTR)FormatImageFileSize(size), (LPCSTR)path);
    // The path ends with the file's name: cut it, so that the text ends with the folder.
    const int slash = text.ReverseFind('\\');
    if (slash >= 0) text = text.Left(slash);
    return text;
}

IMPLEMENT_DYNAMIC(CThumb, CButton)

BEGIN_MESSAGE_MAP(CThumb, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CThumb::CThumb() {
    m_dropRegion.CreateRectRgn(0, 0, 0, 0);
}

CThumb::~CThumb() = default;

BOOL CThumb::CreateCell(CImageView1* pane) {
    return Create("", WS_CHILD | BS_OWNERDRAW, CRect(0, 0, kCellWidth, kCellHeight), pane, 0);
}

void CThumb::PreSubclassWindow() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

void CThumb::Reset() {
    m_tip.Empty();
    m_recordIndex = kNoRecord;
    m_waiting = false;
    m_dragging = false;
}

ImageRecord* CThumb::Record() const {
    if (m_recordIndex == kNoRecord || ImagePanelState::Get() == nullptr) return nullptr;
    return State().RecordAt(m_recordIndex);
}

ImageRecord* CThumb::FinalRecord() const {
    ImageRecord* record = Record();
    if (record == nullptr) return nullptr;
    ImageRecordsLock lock(State());
    return record->m_state == kImageFinal ? record : nullptr;
}

CRect CThumb::ImageRectInCell() const {
    ImageRecord* record = Record();
    if (record == nullptr) return CRect();
    int w = kSquare, h = kSquare;
    {
        ImageRecordsLock lock(State());
        if (record->m_thumbWidth > 0 && record->m_thumbHeight > 0) {
            w = record->m_thumbWidth;
            h = record->m_thumbHeight;
        }
    }
    const int left = (kSquare - w) / 2, top = (kSquare - h) / 2;
    return CRect(left, top, left + w, top + h);
}

void CThumb::SetTipText(const CString& text) {
    m_tipText = text;
    if (m_toolTip && m_toolTip->m_hWnd != nullptr) m_toolTip->UpdateTipText(m_tipText, this, 1);
}

void CThumb::CreateToolTip() {
    if ((m_toolTip && m_toolTip->m_hWnd != nullptr) || m_tipText.IsEmpty()) return;
    m_toolTip.reset(new CToolTipCtrl);
    if (!m_toolTip->Create(this)) {
        m_toolTip.reset();
        return;
    }
    m_toolTip->SetMaxTipWidth(400);
    CRect client;
    GetClientRect(&client);
    m_toolTip->AddTool(this, m_tipText, &client, 1);
    m_toolTip->Activate(TRUE);
}

void CThumb::DestroyToolTip() {
    if (!m_toolTip) return;
    if (m_toolTip->m_hWnd != nullptr) m_toolTip->DestroyWindow();
    m_toolTip.reset();
}

BOOL CThumb::PreTranslateMessage(MSG* msg) {
    if (m_toolTip && m_toolTip->m_hWnd != nullptr) m_toolTip->RelayEvent(msg);
    return CButton::PreTranslateMessage(msg);
}

BOOL CThumb::OnEraseBkgnd(CDC* dc) {
    (void)dc;
    return TRUE;
}

void CThumb::DrawName(HDC dc, const CString& name, int top) {
    HFONT font = g_uiFont != nullptr ? g_uiFont : (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    ScopedSelect select(dc, font);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, RGB(0, 0, 0));
    CRect rect(0, top, kSquare, kCellHeight);
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32A(dc, name, name.GetLength(), &extent);
    const UINT format =
        DT_SINGLELINE | DT_TOP | DT_NOPREFIX | (extent.cx <= kSquare ? DT_CENTER | DT_NOCLIP : DT_LEFT);
    ::DrawTextA(dc, name, name.GetLength(), &rect, format);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

void CThumb::PaintPicture(ImageRecord* record, HDC itemDC) {
    if (!record->m_cellPicture)
        record->m_cellPicture.Reset(::CreateCompatibleBitmap(itemDC, kCellWidth, kCellHeight));
    ScopedMemoryDC memory(itemDC);
    HDC dc = memory.Get();
    if (dc == nullptr || !record->m_cellPicture) return;
    ScopedSelect select(dc, record->m_cellPicture.Get());

    // What the drawing needs is taken from the record under its lock; drawing runs without it.
    signed char state;
    std::unique_ptr<Gdiplus::Image> thumbnail;
    ScopedBitmap whiteSquare;
    int thumbWidth, thumbHeight;
    {
        ImageRecordsLock lock(State());
        state = record->m_state;
        if (state < kImageDecoded && !m_waiting) m_waiting = true;
        if (state == kImageNew || state == kImageFailed) {
            record->m_state = state == kImageNew ? kImageWaiting : kImageFinal;
            record->m_thumbWidth = record->m_thumbHeight = kSquare;
        } else if (state == kImageDecoded) {
            record->m_state = kImageFinal;
            thumbnail = std::move(record->m_thumbnail);
            whiteSquare = std::move(record->m_whiteSquare);
        }
        thumbWidth = record->m_thumbWidth;
        thumbHeight = record->m_thumbHeight;
    }
    const CRect all(0, 0, kCellWidth, kCellHeight);
    if (state == kImageNew || state == kImageFailed) {
        TileThemeBackground(dc, all, 0, 0, 1);
        DrawName(dc, record->m_name, kSquare);
    } else if (state == kImageDecoded) {
        TileThemeBackground(dc, all, 0, 0, 1);
        const int left = (kSquare - thumbWidth) / 2, top = (kSquare - thumbHeight) / 2;
        if (thumbnail) {
            Gdiplus::Graphics graphics(dc);
            graphics.DrawImage(thumbnail.get(), Gdiplus::Rect(left, top, thumbWidth, thumbHeight));
        } else if (whiteSquare) {
            ScopedMemoryDC source(dc);
            ScopedSelect selectSquare(source.Get(), whiteSquare.Get());
            ::BitBlt(dc, left, top, thumbWidth, thumbHeight, source.Get(), 0, 0, SRCCOPY);
        }
        DrawName(dc, record->m_name, top + thumbHeight);
    }
    ::BitBlt(itemDC, 0, 0, kCellWidth, kCellHeight, dc, 0, 0, SRCCOPY);
}

void CThumb::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    GuardOperation(7210, [&] {
        ImageRecord* record = Record();
        HDC itemDC = drawItem->hDC;
        if (record == nullptr) {
            TileThemeBackground(itemDC, drawItem->rcItem, 0, 0, 1);
            return;
        }
        int width, height;
        signed char state;
        {
            ImageRecordsLock lock(State());
            width = record->m_imageWidth;
            height = record->m_imageHeight;
            state = record->m_state;
        }
        if (m_tip.IsEmpty() || state == kImageDecoded) {
            m_tip = BuildImageTipText(record->m_name, width, height, record->m_size, record->m_path);
            SetTipText(m_tip);
        }
        PaintPicture(record, itemDC);
        if (record->IsNoBackground()) {
            CRect rest(drawItem->rcItem);
            rest.left = kCellWidth;
            if (!rest.IsRectEmpty()) TileThemeBackground(itemDC, rest, 0, 0, 1);
        }
    });
}

void CThumb::InvertOutline() {
    if (FinalRecord() == nullptr) return;
    CRect rect = ImageRectInCell();
    ClientToScreen(&rect);
    m_dragStartRect = m_dragRect = rect;
    InvertFrame(rect);
}

void CThumb::MoveOutline(const CRect& from, const CRect& to) {
    InvertFrame(from);
    InvertFrame(to);
}

void CThumb::BuildDropRegion() {
    m_dropRegion.SetRectRgn(0, 0, 0, 0);
    ImagePanelCanvas* canvas = ImagePanelCanvas::Get();
    if (canvas != nullptr) canvas->GetDropRegion(m_dropRegion);
    // A floating Images bar lies over the canvas: a drop onto the bar itself is no drop.
    CWnd* pane = GetParent();
    CBarBackground* bar = pane != nullptr ? dynamic_cast<CBarBackground*>(pane->GetParent()) : nullptr;
    if (bar != nullptr && bar->IsFloating()) {
        CRect barRect;
        bar->GetClientRect(&barRect);
        bar->ClientToScreen(&barRect);
        barRect.InflateRect(20, 20);
        CRgn barRegion;
        barRegion.CreateRectRgnIndirect(&barRect);
        m_dropRegion.CombineRgn(&m_dropRegion, &barRegion, RGN_DIFF);
    }
}

bool CThumb::DragRectInDropRegion() const {
    if (m_dragRect.IsRectEmpty()) return false;
    CRgn rest;
    rest.CreateRectRgnIndirect(&m_dragRect);
    // The whole rectangle must lie in the region: what is left of it outside must be nothing.
    return rest.CombineRgn(&rest, &m_dropRegion, RGN_DIFF) == NULLREGION;
}

void CThumb::OnLButtonDown(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(7211, [&] {
        if (g_helpImage) {
            g_helpImage = 0;
            SetTimer(kTimerImageHint, ::GetDoubleClickTime());
        }
        SetFocus();
        DestroyToolTip();
        ImageRecord* record = FinalRecord();
        if (record == nullptr || record->IsNoBackground()) return;
        SetCapture();
        m_dragging = true;
        SetDragCursor(IDC_DRAG_NO_DROP);
        CRect rect = ImageRectInCell();
        ClientToScreen(&rect);
        m_dragStartRect = m_dragRect = rect;
        InvertFrame(m_dragRect);
        ::GetCursorPos(&m_dragStartPoint);
        BuildDropRegion();
    });
}

void CThumb::OnMouseMove(UINT flags, CPoint point) {
    GuardOperation(7212, [&] {
        ImageRecord* record = FinalRecord();
        if (record == nullptr || record->IsNoBackground()) return;
        CPoint cursor = point;
        ClientToScreen(&cursor);
        const bool onlyLeft = (flags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == MK_LBUTTON;
        if (onlyLeft && m_dragging && cursor != m_dragStartPoint) {
            SetDragCursor(DragRectInDropRegion() ? IDC_DRAG_DROP : IDC_DRAG_NO_DROP);
            CRect moved = m_dragStartRect;
            moved.OffsetRect(cursor.x - m_dragStartPoint.x, cursor.y - m_dragStartPoint.y);
            MoveOutline(m_dragRect, moved);
            m_dragRect = moved;
            return;
        }
        CRect window;
        GetWindowRect(&window);
        if (window.PtInRect(cursor)) {
            CreateToolTip();
        } else {
            DestroyToolTip();
            if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        }
    });
}

void CThumb::InsertAsUndoStep(const CRect& designRect, const CString& path, bool asBackground) {
    ImagePanelCanvas* canvas = ImagePanelCanvas::Get();
    if (canvas == nullptr) return;
    canvas->BeginUndoStep();
    canvas->RecordUndoValue("prevOrder");
    canvas->InsertImage(designRect, path, asBackground);
    canvas->RecordUndoValue("nextRich");
    canvas->RecordUndoValue("nextOrder");
    canvas->EndUndoStep();
}

void CThumb::OnLButtonUp(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(7213, [&] {
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        ImageRecord* record = FinalRecord();
        if (record == nullptr) return;
        if (record->IsNoBackground()) {
            if (ImagePanelCanvas::Get() != nullptr) ImagePanelCanvas::Get()->DeleteSelectedObject(true);
            return;
        }
        if (!m_dragging) return;
        m_dragging = false;
        InvertFrame(m_dragRect);
        if (!DragRectInDropRegion()) return;
        ImagePanelCanvas* canvas = ImagePanelCanvas::Get();
        if (canvas == nullptr) return;
        InsertAsUndoStep(canvas->ScreenToDesign(m_dragRect), record->m_path, false);
    });
}

void CThumb::OnLButtonDblClk(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(7214, [&] {
        // The hint that the first click asked for is not for a double click.
        KillTimer(kTimerImageHint);
        ImageRecord* record = FinalRecord();
        ImagePanelCanvas* canvas = ImagePanelCanvas::Get();
        if (record == nullptr || canvas == nullptr) return;
        CRect bounds;
        if (!canvas->GetSelectionBackgroundRect(bounds)) return;
        if (record->IsNoBackground()) {
            canvas->DeleteSelectedObject(true);
            return;
        }
        InsertAsUndoStep(bounds, record->m_path, true);
    });
}

void CThumb::OnRButtonDown(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    GuardOperation(7215, [&] {
        if (ImagePanelCanvas::Get() != nullptr) ImagePanelCanvas::Get()->SelectSideOfSelection();
        SetFocus();
        InvertOutline();
        SetTimer(kTimerCellOutline, 700);
    });
}

void CThumb::OnContextMenu(CWnd* wnd, CPoint point) {
    (void)wnd;
    GuardOperation(7216, [&] {
        ImageRecord* record = FinalRecord();
        if (record == nullptr) return;
        KillTimer(kTimerCellOutline);
        if (ImagePanelCanvas::Get() != nullptr) ImagePanelCanvas::Get()->SetPendingImagePath(record->m_path);
        CStyledMenu menu;
        if (menu.LoadMenu(IDR_IMAGE_CONTEXT_MENU)) {
            CStyledMenu* popup = CStyledMenu::FromHandleStyled(::GetSubMenu(menu.m_hMenu, 0));
            if (popup != nullptr) {
                popup->SetMenuTitle(" ", 6);
                CImageList* icons =
                    g_menuImageList != nullptr ? CImageList::FromHandle(g_menuImageList) : nullptr;
                if (icons != nullptr) {
                    popup->ModifyItemImage(nullptr, ID_EDIT_UNDO_CMD, icons, 8);
                    popup->ModifyItemImage(nullptr, ID_EDIT_REDO_CMD, icons, 9);
                    popup->ModifyItemImage(nullptr, ID_CUT_TEXT, icons, 4);
                    popup->ModifyItemImage(nullptr, ID_COPY_TEXT, icons, 5);
                    popup->ModifyItemImage(nullptr, ID_PASTE_TEXT, icons, 6);
                    popup->ModifyItemImage(nullptr, ID_DELETE_OBJECT_MENU, icons, 7);
                }
                // The commands go to the main window, as those of its own menu do.
                popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, AfxGetMainWnd());
            }
            menu.DestroyMenu();
        }
        InvertOutline();
    });
}

void CThumb::ShowAddImageTip() {
    AeroMessageBox box(this);
    box.m_iconKind = kBoxInformation;
    box.m_caption = " Korvanelle Tip:";
    box.m_message =
        "There are 4 ways to add an image to the label:\r\n\r\n1. Drag and drop the image.\r\n\r\n2. Double "
        "click the image to set it as the background.\r\n\r\n3. Use the 'Insert' button on the main "
        "toolbar.\r\n\r\n4. Copy and paste an image from your web browser\r\n ";
    box.AddButton("OK", 1, 1);
    box.DoModal();
}

void CThumb::OnTimer(UINT_PTR id) {
    GuardOperation(7217, [&] {
        if (id == kTimerCellOutline) {
            KillTimer(kTimerCellOutline);
            InvertOutline();
        } else if (id == kTimerImageHint) {
            KillTimer(kTimerImageHint);
            // A double click under way keeps the hint away.
            const int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
            if (!(::GetAsyncKeyState(button) & 0x8000)) ShowAddImageTip();
        } else {
            CButton::OnTimer(id);
        }
    });
}

void CThumb::OnDestroy() {
    GuardOperation(7218, [&] {
        DestroyToolTip();
        CButton::OnDestroy();
    });
}
