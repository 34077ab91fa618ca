#pragma once

#include <QObject>

class QSocketNotifier;

// Tells the program that the desktop session is ending: SIGTERM or SIGHUP on
// POSIX systems. The signal is only noted where it arrives; ending() is
// emitted from the event loop, where closing the connection is safe. While a
// watcher lives, those signals no longer end the process by themselves; the
// previous handling comes back when it goes. One watcher at a time.
class SessionEnd : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SessionEnd)

public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

signals:
    void ending();

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
