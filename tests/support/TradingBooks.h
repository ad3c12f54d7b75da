#pragma once

#include "trading/Account.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// Keeps the user's books from the trading log alone, apart from the account
// the trader keeps, and checks after every action that the two agree:
//  - every new log line is one of the trading messages;
//  - cash (start, minus buys, plus sales, minus commissions) equals the
//    buying power plus what a pending buy has set aside;
//  - holdings equal the shares bought less those sold, and are never negative;
//  - a pending order is for more than 0 shares inside the day's band, and a
//    pending sale for no more shares than are held;
//  - an action that logged nothing moved neither money nor shares, and one
//    that showed a message box changed nothing at all.
// Used by the randomised session test, the soak run and the fuzz target, so
// each reports the first broken promise as text in its own way.
class TradingBooks {
public:
    // `before` is the account as it stood before the action, `lines` the log
    // lines the action added, `boxShown` whether it showed a message box.
    std::optional<std::string> afterAction(const Account& before, const Account& after,
                                           const std::vector<std::string>& lines, bool boxShown);

    int fills() const { return m_fills; }
    int commissions() const { return m_commissions; }

private:
    std::optional<std::string> read(const std::string& line, std::optional<OrderSide> side);

    double m_cash = stock::kStartPower;
    double m_shares = 0;
    int m_fills = 0;
    int m_commissions = 0;
};

} // namespace vantrel::test
