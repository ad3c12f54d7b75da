#include "app/Program.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // The command line is read first, so --help and a bad number need no
    // display and take no lock.
    vantrel::StartOptions options;
    if (const auto status = vantrel::readCommandLine(
            std::vector<std::string>(argv + 1, argv + argc), options, std::cout, std::cerr))
        return *status;
    QApplication app(argc, argv);
    return vantrel::runVantrel(app, {}, options);
}
