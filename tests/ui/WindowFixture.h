#pragma once

#include "support/Session.h"
#include "ui/Clock.h"
#include "ui/PracticeDialogs.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <gtest/gtest.h>

namespace vantrel::test {

// A clock that reads whatever the test set.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)))
        : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now;
};

// Answers the practice's questions as the test scripted them.
struct ScriptedDialogs final : PracticeDialogs {
    bool confirm(const QString& question) override {
        questions << question;
        return answer;
    }
    std::optional<QString> askMarketNumber(int current) override {
        offered = current;
        return typed;
    }
    QString askSessionSavePath() override { return path; }
    QString askSessionOpenPath() override { return path; }
    bool answer = true;
    std::optional<QString> typed;
    QString path;
    QStringList questions;
    int offered = 0;
};

// The window on the fixed clock, its dialogs scripted and its boxes recorded.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() { window.setPracticeDialogs(dialogs); }
    template <class Widget = QWidget> Widget* find(const char* name) const {
        return window.findChild<Widget*>(QString::fromUtf8(name));
    }
    QAction* action(const char* name) const { return find<QAction>(name); }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    void buyAtMarket() {
        find<QRadioButton>("optBuyOpt1")->click();
        find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("1000"));
        window.controls().buy.placeButton->click();
    }

    FixedClock clock;
    Recorder prompter;
    ScriptedDialogs dialogs;
    frmMain window{clock, prompter};
};

} // namespace vantrel::test
