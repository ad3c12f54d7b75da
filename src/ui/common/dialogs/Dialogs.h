#pragma once

#include "orders/MessagePrompter.h"

#include <QString>

#include <optional>

namespace vantrel {

// Every question a window puts to the user in a modal dialog. The program
// makes the real dialogs once and hands them to each window; tests answer
// from a script, so no test waits on a dialog. They are the core's prompter
// too: the order checks' refusals and the windows' own failures come up as
// the same box with a single OK button.
class Dialogs : public MessagePrompter {
public:
    // A yes/no question under the application's title; true for yes.
    virtual bool confirm(const QString& question) = 0;
    // The market number as typed, offering the current one; nothing when
    // cancelled. The caller checks the text.
    virtual std::optional<QString> askMarketNumber(int current) = 0;
    // The student's name (氏名) an attempt is handed in under, as typed;
    // nothing when cancelled. The caller checks the text.
    virtual std::optional<QString> askStudentName() = 0;
    // The file to read, and where to write one; empty when cancelled. Both
    // start in the folder last used; `suggested` is the name offered there. A
    // name typed without an extension gets `suffix`, and an existing file is
    // replaced only after the dialog has asked.
    virtual QString askOpenPath(const QString& title, const QString& filter) = 0;
    virtual QString askSavePath(const QString& title, const QString& suggested,
                                const QString& filter, const QString& suffix) = 0;
    // A folder to read, such as a class's hand-ins; empty when cancelled.
    virtual QString askFolder(const QString& title) = 0;
};

} // namespace vantrel
