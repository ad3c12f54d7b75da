// The real window with a kept practice, saving it every few milliseconds, so
// that a test can kill the process with SIGKILL in the middle of a save.
// Usage: keep-probe FOLDER
// With --program, the whole program (its start, its signals, its end) keeps
// the practice in $VANTREL_HISTORY_DIR after one press of 買い, and prints
// "shown" once the press is made: keep-probe --program
#include "../ScriptedDialogs.h"
#include "app/Program.h"
#include "ui/common/Clock.h"
#include "ui/mainwindow/frmMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace {

void pressBuy(QWidget& window) {
    window.findChild<QRadioButton*>(QStringLiteral("optBuyOpt1"))->click();
    window.findChild<QLineEdit*>(QStringLiteral("txtBuyAmount"))->setText(QStringLiteral("1000"));
    window.findChild<QPushButton*>(QStringLiteral("cmdBuyNow"))->click();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    if (QByteArray(argv[1]) == "--program") {
        return vantrel::runVantrel(app, [](QWidget& window) {
            pressBuy(window);
            std::printf("shown\n");
            std::fflush(stdout);
        });
    }
    vantrel::SystemClock clock;
    vantrel::test::ScriptedDialogs dialogs;
    vantrel::frmMain window(clock, dialogs);
    window.useHistory(QString::fromLocal8Bit(argv[1]), true, 2);
    pressBuy(window);
    return app.exec();
}
