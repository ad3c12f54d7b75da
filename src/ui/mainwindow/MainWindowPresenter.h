#pragma once

namespace vantrel {

struct MainWindowUi;
class PracticeSession;

// Writes what the session holds into the main window's labels: the last
// price, the buying power, the holdings and the pending order, each in the
// words the window shows them.
class MainWindowPresenter final {
public:
    explicit MainWindowPresenter(const MainWindowUi& ui) : m_ui(ui) {}

    void show(const PracticeSession& session) const;

private:
    const MainWindowUi& m_ui;
};

} // namespace vantrel
