#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <functional>

// Today and now for the bookings; tests set another day.
class Clock {
public:
    static QDate today() { return now().date(); }
    static QTime time() { return now().time(); }
    static QDateTime now() { return s_fixed.isValid() ? s_fixed : QDateTime::currentDateTime(); }
    // Fixes the clock at dt (invalid: the real clock again).
    static void set(const QDateTime& dt) { s_fixed = dt; }

private:
    static inline QDateTime s_fixed;
};
