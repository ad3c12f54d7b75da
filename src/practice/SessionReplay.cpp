#include "practice/SessionReplay.h"

#include "base/NumberText.h"
#include "orders/MessagePrompter.h"
#include "orders/StockInfo.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "trading/SilentLog.h"
#include "trading/TradeLog.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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

SessionRecord editedRecord(const SessionRecord& record, WhatIfKind kind, std::uint64_t second) {
    SessionRecord edited;
    edited.program = record.program;
    edited.market = record.market;
    edited.results.seconds = record.results.seconds;
    if (kind == WhatIfKind::WithoutSale) {
        // A fill comes before the presses of its second: its order was
        // pressed in an earlier one.
        const auto sale = std::find_if(
            record.actions.rbegin(), record.actions.rend(), [second](const SessionAction& action) {
                return action.kind == ActionKind::Sell && action.second < second;
            });
        for (auto action = record.actions.begin(); action != record.actions.end(); ++action)
            if (sale == record.actions.rend() || action != std::prev(sale.base()))
                edited.actions.push_back(*action);
        return edited;
    }
    for (const SessionAction& action : record.actions)
        if (action.second <= second)
            edited.actions.push_back(action);
    if (kind == WhatIfKind::Closed) {
        // A press is refused in silence while an order is pending.
        edited.actions.push_back({second, ActionKind::Cancel, {}, {}});
        edited.actions.push_back({second,
                                  ActionKind::Sell,
                                  {PriceKind::Market, "", QuantityKind::Everything, "", ""},
                                  stock::kCode});
    }
    return edited;
}

WhatIf replayWhatIf(const SessionRecord& record, WhatIfKind kind, std::uint64_t second) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet, record.market);
    session.keepPriceHistory(false);
    session.keepTape(false);
    session.startReplay(editedRecord(record, kind, second));
    while (session.replaying())
        session.step();
    WhatIf whatIf{kind, second, session.results(), {}, 0, session.ledger().fills()};
    for (const LedgerFill& fill : session.ledger().fills()) {
        if (fill.time.second > second)
            whatIf.fillsAfter.push_back(fill);
        else
            whatIf.held += fill.side == OrderSide::Buy ? fill.shares : -fill.shares;
    }
    return whatIf;
}

std::string whatIfSentence(const WhatIf& whatIf, const Figures& actual) {
    const std::string was = signedYenText(actual[Measure::NetProfit].value_or(0));
    const std::string would = signedYenText(whatIf.results.figures[Measure::NetProfit].value_or(0));
    const std::string comparison = was == would
                                       ? "、純損益は同じ " + was + " でした"
                                       : "、純損益は " + was + " ではなく " + would + " でした";
    if (whatIf.kind == WhatIfKind::Held)
        return "あのまま持っていたら" + comparison + "。";
    if (whatIf.kind == WhatIfKind::WithoutSale)
        return "この売りをしなかったら" + comparison + "。";
    if (whatIf.held <= 0)
        return "ここでは株を持っていないので、決済するものはありません。";
    if (whatIf.fillsAfter.empty())
        return "ここで成行で売っていたら" + comparison + "（約定しませんでした）。";
    double shares = 0, value = 0;
    for (const LedgerFill& fill : whatIf.fillsAfter) {
        shares += fill.shares;
        value += fill.value;
    }
    const double price = value / shares;
    const std::uint64_t after = whatIf.fillsAfter.back().time.second - whatIf.second;
    return "ここで成行で売っていたら" + comparison + "（約定は " + std::to_string(after) +
           " 秒後、" + groupedNumber(price, price == std::floor(price) ? 0 : 2) + "円）。";
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
