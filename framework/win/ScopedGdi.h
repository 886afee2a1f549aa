// Scope types for GDI handles: each releases what it holds when the scope ends, also when an
// exception leaves it (every operation runs inside an error guard that catches, so a hand-written
// delete after a throw would never run).
//
//   ScopedGdiObject<T>  owns a pen, brush, font, bitmap, region... (DeleteObject)
//   ScopedSelect        selects an object into a DC and puts the previous one back; may own the
//                       new object (deleted after it is deselected)
//   ScopedDC            a DC made with CreateDC, CreateIC or CreateCompatibleDC (DeleteDC)
//   ScopedWindowDC      GetDC / GetWindowDC / GetDCEx with ReleaseDC
//   ScopedPaintDC       BeginPaint with EndPaint
//   ScopedMemoryDC      a memory DC (DeleteDC), optionally with a bitmap it owns and keeps selected;
//                       movable, so that it can also be the long-lived member that owns a buffer
//   ScopedSaveDC        SaveDC with RestoreDC
//   ScopedBufferedPaint BeginBufferedPaint with EndBufferedPaint, through the caller's theme API
//
// The framework's CPen, CBrush, CFont, CBitmap, CRgn own their handles the same way; CDC,
// CPaintDC, CClientDC, CWindowDC and CBorrowedDC (Gdi.h) say by their type whether they delete,
// end, release or leave alone the DC they wrap.
#pragma once

#include <windows.h>
#include <uxtheme.h>

// Owns one GDI object handle and deletes it at the end of the scope.
template <class Handle>
class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Handle handle) : m_handle(handle) {}
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : m_handle(other.Release()) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Deletes the handle held so far and holds `handle` instead.
    void Reset(Handle handle = nullptr) {
        if (m_handle && m_handle != handle) ::DeleteObject(m_handle);
        m_handle = handle;
    }
    // Gives the handle up without deleting it.
    Handle Release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    Handle m_handle = nullptr;
};

typedef ScopedGdiObject<HPEN> ScopedPen;
typedef ScopedGdiObject<HBRUSH> ScopedBrush;
typedef ScopedGdiObject<HFONT> ScopedFont;
typedef ScopedGdiObject<HBITMAP> ScopedBitmap;
typedef ScopedGdiObject<HRGN> ScopedRegion;

