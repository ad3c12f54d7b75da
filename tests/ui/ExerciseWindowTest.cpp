#include "WindowFixture.h"
#include "exercise/BuiltInExercises.h"
#include "exercise/ClassGrading.h"
#include "exercise/ExerciseAttempt.h"
#include "practice/SessionFile.h"
#include "ui/exercise/frmCardEditor.h"
#include "ui/exercise/frmExercise.h"

#include <QFile>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace vantrel {
namespace {

// The exercises as a learner meets them: from the 課題 menu, through the
// card's instructions and 開始, the line of progress, the card's limits on
// a press, to 採点 and on again.
struct ExerciseWindow : test::WindowFixture {
    void SetUp() override { window.show(); }

    // Chooses a built-in card (1 is the first) and starts it, paused.
    void start(int number) {
        action(QStringLiteral("MnuExercise%1").arg(number).toUtf8().constData())->trigger();
        auto* card = window.findChild<frmExercise*>(QStringLiteral("frmExercise"));
        ASSERT_NE(card, nullptr);
        card->findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        pause();
    }
    QWidget* score() const { return test::topLevel("frmScore"); }
    QString scoreLabel(const char* name) const {
        return score()->findChild<QLabel*>(QString::fromUtf8(name))->text();
    }
    // The score is computed off the window's thread; the window stays live.
    void waitForScore() const {
        for (int i = 0; i < 500 && scoreLabel("lblScore").startsWith(QStringLiteral("採点中")); ++i)
            QTest::qWait(10);
    }
    // Each number the 採点 window lists, as "caption=value".
    QStringList scoreRows() const {
        QStringList rows;
        const auto* form = score()->findChild<QFormLayout*>();
        for (int row = 0; row < form->rowCount(); ++row)
            rows << static_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget())
                            ->text() +
                        QLatin1Char('=') +
                        static_cast<QLabel*>(form->itemAt(row, QFormLayout::FieldRole)->widget())
                            ->text();
        return rows;
    }
};

// はじめての買い集め: its instructions before 開始, its progress while it runs,
// its 採点 when the shares are bought, equal to what the presses alone give
// headless, and もう一度 starting it afresh.
TEST_F(ExerciseWindow, ABuiltInCardRunsToItsScoreAndAgain) {
    start(1);
    EXPECT_EQ(window.session().elapsed(), 600u); // the market ran ahead to the card's start
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("課題「はじめての買い集め」")));
    EXPECT_EQ(label("lblExercise"),
              QStringLiteral("残り 5分00秒\n買い 0 / 1,000株\nVWAP —・平均 —"));

    buyAtMarket();
    for (int i = 0; i < 300 && !score(); ++i)
        seconds(1);
    ASSERT_NE(score(), nullptr);
    EXPECT_TRUE(label("lblExercise").startsWith(QStringLiteral("課題は終わりました（目標達成）")));
    // Nothing moves once it ended, paused or not.
    const std::uint64_t ended = window.session().elapsed();
    seconds(3);
    EXPECT_EQ(window.session().elapsed(), ended);

    waitForScore();
    const SessionRecord attempt = window.session().record();
    ASSERT_FALSE(attempt.exercise.empty());
    const AttemptRead read = readAttempt(attempt);
    ASSERT_TRUE(read.card);
    const AttemptReplay replayed = replayAttempt(*read.record, *read.card);
    ASSERT_TRUE(replayed.score);
    QStringList headless;
    const std::vector<std::string> lines = exerciseLines(*read.card, *replayed.score, true);
    for (std::size_t i = 2; i < lines.size(); ++i)
        headless << QString::fromStdString(lines[i]);
    // The score, passed and why are the window's headline.
    EXPECT_EQ(scoreLabel("lblVerdict"), headless.at(3).section(QLatin1Char('='), 1));
    EXPECT_TRUE(scoreLabel("lblScore")
                    .endsWith(QString(headless.at(1)).replace(QLatin1Char('='), QLatin1Char(' '))));
    headless.erase(headless.begin() + 1, headless.begin() + 4);
    EXPECT_EQ(scoreRows(), headless);
    // Shown grouped, where the market tool prints 1000.
    EXPECT_TRUE(headless.contains(QStringLiteral("買う株数=1,000")))
        << headless.join(' ').toStdString();
    EXPECT_TRUE(scoreLabel("lblScore")
                    .startsWith(replayed.score->passed ? QStringLiteral("合格")
                                                       : QStringLiteral("不合格")));
    // The kept attempt carries its result, as --verify checks it.
    ASSERT_TRUE(read.stored);
    EXPECT_EQ(read.stored->score, replayed.score->score);
    EXPECT_TRUE(score()->findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());

    dialogs.answer = true; // 1,000 shares held: asked before they go
    score()->findChild<QPushButton*>(QStringLiteral("cmdAgain"))->click();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(window.session().elapsed(), 600u);
    EXPECT_TRUE(window.session().actions().empty());
    EXPECT_EQ(scoreLabel("lblScore"), QStringLiteral("課題の途中です。"));
}

