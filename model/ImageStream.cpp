// The image stream: encoded image bytes on global memory, decoding and the file record.
#include "model/ImageStream.h"

#include "framework/graphics/DibHelpers.h"
#include "framework/graphics/GdipImage.h"
#include "model/ByteStream.h"
#include "model/PictureHeaders.h"

#include <wincodec.h>

#include <cstdlib>
#include <new>
#include <vector>

using namespace Gdiplus;

IMPLEMENT_SERIAL(IStreamObject, CObject, 507 | VERSIONABLE_SCHEMA)

namespace {

// Images are read in pieces of this size, so that a damaged count cannot make the reader
// allocate more than the file actually holds.
const UINT kReadChunk = 1u << 20;

// GDI+'s raw-format identifiers (the import libraries here do not define them).
const GUID kFormatUndefined = {0xb96b3ca9, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatMemoryBmp = {0xb96b3caa, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatBmp = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// The imaging component's identifiers (the import libraries here do not define them).
const GUID kWicFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const GUID kWicFactoryInterface = {
    0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kWicBgr24 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};
const GUID kWicBgra32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};

// One reference to a COM object, released with the scope.
template <class T>
class ComRef {
public:
    explicit ComRef(T* object = nullptr) : m_object(object) {}
    ~ComRef() {
        if (m_object) m_object->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return m_object; }
    T** out() { return &m_object; }

private:
    T* m_object;
};
using StreamRef = ComRef<IStream>;

// COM for the scope on a thread that has none yet (a decoding thread).
class ComScope {
public:
    ComScope() : m_started(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComScope() {
        if (m_started) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool m_started;
};

// Every byte of the stream from its start, within the largest picture a stream may hold. A stream
// of ours is copied as a whole, its position untouched: another thread may read it meanwhile.
bool ReadAll(IStream* stream, std::vector<BYTE>& bytes) {
    bool copied = false;
    if (ByteStream::ReadInPlace(stream, [&](const BYTE* held, size_t size) {
            if (size == 0 || size > ByteStream::kMaxSize) return;
            try {
                bytes.assign(held, held + size);
                copied = true;
            } catch (...) {}
        }))
        return copied;
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    if (stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > ByteStream::kMaxSize) return false;
    const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER was = {};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &was))) return false;
    bool ok = false;
    try {
        bytes.resize(size);
        ULONG got = 0;
        ok = SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)) &&
             SUCCEEDED(stream->Read(bytes.data(), size, &got)) && got == size;
    } catch (...) {
        ok = false;
    }
    LARGE_INTEGER back = {};
    back.QuadPart = static_cast<LONGLONG>(was.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    return ok;
}

// From this many pixels on, a picture is large work (64 MB as 32-bit pixels).
const unsigned long long kLargePicturePixels = 16ull * 1000 * 1000;

std::recursive_mutex& LargePictureLock() {
    static std::recursive_mutex lock;
    return lock;
}

// A reservation of address space, given back with the scope.
class Reservation {
public:
    explicit Reservation(unsigned long long bytes)
        : m_at(bytes <= 0x7FFFFFFF
                   ? ::VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE, PAGE_NOACCESS)
                   : nullptr) {}
    ~Reservation() {
        if (m_at) ::VirtualFree(m_at, 0, MEM_RELEASE);
    }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    bool Made() const { return m_at != nullptr; }

private:
    void* m_at;
};

// Whether the process can give what a picture of this size needs while it is decoded and shown:
// its pixels at four bytes each, twice over (the decoded bitmap, and the copy converted or scaled
// from it), each in one piece of the address space.
bool ProcessCanHold(const PictureHeaderCheck& check) {
    const unsigned long long bytes = 4ull * check.width * check.height;
    if (bytes < 4 * kLargePicturePixels) return true;
    Reservation decoded(bytes);
    if (!decoded.Made()) return false;
    Reservation copy(bytes);
    return copy.Made();
}

std::function<bool(const PictureHeaderCheck&)>& MemoryCheckStandIn() {
    static std::function<bool(const PictureHeaderCheck&)> check;
    return check;
}

