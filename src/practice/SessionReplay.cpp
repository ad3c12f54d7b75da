#include "practice/SessionReplay.h"

#include "base/NumberText.h"
#include "practice/PracticeSession.h"
#include "trading/MessagePrompter.h"
#include "trading/ResultsText.h"
#include "trading/TradeLog.h"

#include <cmath>

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

// A replay sends every box to the log, so nothing reaches this.
class NoPrompter final : public MessagePrompter {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
};

} // namespace

HeadlessReplay replaySession(const SessionRecord& record, const ReplayLineSink& onLine) {
    SecondLog log;
    log.onLine = onLine;
    NoPrompter prompter;
    PracticeSession session(log, prompter, record.market);
    session.keepPriceHistory(false);
    log.session = &session;
    session.startReplay(record);
    while (session.replaying())
        session.step();
    HeadlessReplay replay;
    replay.results = session.results();
    replay.figures = computeFigures(session.ledger(), session.trader().account(),
                                    session.market().quotes().dblNowPrice);
    replay.lines = std::move(log.lines);
    return replay;
}

std::vector<std::string> figureResultLines(const Figures& f) {
    const std::vector<FigureLine> captions = figureLines(f);
    const double values[] = {f.held,     f.averageCost.value_or(0),
                             f.last,     f.unrealised,
                             f.realised, f.commissions,
                             f.net,      f.assets,
                             f.rate};
    // Rounded as the results window shows them: money and shares in whole
    // yen, the average cost and the rate to two decimals. Unrounded, a sum of
    // fractional averages would show binary noise (-47999.9999999998).
    const int decimals[] = {0, 2, 0, 0, 0, 0, 0, 0, 2};
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < captions.size() && i < std::size(values); ++i) {
        std::string line = std::string(captions[i].caption) + '=';
        if (i != 1 || f.averageCost) {
            const double scale = std::pow(10.0, decimals[i]);
            line += displayNumber(roundHalfEven(values[i] * scale) / scale);
        }
        lines.push_back(std::move(line));
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
    compare("buyingPower", claimed.buyingPower, replayed.buyingPower);
    compare("holdings", claimed.holdings, replayed.holdings);
    compare("realisedProfit", claimed.realisedProfit, replayed.realisedProfit);
    compare("commissions", claimed.commissions, replayed.commissions);
    compare("netProfit", claimed.netProfit, replayed.netProfit);
    compare("totalAssets", claimed.totalAssets, replayed.totalAssets);
    return lines;
}

} // namespace vantrel
