#pragma once

#include <QApplication>

// Shows the wait cursor while the database works (another workstation's
// write may keep it waiting for a few seconds).
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Runs work under the wait cursor and returns what it returns.
template <typename F> auto underWaitCursor(F&& work) {
    WaitCursor cursor;
    return work();
}