// A JPEG or PNG whose decoder gives 24-bit or 32-bit pixels as they are, decoded straight into a
// bitmap of our own: a bitmap GDI+ makes from a stream keeps the decoder, and with it a second
// copy of every pixel, for as long as it lives. The pixels and the bitmap's format are those
// GDI+ gives for such a picture. Null, with `tried` false, for every other picture (GDI+ decodes
// it then), and with `tried` true when the pixels could not be had.
Bitmap* DecodeWhole(const BYTE* bytes, size_t size, const PictureHeaderCheck& check, bool& tried,
                    const std::atomic<bool>* stop) {
    tried = false;
    if (check.kind != PictureHeaderCheck::kJpeg && check.kind != PictureHeaderCheck::kPng) return nullptr;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    StreamRef stream(ByteStream::Create(bytes, size, stop));
    if (!stream.get() ||
        FAILED(::CoCreateInstance(kWicFactory, nullptr, CLSCTX_INPROC_SERVER, kWicFactoryInterface,
                                  reinterpret_cast<void**>(factory.out()))) ||
        FAILED(factory.get()->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                      decoder.out())) ||
        FAILED(decoder.get()->GetFrame(0, frame.out())))
        return nullptr;
    UINT width = 0, height = 0;
    GUID pixels = {};
    if (FAILED(frame.get()->GetSize(&width, &height)) || FAILED(frame.get()->GetPixelFormat(&pixels)) ||
        width != check.width || height != check.height)
        return nullptr;
    const PixelFormat format = pixels == kWicBgr24    ? PixelFormat24bppRGB
                               : pixels == kWicBgra32 ? PixelFormat32bppARGB
                                                      : 0;
    if (format == 0) return nullptr;
    tried = true;
    Bitmap* bitmap = new Bitmap(static_cast<INT>(width), static_cast<INT>(height), format);
    if (!bitmap || bitmap->GetLastStatus() != Ok) {
        delete bitmap;
        return nullptr;
    }
    Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data;
    bool copied = false;
    if (bitmap->LockBits(&all, ImageLockModeWrite, format, &data) == Ok) {
        copied = SUCCEEDED(frame.get()->CopyPixels(nullptr, static_cast<UINT>(data.Stride),
                                                   static_cast<UINT>(data.Stride) * height,
                                                   static_cast<BYTE*>(data.Scan0)));
        bitmap->UnlockBits(&data);
    }
    double dpiX = 0, dpiY = 0;
    if (copied && SUCCEEDED(frame.get()->GetResolution(&dpiX, &dpiY)) && dpiX > 0 && dpiY > 0)
        bitmap->SetResolution(static_cast<REAL>(dpiX), static_cast<REAL>(dpiY));
    if (copied) return bitmap;
    delete bitmap;
    return nullptr;
}

// Decodes bytes whose headers were checked; the caller holds the picture's large work. `whole`
// says whether the bitmap holds the picture as its bytes are kept (nothing to encode again).
Bitmap* DecodeChecked(const BYTE* bytes, size_t size, const PictureHeaderCheck& check, bool* tooLarge,
                      bool* whole = nullptr, const std::atomic<bool>* stop = nullptr) {
    if (whole) *whole = false;
    if (!check.acceptable || !PictureFitsMemory(check)) {
        if (tooLarge) *tooLarge = check.tooLarge || check.acceptable;
        return nullptr;
    }
    bool tried = false;
    if (Bitmap* decoded = DecodeWhole(bytes, size, check, tried, stop)) {
        if (whole) *whole = true;
        return decoded;
    }
    if (tried) {
        // The decoder took the picture but its pixels did not come: memory ran out.
        if (tooLarge) *tooLarge = true;
        return nullptr;
    }
    StreamRef decodeStream(ByteStream::Create(bytes, size, stop));
    Bitmap* decoded = decodeStream.get() ? Bitmap::FromStream(decodeStream.get()) : nullptr;
    const Status status = decoded ? decoded->GetLastStatus() : OutOfMemory;
    if (status == Ok) return decoded;
    // Undecodable bytes give no image (callers treat null as "no image").
    delete decoded;
    if (tooLarge) *tooLarge = status == OutOfMemory;
    return nullptr;
}

}  // namespace

std::function<bool(const PictureHeaderCheck&)>& PictureMemoryStandIn() {
    return MemoryCheckStandIn();
}

bool PictureFitsMemory(const PictureHeaderCheck& check) {
    const std::function<bool(const PictureHeaderCheck&)>& standIn = MemoryCheckStandIn();
    return standIn ? standIn(check) : ProcessCanHold(check);
}

LargePictureWork::LargePictureWork(unsigned long long pixels) {
    if (pixels >= kLargePicturePixels) m_hold = std::unique_lock<std::recursive_mutex>(LargePictureLock());
}

