// The plain message box and the failure convention of the application's
// operations: each operation catches every exception at its own boundary,
// shows "Error <n>" (or "Error <n> - Step: <s>") in the plain message box and
// returns.
//
//   void View::OnSomething() {
//     GuardOperation(279, [&] { ... });
//   }
//
// Message-box hook: every plain message box (and, in the window layer,
// AfxMessageBox) goes through AfxPlainMessageBox. When a hook is set, the
// hook is called instead of showing a window and its result is returned; tests
// use it to capture texts without blocking on a modal window.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "framework/core/cstring.h"
#include "framework/core/exceptions.h"

// Receives (owner, text, caption, MB_* type) and returns what the box would
// (IDOK, IDYES, ...).
typedef std::function<int(HWND hWndOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)>
    KvMessageBoxHook;

// Installs a hook (an empty one removes it); returns the previous hook.
KvMessageBoxHook AfxSetMessageBoxHook(KvMessageBoxHook hook);

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
// "Error <number> - Step: <step>".
void ReportOperationError(int number, int step);

// Runs fn; any exception it lets out (framework exception pointers are
// released) is reported as ReportOperationError(number). True when fn
// returned normally.
template <class Fn>
bool GuardOperation(int number, Fn&& fn) {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (CException* e) {
    if (e) e->Delete();
  } catch (...) {
  }
  ReportOperationError(number);
  return false;
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
    if (e) e->Delete();
  } catch (...) {
  }
  ReportOperationError(number, step);
  return false;
}

// For tests: captures every message box while it lives, answering each with
// `result`, and restores the previous hook when it ends.
class KvMessageBoxCapture {
 public:
  struct Box {
    CString text;
    CString caption;
    UINT type;
  };
  explicit KvMessageBoxCapture(int result = IDOK);
  ~KvMessageBoxCapture();
  KvMessageBoxCapture(const KvMessageBoxCapture&) = delete;
  KvMessageBoxCapture& operator=(const KvMessageBoxCapture&) = delete;

  const std::vector<Box>& Boxes() const { return m_boxes; }
  // The text of the last box, empty when none was shown.
  CString LastText() const { return m_boxes.empty() ? CString() : m_boxes.back().text; }
  void Clear() { m_boxes.clear(); }
  int m_result;

 private:
  std::vector<Box> m_boxes;
  KvMessageBoxHook m_previous;
};
