#pragma once

#include "ui/mainwindow/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QString>

// What the screenshot programs do to the window, the way a user does it:
// forms filled and buttons pressed, menu items triggered, seconds stepped.
namespace vantrel::shot {

// A limit order at the price, or a market order with no price, for a number
// of shares.
inline void order(frmMain& window, const char* side, const QString& price, const QString& shares) {
    const QString s = QString::fromLatin1(side);
    window.findChild<QAbstractButton*>("opt" + s + (price.isEmpty() ? "Opt1" : "Opt0"))->click();
    window.findChild<QLineEdit*>("txt" + s + "Price")->setText(price);
    window.findChild<QAbstractButton*>("opt" + s + "Amount0")->click();
    window.findChild<QLineEdit*>("txt" + s + "Amount")->setText(shares);
    window.findChild<QAbstractButton*>("cmd" + s + "Now")->click();
}

inline QAction* action(const frmMain& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

// Seconds of the paused practice, stepped as 1秒進める steps them.
inline void run(const frmMain& window, int seconds) {
    for (int second = 0; second < seconds; ++second)
        action(window, "MnuStep")->trigger();
}

} // namespace vantrel::shot
