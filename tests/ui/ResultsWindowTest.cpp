#include "WindowFixture.h"
#include "practice/PracticeSession.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"
#include "results/TripReview.h"
#include "support/Session.h"
#include "ui/results/ExplanationLine.h"
#include "ui/results/PriceChart.h"
#include "ui/results/ResultLabels.h"
#include "ui/results/frmResults.h"

#include <QAccessible>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLineSeries>
#include <QListWidget>
#include <QScatterSeries>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <tuple>

using namespace vantrel;

namespace {

struct ResultsWindowTest : test::WindowFixture {
    void SetUp() override {
        pause();
        window.show();
    }
    QString value(const char* name) const { return results()->findChild<QLabel*>(name)->text(); }
    QTableView* table(const char* name) const { return results()->findChild<QTableView*>(name); }
    void showTab(int tab) const {
        results()->findChild<QTabWidget*>("tabResults")->setCurrentIndex(tab);
    }
    void sellAtMarket() {
        find<QRadioButton>("optSellOpt1")->click();
        find<QLineEdit>("txtSellAmount")->setText(QStringLiteral("1000"));
        find<QPushButton>("cmdSellNow")->click();
    }
    // A losing round trip at market (bought at the ask, sold at the bid),
    // then a buy still held.
    void tradeTwoTrips() {
        for (const bool buy : {true, false, true}) {
            buy ? buyAtMarket() : sellAtMarket();
            seconds(7);
        }
        ASSERT_EQ(window.session().ledger().fills().size(), 3u);
    }
};

// Every text the chart draws (axis labels and titles, legend), as painted.
QStringList chartTexts(QChart& chart) {
    QApplication::processEvents(); // the chart lays its axes out on a timer
    QStringList texts;
    for (QGraphicsItem* item : chart.scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
            texts << text->toPlainText();
    return texts;
}

QStringList rowTexts(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

// The round trips and the statistics show the core's values for the session;
// a loss is drawn in the loss colour, an undefined figure as —.
TEST_F(ResultsWindowTest, RoundTripsAndStatisticsShowTheSession) {
    tradeTwoTrips();
    action("MnuResults")->trigger();
    showTab(frmResults::kRoundTripsTab);
    const PracticeSession& session = window.session();
    const auto trips = roundTrips(session.ledger().fills(), session.prices());
    const QAbstractItemModel& model = *table("roundTripTable")->model();
    ASSERT_EQ(model.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        QStringList expected;
        for (const std::string& cell : roundTripCells(trips[row], row + 1))
            expected << QString::fromStdString(cell);
        EXPECT_EQ(rowTexts(model, row), expected) << row;
    }
    EXPECT_EQ(model.index(0, 11).data().toString(), QStringLiteral("決済済"));
    EXPECT_EQ(model.index(1, 11).data().toString(), QStringLiteral("保有中"));
    EXPECT_EQ(model.index(1, 6).data().toString(), QString()); // nothing sold yet
    EXPECT_EQ(model.index(0, kRoundTripProfitColumn).data(Qt::ForegroundRole),
              QVariant(QColor(0xc0, 0x10, 0x10)));
    // The open trip follows the seconds.
    const QString held = model.index(1, 3).data().toString();
    seconds(2);
    EXPECT_NE(model.index(1, 3).data().toString(), held);

    showTab(frmResults::kStatisticsTab);
    EXPECT_EQ(value("lblRoundTrips"), QStringLiteral("1回"));
    EXPECT_EQ(value("lblWinRate"), QStringLiteral("0.00%"));
    EXPECT_EQ(value("lblAverageWin"), QStringLiteral("—"));
    EXPECT_EQ(value("lblProfitFactor"), QStringLiteral("0.00"));
    const auto trip = roundTrips(session.ledger().fills(), session.prices()).front();
    EXPECT_EQ(value("lblAverageLoss"), QString::fromStdString(yenText(trip.profit)));
    EXPECT_EQ(
        results()->findChild<QLabel*>("lblAverageLoss")->palette().color(QPalette::WindowText),
        QColor(0xc0, 0x10, 0x10));
    EXPECT_EQ(value("lblMostShares"), QStringLiteral("1,000株"));
    const auto rows =
        statisticRows(computeStatistics(trips, session.ledger().fills(), session.prices()));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(results()->findChild<QLabel*>("lblMaxDrawdown"))
                  ->text(QAccessible::Name),
              QString::fromUtf8(rows[8].info().caption) + u' ' + value("lblMaxDrawdown"));
}

// The 振り返り tab lists the closed trip's review under its number, span and
// 損益, measured against the market's tape of the trip's own seconds; the
// trip's row says it as its tooltip (the open one says nothing), and opening
// the saved practice brings it back as the replay closes the trip again.
TEST_F(ResultsWindowTest, ReviewsFollowClosedTripsAndComeBackWithASavedPractice) {
    action("MnuResults")->trigger();
    showTab(frmResults::kReviewTab);
    tradeTwoTrips();
    const PracticeSession& session = window.session();
    const auto trips = roundTrips(session.ledger().fills(), session.prices());
    const QString review =
        QString::fromStdString(reviewTrips(trips, session.market().tape()).at(0).text());
    const auto* list = results()->findChild<QListWidget*>("reviewList");
    ASSERT_EQ(list->count(), 1);
    const QString shown = list->item(0)->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("往復 1（")) && shown.endsWith(u'\n' + review))
        << shown.toStdString();
    // Its VWAP is the one of the tape's lines in the trip's seconds.
    double value = 0, volume = 0;
    for (std::size_t i = 0; i < session.market().tape().size(); ++i)
        if (const TapeEntry& line = session.market().tape().at(i);
            line.second >= trips[0].start && line.second <= trips[0].end) {
            value += line.price * double(line.shares);
            volume += line.shares;
        }
    EXPECT_TRUE(review.contains(QString::asprintf("VWAP %.2f円", value / volume)))
        << review.toStdString();
    showTab(frmResults::kRoundTripsTab);
    const QAbstractItemModel& model = *table("roundTripTable")->model();
    EXPECT_EQ(model.index(0, 7).data(Qt::ToolTipRole).toString(), review);
    EXPECT_FALSE(model.index(1, 0).data(Qt::ToolTipRole).isValid());

