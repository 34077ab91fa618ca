#include "register/RegisterView.h"

#include "core/Formats.h"

QStringList RegisterView::texts() {
    return {QStringLiteral("Само наличните уреди в магазина"),
            QStringLiteral("Всички приети уреди за период"),
            QStringLiteral("Само продадените уреди за период"),
            QStringLiteral("Само продадените,  но неизплатени уреди"),
            QStringLiteral("Само изплатените уреди за период"),
            QStringLiteral("Само неизплатените уреди")};
}

QString RegisterView::text(int view) { return texts().value(view); }

bool RegisterView::usesPeriod(int view) { return view == TakenIn || view == Sold || view == Paid; }

QVariant RegisterView::boolParam(bool value, Engine engine) {
    return engine == Engine::SQLite ? QVariant(value ? 1 : 0) : QVariant(value);
}

QVariant RegisterView::dateParam(const QDate& date, Engine engine) {
    if (!date.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return engine == Engine::SQLite ? QVariant(date.toString(Qt::ISODate)) : QVariant(date);
}

RegisterStatement RegisterView::statement(int view, const QDate& from, const QDate& to, Engine engine) {
    RegisterStatement s;
    const QVariant yes = boolParam(true, engine);
    const QVariant no = boolParam(false, engine);
    const QVariant f = dateParam(from, engine);
    const QVariant t = dateParam(to, engine);
    QString condition;
    switch (view) {
    case TakenIn:
        condition = QStringLiteral("dateget>=? and dateget<=?");
        s.params = {f, t};
        break;
    case Sold:
        condition = QStringLiteral("saled=? and datesale>=? and datesale<=?");
        s.params = {yes, f, t};
        break;
    case SoldUnpaid:
        condition = QStringLiteral("saled=? and payed=?");
        s.params = {yes, no};
        break;
    case Paid:
        condition = QStringLiteral("payed=? and datepay>=? and datepay<=?");
        s.params = {yes, f, t};
        break;
    case Unpaid:
        condition = QStringLiteral("payed=?");
        s.params = {no};
        break;
    case InStock:
    default:
        condition = QStringLiteral("saled=?");
        s.params = {no};
        break;
    }
    s.sql = selectPrefix() + condition;
    return s;
}

QString RegisterView::printTitle(int view, const QDate& from, const QDate& to) {
    QString title = text(view);
    if (usesPeriod(view))
        title += QStringLiteral(" от ") + formats::date(from) + QStringLiteral(" до ") + formats::date(to);
    return title;
}
