#include "replay/ReplayTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Replay {
    int status;
    std::string out;
    std::string err;
};

Replay replay(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = vantrel::runReplay(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(ReplayTool, ThreeTicksMatchTheKnownMarket) {
    const Replay run = replay({"--ticks", "3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "tick,centre,last,ask,ask_shares,bid,bid_shares\n"
                       "1,500,500,501,7000,500,4000\n"
                       "2,500,500,501,7000,500,1000\n"
                       "3,498,500,501,7000,500,1000\n");
}

TEST(ReplayTool, BoardColumnsShowTheFirstTicksRows) {
    const Replay run = replay({"--ticks=1", "--board"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "tick,centre,last,ask,ask_shares,bid,bid_shares,r1,r2,r3,r4,r5,r6,r7,r8,r9,r10,r11\n"
              "1,500,500,501,7000,500,4000,505/4000/0,504/0/0,503/12000/0,502/9000/0,"
              "501/7000/0,500/0/4000,499/0/3000,498/0/5000,497/0/20000,496/0/7000,495/0/8000\n");
}

TEST(ReplayTool, DefaultsToSixtyTicksAndZeroTicksGivesTheHeaderAlone) {
    const Replay sixty = replay({});
    EXPECT_EQ(std::count(sixty.out.begin(), sixty.out.end(), '\n'), 61);
    EXPECT_EQ(replay({"--ticks", "0"}).out, "tick,centre,last,ask,ask_shares,bid,bid_shares\n");
}

TEST(ReplayTool, BadArgumentsExitTwoWithOneLine) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--ticks"},
                                               {"--ticks", "-1"},
                                               {"--ticks", "100000001"},
                                               {"--ticks", "12x"},
                                               {"--ticks", ""},
                                               {"--ticks", "99999999999999999999"},
                                               {"--frobnicate"},
                                               {"3"}}) {
        const Replay run = replay(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST(ReplayTool, HelpPrintsUsage) {
    const Replay run = replay({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: vantrel-market", 0), 0u);
}

TEST(ReplayTool, StopsQuietlyWhenTheReaderGoesAway) {
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit); // what a closed pipe leaves behind
    EXPECT_EQ(vantrel::runReplay({"--ticks", "100000000"}, out, err), 0);
    EXPECT_EQ(err.str(), "");
}
