// The main tool bar's Insert drop-down under real mouse input (it opens, closes and reopens on
// three clicks; a press released off the button opens nothing; a choice inserts its object), and
// the tiled backgrounds of the tool bar and the dock bars.
#include <doctest.h>

#include <functional>
#include <vector>

#include "TextEditorHarness.h"
#include "GuiSupport.h"
#include "framework/win/ScopedGdi.h"
#include "controls/ResizeBar.h"
#include "controls/ThemeFill.h"

namespace {

// Mouse input as the hardware gives it, in screen pixels.
void MouseAt(int x, int y, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    ::SendInput(1, &input, sizeof(input));
}

void Click(CPoint at) {
    MouseAt(at.x, at.y, 0);
    MouseAt(at.x, at.y, MOUSEEVENTF_LEFTDOWN);
    MouseAt(at.x, at.y, MOUSEEVENTF_LEFTUP);
}

HWND OpenMenuWindow() {
    HWND menu = ::FindWindowA("#32768", nullptr);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

// Steps run from a thread timer, so that they also run inside the drop-down's own message loop.
struct Script {
    std::vector<std::function<bool()>> steps;  // each returns true when done
    size_t next = 0;
    int menusSeen = 0;
    bool menuWasOpen = false;
    static Script* current;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current;
        if (!s) return;
        const bool open = OpenMenuWindow() != nullptr;
        if (open && !s->menuWasOpen) ++s->menusSeen;
        s->menuWasOpen = open;
        if (s->next < s->steps.size() && s->steps[s->next]()) ++s->next;
    }
    bool Run(DWORD ms) {
        current = this;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 40, &Script::Tick);
        const bool done = editortest::Pump([&] { return next >= steps.size(); }, ms);
        ::KillTimer(nullptr, timer);
        current = nullptr;
        return done;
    }
};
Script* Script::current = nullptr;

struct Fixture {
    editortest::TestCanvas canvas;
    editortest::EditorFrame* frame = nullptr;
};

Fixture& Start() {
    static Fixture* fixture = nullptr;
    if (!fixture) {
        editortest::InitProgram();
        fixture = new Fixture;
        SetBarCanvas(&fixture->canvas);
        fixture->canvas.MakeDesign(false);
        fixture->frame = new editortest::EditorFrame;
        REQUIRE(fixture->frame->CreateEditor(fixture->canvas, CRect(0, 0, 1000, 720)));
        editortest::Settle(100);
    }
    fixture->canvas.m_inserted.clear();
    fixture->frame->m_toolbar.m_listOpen = FALSE;
    ::SetForegroundWindow(fixture->frame->m_hWnd);
    editortest::Settle(50);
    return *fixture;
}

CRect InsertButton(CToolView& toolbar) {
    CRect r;
    toolbar.GetItemRect(toolbar.CommandToIndex(ID_INSERT_MENU), &r);
    toolbar.ClientToScreen(&r);
    return r;
}

CRect RectInFrame(CWnd& w, CWnd& frame) {
    CRect r;
    w.GetWindowRect(&r);
    frame.ScreenToClient(&r);
    return r;
}

unsigned PixelAt(HDC dc, int x, int y) {
    return kvtest::Rgb(::GetPixel(dc, x, y));
}

}  // namespace

TEST_CASE("the Insert drop-down under the mouse") {
    KvMessageBoxCapture boxes(IDOK);
    editortest::PointerRestore pointer;
    Fixture& f = Start();
    CToolView& toolbar = f.frame->m_toolbar;
    const CRect button = InsertButton(toolbar);
    REQUIRE_FALSE(button.IsRectEmpty());
    const CPoint middle = button.CenterPoint();

    SUBCASE("open, close, open again on three clicks") {
        Script script;
        int openings = 0;
        script.steps = {
            [&] {
                Click(middle);
                return true;
            },
            [&] {
                if (!OpenMenuWindow()) return false;
                ++openings;
                Click(middle);  // a click on Insert while the list is down closes it...
                return true;
            },
            [&] {
                return OpenMenuWindow() == nullptr && !toolbar.m_listOpen;
            },  // ...and its release opens nothing
            [&] {
                Click(middle);
                return true;
            },
            [&] {
                if (!OpenMenuWindow()) return false;
                ++openings;
                ::EndMenu();
                return true;
            },
            [&] { return OpenMenuWindow() == nullptr; },
        };
        CHECK(script.Run(8000));
        CHECK(openings == 2);
        CHECK(script.menusSeen == 2);
        CHECK(f.canvas.m_inserted.empty());
    }
    SUBCASE("a press released off the button opens nothing") {
        Script script;
        script.steps = {
            [&] {
                MouseAt(middle.x, middle.y, 0);
                MouseAt(middle.x, middle.y, MOUSEEVENTF_LEFTDOWN);
                MouseAt(middle.x, button.bottom + 60, 0);
                MouseAt(middle.x, button.bottom + 60, MOUSEEVENTF_LEFTUP);
                return true;
            },
            [&] { return ::GetCapture() == nullptr; },
            [&] {
                if (OpenMenuWindow()) ::EndMenu();
                return true;
            },
        };
        CHECK(script.Run(4000));
        editortest::Settle(150);
        CHECK(script.menusSeen == 0);
        CHECK(f.canvas.m_inserted.empty());
    }
    SUBCASE("choosing Total Time inserts an object named Time") {
        Script script;
        script.steps = {
            [&] {
                Click(middle);
                return true;
            },
            [&] {
                HWND menu = OpenMenuWindow();
                if (!menu) return false;
                HMENU list = toolbar.m_insertList.m_hMenu;
                for (int pos = 0; pos < ::GetMenuItemCount(list); ++pos) {
                    if (::GetMenuItemID(list, pos) != ID_INSERT_TIME) continue;
                    CRect item;
                    REQUIRE(::GetMenuItemRect(nullptr, list, pos, &item));
                    Click(item.CenterPoint());
                }
                return true;
            },
            [&] { return !f.canvas.m_inserted.empty(); },
        };
        CHECK(script.Run(8000));
        REQUIRE(f.canvas.m_inserted.size() == 1);
        CHECK(f.canvas.m_inserted[0] == CString("Time"));
    }
}

