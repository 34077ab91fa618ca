#include "tools/SuiteDatabase.h"

#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "tools/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>

namespace suite {

void createTables(Database& db) {
    Transaction tx(db);
    for (const schema::Table& t : schema::suiteTables())
        db.createTable(t);
    db.createTable(schema::items());
    db.createTable(schema::moves());
    tx.commit();
}

bool createDatabase(Database& db, const QString& location, QString* error) {
    if (!Database::isUrl(location)) {
        // The database holds the clerks' passwords as the suite keeps them
        // (plain text): a new folder and a new database file are the owner's alone.
        QString why;
        if (!privatefiles::makeFolder(location, &why)) {
            if (error)
                *error = QStringLiteral("Cannot create directory %1 (%2)").arg(location, why);
            return false;
        }
        const QString file = QDir(location).filePath(Database::fileName());
        if (!QFileInfo::exists(file) && !privatefiles::createFile(file)) {
            if (error)
                *error = QStringLiteral("Cannot create %1").arg(file);
            return false;
        }
    }
    if (!db.open(location, error, true))
        return false;
    try {
        if (db.hasTable(QStringLiteral("Shops"))) {
            if (error)
                *error = QStringLiteral("A suite database already exists at %1").arg(location);
            return false;
        }
        createTables(db);
    } catch (const DbError& e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

void writeSettings(const QString& basePath, const QString& user) {
    // BasePath may be a server URL with its password: the store is the
    // user's alone before anything is written into it.
    const QString store = SuiteSettings::location();
    QDir().mkpath(QFileInfo(store).absolutePath());
    privatefiles::createFile(store);
    privatefiles::restrictToOwner(store);
    SuiteSettings::create();
    SuiteSettings::setValue(QStringLiteral("BasePath"), basePath);
    if (!user.isEmpty())
        SuiteSettings::setValue(QStringLiteral("User"), user);
}

DemoFigures fillDemoMasterData(Database& db) {
    DemoFigures f;
    Transaction tx(db);
    struct Shop {
        const char* name;
        const char* address;
        const char* phone;
        bool active;
        bool away;
    };
    const Shop shops[] = {
        {"Център", "София, бул. Витоша 12", "02 981 22 33", true, false},
        {"Младост", "София, ж.к. Младост 1, бл. 20", "02 974 10 10", true, false},
        {"Пловдив - Тракия", "Пловдив, ж.к. Тракия, бл. 150", "032 62 44 55", true, false},
        {"Битова техника Варна Приморски", "Варна, бул. Приморски 45", "052 60 70 80", true, false},
        {"Бургас", "Бургас, ул. Александровска 3", "056 84 12 12", false, false},
        {"Склад Казичене", "Казичене, Индустриална зона", "02 995 00 01", true, true},
    };
    for (const Shop& s : shops) {
        db.insert(QStringLiteral("Shops"), {{QStringLiteral("Name"), QString::fromUtf8(s.name)},
                                            {QStringLiteral("Address"), QString::fromUtf8(s.address)},
                                            {QStringLiteral("ShopPhone"), QString::fromUtf8(s.phone)},
                                            {QStringLiteral("Active"), s.active},
                                            {QStringLiteral("Away"), s.away},
                                            {QStringLiteral("ExpNo"), 0}});
        ++f.shops;
    }
    db.insert(QStringLiteral("MyInfo"), {{QStringLiteral("Name"), QStringLiteral("Вемка ООД")},
                                         {QStringLiteral("ID"), 1},
                                         {QStringLiteral("BULSTAT"), QStringLiteral("131234567")},
                                         {QStringLiteral("DNUM"), QStringLiteral("1234567890")},
                                         {QStringLiteral("MOL"), QStringLiteral("Георги Иванов Петров")},
                                         {QStringLiteral("Adres"), QStringLiteral("София 1000, ул. Граф Игнатиев 7")},
                                         {QStringLiteral("Info"), QStringLiteral("Банкова сметка BG80BNBG96611020345678")},
                                         {QStringLiteral("DDS"), true},
                                         {QStringLiteral("Active"), true}});
    db.insert(QStringLiteral("MyInfo"), {{QStringLiteral("Name"), QStringLiteral("Стара фирма ЕТ")},
                                         {QStringLiteral("ID"), 2},
                                         {QStringLiteral("MOL"), QStringLiteral("Иван Георгиев")},
                                         {QStringLiteral("Adres"), QStringLiteral("София, ул. Оборище 1")},
                                         {QStringLiteral("Active"), false}});
    struct Clerk {
        int id;
        const char* name;
        const char* nick;
        const char* password;
        int prefs;
        int shop;
    };
    const Clerk clerks[] = {
        {1, "Администратор", "Administrator", "vemka", 4, 0},
        {2, "Мария Петрова", "maria", "1111", 1, 1},
        {3, "Петър Димитров", "petar", "2222", 1, 0},
        {4, "Елена Стоянова", "elena", "3333", 3, 2},
        {5, "Стоян Колев", "stoyan", "4444", 3, 0},
        {6, "Николай Тодоров", "nikolay", "5555", 4, 3},
        {7, "Десислава Илиева", "desi", "6666", 2, 1},
        {8, "Гост Без Права", "guest", "0000", 0, 0},
    };
    for (const Clerk& c : clerks) {
        db.insert(QStringLiteral("CLERKS"), {{QStringLiteral("ID"), c.id},
                                             {QStringLiteral("Name"), QString::fromUtf8(c.name)},
                                             {QStringLiteral("Nick"), QString::fromUtf8(c.nick)},
                                             {QStringLiteral("Password"), QString::fromUtf8(c.password)},
                                             {QStringLiteral("Prefs"), c.prefs},
                                             {QStringLiteral("ShopID"), c.shop},
                                             {QStringLiteral("Active"), true}});
        ++f.clerks;
    }
    tx.commit();
    return f;
}

} // namespace suite
