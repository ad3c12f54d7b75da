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

QRect besideMain(const QRect& mainFrame, const QSize& preferred, const QSize& smallest,
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

} // namespace

QRect placeBeside(const QRect& mainFrame, const QSize& preferred, const QSize& smallest,
                  const QRect& screen, const std::vector<QRect>& others) {
    const QRect base = besideMain(mainFrame, preferred, smallest, screen);
    const auto coversOther = [&](const QRect& place) {
        return std::any_of(others.begin(), others.end(),
                           [&](const QRect& other) { return place.intersects(other); });
    };
    if (!coversOther(base))
        return base;
    // Beside the main window or beside one of the others, nearest first.
    const int wanted = std::max(preferred.width(), smallest.width());
    std::vector<QRect> anchors{mainFrame};
    anchors.insert(anchors.end(), others.begin(), others.end());
    for (const QRect& anchor : anchors) {
        const int roomRight = screen.right() - anchor.right();
        const int roomLeft = anchor.left() - screen.left();
        for (const QRect place :
             {QRect(anchor.right() + 1, base.top(), std::min(wanted, roomRight), base.height()),
              QRect(anchor.left() - std::min(wanted, roomLeft), base.top(),
                    std::min(wanted, roomLeft), base.height())}) {
            if (place.width() >= smallest.width() && !place.intersects(mainFrame) &&
                !coversOther(place))
                return place;
        }
    }
    // No room anywhere: on its side of the main window, next to it or at the
    // screen's edge, whichever covers less of the others.
    QRect atEdge = base;
    if (base.left() > mainFrame.right())
        atEdge.moveRight(screen.right());
    else if (base.right() < mainFrame.left())
        atEdge.moveLeft(screen.left());
    const auto covered = [&](const QRect& place) {
        int area = 0;
        for (const QRect& other : others)
            area += overlap(place, other);
        return area;
    };
    return covered(atEdge) < covered(base) ? atEdge : base;
}

void openBeside(QWidget& window, const QWidget& mainWindow, const QSize& preferred,
                const std::vector<const QWidget*>& others) {
    const QScreen* screen = mainWindow.screen();
    if (!screen) {
        window.resize(preferred);
        return;
    }
    std::vector<QRect> rects;
    for (const QWidget* other : others)
        if (other && other != &window && other->isVisible())
            rects.push_back(other->frameGeometry());
    const QRect place = placeBeside(mainWindow.frameGeometry(), preferred,
                                    window.minimumSizeHint().expandedTo(window.minimumSize()),
                                    screen->availableGeometry(), rects);
    window.resize(place.size());
    window.move(place.topLeft());
}

} // namespace vantrel