// Selects an object into a DC for the scope; the previous object goes back at the end. With
// `own`, the selected object is deleted once it is out of the DC. A null DC or object selects
// nothing (an owned object is still deleted).
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object, bool own = false) : m_dc(dc), m_object(object), m_own(own) {
        if (m_dc && m_object) m_previous = ::SelectObject(m_dc, m_object);
    }
    ~ScopedSelect() {
        Restore();
        if (m_own && m_object) ::DeleteObject(m_object);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

    // Selects another object of the same kind in its place (not owned); the object that was
    // there before the scope still goes back at its end.
    void Switch(HGDIOBJ other) {
        if (!m_dc || !other) return;
        HGDIOBJ old = ::SelectObject(m_dc, other);
        if (!m_previous) m_previous = old;
    }
    // Puts the previous object back now (the owned object is still deleted at the end).
    void Restore() {
        if (m_dc && m_previous && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
        m_previous = nullptr;
    }
    HGDIOBJ Previous() const { return m_previous; }

private:
    HDC m_dc;
    HGDIOBJ m_object;
    bool m_own;
    HGDIOBJ m_previous = nullptr;
};

// A window's DC (client area by default, the whole window with kWhole, or GetDCEx's), released
// at the end of the scope. A null window gives the screen's DC.
class ScopedWindowDC {
public:
    enum Area { kClient, kWhole };
    explicit ScopedWindowDC(HWND window, Area area = kClient)
        : m_window(window), m_dc(area == kWhole ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ScopedWindowDC(HWND window, HRGN clip, DWORD flags)
        : m_window(window), m_dc(::GetDCEx(window, clip, flags)) {}
    ~ScopedWindowDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint for the scope, EndPaint at its end.
class ScopedPaintDC {
public:
    explicit ScopedPaintDC(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
    ~ScopedPaintDC() { ::EndPaint(m_window, &m_paint); }
    ScopedPaintDC(const ScopedPaintDC&) = delete;
    ScopedPaintDC& operator=(const ScopedPaintDC&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    HDC m_dc = nullptr;
    PAINTSTRUCT m_paint = {};
};

// Owns a DC made with CreateDC, CreateIC or CreateCompatibleDC and deletes it (DeleteDC) at the
// end of the scope, or when another takes its place.
class ScopedDC {
public:
    ScopedDC() = default;
    explicit ScopedDC(HDC dc) : m_dc(dc) {}
    ~ScopedDC() { Reset(); }
    ScopedDC(const ScopedDC&) = delete;
    ScopedDC& operator=(const ScopedDC&) = delete;
    ScopedDC(ScopedDC&& other) noexcept : m_dc(other.Release()) {}
    ScopedDC& operator=(ScopedDC&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    // Deletes the DC held so far and holds `dc` instead.
    void Reset(HDC dc = nullptr) {
        if (m_dc && m_dc != dc) ::DeleteDC(m_dc);
        m_dc = dc;
    }
    // Gives the DC up without deleting it.
    HDC Release() {
        HDC dc = m_dc;
        m_dc = nullptr;
        return dc;
    }

private:
    HDC m_dc = nullptr;
};

// A memory DC compatible with `reference` (the screen's when null), deleted at the end of the
// scope. It may hold a bitmap: one it makes (compatible with `reference`, width x height) or one
// it is given; the bitmap stays selected for the scope, is deselected at its end, and is deleted
// when the DC owns it. An empty one (default-made, moved from or Reset) holds nothing.
class ScopedMemoryDC {
public:
    ScopedMemoryDC() = default;
    explicit ScopedMemoryDC(HDC reference) : m_dc(::CreateCompatibleDC(reference)) {}
    ScopedMemoryDC(HDC reference, int width, int height) : m_dc(::CreateCompatibleDC(reference)) {
        if (!m_dc || width <= 0 || height <= 0) return;
        HDC screen = reference ? nullptr : ::GetDC(nullptr);
        Select(::CreateCompatibleBitmap(reference ? reference : screen, width, height), true);
        if (screen) ::ReleaseDC(nullptr, screen);
    }
    ~ScopedMemoryDC() { Reset(); }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC(ScopedMemoryDC&& other) noexcept { Take(other); }
    ScopedMemoryDC& operator=(ScopedMemoryDC&& other) noexcept {
        if (this != &other) {
            Reset();
            Take(other);
        }
        return *this;
    }

    // Selects `bitmap` for the rest of the scope (owned: deleted at the end); a bitmap selected
    // before is deselected and, when owned, deleted. False when there is no DC or no bitmap.
    bool Select(HBITMAP bitmap, bool own) {
        if (!m_dc || !bitmap) {
            if (own && bitmap) ::DeleteObject(bitmap);
            return false;
        }
        HGDIOBJ old = ::SelectObject(m_dc, bitmap);
        if (!m_previous) m_previous = old;
        if (m_ownsBitmap && m_bitmap && m_bitmap != bitmap) ::DeleteObject(m_bitmap);
        m_bitmap = bitmap;
        m_ownsBitmap = own;
        return true;
    }
    // Deselects the bitmap, deletes the DC and an owned bitmap now; the object is empty after.
    void Reset() {
        if (m_dc) {
            if (m_previous) ::SelectObject(m_dc, m_previous);
            ::DeleteDC(m_dc);
        }
        if (m_ownsBitmap && m_bitmap) ::DeleteObject(m_bitmap);
        m_dc = nullptr;
        m_previous = nullptr;
        m_bitmap = nullptr;
        m_ownsBitmap = false;
    }

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }

private:
    void Take(ScopedMemoryDC& other) {
        m_dc = other.m_dc;
        m_previous = other.m_previous;
        m_bitmap = other.m_bitmap;
        m_ownsBitmap = other.m_ownsBitmap;
        other.m_dc = nullptr;
        other.m_previous = nullptr;
        other.m_bitmap = nullptr;
        other.m_ownsBitmap = false;
    }

    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
    HBITMAP m_bitmap = nullptr;
    bool m_ownsBitmap = false;
};

// SaveDC for the scope, RestoreDC at its end.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : m_dc(dc), m_saved(dc ? ::SaveDC(dc) : 0) {}
    ~ScopedSaveDC() {
        if (m_saved) ::RestoreDC(m_dc, m_saved);
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

// BeginBufferedPaint for the scope, EndBufferedPaint (copying the buffer to the target unless
// Discard was called) at its end. `Api` is the caller's loader of the theme library: anything with
// BeginBufferedPaint and EndBufferedPaint of the system's signatures.
template <class Api>
class ScopedBufferedPaint {
public:
    ScopedBufferedPaint(Api& api, HDC target, const RECT& rect, BP_BUFFERFORMAT format,
                        BP_PAINTPARAMS* params)
        : m_api(api) {
        m_buffer = m_api.BeginBufferedPaint(target, &rect, format, params, &m_dc);
    }
    ~ScopedBufferedPaint() {
        if (m_buffer) m_api.EndBufferedPaint(m_buffer, m_update);
    }
    ScopedBufferedPaint(const ScopedBufferedPaint&) = delete;
    ScopedBufferedPaint& operator=(const ScopedBufferedPaint&) = delete;

    HPAINTBUFFER Buffer() const { return m_buffer; }
    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_buffer != nullptr; }
    // The buffer is thrown away at the end instead of being copied to the target.
    void Discard() { m_update = FALSE; }

private:
    Api& m_api;
    HPAINTBUFFER m_buffer = nullptr;
    HDC m_dc = nullptr;
    BOOL m_update = TRUE;
};
