#pragma once

#include <string>

namespace vantrel {

// One modal box with a single OK button. The title is always set: a box with
// no title of its own bears the application's title.
struct MessageBoxText {
    std::string prompt;
    std::string title;
};

// How the rules show a box; the window supplies a real one, tests a recorder.
class MessagePrompter {
public:
    virtual ~MessagePrompter() = default;
    virtual void ShowMessage(const std::string& prompt, const std::string& title) = 0;
};

} // namespace vantrel