// Every built-in card runs in the window to its 採点, pressing nothing: the
// clock stops at its time limit and each gets its score or says why not.
TEST_F(ExerciseWindow, EveryBuiltInCardEndsInItsScore) {
    for (int number = 1; action(QStringLiteral("MnuExercise%1").arg(number).toUtf8().constData());
         ++number) {
        start(number);
        const std::uint64_t begun = window.session().elapsed();
        while (label("lblExercise").startsWith(QStringLiteral("残り")))
            seconds(1);
        const ExerciseCard& card = *window.findChild<PracticeController*>()->exerciseCard();
        EXPECT_EQ(window.session().elapsed(), begun + card.timeLimit) << number;
        waitForScore();
        EXPECT_TRUE(scoreLabel("lblScore").startsWith(QStringLiteral("不合格")))
            << number << scoreLabel("lblScore").toStdString();
        EXPECT_FALSE(scoreLabel("lblVerdict").isEmpty()) << number;
        EXPECT_EQ(scoreLabel("lblScoreTitle").toStdString(), card.title);
    }
}

// A card of limit orders only refuses a market order in a box saying why,
// and nothing is placed or recorded.
TEST_F(ExerciseWindow, APressTheCardForbidsPlacesNothing) {
    start(6);
    const int boxes = dialogs.boxes;
    buyAtMarket();
    EXPECT_EQ(dialogs.boxes, boxes + 1);
    EXPECT_EQ(dialogs.lastBox, "この課題では成行注文は使えません。 | 課題");
    EXPECT_FALSE(window.session().trader().account().hasPendingOrder());
    EXPECT_TRUE(window.session().actions().empty());
    EXPECT_FALSE(find<QLabel>("lblNotice")->isVisibleTo(&window));

    // An attempt is one straight run: ここからやり直す says how to try again.
    seconds(5);
    find<QRadioButton>("optBuyOpt0")->click();
    find<QLineEdit>("txtBuyPrice")->setText(QStringLiteral("450"));
    find<QPushButton>("cmdBuyNow")->click(); // a line of this second in the log
    seconds(5);
    const std::uint64_t now = window.session().elapsed();
    find<QPlainTextEdit>("txtResponse")->moveCursor(QTextCursor::Start);
    find<QPlainTextEdit>("txtResponse")->moveCursor(QTextCursor::End);
    action("actLogRewind")->trigger();
    EXPECT_EQ(window.session().elapsed(), now);
    EXPECT_NE(dialogs.lastBox.find("課題はやり直せません。"), std::string::npos);
}

// An attempt opened from its file replays from the card's start and shows
// the same 採点 it was given.
TEST_F(ExerciseWindow, AnAttemptOpenedFromItsFileShowsItsScore) {
    start(1);
    buyAtMarket();
    for (int i = 0; i < 300 && !score(); ++i)
        seconds(1);
    waitForScore();
    const QStringList given = scoreRows();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("attempt.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writeSessionFile(window.session().record()).text->c_str());
    file.close();

    dialogs.path = path;
    action("MnuOpenSession")->trigger();
    waitForScore();
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral("課題「はじめての買い集め」")));
    EXPECT_EQ(window.session().elapsed(), 600u);
    EXPECT_EQ(scoreRows(), given);
}

