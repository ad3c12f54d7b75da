#include "ui/exercise/frmCardEditor.h"

#include "ui/common/Appearance.h"
#include "ui/common/AtomicFile.h"
#include "ui/common/dialogs/CardFile.h"
#include "ui/common/dialogs/Dialogs.h"
#include "ui/exercise/frmExercise.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vantrel {

namespace {

constexpr ExerciseKind kKinds[] = {ExerciseKind::Accumulate, ExerciseKind::Liquidate,
                                   ExerciseKind::ProfitTarget, ExerciseKind::RoundTrips,
                                   ExerciseKind::LimitProfit};
const QString kCardFilter = QStringLiteral("課題ファイル (*.json)");

QSpinBox* spin(const char* name, int lowest, int highest, int step, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setRange(lowest, highest);
    box->setSingleStep(step);
    box->setGroupSeparatorShown(true);
    return box;
}

// The reader names a field by its key in the file; the form says its caption.
QString withCaption(const std::string& error) {
    static const std::pair<const char*, const char*> kCaptions[] = {
        {"title", "題名"},
        {"instructions", "説明"},
        {"hint", "ヒント"},
        {"market", "市場番号"},
        {"startShares", "始めの持ち株"},
        {"start", "開始（秒）"},
        {"timeLimit", "制限時間（秒）"},
        {"shares", "株数"},
        {"target", "目標（円）"},
        {"drawdown", "下げ幅の上限（円）"},
        {"roundTrips", "往復（回）"},
        {"threshold", "合格点"},
        {"maxShares", "一度に持てる株数"},
        {"priceKinds", "使える注文"}};
    const QString text = QString::fromStdString(error);
    for (const auto& [key, caption] : kCaptions) {
        const QString name = QString::fromUtf8(key);
        if (text.startsWith(name + QLatin1Char(' ')))
            return QStringLiteral("「%1」: ").arg(QString::fromUtf8(caption)) + text;
    }
    return text;
}

} // namespace

