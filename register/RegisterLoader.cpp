#include "register/RegisterLoader.h"
#include "core/Text.h"

#include "db/Database.h"
#include "widgets/GridTableModel.h"

#include "db/DbError.h"

#include <QDate>
#include <QSqlDriver>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

enum class Type { Int, Text, Bool, Date, Money };

struct Col {
    const char* name;
    Type type;
};

constexpr Col kItemColumns[] = {
    {"Id", Type::Int},          {"DlvNames", Type::Text},    {"DlvAdres", Type::Text},   {"DlvLK", Type::Text},
    {"DlvEGN", Type::Text},     {"Art", Type::Text},         {"ArtNote", Type::Text},    {"Serial", Type::Text},
    {"DogNo", Type::Int},       {"Payed", Type::Bool},       {"Saled", Type::Bool},      {"DateGet", Type::Date},
    {"Datepay", Type::Date},    {"Datesale", Type::Date},    {"SaleInfo", Type::Text},   {"ClientNames", Type::Text},
    {"ClientAdres", Type::Text}, {"ClientInfo", Type::Text}, {"SalePrice", Type::Money}, {"DlvPrice", Type::Money},
    {"IdShop", Type::Int},
};
constexpr int kItemCount = int(sizeof(kItemColumns) / sizeof(kItemColumns[0]));

// "2005-03-01" (SQLite keeps dates as ISO text) or a date value.
QDate toDate(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString();
    if (s.size() < 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-'))
        return QDate::fromString(s, Qt::ISODate);
    auto num = [&s](int from, int len) {
        int n = 0;
        for (int i = from; i < from + len; ++i) {
            const int d = s[i].unicode() - '0';
            if (d < 0 || d > 9)
                return -1;
            n = n * 10 + d;
        }
        return n;
    };
    return QDate(num(0, 4), num(5, 2), num(8, 2));
}

QDate isoDate(const char* s, int size) {
    if (size < 10 || s[4] != '-' || s[7] != '-')
        return QDate::fromString(QString::fromUtf8(s, size), Qt::ISODate);
    auto num = [s](int from, int len) {
        int n = 0;
        for (int i = from; i < from + len; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            n = n * 10 + (s[i] - '0');
        }
        return n;
    };
    return QDate(num(0, 4), num(5, 2), num(8, 2));
}

sqlite3* sqliteHandle(Database& db) {
    if (db.engine() != Engine::SQLite)
        return nullptr;
    const QSqlDatabase sql = db.sql();
    if (!sql.isOpen() || !sql.driver())
        return nullptr;
    const QVariant h = sql.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(h.constData());
}

// Whether the register's list needs the column of every row: the grid's
// columns, sums and groups, and the keys. The other columns are only shown
// for the current item (the detail panels) and are read for it alone.
bool listed(const char* name) {
    for (const char* detail : {"DlvNames", "DlvAdres", "DlvLK", "DlvEGN", "ArtNote", "SaleInfo", "ClientNames",
                               "ClientAdres", "ClientInfo"})
        if (qstrcmp(name, detail) == 0)
            return false;
    return true;
}

} // namespace

RegisterStatement RegisterLoader::listStatement(const RegisterStatement& statement) {
    QStringList names;
    for (const Col& c : kItemColumns)
        if (listed(c.name))
            names << QString::fromLatin1(c.name);
    return {QStringLiteral("select %1 from (%2) as register_rows").arg(names.join(QLatin1Char(',')), statement.sql),
            statement.params};
}

