// The yardstick: the least a Qt Widgets program does to show a window.
#include "ShownProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    exitWhenShown(window);
    return app.exec();
}
