#include "controls/ThemeResources.h"

#include <shellapi.h>

#include <cmath>
#include <cstring>

#include "framework/graphics/GdipFont.h"
#include "controls/ThemeApi.h"
#include "framework/Core.h"
#include "framework/Win.h"

using namespace Gdiplus;

HCURSOR g_handCursor = nullptr;
int g_glowMargin = 12;
HICON g_appIconLarge = nullptr;
HICON g_appIconSmall = nullptr;
HICON g_appIcon16 = nullptr;
HBRUSH g_backgroundBrush = nullptr;
Bitmap* g_themeImage = nullptr;
Bitmap* g_sizeGripImage = nullptr;
HIMAGELIST g_menuImageList = nullptr;
HIMAGELIST g_toolImageList = nullptr;
CString g_uiFaceName = "Arial";
double g_uiFontSize = 8.5;
double g_uiFontScale = 1.0;
HFONT g_uiFont = nullptr;
HFONT g_uiBoldFont = nullptr;
HFONT g_uiScaledFont = nullptr;
HFONT g_uiBold8Font = nullptr;
HFONT g_arialBoldFont = nullptr;
Font* g_gdipBoldFont = nullptr;

namespace {

// The owners of the GDI handles the globals above publish: each global is a view of one of
// these, set and cleared with it.
ScopedMemoryDC s_backgroundOwner1;  // g_backgroundDC1 with its bitmap
ScopedMemoryDC s_backgroundOwner2;  // g_backgroundDC2 with its bitmap
ScopedBrush s_backgroundBrushOwner;
ScopedFont s_uiFontOwner, s_uiBoldFontOwner, s_uiScaledFontOwner, s_uiBold8FontOwner, s_arialBoldFontOwner;

// Puts `handle` in its owner (deleting the one held before) and publishes it in the global.
template <class Handle>
void Publish(ScopedGdiObject<Handle>& owner, Handle& global, Handle handle) {
    owner.Reset(handle);
    global = handle;
}

void DestroyIconHandle(HICON& icon) {
    if (icon) ::DestroyIcon(icon);
    icon = nullptr;
}

void DeleteBackgroundDC(HDC& global, ScopedMemoryDC& owner) {
    owner.Reset();
    global = nullptr;
}

// A memory DC holding the bitmap resource as a DIB section at its own size.
void MakeBackgroundDC(int id, HDC& global, ScopedMemoryDC& owner) {
    DeleteBackgroundDC(global, owner);
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return;
    ScopedMemoryDC dc(nullptr);
    if (!dc.Select(bitmap, true)) return;  // no DC: the bitmap is deleted
    ::SetStretchBltMode(dc, COLORONCOLOR);
    owner = std::move(dc);
    global = owner.Get();
}

HIMAGELIST MakeImageList(int size, int initial, int bitmapId) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, initial, 0);
    if (!list) return nullptr;
    HBITMAP strip = static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    if (strip) {
        ScopedBitmap owned(strip);
        ImageList_AddMasked(list, strip, RGB(255, 0, 255));
    }
    return list;
}

Bitmap* BitmapFromResource(int id) {
    Bitmap* bitmap =
        Bitmap::FromResource(AfxGetResourceHandle(), reinterpret_cast<const WCHAR*>(MAKEINTRESOURCEW(id)));
    if (bitmap && bitmap->GetLastStatus() != Ok) {
        delete bitmap;
        bitmap = nullptr;
    }
    return bitmap;
}