LargePictureWork::LargePictureWork(unsigned long long pixels, std::try_to_lock_t) {
    if (pixels < kLargePicturePixels) return;
    m_hold = std::unique_lock<std::recursive_mutex>(LargePictureLock(), std::try_to_lock);
    m_started = m_hold.owns_lock();
}

IStreamObject::IStreamObject() = default;

IStreamObject::~IStreamObject() {
    Clear();
}

void IStreamObject::Clear() {
    if (m_stream && !m_borrowed) m_stream->Release();
    m_stream = nullptr;
    m_borrowed = false;
}

void IStreamObject::Attach(IStream* stream) {
    Clear();
    m_stream = stream;
}

void IStreamObject::Borrow(IStream* stream) {
    Clear();
    m_stream = stream;
    m_borrowed = stream != nullptr;
}

bool IStreamObject::CreateStream() {
    Clear();
    m_stream = ByteStream::Create();
    return m_stream != nullptr;
}

bool IStreamObject::SetBytes(const void* bytes, ULONG count) {
    if (!CreateStream()) return false;
    ULONG written = 0;
    if (bytes && count > 0 && SUCCEEDED(m_stream->Write(bytes, count, &written)) && written != 0) return true;
    Clear();
    return false;
}

bool IStreamObject::CopyFrom(IStream* source) {
    if (!source) return false;
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER size = {};
    if (FAILED(source->Seek(zero, STREAM_SEEK_END, &size))) return false;
    if (FAILED(source->Seek(zero, STREAM_SEEK_SET, nullptr))) return false;
    if (!CreateStream()) return false;
    return SUCCEEDED(source->CopyTo(m_stream, size, nullptr, nullptr));
}

ULONGLONG IStreamObject::GetSize() const {
    if (!m_stream) return 0;
    STATSTG stat = {};
    if (FAILED(m_stream->Stat(&stat, STATFLAG_NONAME))) return 0;
    return stat.cbSize.QuadPart;
}

bool IStreamObject::EncodeImage(Image* image, bool deleteOnFailure) {
    bool ok = false;
    GuardOperation(530, [&] {
        if (!image) return;
        GUID format = kFormatUndefined;
        image->GetRawFormat(&format);
        if (format != kFormatUndefined && format != kFormatMemoryBmp && format != kFormatBmp) {
            ok = true;
            return;
        }
        IStream* temp = ByteStream::Create();
        if (temp) {
            CLSID png;
            if (GetEncoderClsid(L"image/png", &png) >= 0 && image->Save(temp, &png, nullptr) == Ok) {
                Clear();
                m_stream = temp;
                ok = true;
                return;
            }
            temp->Release();
        }
        if (deleteOnFailure) delete image;
    });
    return ok;
}

PictureHeaderCheck IStreamObject::CheckHeaders() const {
    PictureHeaderCheck check;
    GuardOperation(537, [&] {
        // Read where they are when they can be: no copy of a photo of tens of megabytes for it.
        if (ByteStream::ReadInPlace(m_stream, [&](const BYTE* held, size_t size) {
                if (size > 0 && size <= ByteStream::kMaxSize) check = CheckPictureHeaders(held, size);
            }))
            return;
        std::vector<BYTE> bytes;
        if (m_stream && ReadAll(m_stream, bytes)) check = CheckPictureHeaders(bytes.data(), bytes.size());
    });
    return check;
}

Bitmap* IStreamObject::CreateBitmap(bool* tooLarge, const std::atomic<bool>* stop) {
    Bitmap* result = nullptr;
    if (tooLarge) *tooLarge = false;
    GuardOperation(531, [&] {
        if (!m_stream) return;
        // The decoder gets a stream of its own over a copy of the bytes: it never moves the held
        // stream's position, and it cannot read outside the picture however far it seeks.
        std::vector<BYTE> bytes;
        if (!ReadAll(m_stream, bytes)) return;
        const PictureHeaderCheck check = CheckPictureHeaders(bytes.data(), bytes.size());
        // The decode, a conversion to 32 bits and its PNG are one piece of work.
        LargePictureWork work(static_cast<unsigned long long>(check.width) * check.height);
        bool whole = false;
        Bitmap* decoded = DecodeChecked(bytes.data(), bytes.size(), check, tooLarge, &whole, stop);
        if (decoded && stop && *stop) {
            // Nobody wants it any more: not converted nor encoded again, and its memory goes now.
            delete decoded;
            return;
        }
        if (!decoded) return;
        if (whole) {
            result = decoded;
            return;
        }
        // The bytes are replaced only by a PNG of the picture's pixels. No converted copy, or no
        // PNG of it: memory ran out, and the bytes stay as they are.
        Bitmap* bitmap = NormalizeBitmapFormat(decoded);
        if (bitmap && EncodeImage(bitmap, true))
            result = bitmap;
        else if (tooLarge)
            *tooLarge = true;
    });
    return result;
}

