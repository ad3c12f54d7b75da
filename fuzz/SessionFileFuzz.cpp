// Feeds arbitrary bytes to the session file reader: nothing may crash or
// invoke undefined behaviour, and a file that reads must write back (within
// the same limits) to a text that reads to the same record.
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
    const vantrel::SessionFileWrite written = vantrel::writeSessionFile(*read.record);
    // Only a file near the size limit may write back too long (one line per
    // action, "1" written as "1.0"); the reader's other limits the writer shares.
    if (!written.text) {
        if (size < vantrel::kSessionFileMaxBytes / 2)
            std::abort();
        return 0;
    }
    const vantrel::SessionFileRead again = vantrel::readSessionFile(*written.text);
    if (!again.record || vantrel::writeSessionFile(*again.record).text != written.text)
        std::abort();
    return 0;
}
