#pragma once

#include "market/TapeEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

// The trade tape (歩み値): the market's trades, oldest first, with the
// running volume and volume-weighted average price (VWAP) since the start
// and over the last five market minutes.
//
// The market owns its tape (Market::tape()); a new market starts an empty
// one. For a table in the window, after each tick (with the rest of the
// refresh) compare dropped() and dropped() + size() with what the table
// showed: first remove from its top the rows dropped since (once the tape
// is full each new line drops the oldest), then append the new lines, the
// last ones of at(0) .. at(size() - 1), the newest at the end. A tick adds
// at most one line. The totals (volume(), vwap(), recentVolume(),
// recentVwap()) always cover the whole session, dropped lines included.
// Side texts for the window: TapeSide::Buy is 買い, TapeSide::Sell is 売り;
// priceMoveOnly() lines moved the price without volume.
class Tape final {
public:
    // At most one line per tick: a week of ticks, the longest practice a
    // session file holds, so the window always shows the whole practice.
    // 16 bytes a line: 9.2 MiB at the very most, reached only after a week;
    // eight hours take about 0.5 MiB.
    static constexpr std::size_t kCapacity = 604800;
    // "The last five minutes": lines printed in the last 300 market seconds.
    static constexpr std::uint64_t kRecentSeconds = 300;

    // Called by the market (only) once per tick, in order, with the tick's trade
    // if it printed one; the tick's second moves the five-minute window on
    // even when nothing traded.
    void record(std::uint64_t second, const std::optional<TapeEntry>& trade);

    std::size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    // index 0 is the oldest line kept, size() - 1 the newest.
    const TapeEntry& at(std::size_t index) const;
    // Lines dropped from the front so far to keep within kCapacity.
    std::uint64_t dropped() const { return m_dropped; }

    // Shares traded since the start, and their VWAP (0 while none traded).
    std::uint64_t volume() const { return m_volume; }
    double vwap() const { return averagePrice(m_value, m_volume); }
    // The same over the lines of the last kRecentSeconds market seconds.
    std::uint64_t recentVolume() const { return m_recentVolume; }
    double recentVwap() const { return averagePrice(m_recentValue, m_recentVolume); }

    // The same lines in the same order, with the same totals.
    bool operator==(const Tape& other) const;

    // The totals and the line count without the lines: where the tape stood,
    // for going back to it later.
    Tape withoutLines() const;
    // Back to where an earlier withoutLines() of this same market's tape
    // stood: the market never sees the user, so its lines then are the first
    // of these. False, and nothing changed, once lines have been dropped
    // since (only past a week).
    bool rollBackTo(const Tape& earlier);

    // Heap and object bytes the tape holds.
    std::size_t memoryBytes() const;

private:
    static double averagePrice(std::uint64_t value, std::uint64_t volume) {
        return volume == 0 ? 0.0 : static_cast<double>(value) / static_cast<double>(volume);
    }
    // A line by its number since the start (dropped lines count).
    const TapeEntry& line(std::uint64_t number) const { return at(number - m_dropped); }

    // A ring once full: m_head is the oldest line's slot.
    std::vector<TapeEntry> m_lines;
    std::size_t m_head = 0;
    std::uint64_t m_dropped = 0;

    // Yen and shares as whole numbers, so the sums stay exact.
    std::uint64_t m_volume = 0;
    std::uint64_t m_value = 0;
    std::uint64_t m_recentVolume = 0;
    std::uint64_t m_recentValue = 0;
    // Number (since the start) of the oldest line still inside the window.
    std::uint64_t m_recentFirst = 0;
    // The lines a withoutLines() copy stands for.
    std::size_t m_markedLines = 0;
};

} // namespace vantrel
