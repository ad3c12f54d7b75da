#include "ProcessMemory.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
#define VANTREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_ASAN 1
#endif
#endif

#ifdef VANTREL_ASAN
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace vantrel::soak {

ProcessMemory readProcessMemory() {
    ProcessMemory memory;
#if defined(__linux__)
    // statm: total and resident size, in pages.
    std::ifstream statm("/proc/self/statm");
    std::int64_t total = 0;
    std::int64_t resident = 0;
    if (statm >> total >> resident)
        memory.currentRss = resident * sysconf(_SC_PAGESIZE);
#endif
#if defined(__unix__) || defined(__APPLE__)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) {
#if defined(__APPLE__)
        memory.peakRss = usage.ru_maxrss; // bytes
#else
        memory.peakRss = static_cast<std::int64_t>(usage.ru_maxrss) * 1024; // kibibytes
#endif
    }
#endif
#ifdef VANTREL_ASAN
    memory.liveHeap = static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#endif
    return memory;
}

} // namespace vantrel::soak
