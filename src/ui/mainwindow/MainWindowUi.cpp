#include "ui/mainwindow/MainWindowUi.h"

#include "orders/StockInfo.h"
#include "practice/Pace.h"
#include "ui/common/Appearance.h"
#include "ui/common/CaptionedValue.h"
#include "ui/common/NumberText.h"
#include "ui/mainwindow/BoardModel.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace vantrel {

namespace {

// Every size here is in logical pixels, which Qt scales on high-DPI screens.
constexpr QSize kClientSize(468, 610);
constexpr qreal kTextPoints = 9;
constexpr qreal kBoardPoints = 8.25;
constexpr int kBoardRowHeight = 18;

// Board rows as tall as a report-style list draws them, so the eleven levels
// fill the board's height.
class BoardRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kBoardRowHeight};
    }
};

QLabel* caption(QWidget* parent, const QString& name, const QString& text, const QRect& rect,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = placeWidget<QLabel>(parent, name, rect);
    label->setText(text);
    label->setAlignment(alignment);
    return label;
}

// A label that shows a value of record, drawn as a sunken field. A screen
// reader reads it with what it holds, not with its frame's title.
QLabel* field(QWidget* parent, const QString& name, const QString& meaning, const QRect& rect,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = caption(parent, name, QString(), rect, alignment);
    showAsCaptionedValue(*label, meaning);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(1);
    return label;
}

// A label that only holds a value and is never shown.
QLabel* hiddenValue(QWidget* parent, const QString& name) {
    auto* label = placeWidget<QLabel>(parent, name, QRect());
    label->hide();
    return label;
}

// The controls sit at fixed places inside each frame, from 17 pixels down,
// so the frame's line and title must not follow the font's line height: a
// face with a tall line (Noto Sans CJK is 17 pixels high at 9 points, IPA
// Gothic 13) would draw the line through the first row of controls. Both keep
// the places the 13-pixel face gives them; the glyphs themselves fit there.
class FixedTitleBandStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget) const override {
        QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
        // The title is drawn from the top of its place: raise it so that its
        // baseline sits where the 13-pixel face's does.
        if (control == CC_GroupBox && subControl == SC_GroupBoxLabel)
            rect.translate(0, -qMax(0, option->fontMetrics.ascent() - kAscent));
        return rect;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameGroupBox)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        // The style draws the line one line height below the top; start the
        // frame higher by the extra height, its bottom where it was.
        QStyleOptionFrame frame = *qstyleoption_cast<const QStyleOptionFrame*>(option);
        frame.rect.setTop(frame.rect.top() - qMax(0, option->fontMetrics.height() - kHeight));
        QProxyStyle::drawPrimitive(element, &frame, painter, widget);
    }

private:
    // IPA Gothic at 9 points, in logical pixels.
    static constexpr int kHeight = 13;
    static constexpr int kAscent = 11;
};

QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, const QRect& rect) {
    // One style for every frame, living as long as the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new FixedTitleBandStyle;
        style->setParent(QCoreApplication::instance());
    }
    auto* box = placeWidget<QGroupBox>(parent, name, rect);
    box->setStyle(style);
    box->setTitle(title);
    return box;
}

QLineEdit* numberBox(QWidget* parent, const QString& name, const QRect& rect) {
    auto* box = placeWidget<QLineEdit>(parent, name, rect);
    preferLatinDigits(*box);
    return box;
}

// A control array of option buttons: objectName is the array's name followed
// by the index, which is also the button's id in the group.
QRadioButton* option(QButtonGroup& group, QWidget* parent, int index, const QString& text,
                     const QRect& rect) {
    auto* button =
        placeWidget<QRadioButton>(parent, group.objectName() + QString::number(index), rect);
    button->setText(text);
    group.addButton(button, index);
    return button;
}

QButtonGroup* optionArray(QWidget* owner, const QString& name) {
    auto* group = new QButtonGroup(owner);
    group->setObjectName(name);
    return group;
}

