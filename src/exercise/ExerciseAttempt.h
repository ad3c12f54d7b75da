#pragma once

#include "exercise/ExerciseCard.h"
#include "exercise/ExerciseRun.h"
#include "exercise/ExerciseScore.h"
#include "practice/SessionFile.h"
#include "practice/SessionRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// What an attempt's file claims about its exercise: stored so that a
// replay can check it. The numbers behind the score are not stored: they
// follow from the presses, and the replay shows them.
struct StoredExerciseResult {
    ExerciseEnd ending = ExerciseEnd::TimeUp;
    std::optional<double> score;
    bool passed = false;
    std::optional<double> topPercent; // the same task at random
};

// The student's name (氏名) an attempt handed in carries: the only thing a
// grader reads from the file without recomputing it, so it is kept short and
// free of control characters. The reader refuses a name beyond these rather
// than cutting it: no window writes one, so such a file was made by hand.
inline constexpr std::size_t kAttemptNameMaxCharacters = 40;
// Why a name cannot be an attempt's, or empty when it can (empty included).
std::string attemptNameProblem(const std::string& name);

// The practice of an ended exercise as its file holds it: the session, its
// card and its score under "exercise".
SessionRecord attemptRecord(const ExerciseRun& run, const ExerciseScore& score);
// The "exercise" member itself: the card, the student's name when given, and
// the result once scored. A practice under way carries the card alone, so it
// is kept as an attempt.
std::string exerciseMember(const ExerciseCard& card, const ExerciseScore* score = nullptr,
                           const std::string& name = {});

// A session file's exercise read strictly: the card checked as any card
// file is, the stored result, and the record's opening set from the card.
// A free practice comes back with neither card nor result.
struct AttemptRead {
    std::optional<SessionRecord> record;
    std::optional<ExerciseCard> card;
    std::optional<StoredExerciseResult> stored;
    std::string error;
    std::string name;  // 氏名; empty when the attempt carries none
    bool link = false; // a link, refused unread
};
AttemptRead readAttempt(SessionRecord record);
AttemptRead openAttempt(const std::string& path, LinkFollowing links = LinkFollowing::Follow);

// An attempt played again from its presses alone, each checked against the
// card's limits as it was live; the score and the same task at random
// recomputed. error says why the presses cannot be this card's attempt (a
// press that breaks a limit, or one after the exercise ended).
struct AttemptReplay {
    std::optional<ExerciseFacts> facts;
    std::optional<ExerciseScore> score;
    std::string error;
};
AttemptReplay replayAttempt(const SessionRecord& record, const ExerciseCard& card,
                            const ChanceProgress& progress = {});

// The stored result against the replay's, one "key: file X, replay Y" line
// each; empty when they agree exactly.
std::vector<std::string> differingExercise(const StoredExerciseResult& stored,
                                           const ExerciseScore& replayed);

// The exercise block of the headless output, one "caption=value" line each;
// grouped, the numbers' whole parts are grouped by threes, as the 採点
// window shows them ("2,000"), where the output keeps them plain.
std::vector<std::string> exerciseLines(const ExerciseCard& card, const ExerciseScore& score,
                                       bool grouped = false);

} // namespace vantrel
