#include "ShownProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

class ExposeWatcher final : public QObject {
public:
    explicit ExposeWatcher(QWindow& window) : QObject(&window), m_window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Expose && m_window.isExposed()) {
            m_window.removeEventFilter(this);
            // Queued, so that it runs once the expose, and the paint it
            // starts, have been handled.
            QTimer::singleShot(0, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWindow& m_window;
};

} // namespace

void exitWhenShown(QWidget& window) {
    // show() has created the native window; its expose arrives through the
    // event loop, so the watcher is in place before it.
    QWindow* handle = window.windowHandle();
    handle->installEventFilter(new ExposeWatcher(*handle));
}
