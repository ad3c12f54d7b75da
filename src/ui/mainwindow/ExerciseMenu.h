#pragma once

#include "exercise/ExerciseCard.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace vantrel {

class Clock;
class Dialogs;
class MessagePrompter;
class PracticeController;
class frmCardEditor;
class frmGrading;
class frmScore;
struct MainWindowUi;

// The 課題 menu and what follows from it: the built-in cards and a card file,
// each shown with its instructions before 開始; the line of progress while an
// exercise runs; the 採点 window when it ends or when an attempt is opened;
// もう一度 and 次の課題 from there; 課題を作る and クラスの採点 for a teacher.
class ExerciseMenu final : public QObject {
    Q_OBJECT
public:
    // mayReplace asks the user first when the practice under way has
    // anything at stake; true when it may be replaced. A press the card
    // refuses is said in a box through refusals, as the order checks' are.
    ExerciseMenu(QWidget& window, MainWindowUi& ui, PracticeController& practice, Dialogs& dialogs,
                 MessagePrompter& refusals, const Clock& clock, std::function<bool()> mayReplace);
    ~ExerciseMenu() override;

    // The built-in cards, easiest first, as the menu lists them.
    const std::vector<ExerciseCard>& builtInCards() const { return m_builtIn; }
    // Shows the card's instructions; 開始 starts it. index is the card's
    // place among the built-in ones, or -1 for a card from a file.
    void choose(const ExerciseCard& card, int index);
    // The line of progress, drawn from the exercise as it stands.
    void refresh();
    // The 採点 window, brought forward (built on first use).
    void showScore();
    frmScore* scoreWindow() const { return m_score.get(); }
    // 課題を作る, brought forward (built on first use).
    void showEditor();
    // クラスの採点, brought forward (built on first use).
    void showGrading();
    frmGrading* gradingWindow() const { return m_grading.get(); }

private:
    void start(const ExerciseCard& card, int index);
    void openCardFile();
    // Saves the scored attempt under "<title>_<name>.json" to hand in.
    void handIn();

    QWidget& m_window;
    MainWindowUi& m_ui;
    PracticeController& m_practice;
    Dialogs& m_dialogs;
    MessagePrompter& m_refusals;
    const Clock& m_clock;
    std::function<bool()> m_mayReplace;
    std::vector<ExerciseCard> m_builtIn;
    int m_index = -1;
    std::string m_name; // the student's, for a card from a file
    std::unique_ptr<frmScore> m_score;
    std::unique_ptr<frmCardEditor> m_editor;
    std::unique_ptr<frmGrading> m_grading;
};

} // namespace vantrel
