#include "WindowFixture.h"
#include "practice/PracticeSession.h"
#include "results/ResultsText.h"

#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>

using namespace vantrel;

namespace {

struct TapeAndKeysTest : test::WindowFixture {
    void SetUp() override {
        pause();
        window.show();
        QApplication::setActiveWindow(&window);
    }
    QWidget* tape() const { return test::topLevel("frmTape"); }
    QString tapeLabel(const char* name) const { return tape()->findChild<QLabel*>(name)->text(); }
    QAbstractItemModel& tapeRows() const {
        return *tape()->findChild<QTableView*>("tapeTable")->model();
    }
    QString cell(int row, int column) const {
        return tapeRows().index(row, column).data().toString();
    }
    QTreeView& board() const { return *find<QTreeView>("ListView1"); }
    QString boardPrice(int row) const { return board().model()->index(row, 3).data().toString(); }
    std::size_t presses() const { return window.session().actions().size(); }
};

// Newest on top, the user's fill among the market's lines at its second, the
// totals those of the rows shown; the tape then follows a step and a fresh start.
TEST_F(TapeAndKeysTest, TapeShowsTheWholePracticeNewestFirstWithTheUsersFill) {
    buyAtMarket();
    seconds(40);
    EXPECT_EQ(tape(), nullptr); // built only when first opened
    action("MnuTape")->trigger();
    ASSERT_NE(tape(), nullptr);
    EXPECT_EQ(tape()->windowTitle(), QStringLiteral("歩み値 - Vantrel"));
    const Tape& lines = window.session().market().tape();
    const QAbstractItemModel& rows = tapeRows();
    ASSERT_EQ(rows.rowCount(), static_cast<int>(lines.size()) + 1);
    std::uint64_t volume = 0, value = 0, previous = 1000, own = 0;
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QString elapsed = cell(row, 0);
        const std::uint64_t second = elapsed.section(':', 0, 0).toULongLong() * 60 +
                                     elapsed.section(':', 1, 1).toULongLong();
        EXPECT_LE(second, previous) << row;
        if (cell(row, 4).contains(QStringLiteral("あなた"))) {
            ++own;
            // Settled after its second's tick: above that second's line.
            EXPECT_EQ(second, window.session().ledger().fills()[0].time.second);
            EXPECT_LT(second, previous);
            EXPECT_EQ(cell(row, 4), QStringLiteral("↑買い（あなた）"));
            previous = second;
            continue;
        }
        previous = second;
        EXPECT_TRUE(cell(row, 4) == QStringLiteral("↑買い") ||
                    cell(row, 4) == QStringLiteral("↓売り"));
        EXPECT_EQ(cell(row, 1), QStringLiteral("9:07:03"));
        const std::uint64_t shares = cell(row, 3).remove(',').toULongLong();
        volume += shares;
        value += shares * cell(row, 2).toULongLong();
    }
    EXPECT_EQ(own, 1u);
    EXPECT_EQ(cell(0, 0), QString::fromStdString(elapsedText(lines.at(lines.size() - 1).second)));
    EXPECT_EQ(tapeLabel("lblVolume"),
              QString::fromStdString(groupedNumber(static_cast<double>(volume))) + "株");
    EXPECT_EQ(tapeLabel("lblVwap"),
              QString::fromStdString(groupedNumber(1.0 * value / volume, 2)) + "円");

    const int before = rows.rowCount();
    seconds(5);
    EXPECT_GT(rows.rowCount(), before);
    EXPECT_EQ(rows.rowCount(), static_cast<int>(lines.size()) + 1);
    EXPECT_EQ(cell(0, 0), QString::fromStdString(elapsedText(lines.at(lines.size() - 1).second)));

    dialogs.typed = QStringLiteral("2");
    action("MnuNewPractice")->trigger();
    pause();
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(tapeLabel("lblVwap"), QStringLiteral("—"));
    seconds(3);
    EXPECT_EQ(rows.rowCount(), static_cast<int>(window.session().market().tape().size()));
}

