#pragma once

#include <QString>
#include <QVariantList>

// A statement for the register query: SQL text with "?" placeholders and the
// values bound to them, in order.
struct RegisterStatement {
    QString sql;
    QVariantList params;
};
