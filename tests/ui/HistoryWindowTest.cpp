#include "WindowFixture.h"
#include "base/NumberText.h"
#include "exercise/ExerciseAttempt.h"
#include "history/PracticeFolder.h"
#include "practice/PracticeSession.h"
#include "practice/SessionFile.h"
#include "trading/SilentLog.h"
#include "ui/common/Appearance.h"
#include "ui/exercise/frmExercise.h"
#include "ui/history/frmHistory.h"
#include "ui/practice/PracticeKeeper.h"

#include <QAbstractItemView>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QTest>
#include <QTreeView>
#include <QValueAxis>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// Named after the test too: ctest runs the tests side by side.
QString freshFolder(const char* name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder =
        fs::path(::testing::TempDir()) / (std::string(test ? test->name() : "") + "-" + name);
    fs::remove_all(folder);
    return QString::fromStdString(folder.string());
}

std::vector<ListedPractice> kept(const QString& folder) {
    return listPractices(folder.toStdString());
}

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A practice of a closed round trip on market 3, kept under `name` in the
// summary's mark (none when empty) and with a member of someone else's.
QByteArray keptText(std::int64_t startedMs, const std::string& name = {},
                    const std::function<void(PracticeSummary&)>& change = {}) {
    SilentLog silent;
    PracticeSession session(silent, silent, 3);
    const OrderForm market{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    session.pressBuy("9999", market);
    for (int second = 0; second < 40; ++second) {
        if (second == 20)
            session.pressSell("9999", market);
        session.step();
    }
    PracticeSummary summary = summarisePractice(session, startedMs);
    summary.keptAs = name;
    summary.order = 1;
    if (change)
        change(summary);
    std::string text = *writeKeptPractice(session.record(), summary).text;
    return QByteArray::fromStdString(text.insert(1, "\"teacher\":\"homework\","));
}

// The list of a 練習の記録 window and its cells, however the rows are held.
QAbstractItemModel* rowsOf(QWidget* history) {
    return history->findChild<QAbstractItemView*>("practiceList")->model();
}
QString cell(QWidget* history, int row, int column) {
    return rowsOf(history)->index(row, column).data().toString();
}
bool waitFor(const std::function<bool()>& condition, int ms = 20000) {
    return QTest::qWaitFor(condition, ms);
}

class HistoryWindow : public WindowFixture {
protected:
    HistoryWindow() {
        window.useHistory(folder, true, 3600 * 1000);
        pause();
        // Deleting moves to the trash: a trash of the test's own.
        const QString trash = freshFolder("history-trash");
        QDir().mkpath(trash);
        qputenv("XDG_DATA_HOME", trash.toLocal8Bit());
    }
    void newPractice(const char* market) {
        dialogs.typed = QString::fromLatin1(market);
        action("MnuNewPractice")->trigger();
        pause(); // a fresh practice runs at once
    }
    QWidget* history() const { return topLevel("frmHistory"); }
    QAbstractItemView* list() const {
        return history()->findChild<QAbstractItemView*>("practiceList");
    }
    int rows() const { return list()->model()->rowCount(); }
    void select(int row) const { list()->setCurrentIndex(list()->model()->index(row, 0)); }
    void click(const char* button) const {
        history()->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }

    QString folder = freshFolder("history-window");
};

// Through the real menu: a practice without a press is not kept; one with a
// press is kept when a fresh start finalises it, and 練習の記録 lists it
// (compared with chance though its one trip is still open), saves a copy
// elsewhere, opens it as a replay (not kept again) and deletes it after
// asking, its row alone.
TEST_F(HistoryWindow, AFreshStartKeepsThePracticeAndTheWindowListsAndHandlesIt) {
    newPractice("2");
    EXPECT_TRUE(kept(folder).empty());
    buyAtMarket();
    seconds(10);
    newPractice("1");
    ASSERT_EQ(kept(folder).size(), 1u);

    action("MnuHistory")->trigger();
    ASSERT_NE(history(), nullptr);
    EXPECT_TRUE(history()->isVisible());
    ASSERT_TRUE(waitFor([this] { return rows() == 1; }));
    EXPECT_EQ(cell(history(), 0, 1), QStringLiteral("2"));    // market
    EXPECT_EQ(cell(history(), 0, 2), QStringLiteral("0:10")); // length
    EXPECT_EQ(cell(history(), 0, 3), QStringLiteral("1"));    // fills
    EXPECT_EQ(cell(history(), 0, 4), QStringLiteral("0"));    // round trips
    EXPECT_TRUE(waitFor([this] { return cell(history(), 0, 7).startsWith("上位 "); }))
        << cell(history(), 0, 7).toStdString();
    const QString path = QString::fromStdString(kept(folder).front().path);

    select(0);
    dialogs.path = freshFolder("history-copy") + QStringLiteral(".json");
    click("cmdSaveCopy");
    EXPECT_EQ(bytes(dialogs.path), bytes(path));

    click("cmdOpen");
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("市場番号 2 - 再生中 0/10")))
        << window.windowTitle().toStdString();
    // A replayed file is not kept again unless a press follows its end.
    seconds(12);
    newPractice("3");
    EXPECT_EQ(kept(folder).size(), 1u);
    buyAtMarket();
    newPractice("1");
    ASSERT_TRUE(waitFor([this] { return rows() == 2; }));

    select(1);
    dialogs.answer = false;
    click("cmdDelete");
    EXPECT_TRUE(QFile::exists(path));
    dialogs.answer = true;
    click("cmdDelete");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(
        dialogs.questions.last().startsWith(QStringLiteral("この練習の記録を削除しますか？")));
    QTest::qWait(200);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(history(), 0, 1), QStringLiteral("3"));
}

