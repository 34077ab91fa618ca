#include "tools/setup/KindUsage.h"

#include "db/Database.h"
#include "operations/Operations.h"

#include <QSqlQuery>

QList<KindUsage::Kind> KindUsage::income() {
    return read(QStringLiteral("TypePrihod"), QStringLiteral("Prihod"), ops::saleKind());
}

QList<KindUsage::Kind> KindUsage::expense() {
    return read(QStringLiteral("TypeExpense"), QStringLiteral("Expenses"), ops::payoutKind());
}

QList<KindUsage::Kind> KindUsage::read(const QString& kinds, const QString& entries, const QString& programKind) {
    QList<Kind> out;
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT k.ID, k.type, (SELECT count(*) FROM %2 e WHERE e.TypeID = k.ID) FROM %1 k ORDER BY k.ID")
            .arg(kinds, entries));
    while (q.next()) {
        Kind k{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toLongLong()};
        k.program = k.name == programKind;
        out.append(k);
    }
    const qint64 orphans = m_db.scalar(QStringLiteral("SELECT count(*) FROM %2 e WHERE e.TypeID IS NULL OR NOT EXISTS "
                                                      "(SELECT 1 FROM %1 k WHERE k.ID = e.TypeID)")
                                           .arg(kinds, entries))
                               .toLongLong();
    if (orphans > 0)
        out.append({0, QStringLiteral("(вид, който не е в списъка)"), orphans, false});
    return out;
}
