#include "register/RegisterLoader.h"

#include "db/Database.h"
#include "widgets/GridTableModel.h"

#include <QDate>
#include <QSqlRecord>

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
        names.insert(q.value(0).toInt(), q.value(1).toString().left(20));
    return names;
}

void RegisterLoader::load(Database& db, const RegisterStatement& statement, GridTableModel* model) {
    const QStringList names = columns();
    model->reset(names, {});
    const QHash<int, QString> shops = shopNames(db);
    QSqlQuery q = db.exec(statement.sql, statement.params);

    // Where each of our columns sits in the result (names in any letter case).
    const QSqlRecord rec = q.record();
    int at[kItemCount];
    for (int c = 0; c < kItemCount; ++c)
        at[c] = rec.indexOf(QString::fromLatin1(kItemColumns[c].name));
    const int shopCol = kItemCount;
    const int idShopCol = column(QStringLiteral("IdShop"));
    const int width = kItemCount + 1;

    QVector<QVariant> values;
    values.reserve(1024 * width);
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
    model->reset(names, std::move(values));
}
