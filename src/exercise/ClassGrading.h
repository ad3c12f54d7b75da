#pragma once

#include "exercise/ExerciseCard.h"
#include "practice/ChanceComparison.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Why a handed-in file was not graded. A folder of attempts is untrusted:
// each file is either graded from its presses or refused for one of these.
enum class GradeRefusal {
    None,
    Damaged,        // not a session file this program reads, or not a whole attempt
    AnotherCard,    // a free practice, or an attempt of a card other than these
    NotFromPresses, // its presses break the card, or its stored result is not theirs
    TooLarge,       // over the session file's size limit: not read at all
    Link,           // a link in a folder: never followed
    NotAFile,       // a pipe, a device, a folder given as an attempt
};
// "壊れています" and the like, as the table shows it.
const char* gradeRefusalName(GradeRefusal refusal);

// One handed-in file, graded or refused. Everything but the name is
// recomputed from the presses; the stored result is only compared.
struct GradedAttempt {
    std::string file;      // as given, or the folder joined with the entry
    bool inFolder = false; // found in a folder, not named by the user: no link is followed
    std::string name;      // 氏名, empty when none was given
    std::optional<int> market;
    std::optional<std::size_t> card; // which of the cards it is an attempt of
    std::optional<double> score;
    std::string unit; // the score's: "bp", "円", "%"
    bool passed = false;
    std::optional<double> topPercent; // the same task at random
    // The middle of the same task at random, in the score's unit (往復's
    // score being a 上位 N%, its middle is 50).
    std::optional<double> randomMedian;
    GradeRefusal refusal = GradeRefusal::None;
    std::string detail; // what exactly was wrong, for a refusal
    // An earlier attempt (an index into the class) with the very same
    // presses on the same market: handed in twice, perhaps under two names.
    std::optional<std::size_t> samePressesAs;
    std::optional<int> rank; // among the attempts of the same card, 1 the best
    // The mean of the ranks the same student (by name, else by file) got
    // in each card: steady work across cards beats one lucky attempt.
    std::optional<double> meanRank;
    // Of the presses and the market: equal for the same presses.
    std::uint64_t pressesDigest[2] = {0, 0};

    bool graded() const { return refusal == GradeRefusal::None; }
};

// The files a class handed in, in the order given: a file as it is; a
// folder's entries whose names end in ".json", in name order, its subfolders
// passed over, and links among them kept to be refused, never followed.
std::vector<GradedAttempt> handIns(const std::vector<std::string>& paths);

// Grades each hand-in against the cards (read strictly elsewhere) on up to
// `threads` threads (0: as many as the machine has cores), then ranks them
// card by card and student by student. The result is the same whatever the
// number of threads. progress hears the fraction of files done, from any of
// the threads; a cancel stops the work and leaves the class empty.
std::vector<GradedAttempt> gradeClass(const std::vector<ExerciseCard>& cards,
                                      std::vector<GradedAttempt> attempts, unsigned threads = 0,
                                      const ChanceProgress& progress = {});

// The scores of one card's graded attempts as a histogram (a copy under
// another name counted once), with the middle of the random traders' middles
// for comparison; bins is empty when none was scored.
struct ClassHistogram {
    std::vector<ChanceBin> bins;
    std::optional<double> randomMedian;
    std::string unit;
    int scored = 0;
};
ClassHistogram classHistogram(const std::vector<GradedAttempt>& attempts, std::size_t card);

} // namespace vantrel
