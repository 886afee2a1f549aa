// The counts of HeldResources.h, and its squeeze of the address space.
#include "HeldResources.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <vector>

namespace kvtest {

long GdiObjectCount() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    // Wine keeps the process's GDI objects in one table and takes a handle's table index alone
    // (no generation in the high word) for the object there: every live index has a type.
    long count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    return count;
}

long KernelHandleCount() {
    DWORD reported = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &reported) && reported != 0) return static_cast<long>(reported);
    // Each possible handle value asked. Not the system's handle list (NtQuerySystemInformation):
    // Wine's server walks a process that is ending at that moment and crashes, and with it every
    // program of the prefix (seen: a parallel test run lost its server and its registry).
    // Handles are given from the lowest free value up, so past 4096 free values in a row above
    // the last one in use there are no more.
    long count = 0;
    DWORD flags = 0;
    for (ULONG_PTR h = 4, last = 0; h < 0x40000 && h <= last + 4 * 4096; h += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) {
            ++count;
            last = h;
        }
    return count;
}

size_t PeakResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

AddressSpaceSqueeze::AddressSpaceSqueeze(size_t blockBytes, int blocks) {
    // Everything is taken in pieces of the block size, then in ever smaller pieces; then
    // `blocks` pieces that do not touch each other are given back.
    std::vector<char*> pieces;
    while (void* p = ::VirtualAlloc(nullptr, blockBytes, MEM_RESERVE, PAGE_NOACCESS))
        pieces.push_back(static_cast<char*>(p));
    for (size_t size = blockBytes / 2; size >= (64u << 10); size /= 2)
        while (void* p = ::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) m_held.push_back(p);
    std::sort(pieces.begin(), pieces.end());
    char* freedEnd = nullptr;
    int freed = 0;
    for (char* piece : pieces) {
        if (freed < blocks && piece != freedEnd) {
            ::VirtualFree(piece, 0, MEM_RELEASE);
            freedEnd = piece + blockBytes;
            ++freed;
        } else {
            m_held.push_back(piece);
        }
    }
}

void AddressSpaceSqueeze::Release() {
    for (void* p : m_held) ::VirtualFree(p, 0, MEM_RELEASE);
    m_held.clear();
}

}  // namespace kvtest
