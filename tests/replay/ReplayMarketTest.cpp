#include "replay/ReplayTool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string csv(const std::vector<std::string>& args, int* status = nullptr) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = vantrel::runReplay(args, out, err);
    if (status)
        *status = code;
    return out.str() + err.str();
}

} // namespace

TEST(ReplayTool, MarketOneIsTheDefaultAndOtherNumbersDifferAndRepeat) {
    const std::string standard = csv({"--ticks", "600", "--board"});
    EXPECT_EQ(csv({"--ticks", "600", "--board", "--market", "1"}), standard);
    const std::string second = csv({"--market=2", "--ticks", "600", "--board"});
    EXPECT_NE(second, standard);
    EXPECT_EQ(csv({"--market", "2", "--ticks", "600", "--board"}), second);
}

TEST(ReplayTool, BadMarketNumbersExitTwoWithOneLine) {
    for (const char* bad : {"0", "10000", "-1", "two"}) {
        int status = 0;
        EXPECT_EQ(csv({"--market", bad}, &status),
                  "vantrel-market: --market takes a whole number from 1 to 9999, not '" +
                      std::string(bad) + "'\n");
        EXPECT_EQ(status, 2);
    }
    int status = 0;
    EXPECT_EQ(csv({"--market"}, &status), "vantrel-market: --market needs a market number\n");
    EXPECT_EQ(status, 2);
}
