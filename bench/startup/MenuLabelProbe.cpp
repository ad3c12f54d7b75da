// The floor: the least a Qt Widgets program with a Japanese interface does to
// show a window, a menu bar and one Japanese label.
#include "ShownProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()
        ->addMenu(QStringLiteral("ファイル(&F)"))
        ->addAction(QStringLiteral("終了(&E)"));
    window.setCentralWidget(new QLabel(QStringLiteral("株式売買の練習用シミュレーター")));
    window.show();
    exitWhenShown(window);
    return app.exec();
}
