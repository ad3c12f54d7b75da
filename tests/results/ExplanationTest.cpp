#include "results/Measure.h"
#include "results/ResultsText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace vantrel;

namespace {

// Every caption shown, with its explanation: the figures, the statistics,
// the comparison with chance and the round-trip columns.
std::vector<std::pair<std::string, std::string>> explainedCaptions() {
    std::vector<std::pair<std::string, std::string>> captions;
    for (std::size_t i = 0; i < kMeasures; ++i) {
        const MeasureInfo& info = measureInfo(static_cast<Measure>(i));
        EXPECT_EQ(info.caption == nullptr, info.explanation == nullptr) << info.key;
        if (info.caption && info.explanation)
            captions.emplace_back(info.caption, info.explanation);
    }
    for (const RoundTripColumn& column : roundTripColumns())
        captions.emplace_back(column.caption, column.explanation);
    return captions;
}

// Each shown caption has sentences of its own (a text copied to a second row
// would explain the wrong figure there), and the manual's tables carry them
// word for word, each on the row of its caption.
TEST(Explanations, EveryShownNumberHasItsOwnSentencesAndTheReadmeSaysTheSame) {
    std::ifstream readme(VANTREL_README);
    ASSERT_TRUE(readme) << VANTREL_README;
    std::vector<std::string> rows;
    for (std::string line; std::getline(readme, line);)
        if (line.rfind("| ", 0) == 0)
            rows.push_back(line);
    std::set<std::string> seen;
    for (const auto& [caption, explanation] : explainedCaptions()) {
        EXPECT_TRUE(seen.insert(explanation).second) << caption << " repeats " << explanation;
        bool inReadme = false;
        for (const std::string& row : rows)
            inReadme = inReadme || (row.rfind("| " + caption + " |", 0) == 0 &&
                                    row.find("| " + explanation + " |") != std::string::npos);
        EXPECT_TRUE(inReadme) << "no README row | " << caption << " | … | " << explanation << " |";
    }
}

} // namespace
