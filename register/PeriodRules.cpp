#include "register/PeriodRules.h"

QDate PeriodRules::clampTo(const QDate& to, const QDate& from, const QDate& today) {
    QDate result = to;
    if (result > today)
        result = today;
    if (from.isValid() && from > result)
        result = from;
    return result;
}

QDate PeriodRules::clampFrom(const QDate& from, const QDate& to) { return to.isValid() && from > to ? to : from; }

std::pair<QDate, QDate> PeriodRules::restored(const QDate& from, const QDate& to, const QDate& today) {
    if (!from.isValid() || !to.isValid() || to < today || from > to)
        return {initialFrom(today), today};
    return {std::min(from, today), today};
}
