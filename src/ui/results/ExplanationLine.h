#pragma once

#include <QHash>
#include <QLabel>
#include <QPointer>

class QTableView;

namespace vantrel {

// The line under a group of figures that says what one of them means, where
// the learner looks: the figure under the mouse, else the one with the
// keyboard focus (a value clicked or tabbed to, a cell of the table), each
// as its caption and its explanation; its resting text while there is
// neither.
class ExplanationLine final : public QLabel {
    Q_OBJECT
public:
    // The resting text is the hint unless given.
    explicit ExplanationLine(QWidget* parent, const QString& resting = hint());

    // A figure shown as a caption label and a value label: both carry the
    // explanation as their tooltip and their accessible description, the
    // value is read with its caption, and it takes the keyboard focus.
    void explain(QLabel& caption, QLabel& value, const QString& captionText,
                 const QString& explanation);
    // A table whose model gives each column's explanation as its header's
    // tooltip: the column under the mouse (header or cells) and the current
    // cell's column are explained.
    void explainColumns(QTableView& table);

    static QString hint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The text for the mouse at this point of the watched widget, or for the
    // widget as focused; empty where it explains nothing.
    QString textAt(QObject* watched, const QPoint* position) const;
    QString columnText(int column) const;
    void showCurrent();

    QHash<QObject*, QString> m_texts;
    QPointer<QTableView> m_table;
    QString m_resting;
    QString m_hovered;
    QString m_focused;
};

} // namespace vantrel
