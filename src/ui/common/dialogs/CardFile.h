#pragma once

#include "exercise/ExerciseCard.h"

#include <optional>

namespace vantrel {

class Dialogs;

// A card file the user chooses, read as any card is; nothing when cancelled
// or refused (the box says why).
std::optional<ExerciseCard> askForCardFile(Dialogs& dialogs);

} // namespace vantrel
