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
    // The system's handle list, this process's entries counted.
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
    static const QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    const ULONG kSystemHandleInformation = 16;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
    std::vector<char> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
               kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const Entry* entry = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    const DWORD pid = GetCurrentProcessId();
    long count = 0;
    for (ULONG i = 0; i < entries; ++i)
        if (entry[i].ownerPid == pid) ++count;
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
