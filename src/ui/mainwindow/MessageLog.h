#pragma once

#include "trading/TradeLog.h"

#include <QString>

#include <string>

class QDateTime;
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

    // The date and time in the Japanese general form: yyyy/MM/dd H:mm:ss, or
    // the date alone at midnight.
    static QString timestampText(const QDateTime& when);

private:
    QPlainTextEdit& m_view;
    const Clock& m_clock;
};

} // namespace vantrel