frmCardEditor::frmCardEditor(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmCardEditor"));
    setWindowTitle(QStringLiteral("課題を作る"));
    setFont(gothicFont(9));

    auto* fields = new QFormLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("txtCardTitle"));
    fields->addRow(QStringLiteral("題名"), m_title);
    m_instructions = new QPlainTextEdit(this);
    m_instructions->setObjectName(QStringLiteral("txtCardInstructions"));
    m_instructions->setMaximumHeight(80);
    fields->addRow(QStringLiteral("説明"), m_instructions);
    m_hint = new QLineEdit(this);
    m_hint->setObjectName(QStringLiteral("txtCardHint"));
    fields->addRow(QStringLiteral("ヒント"), m_hint);
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cboCardKind"));
    for (ExerciseKind kind : kKinds)
        m_kind->addItem(QString::fromUtf8(exerciseKindName(kind)));
    fields->addRow(QStringLiteral("種類"), m_kind);
    auto* market = new QHBoxLayout;
    m_market = spin("spnCardMarket", 1, 9999, 1, this);
    m_anyMarket = new QCheckBox(QStringLiteral("挑戦のたびに変わる"), this);
    m_anyMarket->setObjectName(QStringLiteral("chkCardAnyMarket"));
    market->addWidget(m_market);
    market->addWidget(m_anyMarket);
    fields->addRow(QStringLiteral("市場番号"), market);
    m_start = spin("spnCardStart", 0, static_cast<int>(kExerciseLongestSession), 60, this);
    fields->addRow(QStringLiteral("開始（秒）"), m_start);
    m_timeLimit = spin("spnCardTimeLimit", 1, static_cast<int>(kExerciseMaxSeconds), 60, this);
    fields->addRow(QStringLiteral("制限時間（秒）"), m_timeLimit);
    m_shares = spin("spnCardShares", 0, 1000000, 1000, this);
    fields->addRow(QStringLiteral("株数"), m_shares);
    m_target = spin("spnCardTarget", 0, 100000000, 1000, this);
    fields->addRow(QStringLiteral("目標（円）"), m_target);
    m_drawdown = spin("spnCardDrawdown", 0, 100000000, 1000, this);
    fields->addRow(QStringLiteral("下げ幅の上限（円）"), m_drawdown);
    m_roundTrips = spin("spnCardRoundTrips", 0, kExerciseMaxRoundTrips, 1, this);
    fields->addRow(QStringLiteral("往復（回）"), m_roundTrips);
    auto* threshold = new QHBoxLayout;
    m_hasThreshold = new QCheckBox(QStringLiteral("指定する"), this);
    m_hasThreshold->setObjectName(QStringLiteral("chkCardThreshold"));
    m_threshold = new QDoubleSpinBox(this);
    m_threshold->setObjectName(QStringLiteral("spnCardThreshold"));
    m_threshold->setRange(-10000, 10000);
    m_threshold->setDecimals(2);
    threshold->addWidget(m_hasThreshold);
    threshold->addWidget(m_threshold);
    fields->addRow(QStringLiteral("合格点"), threshold);
    auto* maxShares = new QHBoxLayout;
    m_hasMaxShares = new QCheckBox(QStringLiteral("指定する"), this);
    m_hasMaxShares->setObjectName(QStringLiteral("chkCardMaxShares"));
    m_maxShares = spin("spnCardMaxShares", 0, 1000000, 1000, this);
    maxShares->addWidget(m_hasMaxShares);
    maxShares->addWidget(m_maxShares);
    fields->addRow(QStringLiteral("一度に持てる株数"), maxShares);
    auto* kinds = new QHBoxLayout;
    m_limitOrders = new QCheckBox(QStringLiteral("指値"), this);
    m_limitOrders->setObjectName(QStringLiteral("chkCardLimit"));
    m_marketOrders = new QCheckBox(QStringLiteral("成行"), this);
    m_marketOrders->setObjectName(QStringLiteral("chkCardMarket"));
    kinds->addWidget(m_limitOrders);
    kinds->addWidget(m_marketOrders);
    fields->addRow(QStringLiteral("使える注文"), kinds);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("lblCardError"));
    m_error->setWordWrap(true);
    QPalette warning = m_error->palette();
    warning.setColor(QPalette::WindowText, lossColour());
    m_error->setPalette(warning);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("lblCardPreview"));
    m_preview->setWordWrap(true);
    m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_preview->setTextFormat(Qt::PlainText);
    m_preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_preview->setMargin(8);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_error);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("学習者に見える内容"), this));
    right->addWidget(m_preview, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    auto* openButton = new QPushButton(QStringLiteral("開く…"), this);
    openButton->setObjectName(QStringLiteral("cmdCardOpen"));
    m_save = new QPushButton(QStringLiteral("保存…"), this);
    m_save->setObjectName(QStringLiteral("cmdCardSave"));
    buttons->addStretch();
    buttons->addWidget(openButton);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    connect(openButton, &QPushButton::clicked, this, &frmCardEditor::open);
    connect(m_save, &QPushButton::clicked, this, &frmCardEditor::save);

    // A new card starts from the first built-in's shape: buy 1,000 shares
    // in five minutes on the standard market.
    ExerciseCard blank;
    blank.shares = 1000;
    blank.timeLimit = 300;
    blank.market = 1;
    edit(blank);
    for (QLineEdit* box : {m_title, m_hint})
        connect(box, &QLineEdit::textChanged, this, &frmCardEditor::check);
    connect(m_instructions, &QPlainTextEdit::textChanged, this, &frmCardEditor::check);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &frmCardEditor::check);
    for (QSpinBox* box : {m_market, m_start, m_timeLimit, m_shares, m_target, m_drawdown,
                          m_roundTrips, m_maxShares})
        connect(box, &QSpinBox::valueChanged, this, &frmCardEditor::check);
    connect(m_threshold, &QDoubleSpinBox::valueChanged, this, &frmCardEditor::check);
    for (QCheckBox* box :
         {m_anyMarket, m_hasThreshold, m_hasMaxShares, m_limitOrders, m_marketOrders})
        connect(box, &QCheckBox::toggled, this, &frmCardEditor::check);
    check();
}

void frmCardEditor::edit(const ExerciseCard& card) {
    m_title->setText(QString::fromStdString(card.title));
    m_instructions->setPlainText(QString::fromStdString(card.instructions));
    m_hint->setText(QString::fromStdString(card.hint));
    m_kind->setCurrentIndex(static_cast<int>(card.kind));
    m_anyMarket->setChecked(!card.market);
    m_market->setValue(card.market.value_or(1));
    m_start->setValue(static_cast<int>(card.start));
    m_timeLimit->setValue(static_cast<int>(card.timeLimit));
    m_shares->setValue(static_cast<int>(card.shares));
    m_target->setValue(static_cast<int>(card.target));
    m_drawdown->setValue(static_cast<int>(card.drawdown));
    m_roundTrips->setValue(card.roundTrips);
    m_hasThreshold->setChecked(card.threshold.has_value());
    m_threshold->setValue(card.threshold.value_or(0));
    m_hasMaxShares->setChecked(card.maxShares.has_value());
    m_maxShares->setValue(static_cast<int>(card.maxShares.value_or(0)));
    m_limitOrders->setChecked(card.limitOrders);
    m_marketOrders->setChecked(card.marketOrders);
    check();
}

