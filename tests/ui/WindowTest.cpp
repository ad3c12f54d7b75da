#include "WindowFixture.h"
#include "ui/common/dialogs/ModalDialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {
using namespace vantrel;

using test::FixedClock;

// A shown window whose clock the tests step themselves.
class Window : public test::WindowFixture {
protected:
    void SetUp() override {
        // One clock runs every second from the start; the tests step it.
        EXPECT_TRUE(clockTimer().isActive() && clockTimer().interval() == 1000);
        EXPECT_EQ(find<QTimer>("Timer2"), nullptr);
        pause();
        window.show();
    }
    // The log, then buying power, holdings and the pending order's four labels.
    QString state() const {
        QStringList labels{log()};
        for (const char* name : {"lblPower", "lblAmount", "lblOrderType", "lblOrderPrice",
                                 "lblOrderPriceView", "lblOrderAmount"})
            labels << label(name);
        return labels.join(u'|');
    }
    void type(const char* box, const char* text) {
        find<QLineEdit>(box)->clear();
        QTest::keyClicks(find<QLineEdit>(box), QString::fromUtf8(text));
    }
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
};

// A refused form shows its one box, with the form's own title, and changes
// nothing; then the road of one buy: limit 500, by shares, 1000 shares.
TEST_F(Window, TheRoadOfOneBuy) {
    type("txtBuyPrice", "399");
    click("cmdBuyNow");
    EXPECT_EQ(dialogs.lastBox, "指値が制限値幅（400円）を下回っています。 | Vantrel");
    type("txtSellPrice", "601");
    click("cmdSellNow");
    EXPECT_EQ(dialogs.lastBox, "指値が制限値幅（600円）を上回っています。 | 必須項目");
    EXPECT_EQ(state(), QStringLiteral("|3000000|||||"));

    click("optBuyOpt0");
    type("txtBuyPrice", "500");
    click("optBuyAmount0");
    type("txtBuyAmount", "1000");
    click("cmdBuyNow");
    const QString placed =
        QStringLiteral("2024/03/05 9:07:03  ヴァントレルを500円で1000株購入します。");
    EXPECT_EQ(state(), placed + QStringLiteral("|2500000||買|500|500|1000"));
    // The first attempt comes in the sixth second; the board's ask is still
    // 501 then, and falls to 500 with the seventh tick. At midnight the log's
    // stamp shows the date alone.
    clock.set(QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    for (int second = 1; second <= 7; ++second) {
        EXPECT_EQ(log(), placed);
        seconds(1);
    }
    EXPECT_EQ(state(), placed + QStringLiteral("\n2024/03/05  株価500円で1000株約定しました。"
                                               "（500000円）|2500000|1000||||"));
    EXPECT_EQ(dialogs.boxes, 2);
}

// Typing into a quantity box, or clicking into it, chooses that box's kind,
// so "click, type shares, Enter" with 全力買い left chosen buys the shares typed.
TEST_F(Window, TheQuantityBoxUsedChoosesItsKind) {
    // clang-format off
    const struct { const char *before, *box; bool byClick; const char* chosen; } cases[] = {
        {"optBuyAmount2", "txtBuyAmount", true, "optBuyAmount0"},
        {"optBuyAmount2", "txtBuyPower", false, "optBuyAmount1"},
        {"optBuyAmount1", "txtBuyAmount", false, "optBuyAmount0"},
        {"optSellAmount2", "txtSellPower", true, "optSellAmount1"},
        {"optSellAmount2", "txtSellAmount", false, "optSellAmount0"}};
    // clang-format on
    for (const auto& c : cases) {
        find<QRadioButton>(c.before)->setChecked(true);
        auto* box = find<QLineEdit>(c.box);
        if (c.byClick) {
            QTest::mouseClick(box, Qt::LeftButton);
        } else {
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("1"));
        }
        EXPECT_TRUE(find<QRadioButton>(c.chosen)->isChecked()) << c.box;
    }
    click("optBuyOpt1");
    click("optBuyAmount2");
    QTest::mouseClick(find<QLineEdit>("txtBuyAmount"), Qt::LeftButton);
    find<QLineEdit>("txtBuyAmount")->clear();
    QTest::keyClicks(find<QLineEdit>("txtBuyAmount"), QStringLiteral("1000"));
    QTest::keyClick(find<QLineEdit>("txtBuyAmount"), Qt::Key_Return);
    EXPECT_TRUE(log().endsWith(QStringLiteral("ヴァントレルを成行で1000株購入します。")))
        << log().toStdString();
}

// A press the rules pass over in silence changes no log line and no rule;
// the window says why beside the forms for a few seconds, to screen readers
// too, and the next press that does something clears it.
TEST_F(Window, APressThatPlacesNothingSaysWhy) {
    auto* notice = find<QLabel>("lblNotice");
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isVisible());
    const auto said = [notice] {
        return QAccessible::queryAccessibleInterface(notice)->text(QAccessible::Name);
    };
    click("optSellOpt1");
    click("optSellAmount2");
    click("cmdSellNow");
    EXPECT_EQ(state(), QStringLiteral("|3000000|||||"));
    EXPECT_EQ(notice->text(), QStringLiteral("保有株がないため、売り注文は出せませんでした。"));
    EXPECT_EQ(said(), notice->text());
    EXPECT_TRUE(find<QTimer>("noticeTimer")->isActive());

    buyAtMarket();
    EXPECT_FALSE(notice->isVisible());
    const QString placed = state();
    seconds(4);
    click("cmdBuyNow");
    EXPECT_EQ(state(), placed);
    EXPECT_EQ(window.session().trader().account().dblExecWait, 0); // the wait starts again
    EXPECT_TRUE(notice->text().startsWith(QStringLiteral("注文中の注文があるため、発注しません")));
    EXPECT_EQ(said(), notice->text());
    // Whole in its place, beside the board and above 注文情報.
    EXPECT_TRUE(notice->isVisible());
    EXPECT_LE(notice->heightForWidth(notice->width()), notice->height());
    EXPECT_FALSE(notice->geometry().intersects(find("Frame3")->geometry()));
    EXPECT_FALSE(notice->geometry().intersects(find("ListView1")->geometry()));
    EXPECT_EQ(dialogs.boxes, 0);
}