int CALLBACK StopAtFirstFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFamilyInstalled(HDC dc, const char* face) {
    LOGFONTA query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExA(dc, &query, StopAtFirstFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

HFONT MakeUiFont(HDC dc, const char* face, double points, LONG weight) {
    LOGFONTA lf = {};
    lf.lfHeight = PointsToHeight(points, dc);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectA(&lf);
}

void DeleteFonts() {
    Publish(s_uiFontOwner, g_uiFont, HFONT());
    Publish(s_uiBoldFontOwner, g_uiBoldFont, HFONT());
    Publish(s_uiScaledFontOwner, g_uiScaledFont, HFONT());
    Publish(s_uiBold8FontOwner, g_uiBold8Font, HFONT());
    Publish(s_arialBoldFontOwner, g_arialBoldFont, HFONT());
    delete g_gdipBoldFont;
    g_gdipBoldFont = nullptr;
}

// Windows 2000 (5.0) keeps 8-bit icons; every other system takes the 32-bit ones.
int WantedIconDepth() {
    OSVERSIONINFOA info = {};
    const bool ok = ReadSystemVersion(&info);
    return (ok && info.dwMajorVersion == 5 && info.dwMinorVersion == 0) ? 8 : 32;
}

#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

}  // namespace

int PointsToHeight(double points, HDC dc) {
    int height = 0;
    GuardOperation(2364, [&] {
        int dpi = 96;
        if (dc) {
            dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
        } else {
            ScopedMemoryDC measure(nullptr);
            if (measure.Get()) dpi = ::GetDeviceCaps(measure, LOGPIXELSY);
        }
        height = static_cast<int>(std::floor(0.5 - points * dpi / 72.0));
    });
    return height;
}

void ScaleUiFontForDpi(int dpi) {
    g_uiFontSize = 8.5;
    if (dpi == 96 || dpi <= 0) {
        g_uiFontScale = 1.0;
    } else {
        g_uiFontScale = 96.0 / dpi;
        g_uiFontSize *= g_uiFontScale;
    }
}

void InitThemeFonts() {
    GuardOperation(1139, [] {
        DeleteFonts();
        ScopedWindowDC screen(nullptr);
        g_uiFaceName = FontFamilyInstalled(screen, "Microsoft Sans Serif") ? "Tahoma" : "Arial";
        g_uiFontSize = 8.5;
        Publish(s_uiFontOwner, g_uiFont, MakeUiFont(screen, g_uiFaceName, 8.5, FW_DONTCARE));
        Publish(s_uiBoldFontOwner, g_uiBoldFont, MakeUiFont(screen, g_uiFaceName, 8.5, FW_BOLD));

        LOGFONTA record = {};
        record.lfHeight = 85;
        record.lfWeight = FW_BOLD;
        std::strncpy(record.lfFaceName, g_uiFaceName, LF_FACESIZE - 1);
        CreateGdipFont(&g_gdipBoldFont, &record, 1.0, 1.0);

        CDC display;
        display.Attach(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
        const int dpi = display.GetSafeHdc() ? ::GetDeviceCaps(display.GetSafeHdc(), LOGPIXELSY) : 96;
        ScaleUiFontForDpi(dpi);

        Publish(s_uiScaledFontOwner, g_uiScaledFont,
                MakeUiFont(screen, g_uiFaceName, g_uiFontSize, FW_NORMAL));
        Publish(s_arialBoldFontOwner, g_arialBoldFont, MakeUiFont(screen, "Arial", 8.0, FW_BOLD));
        Publish(s_uiBold8FontOwner, g_uiBold8Font, MakeUiFont(screen, g_uiFaceName, 8.0, FW_BOLD));
    });
}

HICON LoadIconOfSize(LPCSTR name, int width, int height) {
    HICON icon = nullptr;
    GuardOperation(2361, [&] {
        HMODULE module = AfxGetResourceHandle();
        HRSRC groupInfo = ::FindResourceA(module, name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
        if (!groupInfo) return;
        const DWORD groupSize = ::SizeofResource(module, groupInfo);
        HGLOBAL groupData = ::LoadResource(module, groupInfo);
        const BYTE* group = groupData ? static_cast<const BYTE*>(::LockResource(groupData)) : nullptr;
        if (!group || groupSize < sizeof(IconGroupHeader)) return;
        const IconGroupHeader* header = reinterpret_cast<const IconGroupHeader*>(group);
        // Never read past the resource, whatever its count says.
        const DWORD room = (groupSize - sizeof(IconGroupHeader)) / sizeof(IconGroupEntry);
        const DWORD count = header->count < room ? header->count : room;
        if (count == 0) return;
        const IconGroupEntry* entries =
            reinterpret_cast<const IconGroupEntry*>(group + sizeof(IconGroupHeader));

        const int depth = WantedIconDepth();
        const IconGroupEntry* chosen = nullptr;
        bool exact = false;
        int bound = 256;
        for (DWORD i = 0; i < count; ++i) {
            const IconGroupEntry& e = entries[i];
            const int w = e.width ? e.width : 256;
            const int h = e.height ? e.height : 256;
            if (e.bitCount != depth) continue;
            if (w == width && h == height) {
                chosen = &e;
                exact = true;
                break;
            }
            if (w > width && w < bound) {
                bound = w;
                chosen = &e;
            }
        }
        if (!chosen) return;
        HRSRC imageInfo =
            ::FindResourceA(module, MAKEINTRESOURCEA(chosen->id), MAKEINTRESOURCEA(3) /* RT_ICON */);
        if (!imageInfo) return;
        HGLOBAL imageData = ::LoadResource(module, imageInfo);
        BYTE* bits = imageData ? static_cast<BYTE*>(::LockResource(imageData)) : nullptr;
        if (!bits) return;
        const int size = exact ? width : (chosen->width ? chosen->width : 256);
        icon = ::CreateIconFromResourceEx(bits, ::SizeofResource(module, imageInfo), TRUE, 0x30000,
                                          exact ? width : size, exact ? height : size, 0);
    });
    return icon;
}

Bitmap* LoadImageFromResource(int id) {
    Bitmap* result = nullptr;
    GuardOperation(2372, [&] {
        HMODULE module = AfxGetResourceHandle();
        HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
        if (!info) return;
        const DWORD size = ::SizeofResource(module, info);
        HGLOBAL data = ::LoadResource(module, info);
        const void* bytes = data ? ::LockResource(data) : nullptr;
        if (!bytes || size == 0) return;
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
        if (!copy) return;
        void* target = ::GlobalLock(copy);
        if (!target) {
            ::GlobalFree(copy);
            return;
        }
        std::memcpy(target, bytes, size);
        ::GlobalUnlock(copy);
        IStream* stream = nullptr;
        if (FAILED(::CreateStreamOnHGlobal(copy, FALSE, &stream)) || !stream) {
            ::GlobalFree(copy);
            return;
        }
        Bitmap* decoded = Bitmap::FromStream(stream);
        if (decoded && decoded->GetLastStatus() == Ok) {
            // A copy that owns its pixels, so that the stream and memory can go now.
            Bitmap* owned =
                decoded->Clone(0, 0, decoded->GetWidth(), decoded->GetHeight(), PixelFormat32bppARGB);
            if (owned && owned->GetLastStatus() == Ok)
                result = owned;
            else
                delete owned;
        }
        delete decoded;
        stream->Release();
        ::GlobalFree(copy);
    });
    return result;
}

void DrawCenteredThemeImage(HDC dc, RECT rect) {
    if (!dc || !g_themeImage) return;
    const int w = static_cast<int>(g_themeImage->GetWidth());
    const int h = static_cast<int>(g_themeImage->GetHeight());
    const int left = rect.left + (rect.right - rect.left) / 2 - w / 2;
    const int top = rect.top + (rect.bottom - rect.top) / 2 - h / 2;
    Graphics g(dc);
    g.DrawImage(g_themeImage, left, top, w, h);
}

void DrawThinFrame(Graphics* g, int left, int top, int right, int bottom, bool raised) {
    if (!g) return;
    auto line = [g](int colourIndex, int x1, int y1, int x2, int y2) {
        const COLORREF c = ::GetSysColor(colourIndex);
        Pen pen(Color(255, GetRValue(c), GetGValue(c), GetBValue(c)), 1.0f);
        g->DrawLine(&pen, x1, y1, x2, y2);
    };
    const int topLeft = raised ? COLOR_3DLIGHT : COLOR_BTNSHADOW;
    const int bottomRight = raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
    line(topLeft, left, top, right - 2, top);
    line(topLeft, left, top, left, bottom - 2);
    line(bottomRight, right - 1, bottom - 1, right - 1, top);
    line(bottomRight, right - 1, bottom - 1, left, bottom - 1);
}

void InitThemeResources(int backgroundBitmap1, int backgroundBitmap2, int themePng, int menuBitmap,
                        int toolBitmap, int appIcon, int sizeGripPng) {
    GuardOperation(2359, [&] {
        InitThemeApis();

        GuardOperation(2360, [&] {
            DestroyIconHandle(g_appIconLarge);
            DestroyIconHandle(g_appIconSmall);
            DestroyIconHandle(g_appIcon16);
            const int large = ::GetSystemMetrics(SM_CXICON), small = ::GetSystemMetrics(SM_CXSMICON);
            g_appIconLarge = LoadIconOfSize(MAKEINTRESOURCEA(appIcon), large, large);
            g_appIconSmall = LoadIconOfSize(MAKEINTRESOURCEA(appIcon), small, small);
            g_appIcon16 = LoadIconOfSize(MAKEINTRESOURCEA(appIcon), 16, 16);
        });

        GuardOperation(2362, [] {
            int glow = 0;
            UxTheme().GetTextGlowSize(&glow);
            g_glowMargin = glow != 0 ? glow : 12;
        });

        g_handCursor = ::LoadCursor(nullptr, IDC_HAND);

        Bitmap* texture1 = BitmapFromResource(backgroundBitmap1);
        Bitmap* texture2 = BitmapFromResource(backgroundBitmap2);
        delete g_textureBrush1;
        delete g_textureBrush2;
        g_textureBrush1 = texture1 ? new TextureBrush(texture1, WrapModeTile) : nullptr;
        g_textureBrush2 = texture2 ? new TextureBrush(texture2, WrapModeTile) : nullptr;
        Publish(s_backgroundBrushOwner, g_backgroundBrush, HBRUSH());
        if (texture1) {
            HBITMAP pattern = nullptr;
            if (texture1->GetHBITMAP(Color(0xFF000000), &pattern) == Ok && pattern) {
                ScopedBitmap owned(pattern);
                // The brush keeps its own copy of the pattern.
                Publish(s_backgroundBrushOwner, g_backgroundBrush, ::CreatePatternBrush(pattern));
            }
        }

        if (g_menuImageList) ImageList_Destroy(g_menuImageList);
        if (g_toolImageList) ImageList_Destroy(g_toolImageList);
        g_menuImageList = MakeImageList(16, 26, menuBitmap);
        g_toolImageList = MakeImageList(19, 44, toolBitmap);

        MakeBackgroundDC(backgroundBitmap1, g_backgroundDC1, s_backgroundOwner1);
        MakeBackgroundDC(backgroundBitmap2, g_backgroundDC2, s_backgroundOwner2);

        delete g_themeImage;
        delete g_sizeGripImage;
        g_themeImage = LoadImageFromResource(themePng);
        g_sizeGripImage = LoadImageFromResource(sizeGripPng);

        InitThemeFonts();

        delete texture1;
        delete texture2;
    });
}

void ReleaseThemeResources() {
    GuardOperation(2366, [] {
        DeleteBackgroundDC(g_backgroundDC1, s_backgroundOwner1);
        DeleteBackgroundDC(g_backgroundDC2, s_backgroundOwner2);
        DeleteFonts();
        Publish(s_backgroundBrushOwner, g_backgroundBrush, HBRUSH());
        DestroyIconHandle(g_appIconLarge);
        DestroyIconHandle(g_appIconSmall);
        DestroyIconHandle(g_appIcon16);
        delete g_themeImage;
        g_themeImage = nullptr;
        // Everything made at start-up goes, GDI+ objects before GDI+ itself is shut down.
        delete g_sizeGripImage;
        g_sizeGripImage = nullptr;
        delete g_textureBrush1;
        g_textureBrush1 = nullptr;
        delete g_textureBrush2;
        g_textureBrush2 = nullptr;
        if (g_menuImageList) ImageList_Destroy(g_menuImageList);
        if (g_toolImageList) ImageList_Destroy(g_toolImageList);
        g_menuImageList = nullptr;
        g_toolImageList = nullptr;
        g_handCursor = nullptr;  // a shared system cursor: nothing to free
        ReleaseThemeApis();
    });
}

void FillGlassTint(HDC dc, const RECT& rect) {
    Graphics g(dc);
    g.SetCompositingMode(CompositingModeSourceCopy);
    SolidBrush tint{Color(g_glassTintColor)};
    g.FillRectangle(&tint, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                    static_cast<INT>(rect.right - rect.left), static_cast<INT>(rect.bottom - rect.top));
}

void OpenLinkTarget(HWND owner, LPCSTR target) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "open";
    info.lpFile = target;
    info.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExA(&info);
}

bool ReadSystemVersion(OSVERSIONINFOA* info) {
    *info = OSVERSIONINFOA{};
    info->dwOSVersionInfoSize = sizeof(*info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(info) != 0;
#pragma GCC diagnostic pop
}
