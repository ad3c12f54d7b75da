#include "ui/mainwindow/MessageLog.h"

#include "ui/common/Clock.h"
#include "ui/common/TimestampText.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace vantrel {

MessageLog::MessageLog(QPlainTextEdit& view, const Clock& clock) : m_view(view), m_clock(clock) {
    // The log is a record: it can be read, selected and copied, but no stray
    // keystroke may change it. It still takes the focus for keyboard reading.
    m_view.setReadOnly(true);
    m_view.setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_view.setUndoRedoEnabled(false);
    m_view.setLineWrapMode(QPlainTextEdit::NoWrap);
}

void MessageLog::AddLog(const QString& message) {
    // Each line is one paragraph of the box; appending one leaves the text
    // before it, the reader's selection and the caret untouched.
    m_view.appendPlainText(timestampText(m_clock.now()) + QStringLiteral("  ") + message);
    ++m_lines;
    m_view.horizontalScrollBar()->setValue(m_view.horizontalScrollBar()->minimum());
    m_view.verticalScrollBar()->setValue(m_view.verticalScrollBar()->maximum());
}

void MessageLog::AddLog(const std::string& message) {
    AddLog(QString::fromStdString(message));
}

} // namespace vantrel
