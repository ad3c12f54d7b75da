#pragma once

#include "ui/common/dialogs/Dialogs.h"

#include <QStringList>

#include <string>
#include <utility>

namespace vantrel::test {

// Answers the windows' questions as the test scripted them, and counts the
// boxes, keeping only the last (a long run must not keep them all).
struct ScriptedDialogs final : Dialogs {
    void ShowMessage(const std::string& prompt, const std::string& title) override {
        ++boxes;
        lastBox = prompt + " | " + title;
    }
    bool confirm(const QString& question) override {
        questions << question;
        return answer;
    }
    // Answers once what was typed, then cancels, as a user who gives up
    // after a refusal would.
    std::optional<QString> askMarketNumber(int current) override {
        offered = current;
        ++asked;
        return std::exchange(typed, std::nullopt);
    }
    std::optional<QString> askStudentName() override { return name; }
    QString askOpenPath(const QString&, const QString&) override { return path; }
    QString askSavePath(const QString&, const QString& offered, const QString&,
                        const QString&) override {
        suggested = offered;
        return path;
    }
    QString askFolder(const QString&) override { return folder; }
    int boxes = 0, offered = 0, asked = 0;
    std::string lastBox;
    bool answer = true;
    std::optional<QString> typed;
    std::optional<QString> name = QString();
    QString path, suggested, folder;
    QStringList questions;
};

} // namespace vantrel::test
