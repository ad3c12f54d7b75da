#include "exercise/GradeTable.h"

#include "base/NumberText.h"
#include "results/CsvTable.h"

#include <array>

namespace vantrel {

namespace {

constexpr std::size_t kGradeColumns = 11;

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

std::string gradeCsv(const std::vector<ExerciseCard>& cards,
                     const std::vector<GradedAttempt>& attempts) {
    static const std::array<const char*, kGradeColumns> captions = {
        "氏名", "ファイル", "課題", "市場番号", "得点",
        "単位", "合格",     "順位", "平均順位", "同じ課題を偶然で 上位 (%)",
        "理由"};
    return csvTable(captions, attempts, [&](const GradedAttempt& a) {
        const int decimals = a.unit == "円" ? 0 : a.unit == "%" ? 1 : 2;
        std::string reason;
        if (!a.graded())
            reason = std::string(gradeRefusalName(a.refusal)) + "：" + a.detail;
        else if (a.samePressesAs)
            reason = "同じ操作のファイルが先にあります：" + attempts[*a.samePressesAs].file;
        return std::array<std::string, kGradeColumns>{
            safeCsvText(a.name),
            safeCsvText(a.file),
            safeCsvText(a.card ? cards[*a.card].title : ""),
            a.market ? std::to_string(*a.market) : "",
            number(a.score, decimals),
            a.unit,
            a.graded() ? (a.passed ? "合格" : "不合格") : "",
            a.rank ? std::to_string(*a.rank) : "",
            number(a.meanRank, 2),
            number(a.topPercent, 1),
            safeCsvText(reason)};
    });
}

} // namespace vantrel
