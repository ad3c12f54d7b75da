#pragma once

#include "orders/OrderForm.h"
#include "results/Figures.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// The version of the session file this program writes. Format 1 files are
// still read, except those of a market number whose start changed with
// format 2 (their recorded market no longer exists). Format 3 added the
// optional exercise and branches members; a format 1 or 2 file reads as it
// always did, a practice with no branches.
inline constexpr int kSessionFormat = 3;

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

// How a practice that does not start from the start-up account begins: the
// market runs ahead, with nothing pressed, to `second`, and then `shares` are
// held, bought at that second's last price (the arrival price) without a
// commission, so 資産合計 is still the start power there.
struct SessionOpening {
    std::uint64_t second = 0;
    double shares = 0;
    bool operator==(const SessionOpening& other) const {
        return second == other.second && shares == other.shares;
    }
};

// A line of the practice that was left by going back to an earlier second:
// the two lines agree up to the end of `leftAt` and part after it. It holds
// every press from the practice's start, so it is a practice of its own that
// can be replayed, saved or continued without the line it left.
struct PracticeBranch {
    std::uint64_t leftAt = 0;
    std::vector<SessionAction> actions;
    // Where it stood when it was left: its last second and its figures.
    SessionResults results;
};

// A whole practice: its market and its actions describe it fully, since the
// market is deterministic; the results are what the user saw at the end.
struct SessionRecord {
    int format = kSessionFormat;
    std::string program;
    int market = 1;
    std::vector<SessionAction> actions;
    SessionResults results;
    // The exercise the practice was, as the compact JSON object the file
    // holds under "exercise"; empty for a free practice. This layer only
    // carries it: the exercise layer reads and checks it.
    std::string exercise;
    // Not written: whoever reads the exercise sets it from its card, so the
    // card stays the one place that says how the practice began.
    std::optional<SessionOpening> opening;
    // The lines left by going back, oldest first; written under "branches"
    // only when there are any, so a practice without them reads as before.
    std::vector<PracticeBranch> branches;
};

// A branch as a practice record of its own on the market, ready to save or
// replay (it has no branches of its own).
SessionRecord branchRecord(int market, const PracticeBranch& branch);

// "Vantrel 0.1.0": the program that wrote a file.
std::string programVersionText();

} // namespace vantrel
