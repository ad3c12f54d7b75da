#pragma once

#include "exercise/ExerciseCard.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vantrel {

class Dialogs;

// 課題を作る: a form for every field of a card, checked as it is typed by the
// card reader's own rules (the message names the field), with the card as
// the learner will meet it, saved whole or not at all. A card opened here is
// edited in place.
class frmCardEditor final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kPreferredSize{760, 560};

    explicit frmCardEditor(Dialogs& dialogs, QWidget* parent = nullptr);

    // The fields show the card.
    void edit(const ExerciseCard& card);
    // The card the fields make, read back by the card reader; nothing (and
    // the message on the form) when a field breaks its rules.
    std::optional<ExerciseCard> card() const;

private:
    void check();
    void open();
    void save();
    ExerciseCard fromFields() const;

    Dialogs& m_dialogs;
    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_instructions = nullptr;
    QLineEdit* m_hint = nullptr;
    QComboBox* m_kind = nullptr;
    QCheckBox* m_anyMarket = nullptr;
    QSpinBox* m_market = nullptr;
    QSpinBox* m_start = nullptr;
    QSpinBox* m_timeLimit = nullptr;
    QSpinBox* m_shares = nullptr;
    QSpinBox* m_target = nullptr;
    QSpinBox* m_drawdown = nullptr;
    QSpinBox* m_roundTrips = nullptr;
    QCheckBox* m_hasThreshold = nullptr;
    QDoubleSpinBox* m_threshold = nullptr;
    QCheckBox* m_hasMaxShares = nullptr;
    QSpinBox* m_maxShares = nullptr;
    QCheckBox* m_limitOrders = nullptr;
    QCheckBox* m_marketOrders = nullptr;
    QLabel* m_error = nullptr;
    QLabel* m_preview = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace vantrel
