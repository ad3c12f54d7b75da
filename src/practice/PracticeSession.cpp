#include "practice/PracticeSession.h"

#include "trading/TradeLog.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vantrel {

namespace {

bool sameAction(const SessionAction& a, const SessionAction& b) {
    return a.second == b.second && a.kind == b.kind && a.codeText == b.codeText &&
           a.form.priceKind == b.form.priceKind && a.form.priceText == b.form.priceText &&
           a.form.quantityKind == b.form.quantityKind && a.form.sharesText == b.form.sharesText &&
           a.form.yenText == b.form.yenText;
}

} // namespace

void PracticeSession::ReplayPrompter::ShowMessage(const std::string& prompt,
                                                  const std::string& title) {
    if (quiet)
        return;
    if (toLog)
        m_log.AddLog(prompt);
    else
        m_live.ShowMessage(prompt, title);
}

PracticeSession::PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber,
                                 std::function<std::int64_t()> wallClockMs)
    : m_log(log), m_tradeLog(log), m_prompter(prompter, log), m_marketNumber(marketNumber),
      m_market(marketNumber), m_wallClockMs(std::move(wallClockMs)),
      m_trader(m_tradeLog, m_prompter, m_ledger) {
    m_market.StartUp();
    m_prices.append(m_market.quotes().lastPrice);
}

void PracticeSession::tick() {
    m_market.Tick();
    // Only the window shows the tape's times; a headless replay keeps none.
    if (m_wallClockMs && m_market.lastTrade()) {
        m_tapeWallMs.push_back(m_wallClockMs());
        while (m_tapeWallMs.size() > m_market.tape().size())
            m_tapeWallMs.pop_front();
    }
    if (m_keepPrices)
        m_prices.append(m_market.quotes().lastPrice);
    if (m_keepQuotes)
        m_quotes.push_back(m_market.quotes());
}

void PracticeSession::executionStep() {
    // Fills of this step are stamped with its second and the time of day.
    m_ledger.setTime({m_market.tickCount(), m_wallClockMs ? m_wallClockMs() : 0});
    m_trader.executionStep(m_market.quotes());
}

void PracticeSession::advance() {
    tick();
    executionStep();
    if (m_checkpointEvery != 0 && elapsed() % m_checkpointEvery == 0 &&
        m_checkpoints.size() == elapsed() / m_checkpointEvery)
        m_checkpoints.push_back(checkpoint());
}

void PracticeSession::step() {
    advance();
    if (m_replay)
        applyDueActions();
}

SessionState PracticeSession::state() const {
    return {m_market, m_trader.account(), m_ledger, m_prices, m_tapeWallMs};
}

PracticeSession::Checkpoint PracticeSession::checkpoint() {
    Ledger totals;
    totals.rollBackTo(m_ledger, 0);
    return {m_market.withoutTapeLines(),
            m_trader.account(),
            std::move(totals),
            m_ledger.fills().size(),
            m_prices.prices.size(),
            m_tapeWallMs.size(),
            m_actions.size()};
}

void PracticeSession::keepCheckpoints(std::uint64_t everySeconds) {
    m_checkpointEvery = everySeconds;
    m_checkpoints.clear();
    // Copies start with the practice: asked for later, they start with the
    // next practice.
    if (everySeconds != 0 && elapsed() == 0)
        m_checkpoints.push_back(checkpoint());
}

std::size_t PracticeSession::checkpointBytes() const {
    std::size_t bytes = 0;
    for (const Checkpoint& checkpoint : m_checkpoints)
        bytes += sizeof(checkpoint) + checkpoint.market.tape().memoryBytes();
    return bytes;
}

bool PracticeSession::canGoBackTo(std::uint64_t second) const {
    return m_checkpointEvery != 0 && second <= elapsed() &&
           second / m_checkpointEvery < m_checkpoints.size() && m_market.tape().dropped() == 0;
}

bool PracticeSession::rewindTo(std::uint64_t second) {
    if (m_replay || !canGoBackTo(second))
        return false;
    // Before the opening the practice was not yet what it is.
    if (m_opening && second < m_opening->second)
        return false;
    return runLine(static_cast<std::size_t>(second / m_checkpointEvery), m_actions, second);
}

