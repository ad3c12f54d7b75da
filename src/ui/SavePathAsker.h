#pragma once

#include <QString>

class QWidget;

namespace vantrel {

// Asks where to save a file; empty when the user gave up. The window supplies
// Qt's save dialog, tests a fixed answer, so no test waits on a modal dialog.
class SavePathAsker {
public:
    virtual ~SavePathAsker() = default;
    virtual QString askSavePath(QWidget* parent, const QString& title, const QString& suggested,
                                const QString& filter) = 0;
};

class FileDialogSavePathAsker final : public SavePathAsker {
public:
    QString askSavePath(QWidget* parent, const QString& title, const QString& suggested,
                        const QString& filter) override;
};

} // namespace vantrel
