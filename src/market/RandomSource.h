#pragma once

namespace vantrel {

// Where the market takes its draws from. The program always uses
// RandomStream; tests substitute scripted draws to reach rare branches.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float NextRandom() = 0;
};

} // namespace vantrel