// An exercise played through the 課題 menu is kept when scored, and listed
// with its card's title and score; opened from the list it replays as that
// card's attempt.
TEST_F(HistoryWindow, AnAttemptPlayedInTheWindowListsWithItsTitleAndScore) {
    action("MnuExercise1")->trigger();
    topLevel("frmExercise")->findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
    pause();
    buyAtMarket();
    for (int i = 0; i < 300 && !topLevel("frmScore"); ++i)
        seconds(1);
    ASSERT_NE(topLevel("frmScore"), nullptr);
    const auto verdict = [] {
        return topLevel("frmScore")->findChild<QLabel*>(QStringLiteral("lblScore"))->text();
    };
    ASSERT_TRUE(waitFor([&] { return !verdict().startsWith(QStringLiteral("採点中")); }));
    const QString given = verdict();
    const std::optional<StoredExerciseResult> stored =
        readAttempt(window.session().record()).stored;
    ASSERT_TRUE(stored && stored->score);

    action("MnuHistory")->trigger();
    ASSERT_TRUE(waitFor([this] { return rows() == 1; }));
    EXPECT_EQ(cell(history(), 0, 8), QStringLiteral("はじめての買い集め"));
    EXPECT_EQ(cell(history(), 0, 9),
              QString::fromStdString(groupedNumber(*stored->score, 2) + " bp ") +
                  (stored->passed ? QStringLiteral("合格") : QStringLiteral("不合格")));

    select(0);
    click("cmdOpen");
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("課題「はじめての買い集め」")))
        << window.windowTitle().toStdString();
    EXPECT_TRUE(waitFor([&] { return verdict() == given; })) << verdict().toStdString();
}

// A folder named with a trailing slash still knows the practice under way:
// marked （練習中） and not deleted.
TEST_F(HistoryWindow, TheFolderWithATrailingSlashKnowsThePracticeUnderWay) {
    window.useHistory(folder + "/", true, 20);
    buyAtMarket();
    ASSERT_TRUE(waitFor([this] { return kept(folder).size() == 1; }));
    action("MnuHistory")->trigger();
    ASSERT_TRUE(waitFor([this] { return rows() == 1; }));
    EXPECT_TRUE(cell(history(), 0, 0).endsWith(QStringLiteral("（練習中）")));
    select(0);
    EXPECT_FALSE(history()->findChild<QPushButton*>("cmdDelete")->isEnabled());
}

