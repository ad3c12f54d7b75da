#pragma once

#include "market/Market.h"
#include "market/MarketNumber.h"
#include "practice/SessionRecord.h"
#include "practice/SessionState.h"
#include "results/Ledger.h"
#include "results/PriceHistory.h"
#include "trading/Trader.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

class TradeLog;

// How often a practice in the window keeps a copy of its state: going back
// to any second of eight hours then replays at most this many seconds, well
// under a millisecond, and the copies (a few kilobytes each) take under
// 0.3 MiB for eight hours and 6 MiB for a week (BM_RewindEightHours).
inline constexpr std::uint64_t kCheckpointSeconds = 900;

// One practice: a numbered market and the user's account trading on it. The
// window's clock drives it; a fresh practice replaces both while the log,
// which belongs to the window, keeps its earlier lines. Every press of an
// order button goes through here and is recorded with the market second it
// came at, so the session can be saved and replayed to the same result.
class PracticeSession final {
public:
    // Starts the market (seeded book, start prices) and a fresh account.
    // wallClockMs stamps each fill with the time of day (milliseconds since
    // the Unix epoch); without it fills carry only their market second.
    PracticeSession(TradeLog& log, MessagePrompter& prompter, int marketNumber = kStandardMarket,
                    std::function<std::int64_t()> wallClockMs = {});

    // One market tick.
    void tick();
    // One execution event against the current quotes.
    void executionStep();
    // One second of practice: tick, then execution. While replaying, the
    // recorded actions of the new second follow, and the replay hands over
    // once it reaches the second its file was saved at.
    void step();

    // The order buttons: recorded, then checked and carried out by the
    // trader. Ignored while replaying, when only the file acts.
    void pressBuy(const std::string& codeText, const OrderForm& form);
    void pressSell(const std::string& codeText, const OrderForm& form);
    void pressCancel();

    // Starts afresh on the given market (1 to 9999): the market seeded anew,
    // the start-up account with no holdings and no order, the ledger and the
    // price history emptied. Logs one line. The ledger, the history and the
    // account keep their addresses, so views of them stay wired.
    void restart(int marketNumber);

    // Starts afresh on the record's market and replays its actions as the
    // seconds pass; the actions of second 0 are carried out at once. A box an
    // action shows goes to the log as one line instead. Each action moves
    // from the replay to the record as it is carried out, so a record handed
    // over (std::move) is held once, never copied.
    // A record with an opening starts at it before its first action.
    void startReplay(SessionRecord record);
    // Runs the market ahead to the opening's second, with nothing pressed
    // and nothing logged, and hands over its shares at the arrival price.
    // Only on a fresh practice (at its second 0); the record keeps it.
    void startAt(const SessionOpening& opening);
    // The exercise this practice is an attempt of, as its file holds it
    // (empty for a free practice): carried into every record, so a kept or
    // saved attempt keeps its card. A fresh practice has none.
    void setExercise(std::string exercise) { m_exercise = std::move(exercise); }
    const std::string& exercise() const { return m_exercise; }
    // Stops the replay where it is; the practice goes on live from this
    // second, its record so far kept as the start of the new one.
    void takeOver();
    bool replaying() const { return m_replay.has_value(); }
    // The second a running replay ends at (the file's last second).
    std::uint64_t replayEnd() const { return m_replay ? m_replay->end : 0; }

    // Market seconds since the session (re)started.
    std::uint64_t elapsed() const { return m_market.tickCount(); }
    // The practice as it stands, ready to be saved.
    SessionRecord record() const;
    SessionResults results() const;
    // The figures of the practice as it stands, at the last price.
    Figures figures() const;
    // Every press so far, replayed ones included, oldest first.
    const std::vector<SessionAction>& actions() const { return m_actions; }

    const Market& market() const { return m_market; }
    const Trader& trader() const { return m_trader; }
    // Every fill and commission of this session, and the last price after
    // every market second (element 0 is the start price).
    const Ledger& ledger() const { return m_ledger; }
    const PriceHistory& prices() const { return m_prices; }
    // The wall-clock time (milliseconds since the Unix epoch, 0 if unknown)
    // at which the market's tape printed its line at(index).
    std::int64_t tapeWallMs(std::size_t index) const {
        return index < m_tapeWallMs.size() ? m_tapeWallMs[index] : 0;
    }
    // Without a chart to draw (a headless replay), the price after every
    // second need not be kept: it would grow with the length replayed.
    void keepPriceHistory(bool keep) { m_keepPrices = keep; }
    // The best quotes and last price after every second, for a comparison
    // with chance made after a headless replay: it then need not run the
    // same market a second time. Kept from the next fresh start on.
    void keepQuotes(bool keep) { m_keepQuotes = keep; }
    std::vector<Quotes> takeQuotes() { return std::move(m_quotes); }
    // Nor the trade tape, which only a window and the trip reviews read (see
    // Market::keepTape).
    void keepTape(bool keep) {
        m_keepTape = keep;
        m_market.keepTape(keep);
    }
    int marketNumber() const { return m_marketNumber; }

