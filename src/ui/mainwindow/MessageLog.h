#pragma once

#include "trading/TradeLog.h"

#include <QString>

#include <cstddef>
#include <string>

class QPlainTextEdit;

namespace vantrel {

class Clock;

// The running record of the user's trading, kept in the log box itself: one
// time-stamped line per message, newest last, never shortened.
class MessageLog final : public TradeLog {
public:
    MessageLog(QPlainTextEdit& view, const Clock& clock);

    // Appends "<date-time>  <message>" as a new line and shows the end of the
    // log. Only the new line is added, so an append costs the same however
    // long the log has grown.
    void AddLog(const QString& message);
    void AddLog(const std::string& message) override;
    // How many lines were added, so a caller can tell whether an action
    // said anything.
    std::size_t lines() const { return m_lines; }

private:
    QPlainTextEdit& m_view;
    const Clock& m_clock;
    std::size_t m_lines = 0;
};

} // namespace vantrel
