#pragma once

#include <cstdint>

namespace vantrel::soak {

// This process's memory in bytes, -1 where the platform does not tell. The
// current resident size comes from /proc (Linux only), the peak from getrusage
// (any POSIX system), the live heap from AddressSanitizer's allocator (only in
// a build with it).
struct ProcessMemory {
    std::int64_t currentRss = -1;
    std::int64_t peakRss = -1;
    std::int64_t liveHeap = -1;
};

ProcessMemory readProcessMemory();

} // namespace vantrel::soak
