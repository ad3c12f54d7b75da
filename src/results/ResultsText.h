#pragma once

#include "market/Quotes.h"
#include "trading/Account.h"
#include "results/Figures.h"
#include "results/Ledger.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

// The value with the given number of decimals, rounded half to even, its
// whole part grouped by threes ("1,234,567"); a minus sign only when the
// rounded value is below zero.
std::string groupedNumber(double value, int decimals = 0);
// Money as the results show it: whole yen, grouped, "円" ("-2,100円").
std::string yenText(double yen);

// A shown figure's value as the results window writes it: rounded to its
// decimals, grouped, with its unit; its undefined text when it has none.
std::string figureText(const FigureDefinition& definition, const std::optional<double>& value);
// Whether the value, as shown, is a loss (drawn in the loss colour).
bool isShownLoss(const FigureDefinition& definition, const std::optional<double>& value);
// The value rounded as shown, half to even.
double shownValue(const FigureDefinition& definition, double value);

// Why the pending order waits, in the execution rules' own terms: what it
// waits for (or what the next attempt will fill), then the shares left after
// a part fill and the seconds until the next attempt, counted in market
// seconds, which stand still while the practice is paused (said so then).
// "注文なし" with no order.
std::string waitText(const Account& account, const Quotes& quotes, bool paused = false);

// The trade history's columns: 日時 (the wall clock), 経過 (market time since
// the start), 売買, 価格, 株数, 金額, 実現損益 (sales only), 手数料 (on the
// fill that incurred it).
inline constexpr int kHistoryColumns = 8;
inline constexpr int kPriceColumn = 3;
inline constexpr int kRealisedColumn = 6;
// Market seconds as the chart's time axis shows them: m:ss, H:mm:ss from an
// hour on.
std::string elapsedText(std::uint64_t seconds);
// True when the amount shows as below zero in whole yen.
bool isLoss(double yen);
const std::array<const char*, kHistoryColumns>& historyCaptions();
// One fill as the history table shows it, given the text of its time.
std::array<std::string, kHistoryColumns> historyCells(const LedgerFill& fill,
                                                      const std::string& timeText);

// The trade history as a spreadsheet reads it: UTF-8 with a byte-order mark,
// CRLF line ends, the captions, then one row per fill with plain numbers.
std::string tradeHistoryCsv(const std::vector<LedgerFill>& fills,
                            const std::function<std::string(const LedgerFill&)>& timeText);

} // namespace vantrel
