// The GUI test world of the formatting and colour bars.
#include "BarsHarness.h"

#include <commctrl.h>

#include "app/PaperTable.h"
#include "bars/BarSettings.h"
#include "controls/ThemeResources.h"
#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "res/CommandIds.h"
#include "res/ResourceImages.h"

namespace barstest {

// ---- the recording canvas ----

RecordingCanvas::RecordingCanvas() {
    library.CreateBuiltInTemplates();
    design.CreateFromTemplates(library.templates[0], library.templates[1]);
}

RecordingCanvas::~RecordingCanvas() {
    design.DeleteContents(true);
    library.DeleteContents(true);
}

void RecordingCanvas::Reset() {
    calls.clear();
    steps.clear();
    open = false;
    discarded = 0;
}

int RecordingCanvas::Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}

std::string RecordingCanvas::Last(const std::string& prefix) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->compare(0, prefix.size(), prefix) == 0) return *it;
    return std::string();
}

void RecordingCanvas::Select(ViewObject* object) {
    design.ClearSelection();
    if (object) design.selection.Add(object);
}

ViewObject* RecordingCanvas::Add(int type, const char* name, int side) {
    if (ViewObject* existing = Find(name)) return existing;
    static const char* const kSides[4] = {"", "Disc 1", "Front Cover", "Back Cover"};
    ViewObject* object = NewViewObject(type, name, side, kSides[side], 500, 500, 2000, 800);
    object->angle = "0 degrees";
    object->wrapStyle = "Word-Wrap";
    object->alignment = "Center";
    if (type == kObjectTrack) {
        object->trackNumbers = "Track Numbers && Times";
        object->textLayout = side == 1 ? "Top && Bottom" : "1 Column";
        object->wrapStyle = "Track-Wrap";
    }
    design.AddObject(object);
    return object;
}

void RecordingCanvas::BeginUndoStep() {
    calls.push_back("BeginUndoStep");
    if (open) return;
    open = true;
    current = UndoStep();
}

void RecordingCanvas::RecordUndoValue(LPCSTR key) {
    if (open) current.keys.push_back(key);
}

void RecordingCanvas::EndUndoStep() {
    calls.push_back("EndUndoStep");
    if (!open) return;
    steps.push_back(current);
    open = false;
}

void RecordingCanvas::DiscardUndoStep() {
    calls.push_back("DiscardUndoStep");
    if (!open) return;
    open = false;
    ++discarded;
}

void RecordingCanvas::ApplyUndoStep(bool redo) {
    calls.push_back(redo ? "ApplyUndoStep:redo" : "ApplyUndoStep:undo");
}

void RecordingCanvas::ShowLabelAlignment(const CString& name, int side, bool create) {
    calls.push_back("ShowLabelAlignment:" + std::string(name) + "," + std::to_string(side) + "," +
                    (create ? "1" : "0"));
}

void RecordingCanvas::SetDiscLayout(int layout) {
    calls.push_back("SetDiscLayout:" + std::to_string(layout));
}

void RecordingCanvas::GetSelection(int& start, int& end) {
    start = selStart;
    end = selEnd;
}

const COLORREF* RecordingCanvas::GetRunObject(ViewObject* object, int index) {
    if (!object || object->IsImage() || object->IsPage()) return nullptr;
    for (int i = index; i >= 0; --i)
        if (i < object->charColors.GetSize() && object->charColors[i]) return object->charColors[i];
    return nullptr;
}

void RecordingCanvas::SetColor(ViewObject* object, COLORREF colour, bool) {
    char text[32];
    sprintf(text, "SetColor:%06lX", static_cast<unsigned long>(colour));
    calls.push_back(text);
    if (!object) object = Selected();
    if (!object || object->IsImage() || object->IsPage()) return;
    // The whole text takes the colour: one record at its first character.
    for (INT_PTR i = 0; i < object->charColors.GetSize(); ++i) {
        delete object->charColors[i];
        object->charColors[i] = nullptr;
    }
    if (object->charColors.GetSize() == 0) object->charColors.SetSize(1);
    object->charColors[0] = new COLORREF(colour);
}

