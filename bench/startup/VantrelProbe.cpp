// Starts Vantrel exactly as its main does and ends as soon as the window is
// shown.
#include "ShownProbe.h"
#include "app/Program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return vantrel::runVantrel(app, exitWhenShown);
}