    QTemporaryDir folder;
    dialogs.path = folder.filePath(QStringLiteral("practice.json"));
    action("MnuSaveSession")->trigger();
    const auto saved = static_cast<int>(session.elapsed());
    action("MnuOpenSession")->trigger();
    showTab(frmResults::kReviewTab);
    EXPECT_EQ(list->count(), 0);
    seconds(saved);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), shown);
}

// Assistive technology hears every value of the main window and of 成績
// with its caption; the description is the caption in the main window and
// what the figure means in 成績; the values follow a tick and a fill.
TEST_F(ResultsWindowTest, ScreenReadersHearEachValueWithItsCaption) {
    action("MnuResults")->trigger();
    std::vector<std::tuple<QLabel*, QString, QString>> values;
    const char* const band[][2] = {{"lblStockName", "銘柄名"},
                                   {"lblMarket", "市場"},
                                   {"lblNowPrice", "現値"},
                                   {"lblAmount", "株数"},
                                   {"lblUnit", "単位株"},
                                   {"lblPower", "余力（円）"},
                                   {"lblOrderPriceView", "注文価格"},
                                   {"lblOrderAmount", "注文株数"},
                                   {"lblOrderType", "注文の売買"}};
    for (const auto& [name, caption] : band)
        values.emplace_back(find<QLabel>(name), QString::fromUtf8(caption),
                            QString::fromUtf8(caption));
    for (const FigureDefinition& figure : figureTable())
        if (figure.shown())
            values.emplace_back(results()->findChild<QLabel*>(resultLabelName(figure.measure)),
                                QString::fromUtf8(figure.info().caption),
                                QString::fromUtf8(figure.info().explanation));
    const auto heard = [&values] {
        QStringList names;
        for (const auto& [label, caption, description] : values) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
            EXPECT_EQ(read->text(QAccessible::Description), description);
            const QString name = read->text(QAccessible::Name);
            EXPECT_EQ(name, label->text().isEmpty() ? caption : caption + u' ' + label->text());
            names << name;
        }
        return names.join(u'|');
    };
    seconds(1);
    EXPECT_TRUE(heard().startsWith(QStringLiteral(
        "銘柄名 ヴァントレル|市場 東証|現値 500|株数|単位株 1000|余力（円） 3000000|注文価格|")))
        << heard().toStdString();
    buyAtMarket();
    seconds(7);
    ASSERT_EQ(window.session().ledger().fills().size(), 1u);
    const QString filled = heard();
    EXPECT_TRUE(filled.contains(QStringLiteral("|株数 1000|"))) << filled.toStdString();
    EXPECT_TRUE(filled.contains(QStringLiteral("|保有株数 1,000株|"))) << filled.toStdString();
}

