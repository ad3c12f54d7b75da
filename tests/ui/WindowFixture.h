#pragma once

#include "ScriptedDialogs.h"
#include "ui/common/Clock.h"
#include "ui/mainwindow/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

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

// The window of that name that has no owner (the results, the About dialog).
inline QWidget* topLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}

// The window on the fixed clock, its dialogs scripted. The tests use it as
// the user does: through its widgets, menus and clock, found by name.
class WindowFixture : public ::testing::Test {
protected:
    template <class Widget = QWidget> Widget* find(const char* name) const {
        return window.findChild<Widget*>(QString::fromUtf8(name));
    }
    QAction* action(const char* name) const { return find<QAction>(name); }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    QString log() const { return find<QPlainTextEdit>("txtResponse")->toPlainText(); }
    QTimer& clockTimer() const { return *find<QTimer>("Timer1"); }
    // The results window once 取引成績 has opened it.
    QWidget* results() const { return topLevel("frmResults"); }
    // Time then moves only by 1秒進める.
    void pause() { action("MnuPause")->trigger(); }
    void seconds(int count) {
        for (int second = 0; second < count; ++second)
            action("MnuStep")->trigger();
    }
    void buyAtMarket() {
        find<QRadioButton>("optBuyOpt1")->click();
        find<QLineEdit>("txtBuyAmount")->setText(QStringLiteral("1000"));
        find<QPushButton>("cmdBuyNow")->click();
    }

    FixedClock clock;
    ScriptedDialogs dialogs;
    frmMain window{clock, dialogs};
};

} // namespace vantrel::test
