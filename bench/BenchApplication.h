#pragma once

#include <QApplication>

namespace vantrel::bench {

// Widgets need an application object; one is made on first use and kept for
// the whole run, on the offscreen platform unless the caller chose another.
inline void ensureApplication() {
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vantrel-bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // deliberately never destroyed
}

} // namespace vantrel::bench
