#include "WindowFixture.h"
#include "practice/PracticeSession.h"
#include "support/Session.h"
#include "ui/results/frmResults.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

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
    EXPECT_TRUE(value("lblWait").endsWith(QStringLiteral("次の約定判定まで約 5秒。")));
    seconds(6);
    const QAbstractItemModel& history = *shown->findChild<QTableView*>("tblHistory")->model();
    ASSERT_EQ(history.rowCount(), 1);
    QStringList row;
    for (int column = 0; column < history.columnCount(); ++column)
        row << history.index(0, column).data().toString();
    EXPECT_EQ(row,
              QStringList({"2024/03/05 9:07:03", "買", "500円", "1,000", "500,000円", "", ""}));
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
}

TEST(ResultsWindowSave, AFailureShowsTheReasonAndLeavesNoFile) {
    test::ScriptedDialogs dialogs;
    Recorder log;
    PracticeSession session(log, dialogs);
    session.pressBuy("9999", {PriceKind::Limit, "500", QuantityKind::Shares, "1000", ""});
    for (int second = 0; second < 7; ++second)
        session.step();
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
    EXPECT_TRUE(file.readAll().endsWith(",買,500,1000,500000,,\r\n"));
}

} // namespace