bool PracticeSession::runLine(std::size_t index, const std::vector<SessionAction>& pressesOf,
                              std::uint64_t second) {
    const Checkpoint& from = m_checkpoints[index];
    if (!m_market.rollBackTo(from.market))
        return false;
    // The line's presses are replayed up to the second; the wall-clock
    // times of the seconds lived are what those seconds had.
    const std::vector<SessionAction> line = pressesOf;
    const std::vector<LedgerFill> fills = m_ledger.fills();
    const std::deque<std::int64_t> tapeWallMs = m_tapeWallMs;

    m_trader.restoreAccount(from.account);
    m_ledger.rollBackTo(from.ledger, from.fills);
    m_prices.prices.resize(from.prices);
    m_tapeWallMs.resize(from.tapeWallMs);
    m_actions.resize(from.actions);
    m_checkpoints.resize(index + 1);
    m_tradeLog.quiet = m_prompter.quiet = true;
    std::size_t next = from.actions;
    // Going on takes new copies, which may move the one gone back to.
    const std::size_t fromTapeWallMs = from.tapeWallMs;
    const auto pressUpTo = [&](std::uint64_t at) {
        while (next < line.size() && line[next].second <= at)
            perform(line[next++]);
    };
    pressUpTo(elapsed());
    while (elapsed() < second) {
        advance();
        if (m_opening && elapsed() == m_opening->second)
            holdOpeningShares();
        pressUpTo(elapsed());
    }
    m_tradeLog.quiet = m_prompter.quiet = false;
    m_ledger.restoreWallTimes(fills);
    for (std::size_t i = fromTapeWallMs; i < std::min(m_tapeWallMs.size(), tapeWallMs.size()); ++i)
        m_tapeWallMs[i] = tapeWallMs[i];
    return true;
}

bool PracticeSession::goBackTo(std::uint64_t second) {
    const bool ownPresses =
        std::any_of(m_actions.begin(), m_actions.end(),
                    [second](const SessionAction& action) { return action.second > second; });
    PracticeBranch left;
    if (ownPresses)
        left = {second, m_actions, results()};
    if (!rewindTo(second))
        return false;
    if (ownPresses)
        m_branches.push_back(std::move(left));
    return true;
}

std::size_t PracticeSession::partingIndex(const std::vector<SessionAction>& line) const {
    std::size_t index = 0;
    while (index < m_actions.size() && index < line.size() &&
           sameAction(m_actions[index], line[index]))
        ++index;
    return index;
}

bool PracticeSession::pressedAfterBranch(std::size_t index) const {
    return partingIndex(m_branches.at(index).actions) < m_actions.size();
}

std::uint64_t PracticeSession::branchParting(std::size_t index) const {
    const std::vector<SessionAction>& line = m_branches.at(index).actions;
    // The lines agree on every press before the first that differs, so they
    // agree before that press's second; a line that is all the other's
    // presses and more parts where its first extra press came.
    const std::size_t parting = partingIndex(line);
    std::uint64_t second = parting < m_actions.size() ? m_actions[parting].second : elapsed();
    if (parting < line.size())
        second = std::min(second, line[parting].second);
    return std::min(second, elapsed());
}

bool PracticeSession::continueBranch(std::size_t index) {
    if (m_replay || m_checkpointEvery == 0 || index >= m_branches.size() ||
        m_market.tape().dropped() != 0)
        return false;
    PracticeBranch chosen = m_branches[index];
    // The copy at or before the parting second was taken before its
    // presses, so it holds for both lines.
    std::uint64_t from = branchParting(index);
    if (m_opening && from < m_opening->second)
        from = m_opening->second;
    const std::size_t copy = static_cast<std::size_t>(from / m_checkpointEvery);
    if (copy >= m_checkpoints.size())
        return false;
    PracticeBranch left;
    const bool ownPresses = pressedAfterBranch(index);
    if (ownPresses)
        left = {chosen.leftAt, m_actions, results()};
    if (!runLine(copy, chosen.actions, chosen.results.seconds))
        return false;
    m_branches.erase(m_branches.begin() + static_cast<std::ptrdiff_t>(index));
    if (ownPresses)
        m_branches.push_back(std::move(left));
    return true;
}

SessionRecord PracticeSession::branchRecord(std::size_t index) const {
    return vantrel::branchRecord(m_marketNumber, m_branches.at(index));
}

void PracticeSession::pressBuy(const std::string& codeText, const OrderForm& form) {
    if (!m_replay)
        perform({elapsed(), ActionKind::Buy, form, codeText});
}

void PracticeSession::pressSell(const std::string& codeText, const OrderForm& form) {
    if (!m_replay)
        perform({elapsed(), ActionKind::Sell, form, codeText});
}

