#pragma once

#include "trading/TradeLog.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPlainTextEdit;

namespace vantrel {

class Clock;

// The running record of the user's trading, kept in the log box itself: one
// time-stamped line per message, newest last. Each line of the practice under
// way knows the market second it came at, so going back to an earlier second
// takes the lines of the later ones away; the lines of earlier practices stay.
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

    // Where the market second of each new line is read from.
    void followSeconds(std::function<std::uint64_t()> second) { m_second = std::move(second); }
    // A practice starts: the lines so far belong to the ones before it.
    void startPractice();
    // The market second the line (a paragraph of the box) came at; nothing
    // for a line of an earlier practice.
    std::optional<std::uint64_t> secondOf(int line) const;
    // Takes away the practice's lines that came after the second.
    void cutBackTo(std::uint64_t second);

private:
    QPlainTextEdit& m_view;
    const Clock& m_clock;
    std::size_t m_lines = 0;
    std::function<std::uint64_t()> m_second;
    // The first line of the practice under way; then, for each second that
    // logged anything, the second and its first line, in order.
    int m_practiceStart = 0;
    std::vector<std::pair<std::uint64_t, int>> m_seconds;
};

} // namespace vantrel
