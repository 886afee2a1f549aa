// The plain message box and the failure convention of the application's
// operations: each operation catches every exception at its own boundary,
// shows "Error <n>" (or "Error <n> - Step: <s>") in the plain message box and
// returns (with a fallback value, for an operation with a result). This is the
// one catch-all of the program: worker threads and the disc lookup guard their
// operations the same way.
//
//   void View::OnInitialUpdate() {
//     GuardOperation(800, [&] { ... });
//   }
//
// Message-box hook: every message box of the program goes through one hook
// before it shows a window: the plain one (AfxPlainMessageBox, and through it
// AfxMessageBox) and the themed AeroMessageBox of the controls layer. When a
// hook is set it is called instead of showing a window and its answer is
// returned, so that tests see every box (its kind, text, buttons and check
// box) and answer it without blocking on a modal window.
#pragma once

#include <exception>
#include <functional>
#include <utility>
#include <vector>

#include "framework/core/Strings.h"
#include "framework/core/Exceptions.h"

// One button of a message box as the hook sees it.
struct KvMessageBoxButton {
    CString caption;
    int result = 0;  // what the box returns when it is pressed; 0: the button does not close the box
    bool isDefault = false;
    CString link;  // a target the button opens when pressed; "" for none
};

// Everything a message box is about to show, handed to the hook.
struct KvMessageBoxRequest {
    HWND owner = nullptr;
    CString text;
    CString caption;
    // MB_* flags: a plain box's own; for a themed box only the MB_ICON* flag of its kind (its
    // buttons are in `buttons`).
    UINT type = 0;
    bool themed = false;  // an AeroMessageBox
    // Themed box: 1 error, 2 warning, 3 information, 4 the application icon, anything else no icon.
    // Plain box: 1, 2 or 3 from its MB_ICON* flag, else 0.
    int iconKind = 0;
    // The buttons in the order shown. A plain box's come from its MB_* type with the system's
    // captions ("OK", "Cancel", "Yes", "No", ...) and results (IDOK, IDCANCEL, IDYES, ...).
    std::vector<KvMessageBoxButton> buttons;
    CString linkTarget;  // themed box: the link line's target and text ("" for none)
    CString linkText;
    bool glass = false;     // themed box: shown on glass while composition is on
    bool hasCheck = false;  // themed box: shows "Do not show this message again."
    bool checked = false;   // out: the check box's state the box reports when it has one

    // Themed box only: a hook that sets this runs the real window instead of answering. The
    // driver is called once, when the box is shown and its loop is idle, with the box's window;
    // it may click buttons, read the layout and so on. A box still open when the driver returns
    // is ended with -1, so that no test blocks. The hook's return value is then not used.
    std::function<void(HWND box)> runLive;

    // The result of the first button with this caption; -1 when there is none.
    int ResultOf(LPCSTR buttonCaption) const;
};

// The hook: returns what the box would (IDOK, IDYES, ... for a plain box; a button's result for
// a themed one).
typedef std::function<int(KvMessageBoxRequest& request)> KvMessageBoxHandler;
// The earlier form, which sees only (owner, text, caption, MB_* type).
typedef std::function<int(HWND hWndOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)> KvMessageBoxHook;

// Installs the hook (an empty one removes it); returns the previous one.
KvMessageBoxHandler AfxSetMessageBoxHandler(KvMessageBoxHandler handler);
// Installs a hook of the earlier form (it sees themed boxes too, by their text, caption and
// MB_ICON* type); returns the previous hook in that form.
KvMessageBoxHook AfxSetMessageBoxHook(KvMessageBoxHook hook);
// Hands a box to the hook: false when none is set; otherwise true with the hook's answer.
bool AfxCallMessageBoxHook(KvMessageBoxRequest& request, int* result);
// The buttons a plain box of this MB_* type shows.
std::vector<KvMessageBoxButton> AfxPlainMessageBoxButtons(UINT nType);

// The caption of plain message boxes; the window layer sets the application's
// name. Defaults to the program file's name without extension.
void AfxSetMessageBoxCaption(LPCSTR lpszCaption);
CString AfxGetMessageBoxCaption();

// Shows a plain system message box (MessageBoxA) with the given MB_* type, or
// passes it to the hook. A null caption takes AfxGetMessageBoxCaption().
int AfxPlainMessageBox(LPCSTR lpszText, UINT nType = MB_OK, LPCSTR lpszCaption = nullptr,
                       HWND hWndOwner = nullptr);

