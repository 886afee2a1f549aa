// Counts what the program allocates through operator new: the bytes still held, and the largest
// single request. Linked into a test program, it replaces the global operator new and delete of
// that program (and of every library linked into it), so that a reader's leaks and its oversized
// allocations can be checked.
#pragma once

#include <cstddef>

namespace kvtest {

// Bytes allocated with operator new and not yet freed.
long long LiveAllocatedBytes();
// The largest single request since the last ResetLargestAllocation (also those that failed).
size_t LargestAllocation();
void ResetLargestAllocation();

}  // namespace kvtest
