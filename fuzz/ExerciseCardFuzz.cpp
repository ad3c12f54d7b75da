// Feeds arbitrary bytes to the exercise card reader: nothing may crash, a
// refusal always says why, and a card that reads writes back to a text that
// reads to the same card.
#include "exercise/ExerciseCard.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vantrel::ExerciseCardRead read = vantrel::readExerciseCard(text);
    if (!read.card) {
        if (read.error.empty())
            std::abort();
        return 0;
    }
    const std::string written = vantrel::writeExerciseCard(*read.card);
    const vantrel::ExerciseCardRead again = vantrel::readExerciseCard(written);
    if (!again.card || vantrel::writeExerciseCard(*again.card) != written)
        std::abort();
    return 0;
}
