#include "WindowFixture.h"
#include "ui/PriceChart.h"
#include "ui/SavePathAsker.h"
#include "ui/TradeHistoryModel.h"
#include "ui/frmResults.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vantrel;

namespace {

struct ResultsWindowTest : test::WindowFixture {
    void SetUp() override {
        window.timer1().stop();
        window.show();
    }
    QString value(const char* name) const {
        return window.resultsWindow()->findChild<QLabel*>(name)->text();
    }
};

TEST_F(ResultsWindowTest, CtrlROpensItOnceAndAFillShowsInFiguresHistoryAndChart) {
    EXPECT_EQ(window.resultsWindow(), nullptr); // nothing built at start-up
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    frmResults* results = window.resultsWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->windowTitle(), QStringLiteral("取引成績 - Vantrel"));
    results->hide();
    action("MnuResults")->trigger();
    EXPECT_EQ(window.resultsWindow(), results);
    EXPECT_TRUE(results->isVisible());

    find<QLineEdit>("txtBuyPrice")->setText(QStringLiteral("500"));
    find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("1000"));
    window.controls().buy.placeButton->click();
    window.Timer1_Timer();
    window.Timer2_Timer();
    EXPECT_TRUE(value("lblWait").endsWith(QStringLiteral("次の約定判定まで約 5秒。")));
    for (int second = 1; second < 7; ++second)
        window.Timer1_Timer(), window.Timer2_Timer();
    const QAbstractItemModel& history = results->history();
    ASSERT_EQ(history.rowCount(), 1);
    QStringList row;
    for (int column = 0; column < history.columnCount(); ++column)
        row << history.index(0, column).data().toString();
    EXPECT_EQ(row,
              QStringList({"2024/03/05 9:07:03", "買", "500円", "1,000", "500,000円", "", ""}));
    EXPECT_EQ(value("lblAverageCost"), QStringLiteral("500.00円"));
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
    Recorder prompter;
    PracticeSession session(prompter, prompter);
    session.pressBuy("9999", {PriceKind::Limit, "500", QuantityKind::Shares, "1000", ""});
    for (int second = 0; second < 7; ++second)
        session.step();
    FixedAsker asker;
    frmResults results(session, &prompter, &asker);
    QTemporaryDir dir;
    asker.path = dir.filePath(QStringLiteral("gone/取引履歴.csv"));
    results.cmdSaveCsv_Click();
    EXPECT_EQ(prompter.boxes, 1);
    EXPECT_EQ(prompter.lastBox.rfind("取引履歴を保存できませんでした。", 0), 0u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    asker.path = dir.filePath(QStringLiteral("取引履歴.csv"));
    results.cmdSaveCsv_Click();
    QFile file(asker.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(",買,500,1000,500000,,\r\n"));
}

} // namespace
