#include "tools/setup/RowStore.h"

#include "db/Database.h"
#include "db/Schema.h"

#include <QSqlQuery>

QString EditedTable::labelOf(const QString& column) const {
    for (const Field& f : fields)
        if (f.column.compare(column, Qt::CaseInsensitive) == 0)
            return f.label;
    return column;
}

QString RowStore::selectList() const {
    QStringList cols{schema::sqlName(m_table.key)};
    for (const auto& f : m_table.fields)
        cols << schema::sqlName(f.column);
    return cols.join(QStringLiteral(", "));
}

QVariant RowStore::normalised(const QString& column, const QVariant& value) const {
    const schema::Table* t = schema::find(m_table.table);
    const schema::Column* c = t ? t->column(column) : nullptr;
    if (!c)
        return value;
    using schema::Type;
    const bool empty = !value.isValid() || value.isNull();
    switch (c->type) {
    case Type::String:
        return empty ? QString() : value.toString();
    case Type::Boolean:
        return empty ? false : value.toBool();
    case Type::Integer:
    case Type::AutoIncrement:
        return empty ? qint64(0) : value.toLongLong();
    case Type::Float:
        return empty ? 0.0 : value.toDouble();
    default:
        return value;
    }
}

QVariantMap RowStore::normalised(const QVariantMap& values) const {
    QVariantMap out;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out.insert(it.key(), normalised(it.key(), it.value()));
    return out;
}

QVariantMap RowStore::read(const QSqlQuery& q) const {
    QVariantMap r;
    r.insert(m_table.key, normalised(m_table.key, q.value(0)));
    for (int i = 0; i < m_table.fields.size(); ++i)
        r.insert(m_table.fields.at(i).column, normalised(m_table.fields.at(i).column, q.value(i + 1)));
    return r;
}

QList<QVariantMap> RowStore::all() {
    QList<QVariantMap> out;
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(selectList(), m_table.table, m_table.key));
    while (q.next())
        out.append(read(q));
    return out;
}

std::optional<QVariantMap> RowStore::row(qint64 id, bool lock) {
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(selectList(), m_table.table, m_table.key);
    if (lock && m_db.engine() == Engine::PostgreSQL)
        sql += QStringLiteral(" FOR UPDATE");
    QSqlQuery q = m_db.exec(sql, {id});
    if (!q.next())
        return std::nullopt;
    return read(q);
}

qint64 RowStore::nextKey() {
    const QVariant max = m_db.scalar(QStringLiteral("SELECT max(%1) FROM %2").arg(m_table.key, m_table.table));
    return max.isNull() || !max.isValid() ? 1 : max.toLongLong() + 1;
}

void RowStore::lockTable() {
    m_db.lockKey(QStringLiteral("setup:") + m_table.table);
}

std::optional<QVariantMap> RowStore::merge(qint64 id, const QVariantMap& original, const QVariantMap& edited,
                                           QVariantMap* changes, SaveOutcome* out) {
    const std::optional<QVariantMap> now = row(id, true);
    if (!now)
        return std::nullopt;
    QVariantMap merged = *now;
    for (const auto& f : m_table.fields) {
        const QVariant was = normalised(f.column, original.value(f.column));
        const QVariant current = now->value(f.column);
        const bool theirs = was != current;
        if (edited.contains(f.column)) {
            const QVariant mine = normalised(f.column, edited.value(f.column));
            if (mine != was) {
                if (theirs && mine != current)
                    out->replacedTheirs << f.label;
                if (mine != current)
                    changes->insert(f.column, mine);
                merged.insert(f.column, mine);
                continue;
            }
        }
        if (theirs)
            out->keptTheirs << f.label;
    }
    return merged;
}
