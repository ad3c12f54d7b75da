#include "ui/results/PriceChart.h"

#include "results/ResultsText.h"
#include "ui/common/Appearance.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace vantrel {
namespace {

// Widths of the visible window in seconds, narrowest first; 300 is the start.
constexpr std::array<int, 9> kSpans{60, 120, 300, 900, 1800, 3600, 7200, 14400, 28800};
constexpr int kFollowSpanIndex = 2;
// Beyond this many points a window is thinned to each bucket's low and high,
// which keeps its shape and bounds the work of a wide view.
constexpr std::size_t kMaxPoints = 1200;

// Round steps of market time, at most five across the visible window, so
// each label has room to be read whole.
constexpr std::array<int, 12> kTimeSteps{10,  20,  30,   60,   120,  180,
                                         300, 600, 1200, 1800, 3600, 7200};

int timeStep(int span) {
    for (const int step : kTimeSteps)
        if (span / step <= 5)
            return step;
    return kTimeSteps.back();
}

// The x of a point is its market second since the start.
double toX(double second) {
    return second;
}

QLineSeries* horizontalLine(const QString& name, const QColor& colour, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    QPen pen(colour, 1.5, style);
    line->setPen(pen);
    return line;
}

QScatterSeries* markers(const QString& name, QScatterSeries::MarkerShape shape,
                        const QColor& colour) {
    auto* series = new QScatterSeries;
    series->setName(name);
    series->setMarkerShape(shape);
    series->setMarkerSize(12);
    series->setColor(colour);
    series->setBorderColor(colour.darker(150));
    return series;
}

} // namespace

