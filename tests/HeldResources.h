// What the test process holds, counted so that the mutation runs can tell a read that leaks
// handles or GDI objects or takes too much memory. Wine answers GetGuiResources and
// GetProcessHandleCount with 0 and its peak commit charge is only the current one, so each
// count here has a way that works under Wine as well as on Windows. And address space taken away
// on purpose, so that large memory cannot be had.
#pragma once

#include <cstddef>
#include <vector>

namespace kvtest {

// The process's GDI objects.
long GdiObjectCount();
// The process's kernel handles.
long KernelHandleCount();
// The most memory the process has had resident since it started.
size_t PeakResidentBytes();

// Leaves only `blocks` free ranges of `blockBytes` each in the process's address space (and
// what is smaller than 64 KB), so that larger bitmaps cannot be made; all is given back at the end.
class AddressSpaceSqueeze {
public:
    AddressSpaceSqueeze(size_t blockBytes, int blocks);
    ~AddressSpaceSqueeze() { Release(); }
    AddressSpaceSqueeze(const AddressSpaceSqueeze&) = delete;
    AddressSpaceSqueeze& operator=(const AddressSpaceSqueeze&) = delete;
    void Release();

private:
    std::vector<void*> m_held;
};

}  // namespace kvtest
