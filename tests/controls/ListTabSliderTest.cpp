// The picture and icon list boxes, the transparent list view and grid header, the tab controls
// and the sliders with their value edit, in a real dialog under Xvfb.
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls/AeroDialog.h"
#include "controls/AeroListImage.h"
#include "controls/IconListBox.h"
#include "controls/ListTrans.h"
#include "controls/Sliders.h"
#include "controls/TabCtrls.h"
#include "controls/ThemeFill.h"
#include "controls/ThemeResources.h"
#include "framework/Win.h"
#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "ListTabSliderIds.h"
#include "res/ResourceImages.h"

using namespace Gdiplus;

namespace {

struct Resources {
    Resources() {
        kvtest::GdiplusReady();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    }
    ~Resources() { ReleaseThemeResources(); }
};

// Lets the dialog's queued messages (showing, sizing, painting, notifications) run.
void Pump() {
    kvtest::PumpPending();
}

// Records the order in which the system-free painting mode draws the tabs.
class RecordingTabs : public COwnerTabCtrl {
public:
    RecordingTabs() : COwnerTabCtrl(0) {}
    std::vector<std::pair<int, UINT>> drawn;
    int frames = 0;
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        drawn.push_back({static_cast<int>(item->itemID), item->itemState});
    }
    void DrawMainFrame(LPDRAWITEMSTRUCT) override { ++frames; }
};

class TestDialog : public AeroDialog {
public:
    TestDialog() : AeroDialog(IDD_LTS_DIALOG, nullptr) {}
    AeroListImage m_pictures;
    CIconListBox m_icons;
    CListTrans m_tracks;
    CGridHeader m_header;
    CStyledTabCtrl m_tabs;
    RecordingTabs m_ownerTabs;
    CJumpSliderCtrl m_jump;
    CSliderCustom m_custom;
    std::vector<WPARAM> m_scrolls;
    int m_doubleClicks = 0;
    void OnPicturesDoubleClick() { ++m_doubleClicks; }

    BOOL OnInitDialog() override {
        AeroDialog::OnInitDialog();
        m_pictures.m_showImages = 1;
        m_pictures.SubclassDlgItem(IDC_LTS_PICTURES, this);
        m_icons.SubclassDlgItem(IDC_LTS_ICONS, this);
        m_tracks.SubclassDlgItem(IDC_LTS_TRACKS, this);
        m_tracks.InsertColumn(0, "Track", LVCFMT_LEFT, 60);
        m_header.SubclassWindow(ListView_GetHeader(m_tracks.m_hWnd));
        m_tabs.SubclassDlgItem(IDC_LTS_TABS, this);
        m_ownerTabs.SubclassDlgItem(IDC_LTS_OWNERTABS, this);
        m_jump.SubclassDlgItem(IDC_LTS_JUMP, this);
        RECT r = {240, 300, 480, 326};
        m_custom.Create(WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, r, this, IDC_LTS_CUSTOM);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        // The trackbar itself may add TB_ENDTRACK when it loses the capture; only our codes count.
        if (message == WM_HSCROLL && LOWORD(wParam) != TB_ENDTRACK) m_scrolls.push_back(wParam);
        return AeroDialog::WindowProc(message, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, AeroDialog)
    ON_LBN_DBLCLK(IDC_LTS_PICTURES, OnPicturesDoubleClick)
END_MESSAGE_MAP()

Bitmap* SolidImage(int w, int h, Color colour) {
    Bitmap* image = new Bitmap(w, h, PixelFormat32bppARGB);
    Graphics g(image);
    g.Clear(colour);
    return image;
}

unsigned ClientPixel(HWND window, const kvtest::Capture& capture, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    RECT w;
    GetWindowRect(window, &w);
    return capture.At(p.x - w.left, p.y - w.top);
}

// The dialogs' texture at (x, y) of its tiling.
unsigned TexturePixel(int x, int y) {
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(g_backgroundDC1, OBJ_BITMAP));
    BITMAP bm = {};
    GetObject(bitmap, sizeof bm, &bm);
    return kvtest::Rgb(GetPixel(g_backgroundDC1, x % bm.bmWidth, y % bm.bmHeight));
}

// The texture as the dialog tiles it under the client point (x, y) of one of its controls.
unsigned TextureUnder(HWND control, int x, int y) {
    POINT p = {x, y};
    MapWindowPoints(control, GetParent(control), &p, 1);
    return TexturePixel(p.x, p.y);
}

unsigned Sys(int index) {
    return kvtest::Rgb(GetSysColor(index));
}

}  // namespace

