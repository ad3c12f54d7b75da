#pragma once

#include <array>
#include <string>

namespace vantrel {

// How fast practice time runs. The speed multiplies the rate of the clock
// that drives market ticks and execution events, so every wait counted in
// those events keeps its length in market seconds.
inline constexpr std::array<int, 4> kSpeeds = {1, 2, 5, 10};
inline constexpr int kNormalSpeed = 1;
inline constexpr int kSecondMilliseconds = 1000;

struct Pace {
    bool paused = false;
    int speed = kNormalSpeed;

    // The interval of the practice clock at this speed.
    int timerInterval() const { return kSecondMilliseconds / speed; }
};

// "×2", "×5", "×10".
std::string speedText(int speed);

// What parts of the window's title are joined with, the program's name
// included, so the title reads as one list.
inline constexpr const char* kStateSeparator = " - ";

// What differs from the usual practice, in the order pause, speed, market,
// joined by kStateSeparator (for example "一時停止 - ×5 - 市場番号 2"); empty
// when nothing does.
std::string practiceStateText(const Pace& pace, int marketNumber);

} // namespace vantrel
