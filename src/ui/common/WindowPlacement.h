#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace vantrel {

// Where a window that accompanies the main window opens: beside it, so the
// board and the order forms stay in sight. To the right where the screen has
// room for the window's smallest width, else to the left, else wherever it
// covers the least of the main window. Its size is the preferred size cut to
// the room there and to the screen, never below the smallest size unless the
// screen itself is smaller.
QRect placeBeside(const QRect& mainFrame, const QSize& preferred, const QSize& smallest,
                  const QRect& screen);

// Moves and sizes a window that has not been shown yet beside the main
// window, on the main window's screen. Nothing is remembered across runs.
void openBeside(QWidget& window, const QWidget& mainWindow, const QSize& preferred);

} // namespace vantrel
