#include "app/Program.h"
#include "base/CommandLine.h"

#include <QApplication>

#include <cerrno>
#include <csignal>
#include <iostream>

int main(int argc, char* argv[]) {
    // The command line is read first, so --help and a bad number need no
    // display and take no lock.
    vantrel::StartOptions options;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
#ifdef SIGPIPE
    // A reader that stops early (`| head`) makes the usage's write fail
    // quietly instead of the signal killing the program.
    const auto defaultPipeHandler = std::signal(SIGPIPE, SIG_IGN);
#endif
    if (const auto status = vantrel::readCommandLine(args, options, std::cout, std::cerr, false)) {
        std::cout.flush();
        return vantrel::outputStatus("vantrel", *status, std::cout, errno, std::cerr);
    }
#ifdef SIGPIPE
    std::signal(SIGPIPE, defaultPipeHandler);
#endif
    QApplication app(argc, argv);
    if (const auto status = vantrel::readCommandLine(QCoreApplication::arguments().mid(1), options,
                                                     std::cout, std::cerr))
        return *status;
    return vantrel::runVantrel(app, {}, options);
}
