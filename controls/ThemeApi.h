// Run-time access to the visual-style and desktop-window-manager libraries. The program never
// links to "uxtheme.dll" or "dwmapi.dll": two loaders open them by name at start-up, and each
// function is looked up by name at every call. A missing library or function gives a fixed
// failure answer, so that the program draws without it.
#pragma once

#include <windows.h>
#include <uxtheme.h>
#include <dwmapi.h>

// A member below; the system header makes it a macro.
#ifdef BufferedPaintMakeOpaque
#undef BufferedPaintMakeOpaque
#endif

// The answer of every wrapper when its library is not loaded.
const HRESULT kThemeLibraryMissing = static_cast<HRESULT>(0x80040007);

// The last error as an HRESULT: itself when 0 or negative, else 0x80070000 | its low word.
HRESULT ThemeHresultFromLastError();

// One library loaded by name.
class ThemeLibraryLoader {
public:
    ThemeLibraryLoader(const ThemeLibraryLoader&) = delete;
    ThemeLibraryLoader& operator=(const ThemeLibraryLoader&) = delete;
    ~ThemeLibraryLoader();

    BOOL IsLoaded() const { return m_module != nullptr; }
    // FALSE with last error ERROR_ALREADY_INITIALIZED when already loaded (the library stays);
    // else whether the library could be loaded.
    BOOL Load();
    HMODULE Module() const { return m_module; }

protected:
    explicit ThemeLibraryLoader(LPCWSTR name) : m_name(name) {}
    // The function's address, or null (the module missing or the function missing).
    FARPROC Find(LPCSTR function) const;

    HMODULE m_module = nullptr;

private:
    LPCWSTR m_name;
};

class DwmApi : public ThemeLibraryLoader {
public:
    DwmApi() : ThemeLibraryLoader(L"dwmapi.dll") {}
    // TRUE only when the call succeeds and reports composition enabled.
    BOOL DwmIsCompositionEnabled();
    HRESULT DwmExtendFrameIntoClientArea(HWND window, const MARGINS* margins);
};

class UxThemeApi : public ThemeLibraryLoader {
public:
    UxThemeApi() : ThemeLibraryLoader(L"uxtheme.dll") {}
    HTHEME OpenThemeData(HWND window, LPCWSTR classList);
    HRESULT CloseThemeData(HTHEME theme);
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                const RECT* clip);
    HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                          RECT* content);
    HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* colour);
    HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind,
                             SIZE* size);
    HRESULT GetThemeBitmap(HTHEME theme, int part, int state, int property, ULONG flags, HBITMAP* bitmap);
    HRESULT DrawThemeTextEx(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                            RECT* rect, const DTTOPTS* options);
    HRESULT BufferedPaintInit();
    HRESULT BufferedPaintUnInit();
    HPAINTBUFFER BeginBufferedPaint(HDC target, const RECT* rect, BP_BUFFERFORMAT format,
                                    BP_PAINTPARAMS* params, HDC* paintDC);
    HRESULT EndBufferedPaint(HPAINTBUFFER buffer, BOOL update);
    HRESULT BufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* rect, BYTE alpha);
    HRESULT BufferedPaintMakeOpaque(HPAINTBUFFER buffer, const RECT* rect);
    // The text-glow size of the class list (of "CompositedWindow::Window" when null) into *glowSize.
    // FALSE with last error 2 without the library or OpenThemeData, 87 for a null out pointer.
    BOOL GetTextGlowSize(int* glowSize, LPCWSTR classList = nullptr);
};

// The process-wide loaders: the window-manager one lives for the whole run; the theme one exists
// between InitThemeApis and ReleaseThemeApis (null otherwise).
extern DwmApi g_dwmApi;
extern UxThemeApi* g_uxThemeApi;

// The theme loader to call through: the live one, or an unloaded one whose wrappers give the
// answers for a missing library.
UxThemeApi& UxTheme();

// Loads both libraries (each only once). "Error 2374" when an exception passes.
void InitThemeApis();
// Frees the theme library and its loader.
void ReleaseThemeApis();
// Composition is on and the application is themed. "Error 2376" (FALSE) when an exception passes.
BOOL IsGlassActive();
