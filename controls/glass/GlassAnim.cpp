// Animation controls on glass: the engine plays the AVI clip itself, drawing each frame with DrawDib
// into a memory bitmap and copying it opaque through a buffered paint. A player thread only waits on
// its stop event and posts the redraw message once per frame time. A clip given as a resource is
// written to a temporary file (prefix "aer") for as long as its stream is open.
#include "controls/glass/GlassInternal.h"

#include <vfw.h>

#include <map>

#include "controls/ThemeApi.h"
#include "framework/win/ScopedGdi.h"
#include "controls/glass/GlassDraw.h"

namespace {

// Redraw message codes.
const WPARAM kStopPlayer = 2;
const WPARAM kNextFrame = 4;
const WPARAM kNextFrameAgain = 8;
const WPARAM kCloseStream = 16;

// The shortest time per frame the player waits; a clip that names none would otherwise flood the
// message queue.
const DWORD kMinimumFrameTime = 10;

struct AnimRecord {
    HWND window = nullptr;
    UINT redrawMessage = 0;
    PAVISTREAM stream = nullptr;
    PGETFRAME frames = nullptr;
    LONG frameCount = 0;
    DWORD frameTime = 0;
    AVISTREAMINFOW info = {};
    COLORREF transparent = 0;
    ScopedMemoryDC memory;  // the current frame, drawn by DrawDib, in a bitmap of the clip's size
    int width = 0, height = 0;
    HANDLE stopEvent = nullptr;
    HANDLE thread = nullptr;
    int from = 0, to = 0, repeat = 0, current = 0;
    char tempFile[MAX_PATH] = {};
    HDRAWDIB drawDib = nullptr;
};

// Records of the animation controls under the engine (user-interface thread only).
std::map<HWND, AnimRecord*>& Records() {
    static std::map<HWND, AnimRecord*> records;
    return records;
}

AnimRecord* FindRecord(HWND window) {
    auto it = Records().find(window);
    return it == Records().end() ? nullptr : it->second;
}

DWORD WINAPI PlayerThread(LPVOID parameter) {
    auto* record = static_cast<AnimRecord*>(parameter);
    while (WaitForSingleObject(record->stopEvent, record->frameTime) == WAIT_TIMEOUT)
        PostMessageA(record->window, record->redrawMessage, kNextFrame, 0);
    return 0;
}

void StopPlayer(AnimRecord* record) {
    if (!record->thread) return;
    SetEvent(record->stopEvent);
    WaitForSingleObject(record->thread, INFINITE);
    CloseHandle(record->thread);
    CloseHandle(record->stopEvent);
    record->thread = nullptr;
    record->stopEvent = nullptr;
}

void DeleteTempFile(AnimRecord* record) {
    if (!record->tempFile[0]) return;
    DeleteFileA(record->tempFile);
    record->tempFile[0] = 0;
}

void CloseStream(AnimRecord* record) {
    if (record->frames) AVIStreamGetFrameClose(record->frames);
    if (record->stream) AVIStreamRelease(record->stream);
    record->frames = nullptr;
    record->stream = nullptr;
    record->frameCount = 0;
    record->memory.Reset();
    DeleteTempFile(record);
}

// Writes the "AVI" resource to a new temporary file; false (no file left) when any step fails.
bool WriteResourceToTempFile(AnimRecord* record, HMODULE module, LPCSTR id) {
    HRSRC resource = FindResourceA(module, id, "AVI");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (!bytes || !size) return false;
    char folder[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "aer", 0, record->tempFile)) {
        record->tempFile[0] = 0;
        return false;
    }
    HANDLE file =
        CreateFileA(record->tempFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteTempFile(record);
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!ok) DeleteTempFile(record);
    return ok;
}

const BYTE* FrameBits(const BITMAPINFOHEADER* header) {
    DWORD colours = header->biClrUsed;
    if (!colours && header->biBitCount <= 8) colours = 1u << header->biBitCount;
    DWORD masks = header->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    return reinterpret_cast<const BYTE*>(header) + header->biSize + masks + colours * sizeof(RGBQUAD);
}

