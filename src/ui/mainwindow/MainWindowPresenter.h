#pragma once

namespace vantrel {

class BoardModel;
struct MainWindowUi;
class PracticeSession;

// Writes what the session holds into the main window: the board with the
// user's order laid over it, the last price, the buying power, the holdings
// and the pending order, each in the words the window shows them.
class MainWindowPresenter final {
public:
    MainWindowPresenter(const MainWindowUi& ui, BoardModel& board) : m_ui(ui), m_board(board) {}

    void show(const PracticeSession& session) const;

private:
    const MainWindowUi& m_ui;
    BoardModel& m_board;
};

} // namespace vantrel
