#include "WindowFixture.h"
#include "practice/ChanceComparison.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "practice/SessionReplay.h"
#include "practice/SessionStatistics.h"
#include "results/ResultsText.h"
#include "ui/common/TimestampText.h"

#include <QChartView>
#include <QDir>
#include <QLineSeries>
#include <QSlider>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <cmath>
#include <map>
#include <tuple>

namespace vantrel {
namespace {

enum Press { BuyAtMarket, SellAtMarket, BuyAt498, Cancel };
// A press in about one second in twelve, at random, from second 1 on.
using Script = std::map<std::uint64_t, Press>;

Script randomScript(std::uint64_t seconds, std::uint64_t seed) {
    SplitMix64 random(seed);
    Script script;
    for (std::uint64_t second = 1; second <= seconds; ++second)
        if (random.below(12) == 0)
            script[second] = static_cast<Press>(random.below(4));
    return script;
}

// A window driven as the user drives it, paused, with the time of day moving
// with the market second, so two runs of the same presses show the same.
struct DrivenWindow {
    DrivenWindow() {
        window.findChild<QAction*>("MnuPause")->trigger();
        window.show();
    }
    const PracticeSession& session() const { return window.session(); }
    template <class Widget = QWidget> Widget* find(const QWidget* in, const QString& name) const {
        return in->findChild<Widget*>(name);
    }
    // The results and the tape, opened from the menu.
    void openWindows() {
        for (const auto& [menu, name, into] : {std::tuple{"MnuResults", "frmResults", &results},
                                               std::tuple{"MnuTape", "frmTape", &tape}}) {
            const QWidgetList before = QApplication::topLevelWidgets();
            window.findChild<QAction*>(menu)->trigger();
            for (QWidget* opened : QApplication::topLevelWidgets())
                if (opened->objectName() == QLatin1String(name) && !before.contains(opened))
                    *into = opened;
        }
    }
    void press(Press what) {
        const char* side = what == SellAtMarket ? "Sell" : "Buy";
        const auto named = [&](const char* part) { return QString(part).arg(side); };
        if (what == Cancel)
            return find<QPushButton>(&window, "cmdCancelOldest")->click();
        find<QRadioButton>(&window, named(what == BuyAt498 ? "opt%1Opt0" : "opt%1Opt1"))->click();
        find<QLineEdit>(&window, named("txt%1Price"))->setText(QStringLiteral("498"));
        find<QLineEdit>(&window, named("txt%1Amount"))->setText(QStringLiteral("1000"));
        find<QPushButton>(&window, named("cmd%1Now"))->click();
    }
    void playTo(const Script& script, std::uint64_t until) {
        while (session().elapsed() < until) {
            clock.set(start.addSecs(static_cast<qint64>(session().elapsed()) + 1));
            window.findChild<QAction*>("MnuStep")->trigger();
            if (const auto due = script.find(session().elapsed()); due != script.end())
                press(due->second);
        }
    }
    // Every label, table cell and log line the three windows show, but the
    // passing notice.
    QStringList shown() const {
        QStringList texts;
        for (const QWidget* part :
             {static_cast<const QWidget*>(&window), static_cast<const QWidget*>(results),
              static_cast<const QWidget*>(tape)}) {
            for (const QLabel* label : part->findChildren<QLabel*>())
                if (label->objectName() != QLatin1String("lblNotice"))
                    texts << label->objectName() + '=' + label->text();
            for (const QAbstractItemView* view : part->findChildren<QAbstractItemView*>())
                for (int row = 0; row < view->model()->rowCount(); ++row)
                    for (int column = 0; column < view->model()->columnCount(); ++column)
                        texts << view->model()->index(row, column).data().toString();
        }
        return texts << log();
    }
    QString log() const { return find<QPlainTextEdit>(&window, "txtResponse")->toPlainText(); }