// The window rewrites no practice file for 上位 N%: not a teacher's file
// with a member of its own, not one outside reached by a link named as a
// kept practice. Keeping, it is kept in the folder's index and listed from
// there next time; under --no-history nothing at all is written.
TEST(HistoryKeeping, TheWindowRewritesNoPracticeAndWritesNothingWithoutKeeping) {
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        const QString folder = freshFolder("history-foreign");
        const QString outside = freshFolder("history-foreign-outside");
        QDir().mkpath(folder);
        QDir().mkpath(outside);
        const QByteArray homework = keptText(1765000000000);
        const std::string linked = "2025-12-06_054640_market3.json";
        const QByteArray target = keptText(1765000000000, linked);
        writeBytes(folder + "/homework.json", homework);
        writeBytes(outside + "/target.json", target);
        QFile::link(outside + "/target.json", folder + "/" + QString::fromStdString(linked));
        ScriptedDialogs dialogs;
        // The practice under way, named only when practices are kept.
        const auto busy = [&] { return keep ? folder + "/under-way.json" : QString(); };
        for (int round = 0; round < (keep ? 2 : 1); ++round) {
            frmHistory history(folder, dialogs, busy, [](const QString&) {});
            ASSERT_TRUE(waitFor([&] {
                return rowsOf(&history)->rowCount() == 2 &&
                       cell(&history, 0, 7).startsWith("上位 ") &&
                       cell(&history, 1, 7).startsWith("上位 ");
            })) << cell(&history, 0, 7).toStdString();
        }
        EXPECT_EQ(bytes(folder + "/homework.json"), homework);
        EXPECT_EQ(bytes(outside + "/target.json"), target);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), keep ? 3 : 2);
    }
}

// VANTREL_HISTORY_DIR is used as given, tidied; bytes that are not UTF-8
// cannot name it faithfully and are refused with one line: nothing is kept.
TEST(HistoryKeeping, TheChosenFolderIsTidiedOrRefused) {
    struct Case {
        QByteArray value;
        std::optional<QString> folder;
        int lines;
    };
    for (const Case& c : std::vector<Case>{{"", std::nullopt, 0},
                                           {"/tmp/drill/", QStringLiteral("/tmp/drill"), 0},
                                           {"/tmp/dr\xff\xfeill", QString(), 1}}) {
        SCOPED_TRACE(c.value.toStdString());
        qputenv("VANTREL_HISTORY_DIR", c.value);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(PracticeKeeper::chosenFolder(), c.folder);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.lines) << errors;
    }
    qunsetenv("VANTREL_HISTORY_DIR");
}

// Two copies on the same market in the same second (the single-instance
// lock unavailable) keep two files, neither overwriting the other.
TEST(HistoryKeeping, TwoCopiesInTheSameSecondKeepTwoFiles) {
    const QString folder = freshFolder("history-twins");
    FixedClock clock;
    SilentLog silent;
    PracticeSession first(silent, silent), second(silent, silent);
    PracticeKeeper one(first, clock, folder, 3600 * 1000),
        other(second, clock, folder, 3600 * 1000);
    const OrderForm buy{PriceKind::Market, "", QuantityKind::Shares, "1000", ""};
    first.pressBuy("9999", buy);
    second.pressBuy("9999", buy);
    second.pressBuy("9999", buy);
    for (PracticeKeeper* keeper : {&one, &other, &one, &other})
        keeper->keep();
    const std::vector<ListedPractice> practices = kept(folder);
    ASSERT_EQ(practices.size(), 2u);
    std::multiset<std::size_t> actions;
    for (const ListedPractice& practice : practices)
        actions.insert(openSessionFile(practice.path).record->actions.size());
    EXPECT_EQ(actions, (std::multiset<std::size_t>{1, 2}));
}

