#pragma once

#include "market/RandomSource.h"
#include "market/RandomStream.h"

#include <deque>
#include <initializer_list>
#include <stdexcept>

namespace vantrel::test {

// Hands out the draws a test scripts, and fails loudly if the code under test
// asks for more than were scripted (a draw too many is a real fault).
class ScriptedRandom final : public RandomSource {
public:
    void push(std::initializer_list<float> draws) { m_draws.insert(m_draws.end(), draws); }
    std::size_t remaining() const { return m_draws.size(); }
    float NextRandom() override {
        if (m_draws.empty())
            throw std::logic_error("more draws taken than scripted");
        const float r = m_draws.front();
        m_draws.pop_front();
        return r;
    }

private:
    std::deque<float> m_draws;
};

// The real stream, counting what it hands out.
class CountingStream final : public RandomSource {
public:
    float NextRandom() override {
        ++m_count;
        return m_stream.NextRandom();
    }
    int count() const { return m_count; }
    std::uint32_t state() const { return m_stream.state(); }

private:
    RandomStream m_stream;
    int m_count = 0;
};

} // namespace vantrel::test
