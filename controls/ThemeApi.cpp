#include "controls/ThemeApi.h"

#include "controls/UxThemeLibrary.h"
#include "framework/core/OperationError.h"

DwmApi g_dwmApi;
UxThemeApi* g_uxThemeApi = nullptr;

namespace {
const int kTmtTextGlowSize = 2425;
}  // namespace

HRESULT ThemeHresultFromLastError() {
    const DWORD error = GetLastError();
    if (static_cast<LONG>(error) <= 0) return static_cast<HRESULT>(error);
    return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

ThemeLibraryLoader::~ThemeLibraryLoader() {
    if (m_module) FreeLibrary(m_module);
    m_module = nullptr;
}

BOOL ThemeLibraryLoader::Load() {
    if (m_module) {
        SetLastError(ERROR_ALREADY_INITIALIZED);
        return FALSE;
    }
    m_module = LoadLibraryW(m_name);
    return m_module != nullptr;
}

FARPROC ThemeLibraryLoader::Find(LPCSTR function) const {
    return m_module ? GetProcAddress(m_module, function) : nullptr;
}

// Each wrapper: the missing-module answer, else the function looked up now, else the
// missing-function answer, else the call itself.
#define KV_THEME_CALL(fn, missingModule, missingFunction, ...)                             \
    do {                                                                                   \
        if (!m_module) {                                                                   \
            SetLastError(static_cast<DWORD>(kThemeLibraryMissing));                        \
            return missingModule;                                                          \
        }                                                                                  \
        auto proc = reinterpret_cast<decltype(&::fn)>(reinterpret_cast<void*>(Find(#fn))); \
        if (!proc) return missingFunction;                                                 \
        return proc(__VA_ARGS__);                                                          \
    } while (0)

BOOL DwmApi::DwmIsCompositionEnabled() {
    if (!m_module) {
        SetLastError(static_cast<DWORD>(kThemeLibraryMissing));
        return FALSE;
    }
    auto proc = reinterpret_cast<decltype(&::DwmIsCompositionEnabled)>(
        reinterpret_cast<void*>(Find("DwmIsCompositionEnabled")));
    if (!proc) return FALSE;
    BOOL enabled = FALSE;
    return SUCCEEDED(proc(&enabled)) && enabled;
}

HRESULT DwmApi::DwmExtendFrameIntoClientArea(HWND window, const MARGINS* margins) {
    KV_THEME_CALL(DwmExtendFrameIntoClientArea, kThemeLibraryMissing, ThemeHresultFromLastError(), window,
                  margins);
}

HTHEME UxThemeApi::OpenThemeData(HWND window, LPCWSTR classList) {
    KV_THEME_CALL(OpenThemeData, nullptr, nullptr, window, classList);
}

HRESULT UxThemeApi::CloseThemeData(HTHEME theme) {
    KV_THEME_CALL(CloseThemeData, kThemeLibraryMissing, ThemeHresultFromLastError(), theme);
}

HRESULT UxThemeApi::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                        const RECT* clip) {
    KV_THEME_CALL(DrawThemeBackground, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, dc, part,
                  state, rect, clip);
}

HRESULT UxThemeApi::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                  const RECT* bounds, RECT* content) {
    KV_THEME_CALL(GetThemeBackgroundContentRect, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, dc,
                  part, state, bounds, content);
}

HRESULT UxThemeApi::GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* colour) {
    KV_THEME_CALL(GetThemeColor, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, part, state,
                  property, colour);
}

HRESULT UxThemeApi::GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                     THEMESIZE kind, SIZE* size) {
    KV_THEME_CALL(GetThemePartSize, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, dc, part, state,
                  const_cast<RECT*>(rect), kind, size);
}

HRESULT UxThemeApi::GetThemeBitmap(HTHEME theme, int part, int state, int property, ULONG flags,
                                   HBITMAP* bitmap) {
    KV_THEME_CALL(GetThemeBitmap, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, part, state,
                  property, flags, bitmap);
}

HRESULT UxThemeApi::DrawThemeTextEx(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                    DWORD flags, RECT* rect, const DTTOPTS* options) {
    KV_THEME_CALL(DrawThemeTextEx, kThemeLibraryMissing, ThemeHresultFromLastError(), theme, dc, part, state,
                  text, length, flags, rect, options);
}

HRESULT UxThemeApi::BufferedPaintInit() {
    KV_THEME_CALL(BufferedPaintInit, kThemeLibraryMissing, ThemeHresultFromLastError(), );
}

HRESULT UxThemeApi::BufferedPaintUnInit() {
    KV_THEME_CALL(BufferedPaintUnInit, kThemeLibraryMissing, ThemeHresultFromLastError(), );
}

HPAINTBUFFER UxThemeApi::BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format,
                                            BP_PAINTPARAMS* params, HDC* paintDC) {
    KV_THEME_CALL(BeginBufferedPaint, nullptr, nullptr, target, rect, format, params, paintDC);
}

HRESULT UxThemeApi::EndBufferedPaint(HPAINTBUFFER buffer, BOOL update) {
    KV_THEME_CALL(EndBufferedPaint, kThemeLibraryMissing, ThemeHresultFromLastError(), buffer, update);
}

HRESULT UxThemeApi::BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha) {
    KV_THEME_CALL(BufferedPaintSetAlpha, kThemeLibraryMissing, ThemeHresultFromLastError(), buffer, rect,
                  alpha);
}

HRESULT UxThemeApi::BufferedPaintMakeOpaque(HPAINTBUFFER buffer, const RECT* rect) {
    return BufferedPaintSetAlpha(buffer, rect, 255);
}

BOOL UxThemeApi::GetTextGlowSize(int* glowSize, LPCWSTR classList) {
    if (!glowSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto open = reinterpret_cast<decltype(&::OpenThemeData)>(reinterpret_cast<void*>(Find("OpenThemeData")));
    if (!open) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    HTHEME theme = open(nullptr, classList ? classList : L"CompositedWindow::Window");
    if (!theme) return TRUE;
    auto getInt = reinterpret_cast<decltype(&::GetThemeInt)>(reinterpret_cast<void*>(Find("GetThemeInt")));
    if (getInt) getInt(theme, 0, 0, kTmtTextGlowSize, glowSize);
    CloseThemeData(theme);
    return TRUE;
}

#undef KV_THEME_CALL

UxThemeApi& UxTheme() {
    static UxThemeApi unloaded;
    return g_uxThemeApi ? *g_uxThemeApi : unloaded;
}

void InitThemeApis() {
    GuardOperation(2374, [] {
        if (!g_dwmApi.IsLoaded()) g_dwmApi.Load();
        if (!g_uxThemeApi) {
            g_uxThemeApi = new UxThemeApi;
            g_uxThemeApi->Load();
        }
    });
}

void ReleaseThemeApis() {
    delete g_uxThemeApi;  // the destructor frees the library
    g_uxThemeApi = nullptr;
}

BOOL IsGlassActive() {
    BOOL result = FALSE;
    if (!GuardOperation(2376,
                        [&] { result = g_dwmApi.DwmIsCompositionEnabled() && g_uxTheme.IsAppThemed(); }))
        return FALSE;
    return result;
}
