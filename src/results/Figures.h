#pragma once

#include "results/Ledger.h"
#include "trading/Account.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vantrel {

// What a figure is computed from: the session's trades, the account and the
// last price.
struct FigureSource {
    const Ledger& ledger;
    const Account& account;
    double last;
};

// One figure of a practice's results. The table of them is the one place a
// figure is defined: the results window, the headless output, the session
// file and its verification all walk it.
struct FigureDefinition {
    // The figure's name in a session file's results and in the verification.
    const char* key;
    // Shown in the results window and in the headless output under this
    // caption, in a label of this object name; nullptr: kept in files only.
    const char* caption;
    const char* labelName;
    int decimals;     // as shown; files keep the value unrounded
    const char* unit; // after the value in the window: "円", "株", "%"
    // Drawn in the loss colour when the shown value is below zero.
    bool lossColoured;
    // Kept in a session file's results and checked when the file replays.
    bool saved;
    // Shown while the figure has no value.
    const char* undefinedText;
    // Empty when the figure has no value (an average with nothing held).
    std::optional<double> (*compute)(const FigureSource& source);

    bool shown() const { return caption != nullptr; }
};

// The figures in the order they are shown and saved.
const std::vector<FigureDefinition>& figureTable();

// One value for each row of the table, in its order; empty where a figure
// has no value, or was not read from a file.
struct Figures {
    Figures();
    std::vector<std::optional<double>> values;

    // The figure of the given key; throws std::out_of_range for an unknown one.
    std::optional<double>& operator[](std::string_view key);
    const std::optional<double>& operator[](std::string_view key) const;
};

Figures computeFigures(const FigureSource& source);

} // namespace vantrel
