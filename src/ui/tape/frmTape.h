#pragma once

#include <QWidget>

class QLabel;
class QTableView;

namespace vantrel {

class Dialogs;
class PracticeController;
class PracticeSession;
class TapeModel;

// The trade tape (歩み値) beside the main window: the market's volume and
// VWAP since the start and over the last five minutes, and every line of the
// tape, newest on top, with the user's own fills marked among them. It only
// shows what the session holds, refreshed after every second and action.
class frmTape final : public QWidget {
    Q_OBJECT
public:
    explicit frmTape(const PracticeSession& session);
    // Follows the practice: refreshed after its every second and press, and
    // fresh with each practice that replaces it or goes back. A line's menu
    // goes back to its second (ここからやり直す), asking the dialogs while a
    // file replays.
    frmTape(PracticeController& practice, Dialogs& dialogs);
    ~frmTape() override;

    // Narrow enough to sit beside the main window and the results window
    // where the screen allows, tall enough for some thirty lines.
    static constexpr QSize kPreferredSize{400, 640};

    // Shows the session as it stands; hidden, it waits until it is shown.
    void refresh();
    // Starts fresh once the session has started afresh.
    void reset();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const PracticeSession& m_session;
    QLabel* m_volume = nullptr;
    QLabel* m_vwap = nullptr;
    QLabel* m_recentVolume = nullptr;
    QLabel* m_recentVwap = nullptr;
    TapeModel* m_model = nullptr;
    QTableView* m_table = nullptr;
};

} // namespace vantrel
