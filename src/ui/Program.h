#pragma once

#include <functional>

class QApplication;
class QWidget;

namespace vantrel {

// What the program sets on the application before its first window: Qt's own
// texts (context menus, standard buttons) in Japanese whatever the system's
// language, and the desktop entry's name.
void setUpApplication(QApplication& app);

// The whole program once the application object exists: the single-instance
// check, the icon, the main window with the real clock and message boxes, and
// the event loop. onShown runs right after the window has been asked to show;
// the start-up probe uses it to see the first frame. Returns the exit status.
int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown = {});

} // namespace vantrel
