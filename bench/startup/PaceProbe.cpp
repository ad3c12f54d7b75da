// Runs Vantrel as its main does, chooses a speed through the window's own
// 速度 menu and ends after a number of seconds, printing the market ticks run,
// so that keeping up can be checked and the processor time of a fast practice
// read from outside (time, /proc):
//   vantrel-pace-probe [seconds, default 30] [speed, default 10]
#include "app/Program.h"
#include "ui/mainwindow/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    const QString speed = QString::fromLatin1(argc > 2 ? argv[2] : "10");
    return vantrel::runVantrel(app, [&](QWidget& window) {
        if (auto* choice = window.findChild<QAction*>(QStringLiteral("MnuSpeed") + speed))
            choice->trigger();
        QTimer::singleShot(seconds * 1000, [&window] {
            if (auto* main = qobject_cast<vantrel::frmMain*>(&window))
                std::printf("ticks %llu\n",
                            static_cast<unsigned long long>(main->session().elapsed()));
            QCoreApplication::exit(0);
        });
    });
}
