#include "results/Figures.h"

#include "orders/StockInfo.h"

#include <stdexcept>

namespace vantrel {
namespace {

double unrealised(const FigureSource& s) {
    const std::optional<double> average = s.ledger.averageCost();
    return average ? (s.last - *average) * s.account.holdings() : 0;
}

double net(const FigureSource& s) {
    return s.ledger.realised() + unrealised(s) - s.ledger.commissions();
}

// The money a pending buy has set aside from the buying power still belongs
// to the user.
double assets(const FigureSource& s) {
    const auto& order = s.account.order();
    const double setAside =
        order && order->side == OrderSide::Buy ? order->price * order->remaining : 0;
    return s.account.power() + setAside + s.account.holdings() * s.last;
}

std::size_t indexOf(std::string_view key) {
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (key == table[i].key)
            return i;
    throw std::out_of_range("no figure " + std::string(key));
}

} // namespace

const std::vector<FigureDefinition>& figureTable() {
    using S = const FigureSource&;
    using V = std::optional<double>;
    // The whole sums hold assets − start power = net, up to floating-point
    // rounding.
    static const std::vector<FigureDefinition> table = {
        {"buyingPower", nullptr, nullptr, 0, "円", false, true, "—",
         [](S s) -> V { return s.account.power(); }},
        {"holdings", "保有株数", "lblHeld", 0, "株", false, true, "—",
         [](S s) -> V { return s.account.holdings(); }},
        // A price per share, so it keeps its sen.
        {"averageCost", "平均取得単価", "lblAverageCost", 2, "円", false, false, "",
         [](S s) -> V { return s.ledger.averageCost(); }},
        {"last", "現値", "lblLast", 0, "円", false, false, "—", [](S s) -> V { return s.last; }},
        {"unrealised", "評価損益", "lblUnrealised", 0, "円", true, false, "—",
         [](S s) -> V { return unrealised(s); }},
        {"realisedProfit", "実現損益", "lblRealised", 0, "円", true, true, "—",
         [](S s) -> V { return s.ledger.realised(); }},
        {"commissions", "手数料合計", "lblCommissions", 0, "円", false, true, "—",
         [](S s) -> V { return s.ledger.commissions(); }},
        {"netProfit", "純損益", "lblNet", 0, "円", true, true, "—",
         [](S s) -> V { return net(s); }},
        {"totalAssets", "資産合計", "lblAssets", 0, "円", true, true, "—",
         [](S s) -> V { return assets(s); }},
        {"rate", "損益率", "lblRate", 2, "%", true, false, "—",
         [](S s) -> V { return net(s) / stock::kStartPower * 100; }},
    };
    return table;
}

Figures::Figures() : values(figureTable().size()) {}

std::optional<double>& Figures::operator[](std::string_view key) {
    return values.at(indexOf(key));
}

const std::optional<double>& Figures::operator[](std::string_view key) const {
    return values.at(indexOf(key));
}

Figures computeFigures(const FigureSource& source) {
    Figures figures;
    const auto& table = figureTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        figures.values[i] = table[i].compute(source);
    return figures;
}

} // namespace vantrel
