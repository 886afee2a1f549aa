// IStreamObject: the encoded bytes of one image (a whole image file, never pixels) in a COM
// stream on global memory, with its decoding into a GDI+ bitmap and its file record.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <functional>
#include <mutex>

#include "framework/Core.h"
#include "model/PictureHeaders.h"

class IStreamObject : public CObject {
    DECLARE_SERIAL(IStreamObject)
public:
    IStreamObject();
    ~IStreamObject() override;
    IStreamObject(const IStreamObject&) = delete;
    IStreamObject& operator=(const IStreamObject&) = delete;

    bool IsEmpty() const { return m_stream == nullptr; }
    // The held stream, no reference added.
    IStream* GetStream() const { return m_stream; }
    // Releases the held stream.
    void Clear();
    // Forgets the held stream without releasing it (another holder took it over).
    void Detach() {
        m_stream = nullptr;
        m_borrowed = false;
    }
    // Takes over the caller's reference to 'stream' (moving bytes from one object to another).
    void Attach(IStream* stream);
    // Refers to 'stream' without a reference of its own: another object owns it, and this one
    // never releases it (copies that share another object's image).
    void Borrow(IStream* stream);
    bool IsBorrowed() const { return m_borrowed; }

    bool CreateStream();
    bool SetBytes(const void* bytes, ULONG count);
    bool CopyFrom(IStream* source);
    // The byte count of the held stream (0 when empty).
    ULONGLONG GetSize() const;

    // Replaces the bytes by a PNG of 'image' when GDI+ can only describe it as a memory or BMP
    // bitmap; other formats keep their bytes. On failure the bytes stay, and with
    // deleteOnFailure set the image is deleted.
    bool EncodeImage(Gdiplus::Image* image, bool deleteOnFailure);
    // What the headers of the bytes say, nothing decoded: the picture's kind and size, and whether
    // a decoder may have it. Not acceptable when nothing is held.
    PictureHeaderCheck CheckHeaders() const;
    // A new bitmap (24-bit RGB or 32-bit ARGB) decoded from the bytes, or null; the caller owns it.
    // `tooLarge` (when given) says whether a null result was refused for the picture's size.
    // Once `stop` (when given) is set, the decoder gives up at its next read and nothing is kept.
    Gdiplus::Bitmap* CreateBitmap(bool* tooLarge = nullptr, const std::atomic<bool>* stop = nullptr);
    // Takes a packed DIB (clipboard paste): the bytes become a PNG of it; returns the decoded
    // bitmap (owned by the caller) or null.
    Gdiplus::Bitmap* SetFromHGlobal(HGLOBAL dib);

    void Serialize(CArchive& ar) override;

private:
    IStream* m_stream = nullptr;
    bool m_borrowed = false;
};

// A bitmap decoded from a picture's bytes the way a decoder may safely see them: the headers
// checked against the size, and a stream of its own over a copy that never reads outside it.
// Null when the bytes do not decode; the caller owns the bitmap.
// `tooLarge` (when given) says whether a null result was refused for the picture's size: more
// pixels than any picture may have, or more than this process can give memory for now.
Gdiplus::Bitmap* DecodePictureBytes(const BYTE* bytes, size_t size, bool* tooLarge = nullptr);
// The same for a picture file, read whole and closed before the decoder starts (GDI+ given the
// path keeps a handle to the file open for every damaged picture it fails on).
Gdiplus::Bitmap* DecodePictureFile(LPCSTR path, bool* tooLarge = nullptr);

// For tests: stands in for the question whether the process can give a picture the memory its
// decode needs (the headers say its size), so that memory can run short on purpose. Unset: the
// address space is asked, for pictures of 16 megapixels or more.
std::function<bool(const PictureHeaderCheck&)>& PictureMemoryStandIn();
// Whether the process can give a picture of this size (the headers say it) the memory its decode
// needs, now.
bool PictureFitsMemory(const PictureHeaderCheck& check);

// Work on a picture of tens of megapixels (its decode, a copy of it at another size) holds some
// hundreds of megabytes for seconds. Such work runs one piece at a time in the process, so that
// the image panel, the canvas and its decoding threads do not together ask for more than a 32-bit
// process can give; smaller pictures pass at once.
class LargePictureWork {
public:
    explicit LargePictureWork(unsigned long long pixels);
    // Starts only when no other such work runs; Started says whether it did.
    LargePictureWork(unsigned long long pixels, std::try_to_lock_t);
    LargePictureWork(const LargePictureWork&) = delete;
    LargePictureWork& operator=(const LargePictureWork&) = delete;
    bool Started() const { return m_started; }

private:
    std::unique_lock<std::recursive_mutex> m_hold;
    bool m_started = true;
};
