#include "FixedClock.h"
#include "support/TestDoubles.h"
#include "ui/PriceChart.h"
#include "ui/SavePathAsker.h"
#include "ui/TradeHistoryModel.h"
#include "ui/frmMain.h"
#include "ui/frmResults.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

struct ResultsWindowTest : ::testing::Test {
    void SetUp() override {
        window.timer1().stop();
        window.show();
    }
    QString value(const char* name) const {
        return window.resultsWindow()->findChild<QLabel*>(name)->text();
    }
    test::FixedClock clock;
    RecordingPrompter prompter;
    frmMain window{clock, prompter};
};

TEST_F(ResultsWindowTest, CtrlROpensItOnceAndAFillShowsInFiguresHistoryAndChart) {
    EXPECT_EQ(window.resultsWindow(), nullptr); // nothing built at start-up
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    frmResults* results = window.resultsWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), QStringLiteral("取引成績 - Vantrel"));
    results->hide();
    window.findChild<QAction*>("MnuResults")->trigger();
    EXPECT_EQ(window.resultsWindow(), results);
    EXPECT_TRUE(results->isVisible());

    EXPECT_EQ(value("lblWait"), QStringLiteral("注文なし"));
    window.findChild<QLineEdit*>("txtBuyPrice")->setText(QStringLiteral("500"));
    window.findChild<QLineEdit*>("txtBuyAmount")->setText(QStringLiteral("1000"));
    QTest::mouseClick(window.findChild<QAbstractButton*>("cmdBuyNow"), Qt::LeftButton);
    for (int second = 0; second < 7; ++second) {
        window.Timer1_Timer();
        window.Timer2_Timer();
        if (second == 0) {
            EXPECT_EQ(value("lblWait"),
                      QStringLiteral("最良売気配 501円 が指値 500円 まで下がるか、"
                                     "現値が指値を下回ると約定します（あと 1円）。\n"
                                     "次の約定判定まで約 5秒。"));
        }
    }
    const QAbstractItemModel& history = results->history();
    ASSERT_EQ(history.rowCount(), 1);
    QStringList row;
    for (int column = 0; column < history.columnCount(); ++column)
        row << history.index(0, column).data().toString();
    EXPECT_EQ(row,
              QStringList({"2024/03/05 9:07:03", "買", "500円", "1,000", "500,000円", "", ""}));
    EXPECT_EQ(value("lblAverageCost"), QStringLiteral("500.00円"));
    EXPECT_EQ(value("lblAssets"), QStringLiteral("3,000,000円"));
    int buyMarkers = -1;
    for (QAbstractSeries* series : results->findChild<QChartView*>("chtPrice")->chart()->series())
        if (auto* scatter = qobject_cast<QScatterSeries*>(series);
            scatter && scatter->markerShape() == QScatterSeries::MarkerShapeTriangle)
            buyMarkers = scatter->count();
    EXPECT_EQ(buyMarkers, 1);
}

TEST_F(ResultsWindowTest, ChartFollowsTheLastFiveMinutesUntilScrolledBack) {
    window.MnuResults_Click();
    for (int second = 0; second < 400; ++second)
        window.Timer1_Timer();
    const PriceChart& chart = window.resultsWindow()->chart();
    EXPECT_EQ(chart.firstSecond(), 100);
    window.resultsWindow()->findChild<QScrollBar*>("hsbChart")->setValue(20);
    window.Timer1_Timer();
    EXPECT_FALSE(chart.following());
    EXPECT_EQ(chart.firstSecond(), 20);
    QTest::mouseClick(window.resultsWindow()->findChild<QAbstractButton*>("cmdLatest"),
                      Qt::LeftButton);
    EXPECT_EQ(chart.firstSecond(), 110); // the window moves on in steps of ten seconds
}

struct FixedAsker final : SavePathAsker {
    QString askSavePath(QWidget*, const QString&, const QString&, const QString&) override {
        return path;
    }
    QString path;
};

TEST(ResultsWindowSave, AFailureShowsTheReasonAndLeavesNoFile) {
    Ledger ledger;
    ledger.onFill(OrderSide::Buy, 500, 1000);
    PriceHistory prices;
    Account account;
    RecordingPrompter prompter;
    FixedAsker asker;
    frmResults results(ledger, prices, account, &prompter, &asker);
    QTemporaryDir dir;
    asker.path = dir.filePath(QStringLiteral("gone/取引履歴.csv"));
    results.cmdSaveCsv_Click();
    ASSERT_EQ(prompter.boxes.size(), 1u);
    EXPECT_EQ(prompter.boxes[0].prompt.rfind("取引履歴を保存できませんでした。", 0), 0u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    asker.path = dir.filePath(QStringLiteral("取引履歴.csv"));
    results.cmdSaveCsv_Click();
    QFile file(asker.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(",買,500,1000,500000,,\r\n"));
}

} // namespace
