#include "exercise/ExerciseRun.h"

#include "exercise/ExerciseAttempt.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "results/RoundTrips.h"
#include "trading/SilentLog.h"
#include "trading/Trader.h"

#include <algorithm>

namespace vantrel {

namespace {

int closedTripsSince(const std::vector<RoundTrip>& trips, std::uint64_t start) {
    return static_cast<int>(std::count_if(trips.begin(), trips.end(), [start](const RoundTrip& t) {
        return !t.open && t.start >= start;
    }));
}

} // namespace

ExerciseRun::ExerciseRun(PracticeSession& session, ExerciseCard card)
    : m_session(session), m_card(std::move(card)) {}

int ExerciseRun::drawMarket(std::uint64_t entropy) {
    // Market 1 is the standard market every practice opens on: never drawn.
    SplitMix64 random(entropy);
    return static_cast<int>(2 + random.below(kLastMarket - 1));
}

void ExerciseRun::start(int market) {
    m_session.restart(m_card.market.value_or(market));
    m_session.startAt({m_card.start, m_card.startShares});
    // From here on every record of the practice is an attempt of this card.
    m_session.setExercise(exerciseMember(m_card));
    m_firstFill = m_session.ledger().fills().size();
    m_trace = ExerciseTrace{};
    m_trace.start = m_trace.end = m_session.elapsed();
    m_trace.arrival = m_session.market().quotes().lastPrice;
    m_trace.peakAssets = m_session.ledger().totalAssets(m_trace.arrival);
    m_trace.closing = m_session.market().quotes();
}

std::optional<std::string> ExerciseRun::checkRunning() const {
    if (!running())
        return "課題は終わりました。";
    return std::nullopt;
}

std::optional<std::string> ExerciseRun::checkPrice(const OrderForm& form) const {
    if (form.priceKind == PriceKind::Limit && !m_card.limitOrders)
        return "この課題では指値注文は使えません。";
    if (form.priceKind == PriceKind::Market && !m_card.marketOrders)
        return "この課題では成行注文は使えません。";
    return std::nullopt;
}

std::optional<std::string> ExerciseRun::checkBuy(const std::string& codeText,
                                                 const OrderForm& form) const {
    if (auto why = checkRunning())
        return why;
    if (auto why = checkPrice(form))
        return why;
    if (!m_card.maxShares)
        return std::nullopt;
    // The order the rules would place, tried on a copy of the account: what
    // it could buy counts as held.
    const Account& account = m_session.trader().account();
    if (account.hasPendingOrder())
        return std::nullopt; // the rules refuse it themselves
    SilentLog silent;
    Trader trial(silent, silent);
    trial.restoreAccount(account);
    trial.pressBuy(codeText, form);
    const std::optional<PendingOrder>& order = trial.account().order();
    if (order && account.holdings() + order->ordered > *m_card.maxShares)
        return "この課題で一度に持てるのは " + groupedNumber(*m_card.maxShares) + "株までです（" +
               groupedNumber(account.holdings()) + "株を持ち、この注文は " +
               groupedNumber(order->ordered) + "株）。";
    return std::nullopt;
}

std::optional<std::string> ExerciseRun::checkSell(const std::string&, const OrderForm& form) const {
    if (auto why = checkRunning())
        return why;
    return checkPrice(form);
}

std::optional<std::string> ExerciseRun::pressBuy(const std::string& codeText,
                                                 const OrderForm& form) {
    std::optional<std::string> why = checkBuy(codeText, form);
    if (!why)
        m_session.pressBuy(codeText, form);
    return why;
}

std::optional<std::string> ExerciseRun::pressSell(const std::string& codeText,
                                                  const OrderForm& form) {
    std::optional<std::string> why = checkSell(codeText, form);
    if (!why)
        m_session.pressSell(codeText, form);
    return why;
}

void ExerciseRun::pressCancel() {
    if (running())
        m_session.pressCancel();
}

void ExerciseRun::step() {
    if (!running())
        return;
    m_session.step();
    follow();
}

void ExerciseRun::abandon() {
    if (running())
        m_trace.ending = ExerciseEnd::Abandoned;
}

void ExerciseRun::follow() {
    const Market& market = m_session.market();
    m_trace.end = m_session.elapsed();
    m_trace.closing = market.quotes();
    if (const std::optional<TapeEntry>& trade = market.lastTrade()) {
        m_trace.tapeValue += static_cast<double>(trade->price) * trade->shares;
        m_trace.tapeShares += trade->shares;
    }
    const double assets = m_session.ledger().totalAssets(market.quotes().lastPrice);
    m_trace.peakAssets = std::max(m_trace.peakAssets, assets);
    m_trace.worstDrawdown = std::max(m_trace.worstDrawdown, m_trace.peakAssets - assets);

    const bool pending = m_session.trader().account().hasPendingOrder();
    const TradeSums sums = sumsOf(m_session.ledger().fills(), m_firstFill);
    switch (m_card.kind) {
    case ExerciseKind::ProfitTarget:
        // Broken and reached at once counts as broken: the limit comes first.
        if (m_trace.peakAssets - assets > m_card.drawdown)
            m_trace.ending = ExerciseEnd::LimitBroken;
        else if (m_session.figures()[Measure::NetProfit].value_or(0) >= m_card.target)
            m_trace.ending = ExerciseEnd::Goal;
        break;
    case ExerciseKind::Accumulate:
        if (!pending && sums.boughtShares - sums.soldShares >= m_card.shares)
            m_trace.ending = ExerciseEnd::Goal;
        break;
    case ExerciseKind::Liquidate:
        if (!pending && sums.soldShares - sums.boughtShares >= m_card.shares)
            m_trace.ending = ExerciseEnd::Goal;
        break;
    default:
        break;
    }
    if (running() && m_trace.end >= m_card.end())
        m_trace.ending = ExerciseEnd::TimeUp;
}

ExerciseProgress ExerciseRun::progress() const {
    ExerciseProgress progress;
    const std::uint64_t now = m_session.elapsed();
    progress.secondsDone = now - m_trace.start;
    progress.secondsLeft = running() && m_card.end() > now ? m_card.end() - now : 0;
    const TradeSums sums = sumsOf(m_session.ledger().fills(), m_firstFill);
    const bool buying = m_card.kind != ExerciseKind::Liquidate;
    progress.moved =
        buying ? sums.boughtShares - sums.soldShares : sums.soldShares - sums.boughtShares;
    progress.goalShares = m_card.shares;
    progress.vwap = m_trace.vwap();
    if (buying && sums.boughtShares > 0)
        progress.averagePrice = sums.boughtValue / sums.boughtShares;
    if (!buying && sums.soldShares > 0)
        progress.averagePrice = sums.soldValue / sums.soldShares;
    const Figures figures = m_session.figures();
    progress.netProfit = figures[Measure::NetProfit].value_or(0);
    progress.drawdown =
        m_trace.peakAssets - m_session.ledger().totalAssets(m_session.market().quotes().lastPrice);
    progress.roundTrips =
        closedTripsSince(roundTrips(m_session.ledger().fills(), m_session.prices()), m_trace.start);
    return progress;
}

ExerciseFacts ExerciseRun::facts() const {
    ExerciseFacts facts;
    facts.card = m_card;
    facts.market = m_session.marketNumber();
    facts.trace = m_trace;
    facts.sums = sumsOf(m_session.ledger().fills(), m_firstFill);
    facts.netProfit = m_session.figures()[Measure::NetProfit].value_or(0);
    const std::vector<RoundTrip> trips = roundTrips(m_session.ledger().fills(), m_session.prices());
    facts.roundTrips = closedTripsSince(trips, m_trace.start);
    facts.chance =
        chancePlan(facts.market, m_session.actions(), m_trace.end, trips, facts.netProfit);
    facts.chance.from = m_trace.start;
    return facts;
}

std::string progressText(const ExerciseCard& card, const ExerciseProgress& progress) {
    const std::uint64_t minutes = progress.secondsLeft / 60;
    const std::uint64_t seconds = progress.secondsLeft % 60;
    std::string text = "残り ";
    if (minutes > 0)
        text += std::to_string(minutes) + "分" + (seconds < 10 ? "0" : "");
    text += std::to_string(seconds) + "秒";
    const auto price = [](const std::optional<double>& value) {
        return value ? groupedNumber(*value, 1) + "円" : std::string("—");
    };
    switch (card.kind) {
    case ExerciseKind::Accumulate:
    case ExerciseKind::Liquidate:
        text += card.kind == ExerciseKind::Accumulate ? "\n買い " : "\n売り ";
        text += groupedNumber(progress.moved) + " / " + groupedNumber(progress.goalShares) + "株";
        text += "\nVWAP " + price(progress.vwap) + "・平均 " + price(progress.averagePrice);
        break;
    case ExerciseKind::ProfitTarget:
        text += "\n純損益 " + yenText(progress.netProfit) + " / 目標 " + yenText(card.target);
        text += "\n下げ幅 " + yenText(progress.drawdown) + " / 上限 " + yenText(card.drawdown);
        break;
    case ExerciseKind::RoundTrips:
    case ExerciseKind::LimitProfit:
        text += "\n往復 " + std::to_string(progress.roundTrips) + " / " +
                std::to_string(card.roundTrips) + " 回";
        text += "\n純損益 " + yenText(progress.netProfit);
        break;
    }
    return text;
}

} // namespace vantrel
