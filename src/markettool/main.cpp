#include "markettool/MarketTool.h"

#include "base/CommandLine.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A reader that stops early (`| head`) should end the replay quietly with
    // status 0: let the write fail instead of the signal killing the process.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = vantrel::runMarketTool(args, std::cout, std::cerr);
    // A failed write is only known once the last bytes are out; the errno
    // it left tells a reader that went away from a full disk.
    std::cout.flush();
    return vantrel::outputStatus("vantrel-market", status, std::cout, errno, std::cerr);
}