// "Error <number>" in the plain message box (error icon, OK button).
void ReportOperationError(int number);
// Before the box: the text of the exception that ended an operation goes to the debugger's output
// ("Error <number>: <text>"), so that a debugger sees why. The CException form deletes it.
void TraceOperationException(int number, CException* e);
void TraceOperationException(int number, const char* text);
// "Error <number> - Step: <step>".
void ReportOperationError(int number, int step);

// Runs fn and catches whatever it lets out (framework exception pointers are released), telling
// only the debugger's output. For work whose caller tells the user itself when it fails (a file
// that could not be saved, named with its path): a second box would only repeat the failure with
// less said. True when fn returned normally.
template <class Fn>
bool GuardOperationQuietly(int number, Fn&& fn) {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (CException* e) {
        TraceOperationException(number, e);
    } catch (const std::exception& e) {
        TraceOperationException(number, e.what());
    } catch (...) {
        TraceOperationException(number, "an exception of an unknown type");
    }
    return false;
}

// Runs fn; any exception it lets out (framework exception pointers are
// released) is reported as ReportOperationError(number). True when fn
// returned normally.
template <class Fn>
bool GuardOperation(int number, Fn&& fn) {
    if (GuardOperationQuietly(number, std::forward<Fn>(fn))) return true;
    ReportOperationError(number);
    return false;
}

// The same for an operation with a result: what fn returns, or `fallback` when an exception
// leaves fn (reported as "Error <number>").
//
//   bool CDiscTools::InitFrom(const CDiscTools& source) {
//     return GuardOperation(9105, false, [&]() -> bool { ...; return true; });
//   }
template <class T, class Fn>
T GuardOperation(int number, T fallback, Fn&& fn) {
    T result = std::move(fallback);
    GuardOperation(number, [&] { result = std::forward<Fn>(fn)(); });
    return result;
}

// As GuardOperation, but fn takes an int& step that it advances as it goes;
// a failure reports "Error <number> - Step: <step>".
template <class Fn>
bool GuardOperationSteps(int number, Fn&& fn) {
    int step = 0;
    try {
        std::forward<Fn>(fn)(step);
        return true;
    } catch (CException* e) {
        TraceOperationException(number, e);
    } catch (const std::exception& e) {
        TraceOperationException(number, e.what());
    } catch (...) {
        TraceOperationException(number, "an exception of an unknown type");
    }
    ReportOperationError(number, step);
    return false;
}

// For tests: captures every message box, plain and themed, while it lives,
// answering each, and restores the previous hook when it ends.
//
//   KvMessageBoxCapture boxes(IDNO);       // every box answered with IDNO (the default: IDOK)
//   boxes.m_answerCaption = "More Info.."; // ... or, where a button reads so, with its result
//   boxes.m_checkAnswer = true;            // a box with a check box reports it ticked
//   SaveModified();
//   CHECK(boxes.LastText() == "Save changes to Cover.kvl?");
//   CHECK(boxes.Boxes()[0].iconKind == 2);
class KvMessageBoxCapture {
public:
    struct Box {
        CString text;
        CString caption;
        UINT type;
        bool themed;
        int iconKind;
        std::vector<KvMessageBoxButton> buttons;
        bool hasCheck;
        CString linkTarget;
    };
    explicit KvMessageBoxCapture(int result = IDOK);
    ~KvMessageBoxCapture();
    KvMessageBoxCapture(const KvMessageBoxCapture&) = delete;
    KvMessageBoxCapture& operator=(const KvMessageBoxCapture&) = delete;

    const std::vector<Box>& Boxes() const { return m_boxes; }
    // The text of the last box, empty when none was shown.
    CString LastText() const { return m_boxes.empty() ? CString() : m_boxes.back().text; }
    void Clear() { m_boxes.clear(); }

    // The answer to every box, unless one of the two below decides.
    int m_result;
    // When not empty: boxes with a button of this caption are answered with its result.
    CString m_answerCaption;
    // When set: decides the answer of each box (after it was recorded).
    std::function<int(const KvMessageBoxRequest&)> m_answer;
    // The state a box with a check box reports for it.
    bool m_checkAnswer = false;

private:
    std::vector<Box> m_boxes;
    KvMessageBoxHandler m_previous;
};
