#pragma once

#include "db/Engine.h"
#include "register/RegisterStatement.h"

#include <QDate>
#include <QStringList>

// The register's six views: their texts in the view list, whether they use
// the period, and the rows each selects. Both ends of a period are included
// and compared as dates.
class RegisterView {
public:
    enum Index {
        InStock = 0,        // not sold
        TakenIn = 1,        // received in the period
        Sold = 2,           // sold in the period
        SoldUnpaid = 3,     // sold, consignor not paid
        Paid = 4,           // consignor paid in the period
        Unpaid = 5,         // consignor not paid
    };
    static constexpr int kCount = 6;

    static QStringList texts();
    static QString text(int view);
    static bool usesPeriod(int view);

    // "select * from resale where " and the view's condition, its values bound.
    static RegisterStatement statement(int view, const QDate& from, const QDate& to, Engine engine);
    static QString selectPrefix() { return QStringLiteral("select * from resale where "); }

    // The printed register's title: the view's text, with " от <from> до <to>"
    // for the views that use the period.
    static QString printTitle(int view, const QDate& from, const QDate& to);

    // Values as the engine compares them with the item table's columns.
    static QVariant boolParam(bool value, Engine engine);
    static QVariant dateParam(const QDate& date, Engine engine);
};
