#include "replay/ReplayTool.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string replayed(const std::vector<std::string>& args, int expectedStatus = 0) {
    std::ostringstream out, err;
    EXPECT_EQ(vantrel::runReplay(args, out, err), expectedStatus) << args.back();
    return out.str() + err.str();
}

} // namespace

TEST(ReplayTool, MarketOneIsTheDefaultAndOtherNumbersDifferAndRepeat) {
    const std::string standard = replayed({"--ticks", "600", "--board"});
    EXPECT_EQ(replayed({"--ticks", "600", "--board", "--market", "1"}), standard);
    const std::string second = replayed({"--market=2", "--ticks", "600", "--board"});
    EXPECT_NE(second, standard);
    EXPECT_EQ(replayed({"--market", "2", "--ticks", "600", "--board"}), second);
    EXPECT_EQ(replayed({"--market", "10000"}, 2),
              "vantrel-market: --market takes a whole number from 1 to 9999, not '10000'\n");
    EXPECT_EQ(replayed({"--market"}, 2), "vantrel-market: --market needs a market number\n");
}
