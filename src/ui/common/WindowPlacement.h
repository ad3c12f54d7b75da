#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace vantrel {

// Where a window that accompanies the main window opens: beside it, so the
// board and the order forms stay in sight. To the right where the screen has
// room for the window's smallest width, else to the left, else wherever it
// covers the least of the main window. Its size is the preferred size cut to
// the room there and to the screen, never below the smallest size unless the
// screen itself is smaller. Other windows already open beside it (others)
// are not covered where the screen has room beside the main window or beside
// them; where it has none, the window goes on its side of the main window,
// next to it or at the screen's edge, whichever covers less of the others.
QRect placeBeside(const QRect& mainFrame, const QSize& preferred, const QSize& smallest,
                  const QRect& screen, const std::vector<QRect>& others = {});

// Moves and sizes a window that has not been shown yet beside the main
// window, on the main window's screen, clear of the other windows given
// where it can (the window itself among them is passed over). Nothing is
// remembered across runs.
void openBeside(QWidget& window, const QWidget& mainWindow, const QSize& preferred,
                const std::vector<const QWidget*>& others = {});

} // namespace vantrel