// The window shows before any file is read, and its chart and colours say
// what the values show: words for an empty history, an axis for one
// practice, the time where the day repeats, no red for a loss shown as 0円.
TEST(HistoryKeeping, TheWindowShowsAtOnceAndItsChartSaysWhatTheValuesShow) {
    const QString folder = freshFolder("history-chart");
    QDir().mkpath(folder);
    ScriptedDialogs dialogs;
    const auto chartOf = [](frmHistory& history) {
        return history.findChild<QChartView*>("progressChart")->chart();
    };
    {
        frmHistory history(
            folder, dialogs, [] { return QString(); }, [](const QString&) {});
        EXPECT_TRUE(waitFor([&] { return chartOf(history)->title().contains("まだ"); }, 2000))
            << chartOf(history)->title().toStdString();
    }
    const auto nearlyEven = [](PracticeSummary& s) {
        s.netProfit = -0.4;
        s.profitRate = -0.4 / 30000;
    };
    writeBytes(folder + "/a.json", keptText(1765000000000, {}, nearlyEven));
    frmHistory history(
        folder, dialogs, [] { return QString(); }, [](const QString&) {});
    EXPECT_EQ(rowsOf(&history)->rowCount(), 0); // nothing read on the window's thread
    ASSERT_TRUE(waitFor([&] { return rowsOf(&history)->rowCount() == 1; }));
    EXPECT_EQ(cell(&history, 0, 5), QStringLiteral("0円"));
    EXPECT_NE(rowsOf(&history)->index(0, 5).data(Qt::ForegroundRole).value<QBrush>().color(),
              lossColour());
    ASSERT_TRUE(waitFor([&] { return !chartOf(history)->axes(Qt::Vertical).isEmpty(); }));
    const auto* rate = qobject_cast<QValueAxis*>(chartOf(history)->axes(Qt::Vertical).front());
    ASSERT_NE(rate, nullptr);
    EXPECT_LT(rate->min(), rate->max());
    EXPECT_TRUE(std::isfinite(rate->min()) && std::isfinite(rate->max()));

    writeBytes(folder + "/b.json", keptText(1765000000000 + 3600000));
    history.refresh();
    ASSERT_TRUE(waitFor([&] {
        const auto time = chartOf(history)->axes(Qt::Horizontal);
        return rowsOf(&history)->rowCount() == 2 && !time.isEmpty() &&
               qobject_cast<QDateTimeAxis*>(time.front())->format().contains("HH:mm");
    }));
}

// With one card chosen only its attempts show, and the chart draws their
// scores oldest first with its pass mark; a free practice shows nothing in
// the attempt columns, and すべて brings every row back.
TEST(HistoryKeeping, OneCardsAttemptsShowWithTheirScoresOverTime) {
    const QString folder = freshFolder("history-cards");
    QDir().mkpath(folder);
    const auto attempt = [](const char* title, std::optional<double> score) {
        return [title, score](PracticeSummary& s) {
            s.attempt = std::make_shared<const AttemptSummary>(
                AttemptSummary{title, ExerciseKind::Accumulate, "bp", 5, true, score, false});
        };
    };
    const std::int64_t day = 1765000000000;
    writeBytes(folder + "/1.json", keptText(day, {}, attempt("甲", 12)));
    writeBytes(folder + "/2.json", keptText(day + 60000, {}, attempt("乙", 3)));
    writeBytes(folder + "/3.json", keptText(day + 120000));
    writeBytes(folder + "/4.json", keptText(day + 180000, {}, attempt("甲", -4)));
    writeBytes(folder + "/5.json", keptText(day + 240000, {}, attempt("甲", std::nullopt)));
    ScriptedDialogs dialogs;
    frmHistory history(
        folder, dialogs, [] { return QString(); }, [](const QString&) {});
    ASSERT_TRUE(waitFor([&] { return !history.reading() && rowsOf(&history)->rowCount() == 5; }));
    EXPECT_EQ(cell(&history, 2, 8), QString()); // the free practice
    EXPECT_EQ(cell(&history, 3, 9), QStringLiteral("3.00 bp 不合格"));
    EXPECT_EQ(cell(&history, 0, 9), QStringLiteral("— 不合格"));
    auto* filter = history.findChild<QComboBox*>("cardFilter");
    ASSERT_EQ(filter->count(), 3);
    EXPECT_EQ(filter->itemText(1), QStringLiteral("乙"));

    filter->setCurrentIndex(filter->findText(QStringLiteral("甲")));
    const auto* list = history.findChild<QTreeView*>("practiceList");
    QStringList shown;
    for (int row = 0; row < rowsOf(&history)->rowCount(); ++row)
        if (!list->isRowHidden(row, {}))
            shown << rowsOf(&history)->index(row, 0).data(Qt::UserRole).toString().section('/', -1);
    EXPECT_EQ(shown, QStringList({"5.json", "4.json", "1.json"}));
    const QChart* chart = history.findChild<QChartView*>("progressChart")->chart();
    EXPECT_EQ(chart->title(), QStringLiteral("課題「甲」の得点"));
    ASSERT_EQ(chart->series().size(), 2);
    const auto series = [chart](int at) { return static_cast<QLineSeries*>(chart->series()[at]); };
    EXPECT_EQ(series(0)->points(), QList<QPointF>({{double(day), 12}, {double(day + 180000), -4}}));
    EXPECT_EQ(series(1)->at(0).y(), 5); // the pass mark
    filter->setCurrentIndex(0);
    EXPECT_FALSE(list->isRowHidden(2, {}) || list->isRowHidden(3, {}));
    EXPECT_EQ(history.findChild<QChartView*>("progressChart")->chart()->title(),
              QStringLiteral("練習ごとの損益率と上位"));
}

