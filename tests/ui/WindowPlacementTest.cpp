#include "ui/common/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {
using vantrel::placeBeside;

struct Case {
    const char* what;
    QRect main;
    QSize preferred;
    QSize smallest;
    QRect screen;
    QRect expected;
};

// A 1366×768 laptop with the 468-wide main window in its usual places.
const QRect kLaptop(0, 0, 1366, 768);

const Case kCases[] = {
    {"right, cut to the room there",
     {0, 0, 468, 426},
     {900, 700},
     {600, 500},
     kLaptop,
     {468, 0, 898, 700}},
    {"right, whole", {0, 0, 468, 426}, {600, 500}, {400, 300}, kLaptop, {468, 0, 600, 500}},
    {"left when the main window is at the right edge",
     {898, 100, 468, 426},
     {900, 700},
     {600, 500},
     kLaptop,
     {0, 68, 898, 700}},
    {"neither side: at the edge that hides less",
     {300, 0, 468, 426},
     {900, 700},
     {600, 500},
     kLaptop,
     {766, 0, 600, 700}},
    {"taller than the screen",
     {0, 0, 468, 426},
     {900, 1000},
     {600, 500},
     kLaptop,
     {468, 0, 898, 768}},
    {"on a second screen to the right",
     {1400, 50, 468, 426},
     {500, 400},
     {300, 300},
     {1366, 0, 1920, 1080},
     {1868, 50, 500, 400}},
};

TEST(WindowPlacement, BesideTheMainWindowNeverOverTheOrderForms) {
    for (const Case& c : kCases) {
        const QRect place = placeBeside(c.main, c.preferred, c.smallest, c.screen);
        EXPECT_EQ(place, c.expected) << c.what;
        EXPECT_TRUE(c.screen.contains(place)) << c.what;
        if (c.main.width() + c.smallest.width() <= c.screen.width() &&
            (c.screen.right() - c.main.right() >= c.smallest.width() ||
             c.main.left() - c.screen.left() >= c.smallest.width())) {
            EXPECT_FALSE(place.intersects(c.main)) << c.what;
        }
    }
}

// A second accompanying window goes beside the first where the screen has
// room; where it has none, to the screen's edge, over the first's far side
// and never over the main window.
TEST(WindowPlacement, ClearOfTheOtherWindowsWhereTheScreenHasRoom) {
    const QRect main(0, 0, 468, 426);
    const struct {
        QRect screen, other;
        QSize preferred;
        QRect expected;
    } cases[] = {{{0, 0, 1920, 1080}, {468, 0, 880, 700}, {400, 640}, {1348, 0, 400, 640}},
                 {kLaptop, {468, 0, 880, 700}, {400, 640}, {966, 0, 400, 640}},
                 {kLaptop, {966, 0, 400, 640}, {880, 700}, {468, 0, 880, 700}}};
    for (const auto& c : cases) {
        const QRect place = placeBeside(main, c.preferred, {300, 400}, c.screen, {c.other});
        EXPECT_EQ(place, c.expected);
        EXPECT_FALSE(place.intersects(main));
    }
}

} // namespace
