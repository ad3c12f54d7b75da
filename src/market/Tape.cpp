#include "market/Tape.h"

#include <algorithm>

namespace vantrel {

static_assert(sizeof(TapeEntry) <= 16, "eight hours of tape must stay small");
// One line per tick at most, so the window's lines are always still kept.
static_assert(Tape::kCapacity >= Tape::kRecentSeconds, "the window outgrows the tape");

const TapeEntry& Tape::at(std::size_t index) const {
    std::size_t slot = m_head + index;
    if (slot >= m_lines.size())
        slot -= m_lines.size();
    return m_lines[slot];
}

void Tape::record(std::uint64_t second, const std::optional<TapeEntry>& trade) {
    if (trade) {
        TapeEntry entry = *trade;
        entry.second = second;
        const std::uint64_t value = static_cast<std::uint64_t>(entry.price) * entry.shares;
        m_volume += entry.shares;
        m_value += value;
        m_recentVolume += entry.shares;
        m_recentValue += value;
        if (m_lines.size() < kCapacity) {
            // Grow in steps that never reserve beyond the capacity.
            if (m_lines.size() == m_lines.capacity())
                m_lines.reserve(std::min(kCapacity, std::max<std::size_t>(64, 2 * m_lines.size())));
            m_lines.push_back(entry);
        } else {
            m_lines[m_head] = entry;
            m_head = m_head + 1 == kCapacity ? 0 : m_head + 1;
            ++m_dropped;
        }
    }
    const std::uint64_t total = m_dropped + m_lines.size();
    while (m_recentFirst < total && line(m_recentFirst).second + kRecentSeconds <= second) {
        const TapeEntry& old = line(m_recentFirst);
        m_recentVolume -= old.shares;
        m_recentValue -= static_cast<std::uint64_t>(old.price) * old.shares;
        ++m_recentFirst;
    }
}

bool Tape::operator==(const Tape& other) const {
    if (size() != other.size() || m_dropped != other.m_dropped || m_volume != other.m_volume ||
        m_value != other.m_value || m_recentVolume != other.m_recentVolume ||
        m_recentValue != other.m_recentValue || m_recentFirst != other.m_recentFirst)
        return false;
    for (std::size_t i = 0; i < size(); ++i)
        if (!(at(i) == other.at(i)))
            return false;
    return true;
}

Tape Tape::withoutLines() const {
    Tape mark;
    mark.m_head = m_head;
    mark.m_dropped = m_dropped;
    mark.m_volume = m_volume;
    mark.m_value = m_value;
    mark.m_recentVolume = m_recentVolume;
    mark.m_recentValue = m_recentValue;
    mark.m_recentFirst = m_recentFirst;
    mark.m_markedLines = m_lines.size();
    return mark;
}

bool Tape::rollBackTo(const Tape& earlier) {
    if (m_dropped != 0 || earlier.m_dropped != 0 || earlier.m_markedLines > m_lines.size())
        return false;
    m_lines.resize(earlier.m_markedLines);
    m_head = earlier.m_head;
    m_volume = earlier.m_volume;
    m_value = earlier.m_value;
    m_recentVolume = earlier.m_recentVolume;
    m_recentValue = earlier.m_recentValue;
    m_recentFirst = earlier.m_recentFirst;
    return true;
}

std::size_t Tape::memoryBytes() const {
    return sizeof(*this) + m_lines.capacity() * sizeof(TapeEntry);
}

} // namespace vantrel
