// Objects on the system clipboard: a text or track list as its file record under the program's
// own registered format, an image as a device-independent bitmap, and plain text. Clipboard
// blocks come from any program that registers the same name, so every read is bounded by the
// block's size and anything unexpected is refused.
#include <cstring>
#include <vector>

#include "framework/graphics/GdipImage.h"
#include "model/KorvanelleDocument.h"
#include "model/ViewObject.h"

using namespace Gdiplus;

namespace {

// The clipboard open for the length of one operation.
class ClipboardScope {
public:
    ClipboardScope() : m_open(::OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardScope() {
        if (m_open) ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

// The bytes of a clipboard block, copied out within its size.
bool ReadBlock(HANDLE handle, std::vector<BYTE>& bytes) {
    if (!handle) return false;
    const SIZE_T size = ::GlobalSize(handle);
    const void* p = ::GlobalLock(handle);
    if (!p) return false;
    bytes.assign(static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + size);
    ::GlobalUnlock(handle);
    return true;
}

bool GiveToClipboard(UINT format, HGLOBAL block) {
    if (!block) return false;
    if (::SetClipboardData(format, block)) return true;
    ::GlobalFree(block);
    return false;
}

}  // namespace

CString NormalizePastedText(const CString& text) {
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text.GetAt(i);
        if (c == '\r' && i + 1 < text.GetLength() && text.GetAt(i + 1) == '\n') {
            out += '\r';
            ++i;
        } else if (c == kTrackFieldEnd) {
            continue;
        } else if (c == '\t') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

HGLOBAL MakeClipboardDib(Bitmap* bitmap) {
    if (!bitmap) return nullptr;
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || !stream) return nullptr;
    HGLOBAL block = nullptr;
    CLSID bmp;
    if (GetEncoderClsid(L"image/bmp", &bmp) >= 0 && bitmap->Save(stream, &bmp, nullptr) == Ok) {
        LARGE_INTEGER zero = {};
        ULARGE_INTEGER end = {};
        LARGE_INTEGER header = {};
        header.QuadPart = sizeof(BITMAPFILEHEADER);
        if (SUCCEEDED(stream->Seek(zero, STREAM_SEEK_END, &end)) && end.QuadPart > sizeof(BITMAPFILEHEADER) &&
            end.QuadPart < 0x7FFFFFFF && SUCCEEDED(stream->Seek(header, STREAM_SEEK_SET, nullptr))) {
            const ULONG size = static_cast<ULONG>(end.QuadPart - sizeof(BITMAPFILEHEADER));
            block = ::GlobalAlloc(GMEM_MOVEABLE, size);
            void* p = block ? ::GlobalLock(block) : nullptr;
            ULONG read = 0;
            bool ok = p && SUCCEEDED(stream->Read(p, size, &read)) && read == size &&
                      size >= sizeof(BITMAPINFOHEADER);
            if (ok) {
                BITMAPINFOHEADER* info = static_cast<BITMAPINFOHEADER*>(p);
                if (info->biSize >= sizeof(BITMAPINFOHEADER)) {
                    if (info->biSizeImage == 0) {
                        const unsigned row =
                            ((static_cast<unsigned>(info->biWidth) * info->biBitCount + 31u) / 8u) & ~3u;
                        const unsigned height =
                            static_cast<unsigned>(info->biHeight < 0 ? -info->biHeight : info->biHeight);
                        info->biSizeImage = row * height;
                    }
                    info->biXPelsPerMeter = 0;
                    info->biYPelsPerMeter = 0;
                }
            }
            if (p) ::GlobalUnlock(block);
            if (!ok && block) {
                ::GlobalFree(block);
                block = nullptr;
            }
        }
    }
    stream->Release();
    return block;
}

bool ViewObject::CopyToClipboard(UINT format) {
    if (type != kObjectText && type != kObjectTrack) return false;
    bool handed = false;
    GuardOperation(560, [&] {
        ClipboardScope clipboard;
        if (!clipboard.IsOpen()) return;
        ::EmptyClipboard();
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, 4096);
            Serialize(ar);
            ar.Close();
        }
        const ULONGLONG length = file.GetLength();
        if (length == 0) return;
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length));
        void* p = block ? ::GlobalLock(block) : nullptr;
        if (!p) {
            if (block) ::GlobalFree(block);
            return;
        }
        std::memcpy(p, file.GetData(), static_cast<size_t>(length));
        ::GlobalUnlock(block);
        handed = GiveToClipboard(format, block);
    });
    return handed;
}

bool ViewObject::CopyImageToClipboard() {
    if (type != kObjectImage) return false;
    bool handed = false;
    GuardOperation(561, [&] {
        if (!EnsureImageLoaded() || !decodedImage) return;
        ClipboardScope clipboard;
        if (!clipboard.IsOpen()) return;
        ::EmptyClipboard();
        handed = GiveToClipboard(CF_DIB, MakeClipboardDib(decodedImage));
    });
    return handed;
}

bool ViewObject::PasteFromClipboard(UINT format) {
    bool read = false;
    CAlbumInfo* album = g_loadingAlbumInfo;
    GuardOperation(562, [&] {
        if (!format || !::IsClipboardFormatAvailable(format)) return;
        std::vector<BYTE> bytes;
        {
            ClipboardScope clipboard;
            if (!clipboard.IsOpen() || !ReadBlock(::GetClipboardData(format), bytes)) return;
        }
        // Nothing shorter than a file header's worth of bytes can hold an object record.
        if (bytes.size() <= 14 || bytes.size() > 0x7FFFFFFF) return;
        DocumentReadScope scope;
        g_loadingAlbumInfo = album;
        try {
            CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()), 0);
            CArchive ar(&file, CArchive::load, 4096);
            Serialize(ar);
            ar.Close();
            read = true;
        } catch (CException* e) {
            e->Delete();
        } catch (...) {}
    });
    // Only texts and track lists travel in the own format; anything else is refused.
    return read && (type == kObjectText || type == kObjectTrack);
}

bool ViewObject::PasteImageFromClipboard() {
    if (type != kObjectImage) return false;
    bool ok = false;
    GuardOperation(563, [&] {
        FreeImageData(false);
        if (!::IsClipboardFormatAvailable(CF_DIB)) return;
        Bitmap* decoded = nullptr;
        {
            ClipboardScope clipboard;
            if (!clipboard.IsOpen()) return;
            decoded = image.SetFromHGlobal(::GetClipboardData(CF_DIB));
        }
        if (decoded) {
            SetDecodedImage(decoded);
            ok = true;
        }
    });
    if (!ok) FreeImageData(false);
    return ok;
}

CString ViewObject::PasteText() {
    CString text;
    if (type != kObjectText && type != kObjectTrack) return text;
    GuardOperation(564, [&] {
        if (!::IsClipboardFormatAvailable(CF_TEXT)) return;
        std::vector<BYTE> bytes;
        {
            ClipboardScope clipboard;
            if (!clipboard.IsOpen() || !ReadBlock(::GetClipboardData(CF_TEXT), bytes)) return;
        }
        size_t n = 0;
        while (n < bytes.size() && bytes[n] != 0) ++n;
        text = NormalizePastedText(CString(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(n)));
    });
    return text;
}