// 課題を作る checks each field with the card reader's rules as it is typed,
// names the field at fault, shows what the learner will see, and saves a
// card that opens again as the same card, in the form too.
TEST_F(ExerciseWindow, ATeacherWritesACardThatOpensAsWritten) {
    action("MnuWriteExercise")->trigger();
    auto* editor = test::topLevel("frmCardEditor");
    ASSERT_NE(editor, nullptr);
    const auto field = [editor](const char* name) {
        return editor->findChild<QWidget*>(QString::fromUtf8(name));
    };
    const auto text = [&](const char* name) { return static_cast<QLabel*>(field(name))->text(); };
    static_cast<QLineEdit*>(field("txtCardTitle"))->setText(QStringLiteral("A/B 買い"));
    EXPECT_TRUE(text("lblCardError").startsWith(QStringLiteral("「説明」")));
    EXPECT_FALSE(field("cmdCardSave")->isEnabled());
    static_cast<QPlainTextEdit*>(field("txtCardInstructions"))
        ->setPlainText(QStringLiteral("2,000株を買ってください。"));
    static_cast<QSpinBox*>(field("spnCardShares"))->setValue(20000);
    EXPECT_TRUE(text("lblCardError").startsWith(QStringLiteral("「株数」"))); // beyond the money
    static_cast<QSpinBox*>(field("spnCardShares"))->setValue(2000);
    EXPECT_TRUE(text("lblCardError").isEmpty());
    EXPECT_TRUE(text("lblCardPreview").contains(QStringLiteral("株数　2,000株")));

    QTemporaryDir folder;
    dialogs.path = folder.filePath(QStringLiteral("card.json"));
    static_cast<QPushButton*>(field("cmdCardSave"))->click();
    const ExerciseCardRead saved = openExerciseCard(dialogs.path.toStdString());
    ASSERT_TRUE(saved.card) << saved.error;
    EXPECT_EQ(saved.card->title, "A/B 買い");
    EXPECT_EQ(saved.card->shares, 2000);

    static_cast<QLineEdit*>(field("txtCardTitle"))->setText(QStringLiteral("別の題"));
    static_cast<QPushButton*>(field("cmdCardOpen"))->click();
    EXPECT_EQ(static_cast<QLineEdit*>(field("txtCardTitle"))->text(), QStringLiteral("A/B 買い"));
    EXPECT_EQ(writeExerciseCard(*static_cast<frmCardEditor*>(editor)->card()),
              writeExerciseCard(*saved.card));
}

// A card from a file asks for the student's name first: a forged one (a
// control character) or a cancel starts nothing. The scored attempt is saved
// to hand in under the title and the name, and grades from its presses.
TEST_F(ExerciseWindow, AnAttemptOfACardFileIsHandedInUnderTheStudentsName) {
    QTemporaryDir folder;
    const QString cardPath = folder.filePath(QStringLiteral("card.json"));
    QFile cardFile(cardPath);
    ASSERT_TRUE(cardFile.open(QIODevice::WriteOnly));
    cardFile.write(builtInExercises().front().text);
    cardFile.close();
    const auto open = [&](std::optional<QString> name) {
        dialogs.path = cardPath;
        dialogs.name = std::move(name);
        action("MnuOpenExercise")->trigger();
        auto* card = window.findChild<frmExercise*>(QStringLiteral("frmExercise"));
        ASSERT_NE(card, nullptr);
        card->findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    for (const std::optional<QString>& refused :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral("山田\x1b"))}) {
        const int boxes = dialogs.boxes;
        open(refused);
        EXPECT_FALSE(window.windowTitle().contains(QStringLiteral("課題「")));
        EXPECT_EQ(dialogs.boxes, boxes + (refused ? 1 : 0));
    }
    open(QStringLiteral(" 山田 花子 "));
    pause();
    ASSERT_TRUE(window.windowTitle().contains(QStringLiteral("課題「はじめての買い集め」")));
    buyAtMarket();
    for (int i = 0; i < 300 && !score(); ++i)
        seconds(1);
    waitForScore();
    dialogs.path = folder.filePath(QStringLiteral("handed-in.json"));
    score()->findChild<QPushButton*>(QStringLiteral("cmdHandIn"))->click();
    EXPECT_EQ(dialogs.suggested, QStringLiteral("はじめての買い集め_山田 花子.json"));
    const ExerciseCard card = *readExerciseCard(builtInExercises().front().text).card;
    const std::vector<GradedAttempt> graded =
        gradeClass({card}, handIns({dialogs.path.toStdString()}), 1);
    EXPECT_EQ(graded.front().refusal, GradeRefusal::None) << graded.front().detail;
    EXPECT_EQ(graded.front().name, "山田 花子");
    EXPECT_TRUE(graded.front().score);
}

} // namespace
} // namespace vantrel
