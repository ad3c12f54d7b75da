#pragma once

#include "results/Ledger.h"
#include "results/PriceHistory.h"

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QChart;
class QChartView;
class QCategoryAxis;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QScrollBar;
class QValueAxis;

namespace vantrel {

// The last price at every second since the session started, the user's fills
// as markers (buys triangles, sales circles), the pending order's price and
// the average cost. It follows the newest tick showing the last five minutes
// until the user scrolls or zooms back; 最新に戻る follows again.
//
// The series only ever hold the visible window's points: Qt Charts works over
// every point of a series on each change, so a series holding the whole
// session would make each tick dearer as the session grows.
class PriceChart final : public QWidget {
    Q_OBJECT
public:
    PriceChart(const PriceHistory& history, const Ledger& ledger, QWidget* parent = nullptr);

    // Redraws the visible window; the order's price and the average cost are
    // drawn as horizontal lines when given.
    void update(std::optional<double> orderPrice, std::optional<double> averageCost);
    // Back to following the newest five minutes.
    void reset();
    // 資産合計 second by second as it was and as it would have been (a
    // what-if), as two lines on an axis of their own; empty, they go.
    void showAssets(std::vector<double> actual, std::vector<double> whatIf);

    int spanSeconds() const;

signals:
    // The second under a click on the plot, and under a request for its menu
    // (with where the menu goes).
    void secondClicked(std::uint64_t second);
    void secondMenuRequested(std::uint64_t second, const QPoint& globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The second of the price line under a point of the view, if on the plot.
    std::optional<std::uint64_t> secondAt(const QPoint& viewPoint) const;
    void redraw();
    void zoom(int step);
    void follow();
    // The price axis's step and range for the prices shown and the plot's height.
    void fitYenAxis();
    void showAssetLines(bool shown);

    const PriceHistory& m_history;
    const Ledger& m_ledger;
    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QLineSeries* m_price = nullptr;
    QScatterSeries* m_buys = nullptr;
    QScatterSeries* m_sells = nullptr;
    QLineSeries* m_order = nullptr;
    QLineSeries* m_average = nullptr;
    QLineSeries* m_assets = nullptr;
    QLineSeries* m_whatIfAssets = nullptr;
    QValueAxis* m_assetAxis = nullptr;
    std::vector<double> m_assetValues;
    std::vector<double> m_whatIfValues;
    QCategoryAxis* m_time = nullptr;
    QValueAxis* m_yen = nullptr;
    QScrollBar* m_scroll = nullptr;
    QPushButton* m_latest = nullptr;
    QPushButton* m_zoomIn = nullptr;
    QPushButton* m_zoomOut = nullptr;

    int m_spanIndex = 0;
    bool m_following = true;
    double m_first = 0;
    // The lowest and highest yen in the visible window.
    double m_low = 500;
    double m_high = 500;
    // What the axes and markers were last given, so unchanged ones are left be.
    double m_left = -1;
    double m_right = -1;
    std::pair<std::ptrdiff_t, std::ptrdiff_t> m_shownFills{-1, -1};
    std::optional<double> m_orderPrice;
    std::optional<double> m_averageCost;
};

} // namespace vantrel