bool OpenStream(AnimRecord* record, HWND window, WPARAM wParam, LPARAM lParam, bool wide) {
    HRESULT hr;
    if (static_cast<ULONG_PTR>(lParam) > 0xFFFF) {
        if (wide)
            hr = AVIStreamOpenFromFileW(&record->stream, reinterpret_cast<LPCWSTR>(lParam), streamtypeVIDEO,
                                        0, OF_READ | OF_SHARE_DENY_WRITE, nullptr);
        else
            hr = AVIStreamOpenFromFileA(&record->stream, reinterpret_cast<LPCSTR>(lParam), streamtypeVIDEO, 0,
                                        OF_READ | OF_SHARE_DENY_WRITE, nullptr);
    } else {
        HMODULE module = reinterpret_cast<HMODULE>(wParam);
        if (!WriteResourceToTempFile(record, module, MAKEINTRESOURCEA(lParam))) return false;
        hr = AVIStreamOpenFromFileA(&record->stream, record->tempFile, streamtypeVIDEO, 0,
                                    OF_READ | OF_SHARE_DENY_WRITE, nullptr);
    }
    if (FAILED(hr) || !record->stream) {
        record->stream = nullptr;
        return false;
    }
    record->frames = AVIStreamGetFrameOpen(record->stream, nullptr);
    record->frameCount = AVIStreamLength(record->stream);
    if (!record->frames || record->frameCount <= 0) return false;
    const LONG lastTime = AVIStreamSampleToTime(record->stream, record->frameCount);
    record->frameTime = lastTime > 0 ? static_cast<DWORD>(lastTime / record->frameCount) : 0;
    if (record->frameTime < kMinimumFrameTime) record->frameTime = kMinimumFrameTime;
    AVIStreamInfoW(record->stream, &record->info, sizeof(record->info));

    const auto* first = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(record->frames, 0));
    if (!first) return false;
    record->width = first->biWidth;
    record->height = first->biHeight < 0 ? -first->biHeight : first->biHeight;
    if (first->biBitCount <= 8) {
        const auto* palette =
            reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(first) + first->biSize);
        const BYTE index = *FrameBits(first);
        record->transparent = RGB(palette[index].rgbRed, palette[index].rgbGreen, palette[index].rgbBlue);
    }
    ScopedWindowDC screen(window);
    record->memory = ScopedMemoryDC(screen);
    return record->memory.Select(CreateCompatibleBitmap(screen, record->width, record->height), true);
}

void DrawFrameToMemory(AnimRecord* record, int index) {
    if (!record->frames || !record->memory.Get()) return;
    auto* header = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(record->frames, index));
    if (!header) return;
    DrawDibDraw(record->drawDib, record->memory, 0, 0, record->width, record->height, header,
                const_cast<BYTE*>(FrameBits(header)), 0, 0, -1, -1, 0);
}

void CopyFrameOpaque(AnimRecord* record, HDC dc) {
    if (!record->memory.Get()) return;
    RECT client;
    GetClientRect(record->window, &client);
    BP_PAINTPARAMS params = {};
    params.cbSize = sizeof(params);
    UxThemeApi& ux = GlassUx();
    ScopedBufferedPaint<UxThemeApi> paint(ux, dc, client, BPBF_TOPDOWNDIB, &params);
    if (!paint) return;
    PatBlt(paint.Get(), 0, 0, client.right, client.bottom, BLACKNESS);
    BitBlt(paint.Get(), 0, 0, record->width, record->height, record->memory, 0, 0, SRCCOPY);
    RECT frame = {0, 0, record->width, record->height};
    ux.BufferedPaintMakeOpaque(paint.Buffer(), &frame);
}

void ShowNextFrame(AnimRecord* record, GlassSubclassBlock* block) {
    // Frame requests still queued when the player stopped are dropped.
    if (!record->frames || !record->thread) return;
    DrawFrameToMemory(record, record->current);
    {
        ScopedWindowDC dc(record->window);
        if (dc) CopyFrameOpaque(record, dc);
    }
    if (++record->current <= record->to) return;
    record->current = record->from;
    if (record->repeat == -1) return;
    if (--record->repeat > 0) return;
    StopPlayer(record);
    block->flags &= ~kGlassNotified;
}