// The caption label beside a value label.
QLabel* captionOf(const QLabel& value, const char* caption) {
    for (QLabel* label :
         value.parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (label->text() == QString::fromUtf8(caption))
            return label;
    return nullptr;
}

// What the explanation line shows for a measure or a round-trip column.
template <class Row> QString explained(const Row& row) {
    return QString::fromUtf8(row.caption) + u'：' + QString::fromUtf8(row.explanation);
}

// Each figure says what it means where the learner looks: its caption's and
// its value's tooltip and the value's accessible description, and the line
// under its grid while the mouse is on either or the value has the focus;
// the round-trip table explains the column pointed at or selected.
TEST_F(ResultsWindowTest, EachFigureExplainsItselfWhereTheLearnerLooks) {
    tradeTwoTrips();
    action("MnuResults")->trigger();
    QWidget& shown = *results();
    for (std::size_t i = 0; i < kMeasures; ++i) {
        const MeasureInfo& info = measureInfo(static_cast<Measure>(i));
        auto* value = shown.findChild<QLabel*>(resultLabelName(static_cast<Measure>(i)));
        if (!info.caption || !value)
            continue;
        const QString explanation = QString::fromUtf8(info.explanation);
        const QLabel* caption = captionOf(*value, info.caption);
        ASSERT_NE(caption, nullptr) << info.key;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(value)->text(QAccessible::Description),
                  explanation);
        EXPECT_EQ(
            QStringList({value->toolTip(), caption->toolTip(), caption->accessibleDescription()}),
            QStringList({explanation, explanation, explanation}));
    }

    showTab(frmResults::kStatisticsTab);
    const auto& line = *shown.findChild<QLabel*>("lblStatisticsExplanation");
    auto* profitFactor = shown.findChild<QLabel*>("lblProfitFactor");
    const MeasureInfo& pf = measureInfo(Measure::ProfitFactor);
    shown.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
    // It opens on the chart, not on the first figure that can take the focus.
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("priceChart"));
    EXPECT_EQ(shown.findChild<QLabel*>("lblFiguresExplanation")->text(), ExplanationLine::hint());
    QTest::mouseMove(&shown, QPoint(1, 1));
    QTest::mouseMove(captionOf(*profitFactor, pf.caption));
    EXPECT_EQ(line.text(), explained(pf));
    QTest::mouseMove(&shown, QPoint(1, 1));
    EXPECT_EQ(line.text(), ExplanationLine::hint());
    // Focused, it stays explained while the mouse points elsewhere and after.
    profitFactor->setFocus(Qt::TabFocusReason);
    QTest::mouseMove(shown.findChild<QLabel*>("lblMaxDrawdown"));
    EXPECT_EQ(line.text(), explained(measureInfo(Measure::MaxDrawdown)));
    QTest::mouseMove(&shown, QPoint(1, 1));
    EXPECT_EQ(line.text(), explained(pf));
    QTest::keyClick(profitFactor, Qt::Key_Tab); // on to the next value
    EXPECT_EQ(line.text(), explained(measureInfo(Measure::Expectancy)));

    showTab(frmResults::kRoundTripsTab);
    QTableView& trips = *table("roundTripTable");
    const auto& tripLine = *shown.findChild<QLabel*>("lblTripsExplanation");
    const auto& columns = roundTripColumns(); // the headers' tooltips explain the columns
    const QModelIndex adverse = trips.model()->index(0, 9);
    trips.scrollTo(adverse);
    QHeaderView& header = *trips.horizontalHeader();
    QTest::mouseMove(header.viewport(), QPoint(header.sectionViewportPosition(10) + 4, 4));
    EXPECT_EQ(tripLine.text(), explained(columns[10]));
    QTest::mouseMove(trips.viewport(), trips.visualRect(adverse).center());
    QTest::mouseClick(trips.viewport(), Qt::LeftButton, {}, trips.visualRect(adverse).center());
    QTest::mouseMove(&shown, QPoint(1, 1));
    EXPECT_EQ(tripLine.text(), explained(columns[9]));
    QTest::keyClick(&trips, Qt::Key_Right);
    EXPECT_EQ(tripLine.text(), explained(columns[10]));

    // In 運か実力か the line rests on what the comparison means. (Entered and
    // left by events: the rows move once the comparison's status is laid out.)
    showTab(frmResults::kChanceTab);
    const auto& chanceLine = *shown.findChild<QLabel*>("lblChanceExplanation");
    EXPECT_TRUE(chanceLine.text().startsWith(QStringLiteral("上位 N% は")));
    auto* median = shown.findChild<QLabel*>("lblChanceMedian");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), median->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(median, &enter);
    EXPECT_EQ(chanceLine.text(), explained(measureInfo(Measure::ChanceMedian)));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(median, &leave);
    EXPECT_TRUE(chanceLine.text().startsWith(QStringLiteral("上位 N% は")));
}