// Tab reaches an option group once, at its checked button, in both
// directions. Qt moves a group's tab stop only when one of its buttons gains
// focus, so a group that never had focus, or whose choice the program set,
// would offer every button; here the tab stop follows the check instead.
// Unchecked buttons still take focus from a click or an arrow key.
void tabStopOnChecked(QButtonGroup& group) {
    const auto follow = [](QAbstractButton* button, bool checked) {
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QAbstractButton* button : group.buttons())
        follow(button, button->isChecked());
    QObject::connect(&group, &QButtonGroup::buttonToggled, follow);
}

struct PaneNames {
    QString priceFrame, priceTitle, priceKind, priceBox, priceUnit;
    QString quantityFrame, quantityTitle, quantityKind, sharesBox, sharesUnit, yenBox, yenUnit;
    QString everything, button, buttonText;
};

// Buy and sell share one layout; only names and captions differ.
OrderPane buildOrderPane(QWidget* parent, int left, const PaneNames& names) {
    OrderPane pane;
    auto* priceFrame = frame(parent, names.priceFrame, names.priceTitle, {left, 314, 148, 62});
    pane.priceKind = optionArray(parent, names.priceKind);
    option(*pane.priceKind, priceFrame, 0, QStringLiteral("指値"), {8, 17, 56, 20})
        ->setChecked(true);
    option(*pane.priceKind, priceFrame, 1, QStringLiteral("成行"), {8, 37, 56, 20});
    pane.priceBox = numberBox(priceFrame, names.priceBox, {66, 27, 60, 22});
    caption(priceFrame, names.priceUnit, QStringLiteral("円"), {129, 27, 16, 22});

    auto* quantityFrame =
        frame(parent, names.quantityFrame, names.quantityTitle, {left, 380, 148, 86});
    pane.quantityKind = optionArray(parent, names.quantityKind);
    option(*pane.quantityKind, quantityFrame, 0, QString(), {8, 17, 20, 22})->setChecked(true);
    pane.sharesBox = numberBox(quantityFrame, names.sharesBox, {28, 17, 80, 22});
    caption(quantityFrame, names.sharesUnit, QStringLiteral("株"), {111, 17, 32, 22});
    option(*pane.quantityKind, quantityFrame, 1, QString(), {8, 41, 20, 22});
    pane.yenBox = numberBox(quantityFrame, names.yenBox, {28, 41, 80, 22});
    caption(quantityFrame, names.yenUnit, QStringLiteral("円分"), {111, 41, 32, 22});
    option(*pane.quantityKind, quantityFrame, 2, names.everything, {8, 64, 130, 20});

    tabStopOnChecked(*pane.priceKind);
    tabStopOnChecked(*pane.quantityKind);

    pane.placeButton = placeWidget<QPushButton>(parent, names.button, {left, 470, 148, 28});
    pane.placeButton->setText(names.buttonText);
    return pane;
}

