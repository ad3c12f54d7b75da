#include "ui/exercise/frmExercise.h"

#include "ui/common/Appearance.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QLabel* textLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmExercise::frmExercise(const ExerciseCard& card, QWidget* parent)
    : QDialog(parent), m_card(card) {
    setObjectName(QStringLiteral("frmExercise"));
    setWindowTitle(QStringLiteral("課題 — ") + QString::fromStdString(card.title));
    setFont(gothicFont(9));
    // Long enough instructions wrap within a page-like width.
    setMinimumWidth(420);

    auto* layout = new QVBoxLayout(this);
    QLabel* title =
        textLabel(QStringLiteral("lblExerciseTitle"), QString::fromStdString(card.title), this);
    title->setFont(serifFont(12, true));
    layout->addWidget(title);
    layout->addWidget(textLabel(QStringLiteral("lblInstructions"),
                                QString::fromStdString(card.instructions), this));
    if (!card.hint.empty())
        layout->addWidget(textLabel(QStringLiteral("lblHint"),
                                    QStringLiteral("ヒント: ") + QString::fromStdString(card.hint),
                                    this));

    auto* facts = new QFormLayout;
    facts->setObjectName(QStringLiteral("exerciseFacts"));
    for (const CardFact& fact : cardFacts(card))
        facts->addRow(QString::fromStdString(fact.caption),
                      textLabel(QString(), QString::fromStdString(fact.value), this));
    layout->addLayout(facts);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* start = buttons->addButton(QStringLiteral("開始"), QDialogButtonBox::AcceptRole);
    start->setObjectName(QStringLiteral("cmdStart"));
    start->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace vantrel
