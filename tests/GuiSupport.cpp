#include "GuiSupport.h"

#include <objbase.h>

// GDI+ flat entry points (declared here so that no C++ wrapper headers are needed).
extern "C" {
typedef int GpStatus;
struct GdiplusStartupInputKv {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputKv* input, void* output);
GpStatus WINAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, INT format, BYTE* scan0,
                                          void** bitmap);
GpStatus WINAPI GdipSaveImageToFile(void* image, const WCHAR* filename, const CLSID* clsidEncoder,
                                    const void* encoderParams);
GpStatus WINAPI GdipDisposeImage(void* image);
}

namespace kvtest {

namespace {
const int kPixelFormat32bppRGB = 0x00022009;
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// A capture of a w x h 32-bit top-down bitmap that draw(hMem, hScreen) fills, read back without
// its alpha byte.
template <class DRAW>
Capture CaptureDrawn(int w, int h, DRAW draw) {
    Capture cap;
    if (w <= 0 || h <= 0) return cap;
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP hBmp = CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (hBmp != nullptr) {
        HGDIOBJ old = SelectObject(hMem, hBmp);
        draw(hMem, hScreen);
        GdiFlush();
        cap.width = w;
        cap.height = h;
        cap.pixels.resize((size_t)w * h);
        const unsigned* p = static_cast<const unsigned*>(bits);
        for (size_t i = 0; i < cap.pixels.size(); i++) cap.pixels[i] = p[i] & 0x00FFFFFF;
        SelectObject(hMem, old);
        DeleteObject(hBmp);
    }
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    return cap;
}

bool StartGdiplus() {
    static ULONG_PTR token = 0;
    static bool started = false;
    if (!started) {
        GdiplusStartupInputKv input = {1, nullptr, FALSE, FALSE};
        started = GdiplusStartup(&token, &input, nullptr) == 0;
    }
    return started;
}

// Under Wine what a window painted reaches the screen when its thread next
// waits for messages: wait so, without dispatching anything (a capture may be
// taken inside a message handler).
void LetPaintsReachTheScreen() {
    GdiFlush();
    for (int i = 0; i < 8; i++) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
        Sleep(10);
    }
}
}  // namespace

// Paints a window and then its visible children, bottom of the z-order first,
// each at its place relative to the captured window's top-left corner.
void PrintTree(HWND hWnd, HDC hdc, const POINT& captureOrigin) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return;
    // Each window paints into a bitmap of its own at (0, 0), as it would on the screen.
    HDC hOwn = CreateCompatibleDC(hdc);
    HBITMAP hBmp = CreateCompatibleBitmap(hdc, w, h);
    HGDIOBJ old = SelectObject(hOwn, hBmp);
    BitBlt(hOwn, 0, 0, w, h, hdc, rc.left - captureOrigin.x, rc.top - captureOrigin.y,
           SRCCOPY);  // what lies below
    PrintWindow(hWnd, hOwn, 0);
    BitBlt(hdc, rc.left - captureOrigin.x, rc.top - captureOrigin.y, w, h, hOwn, 0, 0, SRCCOPY);
    SelectObject(hOwn, old);
    DeleteObject(hBmp);
    DeleteDC(hOwn);
    std::vector<HWND> children;
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT))
        children.push_back(hChild);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (IsWindowVisible(*it)) PrintTree(*it, hdc, captureOrigin);
}

Capture CaptureRect(const RECT& rc) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    return CaptureDrawn(
        w, h, [&](HDC hMem, HDC hScreen) { BitBlt(hMem, 0, 0, w, h, hScreen, rc.left, rc.top, SRCCOPY); });
}

Capture CaptureWindow(HWND hWnd) {
    if (!IsWindow(hWnd)) return Capture();
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    return CaptureDrawn(w, h, [&](HDC hMem, HDC) {
        PatBlt(hMem, 0, 0, w, h, WHITENESS);
        POINT origin = {rc.left, rc.top};
        PrintTree(hWnd, hMem, origin);
    });
}

Capture CaptureWindowFromScreen(HWND hWnd) {
    if (!IsWindow(hWnd) || !IsWindowVisible(hWnd)) return Capture();
    RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    LetPaintsReachTheScreen();
    RECT rc;
    GetWindowRect(hWnd, &rc);
    return CaptureRect(rc);
}

Capture CaptureScreen() {
    LetPaintsReachTheScreen();
    RECT rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureRect(rc);
}

bool SavePng(const Capture& capture, const std::string& path) {
    if (capture.Empty() || !StartGdiplus()) return false;
    std::vector<unsigned> pixels(capture.pixels);
    void* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(capture.width, capture.height, capture.width * 4, kPixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != 0)
        return false;
    std::wstring wpath(path.begin(), path.end());
    bool ok = GdipSaveImageToFile(bitmap, wpath.c_str(), &kPngEncoder, nullptr) == 0;
    GdipDisposeImage(bitmap);
    return ok;
}

bool SaveWindowPng(HWND hWnd, const std::string& path) {
    return SavePng(CaptureWindow(hWnd), path);
}

bool SaveScreenPng(const std::string& path) {
    return SavePng(CaptureScreen(), path);
}

}  // namespace kvtest