void PracticeSession::pressCancel() {
    if (!m_replay)
        perform({elapsed(), ActionKind::Cancel, {}, {}});
}

void PracticeSession::perform(SessionAction press) {
    // Recorded whatever the checks say: a refused press replays as the same
    // refusal.
    m_actions.push_back(std::move(press));
    const SessionAction& action = m_actions.back();
    m_actions.back().second = elapsed();
    switch (action.kind) {
    case ActionKind::Buy:
        m_trader.pressBuy(action.codeText, action.form);
        break;
    case ActionKind::Sell:
        m_trader.pressSell(action.codeText, action.form);
        break;
    case ActionKind::Cancel:
        m_trader.pressCancel();
        break;
    }
}

void PracticeSession::applyDueActions() {
    m_prompter.toLog = true;
    while (m_replay->next < m_replay->actions.size() &&
           m_replay->actions[m_replay->next].second <= elapsed())
        perform(std::move(m_replay->actions[m_replay->next++]));
    m_prompter.toLog = false;
    if (m_replay->next == m_replay->actions.size() && elapsed() >= m_replay->end)
        takeOver();
}

void PracticeSession::restart(int marketNumber) {
    m_marketNumber = marketNumber;
    m_market = Market(marketNumber);
    m_market.keepTape(m_keepTape);
    m_market.StartUp();
    m_ledger.reset();
    m_prices.prices.clear();
    m_tapeWallMs.clear();
    m_prices.append(m_market.quotes().lastPrice);
    m_quotes.clear();
    if (m_keepQuotes)
        m_quotes.push_back(m_market.quotes());
    m_trader.resetAccount();
    m_actions.clear();
    m_branches.clear();
    m_replay.reset();
    m_opening.reset();
    m_exercise.clear();
    keepCheckpoints(m_checkpointEvery);
    m_log.AddLog("新しい練習を始めました（市場番号 " + std::to_string(marketNumber) + "）。");
}

void PracticeSession::startReplay(SessionRecord record) {
    restart(record.market);
    // Room for the whole replay at once: grown by doubling, a week of prices
    // and 50,000 actions would hold almost twice their size.
    m_actions.reserve(record.actions.size());
    if (m_keepPrices)
        m_prices.prices.reserve(record.results.seconds + 1);
    if (m_keepQuotes)
        m_quotes.reserve(record.results.seconds + 1);
    if (record.opening)
        startAt(*record.opening);
    m_exercise = std::move(record.exercise);
    m_branches = std::move(record.branches);
    m_replay = Replay{std::move(record.actions), 0, record.results.seconds};
    applyDueActions();
}

void PracticeSession::startAt(const SessionOpening& opening) {
    if (elapsed() != 0 || !m_actions.empty())
        return;
    m_tradeLog.quiet = true;
    while (elapsed() < opening.second)
        advance();
    m_tradeLog.quiet = false;
    m_opening = opening;
    holdOpeningShares();
    // A copy taken at this very second was taken before the shares came.
    if (m_checkpointEvery != 0 && !m_checkpoints.empty() &&
        (m_checkpoints.size() - 1) * m_checkpointEvery == elapsed())
        m_checkpoints.back() = checkpoint();
}

void PracticeSession::holdOpeningShares() {
    if (m_opening->shares <= 0)
        return;
    const SessionOpening& opening = *m_opening;
    const double arrival = m_market.quotes().lastPrice;
    Account account = m_trader.account();
    account.setHoldings(account.holdings() + opening.shares);
    account.setPower(account.power() - opening.shares * arrival);
    m_trader.restoreAccount(account);
    m_ledger.setTime({elapsed(), m_wallClockMs ? m_wallClockMs() : 0});
    m_ledger.onFill(OrderSide::Buy, arrival, opening.shares, 0);
}

void PracticeSession::takeOver() {
    m_replay.reset();
}

Figures PracticeSession::figures() const {
    return computeFigures({m_ledger, m_trader.account(), m_market.quotes().lastPrice});
}

SessionResults PracticeSession::results() const {
    return {elapsed(), figures()};
}

SessionRecord PracticeSession::record() const {
    SessionRecord record;
    record.program = programVersionText();
    record.market = m_marketNumber;
    record.actions = m_actions;
    record.results = results();
    record.opening = m_opening;
    record.exercise = m_exercise;
    record.branches = m_branches;
    return record;
}

} // namespace vantrel