    const QDateTime start{QDate(2024, 3, 5), QTime(9, 0)};
    test::FixedClock clock{start};
    test::ScriptedDialogs dialogs;
    frmMain window{clock, dialogs};
    QWidget* results = nullptr;
    QWidget* tape = nullptr;
};

// Forty minutes of random presses with the results and the tape open, then
// back to 0:17:00 with the slider and ここからやり直す: paused there, nothing
// asked, every window shows what a fresh run of the same presses to 0:17:00
// shows, and pressing on as before ends in the state, windows and log the
// first run ended in. The line left is a branch with its presses, and kept
// in the history.
TEST(Rewind, GoingBackShowsAFreshRunToThatSecondAndPressingOnEndsAsBefore) {
    constexpr std::uint64_t kBack = 1020, kEnd = 2400;
    const Script script = randomScript(kEnd, 28);
    QTemporaryDir history; // outlives the window, which keeps its practice as it closes
    DrivenWindow first;
    first.window.useHistory(history.path(), true, 3'600'000);
    first.openWindows();
    first.playTo(script, kEnd);
    const SessionState atEnd = first.session().state();
    const QStringList shownAtEnd = first.shown();
    ASSERT_GT(first.session().ledger().fills().size(), 10u);

    first.find<QSlider>(first.results, "sldRewind")->setValue(static_cast<int>(kBack));
    first.find<QPushButton>(first.results, "cmdRewind")->click();
    EXPECT_TRUE(first.find<QAction>(&first.window, "MnuPause")->isChecked());
    EXPECT_TRUE(first.dialogs.questions.isEmpty());
    DrivenWindow fresh;
    fresh.openWindows();
    fresh.playTo(script, kBack);
    EXPECT_TRUE(first.session().state() == fresh.session().state());
    EXPECT_EQ(first.shown(), fresh.shown());
    EXPECT_EQ(first.session().branches().at(0).actions.size(), script.size());
    const QStringList kept = QDir(history.path()).entryList({QStringLiteral("*.json")});
    ASSERT_EQ(kept.size(), 1); // one file: the line going on, the line left its branch
    const SessionFileRead keptRead = openSessionFile(history.filePath(kept[0]).toStdString());
    ASSERT_TRUE(keptRead.record && keptRead.record->branches.size() == 1u);
    EXPECT_EQ(keptRead.record->branches[0].actions.size(), script.size());

    first.playTo(script, kEnd);
    EXPECT_TRUE(first.session().state() == atEnd);
    EXPECT_EQ(first.shown(), shownAtEnd);
}

// 分岐 lists the line under way and the line left with their figures; choosing
// the branch asks first (the line under way pressed since) and ends in the
// state the straight run ended in. Saved and opened again, the list is the
// same.
TEST(Rewind, BranchesAreListedContinuedAndReopened) {
    constexpr std::uint64_t kBack = 600, kEnd = 1500;
    const Script script = randomScript(kEnd, 9);
    DrivenWindow run;
    run.playTo(script, kEnd);
    const SessionState atEnd = run.session().state();
    const SessionResults resultsAtEnd = run.session().results();
    run.window.findChild<QAction*>("MnuBranches")->trigger();
    QWidget* branches = nullptr;
    for (QWidget* opened : QApplication::topLevelWidgets())
        if (opened->objectName() == QLatin1String("frmBranches"))
            branches = opened;
    ASSERT_TRUE(branches);
    auto* table = run.find<QTableWidget>(branches, "tblBranches");
    EXPECT_EQ(table->rowCount(), 1);
    run.openWindows();
    run.find<QSlider>(run.results, "sldRewind")->setValue(static_cast<int>(kBack));
    run.find<QPushButton>(run.results, "cmdRewind")->click();
    ASSERT_EQ(run.session().elapsed(), kBack);
    run.press(SellAtMarket);
    run.playTo({}, kBack + 300);
    ASSERT_EQ(table->rowCount(), 2);
    const auto row = [table](int at) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->item(at, column)->text();
        return cells;
    };
    const PracticeBranch& left = run.session().branches()[0];
    const auto measured = [](Measure measure, std::optional<double> value) {
        return QString::fromStdString(measureText({measure, value}));
    };
    EXPECT_EQ(
        row(1).mid(0, 5),
        (QStringList{"分岐 1", QString::fromStdString(elapsedText(kBack)),
                     QString::fromStdString(elapsedText(kEnd)), QString::number(script.size()),
                     measured(Measure::NetProfit, left.results.figures[Measure::NetProfit])}));
    const SessionStatistics leftStatistics = analyseRecord(run.session().branchRecord(0));
    ASSERT_TRUE(leftStatistics.chance);
    ASSERT_TRUE(QTest::qWaitFor([&] { return row(1).last() != QStringLiteral("計算中…"); }, 20000));
    EXPECT_EQ(
        row(1).mid(5),
        (QStringList{measured(Measure::RoundTrips, double(leftStatistics.trips.size())),
                     measured(Measure::ChanceTopPercent, leftStatistics.chance->topPercent)}));

    QTemporaryDir folder;
    run.dialogs.path = folder.filePath(QStringLiteral("practice.json"));
    run.find<QAction>(&run.window, "MnuSaveSession")->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !(row(0) + row(1)).contains(QStringLiteral("計算中…")); }, 20000));
    const QStringList beforeSaving = {row(0).join('|'), row(1).join('|')};
    run.find<QAction>(&run.window, "MnuOpenSession")->trigger();
    run.playTo({}, kBack + 300);
    EXPECT_FALSE(run.session().replaying());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !(row(0) + row(1)).contains(QStringLiteral("計算中…")); }, 20000));
    EXPECT_EQ(QStringList({row(0).join('|'), row(1).join('|')}), beforeSaving);

    table->selectRow(1);
    run.dialogs.questions.clear();
    run.find<QPushButton>(branches, "cmdContinueBranch")->click();
    EXPECT_EQ(run.dialogs.questions.size(), 1);
    // The same line; only the times of day its fills were stamped with are
    // this run's.
    const SessionState now = run.session().state();
    EXPECT_TRUE(now.market == atEnd.market && now.account == atEnd.account &&
                now.prices == atEnd.prices);
    EXPECT_TRUE(differingResults(run.session().results(), resultsAtEnd).empty());
    EXPECT_EQ(row(1).mid(0, 2),
              (QStringList{"分岐 1", QString::fromStdString(elapsedText(kBack))}));
}