    // The practice's state as it stands, as a copy.
    SessionState state() const;
    // Keeps a copy of the state every `everySeconds` market seconds from
    // now on (0: none), so that rewindTo is quick whatever the length.
    void keepCheckpoints(std::uint64_t everySeconds);
    // Returns the live practice to the end of an earlier second (at most
    // elapsed()): the state as it was then, and the presses up to it. The
    // nearest kept copy at or before it is put back and the rest replayed
    // from the presses, quietly: no log line and no box comes again, and
    // the wall-clock times of the fills and tape lines are the ones they had.
    // False, and nothing changed, while a file replays or without a copy to
    // start from.
    bool rewindTo(std::uint64_t second);
    // Whether rewindTo would take the practice back to the second, a replay
    // aside: a second lived, a copy to start from, and the tape whole (it
    // drops its oldest lines only past a week).
    bool canGoBackTo(std::uint64_t second) const;
    // Going back as the learner does: rewindTo, with the line left kept as a
    // branch when it pressed anything after the second. Without a press of
    // its own it is no other line: pressing nothing from there ends where it
    // ended. False, and nothing changed, when rewindTo refuses.
    bool goBackTo(std::uint64_t second);
    // The lines left so far, oldest first; a fresh practice has none.
    const std::vector<PracticeBranch>& branches() const { return m_branches; }
    // A branch as a practice record of its own, ready to save or replay.
    SessionRecord branchRecord(std::size_t index) const;
    // Whether the line under way pressed anything the branch did not: going
    // over to it would leave that line, kept then as a branch.
    bool pressedAfterBranch(std::size_t index) const;
    // The second from which the line under way and the branch may differ:
    // up to its start they pressed the same.
    std::uint64_t branchParting(std::size_t index) const;
    // Goes over to a branch: the practice becomes exactly what its presses
    // make it at its last second, as if they had been pressed straight
    // through, and the line left is kept as a branch when it pressed
    // anything the chosen one did not. False, and nothing changed, while a
    // file replays or without a copy to start from.
    bool continueBranch(std::size_t index);
    // Bytes the kept copies take: a few kilobytes each.
    std::size_t checkpointBytes() const;

private:
    // Shows boxes through the window's prompter, or notes them in the log
    // while a replay runs.
    class ReplayPrompter final : public MessagePrompter {
    public:
        ReplayPrompter(MessagePrompter& live, TradeLog& log) : m_live(live), m_log(log) {}
        void ShowMessage(const std::string& prompt, const std::string& title) override;
        bool toLog = false;
        bool quiet = false;

    private:
        MessagePrompter& m_live;
        TradeLog& m_log;
    };
    // The window's log, or nothing while seconds already lived are replayed.
    class QuietableLog final : public TradeLog {
    public:
        explicit QuietableLog(TradeLog& live) : m_live(live) {}
        void AddLog(const std::string& message) override {
            if (!quiet)
                m_live.AddLog(message);
        }
        bool quiet = false;

    private:
        TradeLog& m_live;
    };
    // Where the practice stood: the market and the account whole, the
    // ledger's totals, and how long each list was. The lists themselves are
    // not copied: whatever line the practice took since, the market and the
    // trades before this second are the same, so they are cut back to it.
    struct Checkpoint {
        Market market;
        Account account;
        Ledger ledger; // without its fills
        std::size_t fills = 0;
        std::size_t prices = 0;
        std::size_t tapeWallMs = 0;
        std::size_t actions = 0; // presses made before it
    };
    Checkpoint checkpoint();
    struct Replay {
        std::vector<SessionAction> actions;
        std::size_t next = 0;
        std::uint64_t end = 0;
    };

    void perform(SessionAction action);
    // The state at the end of `second` along a line of presses, from the
    // kept copy at `index`, before which the line and m_actions agree.
    bool runLine(std::size_t index, const std::vector<SessionAction>& pressesOf,
                 std::uint64_t second);
    // How many presses from the start the line shares with m_actions.
    std::size_t partingIndex(const std::vector<SessionAction>& line) const;
    // The opening's shares, bought at this second's last price.
    void holdOpeningShares();
    void applyDueActions();
    // The tick and execution step of a new second, with its checkpoint.
    void advance();

    TradeLog& m_log;
    QuietableLog m_tradeLog;
    ReplayPrompter m_prompter;
    int m_marketNumber;
    Market m_market;
    std::function<std::int64_t()> m_wallClockMs;
    Ledger m_ledger;
    PriceHistory m_prices;
    // One time per line the tape keeps, dropped with its line.
    std::deque<std::int64_t> m_tapeWallMs;
    bool m_keepPrices = true;
    bool m_keepQuotes = false;
    std::vector<Quotes> m_quotes;
    bool m_keepTape = true;
    Trader m_trader;
    std::vector<SessionAction> m_actions;
    std::optional<Replay> m_replay;
    std::optional<SessionOpening> m_opening;
    std::string m_exercise;
    std::uint64_t m_checkpointEvery = 0;
    // m_checkpoints[i] holds second i × m_checkpointEvery, taken after its
    // tick and execution step and before its presses.
    std::vector<Checkpoint> m_checkpoints;
    std::vector<PracticeBranch> m_branches;
};

} // namespace vantrel
