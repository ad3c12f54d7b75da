#include "WindowFixture.h"
#include "exercise/ClassGrading.h"
#include "exercise/GradeTable.h"
#include "markettool/MarketTool.h"
#include "support/ClassFolder.h"
#include "ui/grading/ClassGradeModel.h"
#include "ui/grading/frmGrading.h"

#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

namespace vantrel {
namespace {

// クラスの採点 as a teacher uses it: a card file and a folder of hand-ins
// from the 課題 menu, graded while the window answers, the same table the
// command line writes, sorted by a click.
struct GradingWindow : test::WindowFixture {
    void SetUp() override {
        window.show();
        ASSERT_TRUE(folder.isValid() && QDir().mkdir(classPath()));
        files = test::writeClass(classPath().toStdString(), 30);
        QFile card(cardPath());
        ASSERT_TRUE(card.open(QIODevice::WriteOnly));
        card.write(test::kClassCard);
    }
    QString classPath() const { return folder.filePath(QStringLiteral("class")); }
    QString cardPath() const { return folder.filePath(QStringLiteral("card.json")); }
    frmGrading* grading() const { return static_cast<frmGrading*>(test::topLevel("frmGrading")); }
    template <class Widget> Widget* in(const char* name) const {
        return grading()->findChild<Widget*>(QString::fromUtf8(name));
    }
    // Opens the window and chooses the card file, then the class's folder.
    void chooseBoth() {
        action("MnuGradeClass")->trigger();
        ASSERT_NE(grading(), nullptr);
        // Nothing to grade, and nothing drawn, before both are chosen.
        EXPECT_FALSE(in<QPushButton>("cmdGrade")->isEnabled());
        EXPECT_FALSE(in<QWidget>("classChart")->isVisibleTo(grading()));
        dialogs.path = cardPath();
        in<QPushButton>("cmdCardFile")->click();
        dialogs.folder = classPath();
        in<QPushButton>("cmdFolder")->click();
    }
    bool waitForGrades() const {
        QSignalSpy graded(grading(), &frmGrading::graded);
        return !graded.isEmpty() || graded.wait(60000);
    }

    QTemporaryDir folder;
    int files = 0;
};

// Thirty students and every kind of hostile hand-in: the window's CSV is the
// command line's byte for byte, refused rows are greyed with their reason,
// and a click on 得点 puts the best first.
TEST_F(GradingWindow, GradesAClassAsTheCommandLineDoes) {
    chooseBoth();
    EXPECT_TRUE(grading()->grading());
    ASSERT_TRUE(waitForGrades());
    const ClassGradeModel& table = grading()->table();
    ASSERT_EQ(table.rowCount(), files);

    std::ostringstream out, err;
    EXPECT_EQ(
        runMarketTool({"--grade", cardPath().toStdString(), classPath().toStdString()}, out, err),
        1);
    dialogs.path = folder.filePath(QStringLiteral("class.csv"));
    in<QPushButton>("cmdSaveCsv")->click();
    EXPECT_EQ(dialogs.suggested, QStringLiteral("買い集め_採点.csv"));
    QFile csv(dialogs.path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().toStdString(), out.str());

    int refused = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        const GradedAttempt& a = table.attemptAt(row);
        const QModelIndex cell = table.index(row, GradeName);
        EXPECT_EQ(table.data(cell, Qt::ForegroundRole).isValid(), !a.graded()) << a.file;
        if (!a.graded()) {
            ++refused;
            EXPECT_TRUE(table.data(cell, Qt::ToolTipRole)
                            .toString()
                            .startsWith(QString::fromUtf8(gradeRefusalName(a.refusal))));
        }
    }
    const std::string lines = err.str();
    EXPECT_EQ(refused, static_cast<int>(std::count(lines.begin(), lines.end(), '\n')));
    EXPECT_TRUE(
        in<QLabel>("lblGradeStatus")->text().contains(QStringLiteral("%1 件").arg(refused)));

    auto* view = in<QTableView>("gradeTable");
    view->horizontalHeader()->setSortIndicator(GradeScore, Qt::DescendingOrder);
    EXPECT_EQ(table.attemptAt(0).rank, 1);
    double last = *table.attemptAt(0).score;
    for (int row = 1; row < table.rowCount() && table.attemptAt(row).score; ++row) {
        EXPECT_LE(*table.attemptAt(row).score, last);
        last = *table.attemptAt(row).score;
    }
    EXPECT_FALSE(table.attemptAt(table.rowCount() - 1).graded());

    // The histogram counts the class's scores, the copy once.
    const ClassHistogram histogram = classHistogram(table.attempts(), 0);
    EXPECT_EQ(histogram.scored, 34);
    ASSERT_TRUE(histogram.randomMedian);
    EXPECT_TRUE(in<QWidget>("classChart")->isVisibleTo(grading()));
    EXPECT_TRUE(in<QLabel>("lblChartNote")->text().contains(QStringLiteral(" bp）")));
}

// The window answers while it grades, 中止 stops it with nothing shown as
// graded, closing it stops the work too, and the program may end mid-way.
TEST_F(GradingWindow, GradingCanBeStoppedAndTheWindowClosedMidWay) {
    chooseBoth();
    ASSERT_TRUE(grading()->grading());
    in<QPushButton>("cmdStopGrading")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!grading()->grading(), 30000);
    EXPECT_EQ(in<QLabel>("lblGradeStatus")->text(), QStringLiteral("採点を中止しました。"));
    EXPECT_EQ(grading()->table().rowCount(), 0);

    // Choosing the folder again grades again, to the end.
    in<QPushButton>("cmdFolder")->click();
    ASSERT_TRUE(waitForGrades());
    EXPECT_EQ(grading()->table().rowCount(), files);

    in<QPushButton>("cmdGrade")->click();
    ASSERT_TRUE(grading()->grading());
    in<QPushButton>("cmdClose")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!grading()->grading(), 30000);
    EXPECT_EQ(in<QLabel>("lblGradeStatus")->text(), QStringLiteral("採点を中止しました。"));
    // Shown again, it still holds the class last graded in full.
    EXPECT_EQ(grading()->table().rowCount(), files);
    in<QPushButton>("cmdGrade")->click();
    ASSERT_TRUE(grading()->grading());
}

} // namespace
} // namespace vantrel