// Each place that offers ここからやり直す goes back to its own second: a tape
// line, a fill of 約定履歴, a log line and a second clicked on the chart,
// which also says what closing the position there would have done.
// During a file's replay it asks first, and a no changes nothing.
TEST(Rewind, EveryEntryGoesBackToItsSecondAndAReplayIsStoppedOnlyWhenAllowed) {
    DrivenWindow run;
    run.openWindows();
    run.playTo(randomScript(1800, 5), 1800);
    const auto chooseRow = [](QWidget* window, const char* table, int row, int column) {
        auto* view = window->findChild<QTableView*>(table);
        view->setCurrentIndex(view->model()->index(row, column));
        return view->currentIndex().data().toString();
    };
    // A tape line and a fill: back to the second in their 経過 column.
    for (const auto& [in, table, column, entry] :
         {std::tuple{run.tape, "tapeTable", 0, "actTapeRewind"},
          std::tuple{run.results, "historyTable", 1, "actFillRewind"}}) {
        const QString second = chooseRow(in, table, 2, column);
        run.find<QAction>(in, entry)->trigger();
        EXPECT_EQ(QString::fromStdString(elapsedText(run.session().elapsed())), second) << entry;
    }

    // The time of day of a log line tells its second: the clock moves with it.
    auto* log = run.find<QPlainTextEdit>(&run.window, "txtResponse");
    const QStringList lines = run.log().split('\n');
    const int chosen = static_cast<int>(lines.size()) / 2;
    ASSERT_GT(chosen, 2);
    log->setTextCursor(QTextCursor(log->document()->findBlockByNumber(chosen)));
    run.find<QAction>(&run.window, "actLogRewind")->trigger();
    const QString time = lines[chosen].section("  ", 0, 0);
    EXPECT_EQ(timestampText(run.start.addSecs(static_cast<qint64>(run.session().elapsed()))), time);
    const QStringList kept = run.log().split('\n');
    EXPECT_EQ(kept.mid(0, chosen + 1), lines.mid(0, chosen + 1));
    EXPECT_EQ(kept.last().section("  ", 0, 0), time);

    run.playTo({}, run.session().elapsed() + 400);
    QApplication::processEvents(); // the chart lays its plot out
    auto* chart = run.find<QChartView>(run.results, "priceChart");
    const QPointF middle = chart->chart()->plotArea().center();
    const auto clicked =
        static_cast<std::uint64_t>(std::round(chart->chart()->mapToValue(middle).x()));
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {},
                      chart->mapFromScene(chart->chart()->mapToScene(middle)));
    QTest::qWait(400); // what would have happened waits for the slider to rest
    const WhatIf closed = replayWhatIf(run.session().record(), WhatIfKind::Closed, clicked);
    EXPECT_TRUE(run.find<QLabel>(run.results, "lblWhatIf")
                    ->text()
                    .startsWith(QString::fromStdString(
                        whatIfSentence(closed, run.session().figures()) + '\n')));
    // Its 資産合計 drawn beside the practice's, ending where the replay ended.
    QLineSeries* whatIfLine = nullptr;
    for (QAbstractSeries* line : chart->chart()->series())
        if (line->name() == QStringLiteral("資産合計（もしも）"))
            whatIfLine = static_cast<QLineSeries*>(line);
    ASSERT_TRUE(whatIfLine && whatIfLine->isVisible() && whatIfLine->count() > 0);
    EXPECT_EQ(whatIfLine->points().last().y(), closed.results.figures[Measure::TotalAssets]);
    run.find<QPushButton>(run.results, "cmdRewind")->click();
    EXPECT_EQ(run.session().elapsed(), clicked);
    EXPECT_TRUE(run.dialogs.questions.isEmpty());
    EXPECT_TRUE(run.find<QAction>(&run.window, "MnuPause")->isChecked());

    QTemporaryDir folder;
    run.dialogs.path = folder.filePath(QStringLiteral("practice.json"));
    run.find<QAction>(&run.window, "MnuSaveSession")->trigger();
    run.find<QAction>(&run.window, "MnuOpenSession")->trigger();
    run.dialogs.questions.clear();
    run.playTo({}, 300);
    ASSERT_TRUE(run.session().replaying());
    chooseRow(run.tape, "tapeTable", 100, 0);
    run.dialogs.answer = false;
    run.find<QAction>(run.tape, "actTapeRewind")->trigger();
    EXPECT_EQ(run.dialogs.questions.size(), 1);
    EXPECT_EQ(run.session().elapsed(), 300u);
    run.dialogs.answer = true;
    run.find<QAction>(run.tape, "actTapeRewind")->trigger();
    EXPECT_LT(run.session().elapsed(), 300u);
    EXPECT_FALSE(run.session().replaying());
}

} // namespace
} // namespace vantrel