PriceChart::PriceChart(const PriceHistory& history, const Ledger& ledger, QWidget* parent)
    : QWidget(parent), m_history(history), m_ledger(ledger), m_spanIndex(kFollowSpanIndex) {
    setObjectName(QStringLiteral("chartPanel"));
    m_chart = new QChart;
    m_chart->setFont(gothicFont(9));
    m_chart->legend()->setFont(gothicFont(9));
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    // Each entry drawn as on the chart: triangles, circles, a dashed line.
    m_chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    m_chart->setMargins(QMargins(4, 4, 4, 4));

    m_price = horizontalLine(QStringLiteral("現値"), QColor(0x33, 0x33, 0x33), Qt::SolidLine);
    m_order = horizontalLine(QStringLiteral("注文価格"), QColor(0x2c, 0xa0, 0x2c), Qt::SolidLine);
    m_average =
        horizontalLine(QStringLiteral("平均取得単価"), QColor(0x99, 0x44, 0xbb), Qt::DashLine);
    m_buys = markers(QStringLiteral("買い約定"), QScatterSeries::MarkerShapeTriangle,
                     QColor(0xe0, 0x30, 0x30));
    m_sells = markers(QStringLiteral("売り約定"), QScatterSeries::MarkerShapeCircle,
                      QColor(0x20, 0x60, 0xd0));

    // Labelled by hand with market time as the trade history writes it, which
    // reads on past a day (25:00:00), where a clock's time would wrap.
    m_time = new QCategoryAxis;
    m_time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_time->setLabelsFont(gothicFont(8));
    m_time->setTitleFont(gothicFont(8));
    m_yen = new QValueAxis;
    // The label format goes through a Latin-1 printf, so the unit is the title.
    m_yen->setLabelFormat(QStringLiteral("%.0f"));
    m_yen->setTitleText(QStringLiteral("円"));
    m_yen->setTitleFont(gothicFont(8));
    m_yen->setLabelsFont(gothicFont(8));
    m_chart->addAxis(m_time, Qt::AlignBottom);
    m_chart->addAxis(m_yen, Qt::AlignLeft);
    for (QXYSeries* series : {static_cast<QXYSeries*>(m_price), static_cast<QXYSeries*>(m_order),
                              static_cast<QXYSeries*>(m_average), static_cast<QXYSeries*>(m_buys),
                              static_cast<QXYSeries*>(m_sells)}) {
        m_chart->addSeries(series);
        series->attachAxis(m_time);
        series->attachAxis(m_yen);
    }

    // 資産合計 and what it would have been, on the right, only while a what-if
    // is shown.
    m_assets = horizontalLine(QStringLiteral("資産合計"), QColor(0xe0, 0x80, 0x10), Qt::SolidLine);
    m_whatIfAssets =
        horizontalLine(QStringLiteral("資産合計（もしも）"), QColor(0xe0, 0x80, 0x10), Qt::DotLine);
    m_assetAxis = new QValueAxis;
    m_assetAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_assetAxis->setLabelsFont(gothicFont(8));
    m_chart->addAxis(m_assetAxis, Qt::AlignRight);
    for (QLineSeries* line : {m_assets, m_whatIfAssets}) {
        m_chart->addSeries(line);
        line->attachAxis(m_time);
        line->attachAxis(m_assetAxis);
    }
    showAssetLines(false);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("priceChart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    setFocusProxy(m_view);

    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(QStringLiteral("chartScroll"));
    m_zoomIn = new QPushButton(QStringLiteral("拡大"), this);
    m_zoomIn->setObjectName(QStringLiteral("cmdZoomIn"));
    m_zoomOut = new QPushButton(QStringLiteral("縮小"), this);
    m_zoomOut->setObjectName(QStringLiteral("cmdZoomOut"));
    m_latest = new QPushButton(QStringLiteral("最新に戻る"), this);
    m_latest->setObjectName(QStringLiteral("cmdLatest"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_scroll, 1);
    controls->addWidget(m_zoomIn);
    controls->addWidget(m_zoomOut);
    controls->addWidget(m_latest);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(controls);

    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        // Scrolled to the newest second, the chart follows again by itself.
        m_following = value >= m_scroll->maximum();
        m_first = value;
        redraw();
    });
    connect(m_zoomIn, &QPushButton::clicked, this, [this] { zoom(-1); });
    connect(m_zoomOut, &QPushButton::clicked, this, [this] { zoom(+1); });
    connect(m_latest, &QPushButton::clicked, this, &PriceChart::follow);
    m_view->viewport()->installEventFilter(this);
    // A taller or shorter plot holds more or fewer price labels.
    connect(m_chart, &QChart::plotAreaChanged, this, &PriceChart::fitYenAxis);
}

int PriceChart::spanSeconds() const {
    return kSpans[static_cast<std::size_t>(m_spanIndex)];
}

std::optional<std::uint64_t> PriceChart::secondAt(const QPoint& viewPoint) const {
    const QPointF scene = m_view->mapToScene(viewPoint);
    const QPointF inChart = m_chart->mapFromScene(scene);
    if (!m_chart->plotArea().contains(inChart) || m_history.prices.empty())
        return std::nullopt;
    const double second = std::round(m_chart->mapToValue(inChart, m_price).x());
    return static_cast<std::uint64_t>(
        std::clamp(second, 0.0, static_cast<double>(m_history.prices.size() - 1)));
}