void buildStockBand(MainWindowUi& ui, QWidget* parent) {
    auto* band =
        frame(parent, QStringLiteral("frmStockInfo"), QStringLiteral("銘柄情報"), {6, 2, 456, 62});
    caption(band, QStringLiteral("lblCode"), QStringLiteral("銘柄コード"), {10, 16, 64, 18});
    ui.txtCode = placeWidget<QLineEdit>(band, QStringLiteral("txtCode"), {10, 34, 64, 22});
    ui.txtCode->setText(QString::fromUtf8(stock::kCode));
    ui.txtCode->setEnabled(false);
    caption(band, QStringLiteral("lblStockN"), QStringLiteral("銘柄名"), {82, 16, 96, 18});
    // The stock's fixed facts are written once here; nothing reads them back.
    field(band, QStringLiteral("lblStockName"), QStringLiteral("銘柄名"), {82, 34, 96, 22})
        ->setText(QString::fromUtf8(stock::kName));
    caption(band, QStringLiteral("lblMarkt"), QStringLiteral("市場"), {186, 16, 52, 18});
    field(band, QStringLiteral("lblMarket"), QStringLiteral("市場"), {186, 34, 52, 22})
        ->setText(QString::fromUtf8(stock::kMarket));
    caption(band, QStringLiteral("lblNow"), QStringLiteral("現値"), {246, 16, 60, 18});
    ui.lblNowPrice =
        field(band, QStringLiteral("lblNowPrice"), QStringLiteral("現値"), {246, 34, 60, 22});
    caption(band, QStringLiteral("lblAmt"), QStringLiteral("株数"), {314, 16, 66, 18});
    ui.lblAmount =
        field(band, QStringLiteral("lblAmount"), QStringLiteral("株数"), {314, 34, 66, 22});
    caption(band, QStringLiteral("lblUnt"), QStringLiteral("単位株"), {388, 16, 58, 18});
    field(band, QStringLiteral("lblUnit"), QStringLiteral("単位株"), {388, 34, 58, 22},
          Qt::AlignCenter)
        ->setText(numberText(stock::kUnit));
    ui.lblYesterdayPrice = hiddenValue(band, QStringLiteral("lblYesterdayPrice"));
}

void buildBoard(MainWindowUi& ui, QWidget* parent, QAbstractItemModel& board) {
    caption(parent, QStringLiteral("lblBoard"), QStringLiteral("板情報"), {8, 66, 100, 18});
    auto* view = placeWidget<QTreeView>(parent, QStringLiteral("ListView1"), {6, 84, 252, 226});
    view->setFont(gothicFont(kBoardPoints));
    view->setModel(&board);
    view->setItemDelegate(new BoardRowDelegate(view));
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setIndentation(0);
    // The board is read, never edited; a row is selected to take its price
    // into an order form, by a click or from the keyboard.
    view->setAccessibleName(QStringLiteral("板情報"));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setMinimumSectionSize(0);
    // Fixed: a widened column (even the zero-wide first one) would push
    // 買気配株数 out of the board's view.
    header->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < BoardModel::ColumnCount; ++column)
        header->resizeSection(column, BoardModel::kColumnWidths[column]);
    ui.ListView1 = view;
    // The board fills its column down to the order forms, so the line goes
    // beside it, level with its lowest rows, in space no control of the
    // window uses: nothing moves.
    ui.lblBoardOrder = caption(parent, QStringLiteral("lblBoardOrder"), QString(),
                               {268, 262, 190, 44}, Qt::AlignLeft | Qt::AlignBottom);
    ui.lblBoardOrder->setWordWrap(true);
    ui.lblBoardOrder->hide();
    // Letters typed on the board take its row's price; they never search it.
    const auto boardKey = [view](const QString& name, const QString& text, Qt::Key key) {
        auto* item = new QAction(text, view);
        item->setObjectName(name);
        item->setShortcut(key);
        item->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(item);
        return item;
    };
    ui.keyBoardToBuy = boardKey(QStringLiteral("keyBoardToBuy"),
                                QStringLiteral("選んだ行の値段を買い単価へ"), Qt::Key_B);
    ui.keyBoardToSell = boardKey(QStringLiteral("keyBoardToSell"),
                                 QStringLiteral("選んだ行の値段を売り単価へ"), Qt::Key_S);
}

