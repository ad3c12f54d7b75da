#include "WindowFixture.h"
#include "market/Market.h"
#include "ui/mainwindow/BoardModel.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTreeView>

namespace vantrel {
namespace {

// The window paused; the tests step its seconds and read the board as it
// is shown, a screen reader included.
struct BoardMark : test::WindowFixture {
    void SetUp() override {
        pause();
        window.show();
    }
    QString cell(int row, int column, int role = Qt::DisplayRole) const {
        return find<QTreeView>("ListView1")->model()->index(row, column).data(role).toString();
    }
    // Each row that says anything of the order (its price, the mark in the
    // spacers, its tooltip), then the line beside the board as read aloud.
    QStringList marks() const {
        QStringList found;
        for (int row = 0; row < Market::kBoardRows; ++row) {
            const QString tip = cell(row, BoardModel::Bid, Qt::ToolTipRole);
            const QString mark =
                cell(row, BoardModel::LeftSpacer) + cell(row, BoardModel::RightSpacer);
            if (!mark.isEmpty() || !tip.isEmpty())
                found << cell(row, BoardModel::Price) + mark + tip;
        }
        auto* line = find<QLabel>("lblBoardOrder");
        if (line->isVisibleTo(&window))
            found << QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name);
        return found;
    }
    void buy(const char* price, const char* shares) {
        find<QRadioButton>("optBuyOpt0")->click();
        find<QLineEdit>("txtBuyPrice")->setText(QString::fromUtf8(price));
        find<QLineEdit>("txtBuyAmount")->setText(QString::fromUtf8(shares));
        find<QPushButton>("cmdBuyNow")->click();
    }
    void cancel() { find<QPushButton>("cmdCancelOldest")->click(); }
};

// A limit on the board marks its row, in the bids' spacer, with a mark a
// screen reader reads as the sentence; the market's book stays the crowd's
// alone. The mark follows the row as the board moves, then goes with the
// cancel.
TEST_F(BoardMark, LimitOnTheBoardFollowsTheTicksUntilCancelled) {
    seconds(1);
    buy("497", "3000");
    const QString said = QStringLiteral("あなたの買い注文 497円 残り 3,000株");
    EXPECT_EQ(marks(), QStringList{QStringLiteral("497●") + said});
    QApplication::processEvents(); // the view lays its rows out
    auto* view = QAccessible::queryAccessibleInterface(find<QTreeView>("ListView1"));
    EXPECT_EQ(view->tableInterface()->cellAt(8, BoardModel::RightSpacer)->text(QAccessible::Name),
              said);
    seconds(6); // the board moves a yen down: 504 on top
    EXPECT_EQ(cell(7, BoardModel::RightSpacer), QStringLiteral("●"));
    EXPECT_EQ(marks(), QStringList{QStringLiteral("497●") + said});
    Market crowdOnly;
    crowdOnly.StartUp();
    for (int tick = 0; tick < 7; ++tick)
        crowdOnly.Tick();
    EXPECT_TRUE(window.session().market() == crowdOnly);
    cancel();
    EXPECT_EQ(marks(), QStringList());
}

// Off the board, the edge row points the way and the line says how far.
TEST_F(BoardMark, OffTheBoardBelowAndAbove) {
    seconds(1);
    buy("480", "3000");
    EXPECT_EQ(marks(), QStringList({QStringLiteral("495▼あなたの買い注文 480円 は板の下 15円"),
                                    QStringLiteral("あなたの買い注文 480円 は板の下 15円")}));
    // Shown in two lines that fit beside the board, where it stands second.
    EXPECT_EQ(label("lblBoardOrder"), QStringLiteral("あなたの買い注文 480円\nは板の下 15円"));
    cancel();
    buy("600", "1000");
    EXPECT_EQ(marks(), QStringList({QStringLiteral("505▲あなたの買い注文 600円 は板の上 95円"),
                                    QStringLiteral("あなたの買い注文 600円 は板の上 95円")}));
}

// A market order stands at the best quote it meets; a limit's part fill
// leaves its mark with the shares still waiting. A replay of the practice
// shows every second's mark as it was shown.
TEST_F(BoardMark, MarketOrderPartFillAndReplay) {
    seconds(1);
    buyAtMarket();
    EXPECT_EQ(marks(), QStringList{QStringLiteral("501●あなたの買い注文 成行 501円 残り 1,000株")});
    cancel();
    buy("500", "5000");
    QStringList shown, replayed;
    for (int second = 1; second <= 8; ++second, seconds(1))
        shown << marks().join('|');
    // The seventh tick's ask of 2,000 at 500 filled part of it.
    EXPECT_EQ(shown.back(), QStringLiteral("500●あなたの買い注文 500円 残り 3,000株"));

    QTemporaryDir folder;
    dialogs.path = folder.filePath(QStringLiteral("s.json"));
    action("MnuSaveSession")->trigger();
    action("MnuOpenSession")->trigger();
    seconds(1);
    for (int second = 1; second <= 8; ++second, seconds(1))
        replayed << marks().join('|');
    EXPECT_EQ(replayed, shown);
}

} // namespace
} // namespace vantrel