// The comparison runs off the window's thread: the tab shows nothing at first,
// then the same answer the headless analysis gives for the same session.
TEST_F(ResultsWindowTest, ChanceTabComparesOffTheWindowsThread) {
    action("MnuResults")->trigger();
    showTab(frmResults::kChanceTab);
    EXPECT_TRUE(value("lblChanceStatus").startsWith(QStringLiteral("往復取引がまだない")));
    EXPECT_EQ(value("lblChanceTopPercent"), QStringLiteral("—"));

    tradeTwoTrips();
    EXPECT_EQ(value("lblChanceTopPercent"), QStringLiteral("—")); // not on this thread
    QTRY_VERIFY(value("lblChanceTopPercent") != QStringLiteral("—"));
    // Seconds with nothing filled leave the answer as it was, until asked.
    const QString shown = value("lblChanceStatus");
    auto* recompute = results()->findChild<QPushButton*>("cmdChanceRecompute");
    seconds(30);
    EXPECT_EQ(value("lblChanceStatus"), shown);
    EXPECT_TRUE(recompute->isEnabled());
    recompute->click();
    QTRY_VERIFY(value("lblChanceStatus") != shown &&
                value("lblChanceStatus").startsWith(QStringLiteral("経過")));
    EXPECT_FALSE(recompute->isEnabled());
    // The same session gets the same answer as the headless analysis.
    const auto expected = chanceRows(analysePractice(window.session()).chance);
    const char* const names[] = {"lblChanceTopPercent", "lblChanceMedian", "lblChanceLow",
                                 "lblChanceHigh"};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(value(names[i]), QString::fromStdString(measureText(expected[i]))) << i;
    // The histogram marks the learner's 純損益 with an upright line.
    QLineSeries* mark = nullptr;
    for (QAbstractSeries* series :
         results()->findChild<QChartView*>("chanceChart")->chart()->series())
        if (series->name() == QStringLiteral("あなたの純損益"))
            mark = qobject_cast<QLineSeries*>(series);
    ASSERT_NE(mark, nullptr);
    ASSERT_EQ(mark->count(), 2);
    EXPECT_EQ(mark->at(0).x(), window.session().figures()[Measure::NetProfit].value_or(-1));

    // With every trip closed the comparison ends at the closing fill, and
    // time passing moves nothing.
    sellAtMarket();
    seconds(7);
    QTRY_VERIFY(value("lblChanceStatus").startsWith(QStringLiteral("経過")));
    const QString closed = value("lblChanceStatus");
    EXPECT_TRUE(closed.contains(QString::fromStdString(elapsedText(
        roundTrips(window.session().ledger().fills(), window.session().prices()).back().end))))
        << closed.toStdString();
    seconds(30);
    EXPECT_EQ(value("lblChanceStatus"), closed);
    EXPECT_FALSE(recompute->isEnabled());

    // A new practice, begun while a comparison runs, drops it and starts afresh.
    buyAtMarket();
    seconds(7);
    recompute->click();
    dialogs.typed = QStringLiteral("1");
    action("MnuNewPractice")->trigger();
    EXPECT_TRUE(value("lblChanceStatus").startsWith(QStringLiteral("往復取引がまだない")));
    EXPECT_EQ(value("lblChanceTopPercent"), QStringLiteral("—"));
}