bool PriceChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton)
            if (const auto second = secondAt(press->position().toPoint()))
                emit secondClicked(*second);
    } else if (watched == m_view->viewport() && event->type() == QEvent::ContextMenu) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        if (const auto second = secondAt(request->pos())) {
            emit secondMenuRequested(*second, request->globalPos());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PriceChart::update(std::optional<double> orderPrice, std::optional<double> averageCost) {
    m_orderPrice = orderPrice;
    m_averageCost = averageCost;
    redraw();
}

void PriceChart::reset() {
    m_spanIndex = kFollowSpanIndex;
    follow();
}

void PriceChart::showAssets(std::vector<double> actual, std::vector<double> whatIf) {
    m_assetValues = std::move(actual);
    m_whatIfValues = std::move(whatIf);
    showAssetLines(!m_assetValues.empty());
    redraw();
}

void PriceChart::showAssetLines(bool shown) {
    m_assetAxis->setVisible(shown);
    for (QLineSeries* line : {m_assets, m_whatIfAssets}) {
        line->setVisible(shown);
        for (QLegendMarker* marker : m_chart->legend()->markers(line))
            marker->setVisible(shown);
    }
}

void PriceChart::follow() {
    m_following = true;
    redraw();
}

void PriceChart::zoom(int step) {
    const int index = std::clamp(m_spanIndex + step, 0, static_cast<int>(kSpans.size()) - 1);
    if (index == m_spanIndex)
        return;
    // Keeps the right edge where it is, so zooming looks at the same moment.
    const double end = m_first + spanSeconds();
    m_spanIndex = index;
    m_first = std::max(0.0, end - spanSeconds());
    redraw();
}

void PriceChart::redraw() {
    const std::vector<double>& prices = m_history.prices;
    const int span = spanSeconds();
    const int latest = prices.empty() ? 0 : static_cast<int>(prices.size()) - 1;
    // Following, the window moves on in steps of a thirtieth of its width, so
    // the axes (dear to lay out) change every few ticks, not on every one.
    const int step = std::max(1, span / 30);
    const int lastEdge = (latest + step - 1) / step * step;
    {
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setRange(0, std::max(0, lastEdge - span));
        m_scroll->setPageStep(span);
        m_scroll->setSingleStep(step);
        m_scroll->setValue(m_following ? m_scroll->maximum() : static_cast<int>(m_first));
    }
    m_latest->setEnabled(!m_following);
    m_zoomIn->setEnabled(m_spanIndex > 0);
    m_zoomOut->setEnabled(m_spanIndex + 1 < static_cast<int>(kSpans.size()));
    m_first = m_scroll->value();
    const std::size_t first = static_cast<std::size_t>(m_first);
    const std::size_t end = std::min(prices.size(), first + static_cast<std::size_t>(span) + 1);

    QList<QPointF> points;
    double low = prices.empty() ? 500 : prices[std::min(first, prices.size() - 1)];
    double high = low;
    const std::size_t count = end > first ? end - first : 0;
    const std::size_t bucket =
        count > kMaxPoints ? (count + kMaxPoints / 2 - 1) / (kMaxPoints / 2) : 1;
    points.reserve(static_cast<int>(std::min(count, kMaxPoints) + 2));
    for (std::size_t from = first; from < end; from += bucket) {
        const std::size_t to = std::min(end, from + bucket);
        const auto [lo, hi] =
            std::minmax_element(prices.begin() + static_cast<std::ptrdiff_t>(from),
                                prices.begin() + static_cast<std::ptrdiff_t>(to));
        low = std::min(low, *lo);
        high = std::max(high, *hi);
        if (bucket == 1) {
            points.append({toX(static_cast<double>(from)), *lo});
        } else {
            // Low and high in the order they happened.
            const auto a = std::min(lo, hi);
            const auto b = std::max(lo, hi);
            points.append({toX(static_cast<double>(a - prices.begin())), *a});
            points.append({toX(static_cast<double>(b - prices.begin())), *b});
        }
    }
    m_price->replace(points);

    if (!m_assetValues.empty()) {
        double least = m_assetValues[std::min(first, m_assetValues.size() - 1)];
        double most = least;
        for (auto [values, line] :
             {std::pair{&m_assetValues, m_assets}, std::pair{&m_whatIfValues, m_whatIfAssets}}) {
            QList<QPointF> worth;
            for (std::size_t from = first; from < std::min(end, values->size()); from += bucket) {
                worth.append({toX(static_cast<double>(from)), (*values)[from]});
                least = std::min(least, (*values)[from]);
                most = std::max(most, (*values)[from]);
            }
            line->replace(worth);
        }
        const double margin = std::max(1000.0, (most - least) * 0.05);
        m_assetAxis->setRange(least - margin, most + margin);
        m_assetAxis->applyNiceNumbers();
    }

    // Fills are appended in time order, so the visible ones are one run.
    const auto& fills = m_ledger.fills();
    const auto begin = std::lower_bound(
        fills.begin(), fills.end(), static_cast<std::uint64_t>(first),
        [](const LedgerFill& fill, std::uint64_t second) { return fill.time.second < second; });
    auto stop = begin;
    while (stop != fills.end() && stop->time.second <= first + static_cast<std::size_t>(span))
        ++stop;
    const std::pair<std::ptrdiff_t, std::ptrdiff_t> shownFills{begin - fills.begin(),
                                                               stop - fills.begin()};
    for (auto it = begin; it != stop; ++it) {
        low = std::min(low, it->price);
        high = std::max(high, it->price);
    }
    if (shownFills != m_shownFills) {
        QList<QPointF> buys;
        QList<QPointF> sells;
        for (auto it = begin; it != stop; ++it)
            (it->side == OrderSide::Buy ? buys : sells)
                .append({toX(static_cast<double>(it->time.second)), it->price});
        m_buys->replace(buys);
        m_sells->replace(sells);
        m_shownFills = shownFills;
    }

    for (const auto& yen : {m_orderPrice, m_averageCost}) {
        if (yen) {
            low = std::min(low, *yen);
            high = std::max(high, *yen);
        }
    }
    const double left = toX(m_first);
    const double right = toX(m_first + span);
    const auto level = [left, right](QLineSeries* line, std::optional<double> yen) {
        if (!yen) {
            if (line->count() != 0)
                line->clear();
            return;
        }
        const QList<QPointF> ends{{left, *yen}, {right, *yen}};
        if (line->points() != ends)
            line->replace(ends);
    };
    level(m_order, m_orderPrice);
    level(m_average, m_averageCost);

    if (left != m_left || right != m_right) {
        m_left = left;
        m_right = right;
        const bool hours = m_first + span >= 3600;
        m_time->setTitleText(hours ? QStringLiteral("経過（時:分:秒）")
                                   : QStringLiteral("経過（分:秒）"));
        for (const QString& label : m_time->categoriesLabels())
            m_time->remove(label);
        const int stepSeconds = timeStep(span);
        const auto firstTick =
            static_cast<std::uint64_t>(std::ceil(m_first / stepSeconds)) * stepSeconds;
        m_time->setStartValue(toX(static_cast<double>(firstTick)) - stepSeconds);
        for (std::uint64_t tick = firstTick; tick <= m_first + span; tick += stepSeconds)
            m_time->append(QString::fromStdString(elapsedText(tick)),
                           toX(static_cast<double>(tick)));
        m_time->setRange(left, right);
    }
    m_low = low;
    m_high = high;
    fitYenAxis();
}

void PriceChart::fitYenAxis() {
    // Qt Charts elides every label of an axis once they crowd it, so the
    // step is the roundest that leaves each label two lines of the plot's
    // height; the axis is laid out again only when its range changes.
    const int lineHeight = QFontMetrics(m_yen->labelsFont()).height();
    const int room =
        std::max(2, static_cast<int>(m_chart->plotArea().height()) / (2 * lineHeight) + 1);
    double bottom = 0;
    double top = 0;
    int ticks = 0;
    for (const int step : {5, 10, 20, 50, 100}) {
        // Room above and below the prices, on whole steps.
        bottom = std::floor((m_low - 1) / step) * step;
        top = std::ceil((m_high + 1) / step) * step;
        ticks = static_cast<int>((top - bottom) / step) + 1;
        if (ticks <= room)
            break;
    }
    if (bottom != m_yen->min() || top != m_yen->max() || ticks != m_yen->tickCount()) {
        m_yen->setTickCount(ticks);
        m_yen->setRange(bottom, top);
    }
}

} // namespace vantrel
