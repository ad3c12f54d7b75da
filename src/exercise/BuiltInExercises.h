#pragma once

#include <vector>

namespace vantrel {

// One card the program comes with: its file's name and its text.
struct BuiltInExercise {
    const char* fileName;
    const char* text;
};

// The built-in cards, easiest first. They are compiled in from
// resources/exercises, so the program needs no folder to find them; the same
// files are installed beside it (share/vantrel/exercises) to copy and change.
const std::vector<BuiltInExercise>& builtInExercises();

} // namespace vantrel
