#include "ui/common/ChanceHistogram.h"

#include "ui/common/Appearance.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

// The outline of bars standing on the axis: up, across and down for each bin.
void addBar(QLineSeries& outline, const ChanceBin& bin) {
    outline.append(bin.lower, 0);
    outline.append(bin.lower, bin.count);
    outline.append(bin.upper, bin.count);
    outline.append(bin.upper, 0);
}

} // namespace

// Given its chart from the start: a view made without one makes a default
// chart that setChart would only release, never delete.
ChanceHistogram::ChanceHistogram(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("chanceChart"));
    setRenderHint(QPainter::Antialiasing);
    QChart* chart = this->chart();
    chart->setFont(gothicFont(9));
    chart->legend()->setFont(gothicFont(8));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(2, 2, 2, 2));

    m_outline = new QLineSeries(this);
    m_traders = new QAreaSeries(m_outline);
    m_traders->setName(QStringLiteral("コンピューター1000人"));
    m_traders->setColor(QColor(0x9a, 0xb8, 0xd8));
    m_traders->setBorderColor(QColor(0x4a, 0x6a, 0x90));
    m_mineOutline = new QLineSeries(this);
    m_mine = new QAreaSeries(m_mineOutline);
    m_mine->setName(QStringLiteral("あなたと同じ区間"));
    m_mine->setColor(QColor(0xf0, 0xa0, 0x40));
    m_mine->setBorderColor(QColor(0xb0, 0x60, 0x10));
    m_learner = new QLineSeries;
    m_learner->setName(QStringLiteral("あなたの純損益"));
    m_learner->setPen(QPen(lossColour(), 2.5));

    m_yen = new QValueAxis;
    m_yen->setLabelFormat(QStringLiteral("%.0f"));
    m_yen->setTitleText(QStringLiteral("純損益（円）"));
    m_yen->setTickCount(5);
    m_count = new QValueAxis;
    m_count->setLabelFormat(QStringLiteral("%.0f"));
    m_count->setTitleText(QStringLiteral("人数"));
    for (QValueAxis* axis : {m_yen, m_count}) {
        axis->setLabelsFont(gothicFont(8));
        axis->setTitleFont(gothicFont(8));
    }
    chart->addAxis(m_yen, Qt::AlignBottom);
    chart->addAxis(m_count, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(m_traders), static_cast<QAbstractSeries*>(m_mine),
          static_cast<QAbstractSeries*>(m_learner)}) {
        chart->addSeries(series);
        series->attachAxis(m_yen);
        series->attachAxis(m_count);
    }
    clear();
}

void ChanceHistogram::show(const ChanceResult& result) {
    m_traders->setName(QStringLiteral("コンピューター%1人").arg(result.nets.size()));
    draw(result.bins, result.learnerBin, result.learnerNet);
}

void ChanceHistogram::showCrowd(const std::vector<ChanceBin>& bins, const QString& crowdName,
                                std::optional<double> at, const QString& lineName) {
    m_traders->setName(crowdName);
    m_learner->setName(lineName);
    draw(bins, -1, at);
}

void ChanceHistogram::draw(std::vector<ChanceBin> bins, int highlighted, std::optional<double> at) {
    if (bins.empty()) {
        clear();
        return;
    }
    // Every result the same makes one bin of no width: give it some to be seen.
    if (bins.size() == 1 && bins.front().upper <= bins.front().lower) {
        bins.front().lower -= 500;
        bins.front().upper += 500;
    }
    QLineSeries outline;
    int highest = 1;
    for (const ChanceBin& bin : bins) {
        addBar(outline, bin);
        highest = std::max(highest, bin.count);
    }
    m_outline->replace(outline.points());
    QLineSeries mine;
    if (highlighted >= 0 && highlighted < static_cast<int>(bins.size()))
        addBar(mine, bins[static_cast<std::size_t>(highlighted)]);
    m_mineOutline->replace(mine.points());
    const double top = highest * 1.1;
    if (at)
        m_learner->replace({QPointF(*at, 0), QPointF(*at, top)});
    else
        m_learner->clear();
    m_yen->setRange(bins.front().lower, bins.back().upper);
    m_yen->applyNiceNumbers();
    m_count->setRange(0, top);
    m_count->applyNiceNumbers();
    for (QAbstractSeries* series : chart()->series())
        series->setVisible(true);
    m_learner->setVisible(at.has_value());
    // The orange bin needs no entry of its own: the red line says where you are.
    for (QLegendMarker* marker : chart()->legend()->markers(m_mine))
        marker->setVisible(false);
}

void ChanceHistogram::clear() {
    m_outline->clear();
    m_mineOutline->clear();
    m_learner->clear();
    for (QAbstractSeries* series : chart()->series())
        series->setVisible(false);
    m_yen->setRange(0, 1);
    m_count->setRange(0, 1);
}

void ChanceHistogram::setValue(const QString& name, const QString& unit) {
    m_yen->setTitleText(QStringLiteral("%1（%2）").arg(name, unit));
    m_learner->setName(QStringLiteral("あなたの") + name);
}

} // namespace vantrel
