#include "tests/support/OldBooks.h"

#include "db/Database.h"
#include "db/Schema.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include "tools/import/Pxlib.h"

namespace oldbooks {

using paradoxfixture::Field;

int Table::field(const QString& n) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).name.compare(n, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Table* Books::find(const QString& n) const {
    for (const Table& t : tables)
        if (t.name.compare(n, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

Field declaredField(const QString& table, const QString& column) {
    const schema::Table* t = schema::find(table);
    const schema::Column* c = t->column(column);
    switch (c->type) {
    case schema::Type::AutoIncrement:
        return {c->name, pxfAutoInc};
    case schema::Type::Integer:
        return {c->name, c->name == QLatin1String("ValID") ? char(pxfShort) : char(pxfLong)};
    case schema::Type::Float:
        // The shops' eight columns of the suite are plain numbers, amounts are money.
        return {c->name, table == QLatin1String("Shops") ? char(pxfNumber) : char(pxfCurrency), 0, 2};
    case schema::Type::Boolean:
        return {c->name, pxfLogical};
    case schema::Type::Date:
        return {c->name, pxfDate};
    case schema::Type::Time:
        return {c->name, pxfTime};
    case schema::Type::String:
        return {c->name, pxfAlpha, c->length};
    }
    return {};
}

namespace {

QString fileNameOf(const QString& table) {
    // Letter cases as they turn up in real shops' folders.
    static const QHash<QString, QString> names{
        {QStringLiteral("resale"), QStringLiteral("resale.db")},       {QStringLiteral("Shops"), QStringLiteral("Shops.DB")},
        {QStringLiteral("KASA"), QStringLiteral("Kasa.db")},           {QStringLiteral("CLERKS"), QStringLiteral("CLERKS.DB")},
        {QStringLiteral("MyInfo"), QStringLiteral("MyInfo.DB")},       {QStringLiteral("Pech"), QStringLiteral("Pech.DB")},
        {QStringLiteral("oborot"), QStringLiteral("OBOROT.DB")},       {QStringLiteral("TypePrihod"), QStringLiteral("TypePrihod.db")},
        {QStringLiteral("Prihod"), QStringLiteral("Prihod.db")},       {QStringLiteral("TypeExpense"), QStringLiteral("typeexpense.DB")},
        {QStringLiteral("Expenses"), QStringLiteral("Expenses.DB")},
    };
    return names.value(table);
}

// Every declared column of the table, read from the scratch database in table order.
Table readTable(Database& db, const schema::Table& t) {
    Table out;
    out.name = t.name;
    out.file = fileNameOf(t.name);
    QStringList cols;
    for (const schema::Column& c : t.columns) {
        out.fields << declaredField(t.name, c.name);
        cols << schema::sqlName(c.name);
    }
    out.declaredCount = out.fields.size();
    const schema::Column* key = t.autoIncrement();
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                              .arg(cols.join(QLatin1Char(',')), t.name, key ? key->name : QStringLiteral("rowid")));
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < t.columns.size(); ++i) {
            const QVariant v = q.value(i);
            if (v.isNull()) {
                row << QVariant();
                continue;
            }
            switch (t.columns.at(i).type) {
            case schema::Type::AutoIncrement:
            case schema::Type::Integer:
                row << v.toInt();
                break;
            case schema::Type::Float:
                row << v.toDouble();
                break;
            case schema::Type::Boolean:
                row << v.toBool();
                break;
            case schema::Type::Date:
                row << Database::toDate(v);
                break;
            case schema::Type::Time:
                row << Database::toTime(v);
                break;
            case schema::Type::String:
                // Paradox keeps an empty text as a blank, like no text at all.
                row << (v.toString().isEmpty() ? QVariant() : QVariant(v.toString()));
                break;
            }
        }
        out.rows << row;
    }
    return out;
}

void set(Table& t, QVariantList& row, const QString& column, const QVariant& v) {
    row[t.field(column)] = v;
}

} // namespace

bool write(const QString& folder, Books* books, QString* error) {
    QTemporaryDir scratch;
    {
        Database db;
        if (!suite::createDatabase(db, scratch.path(), error))
            return false;
        suite::fillDemoMasterData(db);
        suite::fillDemoItems(db);
        // The suite's books keep no record of transfers: a moved appliance
        // gets a contract number of its own in its new shop (nothing was
        // booked under its number), so that the check finds no doubled one.
        db.exec(QStringLiteral("UPDATE resale SET DogNo = 80000 + Id WHERE Id IN (SELECT IdItem FROM resale_moves)"));
        for (const QString& name : {QStringLiteral("Shops"), QStringLiteral("CLERKS"), QStringLiteral("MyInfo"),
                                    QStringLiteral("resale"), QStringLiteral("KASA"), QStringLiteral("Pech"),
                                    QStringLiteral("oborot"), QStringLiteral("TypePrihod"), QStringLiteral("Prihod"),
                                    QStringLiteral("TypeExpense"), QStringLiteral("Expenses")})
            books->tables << readTable(db, *schema::find(name));
    }
    auto table = [&](const QString& n) -> Table& {
        for (Table& t : books->tables)
            if (t.name == n)
                return t;
        Q_UNREACHABLE();
    };

    // Items: two of the old books' own, with a gap in the numbering before them.
    Table& items = table(QStringLiteral("resale"));
    qint64 maxId = 0;
    for (const QVariantList& r : items.rows)
        maxId = qMax(maxId, r.at(0).toLongLong());
    QVariantList longest(items.fields.size());
    books->longestItemId = maxId + 7;
    set(items, longest, QStringLiteral("Id"), books->longestItemId);
    set(items, longest, QStringLiteral("DlvNames"), QStringLiteral("Христиана Александрова Хаджипеткова")); // 35
    set(items, longest, QStringLiteral("DlvAdres"), QStringLiteral("гр. Велико Търново, ул. „Възраждане“ №123, вх. Б-4")); // 50
    set(items, longest, QStringLiteral("DlvEGN"), QStringLiteral("6512319999"));
    set(items, longest, QStringLiteral("Art"), QStringLiteral("Хладилник „Либхер“ № KGN-39VL, двукамерен, сребрен")); // 50
    set(items, longest, QStringLiteral("DogNo"), 90001);
    set(items, longest, QStringLiteral("Payed"), false);
    set(items, longest, QStringLiteral("Saled"), false);
    set(items, longest, QStringLiteral("DateGet"), QDate(2024, 2, 29));
    set(items, longest, QStringLiteral("DlvPrice"), 0.0); // zero, not blank: SalePrice stays blank
    set(items, longest, QStringLiteral("IdShop"), 1);
    items.rows << longest;

    QVariantList unsold(items.fields.size());
    books->unsoldItemId = maxId + 8;
    set(items, unsold, QStringLiteral("Id"), books->unsoldItemId);
    set(items, unsold, QStringLiteral("DlvNames"), QStringLiteral("Йордан Цветанов Щерев"));
    set(items, unsold, QStringLiteral("DlvAdres"), QStringLiteral("София, ж.к. Люлин 7, бл. 712"));
    set(items, unsold, QStringLiteral("DlvLK"), QStringLiteral("645123987"));
    set(items, unsold, QStringLiteral("DlvEGN"), QStringLiteral("7112314567"));
    set(items, unsold, QStringLiteral("Art"), QStringLiteral("Пералня Индезит ЕВ-1200"));
    set(items, unsold, QStringLiteral("ArtNote"), QStringLiteral("без маркуч; драскотина отляво"));
    set(items, unsold, QStringLiteral("Serial"), QStringLiteral("IND-2023-ЖЪ-0042"));
    set(items, unsold, QStringLiteral("DogNo"), 90002);
    set(items, unsold, QStringLiteral("Payed"), false);
    set(items, unsold, QStringLiteral("Saled"), false);
    set(items, unsold, QStringLiteral("DateGet"), QDate(2023, 12, 31));
    set(items, unsold, QStringLiteral("SalePrice"), 1234.56);
    set(items, unsold, QStringLiteral("DlvPrice"), 999.99);
    set(items, unsold, QStringLiteral("IdShop"), 1);
    items.rows << unsold;
    // A column the program does not declare: months of warranty, some blank.
    items.fields << Field{QStringLiteral("Garancia"), pxfLong};
    for (int i = 0; i < items.rows.size(); ++i)
        items.rows[i] << (i % 3 == 0 ? QVariant() : QVariant(i % 13));

    // Cash book: a row of the suite's own with blanks, at a year's end, and
    // an undeclared column with a Cyrillic name; 
    Table& cash = table(QStringLiteral("KASA"));
    QVariantList rent(cash.fields.size());
    qint64 maxCash = 0;
    for (const QVariantList& r : cash.rows)
        maxCash = qMax(maxCash, r.at(0).toLongLong());
    set(cash, rent, QStringLiteral("Id"), maxCash + 1);
    set(cash, rent, QStringLiteral("Date"), QDate(2023, 12, 31));
    set(cash, rent, QStringLiteral("OutSum"), 350.45);
    set(cash, rent, QStringLiteral("ValID"), 1);
    set(cash, rent, QStringLiteral("Note"), QStringLiteral("Наем за декември — „Търговски център“ №2"));
    set(cash, rent, QStringLiteral("UserID"), 1);
    set(cash, rent, QStringLiteral("ShopID"), 2);
    cash.rows << rent;
    cash.fields << Field{QStringLiteral("Смяна"), pxfShort};
    for (int i = 0; i < cash.rows.size(); ++i)
        cash.rows[i] << (i % 4 == 0 ? QVariant() : QVariant(1 + i % 2));

    // The known breach: one day's turnover in the old books is 10 leva too high.
    Table& turnover = table(QStringLiteral("oborot"));
    QVariantList& day = turnover.rows[turnover.rows.size() / 2];
    const int sum = turnover.field(QStringLiteral("1"));
    day[sum] = day.at(sum).toDouble() + 10.0;
    books->breachTurnover = day.at(sum).toDouble();
    books->breachDay = day.at(turnover.field(QStringLiteral("Date"))).toDate();
    books->breachShop = day.at(turnover.field(QStringLiteral("idShop"))).toInt();

    // Shops: one whose "away" flag and expense number are blank; the eight
    // numbers of the suite stay blank, but for one.
    Table& shops = table(QStringLiteral("Shops"));
    set(shops, shops.rows[4], QStringLiteral("Away"), QVariant());
    set(shops, shops.rows[4], QStringLiteral("ExpNo"), QVariant());
    set(shops, shops.rows[0], QStringLiteral("1"), 0.01);
    set(shops, shops.rows[0], QStringLiteral("8"), -12.5);

    // Clerks: a blank note and a blank "active" flag.
    Table& clerks = table(QStringLiteral("CLERKS"));
    set(clerks, clerks.rows[2], QStringLiteral("Active"), QVariant());
    set(clerks, clerks.rows[3], QStringLiteral("Info"), QStringLiteral("смяна: 09:00–18:00"));

    QDir().mkpath(folder);
    for (const Table& t : books->tables) {
        if (!paradoxfixture::writeTable(QDir(folder).filePath(t.file), t.fields, t.rows, error))
            return false;
    }
    // The expenses' own counter in the header stands past the last row (the
    // rows after it were deleted): new rows must not take those numbers again.
    // pxlib's writer keeps no counter, so it goes into the header by hand.
    qint64 maxExpense = 0;
    for (const QVariantList& r : table(QStringLiteral("Expenses")).rows)
        maxExpense = qMax(maxExpense, r.at(0).toLongLong());
    books->expensesCounter = maxExpense + 40;
    QFile expenses(QDir(folder).filePath(table(QStringLiteral("Expenses")).file));
    if (!expenses.open(QIODevice::ReadWrite) || !expenses.seek(0x49))
        return false;
    const qint32 counter = qint32(books->expensesCounter);
    const char bytes[4] = {char(counter & 0xff), char((counter >> 8) & 0xff), char((counter >> 16) & 0xff),
                           char((counter >> 24) & 0xff)};
    expenses.write(bytes, 4);
    return true;
}

} // namespace oldbooks
