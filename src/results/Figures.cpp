#include "results/Figures.h"

#include "orders/StockInfo.h"

#include <cassert>

namespace vantrel {
namespace {

double unrealised(const FigureSource& s) {
    const std::optional<double> average = s.ledger.averageCost();
    return average ? (s.last - *average) * s.account.holdings() : 0;
}

double net(const FigureSource& s) {
    return s.ledger.realised() + unrealised(s) - s.ledger.commissions();
}

} // namespace

const std::vector<FigureDefinition>& figureTable() {
    using S = const FigureSource&;
    using V = std::optional<double>;
    // The whole sums hold assets − start power = net, up to floating-point
    // rounding.
    static const std::vector<FigureDefinition> table = {
        {Measure::BuyingPower, true, [](S s) -> V { return s.account.power(); }},
        {Measure::Holdings, true, [](S s) -> V { return s.account.holdings(); }},
        {Measure::AverageCost, false, [](S s) -> V { return s.ledger.averageCost(); }},
        {Measure::Last, false, [](S s) -> V { return s.last; }},
        {Measure::Unrealised, false, [](S s) -> V { return unrealised(s); }},
        {Measure::Realised, true, [](S s) -> V { return s.ledger.realised(); }},
        {Measure::Commissions, true, [](S s) -> V { return s.ledger.commissions(); }},
        {Measure::NetProfit, true, [](S s) -> V { return net(s); }},
        {Measure::TotalAssets, true, [](S s) -> V { return s.ledger.totalAssets(s.last); }},
        {Measure::Rate, false, [](S s) -> V { return net(s) / stock::kStartPower * 100; }},
    };
    // Figures index their values by measure, so the table keeps the
    // measures' order.
    assert(table.size() == kFigures);
    for ([[maybe_unused]] const FigureDefinition& row : table)
        assert(indexOf(row.measure) == static_cast<std::size_t>(&row - table.data()));
    return table;
}

Figures::Figures() : values(kFigures) {}

Figures computeFigures(const FigureSource& source) {
    Figures figures;
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        figures.values[i] = table[i].compute(source);
    return figures;
}

} // namespace vantrel
