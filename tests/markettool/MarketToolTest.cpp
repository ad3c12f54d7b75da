#include "markettool/MarketTool.h"
#include "results/Measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

struct Replay {
    int status;
    std::string out, err;
    explicit Replay(const std::vector<std::string>& args) {
        std::ostringstream outStream, errStream;
        status = vantrel::runMarketTool(args, outStream, errStream);
        out = outStream.str();
        err = errStream.str();
    }
};

const std::string kHeader = "tick,centre,last,ask,ask_shares,bid,bid_shares";

TEST(MarketTool, FirstTicksMatchTheKnownMarket) {
    EXPECT_EQ(Replay({"--ticks", "3"}).out, kHeader + "\n"
                                                      "1,500,500,501,7000,500,4000\n"
                                                      "2,500,500,501,7000,500,1000\n"
                                                      "3,498,500,501,7000,500,1000\n");
    EXPECT_EQ(Replay({"--ticks=1", "--board"}).out,
              kHeader + ",r1,r2,r3,r4,r5,r6,r7,r8,r9,r10,r11\n"
                        "1,500,500,501,7000,500,4000,505/4000/0,504/0/0,503/12000/0,502/9000/0,"
                        "501/7000/0,500/0/4000,499/0/3000,498/0/5000,497/0/20000,496/0/7000,"
                        "495/0/8000\n");
    // Tick 2 sells 3000 shares into the bid of 4000 at 500; ticks 1 and 3 trade nothing.
    EXPECT_EQ(Replay({"--ticks", "3", "--tape"}).out,
              kHeader + ",trade,trade_price,trade_shares\n"
                        "1,500,500,501,7000,500,4000,,,\n"
                        "2,500,500,501,7000,500,1000,sell,500,3000\n"
                        "3,498,500,501,7000,500,1000,,,\n");
    EXPECT_EQ(Replay({"--ticks", "0"}).out, kHeader + "\n");
    const Replay sixty({});
    EXPECT_EQ(std::count(sixty.out.begin(), sixty.out.end(), '\n'), 61);
    EXPECT_EQ(sixty.status + sixty.err.size(), 0u);
}

// The market replays the same way run after run: its board after many ticks
// pins every rule of the crowd and the refills at once.
TEST(MarketTool, TickOneHundredThousandStaysTheSame) {
    const std::string out = Replay({"--ticks", "100000", "--board"}).out;
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1),
              "100000,550,557,558,6000,557,2000,562/4000/0,561/13000/0,560/2000/0,559/20000/0,"
              "558/6000/0,557/0/2000,556/0/39000,555/0/16000,554/0/84000,553/0/7000,552/0/12000\n");
}

TEST(MarketTool, BadArgumentsExitTwoWithOneLine) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--ticks"},
                                               {"--ticks", "-1"},
                                               {"--ticks", "100000001"},
                                               {"--ticks", "12x"},
                                               {"--ticks", ""},
                                               {"--ticks", "99999999999999999999"},
                                               {"--frobnicate"},
                                               {"--market", "10000"},
                                               {"--market"},
                                               {"--ticks", "5", "--ticks", "5"},
                                               {"--market=2", "--market", "3"},
                                               {"--board", "--board"},
                                               {"--board=yes"},
                                               {"3"}}) {
        const Replay run(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    } // A session file gives its own market and length: refused before it is read.
    for (const char* option : {"--ticks=5", "--market=2", "--board", "--tape"})
        EXPECT_NE(Replay({"--session", "missing.json", option}).err.find("takes no"),
                  std::string::npos);
}

// The market number picks the market; 1 is the standard one.
TEST(MarketTool, MarketNumberChoosesTheMarket) {
    const std::string standard = Replay({"--ticks", "600"}).out;
    EXPECT_EQ(Replay({"--ticks", "600", "--market", "1"}).out, standard);
    EXPECT_NE(Replay({"--market=2", "--ticks", "600"}).out, standard);
    EXPECT_EQ(Replay({"--market", "2", "--ticks", "600"}).out,
              Replay({"--market=2", "--ticks", "600"}).out);
    // The tape only adds columns: the market it shows is the same.
    std::istringstream plain(Replay({"--market=17", "--ticks=3600"}).out);
    std::istringstream taped(Replay({"--market=17", "--ticks=3600", "--tape"}).out);
    int rows = 0;
    for (std::string p, t; std::getline(plain, p) && std::getline(taped, t); ++rows) {
        for (int column = 0; column < 3; ++column)
            t.erase(t.rfind(','));
        ASSERT_EQ(t, p);
    }
    EXPECT_EQ(rows, 3601);
    // Leading zeros change nothing, however many.
    EXPECT_EQ(Replay({"--market", "000000002", "--ticks", "0000000000009"}).out,
              Replay({"--market=2", "--ticks", "9"}).out);
}

// --explain only adds lines: under each result of the sample session, its
// explanation indented by two blanks; taken out again, the output is the
// plain replay byte for byte.
TEST(MarketTool, ExplainTeachesUnderEachResult) {
    std::map<std::string, std::string> explanations;
    for (std::size_t i = 0; i < vantrel::kMeasures; ++i) {
        const vantrel::MeasureInfo& info = vantrel::measureInfo(static_cast<vantrel::Measure>(i));
        if (info.caption)
            explanations[std::string(info.caption) + '='] = info.explanation;
    }
    std::istringstream plain(Replay({"--session", VANTREL_SAMPLE_SESSION}).out);
    std::string expected;
    std::size_t results = 0;
    for (std::string line; std::getline(plain, line);) {
        expected += line + '\n';
        const auto found = explanations.find(line.substr(0, line.find('=') + 1));
        if (found == explanations.end())
            continue;
        expected += "  " + found->second + '\n';
        ++results;
    }
    EXPECT_EQ(Replay({"--session", VANTREL_SAMPLE_SESSION, "--explain"}).out, expected);
    EXPECT_EQ(results, explanations.size()); // every figure and statistic, once
    // Without a session there is nothing to explain, and a verdict has no figures.
    EXPECT_EQ(Replay({"--explain"}).status, 2);
    EXPECT_EQ(Replay({"--session", VANTREL_SAMPLE_SESSION, "--verify", "--explain"}).status, 2);
    EXPECT_NE(Replay({"--help"}).out.find("--explain"), std::string::npos);
}

TEST(MarketTool, HelpAndAReaderThatWentAway) {
    EXPECT_EQ(Replay({"--ticks", "5", "-h"}).out.rfind("usage: vantrel-market", 0), 0u);
    EXPECT_EQ(Replay({"--help"}).out, Replay({"-h"}).out);
    std::ostringstream out, err;
    out.setstate(std::ios::badbit); // what a closed pipe leaves behind
    EXPECT_EQ(vantrel::runMarketTool({"--ticks", "100000000"}, out, err), 0);
    EXPECT_EQ(err.str(), "");
}

} // namespace
