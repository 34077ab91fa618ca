#pragma once

#include <QDate>
#include <utility>

// The period of the register never ends after today and never starts after
// its end.
class PeriodRules {
public:
    // The end date after the clerk set it to `to`.
    static QDate clampTo(const QDate& to, const QDate& from, const QDate& today);
    // The start date after the clerk set it to `from`.
    static QDate clampFrom(const QDate& from, const QDate& to);
    // The period at start: the first day of today's month to today.
    static QDate initialFrom(const QDate& today) { return QDate(today.year(), today.month(), 1); }
    // The period a start brings back from the one the clerk last used: kept
    // while it has not ended before today (then it runs to today, and starts
    // no later than today); a period that ended before today, or none, gives
    // the period at start.
    static std::pair<QDate, QDate> restored(const QDate& from, const QDate& to, const QDate& today);
};
