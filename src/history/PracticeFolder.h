#pragma once

#include "history/PracticeSummary.h"
#include "practice/SessionFile.h"

#include <cstddef>
#include <cstdint>
#include <map>
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
// "_2" and so on. The name alone proves nothing: see ListedPractice::own.
bool isKeptPracticeName(const std::string& name);

// One file of the folder as the list shows it: its summary, or why it
// cannot be read (a damaged or foreign file, a folder, a device).
struct ListedPractice {
    std::string path;
    std::string name;
    std::optional<PracticeSummary> summary;
    std::string error;
    // A file Vantrel kept itself, the only kind it ever rewrites or removes:
    // a regular file (the entry itself, not a link), named as kept files are,
    // whose summary carries that very name as its mark (keptAs).
    bool own = false;
    // headIdentity of its first line: 0 without a summary there.
    std::uint64_t identity = 0;
};

// The summary of one file: from its first line when it has one there, else
// (a practice file saved elsewhere and put here) from the strict reading of
// the whole file, without counts. The file is opened first, without waiting
// (a pipe or a device never blocks), and what was opened is checked, so a
// path swapped in between is never read; never reads beyond the session
// file's limit.
ListedPractice readListedPractice(const std::string& path);

// The whole file read strictly, as 練習を開く reads it but opened as above,
// with the identity of its first line, so that what is computed from it is
// known to belong to the practice the list showed.
struct PracticeFileRead {
    SessionFileRead read;
    std::uint64_t identity = 0;
};
PracticeFileRead readPracticeFile(const std::string& path);

// The file's bytes as they are, opened as above, within the session file's
// limit; or why not.
struct FileBytes {
    std::optional<std::string> bytes;
    std::string error;
};
FileBytes readFileBytes(const std::string& path);

// The names of the folder's *.json entries (hidden ones aside), newest
// first as kept names sort by their time; none when the folder does not
// exist or cannot be read.
std::vector<std::string> practiceFileNames(const std::string& folder);

// Every *.json entry of the folder, read as above, in that order.
std::vector<ListedPractice> listPractices(const std::string& folder);

// The place the next kept practice takes: one past the highest of the
// folder's own files (1 in a folder without any).
std::uint64_t nextKeptOrder(const std::string& folder);

// Removes Vantrel's own kept files, lowest place first (the order they were
// first written, not the time their names claim), until at most `limit` own
// files remain. Never removes `keep` (the practice just kept) nor the own
// file with the highest place besides it (the one kept before it). Returns
// the number removed.
std::size_t pruneKeptPractices(const std::string& folder, std::size_t limit,
                               const std::string& keep);

// 上位 N% of the kept practices, computed long after their files were
// written, is kept beside them in a small file of its own, so that no
// practice is ever rewritten for it. Each value names the file and the
// identity of its first line, so a file changed since (or another under the
// same name) does not take it.
inline constexpr const char* kTopPercentFileName = ".vantrel-top-percent.json";
inline constexpr std::size_t kTopPercentFileMaxBytes = 16u * 1024u * 1024u;
struct TopPercent {
    std::uint64_t identity = 0;
    double topPercent = 0;
};
using TopPercents = std::map<std::string, TopPercent>;

// The folder's index: empty when there is none; nothing when something else
// stands under its name (not a regular file of its own, a link, a foreign or
// damaged file), which is then never written over.
std::optional<TopPercents> readTopPercents(const std::string& folder);
// The index's text, marked as Vantrel's own.
std::string topPercentsText(const TopPercents& values);

} // namespace vantrel