TEST_CASE("the insert commands and the objects they insert") {
    CHECK(CToolView::ObjectForCommand(ID_INSERT_ARTIST) == CString("Artist"));
    CHECK(CToolView::ObjectForCommand(ID_INSERT_TRACK) == CString("Track List"));
    CHECK(CToolView::ObjectForCommand(ID_INSERT_TIME) == CString("Time"));
    CHECK(CToolView::ObjectForCommand(ID_INSERT_IMAGE) == CString("Image"));
    CHECK(CToolView::ObjectForCommand(ID_INSERT_MENU).IsEmpty());
    CHECK(CToolView::ObjectForCommand(0).IsEmpty());
    Fixture& f = Start();
    CStyledMenu& list = f.frame->m_toolbar.m_insertList;
    std::vector<UINT> commands;
    for (int pos = 0; pos < ::GetMenuItemCount(list.m_hMenu); ++pos) {
        const UINT id = ::GetMenuItemID(list.m_hMenu, pos);
        if (id >= ID_INSERT_ARTIST && id <= ID_INSERT_IMAGE) commands.push_back(id);
    }
    CHECK(commands == std::vector<UINT>{32834, 32835, 32836, 32837, 32838, 32839, 32840, 32841});
}

TEST_CASE("the bars' backgrounds are tiles lined up with the frame's client area") {
    Fixture& f = Start();
    CFrameWnd& frame = *f.frame;
    // The left dock bar starts below the tool bar: its tiles start part-way into a tile.
    CDockBar* top = static_cast<CDockBar*>(frame.GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    REQUIRE(top != nullptr);
    CRect dock;
    top->GetClientRect(&dock);
    const int width = dock.Width(), height = dock.Height();
    REQUIRE(width > 40);
    REQUIRE(height > 10);
    CHECK(RectInFrame(*top, frame).top > 0);
    CClientDC screen(nullptr);
    ScopedMemoryDC drawn(screen, width, height), expected(screen, width, height);
    // The tile as the frame's client area would show it at the dock bar's place.
    CPoint at(0, 0);
    top->ClientToScreen(&at);
    frame.ScreenToClient(&at);
    TileThemeBackground(expected, CRect(0, 0, width, height), -at.x, -at.y, 1);

    SUBCASE("a dock bar") {
        ::PatBlt(drawn, 0, 0, width, height, BLACKNESS);
        top->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(drawn)));
        int same = 0;
        for (int x = 0; x < width; x += 7)
            for (int y = 0; y < height; y += 3) same += PixelAt(drawn, x, y) == PixelAt(expected, x, y);
        const int samples = ((width + 6) / 7) * ((height + 2) / 3);
        CHECK(same == samples);
        // A tile at another origin differs somewhere: the check above can fail.
        TileThemeBackground(drawn, CRect(0, 0, width, height), 0, 0, 1);
        int shifted = 0;
        for (int x = 0; x < width; x += 7)
            for (int y = 0; y < height; y += 3) shifted += PixelAt(drawn, x, y) == PixelAt(expected, x, y);
        CHECK(shifted < samples);
    }
    SUBCASE("nothing while the Images bar is being resized") {
        CResizeBarCF images;
        REQUIRE(images.Create("Images", &frame, kImagesBarId, WS_CHILD | CBRS_RIGHT));
        images.m_bTracking = TRUE;
        ::PatBlt(drawn, 0, 0, width, height, BLACKNESS);
        top->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(drawn)));
        CHECK(PixelAt(drawn, 5, 5) == 0u);
        CHECK(PixelAt(drawn, width / 2, height / 2) == 0u);
        images.m_bTracking = FALSE;
        images.DestroyWindow();
    }
    SUBCASE("the tool bar: its client area, or on the whole window the strip along the gripper") {
        CToolView& toolbar = f.frame->m_toolbar;
        CRect client;
        toolbar.GetClientRect(&client);
        ScopedMemoryDC bar(screen, client.Width(), client.Height());
        ::PatBlt(bar, 0, 0, client.Width(), client.Height(), BLACKNESS);
        toolbar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(bar)));
        CHECK(PixelAt(bar, 0, 0) != 0u);
        CHECK(PixelAt(bar, client.Width() - 1, client.Height() - 1) != 0u);
        // Through the whole window's DC only the strip where the gripper stands.
        CWindowDC window(&toolbar);
        CRect outer;
        toolbar.GetWindowRect(&outer);
        ::PatBlt(window, 0, 0, outer.Width(), outer.Height(), BLACKNESS);
        toolbar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(window.GetSafeHdc()));
        CHECK(kvtest::Rgb(::GetPixel(window, 19, 3)) != 0u);
        CHECK(kvtest::Rgb(::GetPixel(window, 21, 3)) == 0u);
        toolbar.Invalidate();
    }
}
