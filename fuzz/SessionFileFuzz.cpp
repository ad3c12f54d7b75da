// Feeds arbitrary bytes to the session file reader: nothing may crash or
// invoke undefined behaviour, and a file that reads must write back to a text
// that reads to the same record.
#include "practice/SessionFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vantrel::SessionFileRead read = vantrel::readSessionFile(text);
    if (!read.record) {
        if (read.error.empty())
            std::abort();
        return 0;
    }
    const std::string written = vantrel::writeSessionFile(*read.record);
    const vantrel::SessionFileRead again = vantrel::readSessionFile(written);
    if (!again.record || vantrel::writeSessionFile(*again.record) != written)
        std::abort();
    return 0;
}
