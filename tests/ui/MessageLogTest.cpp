#include "ui/MessageLog.h"
#include "FixedClock.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using vantrel::MessageLog;
using vantrel::test::FixedClock;

namespace {

class MessageLogTest : public ::testing::Test {
protected:
    FixedClock clock{QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3))};
    QPlainTextEdit view;
    MessageLog log{view, clock};
};

TEST_F(MessageLogTest, FirstLineIsStampMessageAndLineEnd) {
    log.AddLog(QStringLiteral("ヴァントレルを500円で1000株購入します。"));
    EXPECT_EQ(log.text(),
              QStringLiteral("2024/03/05 9:07:03  ヴァントレルを500円で1000株購入します。\r\n"));
}

TEST_F(MessageLogTest, LinesFollowInCallOrder) {
    log.AddLog(QStringLiteral("first"));
    clock.set(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    log.AddLog(std::string("second"));
    EXPECT_EQ(log.text(), QStringLiteral("2024/03/05 9:07:03  first\r\n"
                                         "2024/12/31 23:59:59  second\r\n"));
}

TEST_F(MessageLogTest, EmptyMessageLeavesStampAndTwoBlanks) {
    log.AddLog(QString());
    EXPECT_EQ(log.text(), QStringLiteral("2024/03/05 9:07:03  \r\n"));
}

TEST_F(MessageLogTest, StampFollowsTheJapaneseGeneralForm) {
    const struct {
        QTime time;
        const char* expected;
    } cases[] = {
        {QTime(0, 0, 0), "2024/03/05"}, // midnight shows the date alone
        {QTime(0, 0, 1), "2024/03/05 0:00:01"},
        {QTime(9, 5, 0), "2024/03/05 9:05:00"},
        {QTime(12, 0, 0), "2024/03/05 12:00:00"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(MessageLog::timestampText(QDateTime(QDate(2024, 3, 5), row.time)),
                  QString::fromUtf8(row.expected));
    }
    clock.set(QDateTime(QDate(2025, 1, 1), QTime(0, 0)));
    log.AddLog(QStringLiteral("msg"));
    EXPECT_EQ(log.text(), QStringLiteral("2025/01/01  msg\r\n"));
}

TEST_F(MessageLogTest, KeystrokesCannotAlterTheLogButItCanBeSelected) {
    log.AddLog(QStringLiteral("record"));
    const QString before = log.text();
    view.show();
    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Delete);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(log.text(), before);
    EXPECT_TRUE(view.textCursor().hasSelection());
    EXPECT_TRUE(view.focusPolicy() & Qt::TabFocus);
}

TEST_F(MessageLogTest, ViewShowsTheNewestLineAfterEveryAppend) {
    view.resize(300, 100);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // The reader scrolled back up; a new line still brings the end into view.
    for (int i = 0; i < 300; ++i) {
        if (i == 150)
            view.verticalScrollBar()->setValue(0);
        log.AddLog(
            QStringLiteral("line %1 with enough text to need the horizontal scroll bar").arg(i));
    }
    QScrollBar* vertical = view.verticalScrollBar();
    EXPECT_GT(vertical->maximum(), 0);
    EXPECT_EQ(vertical->value(), vertical->maximum());
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    const QRect newest = view.cursorRect(QTextCursor(view.document()->lastBlock()));
    EXPECT_TRUE(view.viewport()->rect().contains(newest));
    EXPECT_TRUE(log.text().endsWith(QStringLiteral("line 299 with enough text to need the "
                                                   "horizontal scroll bar\r\n")));
}

} // namespace
