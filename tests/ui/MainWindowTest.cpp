#include "FixedClock.h"
#include "trading/TestDoubles.h"
#include "ui/BoardModel.h"
#include "ui/MessageLog.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

using vantrel::BoardModel;
using vantrel::frmMain;
using vantrel::test::FixedClock;

namespace {

QString textOf(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (auto* box = qobject_cast<const QLineEdit*>(widget))
        return box->text();
    if (auto* box = qobject_cast<const QPlainTextEdit*>(widget))
        return box->toPlainText();
    ADD_FAILURE() << "no text for " << widget->objectName().toStdString();
    return {};
}

struct Control {
    const char* name;
    const char* kind;
    const char* text;
    const char* frame; // the group box it sits in, or empty
};

// Every control of the window with its kind, start value and group.
const Control kControls[] = {
    {"frmStockInfo", "QGroupBox", "銘柄情報", ""},
    {"lblCode", "QLabel", "銘柄コード", "frmStockInfo"},
    {"txtCode", "QLineEdit", "9999", "frmStockInfo"},
    {"lblStockN", "QLabel", "銘柄名", "frmStockInfo"},
    {"lblStockName", "QLabel", "ヴァントレル", "frmStockInfo"},
    {"lblMarkt", "QLabel", "市場", "frmStockInfo"},
    {"lblMarket", "QLabel", "東証", "frmStockInfo"},
    {"lblNow", "QLabel", "現値", "frmStockInfo"},
    {"lblNowPrice", "QLabel", "500", "frmStockInfo"},
    {"lblAmt", "QLabel", "株数", "frmStockInfo"},
    {"lblAmount", "QLabel", "", "frmStockInfo"},
    {"lblUnt", "QLabel", "単位株", "frmStockInfo"},
    {"lblUnit", "QLabel", "1000", "frmStockInfo"},
    {"lblYesterdayPrice", "QLabel", "500", "frmStockInfo"},
    {"lblBoard", "QLabel", "板情報", ""},
    {"frmPower", "QGroupBox", "余力", ""},
    {"lblPower", "QLabel", "3000000", "frmPower"},
    {"lblYen", "QLabel", "円", "frmPower"},
    {"Frame3", "QGroupBox", "注文情報", ""},
    {"lblOrderPriceView", "QLabel", "", "Frame3"},
    {"lblOrderAmount", "QLabel", "", "Frame3"},
    {"lblOrderType", "QLabel", "", "Frame3"},
    {"lblOrderPrice", "QLabel", "", "Frame3"},
    {"cmdCancelOldest", "QPushButton", "注文をキャンセル", ""},
    {"frmBuyOpt", "QGroupBox", "買い単価", ""},
    {"optBuyOpt0", "QRadioButton", "指値", "frmBuyOpt"},
    {"optBuyOpt1", "QRadioButton", "成行", "frmBuyOpt"},
    {"txtBuyPrice", "QLineEdit", "", "frmBuyOpt"},
    {"Label5", "QLabel", "円", "frmBuyOpt"},
    {"frmBuyAmount", "QGroupBox", "買い株数", ""},
    {"optBuyAmount0", "QRadioButton", "", "frmBuyAmount"},
    {"txtBuyAmount", "QLineEdit", "", "frmBuyAmount"},
    {"Label4", "QLabel", "株", "frmBuyAmount"},
    {"optBuyAmount1", "QRadioButton", "", "frmBuyAmount"},
    {"txtBuyPower", "QLineEdit", "", "frmBuyAmount"},
    {"Label3", "QLabel", "円分", "frmBuyAmount"},
    {"optBuyAmount2", "QRadioButton", "全力買い", "frmBuyAmount"},
    {"cmdBuyNow", "QPushButton", "買い", ""},
    {"Frame2", "QGroupBox", "売り単価", ""},
    {"optSellOpt0", "QRadioButton", "指値", "Frame2"},
    {"optSellOpt1", "QRadioButton", "成行", "Frame2"},
    {"txtSellPrice", "QLineEdit", "", "Frame2"},
    {"Label8", "QLabel", "円", "Frame2"},
    {"Frame1", "QGroupBox", "売り株数", ""},
    {"optSellAmount0", "QRadioButton", "", "Frame1"},
    {"txtSellAmount", "QLineEdit", "", "Frame1"},
    {"Label7", "QLabel", "株", "Frame1"},
    {"optSellAmount1", "QRadioButton", "", "Frame1"},
    {"txtSellPower", "QLineEdit", "", "Frame1"},
    {"Label6", "QLabel", "円分", "Frame1"},
    {"optSellAmount2", "QRadioButton", "全株売り", "Frame1"},
    {"cmdSellNow", "QPushButton", "売り", ""},
    {"lblLog", "QLabel", "ログ", ""},
    {"txtResponse", "QPlainTextEdit", "", ""},
};

const QStringList kHiddenLabels = {"lblYesterdayPrice", "lblOrderPrice"};

class MainWindowTest : public ::testing::Test {
protected:
    void showActive() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget* control(const char* name) const {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    }
    QString cell(int row, int column) const {
        const QAbstractItemModel* model = window.controls().ListView1->model();
        return model->index(row, column).data().toString();
    }

