#pragma once

#include "history/PracticeSummary.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// How many practices the folder keeps: a practice a day for almost three
// years. Kept files are typically a few kilobytes (a thousand of them take a
// few megabytes) and at most the session file's own limit.
inline constexpr std::size_t kKeptPracticesLimit = 1000;
// The first bytes of a file the list reads; a kept file's first line, the
// summary in it, takes a few hundred.
inline constexpr std::size_t kSummaryHeadBytes = 4096;

// "2026-12-07_031205_market1.json": when it started (local time) and where.
// A second practice started in the same second on the same market gets
// "_2" and so on. Only files named so are ever removed for the limit.
bool isKeptPracticeName(const std::string& name);

// One file of the folder as the list shows it: its summary, or why it
// cannot be read (a damaged or foreign file, a folder, a device).
struct ListedPractice {
    std::string path;
    std::string name;
    std::optional<PracticeSummary> summary;
    std::string error;
};

// The summary of one file: from its first line when it has one there, else
// (a practice file saved elsewhere and put here) from the strict reading of
// the whole file, without counts. Never blocks on a pipe or a device and
// never reads beyond the session file's limit.
ListedPractice readListedPractice(const std::string& path);

// Every *.json entry of the folder, newest first (kept names sort by their
// time); an empty list when the folder does not exist or cannot be read.
std::vector<ListedPractice> listPractices(const std::string& folder);

// Removes the oldest kept files until at most `limit` remain, never `keep`
// (the practice under way). Returns the number removed.
std::size_t pruneKeptPractices(const std::string& folder, std::size_t limit,
                               const std::string& keep);

} // namespace vantrel
