#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <chrono>
#include <future>

namespace tavrin {

// The busy cursor while a long step runs; boxes and dialogs that ask something put the
// arrow back over it for as long as they are shown.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The arrow over a busy cursor while the author is asked something.
class ArrowCursor {
public:
    ArrowCursor() : on_(QGuiApplication::overrideCursor() != nullptr) {
        if (on_)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowCursor() {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;

private:
    bool on_;
};

// Runs work that touches no widget on another thread, with the busy cursor, while this
// thread keeps the windows painted (user input waits); gives its result or rethrows.
template <typename Work> auto whileBusy(Work work) -> decltype(work()) {
    BusyCursor busy;
    auto done = std::async(std::launch::async, std::move(work));
    while (done.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return done.get();
}

} // namespace tavrin