    FixedClock clock;
    vantrel::RecordingPrompter prompter;
    frmMain window{clock, prompter};
};

TEST_F(MainWindowTest, EveryControlStartsWithItsKindCaptionAndGroup) {
    window.show();
    for (const Control& expected : kControls) {
        SCOPED_TRACE(expected.name);
        const auto found = window.findChildren<QWidget*>(QString::fromUtf8(expected.name));
        ASSERT_EQ(found.size(), 1);
        const QWidget* widget = found.front();
        EXPECT_STREQ(widget->metaObject()->className(), expected.kind);
        EXPECT_EQ(textOf(widget), QString::fromUtf8(expected.text));
        const QString frame = QString::fromUtf8(expected.frame);
        if (!frame.isEmpty())
            EXPECT_EQ(widget->parentWidget()->objectName(), frame);
        else
            EXPECT_EQ(widget->parentWidget(), window.centralWidget());
        EXPECT_EQ(widget->isVisible(), !kHiddenLabels.contains(widget->objectName()));
    }
    EXPECT_FALSE(control("txtCode")->isEnabled());
    EXPECT_TRUE(static_cast<QLabel*>(control("lblUnit"))->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(static_cast<QLabel*>(control("lblPower"))->alignment() & Qt::AlignRight);
    EXPECT_EQ(window.controls().ListView1->model()->rowCount(), 0);
    EXPECT_TRUE(window.messageLog().text().isEmpty());
}

TEST_F(MainWindowTest, OptionArraysAreIndexedAndStartOnTheirFirstButton) {
    for (const char* name : {"optBuyOpt", "optBuyAmount", "optSellOpt", "optSellAmount"}) {
        SCOPED_TRACE(name);
        const auto* group = window.findChild<QButtonGroup*>(QString::fromUtf8(name));
        ASSERT_NE(group, nullptr);
        EXPECT_TRUE(group->exclusive());
        EXPECT_EQ(group->checkedId(), 0);
        const int size = QString::fromUtf8(name).endsWith("Opt") ? 2 : 3;
        ASSERT_EQ(group->buttons().size(), size);
        for (int index = 0; index < size; ++index)
            EXPECT_EQ(group->button(index)->objectName(),
                      QString::fromUtf8(name) + QString::number(index));
        EXPECT_EQ(group->button(size), nullptr);
    }
    EXPECT_EQ(window.optBuyOpt(1)->objectName(), QStringLiteral("optBuyOpt1"));
    EXPECT_EQ(window.optBuyOpt(2), nullptr);
}

TEST_F(MainWindowTest, WindowIsAFixedVantrelWindowWithMinimiseButNoMaximise) {
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantrel"));
    EXPECT_EQ(window.objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(window.centralWidget()->size(), QSize(468, 610));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.size(), window.minimumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.font().families().value(0), QStringLiteral("MS UI Gothic"));
    EXPECT_TRUE(window.font().families().contains(QStringLiteral("IPAPGothic")));
    EXPECT_TRUE(window.font().families().contains(QStringLiteral("Noto Sans CJK JP")));
    for (const char* name : {"txtBuyPrice", "txtBuyAmount", "txtBuyPower", "txtSellPrice",
                             "txtSellAmount", "txtSellPower"}) {
        const Qt::InputMethodHints hints = control(name)->inputMethodHints();
        EXPECT_TRUE(hints & Qt::ImhPreferLatin) << name;
        EXPECT_FALSE(hints & Qt::ImhDigitsOnly) << name; // any text may still be typed
    }
    EXPECT_EQ(window.timer1().interval(), 1000);
    EXPECT_TRUE(window.timer1().isActive());
}

TEST_F(MainWindowTest, TabVisitsTheControlsInOrderStartingOnTheLimitOption) {
    showActive();
    ASSERT_EQ(QApplication::focusWidget(), window.optBuyOpt(0));
    const QStringList expected = {
        "txtBuyPrice", "optBuyAmount0",   "txtBuyAmount",   "txtBuyPower",   "cmdBuyNow",
        "optSellOpt0", "txtSellPrice",    "optSellAmount0", "txtSellAmount", "txtSellPower",
        "cmdSellNow",  "cmdCancelOldest", "txtResponse",    "optBuyOpt0"};
    QStringList visited;
    for (int step = 0; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, expected);
}

// Each option group is one tab stop, its checked button, from either side,
// also before the group has had focus or when the program set the choice;
// arrow keys still move the choice within a group.
TEST_F(MainWindowTest, EachOptionGroupIsOneTabStopAtItsCheckedButton) {
    showActive();
    struct Step {
        const char* check; // set by the program first, or empty
        const char* from;
        Qt::Key key;
        const char* to;
    };
    const Step steps[] = {{"", "txtBuyAmount", Qt::Key_Backtab, "optBuyAmount0"},
                          {"", "txtSellPrice", Qt::Key_Backtab, "optSellOpt0"},
                          {"optSellOpt1", "cmdBuyNow", Qt::Key_Tab, "optSellOpt1"},
                          {"optSellAmount2", "txtSellPrice", Qt::Key_Tab, "optSellAmount2"},
                          {"", "txtSellAmount", Qt::Key_Backtab, "optSellAmount2"},
                          {"", "optSellAmount2", Qt::Key_Up, "optSellAmount1"},
                          {"", "txtSellAmount", Qt::Key_Backtab, "optSellAmount1"},
                          {"", "txtSellPower", Qt::Key_Tab, "cmdSellNow"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.from) + " -> " + step.to);
        if (*step.check)
            static_cast<QRadioButton*>(control(step.check))->setChecked(true);
        control(step.from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), step.key);
        ASSERT_EQ(QApplication::focusWidget()->objectName().toStdString(), step.to);
        if (auto* option = qobject_cast<QRadioButton*>(QApplication::focusWidget())) {
            EXPECT_TRUE(option->isChecked());
        }
    }
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndAccessKeys) {
    const QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    const auto* file = window.findChild<QMenu*>("MnuFile");
    const auto* view = window.findChild<QMenu*>("MnuView");
    const auto* help = window.findChild<QMenu*>("MnuHelp");
    ASSERT_TRUE(file && view && help);
    EXPECT_EQ(bar[0], file->menuAction());
    EXPECT_EQ(bar[1], view->menuAction());
    EXPECT_EQ(bar.back(), help->menuAction());
    EXPECT_EQ(view->title(), QStringLiteral("表示(&V)"));
    EXPECT_EQ(view->actions()[0]->text(), QStringLiteral("取引成績とチャート(&R)"));
    EXPECT_EQ(file->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(help->title(), QStringLiteral("ヘルプ(&H)"));
    ASSERT_EQ(file->actions().size(), 4); // save, open, a separator, end
    ASSERT_EQ(help->actions().size(), 1);
    EXPECT_EQ(file->actions().back()->objectName(), QStringLiteral("MnuEnd"));
    EXPECT_EQ(file->actions().back()->text(), QStringLiteral("終了(&E)"));
    EXPECT_EQ(help->actions()[0]->objectName(), QStringLiteral("MnuAbout"));
    EXPECT_EQ(help->actions()[0]->text(), QStringLiteral("Vantrel について"));
    EXPECT_EQ(QKeySequence::mnemonic(file->title()), QKeySequence(Qt::ALT | Qt::Key_F));
    EXPECT_EQ(QKeySequence::mnemonic(help->title()), QKeySequence(Qt::ALT | Qt::Key_H));
    EXPECT_EQ(QKeySequence::mnemonic(file->actions().back()->text()),
              QKeySequence(Qt::ALT | Qt::Key_E));
}

TEST_F(MainWindowTest, BoardHasItsColumnsHeadersAndWidths) {
    const QTreeView* view = window.controls().ListView1;
    const QStringList headers = {"", "売気配株数", "", "気配値", "", "買気配株数"};
    const int widths[] = {0, 73, 17, 67, 17, 73};
    ASSERT_EQ(view->model()->columnCount(), headers.size());
    for (int column = 0; column < headers.size(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(view->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
        EXPECT_EQ(view->header()->sectionSize(column), widths[column]);
        // A widened column would push 買気配株数 out of reach.
        EXPECT_EQ(view->header()->sectionResizeMode(column), QHeaderView::Fixed);
        const auto alignment = column == BoardModel::ItemText ? Qt::AlignLeft : Qt::AlignHCenter;
        EXPECT_TRUE(view->model()
                        ->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                        .value<Qt::Alignment>() &
                    alignment);
    }
    window.show();
    window.Timer1_Timer();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(20); // the view lays its rows out on a timer
    // All eleven levels show at once.
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
    for (int column = 0; column < headers.size(); ++column) {
        const auto alignment = column == BoardModel::ItemText ? Qt::AlignLeft : Qt::AlignHCenter;
        EXPECT_TRUE(
            view->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
            alignment)
            << column;
    }
    EXPECT_FALSE(view->rootIsDecorated());
}

TEST_F(MainWindowTest, FirstTickDrawsTheKnownBoard) {
    window.timer1().stop();
    window.Timer1_Timer();

    struct Row {
        const char* offered;
        const char* price;
        const char* bid;
    };
    const Row expected[] = {{"4000", "505", ""}, {"", "504", ""},     {"12000", "503", ""},
                            {"9000", "502", ""}, {"7000", "501", ""}, {"", "500", "4000"},
                            {"", "499", "3000"}, {"", "498", "5000"}, {"", "497", "20000"},
                            {"", "496", "7000"}, {"", "495", "8000"}};
    ASSERT_EQ(window.controls().ListView1->model()->rowCount(), 11);
    for (int row = 0; row < 11; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(cell(row, BoardModel::ItemText), QString());
        EXPECT_EQ(cell(row, BoardModel::Offered), QString::fromUtf8(expected[row].offered));
        EXPECT_EQ(cell(row, BoardModel::LeftSpacer), QString());
        EXPECT_EQ(cell(row, BoardModel::Price), QString::fromUtf8(expected[row].price));
        EXPECT_EQ(cell(row, BoardModel::RightSpacer), QString());
        EXPECT_EQ(cell(row, BoardModel::Bid), QString::fromUtf8(expected[row].bid));
    }
    EXPECT_EQ(textOf(control("lblNowPrice")), QStringLiteral("500"));
    EXPECT_FALSE(control("lblYesterdayPrice")->isVisible());
}

TEST_F(MainWindowTest, Timer1RedrawsTheBoardOnItsOwn) {
    window.timer1().setInterval(1);
    // QTest's QTRY_ macros report to QTest, not to GoogleTest; wait, then assert.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window.controls().ListView1->model()->rowCount() == 11; }, 5000));
    EXPECT_GE(window.market().tickCount(), 1u);
}

TEST_F(MainWindowTest, OneClockRunsEverySecondAndTriesTheExecution) {
    EXPECT_EQ(window.timer1().interval(), 1000);
    EXPECT_TRUE(window.timer1().isActive());
    EXPECT_EQ(window.findChild<QTimer*>(QStringLiteral("Timer2")), nullptr);
    window.timer1().stop();
    window.Timer1_Timer(); // a board to trade against
    static_cast<QRadioButton*>(control("optBuyOpt1"))->setChecked(true);
    static_cast<QLineEdit*>(control("txtBuyAmount"))->setText(QStringLiteral("1000"));
    window.cmdBuyNow_Click();
    ASSERT_EQ(textOf(control("lblOrderType")), QStringLiteral("買"));
    window.timer1().setInterval(1);
    window.timer1().start();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window.messageLog().text().contains(QStringLiteral("約定しました")); },
        5000));
    EXPECT_EQ(textOf(control("lblAmount")), QStringLiteral("1000"));
}

// Runs the event loop until the window ends the program, or fails after a
// few seconds rather than hanging.
int runUntilProgramEnds(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    return QApplication::exec();
}

TEST_F(MainWindowTest, ExitMenuEndsTheProgramAtOnceEvenWithAboutOpen) {
    window.show();
    window.MnuAbout_Click();
    const int status = runUntilProgramEnds([this] { window.controls().MnuEnd->trigger(); });
    EXPECT_EQ(status, 0);
    // The close handler did not run on the way out.
    EXPECT_TRUE(window.timer1().isActive());
}

TEST_F(MainWindowTest, ClosingTheWindowStopsTimer1AndEndsTheProgram) {
    window.show();
    window.MnuAbout_Click(); // an open About box must not keep the program alive
    const int status = runUntilProgramEnds([this] { window.close(); });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(window.timer1().isActive());
    EXPECT_FALSE(window.isVisible());
}

} // namespace