TEST_CASE("lists, tabs and sliders in a dialog") {
    Resources resources;
    KvMessageBoxCapture boxes;
    TestDialog dialog;
    REQUIRE(dialog.Create(IDD_LTS_DIALOG, nullptr));
    dialog.SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    Pump();

    SUBCASE("picture list: image sizes, row heights, drawing and double-clicks") {
        AeroListImage& list = dialog.m_pictures;
        ListImageArray* empty = new ListImageArray();
        list.SetImages(empty);
        CHECK(list.GetImageWidth() == 300);
        CHECK(list.GetImageHeight() == 64);
        list.SetImages(nullptr);
        CHECK(list.GetImageWidth() == 0);
        CHECK(list.GetImageHeight() == 0);

        ListImageArray* images = new ListImageArray();
        images->Add(SolidImage(40, 30, Color(255, 255, 0, 0)));
        images->Add(SolidImage(20, 36, Color(255, 0, 0, 255)));
        list.SetImages(images);
        CHECK(list.GetImageWidth() == 40);
        CHECK(list.GetImageHeight() == 36);
        CHECK(list.AddItem("CD Case - 1 Disc", 0) == 0);
        CHECK(list.AddItem("DVD Case - 2 Disc", 1) == 1);
        CHECK(list.AddItem("Nothing", 7) == 2);  // index outside the array
        CHECK(list.GetRecord(1)->imageIndex == 1);
        CHECK(list.GetCaptionWidth() > 0);
        // The tallest picture decides; the first row and the array's last row are 5 taller.
        CHECK(list.GetItemHeight(0) == 36 + 10 + 5);
        CHECK(list.GetItemHeight(1) == 36 + 10 + 5);
        CHECK(list.GetItemHeight(2) == 36 + 10);
        CHECK(list.SetItemRecord(9, 0, 0, 0, 0, 0xF) == LB_ERR);  // no such item: no stray record

        list.SizeToContent();
        RECT client;
        list.GetClientRect(&client);
        CHECK(client.bottom == 51 + 51 + 46);
        CHECK(client.right == 40 + list.GetCaptionWidth() + 30);

        list.SetCurSel(0);
        list.Invalidate();
        list.UpdateWindow();
        const int pictureX = list.GetCaptionWidth() + 20;
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(list.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(list.m_hWnd, c, pictureX + 5, 10 + 5) == 0xFF0000;
        });
        REQUIRE_FALSE(shot.Empty());
        // Row 0: picture 5 lower (top pad) plus 5; the frame in the selection colour.
        CHECK(ClientPixel(list.m_hWnd, shot, pictureX + 5, 10 + 5) == 0xFF0000);
        CHECK(ClientPixel(list.m_hWnd, shot, 7, 10 - 4) == Sys(COLOR_HIGHLIGHT));
        // Row 2: no picture, yet its frame (window colour) and caption area.
        RECT row2;
        list.GetItemRect(2, &row2);
        CHECK(ClientPixel(list.m_hWnd, shot, pictureX + 5, row2.top + 10) == 0xFFFFFF);

        // A double-click on the item with the flag stays with the list; elsewhere it reaches the dialog.
        list.SetItemRecord(0, 0, 0, 0, kItemFlagKeepDoubleClick, kItemRecordFlags);
        auto doubleClick = [&](int x, int y) {
            POINT p = {x, y};
            ClientToScreen(list.m_hWnd, &p);
            SetCursorPos(p.x, p.y);
            list.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
            kvtest::PumpPending();
            list.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            kvtest::PumpPending();
        };
        dialog.m_doubleClicks = 0;
        doubleClick(20, 20);
        CHECK(dialog.m_doubleClicks == 0);
        doubleClick(20, row2.top + 10);
        CHECK(dialog.m_doubleClicks == 1);
    }

    SUBCASE("icon list: heights, highlight styles, disabled texture, records") {
        CIconListBox& list = dialog.m_icons;
        CHECK(list.AddString("no icons", 0) == 0);
        TEXTMETRIC tm = {};
        HDC dc = GetDC(list.m_hWnd);
        GetTextMetrics(dc, &tm);
        ReleaseDC(list.m_hWnd, dc);
        CHECK(list.GetItemHeight(0) == tm.tmHeight + 4);

        CImageList icons;
        icons.Attach(ImageList_Create(20, 20, ILC_COLOR24 | ILC_MASK, 1, 1));
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all = {0, 0, 20, 20};
        HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
        FillRect(memory, &all, green);
        DeleteObject(green);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        ImageList_AddMasked(icons.GetSafeHandle(), bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);

        list.ResetContent();
        CHECK(list.GetCount() == 0);
        list.SetImageList(&icons);
        CHECK(list.AddString("Match", 0) == 0);
        CHECK(list.AddString("Second", 0) == 1);
        CHECK(list.GetItemHeight(0) == (tm.tmHeight > 24 ? tm.tmHeight : 24) + 4);
        CHECK(list.SetItemRecord(5, 0, 0, 0, 0, 0xF) == -1);
        list.SetCurSel(0);

        RECT item;
        list.GetItemRect(0, &item);
        RECT client;
        list.GetClientRect(&client);
        const int iconColumnX = 1;
        const int farRightX = client.right - 3;
        const int y = item.top + 2;
        // The list painted again and read once its client point (x, y) shows `colour`.
        auto shoot = [&](int x, int y, unsigned colour) {
            list.Invalidate();
            list.UpdateWindow();
            return kvtest::CaptureWindowFromScreenWhen(
                list.m_hWnd, [&](const kvtest::Capture& c) { return ClientPixel(list.m_hWnd, c, x, y) == colour; });
        };
        kvtest::Capture shot = shoot(2 + 10, item.top + 12, 0x00C800);
        CHECK(ClientPixel(list.m_hWnd, shot, iconColumnX, y) == Sys(COLOR_HIGHLIGHT));
        CHECK(ClientPixel(list.m_hWnd, shot, farRightX, y) == Sys(COLOR_HIGHLIGHT));
        CHECK(ClientPixel(list.m_hWnd, shot, 2 + 10, item.top + 12) == 0x00C800);  // the icon
        list.SetHighlightStyle(1, TRUE);
        shot = shoot(iconColumnX, y, Sys(COLOR_WINDOW));
        CHECK(ClientPixel(list.m_hWnd, shot, iconColumnX, y) == Sys(COLOR_WINDOW));
        CHECK(ClientPixel(list.m_hWnd, shot, farRightX, y) == Sys(COLOR_HIGHLIGHT));
        list.SetHighlightStyle(2, TRUE);
        shot = shoot(farRightX, y, Sys(COLOR_WINDOW));
        CHECK(ClientPixel(list.m_hWnd, shot, farRightX, y) == Sys(COLOR_WINDOW));
        list.SetHighlightStyle(7, TRUE);
        CHECK(list.GetHighlightStyle() == 2);

        // Disabled and blank: the rows show only the dialog's texture.
        list.m_blankWhenDisabled = 1;
        list.EnableWindow(FALSE);
        shot = shoot(2 + 10, item.top + 12, TextureUnder(list.m_hWnd, 2 + 10, item.top + 12));
        CHECK(ClientPixel(list.m_hWnd, shot, 2 + 10, item.top + 12) == TextureUnder(list.m_hWnd, 2 + 10, item.top + 12));
        HDC textureDc = g_backgroundDC1;
        REQUIRE(textureDc != nullptr);
        list.EnableWindow(TRUE);
        list.ResetContent();
        list.SetImageList(nullptr);
    }

    SUBCASE("a disabled track list shows the texture, tiled from its own corner") {
        CListTrans& tracks = dialog.m_tracks;
        tracks.SetBkColor(RGB(0, 0, 255));
        tracks.EnableWindow(FALSE);
        tracks.Invalidate();
        tracks.UpdateWindow();
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(tracks.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(tracks.m_hWnd, c, 30, 30) == TexturePixel(30, 30);
        });
        CHECK(ClientPixel(tracks.m_hWnd, shot, 30, 30) == TexturePixel(30, 30));
        tracks.EnableWindow(TRUE);
        tracks.Invalidate();
        tracks.UpdateWindow();
        shot = kvtest::CaptureWindowFromScreenWhen(tracks.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(tracks.m_hWnd, c, 30, 30) == 0x0000FF;
        });
        CHECK(ClientPixel(tracks.m_hWnd, shot, 30, 30) == 0x0000FF);
    }

    SUBCASE("the grid header redraws its right edge") {
        CGridHeader& header = dialog.m_header;
        REQUIRE(header.m_hWnd != nullptr);
        header.Invalidate();
        header.UpdateWindow();
        RECT client;
        header.GetClientRect(&client);
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenWhen(header.m_hWnd, [&](const kvtest::Capture& c) {
            return ClientPixel(header.m_hWnd, c, client.right - 1, client.bottom - 2) == Sys(COLOR_BTNSHADOW);
        });
        REQUIRE_FALSE(shot.Empty());
        CHECK(ClientPixel(header.m_hWnd, shot, client.right - 1, 3) == Sys(COLOR_3DFACE));
        CHECK(ClientPixel(header.m_hWnd, shot, client.right - 2, 3) == Sys(COLOR_3DFACE));
        CHECK(ClientPixel(header.m_hWnd, shot, client.right - 1, client.bottom - 2) == Sys(COLOR_BTNSHADOW));
    }

    SUBCASE("tab colours, draw modes and caption fitting") {
        CHECK(CStyledTabCtrl::DarkenColor(RGB(200, 100, 51), 0.5) == RGB(100, 50, 26));
        CHECK(CStyledTabCtrl::DarkenColor(RGB(200, 100, 50), 3.0) == RGB(200, 100, 50));
        CHECK(CStyledTabCtrl::LightenColor(RGB(200, 100, 50), 1.4) == RGB(255, 140, 70));
        CHECK(CStyledTabCtrl::LightenColor(RGB(200, 100, 50), 0.2) == RGB(200, 100, 50));

        CStyledTabCtrl& tabs = dialog.m_tabs;
        const COLORREF face = GetSysColor(COLOR_3DFACE);
        CStyledTabCtrl::SetLookFlags(TRUE, 0x02 | 0x04);
        tabs.m_backgroundColour = RGB(100, 100, 100);
        CHECK(tabs.GetTabBackColor(true) == RGB(140, 140, 140));
        CHECK(tabs.GetTabBackColor(false) == RGB(90, 90, 90));
        CHECK(tabs.GetTabTextColor(false) == RGB(50, 50, 50));
        CStyledTabCtrl::SetLookFlags(TRUE, 0x01);
        CHECK(tabs.GetTabBackColor(false) == RGB(100, 100, 100));
        CHECK(tabs.GetTabBackColor(true) == face);
        CStyledTabCtrl::SetLookFlags(TRUE, 0x11);
        CHECK(tabs.GetTabBackColor(false) == CStyledTabCtrl::DarkenColor(face, 0.9));
        CStyledTabCtrl::SetLookFlags(FALSE, 0x11);
        CHECK(CStyledTabCtrl::GetLookFlags() == 0);

        CHECK_FALSE(tabs.SetDrawMode(3));
        CHECK(tabs.GetDrawMode() == 0);
        CHECK((tabs.GetStyle() & TCS_OWNERDRAWFIXED) == 0);

        // Captions too wide for their tab end in "...".
        HDC dc = GetDC(tabs.m_hWnd);
        HGDIOBJ oldFont = SelectObject(dc, g_uiFont);
        CString text = "A caption far too long for a narrow tab";
        const int width = CStyledTabCtrl::FitTabText(dc, text, 60);
        CHECK(text.Right(3) == "...");
        CHECK(width <= 60);
        CString shortText = "Front";
        CStyledTabCtrl::FitTabText(dc, shortText, 200);
        CHECK(shortText == "Front");

        // With an image list the caption's rectangle starts 19 pixels further right; the caption is
        // centred in it, so its ink moves by half of that.
        tabs.InsertItem(0, "Ab");
        tabs.SetCurSel(0);
        auto firstInk = [&](bool withImages) {
            HIMAGELIST images = withImages ? ImageList_Create(16, 16, ILC_COLOR24, 1, 1) : nullptr;
            tabs.SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, 200, 30);
            HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
            SelectObject(memory, g_uiFont);
            RECT whole = {0, 0, 200, 30};
            FillRect(memory, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            DRAWITEMSTRUCT item = {};
            item.CtlType = ODT_TAB;
            item.hDC = memory;
            item.itemID = 0;
            item.rcItem = {0, 0, 200, 26};
            tabs.DrawItem(&item);
            int first = -1, last = -1;
            for (int x = 0; x < 200; ++x)
                for (int y = 3; y < 22; ++y)
                    if (GetPixel(memory, x, y) == RGB(0, 0, 0)) {
                        if (first < 0) first = x;
                        last = x;
                        break;
                    }
            SelectObject(memory, oldBitmap);
            DeleteObject(bitmap);
            DeleteDC(memory);
            tabs.SendMessage(TCM_SETIMAGELIST, 0, 0);
            if (images) ImageList_Destroy(images);
            return first + last;  // twice the ink's centre
        };
        const int plain = firstInk(false);
        const int withIcon = firstInk(true);
        CHECK(plain > 0);
        CHECK(withIcon - plain >= 18);
        CHECK(withIcon - plain <= 20);
        SelectObject(dc, oldFont);
        ReleaseDC(tabs.m_hWnd, dc);

        // Painting everything itself: frame first, the others from the last, the selected one last.
        RecordingTabs& owner = dialog.m_ownerTabs;
        owner.InsertItem(0, "One");
        owner.InsertItem(1, "Two");
        owner.InsertItem(2, "Three");
        owner.SetCurSel(1);
        CHECK(owner.SetDrawMode(2));
        CHECK((owner.GetStyle() & TCS_OWNERDRAWFIXED) != 0);
        owner.drawn.clear();
        owner.Invalidate();
        owner.UpdateWindow();
        CHECK(owner.frames >= 1);
        REQUIRE(owner.drawn.size() == 3);
        CHECK(owner.drawn[0] == std::make_pair(2, 0u));
        CHECK(owner.drawn[1] == std::make_pair(0, 0u));
        CHECK(owner.drawn[2] == std::make_pair(1, static_cast<UINT>(ODS_SELECTED)));
        CHECK(owner.SetDrawMode(0));
        CHECK((owner.GetStyle() & TCS_OWNERDRAWFIXED) == 0);
    }

    SUBCASE("the jump slider reports press, jump and release") {
        CJumpSliderCtrl& slider = dialog.m_jump;
        slider.SetRange(0, 100, TRUE);
        slider.SetPos(0);
        RECT channel;
        slider.GetChannelRect(&channel);
        const int y = (channel.top + channel.bottom) / 2;
        const int x = channel.left + (channel.right - channel.left) * 3 / 4;
        dialog.m_scrolls.clear();
        slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        kvtest::PumpPending();
        CHECK(slider.GetPos() == 75);
        REQUIRE(dialog.m_scrolls.size() == 2);
        CHECK(LOWORD(dialog.m_scrolls[0]) == kSliderCodePress);
        CHECK(LOWORD(dialog.m_scrolls[1]) == TB_THUMBTRACK);
        CHECK(HIWORD(dialog.m_scrolls[1]) == 75);
        dialog.m_scrolls.clear();
        slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        kvtest::PumpPending();
        REQUIRE(dialog.m_scrolls.size() == 1);
        CHECK(LOWORD(dialog.m_scrolls[0]) == kSliderCodeRelease);
        CHECK_FALSE(slider.m_bDragging);
        CHECK(GetCapture() != slider.m_hWnd);

        // Beyond the end with the thumb already there: no change is reported.
        slider.SetPos(100);
        dialog.m_scrolls.clear();
        slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(channel.right + 30, y));
        slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(channel.right + 30, y));
        kvtest::PumpPending();
        REQUIRE(dialog.m_scrolls.size() == 2);
        CHECK(LOWORD(dialog.m_scrolls[0]) == kSliderCodePress);
        CHECK(LOWORD(dialog.m_scrolls[1]) == kSliderCodeRelease);
    }

    SUBCASE("the custom slider's value edit") {
        CSliderCustom& slider = dialog.m_custom;
        slider.SetRange(-50, 50, TRUE);
        slider.SetPos(12);
        slider.Invalidate();
        slider.UpdateWindow();
        kvtest::PumpPending();
        REQUIRE(slider.GetEdit().m_hWnd != nullptr);
        CHECK(slider.HasBackground());
        CHECK(slider.GetEdit().GetLimitText() == 4);
        CHECK(slider.GetEditSize().cx >= 26);
        CHECK(slider.GetEditText() == "+12");
        // The thumb lights up under the cursor and goes dark when the cursor leaves.
        RECT thumb;
        slider.GetThumbRect(&thumb);
        slider.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(thumb.left + 2, thumb.top + 2));
        CHECK(slider.IsThumbHot());
        slider.SendMessage(WM_MOUSELEAVE, 0, 0);
        CHECK_FALSE(slider.IsThumbHot());
        slider.SetPos(-7);
        slider.UpdateWindow();
        Pump();
        CHECK(slider.GetEditText() == "-7");

        CEditTrans& edit = slider.GetEdit();
        MSG msg = {edit.m_hWnd, WM_CHAR, 'a', 0, 0, {0, 0}};
        CHECK(edit.PreTranslateMessage(&msg));
        msg.wParam = '-';
        CHECK_FALSE(edit.PreTranslateMessage(&msg));
        msg.wParam = '7';
        CHECK_FALSE(edit.PreTranslateMessage(&msg));

        dialog.m_scrolls.clear();
        slider.SetEditText("+3");
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_PRIOR;
        CHECK(edit.PreTranslateMessage(&msg));
        CHECK(slider.GetEditText() == "+13");
        msg.wParam = VK_DOWN;
        edit.PreTranslateMessage(&msg);
        CHECK(slider.GetEditText() == "+12");
        edit.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        CHECK(slider.GetEditText() == "+9");
        edit.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        CHECK(slider.GetEditText() == "+12");
        kvtest::PumpUntil([&] { return !dialog.m_scrolls.empty(); }, 5000);
        REQUIRE_FALSE(dialog.m_scrolls.empty());
        CHECK(LOWORD(dialog.m_scrolls.back()) == TB_THUMBPOSITION);
        CHECK(static_cast<short>(HIWORD(dialog.m_scrolls.back())) == 12);
        // A step down past zero loses the "+".
        slider.SetEditText("+2");
        slider.StepDown(5);
        CHECK(slider.GetEditText() == "-3");

        // While the user types, a zero shows empty or as a lone minus; a step landing on 0 shows "0".
        slider.m_bKeepEditText = true;
        slider.SetPos(0);
        slider.SetEditText("");
        slider.Invalidate();
        slider.UpdateWindow();
        CHECK(slider.GetEditText() == "");
        slider.SetEditText("-");
        slider.Invalidate();
        slider.UpdateWindow();
        CHECK(slider.GetEditText() == "-");
        slider.SetEditText("-1");
        slider.StepUp(1);
        CHECK(slider.GetEditText() == "0");
        slider.Invalidate();
        slider.UpdateWindow();
        CHECK(slider.GetEditText() == "0");
        CHECK(slider.m_bBlankZero);
        slider.m_bKeepEditText = false;
    }

    SUBCASE("picture of the dialog") {
        ListImageArray* images = new ListImageArray();
        images->Add(SolidImage(48, 40, Color(255, 200, 40, 40)));
        images->Add(SolidImage(48, 40, Color(255, 40, 40, 200)));
        dialog.m_pictures.SetImages(images);
        dialog.m_pictures.AddItem("CD Case - 1 Disc", 0);
        dialog.m_pictures.AddItem("DVD Case - 1 Disc", 1);
        dialog.m_pictures.SetCurSel(1);
        dialog.m_icons.AddString("A match", 0);
        dialog.m_tracks.InsertItem(0, "Opening");
        dialog.m_tabs.InsertItem(0, "Front");
        dialog.m_tabs.InsertItem(1, "A very long back cover caption");
        dialog.m_ownerTabs.InsertItem(0, "Label");
        dialog.m_custom.SetRange(-50, 50, TRUE);
        dialog.m_custom.SetPos(20);
        dialog.m_jump.SetRange(0, 10, TRUE);
        dialog.m_jump.SetPos(4);
        dialog.Invalidate();
        dialog.UpdateWindow();
        kvtest::Capture shot = kvtest::CaptureWindowFromScreenSettled(dialog.m_hWnd);
        CHECK_FALSE(shot.Empty());
        kvtest::SavePng(shot, "list_tab_slider_dialog.png");
    }

    dialog.DestroyWindow();
    Pump();
    CHECK(boxes.Boxes().empty());
}
