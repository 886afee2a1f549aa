// What the test process holds, counted so that the mutation runs can tell a read that leaks
// handles or GDI objects or takes too much memory. Wine answers GetGuiResources and
// GetProcessHandleCount with 0 and its peak commit charge is only the current one, so each
// count here has a way that works under Wine as well as on Windows.
#pragma once

#include <cstddef>

namespace kvtest {

// The process's GDI objects.
long GdiObjectCount();
// The process's kernel handles.
long KernelHandleCount();
// The most memory the process has had resident since it started.
size_t PeakResidentBytes();

}  // namespace kvtest
