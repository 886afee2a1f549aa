// The themed message box: its layout as a function of the control sizes, the hook that answers
// every box in tests, and the real window under Wine (results, a button that stays, the check box,
// icons, the layout of the live controls).
#include <doctest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

#include "controls/AeroMessageBox.h"
#include "controls/MessageBoxLayout.h"
#include "controls/ThemeResources.h"
#include "framework/Win.h"
#include "GdiplusSession.h"
#include "GuiSupport.h"
#include "res/ControlsIds.h"
#include "res/ResourceImages.h"

namespace {

struct Resources {
    Resources() {
        kvtest::GdiplusReady();
        InitThemeResources(IDB_TEXTURE_DIALOG, IDB_TEXTURE_CANVAS, IDP_THEME_IMAGE, IDB_MENU_IMAGES,
                           IDB_TOOL_IMAGES, IDI_KORVANELLE, IDP_SIZE_GRIP);
    }
    ~Resources() { ReleaseThemeResources(); }
};

MessageBoxLayoutInput BaseInput() {
    MessageBoxLayoutInput in;
    in.icon = {15, 15, 47, 47};  // a 32-pixel icon 15 pixels in from the corner
    in.message = {120, 13};
    in.glow = 12;
    return in;
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Runs the box for real and hands its window to `drive` once it is shown; every other box goes on
// to the hook that was set before.
INT_PTR RunLive(AeroMessageBox& box, std::function<void(HWND)> drive) {
    struct Restore {
        KvMessageBoxHandler previous;
        ~Restore() { AfxSetMessageBoxHandler(previous); }
    } restore;
    restore.previous = AfxSetMessageBoxHandler([&](KvMessageBoxRequest& request) {
        if (request.themed && drive) {
            request.runLive = std::move(drive);
            drive = nullptr;
            return 0;
        }
        return restore.previous ? restore.previous(request) : IDOK;
    });
    return box.DoModal();
}

void Click(HWND box, int id) {
    SendMessage(GetDlgItem(box, id), BM_CLICK, 0, 0);
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The messages of the box's thread as a dialog's loop takes them (keys go through the dialog
// manager), until `done` or 5 seconds.
template <class Pred>
bool PumpDialogUntil(HWND box, Pred done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 5000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageA(box, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

}  // namespace

TEST_CASE("message box layout from the control sizes") {
    MessageBoxLayoutInput in = BaseInput();
    SUBCASE("one line beside the icon, centred on it; one centred button below the icon") {
        in.buttons = {{75, 23}};
        const MessageBoxLayout out = ComputeMessageBoxLayout(in);
        CHECK(out.message.x == 15 + 47);
        CHECK(out.message.y == (15 + 47) / 2 - 13 / 2);
        CHECK(out.buttons[0].top == 47 + 15);
        CHECK(out.buttons[0].left == (182 + 15) / 2 - 75 / 2);
        CHECK(out.client.cx == 182 + 15);
        CHECK(out.client.cy == 47 + 15 + 23 + 15);
    }
    SUBCASE("a tall message from the icon's top; right-aligned buttons end at its right edge") {
        in.message = {300, 90};
        in.buttons = {{75, 23}, {60, 23}};
        in.centreButtons = false;
        const MessageBoxLayout out = ComputeMessageBoxLayout(in);
        CHECK(out.message.y == 15);
        CHECK(out.buttons[0].top == 15 + 90 + 15);
        CHECK(out.buttons[1].right == 62 + 300);
        CHECK(out.buttons[1].left - out.buttons[0].right == 15 / 2);
    }
    SUBCASE("buttons wider than the message widen the box; no buttons end it under the icon") {
        in.message = {40, 13};
        in.buttons = {{75, 23}, {75, 23}, {75, 23}};
        const int width = 3 * 75 + 2 * 7;
        const MessageBoxLayout out = ComputeMessageBoxLayout(in);
        CHECK(out.client.cx == 15 + width + 15);
        CHECK(out.buttons[0].left == (15 + width + 15) / 2 - width / 2);
        in.buttons.clear();
        CHECK(ComputeMessageBoxLayout(in).client.cy == 47 + 15);
    }
    SUBCASE("link and check box go below the message, net of their glow margins") {
        in.message = {120, 40};
        in.messageGlow = true;
        in.hasLink = true;
        in.link = {80 + 24, 13 + 24};
        in.hasCheck = true;
        in.check = {160, 13};
        in.buttons = {{75, 23}};
        const MessageBoxLayout out = ComputeMessageBoxLayout(in);
        // The glowing label's window starts G up and left of where its text goes.
        CHECK(out.message.x == 62 - 12);
        CHECK(out.message.y == 15 - 12);
        const int textBottom = 15 + 40 - 12 - 12;  // the window less G on every side
        CHECK(out.link.x == 62 - 12);
        CHECK(out.link.y == textBottom - 6 + 15);
        CHECK(out.check.x == 62);
        CHECK(out.check.y == out.link.y + 37 - 6 + 15);
        CHECK(out.buttons[0].top == out.check.y + 13 + 15);
    }
}

TEST_CASE("the hook answers every box without a window") {
    KvMessageBoxCapture boxes;
    SUBCASE("a themed box: its kind, texts, buttons and check box, answered by a caption") {
        boxes.m_answerCaption = "No";
        boxes.m_checkAnswer = true;
        AeroMessageBox box(nullptr);
        box.m_iconKind = kBoxWarning;
        box.m_message = "Save changes to Cover.kvl?";
        box.m_checkBox = true;
        box.AddButton("Yes", 1, 1, "");
        box.AddButton("No", 2, 0, "");
        box.AddButton("More Info..", 0, 0, "c:\\info.url");
        box.AddButton("Fourth", 4, 0, "");  // the box has three buttons only
        CHECK(box.DoModal() == 2);
        CHECK(box.m_hWnd == nullptr);
        CHECK(box.m_checkBox);
        const KvMessageBoxCapture::Box& seen = boxes.Boxes().at(0);
        CHECK(seen.themed);
        CHECK(seen.iconKind == 2);
        CHECK((seen.type & MB_ICONMASK) == MB_ICONWARNING);
        CHECK(seen.text == "Save changes to Cover.kvl?");
        CHECK(seen.caption == "Korvanelle");
        CHECK(seen.hasCheck);
        REQUIRE(seen.buttons.size() == 3);
        CHECK(seen.buttons[0].isDefault);
        CHECK_FALSE(seen.buttons[1].isDefault);
        CHECK(seen.buttons[2].result == 0);
        CHECK(seen.buttons[2].link == "c:\\info.url");
        // Without a check box the answer reports none.
        AeroMessageBox plain(nullptr);
        plain.AddButton("OK", 1, 1, "");
        CHECK(plain.DoModal() == IDOK);  // no "No" button: the plain answer
        CHECK_FALSE(plain.m_checkBox);
    }
    SUBCASE("plain boxes show their system buttons and icon kind, also to a hook of the earlier form") {
        boxes.m_answerCaption = "Cancel";
        CHECK(AfxPlainMessageBox("Really?", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDCANCEL);
        const KvMessageBoxCapture::Box& seen = boxes.Boxes().at(0);
        CHECK_FALSE(seen.themed);
        CHECK(seen.iconKind == 2);
        REQUIRE(seen.buttons.size() == 3);
        CHECK(seen.buttons[1].caption == "No");
        CHECK(seen.buttons[1].result == IDNO);
        CHECK(seen.buttons[1].isDefault);
        CString text;
        UINT type = 0;
        KvMessageBoxHook previous = AfxSetMessageBoxHook([&](HWND, LPCSTR t, LPCSTR, UINT ty) {
            text = t;
            type = ty;
            return 3;
        });
        AeroMessageBox box(nullptr);
        box.m_iconKind = kBoxError;
        box.m_message = "Error saving file.";
        CHECK(box.DoModal() == 3);
        CHECK(text == "Error saving file.");
        CHECK((type & MB_ICONMASK) == MB_ICONERROR);
        AfxSetMessageBoxHook(previous);
    }
}

TEST_CASE("the real message box under Wine") {
    Resources resources;
    KvMessageBoxCapture errors;  // outer hook: would catch "Error n" of the box

    SUBCASE("a button's result id ends the box; a button with result 0 leaves it open") {
        AeroMessageBox box(nullptr);
        box.m_message = "Print the calibration page first?";
        box.AddButton("More Info..", 0, 1, "c:\\no such folder\\help.url");
        box.AddButton("Cancel", 7, 0, "");
        bool stayedOpen = false;
        const INT_PTR result = RunLive(box, [&](HWND window) {
            CHECK(IsWindowVisible(window));
            Click(window, IDC_MSGBOX_BUTTON1);
            stayedOpen = IsWindow(window) && IsWindowVisible(window) && box.ContinueModal();
            Click(window, 7);  // "Cancel": its result is its id
        });
        CHECK(stayedOpen);
        CHECK(result == 7);
    }
    SUBCASE("each button is found by its result id; keys through the box's loop: Escape, Enter") {
        const char* captions[] = {"Yes", "No", "Cancel"};
        const int results[] = {IDYES, IDNO, IDCANCEL};
        // Enter and Space press the default button, which has the focus: here "No", as in the
        // question before a template is deleted, where the first button's "Yes" deleted it.
        for (int pressed : {IDNO, -VK_ESCAPE, -VK_RETURN, -VK_SPACE}) {  // negative: a key
            CAPTURE(pressed);
            AeroMessageBox box(nullptr);
            for (int i = 0; i < 3; ++i) box.AddButton(captions[i], results[i], i == 1);
            CHECK(RunLive(box,
                          [&](HWND window) {
                              for (int i = 0; i < 3; ++i) {
                                  HWND button = GetDlgItem(window, results[i]);
                                  CHECK(IsWindowVisible(button));
                                  CHECK(TextOf(button) == captions[i]);
                              }
                              if (pressed > 0) {
                                  Click(window, pressed);
                                  return;
                              }
                              HWND focus = GetFocus();
                              CHECK(focus == GetDlgItem(window, IDNO));
                              PostMessage(focus, WM_KEYDOWN, -pressed, 0);
                              PostMessage(focus, WM_KEYUP, -pressed, 0xC0000001);
                              PumpDialogUntil(window, [&] { return !box.ContinueModal(); });
                          }) == (pressed > 0             ? pressed
                                 : pressed == -VK_ESCAPE ? IDCANCEL
                                                         : IDNO));
        }
    }
    SUBCASE("Escape gives 2, IDOK gives 1, the close box 2; a button never added does nothing") {
        AeroMessageBox box(nullptr), second(nullptr), third(nullptr);
        second.AddButton("OK", 4, 1, "");
        CHECK(RunLive(box, [](HWND window) { SendMessage(window, WM_COMMAND, IDCANCEL, 0); }) == IDCANCEL);
        CHECK(RunLive(second, [](HWND window) {
                  SendMessage(window, WM_COMMAND, MAKEWPARAM(IDC_MSGBOX_BUTTON2, BN_CLICKED), 0);
                  SendMessage(window, WM_COMMAND, IDOK, 0);
              }) == IDOK);
        // The close box ends the box through a posted Cancel command.
        CHECK(RunLive(third, [&](HWND window) {
                  SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                  kvtest::PumpUntil([&] { return !third.ContinueModal(); }, 5000);
              }) == IDCANCEL);
    }
    SUBCASE("the check box is shown only when asked for, and reports the state it was left in") {
        for (int clicks : {-1, 0, 3}) {  // -1: no check box asked for
            CAPTURE(clicks);
            AeroMessageBox box(nullptr);
            box.m_checkBox = clicks >= 0;
            box.AddButton("OK", 1, 1, "");
            bool shown = false;
            CHECK(RunLive(box, [&](HWND window) {
                      shown = IsWindowVisible(GetDlgItem(window, IDC_MSGBOX_CHECK)) != FALSE;
                      for (int i = 0; i < clicks; ++i) Click(window, IDC_MSGBOX_CHECK);
                      Click(window, IDOK);
                  }) == 1);
            CHECK(shown == (clicks >= 0));
            CHECK(box.m_checkBox == (clicks == 3));
        }
    }
    SUBCASE("the live layout: message beside the icon, buttons below, window fitted and centred") {
        CWnd owner;
        REQUIRE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr,
                               nullptr));
        AeroMessageBox box(&owner);
        box.m_iconKind = kBoxError;
        box.m_message = "Error saving file:\r\n\r\nC:\\Designs\\A rather long file name for a cover.kvl";
        box.m_noCaptionIcon = true;
        box.AddButton("Retry", 1, 1, "");
        box.AddButton("Cancel", 2, 0, "");
        RunLive(box, [&](HWND window) {
            const RECT icon = ChildRect(GetDlgItem(window, IDC_MSGBOX_ICON));
            const RECT text = ChildRect(GetDlgItem(window, IDC_MSGBOX_TEXT));
            const RECT b1 = ChildRect(GetDlgItem(window, 1));  // "Retry", by its result
            RECT client, w, o;
            GetClientRect(window, &client);
            CHECK(text.left == icon.left + icon.right);
            CHECK(text.top == icon.top);  // three lines: taller than the icon
            CHECK(b1.top == text.bottom + icon.top);
            CHECK(client.right == text.right + icon.left);
            CHECK(client.bottom == b1.bottom + icon.top);
            CHECK_FALSE(IsWindowVisible(GetDlgItem(window, IDC_MSGBOX_BUTTON3)));
            CHECK((GetWindowLong(GetDlgItem(window, 1), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0);
            CHECK(SendMessage(window, WM_GETICON, ICON_SMALL, 0) == 0);
            GetWindowRect(window, &w);
            GetWindowRect(owner.m_hWnd, &o);
            CHECK(abs((w.left + w.right) / 2 - (o.left + o.right) / 2) <= 1);
            CHECK(abs((w.top + w.bottom) / 2 - (o.top + o.bottom) / 2) <= 1);
        });
        owner.DestroyWindow();
    }
    SUBCASE("a message naming a file outside the code page is measured whole") {
        const std::wstring message = L"Save changes to \x0424\x043E\x043D\x0430\x0440\x0438.kvl?";
        AeroMessageBox box(nullptr);
        box.m_message = AfxNarrowOf(message.c_str());
        RunLive(box, [&](HWND window) {
            HWND label = GetDlgItem(window, IDC_MSGBOX_TEXT);
            HDC dc = GetDC(label);
            HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(label, WM_GETFONT, 0, 0)));
            SIZE extent = {};
            GetTextExtentPoint32W(dc, message.c_str(), static_cast<int>(message.size()), &extent);
            SelectObject(dc, font);
            ReleaseDC(label, dc);
            CHECK(ChildRect(label).right - ChildRect(label).left == extent.cx);
            SendMessage(window, WM_COMMAND, IDCANCEL, 0);
        });
    }
    SUBCASE("the icon of each kind; kind 5 shows none") {
        const MessageBoxKind kinds[] = {kBoxError, kBoxAppIcon, static_cast<MessageBoxKind>(5)};
        for (MessageBoxKind kind : kinds) {
            CAPTURE(kind);
            AeroMessageBox box(nullptr);
            box.m_iconKind = kind;
            HICON shown = nullptr;
            RunLive(box, [&](HWND window) {
                shown =
                    reinterpret_cast<HICON>(SendDlgItemMessage(window, IDC_MSGBOX_ICON, STM_GETICON, 0, 0));
            });
            if (kind == 1) CHECK(shown == LoadIcon(nullptr, IDI_HAND));
            if (kind == 4) CHECK(shown != nullptr);
            if (kind == 5) CHECK(shown == nullptr);
        }
    }
    SUBCASE("a failing driver does not leave the box open and its failure reaches the caller") {
        AeroMessageBox box(nullptr);
        box.m_message = "Throw.";
        box.AddButton("OK", 1, 1, "");
        bool thrown = false;
        try {
            RunLive(box, [](HWND) { throw std::runtime_error("driver"); });
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        CHECK(thrown);
        CHECK(box.m_hWnd == nullptr);
    }
    CHECK(errors.Boxes().empty());
}
