#include "ui/mainwindow/ExerciseMenu.h"

#include "exercise/BuiltInExercises.h"
#include "exercise/ExerciseAttempt.h"
#include "exercise/ExerciseRun.h"
#include "practice/SessionFile.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/Clock.h"
#include "ui/common/WindowPlacement.h"
#include "ui/common/dialogs/CardFile.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/exercise/frmCardEditor.h"
#include "ui/exercise/frmExercise.h"
#include "ui/grading/frmGrading.h"
#include "ui/mainwindow/MainWindowUi.h"
#include "ui/practice/PracticeController.h"
#include "ui/results/frmScore.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace vantrel {

ExerciseMenu::ExerciseMenu(QWidget& window, MainWindowUi& ui, PracticeController& practice,
                           Dialogs& dialogs, MessagePrompter& refusals, const Clock& clock,
                           std::function<bool()> mayReplace)
    : m_window(window), m_ui(ui), m_practice(practice), m_dialogs(dialogs), m_refusals(refusals),
      m_clock(clock), m_mayReplace(std::move(mayReplace)) {
    // The built-in cards are the program's own and read as any card is; one
    // that did not read would be a fault of the build, and is left out.
    for (const BuiltInExercise& builtIn : builtInExercises())
        if (ExerciseCardRead read = readExerciseCard(builtIn.text); read.card)
            m_builtIn.push_back(std::move(*read.card));
    for (std::size_t i = 0; i < m_builtIn.size(); ++i) {
        auto* item = new QAction(QStringLiteral("&%1 ").arg(i + 1) +
                                     QString::fromStdString(m_builtIn[i].title),
                                 m_ui.MnuExercise);
        item->setObjectName(QStringLiteral("MnuExercise%1").arg(i + 1));
        m_ui.MnuExercise->insertAction(m_ui.MnuOpenExercise, item);
        connect(item, &QAction::triggered, this,
                [this, i] { choose(m_builtIn[i], static_cast<int>(i)); });
    }
    m_ui.MnuExercise->insertSeparator(m_ui.MnuOpenExercise);
    connect(m_ui.MnuOpenExercise, &QAction::triggered, this, &ExerciseMenu::openCardFile);
    connect(m_ui.MnuWriteExercise, &QAction::triggered, this, &ExerciseMenu::showEditor);
    connect(m_ui.MnuGradeClass, &QAction::triggered, this, &ExerciseMenu::showGrading);

    connect(&m_practice, &PracticeController::pressRefused, this,
            [this](const QString& why) { m_refusals.ShowMessage(why.toStdString(), "課題"); });
    connect(&m_practice, &PracticeController::exerciseEnded, this, [this] {
        refresh();
        showScore();
    });
    connect(&m_practice, &PracticeController::practiceReplaced, this, [this] {
        // An attempt opened from its file shows its 採点 as it replays.
        if (m_practice.exerciseCard() && !m_practice.exercise())
            showScore();
        refresh();
    });
    connect(&m_practice, &PracticeController::secondPassed, this, &ExerciseMenu::refresh);
    connect(&m_practice, &PracticeController::pressed, this, &ExerciseMenu::refresh);
}

ExerciseMenu::~ExerciseMenu() = default;

void ExerciseMenu::openCardFile() {
    if (const std::optional<ExerciseCard> card = askForCardFile(m_dialogs))
        choose(*card, -1);
}

void ExerciseMenu::choose(const ExerciseCard& card, int index) {
    // Window-modal and not waited on: the practice under way goes on while
    // the instructions are read.
    auto* dialog = new frmExercise(card, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, index] {
        if (!m_mayReplace())
            return;
        // A card from a file is a class's: its attempt is handed in under
        // the student's name. The built-in ones are practised alone.
        m_name.clear();
        if (index < 0) {
            const std::optional<QString> name = m_dialogs.askStudentName();
            if (!name)
                return;
            const std::string typed = name->trimmed().toStdString();
            if (const std::string problem = attemptNameProblem(typed); !problem.empty()) {
                m_dialogs.ShowMessage(problem + "。", "課題");
                return;
            }
            m_name = typed;
        }
        start(dialog->card(), index);
    });
    dialog->open();
}