ExerciseCard frmCardEditor::fromFields() const {
    ExerciseCard card;
    card.title = m_title->text().toStdString();
    card.instructions = m_instructions->toPlainText().toStdString();
    card.hint = m_hint->text().toStdString();
    card.kind = kKinds[std::max(0, m_kind->currentIndex())];
    if (!m_anyMarket->isChecked())
        card.market = m_market->value();
    card.start = static_cast<std::uint64_t>(m_start->value());
    card.timeLimit = static_cast<std::uint64_t>(m_timeLimit->value());
    card.shares = m_shares->value();
    card.startShares = card.kind == ExerciseKind::Liquidate ? card.shares : 0;
    card.target = m_target->value();
    card.drawdown = m_drawdown->value();
    card.roundTrips = m_roundTrips->value();
    if (m_hasThreshold->isChecked())
        card.threshold = m_threshold->value();
    if (m_hasMaxShares->isChecked())
        card.maxShares = m_maxShares->value();
    card.limitOrders = m_limitOrders->isChecked();
    card.marketOrders = m_marketOrders->isChecked();
    return card;
}

std::optional<ExerciseCard> frmCardEditor::card() const {
    // Written and read back: the file the learner opens is judged by the
    // same reader, so the form can never save a card that would not open.
    return readExerciseCard(writeExerciseCard(fromFields())).card;
}

void frmCardEditor::check() {
    const ExerciseKind kind = kKinds[std::max(0, m_kind->currentIndex())];
    // Only the numbers the kind reads can be typed.
    const bool shares = kind == ExerciseKind::Accumulate || kind == ExerciseKind::Liquidate;
    m_shares->setEnabled(shares);
    m_target->setEnabled(kind == ExerciseKind::ProfitTarget);
    m_drawdown->setEnabled(kind == ExerciseKind::ProfitTarget);
    m_roundTrips->setEnabled(kind == ExerciseKind::RoundTrips || kind == ExerciseKind::LimitProfit);
    m_hasThreshold->setEnabled(shares || kind == ExerciseKind::RoundTrips);
    m_threshold->setEnabled(m_hasThreshold->isEnabled() && m_hasThreshold->isChecked());
    m_maxShares->setEnabled(m_hasMaxShares->isChecked());
    m_market->setEnabled(!m_anyMarket->isChecked());
    m_marketOrders->setEnabled(kind != ExerciseKind::LimitProfit);

    const ExerciseCardRead read = readExerciseCard(writeExerciseCard(fromFields()));
    m_error->setText(read.card ? QString() : withCaption(read.error));
    m_save->setEnabled(read.card.has_value());
    if (!read.card) {
        m_preview->clear();
        return;
    }
    const ExerciseCard& card = *read.card;
    QString preview = QString::fromStdString(card.title) + QStringLiteral("\n\n") +
                      QString::fromStdString(card.instructions) + QLatin1Char('\n');
    if (!card.hint.empty())
        preview +=
            QStringLiteral("\nヒント: ") + QString::fromStdString(card.hint) + QLatin1Char('\n');
    preview += QLatin1Char('\n');
    for (const CardFact& fact : cardFacts(card))
        preview += QString::fromStdString(fact.caption + "　" + fact.value) + QLatin1Char('\n');
    m_preview->setText(preview.trimmed());
}

void frmCardEditor::open() {
    if (const std::optional<ExerciseCard> card = askForCardFile(m_dialogs))
        edit(*card);
}

void frmCardEditor::save() {
    const std::optional<ExerciseCard> made = card();
    if (!made)
        return;
    const QString path = m_dialogs.askSavePath(QStringLiteral("課題を保存"),
                                               safeFileName(QString::fromStdString(made->title)) +
                                                   QStringLiteral(".json"),
                                               kCardFilter, QStringLiteral("json"));
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error =
            writeFileAtomically(path, writeExerciseCard(*made, 2) + "\n"))
        m_dialogs.ShowMessage("課題を保存できませんでした。\n" + path.toStdString() + "\n" +
                                  error->toStdString(),
                              "課題");
}

} // namespace vantrel
