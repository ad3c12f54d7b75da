#include "exercise/GradeTable.h"

#include "exercise/ExerciseScore.h"

#include "base/NumberText.h"
#include "results/CsvTable.h"

#include <array>

namespace vantrel {

namespace {

std::string number(const std::optional<double>& value, int decimals) {
    return value ? plainDecimal(roundTo(*value, decimals)) : "";
}

} // namespace

std::string safeCsvText(const std::string& text) {
    std::string cell = text;
    if (!cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' || cell[0] == '@' ||
                          cell[0] == '\t' || cell[0] == '\r'))
        cell.insert(cell.begin(), '\'');
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string gradeScoreText(double score, const std::string& unit) {
    return plainDecimal(roundTo(score, exerciseScoreDecimals(unit)));
}

const std::array<const char*, kGradeColumns>& gradeCaptions() {
    static const std::array<const char*, kGradeColumns> captions = {
        "氏名", "ファイル", "課題", "市場番号", "得点",
        "単位", "合格",     "順位", "平均順位", "同じ課題を偶然で 上位 (%)",
        "理由"};
    return captions;
}

std::array<std::string, kGradeColumns> gradeCells(const std::vector<ExerciseCard>& cards,
                                                  const std::vector<GradedAttempt>& attempts,
                                                  std::size_t index) {
    const GradedAttempt& a = attempts[index];
    std::string reason;
    if (!a.graded())
        reason = std::string(gradeRefusalName(a.refusal)) + "：" + a.detail;
    else if (a.samePressesAs)
        reason = "同じ操作のファイルが先にあります：" + attempts[*a.samePressesAs].file;
    return {a.name,
            a.file,
            a.card ? cards[*a.card].title : "",
            a.market ? std::to_string(*a.market) : "",
            a.score ? gradeScoreText(*a.score, a.unit) : "",
            a.unit,
            a.graded() ? (a.passed ? "合格" : "不合格") : "",
            a.rank ? std::to_string(*a.rank) : "",
            number(a.meanRank, 2),
            number(a.topPercent, 1),
            reason};
}

std::string gradeCsv(const std::vector<ExerciseCard>& cards,
                     const std::vector<GradedAttempt>& attempts) {
    std::vector<std::size_t> rows(attempts.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    return csvTable(gradeCaptions(), rows, [&](std::size_t i) {
        std::array<std::string, kGradeColumns> cells = gradeCells(cards, attempts, i);
        // Only the text a student or a folder chose can start a formula.
        for (const GradeColumn text : {GradeName, GradeFile, GradeCard, GradeReason})
            cells[text] = safeCsvText(cells[text]);
        return cells;
    });
}

} // namespace vantrel
