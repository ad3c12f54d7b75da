#include "results/Measure.h"
#include "results/ResultsText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace vantrel;

namespace {

// Every caption that is shown, with its explanation: the figures, the
// statistics, the comparison with chance and the round-trip columns.
std::vector<std::pair<std::string, std::string>> explainedCaptions() {
    std::vector<std::pair<std::string, std::string>> captions;
    for (std::size_t i = 0; i < kMeasures; ++i) {
        const MeasureInfo& info = measureInfo(static_cast<Measure>(i));
        if (info.caption)
            captions.emplace_back(info.caption, info.explanation ? info.explanation : "");
    }
    for (const RoundTripColumn& column : roundTripColumns())
        captions.emplace_back(column.caption, column.explanation ? column.explanation : "");
    return captions;
}

// A number shown without words is what this guards against: each shown
// caption has its own explanation, whole sentences, and no two read alike
// (a text copied to a second row would explain the wrong figure there).
TEST(Explanations, EveryShownNumberHasItsOwnSentences) {
    for (std::size_t i = 0; i < kMeasures; ++i) {
        const MeasureInfo& info = measureInfo(static_cast<Measure>(i));
        EXPECT_EQ(info.caption == nullptr, info.explanation == nullptr) << info.key;
    }
    std::set<std::string> seen;
    for (const auto& [caption, explanation] : explainedCaptions()) {
        ASSERT_FALSE(explanation.empty()) << caption;
        const std::string end = "。";
        EXPECT_EQ(explanation.compare(explanation.size() - end.size(), end.size(), end), 0)
            << caption;
        EXPECT_EQ(explanation.find('\n'), std::string::npos) << caption;
        EXPECT_TRUE(seen.insert(explanation).second) << caption << " repeats " << explanation;
    }
    EXPECT_EQ(explanationLine(Measure::ProfitFactor),
              "  勝ちの合計が負けの合計の何倍か。1 より大きければ、勝ちが負けを上回っています。");
}

// The manual's tables carry the program's own sentences, each on the row of
// its caption, so the two cannot drift apart.
TEST(Explanations, TheReadmeSaysTheSame) {
    std::ifstream file(VANTREL_README);
    ASSERT_TRUE(file) << VANTREL_README;
    std::vector<std::string> rows;
    for (std::string line; std::getline(file, line);)
        if (line.rfind("| ", 0) == 0)
            rows.push_back(line);
    for (const auto& [caption, explanation] : explainedCaptions()) {
        bool found = false;
        for (const std::string& row : rows)
            found = found || (row.rfind("| " + caption + " |", 0) == 0 &&
                              row.find("| " + explanation + " |") != std::string::npos);
        EXPECT_TRUE(found) << "no README row | " << caption << " | … | " << explanation << " |";
    }
}

} // namespace
