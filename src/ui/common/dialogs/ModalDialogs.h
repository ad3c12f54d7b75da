#pragma once

#include "ui/common/dialogs/Dialogs.h"

namespace vantrel {

// Qt's dialogs, each modal to the window the user is working in: a box with
// the prompt, a single OK button and no icon; a yes/no question; the new
// practice's market number; the student's name; the file dialogs.
class ModalDialogs final : public Dialogs {
public:
    void ShowMessage(const std::string& prompt, const std::string& title) override;
    bool confirm(const QString& question) override;
    std::optional<QString> askMarketNumber(int current) override;
    std::optional<QString> askStudentName() override;
    QString askOpenPath(const QString& title, const QString& filter) override;
    QString askSavePath(const QString& title, const QString& suggested, const QString& filter,
                        const QString& suffix) override;
    QString askFolder(const QString& title) override;

private:
    void remember(const QString& path);

    // The folder of the last file chosen in this run, where the next file
    // dialog starts; the working folder at first. Nothing outlives the run.
    QString m_lastFolder;
};

} // namespace vantrel
