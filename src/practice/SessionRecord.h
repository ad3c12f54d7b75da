#pragma once

#include "orders/OrderForm.h"
#include "results/Figures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// The version of the session file this program writes. Format 1 files are
// still read, except those of a market number whose start changed with
// format 2 (their recorded market no longer exists).
inline constexpr int kSessionFormat = 2;

enum class ActionKind { Buy, Sell, Cancel };

// One press of an order button, with the market seconds elapsed since the
// session started and everything the press read from the window.
struct SessionAction {
    std::uint64_t second = 0;
    ActionKind kind = ActionKind::Buy;
    OrderForm form;
    std::string codeText;
};

// Where a session stood: its market seconds and its figures; what a file
// claims (the saved figures only) and what a replay is checked against.
struct SessionResults {
    std::uint64_t seconds = 0;
    Figures figures;
};

// A whole practice: its market and its actions describe it fully, since the
// market is deterministic; the results are what the user saw at the end.
struct SessionRecord {
    int format = kSessionFormat;
    std::string program;
    int market = 1;
    std::vector<SessionAction> actions;
    SessionResults results;
};

// "Vantrel 0.1.0": the program that wrote a file.
std::string programVersionText();

} // namespace vantrel