TEST_F(ResultsWindowTest, CtrlROpensItOnceAndAFillShowsInFiguresHistoryAndChart) {
    EXPECT_EQ(results(), nullptr); // nothing built at start-up
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    QWidget* shown = results();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("取引成績 - Vantrel"));
    shown->hide();
    action("MnuResults")->trigger();
    EXPECT_EQ(results(), shown);
    EXPECT_TRUE(shown->isVisible());

    find<QLineEdit>("txtBuyPrice")->setText(QStringLiteral("500"));
    find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("1000"));
    find<QPushButton>("cmdBuyNow")->click();
    seconds(1);
    EXPECT_TRUE(value("lblWait").endsWith(
        QStringLiteral("次の約定判定まで約 5秒（一時停止中は時間が止まっています）。")));
    // The open window hears the clock run again and stop again.
    action("MnuPause")->trigger();
    EXPECT_TRUE(value("lblWait").endsWith(QStringLiteral("次の約定判定まで約 5秒。")));
    action("MnuPause")->trigger();
    EXPECT_TRUE(value("lblWait").endsWith(QStringLiteral("止まっています）。")));
    seconds(6);
    const QAbstractItemModel& history = *shown->findChild<QTableView*>("historyTable")->model();
    ASSERT_EQ(history.rowCount(), 1);
    QStringList row;
    for (int column = 0; column < history.columnCount(); ++column)
        row << history.index(0, column).data().toString();
    EXPECT_EQ(row, QStringList({"2024/03/05 9:07:03", "0:07", "買", "500円", "1,000", "500,000円",
                                "", ""}));
    EXPECT_EQ(value("lblAverageCost"), QStringLiteral("500.00円"));
    int buyMarkers = -1;
    for (QAbstractSeries* series : shown->findChild<QChartView*>("priceChart")->chart()->series())
        if (auto* scatter = qobject_cast<QScatterSeries*>(series);
            scatter && scatter->markerShape() == QScatterSeries::MarkerShapeTriangle)
            buyMarkers = scatter->count();
    EXPECT_EQ(buyMarkers, 1);
}

// The scroll bar stands at the chart's first second; 最新 is enabled only
// while the chart does not follow the newest second.
TEST_F(ResultsWindowTest, ChartFollowsTheLastFiveMinutesUntilScrolledBack) {
    action("MnuResults")->trigger();
    seconds(400);
    auto* scroll = results()->findChild<QScrollBar*>("chartScroll");
    auto* latest = results()->findChild<QAbstractButton*>("cmdLatest");
    EXPECT_EQ(scroll->value(), 100);
    scroll->setValue(20);
    seconds(1);
    EXPECT_TRUE(latest->isEnabled());
    EXPECT_EQ(scroll->value(), 20);
    QTest::mouseClick(latest, Qt::LeftButton);
    EXPECT_EQ(scroll->value(), 110); // the window moves on in steps of ten seconds
    // 拡大 and 縮小 are offered only while there is a narrower or wider view.
    auto* zoomIn = results()->findChild<QAbstractButton*>("cmdZoomIn");
    auto* zoomOut = results()->findChild<QAbstractButton*>("cmdZoomOut");
    for (QAbstractButton* zoom : {zoomIn, zoomOut}) {
        int clicks = 0;
        while (zoom->isEnabled() && clicks < 20) {
            zoom->click();
            ++clicks;
        }
        EXPECT_EQ(clicks, zoom == zoomIn ? 2 : 8);
        EXPECT_TRUE((zoom == zoomIn ? zoomOut : zoomIn)->isEnabled());
    }
}

