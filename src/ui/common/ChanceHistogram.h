#pragma once

#include "practice/ChanceComparison.h"

#include <QChartView>

#include <optional>
#include <vector>

class QAreaSeries;
class QLineSeries;
class QValueAxis;

namespace vantrel {

// The computer traders' 純損益 as a histogram, the learner's bin in another
// colour and the learner's own 純損益 as an upright line across it.
class ChanceHistogram final : public QChartView {
    Q_OBJECT
public:
    explicit ChanceHistogram(QWidget* parent = nullptr);

    void show(const ChanceResult& result);
    // Any crowd's counts (a class's scores, say) under crowdName, with an
    // upright line at `at` under lineName (none without it) and no bin of
    // the learner's.
    void showCrowd(const std::vector<ChanceBin>& bins, const QString& crowdName,
                   std::optional<double> at, const QString& lineName);
    void clear();
    // What is compared: 純損益 in yen unless another score is drawn
    // ("得点", "bp"); the axis and the learner's line say so.
    void setValue(const QString& name, const QString& unit);

private:
    void draw(std::vector<ChanceBin> bins, int highlighted, std::optional<double> at);

    QLineSeries* m_outline = nullptr;
    QLineSeries* m_mineOutline = nullptr;
    QAreaSeries* m_traders = nullptr;
    QAreaSeries* m_mine = nullptr;
    QLineSeries* m_learner = nullptr;
    QValueAxis* m_yen = nullptr;
    QValueAxis* m_count = nullptr;
};

} // namespace vantrel
