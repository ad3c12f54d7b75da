#include "ui/results/ExplanationLine.h"

#include "ui/common/CaptionedValue.h"

#include <QEnterEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

namespace vantrel {

ExplanationLine::ExplanationLine(QWidget* parent, const QString& resting)
    : QLabel(parent), m_resting(resting) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    // As wide as the figures above it, never wider: its text wraps instead
    // of widening their group.
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    // Two lines held even for a short text, so that the figures above do not
    // move each time the mouse passes from one to another.
    setMinimumHeight(fontMetrics().lineSpacing() * 2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    showCurrent();
}

QString ExplanationLine::hint() {
    return QStringLiteral("見出しや数字にマウスを合わせると、その意味をここに表示します。");
}

void ExplanationLine::explain(QLabel& caption, QLabel& value, const QString& captionText,
                              const QString& explanation) {
    caption.setToolTip(explanation);
    caption.setAccessibleDescription(explanation);
    value.setToolTip(explanation);
    showAsCaptionedValue(value, captionText, explanation);
    value.setFocusPolicy(Qt::StrongFocus);
    const QString text = captionText + u'：' + explanation;
    for (QLabel* label : {&caption, &value}) {
        m_texts.insert(label, text);
        label->installEventFilter(this);
    }
}

void ExplanationLine::explainColumns(QTableView& table) {
    m_table = &table;
    table.viewport()->setMouseTracking(true);
    table.horizontalHeader()->viewport()->setMouseTracking(true);
    for (QObject* watched : {static_cast<QObject*>(&table), static_cast<QObject*>(table.viewport()),
                             static_cast<QObject*>(table.horizontalHeader()->viewport())})
        watched->installEventFilter(this);
    connect(table.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_table && m_table->hasFocus()) {
                    m_focused = columnText(current.column());
                    showCurrent();
                }
            });
}

QString ExplanationLine::columnText(int column) const {
    if (!m_table || !m_table->model() || column < 0)
        return {};
    const QAbstractItemModel& model = *m_table->model();
    const QString explanation =
        model.headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
    if (explanation.isEmpty())
        return {};
    return model.headerData(column, Qt::Horizontal).toString() + u'：' + explanation;
}

QString ExplanationLine::textAt(QObject* watched, const QPoint* position) const {
    if (const auto found = m_texts.constFind(watched); found != m_texts.constEnd())
        return *found;
    if (!m_table)
        return {};
    if (watched == m_table)
        return columnText(m_table->currentIndex().column());
    if (!position)
        return {};
    if (watched == m_table->viewport())
        return columnText(m_table->columnAt(position->x()));
    if (watched == m_table->horizontalHeader()->viewport())
        return columnText(m_table->horizontalHeader()->logicalIndexAt(*position));
    return {};
}

bool ExplanationLine::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter: {
        const QPoint position = static_cast<QEnterEvent*>(event)->position().toPoint();
        m_hovered = textAt(watched, &position);
        showCurrent();
        break;
    }
    case QEvent::MouseMove: {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        m_hovered = textAt(watched, &position);
        showCurrent();
        break;
    }
    case QEvent::Leave:
        m_hovered.clear();
        showCurrent();
        break;
    case QEvent::FocusIn:
        m_focused = textAt(watched, nullptr);
        showCurrent();
        break;
    case QEvent::FocusOut:
        m_focused.clear();
        showCurrent();
        break;
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}

void ExplanationLine::showCurrent() {
    const QString& shown = !m_hovered.isEmpty() ? m_hovered : m_focused;
    setText(shown.isEmpty() ? m_resting : shown);
}

} // namespace vantrel