void buildPowerAndOrder(MainWindowUi& ui, QWidget* parent) {
    auto* power =
        frame(parent, QStringLiteral("frmPower"), QStringLiteral("余力"), {264, 78, 198, 52});
    ui.lblPower = field(power, QStringLiteral("lblPower"), QStringLiteral("余力（円）"),
                        {10, 20, 152, 22}, Qt::AlignRight | Qt::AlignVCenter);
    caption(power, QStringLiteral("lblYen"), QStringLiteral("円"), {166, 20, 24, 22});
    // In the free space beside the board, above 注文情報: in sight of the
    // forms and the buttons without moving any control of the window.
    ui.lblNotice = caption(parent, QStringLiteral("lblNotice"), QString(), {268, 140, 190, 64},
                           Qt::AlignLeft | Qt::AlignTop);
    ui.lblNotice->setWordWrap(true);
    // A pale note that stands out from the fields of record; shown only
    // while it has something to say.
    ui.lblNotice->setFrameStyle(QFrame::Box | QFrame::Plain);
    ui.lblNotice->setMargin(4);
    ui.lblNotice->setAutoFillBackground(true);
    QPalette note = ui.lblNotice->palette();
    note.setColor(QPalette::Window, QColor(0xff, 0xf6, 0xcc));
    note.setColor(QPalette::WindowText, QColor(0x5a, 0x40, 0x00));
    ui.lblNotice->setPalette(note);
    ui.lblNotice->hide();
    // Under the notice, in the same free space: the exercise under way.
    ui.lblExercise = caption(parent, QStringLiteral("lblExercise"), QString(), {268, 206, 190, 54},
                             Qt::AlignLeft | Qt::AlignTop);
    ui.lblExercise->setWordWrap(true);
    ui.lblExercise->hide();

    auto* order =
        frame(parent, QStringLiteral("Frame3"), QStringLiteral("注文情報"), {314, 314, 148, 152});
    ui.lblOrderPriceView = field(order, QStringLiteral("lblOrderPriceView"),
                                 QStringLiteral("注文価格"), {10, 22, 128, 24});
    ui.lblOrderAmount = field(order, QStringLiteral("lblOrderAmount"), QStringLiteral("注文株数"),
                              {10, 54, 128, 24});
    ui.lblOrderType = field(order, QStringLiteral("lblOrderType"), QStringLiteral("注文の売買"),
                            {10, 86, 128, 24});
    ui.lblOrderPrice = hiddenValue(order, QStringLiteral("lblOrderPrice"));
    ui.cmdCancelOldest =
        placeWidget<QPushButton>(parent, QStringLiteral("cmdCancelOldest"), {314, 470, 148, 28});
    ui.cmdCancelOldest->setText(QStringLiteral("注文をキャンセル"));
}

