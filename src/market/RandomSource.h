#pragma once

#include <memory>

namespace vantrel {

// Where the market takes its draws from. The program always uses
// RandomStream; tests substitute scripted draws to reach rare branches.
// A source copies with everything it will still draw, so a copied market
// goes on exactly as the original would.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float NextRandom() = 0;
    virtual std::unique_ptr<RandomSource> clone() const = 0;
    // Whether the two would draw the same numbers from now on.
    virtual bool sameDraws(const RandomSource& other) const = 0;
};

// A market's own source as a value: copying it copies the source's state.
class RandomHandle final {
public:
    explicit RandomHandle(std::unique_ptr<RandomSource> source) : m_source(std::move(source)) {}
    RandomHandle(const RandomHandle& other) : m_source(other.m_source->clone()) {}
    RandomHandle(RandomHandle&&) noexcept = default;
    RandomHandle& operator=(const RandomHandle& other) {
        if (this != &other)
            m_source = other.m_source->clone();
        return *this;
    }
    RandomHandle& operator=(RandomHandle&&) noexcept = default;

    float next() { return m_source->NextRandom(); }
    bool operator==(const RandomHandle& other) const {
        return m_source->sameDraws(*other.m_source);
    }

private:
    std::unique_ptr<RandomSource> m_source;
};

} // namespace vantrel
