#pragma once

#include "exercise/ClassGrading.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vantrel {

// A text cell as a spreadsheet may safely read it. A cell that starts with
// =, +, -, @, a tab or a carriage return would be taken for a formula, so it
// gets an apostrophe before it (the spreadsheet's own mark for "text"); a
// cell holding a comma, a quote or a line break is quoted, quotes doubled.
std::string safeCsvText(const std::string& text);

// The graded class's table: 氏名, ファイル, 課題, 市場番号, 得点, 単位, 合格,
// 順位, 平均順位, the same task at random's 上位 (%), and 理由 (a refusal's
// reason, or the earlier file with the same presses). The window shows these
// cells as they are; the CSV makes its text cells safe first.
inline constexpr std::size_t kGradeColumns = 11;
enum GradeColumn : std::size_t {
    GradeName,
    GradeFile,
    GradeCard,
    GradeMarket,
    GradeScore,
    GradeUnit,
    GradePassed,
    GradeRank,
    GradeMeanRank,
    GradeTopPercent,
    GradeReason,
};
const std::array<const char*, kGradeColumns>& gradeCaptions();
// A score as the table writes it, to its unit's decimals, plain.
std::string gradeScoreText(double score, const std::string& unit);
std::array<std::string, kGradeColumns> gradeCells(const std::vector<ExerciseCard>& cards,
                                                  const std::vector<GradedAttempt>& attempts,
                                                  std::size_t index);

// The graded class as CSV (UTF-8 with a byte-order mark, CRLF), one row an
// attempt in the class's order.
std::string gradeCsv(const std::vector<ExerciseCard>& cards,
                     const std::vector<GradedAttempt>& attempts);

} // namespace vantrel
