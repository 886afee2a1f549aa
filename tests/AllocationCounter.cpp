// The global operator new and delete with a byte count in front of every block.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> g_live{0};
std::atomic<size_t> g_largest{0};
std::atomic<size_t> g_failFrom{0};
std::atomic<size_t> g_failSize{0};

// Room for the size in front of the block, keeping the block's alignment.
const size_t kHeader = 16;

void* Allocate(size_t n) {
    size_t seen = g_largest.load();
    while (n > seen && !g_largest.compare_exchange_weak(seen, n)) {}
    size_t failFrom = g_failFrom.load();
    if (failFrom != 0 && n >= failFrom && g_failFrom.compare_exchange_strong(failFrom, 0)) return nullptr;
    if (n != 0 && n == g_failSize.load()) return nullptr;
    if (n > (size_t)-1 - kHeader) return nullptr;
    char* block = static_cast<char*>(std::malloc(n + kHeader));
    if (!block) return nullptr;
    *reinterpret_cast<size_t*>(block) = n;
    g_live += (long long)n;
    return block + kHeader;
}

void Free(void* p) {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    g_live -= (long long)*reinterpret_cast<size_t*>(block);
    std::free(block);
}

void* AllocateOrThrow(size_t n) {
    void* p = Allocate(n);
    if (!p) throw std::bad_alloc();
    return p;
}

}  // namespace

namespace kvtest {

long long LiveAllocatedBytes() {
    return g_live.load();
}

size_t LargestAllocation() {
    return g_largest.load();
}

void ResetLargestAllocation() {
    g_largest = 0;
}

void FailNextAllocationFrom(size_t bytes) {
    g_failFrom = bytes;
}

void FailAllocationsOfSize(size_t bytes) {
    g_failSize = bytes;
}

}  // namespace kvtest

void* operator new(size_t n) {
    return AllocateOrThrow(n);
}
void* operator new[](size_t n) {
    return AllocateOrThrow(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return Allocate(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, size_t) noexcept {
    Free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
