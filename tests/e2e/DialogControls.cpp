// The controls of the program's dialogs worked from outside (see DialogControls.h).
#include "DialogControls.h"

#include <iostream>

namespace e2e {

namespace {

const UINT kMessageTimeout = 20000;

LRESULT Send(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const bool sent =
        ::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_NORMAL, kMessageTimeout, &result) != 0;
    if (ok) *ok = sent;
    return static_cast<LRESULT>(result);
}

// The entries of a combo box or list box through its count and text messages, in UTF-16: the
// program's lists are Unicode windows, and the system hands their texts to another process as
// they are stored.
std::vector<std::string> Entries(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage) {
    std::vector<std::string> entries;
    if (control == nullptr) return entries;
    const LRESULT count = Send(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        ::SendMessageTimeoutW(control, lengthMessage, static_cast<WPARAM>(i), 0, SMTO_NORMAL, kMessageTimeout,
                              &length);
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&wide[0]),
                              SMTO_NORMAL, kMessageTimeout, &copied);
        wide.resize(copied <= length ? static_cast<size_t>(copied) : 0);
        std::string text;
        for (wchar_t c : wide) text += c < 0x80 ? static_cast<char>(c) : '?';
        entries.push_back(text);
    }
    return entries;
}

bool Choose(HWND dialog, int id, const std::string& text, const std::vector<std::string>& entries,
            UINT selectMessage, WORD notification) {
    HWND control = Control(dialog, id);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != text) continue;
        Send(control, selectMessage, i, 0);
        bool ok = false;
        Send(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(control), &ok);
        return ok;
    }
    std::cout << "no entry \"" << text << "\" in control " << id << "; it holds:";
    for (const std::string& entry : entries) std::cout << " \"" << entry << "\"";
    std::cout << std::endl;
    return false;
}

}  // namespace

HWND Control(HWND dialog, int id) {
    HWND direct = ::GetDlgItem(dialog, id);
    if (direct != nullptr) return direct;
    return FindDescendant(dialog, [id](HWND hWnd) { return ::GetDlgCtrlID(hWnd) == id; });
}

std::vector<std::string> ComboEntries(HWND combo) {
    return Entries(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string ComboSelection(HWND combo) {
    const LRESULT selected = Send(combo, CB_GETCURSEL, 0, 0);
    const std::vector<std::string> entries = ComboEntries(combo);
    return selected >= 0 && static_cast<size_t>(selected) < entries.size() ? entries[selected] : std::string();
}

bool ChooseComboEntry(HWND dialog, int id, const std::string& text) {
    return Choose(dialog, id, text, ComboEntries(Control(dialog, id)), CB_SETCURSEL, CBN_SELCHANGE);
}

std::vector<std::string> ListEntries(HWND list) {
    return Entries(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string ListSelection(HWND list) {
    const LRESULT selected = Send(list, LB_GETCURSEL, 0, 0);
    const std::vector<std::string> entries = ListEntries(list);
    return selected >= 0 && static_cast<size_t>(selected) < entries.size() ? entries[selected] : std::string();
}

bool ChooseListEntry(HWND dialog, int id, const std::string& text) {
    return Choose(dialog, id, text, ListEntries(Control(dialog, id)), LB_SETCURSEL, LBN_SELCHANGE);
}

bool SetEditText(HWND edit, const std::string& text) {
    bool ok = false;
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok);
    return ok && WindowText(edit) == text;
}

bool IsChecked(HWND button) {
    return button != nullptr && Send(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PressControl(const AppDriver& app, HWND dialog, int id) {
    HWND button = Control(dialog, id);
    if (button == nullptr || !::IsWindowVisible(button)) {
        std::cout << "no button " << id << " in\n" << DescribeWindows(dialog);
        return false;
    }
    app.Activate(dialog);
    return ::PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

bool TypeIntoEdit(const AppDriver& app, HWND edit, const std::string& text) {
    if (edit == nullptr) return false;
    if (!app.Activate(edit)) {
        std::cout << "cannot bring the window of edit " << ::GetDlgCtrlID(edit) << " to the front" << std::endl;
        return false;
    }
    RECT rc = {};
    ::GetClientRect(edit, &rc);
    // The pointer is over the edit before the button goes down: a click sent right after a move
    // may land where the pointer was.
    const POINT centre = {rc.right / 2, rc.bottom / 2};
    bool focused = app.PointAt(edit, centre, 3000);
    if (focused) {
        app.Click(edit, centre);
        focused = app.WaitForFocus(edit, 5000);
    }
    if (!focused) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(edit, nullptr), &info);
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        std::cout << "a click on edit " << ::GetDlgCtrlID(edit) << " left the focus on " << ClassName(info.hwndFocus)
                  << " " << ::GetDlgCtrlID(info.hwndFocus) << " (pointer at " << cursor.x << ", " << cursor.y << ")"
                  << std::endl;
    }
    if (!focused) return false;
    Send(edit, EM_SETSEL, 0, -1);
    app.Type(text);
    if (WaitFor([&] { return WindowText(edit) == text; }, 5000)) return true;
    std::cout << "typed \"" << text << "\" into edit " << ::GetDlgCtrlID(edit) << ", which shows \""
              << WindowText(edit) << "\"" << std::endl;
    return false;
}

bool IsEnabled(HWND control) {
    return control != nullptr && ::IsWindowEnabled(control);
}

bool AnswerFileDialog(const AppDriver& app, const std::string& caption, const std::string& path,
                      const std::string& button, DWORD ms) {
    HWND dialog = app.WaitForDialog(caption, ms);
    if (dialog == nullptr) {
        std::cout << "no file dialog \"" << caption << "\"" << std::endl;
        return false;
    }
    // The file name box: an edit of its own (edt1), or the edit inside a combo box (cmb13).
    HWND name = nullptr;
    WaitFor(
        [&] {
            name = Control(dialog, 0x480);
            if (name == nullptr) {
                HWND combo = Control(dialog, 0x47c);
                if (combo != nullptr)
                    name = FindDescendant(combo, [](HWND hWnd) { return ClassName(hWnd) == "Edit"; });
            }
            return name != nullptr && ::IsWindowVisible(name);
        },
        ms);
    if (name == nullptr || !SetEditText(name, path)) {
        std::cout << "no file name box in\n" << DescribeWindows(dialog);
        return false;
    }
    if (!app.PressButton(dialog, button)) return false;
    return WaitFor([&] { return !::IsWindow(dialog); }, ms);
}

}  // namespace e2e
