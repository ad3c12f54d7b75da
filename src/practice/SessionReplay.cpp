#include "practice/SessionReplay.h"

#include "base/NumberText.h"
#include "orders/MessagePrompter.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "trading/SilentLog.h"
#include "trading/TradeLog.h"

namespace vantrel {

namespace {

class SecondLog final : public TradeLog {
public:
    void AddLog(const std::string& message) override {
        std::string line = std::to_string(session ? session->elapsed() : 0) + "  " + message;
        if (onLine)
            onLine(line);
        else
            lines.push_back(std::move(line));
    }
    const PracticeSession* session = nullptr;
    ReplayLineSink onLine;
    std::vector<std::string> lines;
};

} // namespace

HeadlessReplay replaySession(SessionRecord record, const ReplayLineSink& onLine,
                             bool withStatistics) {
    SecondLog log;
    log.onLine = onLine;
    SilentLog prompter;
    PracticeSession session(log, prompter, record.market);
    session.keepPriceHistory(withStatistics);
    // The reviews among the statistics measure the trips against the tape.
    session.keepTape(withStatistics);
    session.keepQuotes(withStatistics);
    log.session = &session;
    session.startReplay(std::move(record));
    while (session.replaying())
        session.step();
    HeadlessReplay replay;
    replay.results = session.results();
    replay.lines = std::move(log.lines);
    if (withStatistics)
        replay.statistics = analysePractice(
            session, {}, std::make_shared<const std::vector<Quotes>>(session.takeQuotes()));
    return replay;
}

std::vector<std::string> figureResultLines(const Figures& figures, bool explained) {
    std::vector<std::string> lines;
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].shown())
            continue;
        // Unrounded, a sum of fractional averages would show binary noise
        // (-47999.9999999998).
        const std::optional<double>& value = figures.values[i];
        lines.push_back(std::string(table[i].info().caption) + '=' +
                        (value ? displayNumber(shownValue(table[i].measure, *value)) : ""));
        if (explained)
            lines.push_back(explanationLine(table[i].measure));
    }
    return lines;
}

std::vector<std::string> differingResults(const SessionResults& claimed,
                                          const SessionResults& replayed) {
    std::vector<std::string> lines;
    const auto compare = [&lines](const char* name, double file, double replay) {
        if (file != replay)
            lines.push_back(std::string(name) + ": file " + plainDecimal(file) + ", replay " +
                            plainDecimal(replay));
    };
    compare("seconds", static_cast<double>(claimed.seconds), static_cast<double>(replayed.seconds));
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].saved)
            compare(table[i].info().key, claimed.figures.values[i].value_or(0),
                    replayed.figures.values[i].value_or(0));
    return lines;
}

} // namespace vantrel
