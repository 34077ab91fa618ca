#include "tools/setup/ShopRules.h"

#include "db/Database.h"
#include "tools/setup/FieldText.h"

#include <QSqlQuery>

namespace {
const QString kShops = QStringLiteral("Shops");

// Tables whose rows name a shop, and how a row names it.
enum class Kind { Item, Ledger, Transfer };
struct Naming {
    const char* table;
    const char* where;
    Kind kind;
};
constexpr Naming kNaming[] = {
    {"resale", "IdShop = ?", Kind::Item},
    {"KASA", "ShopID = ?", Kind::Ledger},
    {"Prihod", "ShopID = ?", Kind::Ledger},
    {"Expenses", "ShopID = ?", Kind::Ledger},
    {"Pech", "ShopID = ?", Kind::Ledger},
    {"oborot", "idShop = ?", Kind::Ledger},
    {"resale_moves", "FromShop = ? OR ToShop = ?", Kind::Transfer},
};

QString showName(const QString& name) {
    return fieldtext::fit(name, ShopRules::kShownName).toLower();
}
} // namespace

const EditedTable& ShopRules::table() {
    static const EditedTable t{kShops,
                               QStringLiteral("ID"),
                               {{QStringLiteral("Name"), QStringLiteral("Име")},
                                {QStringLiteral("Address"), QStringLiteral("Адрес")},
                                {QStringLiteral("ShopPhone"), QStringLiteral("Телефон")},
                                {QStringLiteral("Active"), QStringLiteral("Активен")},
                                {QStringLiteral("Away"), QStringLiteral("Отдалечен")}}};
    return t;
}

QList<QVariantMap> ShopRules::list() {
    return RowStore(m_db, table()).all();
}

std::optional<Refusal> ShopRules::check(const QVariantMap& edited) {
    if (edited.contains(QStringLiteral("Name")) &&
        fieldtext::clean(edited.value(QStringLiteral("Name")).toString()).isEmpty())
        return Refusal{QStringLiteral("Name"), QStringLiteral("Въведете името на магазина")};
    return std::nullopt;
}

SaveOutcome ShopRules::save(qint64 id, const QVariantMap& original, const QVariantMap& editedIn) {
    QVariantMap edited;
    for (auto it = editedIn.cbegin(); it != editedIn.cend(); ++it)
        edited.insert(it.key(), it.value().typeId() == QMetaType::QString
                                    ? QVariant(fieldtext::forColumn(kShops, it.key(), it.value().toString()))
                                    : it.value());
    if (id == 0) {
        // A new shop is in use unless said otherwise.
        for (const auto& [column, value] :
             {std::pair{QStringLiteral("Name"), QVariant(QString())},
              std::pair{QStringLiteral("Active"), QVariant(true)}, std::pair{QStringLiteral("Away"), QVariant(false)}})
            if (!edited.contains(column))
                edited.insert(column, value);
    }
    if (auto r = check(edited))
        return SaveOutcome::refused(*r);
    try {
        RowStore store(m_db, table());
        Transaction tx(m_db);
        store.lockTable();
        SaveOutcome out;
        QVariantMap changes;
        if (id == 0) {
            changes = store.normalised(edited);
        } else {
            const auto merged = store.merge(id, original, edited, &changes, &out);
            if (!merged)
                return SaveOutcome::gone(
                    QStringLiteral("Магазинът е изтрит от друго работно място междувременно. Нищо не е записано."));
        }
        if (changes.contains(QStringLiteral("Name"))) {
            const QString name = changes.value(QStringLiteral("Name")).toString();
            QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, Name FROM Shops WHERE ID <> ?"), {id});
            while (q.next()) {
                const QString other = q.value(1).toString();
                if (other.compare(name, Qt::CaseInsensitive) == 0)
                    return SaveOutcome::refused(QStringLiteral("Name"),
                                                QStringLiteral("Вече има магазин с име „%1“").arg(other));
                if (showName(other) == showName(name))
                    return SaveOutcome::refused(
                        QStringLiteral("Name"),
                        QStringLiteral("Регистърът и договорите показват първите %1 знака от името, а те съвпадат с "
                                       "тези на магазин „%2“. Изберете име, което се различава по-рано.")
                            .arg(kShownName)
                            .arg(other));
            }
        }
        if (id == 0)
            out.id = m_db.insert(kShops, changes);
        else {
            out.id = id;
            if (!changes.isEmpty())
                m_db.update(kShops, changes, QStringLiteral("ID = ?"), {id});
        }
        tx.commit();
        return out;
    } catch (const DbError& e) {
        return SaveOutcome::engineError(e.message());
    }
}

