// Objects on the system clipboard: a text or track list as its file record under the program's
// own registered format, an image as its own bytes beside a device-independent bitmap, and plain
// text. Clipboard blocks come from any program that registers the same name, so every read is
// bounded by the block's size and anything unexpected is refused.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/graphics/DibHelpers.h"
#include "framework/graphics/GdipImage.h"
#include "model/ByteStream.h"
#include "model/KorvanelleDocument.h"
#include "model/PictureHeaders.h"
#include "model/ViewObject.h"

using namespace Gdiplus;

namespace {

// The clipboard open for the length of one operation (by `owner`, which then owns what is put on it).
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner = nullptr) : m_open(::OpenClipboard(owner) != FALSE) {}
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

// A movable block of memory, freed with the scope unless it was given away.
class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL block = nullptr) : m_block(block) {}
    ~GlobalBlock() {
        if (m_block) ::GlobalFree(m_block);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return m_block; }
    HGLOBAL release() {
        HGLOBAL block = m_block;
        m_block = nullptr;
        return block;
    }
    void reset(HGLOBAL block) {
        if (m_block) ::GlobalFree(m_block);
        m_block = block;
    }

private:
    HGLOBAL m_block;
};

// A copy of every byte of the stream in a new block; its position is left as it was.
HGLOBAL BlockOfStream(IStream* stream) {
    STATSTG stat = {};
    if (!stream || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return nullptr;
    if (stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > ByteStream::kMaxSize) return nullptr;
    const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
    GlobalBlock block(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* p = block.get() ? ::GlobalLock(block.get()) : nullptr;
    if (!p) return nullptr;
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER was = {};
    ULONG read = 0;
    const bool ok = SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &was)) &&
                    SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)) &&
                    SUCCEEDED(stream->Read(p, size, &read)) && read == size;
    LARGE_INTEGER back = {};
    back.QuadPart = static_cast<LONGLONG>(was.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    ::GlobalUnlock(block.get());
    return ok ? block.release() : nullptr;
}

// The picture of a clipboard block taken as an image's bytes when its headers pass; `tooLarge`
// says whether they were refused for the picture's size.
bool TakePictureBytes(HANDLE handle, IStreamObject& image, bool& tooLarge) {
    const void* p = handle ? ::GlobalLock(handle) : nullptr;
    if (!p) return false;
    const SIZE_T size = ::GlobalSize(handle);
    bool taken = false;
    if (size > 0 && size <= ByteStream::kMaxSize) {
        const PictureHeaderCheck check = CheckPictureHeaders(static_cast<const unsigned char*>(p), size);
        tooLarge = check.tooLarge;
        taken = check.acceptable && image.SetBytes(p, static_cast<ULONG>(size));
    }
    ::GlobalUnlock(handle);
    return taken;
}

// Whether a clipboard block holds a whole packed DIB (so that one which did not decode was
// refused for its size or the memory left, not for its bytes).
bool HoldsWholeDib(HANDLE handle) {
    const void* p = handle ? ::GlobalLock(handle) : nullptr;
    if (!p) return false;
    const bool whole = GetPackedDibSizeWithin(p, ::GlobalSize(handle)) != 0;
    ::GlobalUnlock(handle);
    return whole;
}

}  // namespace

UINT PictureClipboardFormat() {
    static const UINT format = ::RegisterClipboardFormatA("Korvanelle Picture");
    return format;
}

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

namespace {

// The bytes a bitmap takes as a packed DIB on the clipboard (0 for none), and its bytes per pixel.
unsigned long long ClipboardDibSize(Bitmap* bitmap, UINT& pixelBytes) {
    pixelBytes = IsAlphaPixelFormat(bitmap->GetPixelFormat()) ? 4 : 3;
    const UINT width = bitmap->GetWidth(), height = bitmap->GetHeight();
    const unsigned long long row = (static_cast<unsigned long long>(width) * pixelBytes + 3) & ~3ull;
    return width && height ? sizeof(BITMAPINFOHEADER) + row * height : 0;
}

// A block for a clipboard DIB of `size` bytes, or null when that much cannot be had.
HGLOBAL NewDibBlock(unsigned long long size) {
    return size > 0 && size < 0x7FFFFFFF ? ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size)) : nullptr;
}

}  // namespace