void buildLog(MainWindowUi& ui, QWidget* parent) {
    caption(parent, QStringLiteral("lblLog"), QStringLiteral("ログ"), {8, 502, 60, 16});
    ui.txtResponse =
        placeWidget<QPlainTextEdit>(parent, QStringLiteral("txtResponse"), {6, 518, 456, 86});
    ui.txtResponse->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.txtResponse->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

// A menu of the bar or of another menu, named and drawn in the window's face.
template <class Parent>
QMenu* namedMenu(Parent* parent, const QString& name, const QString& title, const QFont& font) {
    QMenu* menu = parent->addMenu(title);
    menu->setObjectName(name);
    menu->setFont(font);
    return menu;
}

QAction* menuItem(QMenu* menu, const QString& name, const QString& text,
                  const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(text);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    // The keys work from every Vantrel window, the results window included,
    // not only while the main window is active.
    item->setShortcutContext(Qt::ApplicationShortcut);
    return item;
}

void buildPracticeMenu(MainWindowUi& ui, QMainWindow& window, const QFont& font) {
    QMenu* practice = namedMenu(window.menuBar(), QStringLiteral("MnuPractice"),
                                QStringLiteral("練習(&P)"), font);
    ui.MnuPause =
        menuItem(practice, QStringLiteral("MnuPause"), QStringLiteral("一時停止(&P)"), Qt::Key_F5);
    ui.MnuPause->setCheckable(true);
    ui.MnuStep =
        menuItem(practice, QStringLiteral("MnuStep"), QStringLiteral("1秒進める(&T)"), Qt::Key_F6);
    ui.MnuStep->setEnabled(false); // only while paused

    QMenu* speed =
        namedMenu(practice, QStringLiteral("MnuSpeed"), QStringLiteral("速度(&S)"), font);
    ui.speedChoices = new QActionGroup(&window);
    ui.speedChoices->setExclusive(true);
    for (int factor : kSpeeds) {
        // The access key is the factor's first digit; 標準 takes N.
        QAction* choice = menuItem(speed, QStringLiteral("MnuSpeed%1").arg(factor),
                                   factor == kNormalSpeed
                                       ? QStringLiteral("標準(&N)")
                                       : QString::fromStdString(speedText(factor))
                                             .replace(QStringLiteral("×"), QStringLiteral("×&")));
        choice->setCheckable(true);
        choice->setChecked(factor == kNormalSpeed);
        choice->setData(factor);
        ui.speedChoices->addAction(choice);
    }

    practice->addSeparator();
    ui.MnuNewPractice =
        menuItem(practice, QStringLiteral("MnuNewPractice"), QStringLiteral("新しい練習(&N)…"));
    ui.MnuTakeOver =
        menuItem(practice, QStringLiteral("MnuTakeOver"), QStringLiteral("練習を引き継ぐ(&K)"));
    ui.MnuTakeOver->setEnabled(false);
}

void buildMenus(MainWindowUi& ui, QMainWindow& window) {
    const QFont font = gothicFont(kTextPoints);
    QMenuBar* bar = window.menuBar();
    QMenu* file = namedMenu(bar, QStringLiteral("MnuFile"), QStringLiteral("ファイル(&F)"), font);
    ui.MnuSaveSession = menuItem(file, QStringLiteral("MnuSaveSession"),
                                 QStringLiteral("練習を保存(&S)…"), Qt::CTRL | Qt::Key_S);
    ui.MnuOpenSession = menuItem(file, QStringLiteral("MnuOpenSession"),
                                 QStringLiteral("練習を開く(&O)…"), Qt::CTRL | Qt::Key_O);
    file->addSeparator();
    ui.MnuEnd = menuItem(file, QStringLiteral("MnuEnd"), QStringLiteral("終了(&E)"));
    QMenu* view = namedMenu(bar, QStringLiteral("MnuView"), QStringLiteral("表示(&V)"), font);
    ui.MnuResults = menuItem(view, QStringLiteral("MnuResults"),
                             QStringLiteral("取引成績とチャート(&R)"), Qt::CTRL | Qt::Key_R);
    ui.MnuTape = menuItem(view, QStringLiteral("MnuTape"), QStringLiteral("歩み値(&T)"),
                          Qt::CTRL | Qt::Key_T);
    ui.MnuHistory = menuItem(view, QStringLiteral("MnuHistory"), QStringLiteral("練習の記録(&H)"));
    ui.MnuBranches = menuItem(view, QStringLiteral("MnuBranches"), QStringLiteral("分岐(&B)"));
    buildPracticeMenu(ui, window, font);
    ui.MnuExercise =
        namedMenu(bar, QStringLiteral("MnuExercise"), QStringLiteral("課題(&E)"), font);
    ui.MnuOpenExercise = menuItem(ui.MnuExercise, QStringLiteral("MnuOpenExercise"),
                                  QStringLiteral("課題ファイルを開く(&O)…"));
    ui.MnuExercise->addSeparator();
    ui.MnuWriteExercise = menuItem(ui.MnuExercise, QStringLiteral("MnuWriteExercise"),
                                   QStringLiteral("課題を作る(&W)…"));
    ui.MnuGradeClass = menuItem(ui.MnuExercise, QStringLiteral("MnuGradeClass"),
                                QStringLiteral("クラスの採点(&G)…"));
    QMenu* help = namedMenu(bar, QStringLiteral("MnuHelp"), QStringLiteral("ヘルプ(&H)"), font);
    ui.MnuKeys = menuItem(help, QStringLiteral("MnuKeys"), QStringLiteral("キー操作(&K)"));
    ui.MnuAbout = menuItem(help, QStringLiteral("MnuAbout"),
                           QString::fromUtf8(kAppTitle) + QStringLiteral(" について(&A)"));
    // The order buttons by key from every Vantrel window: Ctrl+Shift with a
    // letter, which no text box, menu or other key of the program uses.
    const auto orderKey = [&window](const QString& name, const QString& text,
                                    const QKeySequence& key) {
        auto* item = new QAction(text, &window);
        item->setObjectName(name);
        item->setShortcut(key);
        item->setShortcutContext(Qt::ApplicationShortcut);
        window.addAction(item);
        return item;
    };
    ui.keyBuyNow = orderKey(QStringLiteral("keyBuyNow"), QStringLiteral("買い"),
                            Qt::CTRL | Qt::SHIFT | Qt::Key_B);
    ui.keySellNow = orderKey(QStringLiteral("keySellNow"), QStringLiteral("売り"),
                             Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    ui.keyCancelOldest =
        orderKey(QStringLiteral("keyCancelOldest"), QStringLiteral("注文をキャンセル"),
                 Qt::CTRL | Qt::SHIFT | Qt::Key_C);
}

// Tab visits the board, each option group once (at its checked button, see
// tabStopOnChecked), then the boxes and buttons of that side, then the log.
void setTabOrder(const MainWindowUi& ui) {
    const QList<QWidget*> order = {ui.ListView1,
                                   ui.buy.priceKind->button(0),
                                   ui.buy.priceKind->button(1),
                                   ui.buy.priceBox,
                                   ui.buy.quantityKind->button(0),
                                   ui.buy.quantityKind->button(1),
                                   ui.buy.quantityKind->button(2),
                                   ui.buy.sharesBox,
                                   ui.buy.yenBox,
                                   ui.buy.placeButton,
                                   ui.sell.priceKind->button(0),
                                   ui.sell.priceKind->button(1),
                                   ui.sell.priceBox,
                                   ui.sell.quantityKind->button(0),
                                   ui.sell.quantityKind->button(1),
                                   ui.sell.quantityKind->button(2),
                                   ui.sell.sharesBox,
                                   ui.sell.yenBox,
                                   ui.sell.placeButton,
                                   ui.cmdCancelOldest,
                                   ui.txtResponse};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

void MainWindowUi::setupUi(QMainWindow& window, QAbstractItemModel& board) {
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowTitle(QString::fromUtf8(kAppTitle));
    window.setWindowIcon(programIcon());
    window.setFont(gothicFont(kTextPoints));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);

    auto* client = new QWidget(&window);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientSize);
    window.setCentralWidget(client);

    buildStockBand(*this, client);
    buildBoard(*this, client, board);
    buildPowerAndOrder(*this, client);
    buy = buildOrderPane(
        client, 6,
        {QStringLiteral("frmBuyOpt"), QStringLiteral("買い単価"), QStringLiteral("optBuyOpt"),
         QStringLiteral("txtBuyPrice"), QStringLiteral("Label5"), QStringLiteral("frmBuyAmount"),
         QStringLiteral("買い株数"), QStringLiteral("optBuyAmount"), QStringLiteral("txtBuyAmount"),
         QStringLiteral("Label4"), QStringLiteral("txtBuyPower"), QStringLiteral("Label3"),
         QStringLiteral("全力買い"), QStringLiteral("cmdBuyNow"), QStringLiteral("買い")});
    sell = buildOrderPane(
        client, 160,
        {QStringLiteral("Frame2"), QStringLiteral("売り単価"), QStringLiteral("optSellOpt"),
         QStringLiteral("txtSellPrice"), QStringLiteral("Label8"), QStringLiteral("Frame1"),
         QStringLiteral("売り株数"), QStringLiteral("optSellAmount"),
         QStringLiteral("txtSellAmount"), QStringLiteral("Label7"), QStringLiteral("txtSellPower"),
         QStringLiteral("Label6"), QStringLiteral("全株売り"), QStringLiteral("cmdSellNow"),
         QStringLiteral("売り")});
    buildLog(*this, client);
    buildMenus(*this, window);
    setTabOrder(*this);

    // Fixed border: the window is exactly the client area plus its menu bar.
    window.setFixedSize(window.sizeHint());
}

} // namespace vantrel