QString ShopRules::Usage::words() const {
    QStringList parts;
    if (items > 0)
        parts << (items == 1 ? QStringLiteral("с него е записан 1 уред")
                             : QStringLiteral("с него са записани %1 уреда").arg(items));
    if (ledgerRows > 0)
        parts << (ledgerRows == 1
                      ? QStringLiteral("1 ред в касата и счетоводните таблици го посочва")
                      : QStringLiteral("%1 реда в касата и счетоводните таблици го посочват").arg(ledgerRows));
    if (transfers > 0)
        parts << (transfers == 1 ? QStringLiteral("1 запис за прехвърляне на уред го посочва")
                                 : QStringLiteral("%1 записа за прехвърляне на уреди го посочват").arg(transfers));
    if (clerks > 0)
        parts << (clerks == 1 ? QStringLiteral("1 служител е към него")
                              : QStringLiteral("%1 служители са към него").arg(clerks));
    return parts.join(QStringLiteral("; "));
}

ShopRules::Usage ShopRules::usage(qint64 id) {
    Usage u;
    for (const Naming& n : kNaming) {
        const QString t = QString::fromLatin1(n.table);
        if (!m_db.hasTable(t))
            continue;
        const QString where = QLatin1String(n.where);
        const QVariantList params = where.count(QLatin1Char('?')) == 2 ? QVariantList{id, id} : QVariantList{id};
        const qint64 c =
            m_db.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(t, where), params).toLongLong();
        (n.kind == Kind::Item ? u.items : n.kind == Kind::Ledger ? u.ledgerRows : u.transfers) += c;
    }
    u.clerks = m_db.scalar(QStringLiteral("SELECT count(*) FROM CLERKS WHERE ShopID = ?"), {id}).toLongLong();
    return u;
}

ShopRules::Removal ShopRules::remove(qint64 id) {
    Removal r;
    try {
        Transaction tx(m_db);
        if (m_db.engine() == Engine::PostgreSQL) {
            // An intake or booking naming this shop that is under way at a
            // workstation finishes first, and none starts until this ends.
            QStringList tables;
            for (const Naming& n : kNaming)
                if (m_db.hasTable(QString::fromLatin1(n.table)))
                    tables << QString::fromLatin1(n.table);
            tables << QStringLiteral("CLERKS");
            m_db.exec(QStringLiteral("LOCK TABLE %1 IN SHARE MODE").arg(tables.join(QStringLiteral(", "))));
        }
        const auto shop = RowStore(m_db, table()).row(id, true);
        if (!shop) {
            r.status = Removal::Status::Gone;
            r.message = QStringLiteral("Магазинът вече е изтрит от друго работно място.");
            return r;
        }
        r.usage = usage(id);
        if (r.usage.any()) {
            r.status = Removal::Status::InUse;
            r.message = QStringLiteral("Магазинът „%1“ не може да бъде изтрит: %2.")
                            .arg(shop->value(QStringLiteral("Name")).toString(), r.usage.words());
            return r;
        }
        m_db.exec(QStringLiteral("DELETE FROM Shops WHERE ID = ?"), {id});
        tx.commit();
        r.status = Removal::Status::Removed;
        return r;
    } catch (const DbError& e) {
        r.status = Removal::Status::EngineError;
        r.message = e.message();
        return r;
    }
}

SaveOutcome ShopRules::deactivate(qint64 id) {
    try {
        Transaction tx(m_db);
        if (m_db.update(kShops, {{QStringLiteral("Active"), false}}, QStringLiteral("ID = ?"), {id}) == 0)
            return SaveOutcome::gone(QStringLiteral("Магазинът е изтрит от друго работно място междувременно."));
        tx.commit();
        SaveOutcome out;
        out.id = id;
        return out;
    } catch (const DbError& e) {
        return SaveOutcome::engineError(e.message());
    }
}
