#include "ui/results/frmScore.h"

#include "exercise/ExerciseAttempt.h"
#include "ui/common/Appearance.h"
#include "ui/common/ChanceHistogram.h"
#include "ui/practice/PracticeController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QLabel* wrapped(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

} // namespace

frmScore::frmScore(PracticeController& practice, QWidget* parent)
    : QWidget(parent, Qt::Window), m_practice(practice) {
    setObjectName(QStringLiteral("frmScore"));
    setFont(gothicFont(9));
    setMinimumSize(380, 460);

    auto* layout = new QVBoxLayout(this);
    m_title = wrapped(QStringLiteral("lblScoreTitle"), this);
    m_title->setFont(serifFont(12, true));
    layout->addWidget(m_title);
    m_score = wrapped(QStringLiteral("lblScore"), this);
    m_score->setFont(gothicFont(14));
    layout->addWidget(m_score);
    m_verdict = wrapped(QStringLiteral("lblVerdict"), this);
    layout->addWidget(m_verdict);
    m_numbers = new QFormLayout;
    layout->addLayout(m_numbers);
    m_random = wrapped(QStringLiteral("lblRandom"), this);
    layout->addWidget(m_random);
    m_histogram = new ChanceHistogram(this);
    m_histogram->setMinimumHeight(180);
    layout->addWidget(m_histogram, 1);

    auto* buttons = new QHBoxLayout;
    auto* again = new QPushButton(QStringLiteral("もう一度"), this);
    again->setObjectName(QStringLiteral("cmdAgain"));
    m_next = new QPushButton(QStringLiteral("次の課題"), this);
    m_next->setObjectName(QStringLiteral("cmdNext"));
    m_handIn = new QPushButton(QStringLiteral("提出用に保存…"), this);
    m_handIn->setObjectName(QStringLiteral("cmdHandIn"));
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(m_handIn);
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(m_next);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(again, &QPushButton::clicked, this, &frmScore::againRequested);
    connect(m_next, &QPushButton::clicked, this, &frmScore::nextRequested);
    connect(m_handIn, &QPushButton::clicked, this, &frmScore::handInRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    connect(&m_practice, &PracticeController::exerciseEnded, this, &frmScore::refresh);
    connect(&m_practice, &PracticeController::exerciseScored, this, &frmScore::refresh);
    connect(&m_practice, &PracticeController::practiceReplaced, this, &frmScore::refresh);
    refresh();
}

void frmScore::setHasNext(bool hasNext) {
    m_next->setEnabled(hasNext);
}

void frmScore::refresh() {
    const std::optional<ExerciseCard>& card = m_practice.exerciseCard();
    const std::optional<ExerciseScore>& score = m_practice.exerciseScore();
    setWindowTitle(QStringLiteral("採点") +
                   (card ? QStringLiteral(" — ") + text(card->title) : QString()));
    m_title->setText(card ? text(card->title) : QString());
    while (m_numbers->rowCount() > 0)
        m_numbers->removeRow(0);
    m_histogram->clear();
    // Only an attempt played here is handed in: one opened from a file is
    // that file already.
    m_handIn->setEnabled(score && m_practice.exercise());
    if (!score) {
        const ExerciseRun* run = m_practice.exercise();
        m_score->setText(!card                   ? QStringLiteral("課題はありません。")
                         : run && run->running() ? QStringLiteral("課題の途中です。")
                                                 : QStringLiteral("採点中…"));
        m_verdict->clear();
        m_random->clear();
        return;
    }
    // The lines the market tool prints, caption and value: one home for how
    // each number is written. The title and the kind are drawn above.
    QString scoreText;
    const std::vector<std::string> lines = exerciseLines(*card, *score, true);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::size_t equals = lines[i].find('=');
        const QString caption = text(lines[i].substr(0, equals));
        const QString value = text(lines[i].substr(equals + 1));
        // The score, passed and why stand above, in full.
        if (caption.startsWith(QStringLiteral("得点")))
            scoreText = caption + QLatin1Char(' ') + value;
        if (caption.startsWith(QStringLiteral("得点")) || caption == QStringLiteral("合格") ||
            caption == QStringLiteral("判定"))
            continue;
        QLabel* shown = wrapped(QString(), this);
        shown->setText(value);
        m_numbers->addRow(caption, shown);
    }
    m_score->setText((score->passed ? QStringLiteral("合格　") : QStringLiteral("不合格　")) +
                     scoreText);
    m_verdict->setText(text(score->why));
    m_random->setText(text(randomSentence(*score)));
    if (score->random) {
        if (score->kind == ExerciseKind::RoundTrips)
            m_histogram->setValue(QStringLiteral("純損益"), QStringLiteral("円"));
        else
            m_histogram->setValue(QStringLiteral("得点"), text(score->unit));
        m_histogram->show(*score->random);
    }
}

} // namespace vantrel
