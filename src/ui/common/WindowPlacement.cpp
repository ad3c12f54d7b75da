#include "ui/common/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vantrel {

namespace {

int clampedTop(int wanted, int height, const QRect& screen) {
    return std::max(screen.top(), std::min(wanted, screen.bottom() + 1 - height));
}

int overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

} // namespace

QRect placeBeside(const QRect& mainFrame, const QSize& preferred, const QSize& smallest,
                  const QRect& screen) {
    const int height = std::min(std::max(preferred.height(), smallest.height()), screen.height());
    const int top = clampedTop(mainFrame.top(), height, screen);
    const int roomRight = screen.right() - mainFrame.right();
    const int roomLeft = mainFrame.left() - screen.left();
    const int wanted = std::max(preferred.width(), smallest.width());
    if (roomRight >= smallest.width())
        return {mainFrame.right() + 1, top, std::min(wanted, roomRight), height};
    if (roomLeft >= smallest.width()) {
        const int width = std::min(wanted, roomLeft);
        return {mainFrame.left() - width, top, width, height};
    }
    // No side has room: against whichever screen edge hides less of the main
    // window.
    const int width = std::min(smallest.width(), screen.width());
    const QRect atRight(screen.right() + 1 - width, top, width, height);
    const QRect atLeft(screen.left(), top, width, height);
    return overlap(atRight, mainFrame) <= overlap(atLeft, mainFrame) ? atRight : atLeft;
}

void openBeside(QWidget& window, const QWidget& mainWindow, const QSize& preferred) {
    const QScreen* screen = mainWindow.screen();
    if (!screen) {
        window.resize(preferred);
        return;
    }
    const QRect place = placeBeside(mainWindow.frameGeometry(), preferred,
                                    window.minimumSizeHint().expandedTo(window.minimumSize()),
                                    screen->availableGeometry());
    window.resize(place.size());
    window.move(place.topLeft());
}

} // namespace vantrel