// A click in a side's column, or B / S on the selected row, puts that row's
// price into that side's form as a limit and moves to its quantity; nothing
// is placed.
TEST_F(TapeAndKeysTest, TheBoardFillsASideByClickAndByKey) {
    struct Case {
        int row;
        int column; // -1: by keyboard, Tab to the board then down to the row
        Qt::Key key;
        const char *priceBox, *limit, *quantityBox;
    };
    const Case cases[] = {{2, 1, Qt::Key_unknown, "txtSellPrice", "optSellOpt0", "txtSellAmount"},
                          {7, 5, Qt::Key_unknown, "txtBuyPrice", "optBuyOpt0", "txtBuyAmount"},
                          {6, -1, Qt::Key_B, "txtBuyPrice", "optBuyOpt0", "txtBuyAmount"},
                          {3, -1, Qt::Key_S, "txtSellPrice", "optSellOpt0", "txtSellAmount"}};
    seconds(1); // the board shows its rows from the first tick
    for (const Case& c : cases) {
        find<QRadioButton>("optBuyOpt1")->setChecked(true);
        find<QRadioButton>("optSellOpt1")->setChecked(true);
        // With everything chosen and shares typed before: the shares box is
        // chosen and its text selected, so what is typed next replaces it.
        find<QRadioButton>("optBuyAmount2")->setChecked(true);
        find<QRadioButton>("optSellAmount2")->setChecked(true);
        find<QLineEdit>(c.quantityBox)->setText(QStringLiteral("3000"));
        if (c.column >= 0) {
            const QModelIndex index = board().model()->index(c.row, c.column);
            QTest::mouseClick(board().viewport(), Qt::LeftButton, {},
                              board().visualRect(index).center());
        } else {
            // Tab from the last control of the window comes round to the board.
            find<QWidget>("txtResponse")->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), &board());
            board().setCurrentIndex({});
            for (int row = 0; row <= c.row; ++row)
                QTest::keyClick(&board(), Qt::Key_Down);
            QTest::keyClick(&board(), c.key);
        }
        ASSERT_FALSE(boardPrice(c.row).isEmpty());
        EXPECT_EQ(find<QLineEdit>(c.priceBox)->text(), boardPrice(c.row)) << c.priceBox;
        EXPECT_TRUE(find<QRadioButton>(c.limit)->isChecked()) << c.limit;
        EXPECT_EQ(QApplication::focusWidget(), find<QWidget>(c.quantityBox)) << c.quantityBox;
        EXPECT_EQ(find<QLineEdit>(c.quantityBox)->selectedText(), QStringLiteral("3000"));
        EXPECT_TRUE(find<QRadioButton>(c.quantityBox[3] == 'B' ? "optBuyAmount0" : "optSellAmount0")
                        ->isChecked());
    }
    // The price column only selects.
    const QString before = find<QLineEdit>("txtBuyPrice")->text();
    QTest::mouseClick(board().viewport(), Qt::LeftButton, {},
                      board().visualRect(board().model()->index(9, 3)).center());
    EXPECT_EQ(find<QLineEdit>("txtBuyPrice")->text(), before);
    EXPECT_EQ(board().currentIndex().row(), 9);
    EXPECT_EQ(presses(), 0u);
    EXPECT_EQ(dialogs.boxes, 0);
}

// Enter in each box presses its side's button; the three order keys work
// from the tape window too.
TEST_F(TapeAndKeysTest, EnterAndTheOrderKeysPressTheButtons) {
    const std::pair<const char*, ActionKind> boxes[] = {
        {"txtBuyPrice", ActionKind::Buy},    {"txtBuyAmount", ActionKind::Buy},
        {"txtBuyPower", ActionKind::Buy},    {"txtSellPrice", ActionKind::Sell},
        {"txtSellAmount", ActionKind::Sell}, {"txtSellPower", ActionKind::Sell}};
    std::size_t pressed = 0;
    for (const auto& [box, kind] : boxes) {
        QTest::keyClick(find<QLineEdit>(box), Qt::Key_Return);
        ASSERT_EQ(presses(), ++pressed) << box;
        EXPECT_EQ(window.session().actions().back().kind, kind) << box;
    }
    action("MnuTape")->trigger();
    QApplication::setActiveWindow(tape());
    const std::pair<Qt::Key, ActionKind> keys[] = {{Qt::Key_B, ActionKind::Buy},
                                                   {Qt::Key_S, ActionKind::Sell},
                                                   {Qt::Key_C, ActionKind::Cancel}};
    for (const auto& [key, kind] : keys) {
        const std::size_t before = presses();
        QTest::keyClick(tape(), key, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(presses(), before + 1);
        EXPECT_EQ(window.session().actions().back().kind, kind);
    }
}

// The key list shows every shortcut of every action, with its caption.
TEST_F(TapeAndKeysTest, KeyListHasEveryActionsKey) {
    action("MnuKeys")->trigger();
    auto* table = window.findChild<QTableWidget*>("keyTable");
    ASSERT_NE(table, nullptr);
    int actions = 0;
    for (const QAction* item : window.findChildren<QAction*>()) {
        if (item->shortcut().isEmpty())
            continue;
        ++actions;
        const QString key = item->shortcut().toString(QKeySequence::NativeText);
        QString text = item->text();
        text = text.left(text.indexOf('(')).remove('&');
        const auto found = table->findItems(key, Qt::MatchExactly);
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](QTableWidgetItem* cell) {
            return cell->column() == 0 && table->item(cell->row(), 1)->text().contains(text);
        })) << key.toStdString();
    }
    EXPECT_GE(actions, 11); // the menus' six, the three order keys, B and S
    EXPECT_FALSE(table->findItems(QStringLiteral("Enter"), Qt::MatchExactly).isEmpty());
}

} // namespace
