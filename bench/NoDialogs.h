#pragma once

#include "ui/common/dialogs/Dialogs.h"

namespace vantrel::bench {

// Asks nothing and shows nothing: a box would wait for a click. A yes/no
// question gets `answer`.
struct NoDialogs final : Dialogs {
    explicit NoDialogs(bool answer = false) : answer(answer) {}
    void ShowMessage(const std::string&, const std::string&) override {}
    bool confirm(const QString&) override { return answer; }
    std::optional<QString> askMarketNumber(int) override { return std::nullopt; }
    std::optional<QString> askStudentName() override { return std::nullopt; }
    QString askOpenPath(const QString&, const QString&) override { return {}; }
    QString askSavePath(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString askFolder(const QString&) override { return {}; }
    bool answer;
};

} // namespace vantrel::bench
