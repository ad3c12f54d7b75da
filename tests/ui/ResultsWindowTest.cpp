#include "WindowFixture.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"
#include "support/Session.h"
#include "ui/results/frmResults.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScatterSeries>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

using namespace vantrel;

namespace {

struct ResultsWindowTest : test::WindowFixture {
    void SetUp() override {
        pause();
        window.show();
    }
    QString value(const char* name) const { return results()->findChild<QLabel*>(name)->text(); }
};

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
    seconds(6);
    const QAbstractItemModel& history = *shown->findChild<QTableView*>("tblHistory")->model();
    ASSERT_EQ(history.rowCount(), 1);
    QStringList row;
    for (int column = 0; column < history.columnCount(); ++column)
        row << history.index(0, column).data().toString();
    EXPECT_EQ(row, QStringList({"2024/03/05 9:07:03", "0:07", "買", "500円", "1,000", "500,000円",
                                "", ""}));
    EXPECT_EQ(value("lblAverageCost"), QStringLiteral("500.00円"));
    int buyMarkers = -1;
    for (QAbstractSeries* series : shown->findChild<QChartView*>("chtPrice")->chart()->series())
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
    auto* scroll = results()->findChild<QScrollBar*>("hsbChart");
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
    QChart* chart = results()->findChild<QChartView*>("chtPrice")->chart();
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
// covering none of it, and whole on the screen.
TEST_F(ResultsWindowTest, OpensBesideTheMainWindowOnALaptopScreen) {
    const QRect screen = window.screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1366, 768));
    action("MnuResults")->trigger();
    const QRect place = results()->frameGeometry();
    EXPECT_FALSE(place.intersects(window.frameGeometry())) << place.x() << "," << place.y();
    EXPECT_TRUE(screen.contains(place));
    // At its smallest the history shows a few rows and every caption whole.
    results()->resize(results()->minimumSizeHint().expandedTo(results()->minimumSize()));
    auto* table = results()->findChild<QTableView*>("tblHistory");
    EXPECT_GE(table->viewport()->height(), 3 * table->verticalHeader()->defaultSectionSize());
    const QHeaderView* header = table->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
    EXPECT_LE(header->length(), table->viewport()->width());
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
    const QAbstractItemModel& history = *results.findChild<QTableView*>("tblHistory")->model();
    EXPECT_EQ(history.index(1, 6).data(Qt::ForegroundRole), QVariant(QColor(0xc0, 0x10, 0x10)));
    EXPECT_FALSE(history.index(0, 6).data(Qt::ForegroundRole).isValid());
}

} // namespace