// Eleven levels in fixed columns, all shown at once without scrolling.
TEST_F(Window, BoardAfterTheFirstTick) {
    seconds(1);
    const auto* view = find<QTreeView>("ListView1");
    const QAbstractItemModel* model = view->model();
    QStringList rows;
    for (int row = -1; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            cells << (row < 0 ? model->headerData(column, Qt::Horizontal)
                              : model->index(row, column).data())
                         .toString();
            if (row < 0)
                cells.back() += QString::number(view->header()->sectionSize(column));
            EXPECT_EQ(view->header()->sectionResizeMode(column), QHeaderView::Fixed);
        }
        rows << cells.join(u',');
    }
    EXPECT_EQ(rows, QStringList({"0,売気配株数73,17,気配値67,17,買気配株数73", ",4000,,505,,",
                                 ",,,504,,", ",12000,,503,,", ",9000,,502,,", ",7000,,501,,",
                                 ",,,500,,4000", ",,,499,,3000", ",,,498,,5000", ",,,497,,20000",
                                 ",,,496,,7000", ",,,495,,8000"}));
    EXPECT_EQ(find<QLabel>("lblNowPrice")->text(), QStringLiteral("500"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(20); // the view lays its rows out on a timer
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
}

// Each option group is one tab stop, its checked button, from either side,
// also when the program set the choice; arrow keys still move the choice.
TEST_F(Window, EachOptionGroupIsOneTabStopAtItsCheckedButton) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), find("optBuyOpt0"));
    // clang-format off
    const struct { const char *check, *from; Qt::Key key; const char* to; } steps[] = {
        {"", "txtBuyAmount", Qt::Key_Backtab, "optBuyAmount0"},           // check: set by the
        {"optSellOpt1", "cmdBuyNow", Qt::Key_Tab, "optSellOpt1"},         // program first
        {"optSellAmount2", "txtSellPrice", Qt::Key_Tab, "optSellAmount2"},
        {"", "txtSellAmount", Qt::Key_Backtab, "optSellAmount2"},
        {"", "optSellAmount2", Qt::Key_Up, "optSellAmount1"},
        {"", "txtSellAmount", Qt::Key_Backtab, "optSellAmount1"}};
    // clang-format on
    for (const auto& step : steps) {
        if (*step.check)
            find<QRadioButton>(step.check)->setChecked(true);
        find(step.from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget(), find(step.to)) << step.from;
        EXPECT_TRUE(find<QRadioButton>(step.to)->isChecked()) << step.to;
    }
}

// Each second of the running clock draws the board, then tries the order:
// the market buy fills after its wait.
TEST_F(Window, TheClockDrivesTheMarketAndTheExecution) {
    click("optBuyOpt1");
    type("txtBuyAmount", "1000");
    click("cmdBuyNow");
    action("MnuSpeed10")->trigger();
    action("MnuPause")->trigger(); // the clock runs again
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return state().contains(QStringLiteral("約定しました")); }, 5000));
}

// The menu's 終了 ends the program at once, the close box after stopping
// Timer1; either way with status 0, also while the About dialog or an order
// check's message box is open.
TEST(ProgramEnd, ExitOrCloseEndsTheProgramWhateverIsOpen) {
    for (const int path : {0, 1, 2, 3}) {
        const bool viaMenu = path & 1, messageBox = path & 2;
        FixedClock clock;
        ModalDialogs dialogs;
        frmMain window(clock, dialogs);
        window.show();
        bool open = false;
        QTimer::singleShot(0, &window, [&] {
            QTimer::singleShot(50, &window, [&] {
                const QWidget* about = test::topLevel("frmAbout");
                open = messageBox ? QApplication::activeModalWidget() != nullptr
                                  : about && about->isVisible();
                viaMenu ? window.findChild<QAction*>("MnuEnd")->trigger() : (void)window.close();
            });
            // The empty limit price shows a box.
            messageBox ? window.findChild<QPushButton*>("cmdBuyNow")->click()
                       : window.findChild<QAction*>("MnuAbout")->trigger();
        });
        QTimer guard; // fails rather than hangs
        guard.callOnTimeout([] { QCoreApplication::exit(99); });
        guard.start(5000);
        EXPECT_EQ(QApplication::exec(), 0) << viaMenu << messageBox;
        EXPECT_TRUE(open) << viaMenu << messageBox;
        EXPECT_EQ(window.findChild<QTimer*>("Timer1")->isActive(), viaMenu)
            << viaMenu << messageBox;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // Test discovery runs this program outside CTest's environment too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen screen as a 1366×768 laptop's, the smallest the windows
    // are laid out for, instead of its default 800×600.
    QTemporaryFile screens;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen") && screens.open()) {
        screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                          "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
