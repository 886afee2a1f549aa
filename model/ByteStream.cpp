// The in-memory stream handed to picture decoders and encoders: every read is cut to the bytes
// held, a position past the end reads nothing, and growth stops at a size a picture can have.
#include "model/ByteStream.h"

#include <algorithm>
#include <cstring>
#include <new>

ByteStream* ByteStream::Create() {
    return new (std::nothrow) ByteStream;
}

ByteStream* ByteStream::Create(const void* bytes, size_t count, const std::atomic<bool>* stop) {
    if (count > kMaxSize) return nullptr;
    ByteStream* stream = Create();
    if (!stream) return nullptr;
    stream->m_stop = stop;
    try {
        const BYTE* p = static_cast<const BYTE*>(bytes);
        if (count > 0) stream->m_bytes.assign(p, p + count);
    } catch (...) {
        stream->Release();
        return nullptr;
    }
    return stream;
}

namespace {

// Answered only by a ByteStream, with itself: how ReadInPlace knows one among other streams.
const IID kByteStreamId = {0x6b76e1a0, 0x5c3d, 0x4f1e, {0x9a, 0x27, 0x3e, 0x51, 0xc0, 0x8d, 0x42, 0x7b}};

}  // namespace

bool ByteStream::ReadInPlace(IStream* stream, const std::function<void(const BYTE*, size_t)>& use) {
    void* self = nullptr;
    if (!stream || FAILED(stream->QueryInterface(kByteStreamId, &self)) || !self) return false;
    ByteStream* bytes = static_cast<ByteStream*>(self);
    {
        std::lock_guard<std::mutex> hold(bytes->m_lock);
        use(bytes->m_bytes.data(), bytes->m_bytes.size());
    }
    bytes->Release();
    return true;
}

HRESULT ByteStream::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == kByteStreamId) {
        *out = this;
        AddRef();
        return S_OK;
    }
    if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
        *out = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ByteStream::AddRef() {
    return ++m_refs;
}

ULONG ByteStream::Release() {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT ByteStream::Read(void* out, ULONG count, ULONG* done) {
    if (done) *done = 0;
    if (!out && count > 0) return STG_E_INVALIDPOINTER;
    if (m_stop && *m_stop) return E_ABORT;
    std::lock_guard<std::mutex> hold(m_lock);
    const ULONGLONG size = m_bytes.size();
    ULONG n = 0;
    if (m_position < size) n = static_cast<ULONG>(std::min<ULONGLONG>(count, size - m_position));
    if (n > 0) std::memcpy(out, m_bytes.data() + m_position, n);
    m_position += n;
    if (done) *done = n;
    return S_OK;
}

HRESULT ByteStream::Write(const void* in, ULONG count, ULONG* done) {
    if (done) *done = 0;
    if (count == 0) return S_OK;
    if (!in) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> hold(m_lock);
    const ULONGLONG end = m_position + count;
    if (end > kMaxSize) return STG_E_MEDIUMFULL;
    try {
        if (end > m_bytes.size()) m_bytes.resize(static_cast<size_t>(end));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(m_bytes.data() + m_position, in, count);
    m_position = end;
    if (done) *done = count;
    return S_OK;
}

HRESULT ByteStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    std::lock_guard<std::mutex> hold(m_lock);
    LONGLONG base = 0;
    switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(m_position); break;
        case STREAM_SEEK_END: base = static_cast<LONGLONG>(m_bytes.size()); break;
        default: return STG_E_INVALIDFUNCTION;
    }
    // A position may lie past the end (reads there give nothing), but never before the start nor
    // beyond what the stream could ever hold.
    const LONGLONG limit = static_cast<LONGLONG>(kMaxSize);
    if (move.QuadPart < -base || move.QuadPart > limit - base) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<ULONGLONG>(base + move.QuadPart);
    if (position) position->QuadPart = m_position;
    return S_OK;
}

HRESULT ByteStream::SetSize(ULARGE_INTEGER size) {
    if (size.QuadPart > kMaxSize) return STG_E_MEDIUMFULL;
    std::lock_guard<std::mutex> hold(m_lock);
    try {
        m_bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ByteStream::CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                           ULARGE_INTEGER* written) {
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    if (!target) return STG_E_INVALIDPOINTER;
    if (target == this) return STG_E_INVALIDFUNCTION;
    // Copied in pieces through Read, so that the lock is not held while the target works.
    BYTE piece[16384];
    ULONGLONG left = count.QuadPart;
    while (left > 0) {
        ULONG got = 0;
        Read(piece, static_cast<ULONG>(std::min<ULONGLONG>(left, sizeof piece)), &got);
        if (got == 0) break;
        if (read) read->QuadPart += got;
        ULONG put = 0;
        const HRESULT hr = target->Write(piece, got, &put);
        if (written) written->QuadPart += put;
        if (FAILED(hr)) return hr;
        if (put != got) return STG_E_MEDIUMFULL;
        left -= got;
    }
    return S_OK;
}

HRESULT ByteStream::Commit(DWORD) {
    return S_OK;
}

HRESULT ByteStream::Revert() {
    return S_OK;
}

HRESULT ByteStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT ByteStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT ByteStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof *stat);
    std::lock_guard<std::mutex> hold(m_lock);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = m_bytes.size();
    stat->grfMode = STGM_READWRITE;
    return S_OK;
}

HRESULT ByteStream::Clone(IStream** out) {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = nullptr;
    std::lock_guard<std::mutex> hold(m_lock);
    ByteStream* copy = Create(m_bytes.data(), m_bytes.size());
    if (!copy) return E_OUTOFMEMORY;
    copy->m_position = m_position;
    *out = copy;
    return S_OK;
}