// Every menu key works while the results window is the active one.
TEST_F(ResultsWindowTest, MenuKeysWorkFromTheResultsWindow) {
    action("MnuResults")->trigger();
    QApplication::setActiveWindow(results());
    QTest::keyClick(results(), Qt::Key_F5);
    EXPECT_FALSE(action("MnuPause")->isChecked());
    QTest::keyClick(results(), Qt::Key_F5);
    EXPECT_TRUE(action("MnuPause")->isChecked());
    const auto before = window.session().elapsed();
    QTest::keyClick(results(), Qt::Key_F6);
    EXPECT_EQ(window.session().elapsed(), before + 1);
}

// A market order's price is only the band's edge (600 for a buy): no line is
// drawn for it, and the price axis stays near the prices.
TEST_F(ResultsWindowTest, OnlyALimitOrderDrawsItsPriceOnTheChart) {
    action("MnuResults")->trigger();
    QChart* chart = results()->findChild<QChartView*>("priceChart")->chart();
    QXYSeries* orderLine = nullptr;
    for (QAbstractSeries* series : chart->series())
        if (series->name() == QStringLiteral("注文価格"))
            orderLine = qobject_cast<QXYSeries*>(series);
    auto* yen = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
    for (const auto& [market, line] : {std::pair{true, 0}, std::pair{false, 2}}) {
        find<QRadioButton>(market ? "optBuyOpt1" : "optBuyOpt0")->click();
        find<QLineEdit>("txtBuyPrice")->setText(QStringLiteral("480"));
        find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("1000"));
        find<QPushButton>("cmdBuyNow")->click();
        seconds(1);
        ASSERT_TRUE(window.session().trader().account().hasPendingOrder()) << market;
        EXPECT_EQ(orderLine->count(), line) << market;
        EXPECT_LT(yen->max() - yen->min(), 60) << market;
        find<QPushButton>("cmdCancelOldest")->click();
    }
}

// On a 1366×768 screen the results window opens beside the main window,
// covering none of it, and whole on the screen; the history's columns hold
// their widest values (a seven-digit 金額) whole, and an empty column stays narrow.
TEST_F(ResultsWindowTest, OpensBesideTheMainWindowOnALaptopScreen) {
    const QRect screen = window.screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1366, 768));
    // A desktop whose own font is small: the window's face sets the widths.
    struct SmallDesktopFont {
        QFont desktop = QApplication::font();
        SmallDesktopFont() { QApplication::setFont(QFont(desktop.family(), 5)); }
        ~SmallDesktopFont() { QApplication::setFont(desktop); }
    } smallFont;
    action("MnuResults")->trigger();
    const QRect place = results()->frameGeometry();
    EXPECT_FALSE(place.intersects(window.frameGeometry())) << place.x() << "," << place.y();
    EXPECT_TRUE(screen.contains(place));
    find<QRadioButton>("optBuyOpt1")->click();
    find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("4000"));
    find<QPushButton>("cmdBuyNow")->click();
    seconds(12);
    auto* history = results()->findChild<QTableView*>("historyTable");
    ASSERT_EQ(history->model()->index(0, 5).data().toString().size(), 10); // 2,0xx,xxx円
    for (int column = 0; column < history->model()->columnCount(); ++column)
        EXPECT_GE(history->columnWidth(column),
                  static_cast<QAbstractItemView*>(history)->sizeHintForColumn(column))
            << column;
    EXPECT_LT(history->columnWidth(7), history->viewport()->width() / 4); // 手数料, empty
    // At its smallest the history shows a few rows and every caption whole.
    results()->resize(results()->minimumSizeHint().expandedTo(results()->minimumSize()));
    auto* table = results()->findChild<QTableView*>("historyTable");
    EXPECT_GE(table->viewport()->height(), 3 * table->verticalHeader()->defaultSectionSize());
    const QHeaderView* header = table->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
    EXPECT_LE(header->length(), table->viewport()->width());
}

