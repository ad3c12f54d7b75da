#include "markettool/MarketTool.h"

#include "base/CommandLine.h"
#include "base/NumberText.h"
#include "exercise/ClassGrading.h"
#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseCard.h"
#include "exercise/GradeTable.h"
#include "market/Market.h"
#include "market/MarketNumber.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"

#include <cstdint>
#include <new>
#include <optional>
#include <ostream>

namespace vantrel {

namespace {

constexpr std::uint64_t kDefaultTicks = 60;
constexpr std::uint64_t kMaxTicks = 100000000;

constexpr const char* kUsage =
    "usage: vantrel-market [--ticks N] [--market N] [--board] [--tape]\n"
    "       vantrel-market --session FILE [--verify | --explain]\n"
    "       vantrel-market --exercise CARD\n"
    "       vantrel-market --grade CARD [--grade CARD...] FILE_OR_FOLDER...\n"
    "Replays the simulated market from start-up and writes one CSV row per tick:\n"
    "tick,centre,last,ask,ask_shares,bid,bid_shares\n"
    "  --ticks N       number of ticks to run, 0 to 100000000 (default 60)\n"
    "  --market N      market number, 1 to 9999 (default 1, the standard market)\n"
    "  --board         add the eleven board rows r1..r11 as price/offered/bid\n"
    "  --tape          add the tick's trade: trade (buy or sell), trade_price and\n"
    "                  trade_shares (0: the price moved without shares meeting);\n"
    "                  empty when the tick traded nothing\n"
    "  --session FILE  replay a saved practice session instead: one line per log\n"
    "                  message (market second, two blanks, the message), then one\n"
    "                  caption=value line per result; after a blank line the\n"
    "                  round-trip statistics and the comparison with chance;\n"
    "                  after another, a review of each closed round trip;\n"
    "                  for an exercise's attempt, after another blank line, its\n"
    "                  score, how it came about and the same task at random\n"
    "  --verify        with --session: check the file's results against the replay;\n"
    "                  exit 0 if they agree, 1 (printing the differences) if not,\n"
    "                  2 if the file cannot be read; an attempt's presses are\n"
    "                  checked against its card and its score recomputed\n"
    "  --explain       with --session: under each result, an indented line that\n"
    "                  says in Japanese what it means and how to read it\n"
    "  --exercise CARD check an exercise card and show what the learner is told\n"
    "  --grade CARD    grade a class's attempts of the card (each FILE, and each\n"
    "                  .json in each FOLDER) from their presses alone: one CSV row\n"
    "                  an attempt; a refused file says why, here and on stderr;\n"
    "                  with several cards, the mean of each student's ranks; exit\n"
    "                  0 when every file was graded, 1 when any was refused, 2\n"
    "                  when none could be graded\n"
    "  --help          show this help\n";

struct Options {
    std::uint64_t ticks = kDefaultTicks;
    int market = kStandardMarket;
    bool board = false;
    bool tape = false;
    bool help = false;
    std::optional<std::string> session;
    std::optional<std::string> exercise;
    bool verify = false;
    bool explain = false;
};

// Returns an empty string on success, else the one line to complain with.
std::string parseOptions(const std::vector<std::string>& args, Options& options) {
    const CommandLineRead read = readCommandLineOptions(args, {{{"--help", "-h"}, ""},
                                                               {{"--board"}, ""},
                                                               {{"--tape"}, ""},
                                                               {{"--verify"}, ""},
                                                               {{"--explain"}, ""},
                                                               {{"--session"}, "a file name"},
                                                               {{"--exercise"}, "a file name"},
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
    options.tape = given("--tape");
    options.verify = given("--verify");
    options.explain = given("--explain");
    if (const std::string* session = given("--session"))
        options.session = *session;
    if (const std::string* exercise = given("--exercise"))
        options.exercise = *exercise;
    if (const std::string* ticks = given("--ticks")) {
        const std::optional<std::uint64_t> number = readBoundedNumber(*ticks, 0, kMaxTicks);
        if (!number)
            return "--ticks takes a whole number from 0 to 100000000, not '" +
                   shownArgument(*ticks) + "'";
        options.ticks = *number;
    }
    if (const std::string* market = given("--market")) {
        const std::optional<int> number = parseMarketNumber(*market);
        if (!number)
            return "--market takes a whole number from 1 to 9999, not '" + shownArgument(*market) +
                   "'";
        options.market = *number;
    }
    if (options.verify && !options.session)
        return "--verify needs --session FILE";
    if (options.explain && !options.session)
        return "--explain needs --session FILE";
    // The verdict has no results to explain.
    if (options.explain && options.verify)
        return "--explain and --verify do not go together";
    if (options.exercise && read.given.size() > 1)
        return "--exercise takes no other option";
    // A session names its own market and length; silently ignoring these
    // would print something other than what was asked for.
    if (options.session && (options.board || options.tape || given("--ticks") || given("--market")))
        return "--session takes no --ticks, --market, --board or --tape (the file gives them)";
    return {};
}

// Returns the status: the session's log and results, or the verdict.
int replayFile(const Options& options, std::ostream& out, std::ostream& err) {
    AttemptRead read = openAttempt(*options.session);
    if (!read.record) {
        err << "vantrel-market: " << shownArgument(*options.session) << ": " << read.error << '\n';
        return 2;
    }
    // The exercise is played again from the presses through its card's checks.
    std::optional<AttemptReplay> attempt;
    if (read.card)
        attempt = replayAttempt(*read.record, *read.card);
    // The branches are replayed after the practice, each a record of its own.
    const std::vector<PracticeBranch> branches = std::move(read.record->branches);
    const int market = read.record->market;
    const auto replayBranch = [market](const PracticeBranch& branch) {
        return replaySession(branchRecord(market, branch), [](const std::string&) {});
    };
    if (options.verify) {
        // Only the results count here; the log is not kept.
        const SessionResults claimed = read.record->results;
        const HeadlessReplay replay =
            replaySession(std::move(*read.record), [](const std::string&) {});
        std::vector<std::string> differences = differingResults(claimed, replay.results);
        if (attempt && !attempt->error.empty())
            differences.push_back("exercise: " + attempt->error);
        else if (attempt && read.stored)
            for (std::string& line : differingExercise(*read.stored, *attempt->score))
                differences.push_back(std::move(line));
        for (std::size_t i = 0; i < branches.size(); ++i)
            for (const std::string& line :
                 differingResults(branches[i].results, replayBranch(branches[i]).results))
                differences.push_back("branch " + std::to_string(i + 1) + " " + line);
        for (const std::string& line : differences)
            out << line << '\n';
        if (differences.empty())
            out << "results agree\n";
        out.flush();
        return differences.empty() ? 0 : 1;
    }
    // Each line is written as the replay makes it; none is kept.
    const HeadlessReplay replay = replaySession(
        std::move(*read.record), [&out](const std::string& line) { out << line << '\n'; }, true);
    for (const std::string& line : figureResultLines(replay.results.figures, options.explain))
        out << line << '\n';
    out << '\n';
    for (const std::string& line : statisticsLines(*replay.statistics, options.explain))
        out << line << '\n';
    const std::vector<std::string> reviews = reviewLines(*replay.statistics);
    if (!reviews.empty())
        out << '\n';
    for (const std::string& line : reviews)
        out << line << '\n';
    if (attempt) {
        out << '\n';
        if (!attempt->error.empty())
            out << "課題=" << read.card->title << '\n'
                << "課題の記録として読めません=" << attempt->error << '\n';
        else
            for (const std::string& line : exerciseLines(*read.card, *attempt->score))
                out << line << '\n';
    }
    for (std::size_t i = 0; i < branches.size(); ++i) {
        out << "\n分岐 " << (i + 1) << "=経過 " << elapsedText(branches[i].leftAt)
            << " で分かれ、経過 " << elapsedText(branches[i].results.seconds) << " まで\n";
        for (const std::string& line :
             figureResultLines(replayBranch(branches[i]).results.figures, options.explain))
            out << line << '\n';
    }
    out.flush();
    return 0;
}

// The card as the learner meets it, and the task's numbers.
int showExercise(const std::string& path, std::ostream& out, std::ostream& err) {
    const ExerciseCardRead read = openExerciseCard(path);
    if (!read.card) {
        err << "vantrel-market: " << shownArgument(path) << ": " << read.error << '\n';
        return 2;
    }
    const ExerciseCard& card = *read.card;
    // The kind comes first among the facts and is printed under the title.
    const std::vector<CardFact> facts = cardFacts(card);
    out << "課題=" << card.title << '\n';
    out << facts.front().caption << '=' << facts.front().value << '\n';
    out << "説明=" << card.instructions << '\n';
    if (!card.hint.empty())
        out << "ヒント=" << card.hint << '\n';
    for (auto fact = facts.begin() + 1; fact != facts.end(); ++fact)
        out << fact->caption << '=' << fact->value << '\n';
    out.flush();
    return 0;
}

// `--grade CARD` (again for each further card), then the files and folders;
// `--` ends the options, for a file whose name starts with a dash.
int gradeClassFiles(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<ExerciseCard> cards;
    std::vector<std::string> paths;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> card;
        if (options && arg == "--")
            options = false;
        else if (options && arg == "--grade" && i + 1 < args.size())
            card = args[++i];
        else if (options && arg.rfind("--grade=", 0) == 0)
            card = arg.substr(8);
        else if (options && arg.rfind("-", 0) == 0 && arg.size() > 1) {
            err << "vantrel-market: --grade takes no other option, not '" << shownArgument(arg)
                << "'\n";
            return 2;
        } else
            paths.push_back(arg);
        if (!card)
            continue;
        ExerciseCardRead read = openExerciseCard(*card);
        if (!read.card) {
            err << "vantrel-market: " << shownArgument(*card) << ": " << read.error << '\n';
            return 2;
        }
        cards.push_back(std::move(*read.card));
    }
    if (paths.empty()) {
        err << "vantrel-market: --grade needs the attempts' files or folders\n";
        return 2;
    }
    const std::vector<GradedAttempt> graded = gradeClass(cards, handIns(paths));
    if (graded.empty()) {
        err << "vantrel-market: no attempt (*.json) in the folders given\n";
        return 2;
    }
    out << gradeCsv(cards, graded);
    out.flush();
    std::size_t refusals = 0;
    for (const GradedAttempt& attempt : graded)
        if (!attempt.graded()) {
            ++refusals;
            err << "vantrel-market: " << shownArgument(attempt.file) << ": "
                << gradeRefusalName(attempt.refusal) << "：" << shownArgument(attempt.detail)
                << '\n';
        }
    return refusals == 0 ? 0 : refusals < graded.size() ? 1 : 2;
}

// Running out of memory is a refusal like any other, never an abort.
int runSession(const Options& options, std::ostream& out, std::ostream& err) {
    try {
        return replayFile(options, out, err);
    } catch (const std::bad_alloc&) {
        out.flush();
        err << "vantrel-market: " << shownArgument(*options.session) << ": " << kOutOfMemory
            << '\n';
        return 2;
    }
}

void appendNumber(std::string& line, double value) {
    line += plainDecimal(value);
}

void writeHeader(std::string& line, bool board, bool tape) {
    line = "tick,centre,last,ask,ask_shares,bid,bid_shares";
    if (board) {
        for (int r = 1; r <= Market::kBoardRows; ++r)
            line += ",r" + std::to_string(r);
    }
    if (tape)
        line += ",trade,trade_price,trade_shares";
    line += '\n';
}

void writeRow(std::string& line, std::uint64_t tick, const Market& market, bool board, bool tape) {
    line = std::to_string(tick);
    const Quotes quotes = market.quotes();
    for (double value : {market.centrePrice(), quotes.lastPrice, quotes.dblAskPrice,
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
    if (tape) {
        if (const std::optional<TapeEntry>& trade = market.lastTrade()) {
            line += trade->side == TapeSide::Buy ? ",buy," : ",sell,";
            line += std::to_string(trade->price) + ',' + std::to_string(trade->shares);
        } else {
            line += ",,,";
        }
    }
    line += '\n';
}

} // namespace

int runMarketTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Grading takes files as plain arguments, which no other use does.
    for (const std::string& arg : args)
        if (arg == "--grade" || arg.rfind("--grade=", 0) == 0)
            return gradeClassFiles(args, out, err);
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
    if (options.exercise)
        return showExercise(*options.exercise, out, err);

    Market market(options.market);
    market.StartUp();
    std::string line;
    writeHeader(line, options.board, options.tape);
    out << line;
    for (std::uint64_t tick = 1; tick <= options.ticks && out; ++tick) {
        market.Tick();
        writeRow(line, tick, market, options.board, options.tape);
        out << line;
    }
    // Stops at the first row that cannot be written; the program's end says
    // whether that was a reader going away or a failure.
    return 0;
}

} // namespace vantrel
