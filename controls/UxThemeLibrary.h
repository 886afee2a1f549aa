// The visual-styles library, loaded once for the whole process; its two functions give safe
// results on systems without it.
#pragma once

#include <windows.h>

class UxThemeLibrary {
public:
    UxThemeLibrary();
    ~UxThemeLibrary();
    UxThemeLibrary(const UxThemeLibrary&) = delete;
    UxThemeLibrary& operator=(const UxThemeLibrary&) = delete;

    // E_FAIL without the library or the function.
    HRESULT SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);
    // FALSE without the library or the function; the forced answer while one is set.
    BOOL IsAppThemed();
    // Forces IsAppThemed's answer (0 or 1), or follows the system again (-1): the plain look can
    // then be seen where the system cannot switch the visual styles off (Wine).
    void SetAppThemedOverride(int value) { m_themedOverride = value; }
    // The library's function of that name, or the fallback when the library or function is missing.
    FARPROC GetProc(LPCSTR name, FARPROC fallback);

    HMODULE Module() const { return m_module; }

private:
    HMODULE m_module = nullptr;
    int m_themedOverride = -1;
};

// The process-wide instance.
extern UxThemeLibrary g_uxTheme;