HGLOBAL MakeClipboardDib(Bitmap* bitmap, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    if (!bitmap) return nullptr;
    const UINT width = bitmap->GetWidth(), height = bitmap->GetHeight();
    if (width == 0 || height == 0) return nullptr;
    // The rows are copied from the pixels straight into the block, a band at a time: a picture of
    // tens of megapixels is held once more, not once as a BMP encoding and again as its copy.
    UINT pixelBytes = 3;
    const unsigned long long size = ClipboardDibSize(bitmap, pixelBytes);
    const PixelFormat format = pixelBytes == 4 ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    const unsigned long long row = (static_cast<unsigned long long>(width) * pixelBytes + 3) & ~3ull;
    GlobalBlock block(NewDibBlock(size));
    BYTE* p = block.get() ? static_cast<BYTE*>(::GlobalLock(block.get())) : nullptr;
    if (!p) {
        if (tooLarge) *tooLarge = true;
        return nullptr;
    }
    BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(p);
    *info = BITMAPINFOHEADER();
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = static_cast<LONG>(width);
    info->biHeight = static_cast<LONG>(height);  // bottom-up
    info->biPlanes = 1;
    info->biBitCount = static_cast<WORD>(pixelBytes * 8);
    info->biCompression = BI_RGB;
    info->biSizeImage = static_cast<DWORD>(row * height);
    BYTE* rows = p + sizeof(BITMAPINFOHEADER);
    const UINT kBand = 256;
    const size_t used = static_cast<size_t>(width) * pixelBytes;
    bool ok = true;
    for (UINT top = 0; ok && top < height; top += kBand) {
        Rect band(0, static_cast<INT>(top), static_cast<INT>(width),
                  static_cast<INT>(std::min(kBand, height - top)));
        BitmapData data;
        const Status status = bitmap->LockBits(&band, ImageLockModeRead, format, &data);
        if (status != Ok) {
            if (tooLarge) *tooLarge = status == OutOfMemory;
            ok = false;
            break;
        }
        for (UINT y = 0; y < data.Height; ++y) {
            BYTE* to = rows + (height - 1 - (top + y)) * row;
            std::memcpy(to, static_cast<const BYTE*>(data.Scan0) + static_cast<size_t>(y) * data.Stride,
                        used);
            std::memset(to + used, 0, static_cast<size_t>(row - used));
        }
        bitmap->UnlockBits(&data);
    }
    ::GlobalUnlock(block.get());
    return ok ? block.release() : nullptr;
}

bool ViewObject::CopyToClipboard(UINT format) {
    if (type != kObjectText && type != kObjectTrack) return false;
    bool handed = false;
    GuardOperation(560, [&] {
        // The record is made before the clipboard is emptied: a copy that fails leaves it as it was.
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, 4096);
            Serialize(ar);
            ar.Close();
        }
        const ULONGLONG length = file.GetLength();
        if (length == 0) return;
        GlobalBlock block(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length)));
        void* p = block.get() ? ::GlobalLock(block.get()) : nullptr;
        if (!p) return;
        std::memcpy(p, file.GetData(), static_cast<size_t>(length));
        ::GlobalUnlock(block.get());
        ClipboardScope clipboard;
        if (!clipboard.IsOpen()) return;
        ::EmptyClipboard();
        handed = GiveToClipboard(format, block.release());
    });
    return handed;
}

