// Counts what the program allocates through operator new: the bytes still held, and the largest
// single request; and fails one request on demand. Linked into a test program, it replaces the
// global operator new and delete of that program (and of every library linked into it), so that a
// reader's leaks and its oversized allocations can be checked, and memory can run out on cue.
#pragma once

#include <cstddef>

namespace kvtest {

// Bytes allocated with operator new and not yet freed.
long long LiveAllocatedBytes();
// The largest single request since the last ResetLargestAllocation (also those that failed).
size_t LargestAllocation();
void ResetLargestAllocation();
// The next request of at least `bytes` fails (bad_alloc), as when memory runs out; 0 disarms.
void FailNextAllocationFrom(size_t bytes);
// Every request of exactly `bytes` fails until called again with 0: one kind of block that can
// never be had, whatever else the program allocates meanwhile.
void FailAllocationsOfSize(size_t bytes);

}  // namespace kvtest
