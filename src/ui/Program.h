#pragma once

#include <functional>

class QApplication;
class QWidget;

namespace vantrel {

// The whole program once the application object exists: the single-instance
// check, the icon, the main window with the real clock and message boxes, and
// the event loop. onShown runs right after the window has been asked to show;
// the start-up probe uses it to see the first frame. Returns the exit status.
int runVantrel(QApplication& app, const std::function<void(QWidget&)>& onShown = {});

} // namespace vantrel
