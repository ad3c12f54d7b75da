#pragma once

class QAbstractItemModel;
class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QMenu;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace vantrel {

// One side's order form. The option groups are addressed by index: price
// kind 0 = limit, 1 = market; quantity kind 0 = shares, 1 = yen's worth,
// 2 = everything.
struct OrderPane {
    QButtonGroup* priceKind = nullptr;
    QLineEdit* priceBox = nullptr;
    QButtonGroup* quantityKind = nullptr;
    QLineEdit* sharesBox = nullptr;
    QLineEdit* yenBox = nullptr;
    QPushButton* placeButton = nullptr;
};

// Every control of the main window with its caption, start value and place.
// It only builds; the window gives the controls their behaviour.
struct MainWindowUi {
    QLineEdit* txtCode = nullptr;
    QLabel* lblNowPrice = nullptr;
    QLabel* lblAmount = nullptr;
    QLabel* lblYesterdayPrice = nullptr;
    QTreeView* ListView1 = nullptr;
    // Where the user's order stands when no row of the board holds its
    // price; hidden otherwise.
    QLabel* lblBoardOrder = nullptr;
    QLabel* lblPower = nullptr;
    QLabel* lblOrderPriceView = nullptr;
    QLabel* lblOrderAmount = nullptr;
    QLabel* lblOrderType = nullptr;
    QLabel* lblOrderPrice = nullptr;
    QPushButton* cmdCancelOldest = nullptr;
    // Why the last press placed nothing, for a few seconds; empty otherwise.
    QLabel* lblNotice = nullptr;
    // While an exercise runs: the time left and how far the task has come.
    QLabel* lblExercise = nullptr;
    OrderPane buy;
    OrderPane sell;
    QPlainTextEdit* txtResponse = nullptr;
    QAction* MnuSaveSession = nullptr;
    QAction* MnuOpenSession = nullptr;
    QAction* MnuEnd = nullptr;
    QAction* MnuPause = nullptr;
    QAction* MnuStep = nullptr;
    // The speed choices, each holding its factor as data.
    QActionGroup* speedChoices = nullptr;
    QAction* MnuNewPractice = nullptr;
    QAction* MnuTakeOver = nullptr; // enabled while a saved session replays
    // 課題: the built-in cards are listed above 課題ファイルを開く.
    QMenu* MnuExercise = nullptr;
    QAction* MnuOpenExercise = nullptr;
    QAction* MnuWriteExercise = nullptr;
    QAction* MnuGradeClass = nullptr;
    QAction* MnuResults = nullptr;
    QAction* MnuHistory = nullptr;
    QAction* MnuBranches = nullptr;
    QAction* MnuTape = nullptr;
    QAction* MnuKeys = nullptr;
    QAction* MnuAbout = nullptr;
    // Keys without a menu item: the three order buttons from every window,
    // and on the board (while it has focus) its selected row's price into
    // the buy or the sell side.
    QAction* keyBuyNow = nullptr;
    QAction* keySellNow = nullptr;
    QAction* keyCancelOldest = nullptr;
    QAction* keyBoardToBuy = nullptr;
    QAction* keyBoardToSell = nullptr;

    void setupUi(QMainWindow& window, QAbstractItemModel& board);
};

} // namespace vantrel
