#include "results/Measure.h"

namespace vantrel {

const MeasureInfo& measureInfo(Measure measure) {
    // In the order of the enum, one row for each of its names.
    static const MeasureInfo table[] = {
        {"buyingPower", nullptr, "円", 0, false, "—"},
        {"holdings", "保有株数", "株", 0, false, "—"},
        // A price per share, so it keeps its sen.
        {"averageCost", "平均取得単価", "円", 2, false, ""},
        {"last", "現値", "円", 0, false, "—"},
        {"unrealised", "評価損益", "円", 0, true, "—"},
        {"realisedProfit", "実現損益", "円", 0, true, "—"},
        {"commissions", "手数料合計", "円", 0, false, "—"},
        {"netProfit", "純損益", "円", 0, true, "—"},
        {"totalAssets", "資産合計", "円", 0, true, "—"},
        {"rate", "損益率", "%", 2, true, "—"},

        {"roundTrips", "往復取引数", "回", 0, true, "—"},
        {"winRate", "勝率", "%", 2, true, "—"},
        {"averageWin", "平均利益", "円", 0, true, "—"},
        {"averageLoss", "平均損失", "円", 0, true, "—"},
        {"profitFactor", "プロフィットファクター", "", 2, true, "—"},
        {"expectancy", "期待値（1往復あたり）", "円", 0, true, "—"},
        {"largestWin", "最大利益", "円", 0, true, "—"},
        {"largestLoss", "最大損失", "円", 0, true, "—"},
        {"maxDrawdown", "最大ドローダウン", "円", 0, true, "—"},
        {"maxDrawdownRate", "最大ドローダウン率", "%", 2, true, "—"},
        {"averageHolding", "平均保有時間", "秒", 1, true, "—"},
        {"timeInMarket", "保有時間率", "%", 2, true, "—"},
        {"mostShares", "最大保有株数", "株", 0, true, "—"},

        {"chanceTopPercent", "上位（運か実力か）", "%", 1, true, "—"},
        {"chanceMedian", "コンピューターの中央値", "円", 0, true, "—"},
        {"chanceLow", "コンピューターの5%点", "円", 0, true, "—"},
        {"chanceHigh", "コンピューターの95%点", "円", 0, true, "—"},
    };
    static_assert(sizeof table / sizeof table[0] == kMeasures, "a row for every measure");
    return table[indexOf(measure)];
}

} // namespace vantrel
