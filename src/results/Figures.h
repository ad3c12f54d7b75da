#pragma once

#include "results/Ledger.h"
#include "results/Measure.h"
#include "trading/Account.h"

#include <optional>
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
// figure is computed: the results window, the headless output, the session
// file and its verification all walk it.
struct FigureDefinition {
    Measure measure;
    // Kept in a session file's results and checked when the file replays.
    bool saved;
    // Empty when the figure has no value (an average with nothing held).
    std::optional<double> (*compute)(const FigureSource& source);

    const MeasureInfo& info() const { return measureInfo(measure); }
    bool shown() const { return info().caption != nullptr; }
};

// The figures in the order they are shown and saved: the first kFigures
// measures.
const std::vector<FigureDefinition>& figureTable();

// One value for each row of the table, in its order; empty where a figure
// has no value, or was not read from a file.
struct Figures {
    Figures();
    std::vector<std::optional<double>> values;

    // The figure of the given measure; throws std::out_of_range for a
    // measure that is not a figure.
    std::optional<double>& operator[](Measure measure) { return values.at(indexOf(measure)); }
    const std::optional<double>& operator[](Measure measure) const {
        return values.at(indexOf(measure));
    }
    // The row of the figure at this place in the table.
    MeasureRow row(std::size_t index) const {
        return {figureTable()[index].measure, values[index]};
    }
};

Figures computeFigures(const FigureSource& source);

} // namespace vantrel
