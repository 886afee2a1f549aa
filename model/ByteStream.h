// ByteStream: a COM stream over bytes held in memory that never reads, writes or copies outside
// them. Picture decoders are handed one: a damaged picture makes them seek far beyond its end,
// and the stream must answer such a read with no bytes rather than with memory after the block.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

class ByteStream final : public IStream {
public:
    // A new empty stream with one reference (the caller's); null when memory runs out.
    static ByteStream* Create();
    // A new stream holding a copy of `count` bytes, positioned at the start. Once `stop` (when
    // given) is set, every read fails: a decoder reading the stream gives up at its next read.
    static ByteStream* Create(const void* bytes, size_t count, const std::atomic<bool>* stop = nullptr);

    // Runs `use` on the bytes of a stream made here, in place and while no write can change them;
    // false, without running it, for any other stream.
    static bool ReadInPlace(IStream* stream, const std::function<void(const BYTE*, size_t)>& use);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* out, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* in, ULONG count, ULONG* done) override;
    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override;

    // The largest stream: what a 32-bit process can sensibly hold of one picture.
    static const ULONGLONG kMaxSize = 0x40000000;

private:
    ByteStream() = default;
    ~ByteStream() = default;

    std::atomic<ULONG> m_refs{1};
    std::mutex m_lock;
    std::vector<BYTE> m_bytes;
    ULONGLONG m_position = 0;
    const std::atomic<bool>* m_stop = nullptr;
};
