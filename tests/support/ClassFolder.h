#pragma once

#include "exercise/ExerciseCard.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

// A five-minute 買い集め of 2,000 shares on market 1 from second 600.
extern const char* const kClassCard;
ExerciseCard readCard(const std::string& text);

// An attempt's file: a market buy of the shares at each of the seconds after
// the start (and a market sale at each of `sells`'), scored as the 採点
// window scores it, handed in under `name`.
std::string attemptFile(const ExerciseCard& card, const std::string& name,
                        const std::map<std::uint64_t, std::string>& buys,
                        const std::map<std::uint64_t, std::string>& sells = {});

// The text with the first `from` replaced (a forgery's one change).
std::string replaced(std::string text, const std::string& from, const std::string& to);

// A class folder for kClassCard: `honest` students' own attempts, each buying
// at seconds of its own, then one file of every kind a grader must refuse or
// flag (another card, a loosened limit, a raised score, a forged name, a copy
// under another name, names that start a formula, a damaged file, one over
// the size limit and, where the system has them, a link and a pipe).
// Returns how many files it holds with a name ending in .json.
int writeClass(const std::filesystem::path& folder, int honest);

} // namespace vantrel::test
