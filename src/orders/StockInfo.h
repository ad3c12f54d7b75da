#pragma once

namespace vantrel {

// The one simulated stock and the fixed values of record the window shows.
namespace stock {
inline constexpr const char* kCode = "9999";
inline constexpr const char* kName = "ヴァントレル";
inline constexpr const char* kMarket = "東証";
inline constexpr double kUnit = 1000;         // trading unit in shares
inline constexpr double kPreviousClose = 500; // base of the daily price band
inline constexpr double kStartPower = 3000000;
} // namespace stock

// The flat commission, charged each time the running traded value reaches
// the step; a buy keeps it back from the buying power it may spend.
inline constexpr double kCommission = 2100;
inline constexpr double kCommissionStep = 3000000;

// The application's title: the main window's caption and the title of any
// message box shown without one of its own.
inline constexpr const char* kAppTitle = "Vantrel";

} // namespace vantrel