LRESULT Play(AnimRecord* record, GlassSubclassBlock* block, WPARAM wParam, LPARAM lParam) {
    if (!record || !record->frames) return FALSE;
    StopPlayer(record);
    const int last = static_cast<int>(record->frameCount) - 1;
    record->from = LOWORD(lParam);
    record->to = HIWORD(lParam) == 0xFFFF ? last : HIWORD(lParam);
    if (record->to > last) record->to = last;
    if (record->from > record->to) record->from = record->to;
    record->repeat = static_cast<int>(wParam) == -1 ? -1 : static_cast<int>(wParam);
    record->current = record->from;
    record->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!record->stopEvent) return FALSE;
    record->thread = CreateThread(nullptr, 0, &PlayerThread, record, 0, nullptr);
    if (!record->thread) {
        CloseHandle(record->stopEvent);
        record->stopEvent = nullptr;
        return FALSE;
    }
    block->flags |= kGlassNotified;
    return TRUE;
}

LRESULT Open(HWND window, GlassSubclassBlock* block, WPARAM wParam, LPARAM lParam, bool wide) {
    if (!(block->flags & kGlassAviInitialised)) {
        AVIFileInit();
        block->flags |= kGlassAviInitialised;
    }
    AnimRecord* record = FindRecord(window);
    if (record) {
        StopPlayer(record);
        CloseStream(record);
    } else {
        record = new AnimRecord;
        record->window = window;
        record->redrawMessage = block->redrawMessage;
        record->drawDib = DrawDibOpen();
        Records()[window] = record;
    }
    if (!lParam) {
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    if (!OpenStream(record, window, wParam, lParam, wide)) {
        CloseStream(record);
        InvalidateRect(window, nullptr, TRUE);
        return FALSE;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    if (style & ACS_AUTOPLAY)
        SendMessageA(window, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, record->frameCount - 1));
    else
        SendMessageA(window, ACM_PLAY, 0, 0);
    return TRUE;
}

void Destroy(HWND window, GlassSubclassBlock* block) {
    AnimRecord* record = FindRecord(window);
    if (record) {
        StopPlayer(record);
        CloseStream(record);
        if (record->drawDib) DrawDibClose(record->drawDib);
        Records().erase(window);
        delete record;
    }
    if (block && (block->flags & kGlassAviInitialised)) {
        AVIFileExit();
        block->flags &= ~kGlassAviInitialised;
    }
}

LRESULT CALLBACK GlassAnimateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) Destroy(window, GetGlassBlock(window));
    GlassSubclassBlock* block = nullptr;
    LRESULT result = 0;
    if (GlassControlPrologue(window, message, wParam, lParam, &GlassAnimateProc, &block, &result))
        return result;
    AnimRecord* record = FindRecord(window);
    if (message == block->redrawMessage) {
        if (!record) return 0;
        switch (wParam) {
            case kStopPlayer:
                StopPlayer(record);
                break;
            case kNextFrame:
            case kNextFrameAgain:
                ShowNextFrame(record, block);
                break;
            case kCloseStream:
                CloseStream(record);
                break;
            default:
                break;
        }
        return 0;
    }
    switch (message) {
        case ACM_OPENA:
            return Open(window, block, wParam, lParam, false);
        case ACM_OPENW:
            return Open(window, block, wParam, lParam, true);
        case ACM_PLAY:
            return Play(record, block, wParam, lParam);
        case ACM_STOP:
            if (record) StopPlayer(record);
            block->flags &= ~kGlassNotified;
            return TRUE;
        case WM_TIMER:
            // The control's own player never runs under the engine.
            return 0;
        case WM_NCPAINT:
            result = GlassCallPrevious(block, window, message, wParam, lParam);
            DrawThemedEditBorder(window, block);
            return result;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (dc && record) CopyFrameOpaque(record, dc);
            EndPaint(window, &ps);
            return 0;
        }
        default:
            return GlassCallPrevious(block, window, message, wParam, lParam);
    }
}

}  // namespace

BOOL GlassSubclassAnimate(HWND control) {
    return SubclassChild(control, &GlassAnimateProc, 0);
}
