#include "practice/SessionStatistics.h"

#include "orders/MessagePrompter.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "trading/SilentLog.h"
#include "trading/TradeLog.h"

namespace vantrel {
SessionStatistics analysePractice(const PracticeSession& session, const ChanceProgress& progress,
                                  std::shared_ptr<const std::vector<Quotes>> quotes) {
    SessionStatistics analysis;
    const Ledger& ledger = session.ledger();
    analysis.trips = roundTrips(ledger.fills(), session.prices());
    analysis.statistics = computeStatistics(analysis.trips, ledger.fills(), session.prices());
    analysis.reviews = reviewTrips(analysis.trips, session.market().tape());
    const double net = session.figures()[Measure::NetProfit].value_or(0);
    ChancePlan plan = chancePlan(session.marketNumber(), session.actions(), session.elapsed(),
                                 analysis.trips, net);
    plan.quotes = std::move(quotes);
    analysis.chance = compareWithChance(plan, progress);
    return analysis;
}

SessionStatistics analyseRecord(const SessionRecord& record, const ChanceProgress& progress) {
    SilentLog quiet;
    PracticeSession session(quiet, quiet, record.market);
    // Its quotes serve the comparison.
    session.keepQuotes(true);
    session.startReplay(record);
    // A cancel stops the replay too, so a window closing never waits for it.
    while (session.replaying() && !(progress.cancel && *progress.cancel))
        session.step();
    return analysePractice(session, progress,
                           std::make_shared<const std::vector<Quotes>>(session.takeQuotes()));
}

std::vector<std::string> statisticsLines(const SessionStatistics& analysis, bool explained) {
    std::vector<MeasureRow> rows = statisticRows(analysis.statistics);
    for (const MeasureRow& row : chanceRows(analysis.chance))
        rows.push_back(row);
    std::vector<std::string> lines;
    for (const MeasureRow& row : rows) {
        lines.push_back(statisticLine(row));
        if (explained)
            lines.push_back(explanationLine(row.measure));
    }
    return lines;
}

std::vector<std::string> reviewLines(const SessionStatistics& analysis) {
    std::vector<std::string> lines;
    for (const TripReview& review : analysis.reviews)
        lines.push_back("振り返り " + std::to_string(review.number) + "=" + review.text());
    return lines;
}

} // namespace vantrel