Bitmap* DecodePictureBytes(const BYTE* bytes, size_t size, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    if (!bytes) return nullptr;
    const PictureHeaderCheck check = CheckPictureHeaders(bytes, size);
    LargePictureWork work(static_cast<unsigned long long>(check.width) * check.height);
    return DecodeChecked(bytes, size, check, tooLarge);
}

Bitmap* DecodePictureFile(LPCSTR path, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    std::vector<BYTE> bytes;
    {
        HANDLE file = CreateFileW(AfxWideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        LARGE_INTEGER size = {};
        bool read = false;
        if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
            static_cast<ULONGLONG>(size.QuadPart) <= ByteStream::kMaxSize) {
            try {
                bytes.resize(static_cast<size_t>(size.QuadPart));
                DWORD got = 0;
                read = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                       got == bytes.size();
            } catch (const std::bad_alloc&) {
                read = false;
            }
        }
        CloseHandle(file);
        if (!read) return nullptr;
    }
    return DecodePictureBytes(bytes.data(), bytes.size(), tooLarge);
}

Bitmap* IStreamObject::SetFromHGlobal(HGLOBAL dib) {
    Bitmap* result = nullptr;
    if (!dib) return nullptr;
    const void* bits = GlobalLock(dib);
    if (!bits) return nullptr;
    GuardOperation(532, [&] {
        // The block comes from another program: nothing of it is read before its size is known
        // to hold the header, and it is refused unless it holds every pixel the header describes.
        SIZE_T available = GlobalSize(dib);
        DWORD size = GetPackedDibSizeWithin(bits, available);
        BITMAPFILEHEADER header;
        if (size == 0 || !FillBitmapFileHeader(bits, &header)) return;
        if (!CreateStream()) return;
        ULONG written = 0;
        if (FAILED(m_stream->Write(&header, sizeof(header), &written)) || written != sizeof(header)) return;
        if (FAILED(m_stream->Write(bits, size, &written)) || written != size) return;
        const BITMAPINFOHEADER* bih = static_cast<const BITMAPINFOHEADER*>(bits);
        bool is32 = bih->biSize >= sizeof(BITMAPINFOHEADER) && bih->biBitCount == 32;
        if (!is32) {
            result = CreateBitmap();
        } else {
            Bitmap* bitmap = CreateBitmapFromDib(bits, size);
            if (bitmap && EncodeImage(bitmap, true)) result = bitmap;
        }
    });
    GlobalUnlock(dib);
    return result;
}

void IStreamObject::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        // An empty object writes the count 0, so that a reader (which always expects the count
        // line) stays in step with the file.
        std::vector<BYTE> bytes;
        int count = 0;
        if (m_stream) {
            LARGE_INTEGER zero = {};
            ULARGE_INTEGER size = {};
            if (SUCCEEDED(m_stream->Seek(zero, STREAM_SEEK_END, &size)) &&
                SUCCEEDED(m_stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
                ULONG wanted = static_cast<ULONG>(size.LowPart & 0x7FFFFFFF);
                bytes.resize(wanted);
                ULONG got = 0;
                if (wanted > 0 && SUCCEEDED(m_stream->Read(bytes.data(), wanted, &got)))
                    count = static_cast<int>(got);
            }
        }
        CString line;
        line.Format("%d", count);
        ar.WriteString(line);
        ar.WriteString("\n");
        if (count > 0) ar.Write(bytes.data(), static_cast<UINT>(count));
        return;
    }

    CString line;
    ar.ReadString(line);
    int count = std::atoi(line);
    // Nothing to read for 0, for a line that is not a number, and for a negative count.
    if (count <= 0) return;
    if (static_cast<ULONGLONG>(count) > ar.GetBytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile);
    std::vector<BYTE> bytes;
    UINT done = 0;
    while (done < static_cast<UINT>(count)) {
        UINT piece = static_cast<UINT>(count) - done;
        if (piece > kReadChunk) piece = kReadChunk;
        bytes.resize(done + piece);
        UINT got = ar.Read(bytes.data() + done, piece);
        if (got != piece) AfxThrowArchiveException(CArchiveException::endOfFile);
        done += got;
    }
    SetBytes(bytes.data(), static_cast<ULONG>(bytes.size()));
}
