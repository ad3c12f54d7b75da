#include "replay/ReplayTool.h"

#include "base/CommandLine.h"
#include "base/NumberText.h"
#include "market/Market.h"
#include "market/MarketNumber.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>

namespace vantrel {

namespace {

constexpr std::uint64_t kDefaultTicks = 60;
constexpr std::uint64_t kMaxTicks = 100000000;

constexpr const char* kUsage =
    "usage: vantrel-market [--ticks N] [--market N] [--board]\n"
    "       vantrel-market --session FILE [--verify]\n"
    "Replays the simulated market from start-up and writes one CSV row per tick:\n"
    "tick,centre,last,ask,ask_shares,bid,bid_shares\n"
    "  --ticks N       number of ticks to run, 0 to 100000000 (default 60)\n"
    "  --market N      market number, 1 to 9999 (default 1, the standard market)\n"
    "  --board         add the eleven board rows r1..r11 as price/offered/bid\n"
    "  --session FILE  replay a saved practice session instead: one line per log\n"
    "                  message (market second, two blanks, the message), then one\n"
    "                  caption=value line per result\n"
    "  --verify        with --session: check the file's results against the replay;\n"
    "                  exit 0 if they agree, 1 (printing the differences) if not,\n"
    "                  2 if the file cannot be read\n"
    "  --help          show this help\n";

struct Options {
    std::uint64_t ticks = kDefaultTicks;
    int market = kStandardMarket;
    bool board = false;
    bool help = false;
    std::optional<std::string> session;
    bool verify = false;
};

// Returns an empty string on success, else the one line to complain with.
std::string parseOptions(const std::vector<std::string>& args, Options& options) {
    const CommandLineRead read = readCommandLineOptions(args, {{{"--help", "-h"}, ""},
                                                               {{"--board"}, ""},
                                                               {{"--verify"}, ""},
                                                               {{"--session"}, "a file name"},
                                                               {{"--ticks"}, "a number of ticks"},
                                                               {{"--market"}, "a market number"}});
    if (!read.problem.empty())
        return read.problem;
    const auto given = [&read](const char* name) -> const std::string* {
        const auto found = read.given.find(name);
        return found == read.given.end() ? nullptr : &found->second;
    };
    options.help = given("--help");
    options.board = given("--board");
    options.verify = given("--verify");
    if (const std::string* session = given("--session"))
        options.session = *session;
    if (const std::string* ticks = given("--ticks")) {
        const std::optional<std::uint64_t> number = readBoundedNumber(*ticks, 0, kMaxTicks);
        if (!number)
            return "--ticks takes a whole number from 0 to 100000000, not '" + *ticks + "'";
        options.ticks = *number;
    }
    if (const std::string* market = given("--market")) {
        const std::optional<int> number = parseMarketNumber(*market);
        if (!number)
            return "--market takes a whole number from 1 to 9999, not '" + *market + "'";
        options.market = *number;
    }
    if (options.verify && !options.session)
        return "--verify needs --session FILE";
    // A session names its own market and length; silently ignoring these
    // would print something other than what was asked for.
    if (options.session && (options.board || given("--ticks") || given("--market")))
        return "--session takes no --ticks, --market or --board (the file gives them)";
    return {};
}

// Returns the status: the session's log and results, or the verdict.
int runSession(const Options& options, std::ostream& out, std::ostream& err) {
    std::ifstream file(*options.session, std::ios::binary);
    std::ostringstream content;
    if (file) {
        // Refuse a huge file before reading it all.
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        file.seekg(0);
        if (size >= 0 && static_cast<std::uint64_t>(size) <= kSessionFileMaxBytes)
            content << file.rdbuf();
        else
            content << std::string(kSessionFileMaxBytes + 1, ' ');
    }
    if (!file) {
        err << "vantrel-market: cannot read '" << *options.session << "'\n";
        return 2;
    }
    const SessionFileRead read = readSessionFile(content.str());
    if (!read.record) {
        err << "vantrel-market: " << *options.session << ": " << read.error << '\n';
        return 2;
    }
    const HeadlessReplay replay = replaySession(*read.record);
    if (options.verify) {
        const std::vector<std::string> differences =
            differingResults(read.record->results, replay.results);
        for (const std::string& line : differences)
            out << line << '\n';
        if (differences.empty())
            out << "results agree\n";
        out.flush();
        return differences.empty() ? 0 : 1;
    }
    for (const std::string& line : replay.lines)
        out << line << '\n';
    for (const std::string& line : figureResultLines(replay.figures))
        out << line << '\n';
    out.flush();
    return 0;
}

void appendNumber(std::string& line, double value) {
    line += plainDecimal(value);
}

void writeHeader(std::string& line, bool board) {
    line = "tick,centre,last,ask,ask_shares,bid,bid_shares";
    if (board) {
        for (int r = 1; r <= Market::kBoardRows; ++r)
            line += ",r" + std::to_string(r);
    }
    line += '\n';
}

void writeRow(std::string& line, std::uint64_t tick, const Market& market, bool board) {
    line = std::to_string(tick);
    const Quotes quotes = market.quotes();
    for (double value : {market.centrePrice(), quotes.dblNowPrice, quotes.dblAskPrice,
                         quotes.dblAskAmount, quotes.dblBidPrice, quotes.dblBidAmount}) {
        line += ',';
        appendNumber(line, value);
    }
    if (board) {
        for (const BoardRow& row : market.boardRows()) {
            line += ',';
            appendNumber(line, row.price);
            line += '/';
            appendNumber(line, row.offered);
            line += '/';
            appendNumber(line, row.bid);
        }
    }
    line += '\n';
}

} // namespace

int runReplay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    const std::string problem = parseOptions(args, options);
    if (!problem.empty()) {
        err << "vantrel-market: " << problem << '\n';
        return 2;
    }
    if (options.help) {
        out << kUsage;
        return 0;
    }
    if (options.session)
        return runSession(options, out, err);

    Market market(options.market);
    market.StartUp();
    std::string line;
    writeHeader(line, options.board);
    out << line;
    for (std::uint64_t tick = 1; tick <= options.ticks && out; ++tick) {
        market.Tick();
        writeRow(line, tick, market, options.board);
        out << line;
    }
    // Stops at the first row that cannot be written; the program's end says
    // whether that was a reader going away or a failure.
    return 0;
}

} // namespace vantrel