bool ViewObject::CopyImageToClipboard(ImageCopyResult* result, HWND renderer) {
    if (type != kObjectImage) return false;
    ImageCopyResult outcome = ImageCopyResult::kUnreadable;
    GuardOperation(561, [&] {
        // Both forms are made before the clipboard is emptied: a copy that fails leaves what it
        // held. The picture's own bytes go with its bitmap; when no bitmap fits in the memory left
        // they go alone, and Paste Object here still takes the picture.
        GlobalBlock bytes(BlockOfStream(image.GetStream()));
        bool tooLarge = false;
        GlobalBlock dib;
        // A decoded picture's bitmap may be offered now and made when a program asks for it
        // (the renderer's part): it is not made for nothing, and the copy takes no time. The
        // memory for it is asked for now, so that a copy that could not give it says so at once.
        const bool later = renderer && decodedImage;
        if (later) {
            UINT pixelBytes = 3;
            dib.reset(NewDibBlock(ClipboardDibSize(decodedImage, pixelBytes)));
            tooLarge = !dib.get();
        } else if (decodedImage) {
            LargePictureWork work(static_cast<unsigned long long>(decodedImage->GetWidth()) *
                                  decodedImage->GetHeight());
            dib.reset(MakeClipboardDib(decodedImage, &tooLarge));
        }
        if (!dib.get() && !tooLarge) {
            // Not decoded (or not kept): decoded for the bitmap only, and let go at once.
            std::unique_ptr<Bitmap> decoded(image.CreateBitmap(&tooLarge));
            if (decoded) {
                LargePictureWork work(static_cast<unsigned long long>(decoded->GetWidth()) *
                                      decoded->GetHeight());
                dib.reset(MakeClipboardDib(decoded.get(), &tooLarge));
            }
        }
        if (!dib.get() && !(tooLarge && bytes.get())) {
            outcome = tooLarge ? ImageCopyResult::kTooLarge : ImageCopyResult::kUnreadable;
            return;
        }
        ClipboardScope clipboard(renderer);
        if (!clipboard.IsOpen()) {
            outcome = ImageCopyResult::kClipboardBusy;
            return;
        }
        ::EmptyClipboard();
        const bool gaveBytes = GiveToClipboard(PictureClipboardFormat(), bytes.release());
        bool gaveDib = false;
        if (later && dib.get()) {
            dib.reset(nullptr);
            ::SetClipboardData(CF_DIB, nullptr);
            gaveDib = ::IsClipboardFormatAvailable(CF_DIB) != FALSE;
        } else {
            gaveDib = GiveToClipboard(CF_DIB, dib.release());
        }
        outcome = gaveDib     ? ImageCopyResult::kCopied
                  : gaveBytes ? ImageCopyResult::kWithoutBitmap
                              : ImageCopyResult::kTooLarge;
    });
    if (result) *result = outcome;
    return outcome == ImageCopyResult::kCopied || outcome == ImageCopyResult::kWithoutBitmap;
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

bool ViewObject::PasteImageFromClipboard(bool* tooLarge) {
    if (type != kObjectImage) return false;
    bool ok = false, large = false;
    GuardOperation(563, [&] {
        FreeImageData(false);
        // The picture's own bytes first: they decode once, at the picture's size, where its
        // bitmap would be held whole on the clipboard, again as a BMP and again decoded.
        const UINT own = PictureClipboardFormat();
        if (own && ::IsClipboardFormatAvailable(own)) {
            bool taken = false;
            {
                ClipboardScope clipboard;
                taken = clipboard.IsOpen() && TakePictureBytes(::GetClipboardData(own), image, large);
            }
            if (taken && EnsureImageLoaded(&large)) {
                ok = true;
                return;
            }
            FreeImageData(false);
        }
        if (!::IsClipboardFormatAvailable(CF_DIB)) return;
        ClipboardScope clipboard;
        if (!clipboard.IsOpen()) return;
        HANDLE dib = ::GetClipboardData(CF_DIB);
        if (Bitmap* decoded = image.SetFromHGlobal(dib)) {
            SetDecodedImage(decoded);
            ok = true;
        } else {
            large = large || HoldsWholeDib(dib);
        }
    });
    if (!ok) FreeImageData(false);
    if (tooLarge) *tooLarge = !ok && large;
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