void RecordingCanvas::OnAlignLeft(bool) {
    calls.push_back("OnAlignLeft");
}
void RecordingCanvas::OnAlignCenter(bool) {
    calls.push_back("OnAlignCenter");
}
void RecordingCanvas::OnAlignRight(bool) {
    calls.push_back("OnAlignRight");
}

void RecordingCanvas::SetFontName(const CString& name) {
    calls.push_back("SetFontName:" + std::string(name));
}

void RecordingCanvas::SetFontSize(const CString& size) {
    calls.push_back("SetFontSize:" + std::string(size));
}

void RecordingCanvas::ShowFontSize() {
    calls.push_back("ShowFontSize");
    if (!fontBar || ButtonCount(*fontBar) <= 6) return;
    fontBar->SetButtonImage(4, 0);
    fontBar->SetButtonImage(5, 1);
    fontBar->SetButtonImage(6, 2);
}

void RecordingCanvas::SetAngle(const CString& angle) {
    calls.push_back("SetAngle:" + std::string(angle));
    if (Selected()) Selected()->angle = angle;
}

void RecordingCanvas::SetWrapStyle(const CString& style) {
    calls.push_back("SetWrapStyle:" + std::string(style));
    if (Selected()) Selected()->wrapStyle = style;
}

void RecordingCanvas::SetTrackNumbers(const CString& format) {
    calls.push_back("SetTrackNumbers:" + std::string(format));
    if (Selected()) Selected()->trackNumbers = format;
}

void RecordingCanvas::SetTrackLayout(const CString& layout, bool) {
    calls.push_back("SetTrackLayout:" + std::string(layout));
    if (Selected()) Selected()->textLayout = layout;
}

void RecordingCanvas::SetLinkText(bool link, bool) {
    calls.push_back(std::string("SetLinkText:") + (link ? "1" : "0"));
    if (Selected()) Selected()->bLinkText = link ? 1 : 0;
}

void RecordingCanvas::SetTextMargin(int margin, bool) {
    calls.push_back("SetTextMargin:" + std::to_string(margin));
}

void RecordingCanvas::SetImageSize(bool lock, bool) {
    calls.push_back(std::string("SetImageSize:") + (lock ? "1" : "0"));
}

void RecordingCanvas::BringImageToFront(ViewObject* image) {
    calls.push_back("BringImageToFront:" + std::string(image ? static_cast<const char*>(image->name) : ""));
}

void RecordingCanvas::SetAsBackground(ViewObject* image, bool keep, bool) {
    calls.push_back("SetAsBackground:" + std::string(image ? static_cast<const char*>(image->name) : "") +
                    (keep ? ",1" : ",0"));
}

void RecordingCanvas::SetImageHsl(int hue, int saturation, int lightness, bool withUndo) {
    calls.push_back("SetImageHsl:" + std::to_string(hue) + "," + std::to_string(saturation) + "," +
                    std::to_string(lightness) + (withUndo ? ",1" : ",0"));
    ViewObject* image = Selected();
    if (!image || !image->IsImage()) return;
    if (image->hue == hue && image->saturation == saturation && image->lightness == lightness) return;
    // The view keeps a typed value as a step of its own.
    if (withUndo && !open) {
        steps.push_back(UndoStep{{"prevHSL", "nextHSL"}});
    }
    image->hue = hue;
    image->saturation = saturation;
    image->lightness = lightness;
}

// ---- the frame ----