void ExerciseMenu::start(const ExerciseCard& card, int index) {
    m_index = index;
    // A card that names no market gets another at each attempt; the attempt
    // records the one drawn.
    const int market = card.market ? *card.market
                                   : ExerciseRun::drawMarket(static_cast<std::uint64_t>(
                                         m_clock.now().toMSecsSinceEpoch()));
    m_practice.startExercise(card, market, m_name);
    if (m_score)
        m_score->setHasNext(m_index >= 0 && m_index + 1 < static_cast<int>(m_builtIn.size()));
}

void ExerciseMenu::refresh() {
    const ExerciseRun* run = m_practice.exercise();
    QLabel& line = *m_ui.lblExercise;
    if (!run) {
        line.hide();
        return;
    }
    line.setText(run->running() ? QString::fromStdString(progressText(run->card(), run->progress()))
                                : QStringLiteral("課題は終わりました（%1）。")
                                      .arg(QString::fromUtf8(exerciseEndName(run->ending()))));
    line.show();
}

void ExerciseMenu::showScore() {
    if (!m_score) {
        m_score = std::make_unique<frmScore>(m_practice);
        openBeside(*m_score, m_window, frmScore::kPreferredSize);
        connect(m_score.get(), &frmScore::againRequested, this, [this] {
            if (const std::optional<ExerciseCard>& card = m_practice.exerciseCard())
                if (m_mayReplace())
                    start(ExerciseCard(*card), m_index);
        });
        connect(m_score.get(), &frmScore::handInRequested, this, &ExerciseMenu::handIn);
        connect(m_score.get(), &frmScore::nextRequested, this, [this] {
            if (m_index >= 0 && m_index + 1 < static_cast<int>(m_builtIn.size()))
                choose(m_builtIn[m_index + 1], m_index + 1);
        });
    }
    m_score->setHasNext(m_index >= 0 && m_index + 1 < static_cast<int>(m_builtIn.size()));
    m_score->refresh();
    m_score->show();
    m_score->raise();
    m_score->activateWindow();
}

void ExerciseMenu::showEditor() {
    if (!m_editor) {
        m_editor = std::make_unique<frmCardEditor>(m_dialogs);
        openBeside(*m_editor, m_window, frmCardEditor::kPreferredSize, {m_score.get()});
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void ExerciseMenu::showGrading() {
    if (!m_grading) {
        m_grading = std::make_unique<frmGrading>(m_builtIn, m_dialogs);
        openBeside(*m_grading, m_window, frmGrading::kPreferredSize,
                   {m_score.get(), m_editor.get()});
    }
    m_grading->show();
    m_grading->raise();
    m_grading->activateWindow();
}

void ExerciseMenu::handIn() {
    const std::optional<ExerciseCard>& card = m_practice.exerciseCard();
    if (!card || !m_practice.exerciseScore())
        return;
    QString suggested = QString::fromStdString(card->title);
    if (!m_name.empty())
        suggested += QLatin1Char('_') + QString::fromStdString(m_name);
    // A title or a name may hold what no file name can.
    suggested = safeFileName(suggested);
    const QString path =
        m_dialogs.askSavePath(QStringLiteral("提出用に保存"), suggested + QStringLiteral(".json"),
                              QStringLiteral("課題の記録 (*.json)"), QStringLiteral("json"));
    if (path.isEmpty())
        return;
    const SessionFileWrite written = writeSessionFile(m_practice.session().record());
    const std::optional<QString> error = written.text ? writeFileAtomically(path, *written.text)
                                                      : QString::fromStdString(written.error);
    if (error)
        m_dialogs.ShowMessage("提出用に保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              "課題");
}

} // namespace vantrel