// The price axis keeps its labels whole where its range is wide for the
// chart's height (market 1 about 14:40); the time axis reads on past a day.
TEST_F(ResultsWindowTest, ChartLabelsReadWhole) {
    action("MnuResults")->trigger();
    QChart& chart = *results()->findChild<QChartView*>("priceChart")->chart();
    for (const int until : {860, 880, 900}) {
        seconds(until - static_cast<int>(window.session().elapsed()));
        const QStringList texts = chartTexts(chart);
        const QString all = texts.join(u'|');
        EXPECT_FALSE(all.contains(QStringLiteral("...")) || all.contains(QStringLiteral("…")))
            << until << all.toStdString();
    }
}

TEST(PriceChartAxis, MarketTimeReadsOnPastADay) {
    PriceHistory history;
    history.prices.assign(90'001, 500.0);
    const Ledger ledger;
    PriceChart chart(history, ledger);
    chart.resize(640, 360);
    chart.show();
    chart.update(std::nullopt, std::nullopt);
    const QStringList texts = chartTexts(*chart.findChild<QChartView*>("priceChart")->chart());
    EXPECT_TRUE(texts.contains(QStringLiteral("25:00:00"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("24:56:00")));
    EXPECT_TRUE(texts.contains(QStringLiteral("経過（時:分:秒）")));
}

TEST(ResultsWindowSave, AFailureShowsTheReasonAndLeavesNoFile) {
    test::ScriptedDialogs dialogs;
    Recorder log;
    PracticeSession session(log, dialogs);
    // A round trip at market: bought at the ask, sold at the bid, at a loss.
    for (const ActionKind kind : {ActionKind::Buy, ActionKind::Sell}) {
        const OrderForm form{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
        kind == ActionKind::Buy ? session.pressBuy("9999", form) : session.pressSell("9999", form);
        for (int second = 0; second < 7; ++second)
            session.step();
    }
    ASSERT_EQ(session.ledger().fills().size(), 2u);
    ASSERT_LT(session.ledger().fills()[1].realised, 0);
    frmResults results(session, dialogs);
    auto* save = results.findChild<QPushButton*>("cmdSaveCsv");
    QTemporaryDir dir;
    dialogs.path = dir.filePath(QStringLiteral("gone/取引履歴.csv"));
    save->click();
    EXPECT_EQ(dialogs.boxes, 1);
    EXPECT_EQ(dialogs.lastBox.rfind("取引履歴を保存できませんでした。", 0), 0u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    dialogs.path = dir.filePath(QStringLiteral("取引履歴.csv"));
    save->click();
    QFile file(dialogs.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string sale = "," + elapsedText(session.ledger().fills()[1].time.second) + ",売,";
    EXPECT_TRUE(file.readAll().contains(sale.c_str()));
    // A loss in the history is drawn in the loss colour, as in the figures.
    const QAbstractItemModel& history = *results.findChild<QTableView*>("historyTable")->model();
    EXPECT_EQ(history.index(1, 6).data(Qt::ForegroundRole), QVariant(QColor(0xc0, 0x10, 0x10)));
    EXPECT_FALSE(history.index(0, 6).data(Qt::ForegroundRole).isValid());

    // The round trips go out the same way, under their own name.
    results.findChild<QPushButton*>("cmdSaveTripsCsv")->click();
    EXPECT_EQ(dialogs.boxes, 1);
    QFile trips(dialogs.path);
    ASSERT_TRUE(trips.open(QIODevice::ReadOnly));
    const QByteArray csv = trips.readAll();
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF番号,開始秒,終了秒,保有秒数,最大保有株数,平均買値,"
                               "平均売値,損益,手数料,最大逆行幅,最大順行幅,状態\r\n"));
    EXPECT_EQ(csv.count("\r\n"), 2);
    EXPECT_EQ(csv.toStdString(),
              roundTripCsv(roundTrips(session.ledger().fills(), session.prices())));
    dialogs.path = dir.filePath(QStringLiteral("gone/往復取引.csv"));
    results.findChild<QPushButton*>("cmdSaveTripsCsv")->click();
    EXPECT_EQ(dialogs.lastBox.rfind("往復取引を保存できませんでした。", 0), 0u);
}

} // namespace
