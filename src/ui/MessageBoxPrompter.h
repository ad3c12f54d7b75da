#pragma once

#include "trading/MessagePrompter.h"

class QWidget;

namespace vantrel {

// Shows the order checks' refusals as the user expects them: a modal box
// with the prompt, a single OK button and no icon.
class MessageBoxPrompter final : public MessagePrompter {
public:
    // The box is modal to this window; it may be set after construction.
    void setParentWindow(QWidget* window) { m_parent = window; }
    void ShowMessage(const std::string& prompt, const std::string& title) override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace vantrel
