// The canvas tests' frame, host and designs.
#include "CanvasFixture.h"

#include <doctest.h>

#include <algorithm>

#include "GdiplusSession.h"
#include "TestSupport.h"
#include "canvas/AppCanvasState.h"
#include "canvas/ViewSettings.h"
#include "framework/DocView.h"
#include "framework/Win.h"
#include "model/PageSizes.h"
#include "model/PrintOptions.h"
#include "render/CanvasSettings.h"

#define IDR_CANVAS_TEST_FRAME 100

namespace cvtest {

bool RecordingHost::Called(const std::string& s) const {
    return std::find(calls.begin(), calls.end(), s) != calls.end();
}

RecordingHost& Host() {
    static RecordingHost host;
    return host;
}

namespace {

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)

// The application's idle work: the canvas's share of it is the program's own.
class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("KvCanvasTest") {}
    BOOL OnIdle(LONG count) override {
        int step = 0;
        if (AppCanvasState::Get().RunIdleWork(step)) return TRUE;
        return CWinApp::OnIdle(count);
    }
};

TestApp& App() {
    static TestApp* app = [] {
        TestApp* p = new TestApp;
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
        p->AddDocTemplate(new CSingleDocTemplate(IDR_CANVAS_TEST_FRAME, RUNTIME_CLASS(TestDoc),
                                                 RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(View)));
        return p;
    }();
    return *app;
}

}  // namespace

void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) break;
        if (!App().PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    for (LONG n = 0; App().OnIdle(n) && n < 50; ++n) {}
}

View* EnsureView() {
    static View* view = nullptr;
    if (view) return view;
    REQUIRE(kvtest::GdiplusReady());
    TestApp& app = App();
    // Settings as the settings store sets them by default.
    const std::string folder = kvtest::TempDir("canvas-settings");
    g_settingsFolder = folder.c_str();
    g_dataFolder = folder.c_str();
    g_programFolder = folder.c_str();
    g_settingsVersion = 0;
    g_units = "Inches";
    g_paperSize = "Letter";
    g_gridSize[0] = g_gridSize[1] = 100;
    g_snapToGrid = 0;
    g_showGrid = 0;
    g_showGuides = 1;
    g_printCopies = 1;
    g_printOptions.SetDefaults();
    InitPaperTable();
    View::SetHost(&Host());
    CCommandLineInfo cmd;
    app.ProcessShellCommand(cmd);
    CFrameWnd* frame = static_cast<CFrameWnd*>(app.m_pMainWnd);
    REQUIRE(frame != nullptr);
    frame->SetWindowPos(nullptr, 0, 0, 1000, 760, SWP_NOZORDER);
    frame->ShowWindow(SW_SHOW);
    view = static_cast<View*>(frame->GetActiveView());
    REQUIRE(view != nullptr);
    AppCanvasState::Get().m_pView = view;
    view->LoadTemplates();
    NewDesign(view, kLayout1DiscTop, "Back Cover");
    return view;
}

void NewDesign(View* view, int layout, const char* side) {
    KorvanelleDocument temp;
    temp.CreateFromTemplates(view->m_templates.GetDiscTemplate(), view->m_templates.GetCoverTemplate());
    temp.SetDiscLayout(layout);
    view->ResetForDocument(&temp, TRUE);
    temp.DeleteContents(true);
    view->m_paintEnabled = true;
    view->ShowSide(side);
    Pump();
}

ViewObject* AddText(View* view, const char* name, const char* text, int left, int top, int width,
                    int height) {
    KorvanelleDocument& d = view->m_design;
    ViewObject* side = d.GetCurrentSide();
    REQUIRE(side != nullptr);
    ViewObject* o = new ViewObject;
    o->type = kObjectText;
    o->name = name;
    o->side = side->side;
    o->sideName = side->name;
    o->left = left;
    o->top = top;
    o->width = width;
    o->height = height;
    o->alignment = "Left";
    o->angle = "0 degrees";
    o->wrapStyle = "Word-Wrap";
    o->SetText(text);
    for (int i = 0; i < o->GetCharCount(); ++i) {
        o->charFonts.Add(i == 0 ? ViewObject::NewDefaultFontRecord() : nullptr);
        o->charColors.Add(i == 0 ? new COLORREF(0) : nullptr);
        o->charUnderlines.Add(0);
    }
    d.AddObject(o);
    return o;
}

void PointerAt(View* view, CPoint client) {
    CPoint screen = client;
    view->ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    const UINT marker = WM_APP + 77;
    view->PostMessage(marker, 0, 0);
    MSG msg;
    while (::PeekMessageA(&msg, view->m_hWnd, marker, marker, PM_REMOVE)) {
    }
}

std::string MakePicture(const char* name, int w, int h, COLORREF color) {
    const std::string path = kvtest::TempDir(std::string("pictures-") + name) + "\\" + name + ".png";
    Gdiplus::Bitmap bitmap(w, h, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics g(&bitmap);
        Gdiplus::SolidBrush brush(Gdiplus::Color(GetRValue(color), GetGValue(color), GetBValue(color)));
        g.FillRectangle(&brush, 0, 0, w, h);
        Gdiplus::SolidBrush mark(Gdiplus::Color(0, 0, 0));
        g.FillRectangle(&mark, 0, 0, w / 4 + 1, h / 4 + 1);
    }
    CLSID png;
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) png = encoders[i].Clsid;
    std::wstring wide(path.begin(), path.end());
    bitmap.Save(wide.c_str(), &png, nullptr);
    return path;
}

}  // namespace cvtest
