#include "framework/core/operation_error.h"

#include <cstdio>

namespace {

KvMessageBoxHook& Hook() {
  static KvMessageBoxHook hook;
  return hook;
}

CString& Caption() {
  static CString caption;
  return caption;
}

}  // namespace

KvMessageBoxHook AfxSetMessageBoxHook(KvMessageBoxHook hook) {
  KvMessageBoxHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

void AfxSetMessageBoxCaption(LPCSTR lpszCaption) { Caption() = lpszCaption; }

CString AfxGetMessageBoxCaption() {
  if (!Caption().IsEmpty()) return Caption();
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return CString();
  CString name(path);
  int slash = name.ReverseFind('\\');
  name = name.Mid(slash + 1);
  int dot = name.ReverseFind('.');
  if (dot > 0) name = name.Left(dot);
  return name;
}

int AfxPlainMessageBox(LPCSTR lpszText, UINT nType, LPCSTR lpszCaption, HWND hWndOwner) {
  CString caption = lpszCaption ? CString(lpszCaption) : AfxGetMessageBoxCaption();
  LPCSTR text = lpszText ? lpszText : "";
  if (Hook()) {
    // Copy, so that a hook may replace itself while it runs.
    KvMessageBoxHook hook = Hook();
    return hook(hWndOwner, text, caption, nType);
  }
  return ::MessageBoxA(hWndOwner, text, caption, nType);
}

void ReportOperationError(int number) {
  CString text;
  text.Format("Error %d", number);
  AfxPlainMessageBox(text, MB_OK | MB_ICONERROR);
}

void ReportOperationError(int number, int step) {
  CString text;
  text.Format("Error %d - Step: %d", number, step);
  AfxPlainMessageBox(text, MB_OK | MB_ICONERROR);
}

KvMessageBoxCapture::KvMessageBoxCapture(int result) : m_result(result) {
  m_previous = AfxSetMessageBoxHook([this](HWND, LPCSTR text, LPCSTR caption, UINT type) {
    m_boxes.push_back(Box{CString(text), CString(caption), type});
    return m_result;
  });
}

KvMessageBoxCapture::~KvMessageBoxCapture() { AfxSetMessageBoxHook(std::move(m_previous)); }
