#pragma once

#include "market/Market.h"
#include "results/Ledger.h"
#include "trading/Trader.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vantrel {

using Lines = std::vector<std::string>;

// Stands in for the log and the message boxes: keeps the lines, counts the
// boxes and keeps the last (a long run must not keep them all).
class Recorder final : public TradeLog, public MessagePrompter {
public:
    void AddLog(const std::string& message) override { lines.push_back(message); }
    void ShowMessage(const std::string& prompt, const std::string& title) override {
        ++boxes;
        lastBox = prompt + " | " + title;
    }
    Lines lines;
    int boxes = 0;
    std::string lastBox;
};

namespace test {

// Keeps the user's books from the trading log alone and checks after every
// action that they agree with the account the trader keeps:
//  - every new log line is one of the trading messages;
//  - cash (start, minus buys, plus sales, minus commissions) equals the
//    buying power plus what a pending buy has set aside;
//  - holdings equal the shares the fills moved, and are never negative;
//  - a pending order is for more than 0 shares inside the day's band, and a
//    pending sale for no more shares than are held;
//  - an action that logged nothing moved neither money nor shares, and one
//    that showed a message box changed nothing at all.
// The session test, the soak and the fuzz target all hold their runs to it;
// each returns the first broken promise.
class TradingBooks {
public:
    // `added` holds the log lines the action wrote.
    std::optional<std::string> afterAction(const Account& before, const Account& after,
                                           const Lines& added, bool boxShown);
    int fills = 0;
    int commissions = 0;

private:
    double m_cash = stock::kStartPower;
    double m_shares = 0;
};

// The trading core against a started market, each action held to the books;
// the ledger keeps the results.
struct Session {
    enum Action { Buy, Sell, Cancel, Tick, ExecutionTick };
    Market market;
    Recorder record;
    Ledger ledger;
    Trader trader{record, record, ledger};
    TradingBooks books;

    Session() { market.StartUp(); }
    // A press of a button (with the form and code for buy and sell), a
    // market tick or an execution attempt; returns the first broken promise.
    std::optional<std::string> act(Action action, const std::string& code = {},
                                   const OrderForm& form = {});
};

// A user who mostly types what a box asks for (box 0: a price, 1: shares,
// 2: yen), and now and then a text no order form should choke on.
class RandomUser {
public:
    explicit RandomUser(unsigned seed) : m_random(seed) {}
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }
    std::string text(int box);
    OrderForm form();

private:
    std::mt19937 m_random;
};

} // namespace test
} // namespace vantrel
