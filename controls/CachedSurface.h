// CachedSurface: a memory DC that keeps a control's drawn picture selected from one paint to the
// next. It owns the DC and, when told so, the bitmap; freeing puts the DC's first bitmap back
// before either goes (a bitmap still selected into a DC cannot be deleted).
#pragma once

#include <windows.h>

#include "framework/Win.h"

class CachedSurface {
public:
    CachedSurface() = default;
    ~CachedSurface() { Free(); }
    CachedSurface(const CachedSurface&) = delete;
    CachedSurface& operator=(const CachedSurface&) = delete;

    // Makes the memory DC, compatible with `reference`, when there is none yet; false when none
    // can be had.
    bool MakeDC(HDC reference) {
        if (!m_dc.GetSafeHdc()) m_dc.Attach(::CreateCompatibleDC(reference));
        return m_dc.GetSafeHdc() != nullptr;
    }
    // Selects `bitmap` into the DC; with `own`, the surface deletes it when freed.
    void Select(CBitmap* bitmap, bool own) {
        if (!m_dc.GetSafeHdc() || !bitmap) {
            if (own && bitmap != m_bitmap) delete bitmap;
            return;
        }
        HGDIOBJ previous = ::SelectObject(m_dc.GetSafeHdc(), bitmap->GetSafeHandle());
        if (!m_previous) m_previous = previous;
        if (own && bitmap != m_bitmap) {
            delete m_bitmap;
            m_bitmap = bitmap;
        }
    }
    // The DC's first bitmap back, then the DC and the owned bitmap deleted.
    void Free() {
        if (m_dc.GetSafeHdc() && m_previous) ::SelectObject(m_dc.GetSafeHdc(), m_previous);
        m_previous = nullptr;
        m_dc.DeleteDC();
        delete m_bitmap;
        m_bitmap = nullptr;
    }

    CDC& Dc() { return m_dc; }
    HDC GetSafeHdc() const { return m_dc.GetSafeHdc(); }
    // The owned bitmap; null before one is selected with `own`.
    CBitmap* Bitmap() const { return m_bitmap; }

private:
    CDC m_dc;
    CBitmap* m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};
