#include "ui/mainwindow/MessageLog.h"

#include "ui/common/Clock.h"
#include "ui/common/TimestampText.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

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
    // A message of several lines takes several paragraphs: lines are
    // counted in paragraphs.
    const int first = m_view.document()->isEmpty() ? 0 : m_view.document()->blockCount();
    if (m_second) {
        const std::uint64_t second = m_second();
        if (m_seconds.empty() || m_seconds.back().first != second)
            m_seconds.emplace_back(second, first);
    }
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

void MessageLog::startPractice() {
    m_practiceStart = m_view.document()->isEmpty() ? 0 : m_view.document()->blockCount();
    m_seconds.clear();
}

std::optional<std::uint64_t> MessageLog::secondOf(int line) const {
    if (line < m_practiceStart || line >= m_view.document()->blockCount())
        return std::nullopt;
    const auto after =
        std::upper_bound(m_seconds.begin(), m_seconds.end(), line,
                         [](int wanted, const auto& second) { return wanted < second.second; });
    // Lines of the practice's start come before any second was read.
    if (after == m_seconds.begin())
        return std::nullopt;
    return std::prev(after)->first;
}

void MessageLog::cutBackTo(std::uint64_t second) {
    const auto later = std::upper_bound(
        m_seconds.begin(), m_seconds.end(), second,
        [](std::uint64_t wanted, const auto& line) { return wanted < line.first; });
    if (later == m_seconds.end())
        return;
    const int first = later->second;
    m_seconds.erase(later, m_seconds.end());
    // From the end of the line before it, so no empty line is left behind.
    QTextCursor cursor(m_view.document());
    if (first == 0) {
        cursor.movePosition(QTextCursor::Start);
    } else {
        cursor.setPosition(m_view.document()->findBlockByNumber(first - 1).position());
        cursor.movePosition(QTextCursor::EndOfBlock);
    }
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_view.verticalScrollBar()->setValue(m_view.verticalScrollBar()->maximum());
}

} // namespace vantrel
