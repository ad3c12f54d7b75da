#pragma once

#include <QDialog>
#include <QString>

#include <vector>

namespace vantrel {

// A key that is no action (Enter in a box, the arrows on the board): what
// it does and where, declared beside the code that gives it its meaning.
struct KeyNote {
    QString key;
    QString what;
    QString where;
};

// Every key of every Vantrel window in one table (キー, 操作, 使える場所):
// read from the actions of the given window and its children (their
// shortcuts, texts, menus and where each works), then the notes, so the list
// follows the program. Modeless; it deletes itself on close.
class frmKeys final : public QDialog {
    Q_OBJECT
public:
    frmKeys(const QWidget& source, const std::vector<KeyNote>& notes, QWidget* parent = nullptr);

    // The rows as shown: the keys of every window, those of one place, then
    // the notes.
    static std::vector<KeyNote> keyRows(const QWidget& source, const std::vector<KeyNote>& notes);
};

} // namespace vantrel
