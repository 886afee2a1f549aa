// The mutation run's use of what it read: New Project, the canvas, a colour change and an export.
#include "DesignUse.h"

#include <vector>

#include "GdiplusSession.h"
#include "canvas/AppCanvasState.h"
#include "canvas/View.h"
#include "canvas/ViewHost.h"
#include "canvas/ViewSettings.h"
#include "framework/DocView.h"
#include "framework/Win.h"
#include "model/Folders.h"
#include "model/KorvanelleDocument.h"
#include "print/DlgNewDoc.h"
#include "print/ImageExport.h"
#include "print/PrintSettings.h"

// The frame's menu and caption: the canvas tests' resources.
#define IDR_USE_FRAME 100

namespace mutation {

namespace {

class UseDoc : public CDocument {
    DECLARE_DYNCREATE(UseDoc)
};
IMPLEMENT_DYNCREATE(UseDoc, CDocument)

class UseFrame : public CFrameWnd {
    DECLARE_DYNCREATE(UseFrame)
};
IMPLEMENT_DYNCREATE(UseFrame, CFrameWnd)

// The canvas's share of the idle work is the program's own.
class UseApp : public CWinApp {
public:
    UseApp() : CWinApp("KvMutationUse") {}
    BOOL OnIdle(LONG count) override {
        int step = 0;
        if (AppCanvasState::Get().RunIdleWork(step)) return TRUE;
        return CWinApp::OnIdle(count);
    }
};

DWORD g_slowestStep = 0;

// Times one step of the user's, from its construction to its end.
class Step {
public:
    Step() : m_started(::GetTickCount()) {}
    ~Step() {
        const DWORD took = ::GetTickCount() - m_started;
        if (took > g_slowestStep) g_slowestStep = took;
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    DWORD m_started;
};

UseApp* g_app = nullptr;
View* g_view = nullptr;
ViewHost g_host;  // answers nothing and shows nothing

// The waiting messages, then the idle work, as the program's loop runs them.
void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) break;
        if (!g_app->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    for (LONG n = 0; g_app->OnIdle(n) && n < 50; ++n) {}
}

}  // namespace

bool ReadyView() {
    static bool tried = false;
    if (tried) return g_view != nullptr;
    tried = true;
    if (!kvtest::GdiplusReady()) return false;
    g_app = new UseApp;
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, (LPTSTR) "", SW_SHOWNORMAL);
    g_app->AddDocTemplate(new CSingleDocTemplate(IDR_USE_FRAME, RUNTIME_CLASS(UseDoc),
                                                 RUNTIME_CLASS(UseFrame), RUNTIME_CLASS(View)));
    View::SetHost(&g_host);
    CCommandLineInfo command;
    g_app->ProcessShellCommand(command);
    CFrameWnd* frame = static_cast<CFrameWnd*>(g_app->m_pMainWnd);
    if (!frame) return false;
    frame->SetWindowPos(nullptr, 0, 0, 1000, 760, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->ShowWindow(SW_SHOWNOACTIVATE);
    g_view = static_cast<View*>(frame->GetActiveView());
    if (!g_view) return false;
    AppCanvasState::Get().m_pView = g_view;
    g_view->m_templates.CreateBuiltInTemplates();
    return true;
}

unsigned long TakeSlowestStep() {
    const DWORD slowest = g_slowestStep;
    g_slowestStep = 0;
    return slowest;
}

void DrawNewProject(KorvanelleDocument& library, const std::string& folder) {
    g_openSaveFolder = g_programFolder = g_dataFolder = folder.c_str();
    Step step;
    DlgNewDoc newProject(&library);
    delete newProject.BuildPictures();
}

void UseLibrary(KorvanelleDocument& library, const std::string& folder, long mutant) {
    DrawNewProject(library, folder);
    // A new design of one of the six layouts, as New Project's OK makes it.
    const int kinds[3] = {kCaseJewel, kCaseDvd, kCaseBluray};
    const int kind = kinds[(mutant / 2) % 3];
    LabelTemplate* disc = library.GetDiscTemplate();
    LabelTemplate* cover =
        library.FindTemplate(library.FindTemplateNameOfKind(g_defaultTemplateNames[2], kind));
    if (!disc || !cover) return;
    KorvanelleDocument design;
    design.CreateFromTemplates(disc, cover);
    design.SetDiscLayout(mutant % 2 ? kLayout2DiscTop : kLayout1DiscTop);
    UseDesign(design, folder, mutant);
    design.DeleteContents(true);
}

void UseDesign(KorvanelleDocument& design, const std::string& folder, long mutant) {
    if (!ReadyView()) return;
    View* view = g_view;
    {
        Step step;
        view->ResetForDocument(&design, TRUE);
        view->m_paintEnabled = true;
        Pump();
    }
    // Zoomed in as far as the canvas goes, and out again.
    for (bool in : {true, false}) {
        for (int i = 0; i < 40; ++i) {
            Step step;
            const int before = view->m_zoom;
            if (in)
                view->OnZoomIn();
            else
                view->OnZoomOut();
            Pump();
            if (view->m_zoom == before) break;
        }
    }
    // A colour for the first text on the side shown, or for the side.
    KorvanelleDocument& shown = view->m_design;
    ViewObject* side = shown.GetCurrentSide();
    ViewObject* coloured = side;
    shown.ForEachObject([&](ViewObject* o) {
        if (coloured == side && side && (o->type == kObjectText || o->type == kObjectTrack) &&
            o->sideName == side->name)
            coloured = o;
    });
    if (coloured) {
        Step step;
        view->m_select.SetColor(coloured, RGB(200, 30, 60));
        Pump();
    }
    // One part exported as Save As Image does, at the resolution chosen last.
    std::vector<ViewObject*> parts;
    shown.ForEachObject([&](ViewObject* o) {
        if (o->IsPage() || o->IsSide()) parts.push_back(o);
    });
    if (parts.empty()) return;
    PrintOptions options(&g_printOptions);
    options.printFront = options.printBack = options.printDisc1 = options.printDisc2 = 1;
    const int dpis[3] = {150, 300, 600};
    const int choice = g_exportImageOptions.resolutionChoice;
    Step step;
    ExportImage(&shown, parts[static_cast<size_t>(mutant) % parts.size()],
                dpis[choice >= 0 && choice < 3 ? choice : 0], &options, kExportPng,
                (folder + "\\export.png").c_str());
}

}  // namespace mutation