BEGIN_MESSAGE_MAP(BarsFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {

void MakeStripList(CImageList& list, UINT bitmapId) {
    HBITMAP strip = static_cast<HBITMAP>(::LoadImage(::GetModuleHandle(nullptr), MAKEINTRESOURCE(bitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    list.Create(19, 19, ILC_COLOR24 | ILC_MASK, 12, 0);
    ImageList_AddMasked(list.GetSafeHandle(), strip, RGB(255, 0, 255));
    ::DeleteObject(strip);
}

}  // namespace

int BarsFrame::OnCreate(LPCREATESTRUCT createStruct) {
    if (CFrameWnd::OnCreate(createStruct) == -1) return -1;
    m_menu.CreateMenu();
    HMENU file = ::CreatePopupMenu(), edit = ::CreatePopupMenu(), bars = ::CreatePopupMenu();
    ::AppendMenu(file, MF_STRING, 57665, "Exit");
    ::AppendMenu(edit, MF_STRING, 57643, "Undo");
    ::AppendMenu(bars, MF_STRING, ID_VIEW_COLOR_TOOLBAR, "Color Toolbar");
    ::AppendMenu(bars, MF_STRING, ID_VIEW_PROPERTIES_TOOLBAR, "Properties Toolbar");
    ::AppendMenu(m_menu.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
    ::AppendMenu(m_menu.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "Edit");
    ::AppendMenu(m_menu.m_hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(bars), "Toolbars");
    SetMenu(&m_menu);

    // The canvas's place: the application-workspace grey a view shows before it draws.
    m_view.Create(AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1)),
                  "view", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 100, 400, 300), this, 0xE900);
    const DWORD flat = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
    if (!m_toolColor.CreateEx(this, flat, 0x40402800, CRect(0, 0, 0, 0), 1053)) return -1;
    m_toolColor.CreateControls();
    if (!m_toolProperties.CreateEx(this, flat, 0x40402830, CRect(0, 0, 0, 0), 1060)) return -1;
    m_toolProperties.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(g_uiFont), TRUE);
    MakeStripList(m_propertiesNormal, IDB_PROPBAR_NORMAL);
    MakeStripList(m_propertiesHot, IDB_PROPBAR_HOT);
    m_toolProperties.GetToolBarCtrl().SetImageList(&m_propertiesNormal);
    m_toolProperties.GetToolBarCtrl().SetHotImageList(&m_propertiesHot);
    m_toolProperties.CreateControls();
    EnableDocking(CBRS_ALIGN_ANY);
    m_toolColor.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    m_toolProperties.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    DockControlBar(&m_toolColor, AFX_IDW_DOCKBAR_TOP);
    DockControlBar(&m_toolProperties, AFX_IDW_DOCKBAR_TOP);
    ShowControlBar(&m_toolColor, TRUE, FALSE);
    ShowControlBar(&m_toolProperties, TRUE, FALSE);
    if (!m_textBar.Create("Text Editor", this, 1048, 0x50002800)) return -1;
    m_textBar.EnableDocking(CBRS_ALIGN_LEFT);
    DockControlBar(&m_textBar, AFX_IDW_DOCKBAR_LEFT);
    ShowControlBar(&m_textBar, FALSE, FALSE);
    return 0;
}

// ---- the harness ----

Harness::Harness() {
    kvtest::GdiplusReady();
    static CWinApp* app = new CWinApp("KvBarsTest");
    AfxWinInit(::GetModuleHandle(nullptr), nullptr, const_cast<LPTSTR>(""), SW_SHOWNORMAL);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                       IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    SetBarCanvas(&canvas);
    // As the settings' defaults leave them: every custom colour slot empty.
    for (COLORREF& colour : g_customColors) colour = RGB(255, 255, 255);
    frame = new BarsFrame;
    frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1100, 500));
    app->m_pMainWnd = frame;
    canvas.view = frame->m_view.GetSafeHwnd();
    canvas.fontBar = &frame->m_toolProperties;
    frame->RecalcLayout();
    Pump();
}

void Harness::Pump() {
    kvtest::PumpPending();
}

void Harness::SetFrameWidth(int width) {
    frame->SetWindowPos(nullptr, 0, 0, width, 500, SWP_NOZORDER | SWP_NOMOVE);
    frame->RecalcLayout();
    Pump();
}

Harness& TheHarness() {
    static bool paper = (InitPaperTable(), true);
    (void)paper;
    static Harness* harness = new Harness;
    return *harness;
}

int ButtonCount(CToolBar& bar) {
    return bar.GetToolBarCtrl().GetButtonCount();
}

bool Visible(CWnd& control) {
    return (control.GetStyle() & WS_VISIBLE) != 0;
}

}  // namespace barstest
