#pragma once

#include "market/MarketNumber.h"

#include <QStringList>

#include <functional>
#include <iosfwd>
#include <optional>

class QApplication;
class QWidget;

namespace vantrel {

// What the program sets on the application before its first window: Qt's own
// texts (context menus, standard buttons) in Japanese whatever the system's
// language, and the desktop entry's name.
void setUpApplication(QApplication& app);

// What the command line chooses.
struct StartOptions {
    int marketNumber = kStandardMarket;
    bool keepHistory = true; // --no-history turns keeping practices off
};

// Reads the program's own arguments (--market N, --no-history, --help). Returns the exit
// status when the program is to stop at once: 0 after the usage on out, 2
// after one line about a bad argument on err. It runs twice: before the
// application exists, so that --help and a bad number need no display and
// take no lock, and again once the application has taken Qt's own arguments
// (-platform, -style, ...) away (qtArgumentsRemoved); only then is whatever
// else remains refused.
std::optional<int> readCommandLine(const QStringList& args, StartOptions& options,
                                   std::ostream& out, std::ostream& err,
                                   bool qtArgumentsRemoved = true);

// The whole program once the application object exists: the single-instance
// check, the icon, the main window with the real clock and dialogs, and
// the event loop. onShown runs right after the window has been asked to show;
// the start-up probe uses it to see the first frame. Returns the exit status.
int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown = {},
               const StartOptions& options = {});

} // namespace vantrel
