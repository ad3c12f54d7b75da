#include "ui/keys/frmKeys.h"

#include "orders/StockInfo.h"
#include "ui/common/Appearance.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// A caption without its access key: 歩み値(&T) reads 歩み値.
QString plainText(QString text) {
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)"));
    return text.remove(accessKey).remove(QLatin1Char('&'));
}

// The menu path of an item ("練習 → 速度 → ×5"), or its text alone.
QString actionPath(const QAction& action) {
    QString path = plainText(action.text());
    const QAction* item = &action;
    for (;;) {
        const QMenu* menu = nullptr;
        // The menu bar's overflow menu, which has no title, holds the bar's
        // menus too.
        for (const QObject* owner : item->associatedObjects())
            if ((menu = qobject_cast<const QMenu*>(owner)) && !menu->title().isEmpty())
                break;
            else
                menu = nullptr;
        if (!menu)
            return path;
        path = plainText(menu->title()) + QStringLiteral(" → ") + path;
        item = menu->menuAction();
    }
}

QString actionPlace(const QAction& action) {
    if (action.shortcutContext() == Qt::ApplicationShortcut)
        return QStringLiteral("どのウィンドウでも");
    for (const QObject* owner : action.associatedObjects())
        if (const auto* widget = qobject_cast<const QWidget*>(owner);
            widget && !qobject_cast<const QMenu*>(widget) && !widget->accessibleName().isEmpty())
            return widget->accessibleName() + QStringLiteral("（選択中）");
    return QStringLiteral("メインウィンドウ");
}

} // namespace

std::vector<KeyNote> frmKeys::keyRows(const QWidget& source, const std::vector<KeyNote>& notes) {
    // The keys of every window first, in the order of the menus, then those
    // that work in one place.
    std::vector<KeyNote> everywhere, inPlace;
    for (const QAction* action : source.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts())
            (action->shortcutContext() == Qt::ApplicationShortcut ? everywhere : inPlace)
                .push_back({key.toString(QKeySequence::NativeText), actionPath(*action),
                            actionPlace(*action)});
    }
    std::vector<KeyNote> rows = everywhere;
    rows.insert(rows.end(), inPlace.begin(), inPlace.end());
    rows.insert(rows.end(), notes.begin(), notes.end());
    return rows;
}

frmKeys::frmKeys(const QWidget& source, const std::vector<KeyNote>& notes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmKeys"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("キー操作 - ") + QString::fromUtf8(kAppTitle));
    setFont(gothicFont(9));

    const std::vector<KeyNote> rows = keyRows(source, notes);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 3, this);
    table->setObjectName(QStringLiteral("keyTable"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("キー"), QStringLiteral("操作"), QStringLiteral("使える場所")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);
    for (int row = 0; row < table->rowCount(); ++row) {
        const KeyNote& note = rows[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(note.key));
        table->setItem(row, 1, new QTableWidgetItem(note.what));
        table->setItem(row, 2, new QTableWidgetItem(note.where));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(buttons);
    // Every column and every row in sight where the screen allows.
    const QMargins margins = layout->contentsMargins();
    int width = 2 * table->frameWidth() + margins.left() + margins.right() +
                table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < 3; ++column)
        width += table->columnWidth(column);
    const int height = table->horizontalHeader()->sizeHint().height() +
                       table->rowCount() * table->verticalHeader()->defaultSectionSize() +
                       2 * table->frameWidth() + margins.top() + margins.bottom() +
                       layout->spacing() + buttons->sizeHint().height();
    resize(width, height);
}

} // namespace vantrel
