// The real window with a kept practice, saving it every few milliseconds, so
// that a test can kill the process with SIGKILL in the middle of a save.
// Usage: keep-probe FOLDER
#include "../ScriptedDialogs.h"
#include "ui/common/Clock.h"
#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    vantrel::SystemClock clock;
    vantrel::test::ScriptedDialogs dialogs;
    vantrel::frmMain window(clock, dialogs);
    window.useHistory(QString::fromLocal8Bit(argv[1]), true, 2);
    window.findChild<QRadioButton*>(QStringLiteral("optBuyOpt1"))->click();
    window.findChild<QLineEdit*>(QStringLiteral("txtBuyAmount"))->setText(QStringLiteral("1000"));
    window.findChild<QPushButton*>(QStringLiteral("cmdBuyNow"))->click();
    return app.exec();
}
