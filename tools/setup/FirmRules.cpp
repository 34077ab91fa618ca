#include "tools/setup/FirmRules.h"

#include "db/Database.h"
#include "tools/setup/FieldText.h"

namespace {
const QString kFirm = QStringLiteral("MyInfo");
const QString kActive = QStringLiteral("Active");

bool digitsOnly(const QString& s) {
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

const EditedTable& FirmRules::table() {
    static const EditedTable t{kFirm,
                               QStringLiteral("ID"),
                               {{QStringLiteral("Name"), QStringLiteral("Име на фирмата")},
                                {QStringLiteral("BULSTAT"), QStringLiteral("Булстат")},
                                {QStringLiteral("DNUM"), QStringLiteral("Номер по НДР")},
                                {QStringLiteral("MOL"), QStringLiteral("МОЛ")},
                                {QStringLiteral("Adres"), QStringLiteral("Адрес")},
                                {QStringLiteral("Info"), QStringLiteral("Допълнително")},
                                {QStringLiteral("DDS"), QStringLiteral("Регистрирана по ДДС")},
                                {kActive, QStringLiteral("Активна")}}};
    return t;
}

QList<QVariantMap> FirmRules::list() {
    return RowStore(m_db, table()).all();
}

qint64 FirmRules::activeCount() {
    return m_db
        .scalar(QStringLiteral("SELECT count(*) FROM MyInfo WHERE Active = ?"),
                {m_db.engine() == Engine::SQLite ? QVariant(1) : QVariant(true)})
        .toLongLong();
}

std::optional<Refusal> FirmRules::check(const QVariantMap& edited, bool isNew) {
    auto text = [&](const char* c) { return fieldtext::clean(edited.value(QLatin1String(c)).toString()); };
    auto given = [&](const char* c) { return isNew || edited.contains(QLatin1String(c)); };
    if (given("Name") && text("Name").isEmpty())
        return Refusal{QStringLiteral("Name"), QStringLiteral("Въведете името на фирмата")};
    if (given("BULSTAT")) {
        const QString b = text("BULSTAT");
        if (!b.isEmpty() && (!digitsOnly(b) || (b.size() != 9 && b.size() != 13)))
            return Refusal{QStringLiteral("BULSTAT"), QStringLiteral("Булстатът се състои от 9 или 13 цифри")};
    }
    if (given("DNUM")) {
        const QString d = text("DNUM");
        if (!d.isEmpty() && (!digitsOnly(d) || d.size() > 10))
            return Refusal{QStringLiteral("DNUM"), QStringLiteral("Номерът по НДР се състои от цифри (най-много 10)")};
    }
    if (given("MOL") && text("MOL").isEmpty())
        return Refusal{QStringLiteral("MOL"), QStringLiteral("Въведете материално отговорното лице (МОЛ)")};
    if (given("Adres") && text("Adres").isEmpty())
        return Refusal{QStringLiteral("Adres"), QStringLiteral("Въведете адреса на фирмата")};
    return std::nullopt;
}

SaveOutcome FirmRules::save(qint64 id, const QVariantMap& original, const QVariantMap& editedIn) {
    const bool isNew = id == 0;
    QVariantMap edited;
    for (auto it = editedIn.cbegin(); it != editedIn.cend(); ++it)
        edited.insert(it.key(), it.value().typeId() == QMetaType::QString
                                    ? QVariant(fieldtext::forColumn(kFirm, it.key(), it.value().toString()))
                                    : it.value());
    if (auto r = check(edited, isNew))
        return SaveOutcome::refused(*r);
    try {
        RowStore store(m_db, table());
        Transaction tx(m_db);
        store.lockTable();
        SaveOutcome out;
        QVariantMap changes;
        QVariantMap after;
        bool wasActive = false;
        if (isNew) {
            changes = store.normalised(edited);
            if (m_db.scalar(QStringLiteral("SELECT count(*) FROM MyInfo")).toLongLong() == 0)
                changes.insert(kActive, true);
            after = changes;
        } else {
            const auto now = store.row(id, true);
            if (!now)
                return SaveOutcome::gone(
                    QStringLiteral("Фирмата е изтрита от друго работно място междувременно. Нищо не е записано."));
            wasActive = now->value(kActive).toBool();
            after = *store.merge(id, original, edited, &changes, &out);
        }
        const bool active = after.value(kActive).toBool();
        if (wasActive && !active)
            return SaveOutcome::refused(kActive, QStringLiteral("Точно една фирма трябва да е активна: тя се печата в "
                                                                "договорите. Направете активна друга фирма и тази ще "
                                                                "престане да бъде активна."));
        if (isNew) {
            out.id = store.nextKey();
            changes.insert(QStringLiteral("ID"), out.id);
            m_db.insert(kFirm, changes);
        } else {
            out.id = id;
            if (!changes.isEmpty())
                m_db.update(kFirm, changes, QStringLiteral("ID = ?"), {id});
        }
        if (active)
            m_db.update(kFirm, {{kActive, false}}, QStringLiteral("ID <> ? AND Active = ?"),
                        {out.id, m_db.engine() == Engine::SQLite ? QVariant(1) : QVariant(true)});
        tx.commit();
        return out;
    } catch (const DbError& e) {
        return SaveOutcome::engineError(e.message());
    }
}
