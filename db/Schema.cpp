#include "db/Schema.h"

namespace schema {

namespace {

using T = Type;

Table makeItems() {
    return {QStringLiteral("resale"),
            {
                {QStringLiteral("Id"), T::AutoIncrement},
                {QStringLiteral("DlvNames"), T::String, 35},
                {QStringLiteral("DlvAdres"), T::String, 50},
                {QStringLiteral("DlvLK"), T::String, 9},
                {QStringLiteral("DlvEGN"), T::String, 10},
                {QStringLiteral("Art"), T::String, 50},
                {QStringLiteral("ArtNote"), T::String, 50},
                {QStringLiteral("Serial"), T::String, 25},
                {QStringLiteral("DogNo"), T::Integer},
                {QStringLiteral("Payed"), T::Boolean},
                {QStringLiteral("Saled"), T::Boolean},
                {QStringLiteral("DateGet"), T::Date},
                {QStringLiteral("Datepay"), T::Date},
                {QStringLiteral("Datesale"), T::Date},
                {QStringLiteral("SaleInfo"), T::String, 50},
                {QStringLiteral("ClientNames"), T::String, 50},
                {QStringLiteral("ClientAdres"), T::String, 50},
                {QStringLiteral("ClientInfo"), T::String, 50},
                {QStringLiteral("SalePrice"), T::Float},
                {QStringLiteral("DlvPrice"), T::Float},
                {QStringLiteral("IdShop"), T::Integer},
            }};
}

// Named in the item table's manner: the program's name, lower case, and what
// the rows are. Columns as the suite names such things (IdShop, ClerkID).
Table makeMoves() {
    return {QStringLiteral("resale_moves"),
            {
                {QStringLiteral("Id"), T::AutoIncrement},
                {QStringLiteral("IdItem"), T::Integer},   // the appliance: resale.Id
                {QStringLiteral("FromShop"), T::Integer}, // the shop it left: Shops.ID
                {QStringLiteral("ToShop"), T::Integer},   // the shop it came to: Shops.ID
                {QStringLiteral("Date"), T::Date},
                {QStringLiteral("Time"), T::Time},
                {QStringLiteral("ClerkID"), T::Integer}, // who moved it: CLERKS.ID
            }};
}

Table kindTable(const QString& name) {
    return {name, {{QStringLiteral("type"), T::String, 50}, {QStringLiteral("ID"), T::AutoIncrement}}};
}

Table entryTable(const QString& name) {
    return {name,
            {
                {QStringLiteral("Id"), T::AutoIncrement},
                {QStringLiteral("Date"), T::Date},
                {QStringLiteral("ShopID"), T::Integer},
                {QStringLiteral("TypeID"), T::Integer},
                {QStringLiteral("ClerkID"), T::Integer},
                {QStringLiteral("Sum"), T::Float},
                {QStringLiteral("Note"), T::String, 50},
            }};
}

QList<Table> makeSuite() {
    Table shops{QStringLiteral("Shops"),
                {
                    {QStringLiteral("ID"), T::AutoIncrement},
                    {QStringLiteral("Name"), T::String, 30, true},
                    {QStringLiteral("Address"), T::String, 60},
                    {QStringLiteral("Active"), T::Boolean},
                    {QStringLiteral("ShopPhone"), T::String, 15},
                }};
    for (int i = 1; i <= 8; ++i)
        shops.columns.append({QString::number(i), T::Float});
    shops.columns.append({QStringLiteral("ExpNo"), T::Integer});
    shops.columns.append({QStringLiteral("Away"), T::Boolean});

    return {
        shops,
        {QStringLiteral("KASA"),
         {
             {QStringLiteral("Id"), T::AutoIncrement},
             {QStringLiteral("Date"), T::Date},
             {QStringLiteral("Time"), T::Time},
             {QStringLiteral("InSum"), T::Float},
             {QStringLiteral("OutSum"), T::Float},
             {QStringLiteral("Nal"), T::Float},
             {QStringLiteral("ValID"), T::Integer},
             {QStringLiteral("Note"), T::String, 50},
             {QStringLiteral("UserID"), T::Integer},
             {QStringLiteral("ShopID"), T::Integer},
         }},
        {QStringLiteral("CLERKS"),
         {
             {QStringLiteral("Name"), T::String, 30, true},
             {QStringLiteral("Info"), T::String, 60},
             {QStringLiteral("Active"), T::Boolean},
             {QStringLiteral("Payment"), T::Float},
             {QStringLiteral("Password"), T::String, 10},
             {QStringLiteral("Nick"), T::String, 15},
             {QStringLiteral("Prefs"), T::Integer},
             {QStringLiteral("ShopID"), T::Integer},
             {QStringLiteral("ID"), T::Integer, 0, true},
         }},
        {QStringLiteral("MyInfo"),
         {
             {QStringLiteral("Name"), T::String, 30, true},
             {QStringLiteral("ID"), T::Integer, 0, true},
             {QStringLiteral("BULSTAT"), T::String, 13},
             {QStringLiteral("DNUM"), T::String, 10},
             {QStringLiteral("MOL"), T::String, 35, true},
             {QStringLiteral("Adres"), T::String, 60, true},
             {QStringLiteral("Info"), T::String, 80},
             {QStringLiteral("DDS"), T::Boolean},
             {QStringLiteral("Active"), T::Boolean},
         }},
        {QStringLiteral("Pech"),
         {
             {QStringLiteral("ShopID"), T::Integer},
             {QStringLiteral("Pech"), T::Float},
             {QStringLiteral("ValID"), T::Integer},
             {QStringLiteral("Date"), T::Date},
         }},
        {QStringLiteral("oborot"),
         {
             {QStringLiteral("Date"), T::Date},
             {QStringLiteral("idShop"), T::Integer},
             {QStringLiteral("1"), T::Float},
         }},
        kindTable(QStringLiteral("TypePrihod")),
        entryTable(QStringLiteral("Prihod")),
        kindTable(QStringLiteral("TypeExpense")),
        entryTable(QStringLiteral("Expenses")),
    };
}

QString sqlType(const Column& c, Engine e) {
    switch (c.type) {
    case T::AutoIncrement:
        return e == Engine::SQLite ? QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")
                                   : QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    case T::Integer:
        return QStringLiteral("INTEGER");
    case T::Float:
        return e == Engine::SQLite ? QStringLiteral("REAL") : QStringLiteral("DOUBLE PRECISION");
    case T::Boolean:
        return QStringLiteral("BOOLEAN");
    case T::Date:
        return QStringLiteral("DATE");
    case T::Time:
        return QStringLiteral("TIME");
    case T::String:
        return QStringLiteral("VARCHAR(%1)").arg(c.length);
    }
    return {};
}

} // namespace

const Column* Table::column(const QString& n) const {
    for (const Column& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const Column* Table::autoIncrement() const {
    for (const Column& c : columns)
        if (c.type == T::AutoIncrement)
            return &c;
    return nullptr;
}

const Table& items() {
    static const Table t = makeItems();
    return t;
}

const Table& moves() {
    static const Table t = makeMoves();
    return t;
}

const QList<Table>& suiteTables() {
    static const QList<Table> t = makeSuite();
    return t;
}

const Table* find(const QString& name) {
    if (items().name.compare(name, Qt::CaseInsensitive) == 0)
        return &items();
    if (moves().name.compare(name, Qt::CaseInsensitive) == 0)
        return &moves();
    for (const Table& t : suiteTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString sqlName(const QString& column) {
    if (!column.isEmpty() && column.at(0).isDigit())
        return QLatin1Char('"') + column + QLatin1Char('"');
    return column;
}

QString createTableSql(const Table& table, Engine engine) {
    QStringList cols;
    for (const Column& c : table.columns)
        cols << sqlName(c.name) + QLatin1Char(' ') + sqlType(c, engine);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, cols.join(QStringLiteral(", ")));
}

QList<Index> indexes(const Table& table) {
    const QString n = table.name.toLower();
    auto idx = [&](const QString& suffix, const QString& cols) {
        return Index{QStringLiteral("ix_%1_%2").arg(n, suffix), cols};
    };
    if (n == QLatin1String("resale"))
        return {idx(QStringLiteral("shop_dogno"), QStringLiteral("IdShop, DogNo")),
                idx(QStringLiteral("saled"), QStringLiteral("Saled, Datesale")),
                idx(QStringLiteral("payed"), QStringLiteral("Payed, Datepay")),
                idx(QStringLiteral("dateget"), QStringLiteral("DateGet")),
                // the owner's worklist: unsold by intake day, owed per shop
                idx(QStringLiteral("unsold"), QStringLiteral("Saled, DateGet")),
                idx(QStringLiteral("owed"), QStringLiteral("Payed, Saled, IdShop, Datesale"))};
    if (n == QLatin1String("resale_moves"))
        return {idx(QStringLiteral("item"), QStringLiteral("IdItem"))};
    if (n == QLatin1String("oborot"))
        return {idx(QStringLiteral("day"), QStringLiteral("Date, idShop"))};
    if (n == QLatin1String("pech"))
        return {idx(QStringLiteral("day"), QStringLiteral("Date, ValID, ShopID"))};
    if (n == QLatin1String("typeprihod") || n == QLatin1String("typeexpense"))
        return {idx(QStringLiteral("type"), QStringLiteral("type"))};
    if (n == QLatin1String("shops"))
        return {idx(QStringLiteral("name"), QStringLiteral("Name"))};
    if (n == QLatin1String("clerks"))
        return {idx(QStringLiteral("nick"), QStringLiteral("Nick"))};
    return {};
}

QString createIndexSql(const Table& table, const Index& index) {
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)").arg(index.name, table.name, index.columns);
}

} // namespace schema
