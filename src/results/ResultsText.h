#pragma once

#include "base/NumberText.h"
#include "market/Quotes.h"
#include "results/Figures.h"
#include "results/Ledger.h"
#include "results/RoundTrips.h"
#include "results/Statistics.h"
#include "trading/Account.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

// Money as the results show it: whole yen, grouped, "円" ("-2,100円").
std::string yenText(double yen);
// Money as sentences compare it: a gain signed too ("+6,000円" beside
// "-2,000円"), nothing as "0円".
std::string signedYenText(double yen);

// A reported number as the results window writes it: rounded to its
// decimals, grouped, with its unit; its undefined text when it has none.
std::string measureText(const MeasureRow& row);
// The measure's explanation as the headless output writes it, on the line
// under its value: indented by two blanks.
std::string explanationLine(Measure measure);
// Whether the value, as shown, is a loss (drawn in the loss colour).
bool isShownLoss(const MeasureRow& row);
// The value rounded as shown, half to even.
double shownValue(Measure measure, double value);

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

// The round-trip table's columns: 番号, 開始 and 終了 (market time, as 経過),
// 保有時間, 最大保有株数, 平均買値, 平均売値, 損益, 手数料, 最大逆行幅,
// 最大順行幅, 状態 (決済済 or 保有中).
inline constexpr int kRoundTripProfitColumn = 7;
struct RoundTripColumn {
    const char* caption;
    // What the column holds and how to read it, in plain sentences for a
    // beginner: the header's tooltip and the tab's explanation line.
    const char* explanation;
};
const std::array<RoundTripColumn, kRoundTripColumns>& roundTripColumns();
std::array<std::string, kRoundTripColumns> roundTripCells(const RoundTrip& trip, int number);

} // namespace vantrel