// Closing the window after trading leaves the practice kept; a folder that
// cannot be written costs one line on standard error and nothing else.
TEST(HistoryKeeping, ClosingKeepsThePracticeAndAnUnwritableFolderCostsOneLine) {
    const QString good = freshFolder("history-close");
    const QString blocked = freshFolder("history-blocked");
    QFile(blocked).open(QIODevice::WriteOnly); // a file where the folder would be
    for (const QString& folder : {good, blocked + QStringLiteral("/practices")}) {
        FixedClock clock;
        ScriptedDialogs dialogs;
        auto window = std::make_unique<frmMain>(clock, dialogs);
        window->useHistory(folder, true, 3600 * 1000);
        window->findChild<QAction*>("MnuPause")->trigger();
        window->findChild<QRadioButton*>("optBuyOpt1")->click();
        window->findChild<QLineEdit*>("txtBuyAmount")->setText(QStringLiteral("1000"));
        ::testing::internal::CaptureStderr();
        window->findChild<QPushButton*>("cmdBuyNow")->click();
        for (int second = 0; second < 8; ++second)
            window->findChild<QAction*>("MnuStep")->trigger();
        dialogs.typed = QStringLiteral("1");
        window->findChild<QAction*>("MnuNewPractice")->trigger();
        window->findChild<QPushButton*>("cmdBuyNow")->click();
        window->close(); // ends the event loop; the program then destroys the window
        window.reset();
        const std::string errors = ::testing::internal::GetCapturedStderr();
        if (folder == good) {
            EXPECT_EQ(errors, "");
            const std::vector<ListedPractice> practices = kept(folder);
            ASSERT_EQ(practices.size(), 2u);
            const SessionFileRead read = openSessionFile(practices.back().path);
            ASSERT_TRUE(read.record) << read.error;
            EXPECT_EQ(read.record->results.seconds, 8u);
            EXPECT_EQ(practices.back().summary->fills, 1u);
        } else {
            EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
            EXPECT_EQ(errors.rfind("vantrel: practice not kept in ", 0), 0u) << errors;
        }
    }
}

// SIGKILL in the middle of the regular saves (every 2 ms here) leaves the
// last save whole: the file reads strictly every time.
TEST(HistoryKeeping, AKilledProgramLeavesItsLastSaveReadable) {
    for (int round = 0; round < 3; ++round) {
        const QString folder = freshFolder("history-kill");
        QProcess probe;
        probe.start(QStringLiteral(VANTREL_KEEP_PROBE), {folder});
        ASSERT_TRUE(probe.waitForStarted());
        for (int waited = 0; waited < 10000 && kept(folder).empty(); waited += 10)
            QTest::qWait(10);
        QTest::qWait(50 + 37 * round);
        probe.kill();
        probe.waitForFinished();
        const std::vector<ListedPractice> practices = kept(folder);
        ASSERT_EQ(practices.size(), 1u);
        const SessionFileRead read = openSessionFile(practices.front().path);
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(read.record->actions.size(), 1u);
        EXPECT_TRUE(practices.front().summary);
    }
}

} // namespace
} // namespace vantrel::test
