#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vantrel {

// The questions a new practice asks; the window supplies real dialogs, tests
// answer them with recorded replies.
class PracticeDialogs {
public:
    virtual ~PracticeDialogs() = default;
    // A yes/no question; true for yes.
    virtual bool confirm(const QString& question) = 0;
    // The market number as typed, offering the current one; nothing when
    // cancelled. The caller checks the text.
    virtual std::optional<QString> askMarketNumber(int current) = 0;
    // Where to save a session, and which session to open; empty when
    // cancelled. Nothing is chosen unless a dialog is supplied.
    virtual QString askSessionSavePath() { return {}; }
    virtual QString askSessionOpenPath() { return {}; }
};

// Modal dialogs over the given window.
class DialogPracticeDialogs final : public PracticeDialogs {
public:
    explicit DialogPracticeDialogs(QWidget* parent) : m_parent(parent) {}
    bool confirm(const QString& question) override;
    std::optional<QString> askMarketNumber(int current) override;
    QString askSessionSavePath() override;
    QString askSessionOpenPath() override;

private:
    QWidget* m_parent;
};

} // namespace vantrel