namespace {

// The embedded engine's rows read straight from its statement, without a
// QVariant per value on the way: the register's refresh stays close to the
// cost of the query itself.
void fetchSqlite(sqlite3* h, const RegisterStatement& statement, int width, const QHash<int, QString>& shops,
                 QVector<QVariant>& values) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = statement.sql.toUtf8();
    if (sqlite3_prepare_v2(h, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
    struct Finalize {
        sqlite3_stmt* st;
        ~Finalize() { sqlite3_finalize(st); }
    } finalize{st};
    for (int i = 0; i < statement.params.size(); ++i) {
        const QVariant& p = statement.params[i];
        int rc = SQLITE_OK;
        if (p.isNull()) {
            rc = sqlite3_bind_null(st, i + 1);
        } else {
            switch (p.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(st, i + 1, p.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(st, i + 1, p.toDouble());
                break;
            case QMetaType::QDate:
                rc = sqlite3_bind_text(st, i + 1, p.toDate().toString(Qt::ISODate).toUtf8().constData(), -1,
                                       SQLITE_TRANSIENT);
                break;
            default: {
                const QByteArray text = p.toString().toUtf8();
                rc = sqlite3_bind_text(st, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
    }
    int at[kItemCount];
    const int resultColumns = sqlite3_column_count(st);
    for (int c = 0; c < kItemCount; ++c) {
        at[c] = -1;
        for (int r = 0; r < resultColumns; ++r)
            if (qstricmp(sqlite3_column_name(st, r), kItemColumns[c].name) == 0)
                at[c] = r;
    }
    const int idShop = kItemCount - 1;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const qsizetype base = values.size();
        values.resize(base + width);
        QVariant* row = values.data() + base;
        for (int c = 0; c < kItemCount; ++c) {
            const int k = at[c];
            if (k < 0)
                continue;
            const int type = sqlite3_column_type(st, k);
            if (type == SQLITE_NULL)
                continue;
            switch (kItemColumns[c].type) {
            case Type::Int:
                row[c] = qlonglong(sqlite3_column_int64(st, k));
                break;
            case Type::Money:
                row[c] = sqlite3_column_double(st, k);
                break;
            case Type::Bool:
                if (type == SQLITE_TEXT) {
                    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
                    row[c] = qstricmp(t, "true") == 0 || qstrcmp(t, "1") == 0;
                } else {
                    row[c] = sqlite3_column_int64(st, k) != 0;
                }
                break;
            case Type::Date: {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
                const QDate d = isoDate(t, sqlite3_column_bytes(st, k));
                if (d.isValid())
                    row[c] = d;
                break;
            }
            case Type::Text: {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
                row[c] = QString::fromUtf8(t, sqlite3_column_bytes(st, k));
                break;
            }
            }
        }
        row[kItemCount] = shops.value(row[idShop].toInt());
    }
    if (rc != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
}

} // namespace

QStringList RegisterLoader::columns() {
    QStringList names;
    for (const Col& c : kItemColumns)
        names << QString::fromLatin1(c.name);
    names << QStringLiteral("Shop");
    return names;
}

int RegisterLoader::column(const QString& name) {
    const QStringList names = columns();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QHash<int, QString> RegisterLoader::shopNames(Database& db) {
    QHash<int, QString> names;
    QSqlQuery q = db.exec(QStringLiteral("select ID, Name from Shops"));
    while (q.next())
        names.insert(q.value(0).toInt(), text::left(q.value(1).toString(), 20));
    return names;
}

namespace {

// Every row of the statement, row after row, kItemCount + 1 values each.
void fetch(Database& db, const RegisterStatement& statement, QVector<QVariant>& values) {
    const QHash<int, QString> shops = RegisterLoader::shopNames(db);
    const int width = kItemCount + 1;
    if (sqlite3* h = sqliteHandle(db)) {
        fetchSqlite(h, statement, width, shops, values);
        return;
    }
    QSqlQuery q = db.exec(statement.sql, statement.params);

    // Where each of our columns sits in the result (names in any letter case).
    const QSqlRecord rec = q.record();
    int at[kItemCount];
    for (int c = 0; c < kItemCount; ++c)
        at[c] = rec.indexOf(QString::fromLatin1(kItemColumns[c].name));
    const int shopCol = kItemCount;
    const int idShopCol = kItemCount - 1;

    while (q.next()) {
        const qsizetype base = values.size();
        values.resize(base + width);
        QVariant* row = values.data() + base;
        for (int c = 0; c < kItemCount; ++c) {
            if (at[c] < 0)
                continue;
            const QVariant v = q.value(at[c]);
            if (v.isNull())
                continue;
            switch (kItemColumns[c].type) {
            case Type::Int:
                row[c] = v.toLongLong();
                break;
            case Type::Text:
                row[c] = v.toString();
                break;
            case Type::Bool:
                row[c] = v.toBool();
                break;
            case Type::Date: {
                const QDate d = toDate(v);
                if (d.isValid())
                    row[c] = d;
                break;
            }
            case Type::Money:
                row[c] = v.toDouble();
                break;
            }
        }
        // An item of an unknown shop groups under an empty name.
        row[shopCol] = shops.value(row[idShopCol].toInt());
    }
}

} // namespace

void RegisterLoader::load(Database& db, const RegisterStatement& statement, GridTableModel* model) {
    const QStringList names = columns();
    model->reset(names, {});
    QVector<QVariant> values;
    values.reserve(1024 * (kItemCount + 1));
    fetch(db, listStatement(statement), values);
    model->reset(names, std::move(values));
}

RegisterStatement RegisterLoader::itemStatement(const RegisterStatement& statement, qint64 id) {
    RegisterStatement s;
    // The statement's own rows, of which the one item: both engines look it
    // up by its key rather than reading what the statement lists.
    s.sql = QStringLiteral("select * from (%1) as register_rows where Id = ?").arg(statement.sql);
    s.params = statement.params;
    s.params.append(id);
    return s;
}

std::optional<QVector<QVariant>> RegisterLoader::loadItem(Database& db, const RegisterStatement& statement, qint64 id) {
    QVector<QVariant> values;
    fetch(db, listStatement(itemStatement(statement, id)), values);
    const int width = kItemCount + 1;
    if (values.size() < width)
        return std::nullopt;
    values.resize(width);
    return values;
}

QStringList RegisterLoader::detailColumns() {
    QStringList names;
    for (const Col& c : kItemColumns)
        if (!listed(c.name))
            names << QString::fromLatin1(c.name);
    return names;
}

bool RegisterLoader::isListed(const QString& name) { return !detailColumns().contains(name, Qt::CaseInsensitive); }

QHash<QString, QString> RegisterLoader::details(Database& db, qint64 id) {
    const QStringList names = detailColumns();
    QHash<QString, QString> out;
    QSqlQuery q = db.exec(QStringLiteral("select %1 from resale where Id = ?").arg(names.join(QLatin1Char(','))), {id});
    if (q.next())
        for (int i = 0; i < names.size(); ++i)
            out.insert(names[i], q.value(i).toString());
    return out;
}
