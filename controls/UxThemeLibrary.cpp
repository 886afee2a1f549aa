#include "controls/UxThemeLibrary.h"

#include "framework/core/Types.h"

UxThemeLibrary g_uxTheme;

namespace {
HRESULT WINAPI NoSetWindowTheme(HWND, LPCWSTR, LPCWSTR) {
    return E_FAIL;
}
BOOL WINAPI NoIsAppThemed() {
    return FALSE;
}
}  // namespace

UxThemeLibrary::UxThemeLibrary() : m_module(LoadLibraryA("UxTheme.dll")) {}

UxThemeLibrary::~UxThemeLibrary() {
    if (m_module) FreeLibrary(m_module);
    m_module = nullptr;
}

FARPROC UxThemeLibrary::GetProc(LPCSTR name, FARPROC fallback) {
    if (!m_module) return fallback;
    FARPROC proc = GetProcAddress(m_module, name);
    return proc ? proc : fallback;
}

HRESULT UxThemeLibrary::SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList) {
    typedef HRESULT(WINAPI * Fn)(HWND, LPCWSTR, LPCWSTR);
    Fn fn = AfxFunctionCast<Fn>(GetProc("SetWindowTheme", AfxFunctionCast<FARPROC>(&NoSetWindowTheme)));
    return fn(window, subAppName, subIdList);
}

BOOL UxThemeLibrary::IsAppThemed() {
    if (m_themedOverride >= 0) return m_themedOverride != 0;
    typedef BOOL(WINAPI * Fn)();
    Fn fn = reinterpret_cast<Fn>(GetProc("IsAppThemed", reinterpret_cast<FARPROC>(&NoIsAppThemed)));
    return fn();
}
