// The chain's set-up without windows, on both engines: creating and opening
// the database, the rules for shops, clerks and the own firm, what happens
// when two administrators (or an administrator and a clerk) work at once,
// and that no refusal or engine failure leaves anything half written.
#include "app/Login.h"
#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "operations/Operations.h"
#include "tests/support/Engines.h"
#include "tools/PrivateFiles.h"
#include "tools/SuiteDatabase.h"
#include "tools/setup/ChainDatabase.h"
#include "tools/setup/ClerkRules.h"
#include "tools/setup/FirmRules.h"
#include "tools/setup/KindUsage.h"
#include "tools/setup/RecordTableModel.h"
#include "tools/setup/RightsLevels.h"
#include "tools/setup/ShopRules.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <functional>
#include <map>
#include <unistd.h>

namespace {
const QString kShops = QStringLiteral("Shops");

// Every row of the tables the set-up writes, as text.
QStringList snapshot(Database& db) {
    QStringList out;
    for (const char* t : {"Shops", "CLERKS", "MyInfo"}) {
        QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(QLatin1String(t)));
        while (q.next()) {
            QStringList cells{QLatin1String(t)};
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.record().fieldName(i).toLower() + QLatin1Char('=') +
                             (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            out << cells.join(QLatin1Char('|'));
        }
    }
    return out;
}

QVariantMap shopValues(const QString& name, const QString& address = QString(), bool active = true) {
    return {{QStringLiteral("Name"), name},
            {QStringLiteral("Address"), address},
            {QStringLiteral("ShopPhone"), QString()},
            {QStringLiteral("Active"), active},
            {QStringLiteral("Away"), false}};
}

QVariantMap clerkValues(const QString& nick, const QString& name, int level, qint64 shop,
                        const QString& password = QString(), const QString& repeat = QString()) {
    QVariantMap v{{QStringLiteral("Nick"), nick},   {QStringLiteral("Name"), name},
                  {QStringLiteral("Prefs"), level}, {QStringLiteral("ShopID"), shop},
                  {QStringLiteral("Active"), true}, {QStringLiteral("Info"), QString()}};
    if (!password.isEmpty() || !repeat.isEmpty()) {
        v.insert(QStringLiteral("Password"), password);
        v.insert(ClerkRules::repeatKey(), repeat.isNull() ? password : repeat);
    }
    return v;
}

QVariantMap firmValues(const QString& name, const QString& mol, const QString& address, bool active,
                       const QString& bulstat = QString(), const QString& dnum = QString()) {
    return {{QStringLiteral("Name"), name}, {QStringLiteral("BULSTAT"), bulstat}, {QStringLiteral("DNUM"), dnum},
            {QStringLiteral("MOL"), mol},   {QStringLiteral("Adres"), address},   {QStringLiteral("Info"), QString()},
            {QStringLiteral("DDS"), false}, {QStringLiteral("Active"), active}};
}

QVariantMap rowOf(const QList<QVariantMap>& rows, qint64 id) {
    for (const QVariantMap& r : rows)
        if (r.value(QStringLiteral("ID")).toLongLong() == id)
            return r;
    return {};
}

// Runs work on its own connection in a thread of its own, as a second
// workstation would.
class Workstation : public QThread {
public:
    Workstation(QString location, std::function<void(Database&)> work)
        : m_location(std::move(location)), m_work(std::move(work)) {}
    QString error;

protected:
    void run() override {
        Database db;
        if (!db.open(m_location, &error))
            return;
        m_work(db);
        db.close();
    }

private:
    QString m_location;
    std::function<void(Database&)> m_work;
};
} // namespace

class TestChainSetupRules : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_location; // as Database::open takes it
    std::unique_ptr<ChainDatabase> m_chain;

    // A new chain database on the engine of the data row, made the way the
    // window makes it; false (with the test failed or skipped) otherwise.
    bool newChain(const QString& engine) {
        m_dir = testenv::tempDir();
        m_chain = std::make_unique<ChainDatabase>();
        bool ready = false;
        QString location;
        [&] {
            ENGINE_LOCATION(engine, m_dir, location);
            ready = true;
        }();
        if (!ready)
            return false;
        QString error;
        bool created = false;
        if (engine == QLatin1String("sqlite")) {
            m_location = m_dir->filePath(QStringLiteral("chain"));
            ready = m_chain->useFolder(m_location, &error, &created);
        } else {
            m_location = location;
            ready = m_chain->useServer(PostgresAddress::fromUrl(location), &error, &created);
        }
        if (!ready || !created) {
            QTest::qFail(qPrintable(QStringLiteral("no new chain: ") + error), __FILE__, __LINE__);
            return false;
        }
        return true;
    }
    Database& db() { return m_chain->db(); }

    // Two shops (one named past 20 characters), the default administrator,
    // a sales clerk of the first shop, the active firm and an appliance in
    // the first shop.
    struct Sample {
        qint64 centre = 0, varna = 0, spare = 0, maria = 0, firm = 0, oldFirm = 0;
    };
    // The refusals share one sample chain per engine: none of them may change it.
    struct SharedChain {
        std::unique_ptr<QTemporaryDir> dir;
        std::unique_ptr<ChainDatabase> chain;
        Sample sample;
    };
    std::map<QString, SharedChain> m_shared;

    Sample fillSample() {
        Sample s;
        ShopRules shops(db());
        s.centre = shops.save(0, {}, shopValues(QStringLiteral("Център"), QStringLiteral("София"))).id;
        s.varna = shops.save(0, {}, shopValues(QStringLiteral("Битова техника Варна Приморски"))).id;
        s.spare = shops.save(0, {}, shopValues(QStringLiteral("Резервен"))).id;
        s.maria = ClerkRules(db())
                      .save(0, {},
                            clerkValues(QStringLiteral("maria"), QStringLiteral("Мария"), 1, s.centre,
                                        QStringLiteral("1111")))
                      .id;
        FirmRules firms(db());
        s.firm = firms
                     .save(0, {},
                           firmValues(QStringLiteral("Вемка ООД"), QStringLiteral("Г. Петров"), QStringLiteral("София"),
                                      true, QStringLiteral("131234567")))
                     .id;
        s.oldFirm = firms
                        .save(0, {},
                              firmValues(QStringLiteral("Стара фирма"), QStringLiteral("И. Иванов"),
                                         QStringLiteral("Пловдив"), false))
                        .id;
        ops::IntakeInput in;
        in.shop = int(s.centre);
        in.dogNo = 1;
        in.art = QStringLiteral("Пералня");
        in.dlvPrice = 10000;
        in.salePrice = 15000;
        in.names = QStringLiteral("Иван Петров");
        in.adres = QStringLiteral("София");
        in.egn = QStringLiteral("7501124567");
        if (!ops::intake(ops::Context{db(), 1}, in).ok())
            QTest::qFail("sample intake failed", __FILE__, __LINE__);
        // A second appliance moved on to the second shop: the record of transfers names both.
        in.dogNo = 2;
        const ops::Result second = ops::intake(ops::Context{db(), 1}, in);
        if (!second.ok() || !ops::transfer(ops::Context{db(), 1}, second.id, int(s.varna)).ok())
            QTest::qFail("sample transfer failed", __FILE__, __LINE__);
        // A cash-book row of the suite names the second shop.
        db().insert(QStringLiteral("KASA"), {{QStringLiteral("InSum"), 5.0}, {QStringLiteral("ShopID"), s.varna}});
        return s;
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void cleanupTestCase() { m_shared.clear(); }
    void cleanup() {
        Database::failStatement(0);
        Database::setBusyTimeout(5000);
        m_chain.reset();
    }

    // A new database: the suite's tables, the login's default clerk, the
    // settings naming it, and only the owner may read what holds passwords.
    void newDatabase_data() { addEngineRows(); }
    void newDatabase() {
        QFETCH(QString, engine);
        QFile::remove(SuiteSettings::location());
        if (!newChain(engine))
            return;
        QVERIFY(m_chain->wroteDefaultClerk());
        QCOMPARE(db().checkSuiteSchema(), QString());
        QVERIFY(db().hasTable(QStringLiteral("resale")));

        // The default clerk is the one the login would write, marked active.
        const QVariantMap d = login::defaultClerk();
        QSqlQuery q = db().exec(QStringLiteral("SELECT ID, Name, Nick, Password, Prefs, ShopID FROM CLERKS"));
        QVERIFY(q.next());
        for (const char* c : {"ID", "Name", "Nick", "Password", "Prefs", "ShopID"})
            QCOMPARE(q.value(QLatin1String(c)).toString(), d.value(QLatin1String(c)).toString());
        QVERIFY(!q.next());
        QCOMPARE(ClerkRules(db()).list().first().value(QStringLiteral("Active")).toBool(), true);
        QCOMPARE(login::check(db(), QStringLiteral("Administrator"), QStringLiteral("vemka")).outcome,
                 login::Outcome::Granted);

        // BasePath names it: the folder, or the URL with its password.
        const QString base = SuiteSettings::value(QStringLiteral("BasePath")).toString();
        QVERIFY(privatefiles::isPrivate(SuiteSettings::location()));
        if (engine == QLatin1String("sqlite")) {
            QCOMPARE(base, QDir::toNativeSeparators(m_location));
            QVERIFY(privatefiles::isPrivate(m_location));
            QVERIFY(privatefiles::isPrivate(QDir(m_location).filePath(Database::fileName())));
        } else {
            const PostgresAddress a = PostgresAddress::fromUrl(base);
            QCOMPARE(a.password, PostgresAddress::fromUrl(m_location).password);
            QVERIFY(!a.password.isEmpty());
            QVERIFY(!m_chain->shownLocation().contains(a.password));
            QVERIFY(!ChainDatabase::shownBasePath().contains(a.password));
        }

        // Opened again through the settings: the same database, nothing added.
        const QStringList before = snapshot(db());
        ChainDatabase again;
        QString error;
        QVERIFY2(again.openFromSettings(&error), qPrintable(error));
        QVERIFY(!again.wroteDefaultClerk());
        QCOMPARE(snapshot(again.db()), before);

        // The same place given again is taken as it is, not made anew.
        ChainDatabase third;
        bool created = true;
        if (engine == QLatin1String("sqlite"))
            QVERIFY2(third.useFolder(m_location, &error, &created), qPrintable(error));
        else
            QVERIFY2(third.useServer(PostgresAddress::fromUrl(m_location), &error, &created), qPrintable(error));
        QVERIFY(!created);
        QCOMPARE(snapshot(third.db()), before);
    }

    // Places that cannot be used leave the database in use and the settings
    // as they were.
    void unusablePlaces() {
        if (!newChain(QStringLiteral("sqlite")))
            return;
        const QString base = SuiteSettings::value(QStringLiteral("BasePath")).toString();
        const QString shown = m_chain->shownLocation();
        auto refusedFolder = [&](const QString& where, const char* says) {
            QString error;
            QVERIFY(!m_chain->useFolder(where, &error));
            QVERIFY2(error.contains(QString::fromUtf8(says)), qPrintable(error));
            QCOMPARE(SuiteSettings::value(QStringLiteral("BasePath")).toString(), base);
            QCOMPARE(m_chain->shownLocation(), shown);
            QVERIFY(m_chain->isOpen());
        };
        refusedFolder(QStringLiteral("  "), "Изберете папка");
        const QString file = m_dir->filePath(QStringLiteral("a-file"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        refusedFolder(file, "не папка");
        // A database file that is not the suite's whole database.
        const QString partial = m_dir->filePath(QStringLiteral("partial"));
        {
            QDir().mkpath(partial);
            Database other;
            QString error;
            QVERIFY(other.open(partial, &error, true));
            other.exec(QStringLiteral("CREATE TABLE Shops (ID INTEGER)"));
        }
        refusedFolder(partial, "не е пълна");
        if (::geteuid() != 0) {
            const QString locked = m_dir->filePath(QStringLiteral("locked"));
            QDir().mkpath(locked);
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
            refusedFolder(locked + QStringLiteral("/inside"), "не може");
        }

        // Servers that are not there, or not fully the suite's.
        ChainDatabase::ServerTest t = ChainDatabase::testServer(
            {QStringLiteral("127.0.0.1"), 1, QStringLiteral("x"), QStringLiteral("u"), QStringLiteral("p")});
        QCOMPARE(t.content, ChainDatabase::Content::Unreachable);
        QVERIFY(t.message.startsWith(QStringLiteral("Няма връзка със сървъра")));
        QString error;
        QVERIFY(!m_chain->useServer({QStringLiteral("127.0.0.1"), 1, QStringLiteral("x"), QStringLiteral("u"), {}},
                                    &error));
        QCOMPARE(SuiteSettings::value(QStringLiteral("BasePath")).toString(), base);
        QVERIFY(m_chain->isOpen());
        QString why;
        const QString pg = testenv::freshPgDatabase(&why);
        if (pg.isEmpty())
            return;
        const PostgresAddress address = PostgresAddress::fromUrl(pg);
        QCOMPARE(ChainDatabase::testServer(address).content, ChainDatabase::Content::Empty);
        {
            Database other;
            QVERIFY(other.open(pg, &error));
            other.exec(QStringLiteral("CREATE TABLE Shops (ID INTEGER)"));
        }
        t = ChainDatabase::testServer(address);
        QCOMPARE(t.content, ChainDatabase::Content::Incomplete);
        QVERIFY(!m_chain->useServer(address, &error));
        QCOMPARE(SuiteSettings::value(QStringLiteral("BasePath")).toString(), base);
    }

    // The server's address as BasePath holds it: every character of the
    // password survives, and the address shown has none.
    void serverAddress() {
        PostgresAddress a{QStringLiteral("db.shop.local"), 5433, QStringLiteral("верига"), QStringLiteral("a@b"),
                          QStringLiteral("p@ss:w/rd%#?& е")};
        const QString url = a.url();
        QVERIFY(Database::isUrl(url));
        const PostgresAddress back = PostgresAddress::fromUrl(url);
        QCOMPARE(back.host, a.host);
        QCOMPARE(back.port, a.port);
        QCOMPARE(back.database, a.database);
        QCOMPARE(back.user, a.user);
        QCOMPARE(back.password, a.password);
        QVERIFY(!a.shown().contains(QStringLiteral("ss")));
        QVERIFY(a.shown().contains(QStringLiteral("db.shop.local:5433")));

        struct Case {
            const char* field;
            PostgresAddress address;
        };
        const Case cases[] = {
            {"host", {QStringLiteral(" "), 5432, QStringLiteral("d"), QStringLiteral("u"), {}}},
            {"host", {QStringLiteral("a/b"), 5432, QStringLiteral("d"), QStringLiteral("u"), {}}},
            {"port", {QStringLiteral("h"), 0, QStringLiteral("d"), QStringLiteral("u"), {}}},
            {"port", {QStringLiteral("h"), 70000, QStringLiteral("d"), QStringLiteral("u"), {}}},
            {"database", {QStringLiteral("h"), 5432, QStringLiteral(" "), QStringLiteral("u"), {}}},
            {"user", {QStringLiteral("h"), 5432, QStringLiteral("d"), QString(), {}}},
        };
        for (const Case& c : cases) {
            const auto r = c.address.check();
            QVERIFY(r.has_value());
            QCOMPARE(r->field, QLatin1String(c.field));
        }
        QVERIFY(!a.check().has_value());
    }

    // Every refusal: its field, its message, and nothing written.
    void refusals_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("what");   // shop, clerk, firm, delete
        QTest::addColumn<QString>("target"); // new, or which sample row
        QTest::addColumn<QVariantMap>("edited");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("says");
        const QString n = QStringLiteral("new");
        struct Case {
            const char* name;
            QString what, target;
            QVariantMap edited;
            const char* field;
            const char* says;
        };
        const QString longName = QStringLiteral("Битова техника Варна Изток");
        const QList<Case> cases{
            {"shop without name", "shop", n, shopValues(QStringLiteral("  \t ")), "Name", "Въведете името на магазина"},
            {"shop name of another, in other letter case", "shop", n, shopValues(QStringLiteral("ЦЕНТЪР")), "Name",
             "Вече има магазин с име „Център“"},
            {"shop name shown like another's", "shop", n, shopValues(longName), "Name", "първите 20 знака"},
            {"shop renamed to another's name", "shop", "spare", shopValues(QStringLiteral("център")), "Name",
             "Вече има магазин"},
            {"clerk without user name", "clerk", n,
             clerkValues(QStringLiteral(" "), QStringLiteral("Иван"), 1, 0, QStringLiteral("1")), "Nick",
             "Въведете потребителско име"},
            {"clerk user name of 16 characters", "clerk", n,
             clerkValues(QStringLiteral("абвгдежзийклмнop"), QStringLiteral("Иван"), 1, 0, QStringLiteral("1")), "Nick",
             "най-много 15 знака"},
            {"clerk user name taken, other letter case", "clerk", n,
             clerkValues(QStringLiteral("MARIA"), QStringLiteral("Иван"), 1, 0, QStringLiteral("1")), "Nick",
             "Вече има служител с потребителско име „maria“"},
            {"clerk renamed to the administrator's user name", "clerk", "maria",
             clerkValues(QStringLiteral("administrator"), QStringLiteral("Мария"), 1, 0), "Nick", "Вече има служител"},
            {"clerk without full name", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral(" "), 1, 0, QStringLiteral("1")), "Name",
             "Въведете имената"},
            {"new clerk without password", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 0), "Password", "Въведете парола"},
            {"password of 11 characters", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 0, QStringLiteral("12345678901")),
             "Password", "най-много 10 знака"},
            {"passwords differ", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 0, QStringLiteral("1234"),
                         QStringLiteral("1243")),
             "PasswordRepeat", "не съвпадат"},
            {"only the repeat typed", "clerk", "maria",
             clerkValues(QStringLiteral("maria"), QStringLiteral("Мария"), 1, 0, QString(), QStringLiteral("1111")),
             "Password", "Въведете парола"},
            {"password starting with a blank", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 0, QStringLiteral(" 1234")), "Password",
             "интервал"},
            {"password with a tab", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 0, QStringLiteral("12\t34")), "Password",
             "непозволени знаци"},
            {"level the program does not know", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 9, 0, QStringLiteral("1")), "Prefs",
             "Изберете права от списъка"},
            {"shop that does not exist", "clerk", n,
             clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, 999, QStringLiteral("1")), "ShopID",
             "Няма такъв магазин"},
            {"last administrator lowered to sales", "clerk", "admin",
             clerkValues(QStringLiteral("Administrator"), QStringLiteral("Администратор"), 1, 0), "Prefs",
             "поне един активен служител с права „Администратор“"},
            {"last administrator made inactive", "clerk", "admin",
             [] {
                 QVariantMap v = clerkValues(QStringLiteral("Administrator"), QStringLiteral("Администратор"), 4, 0);
                 v.insert(QStringLiteral("Active"), false);
                 return v;
             }(),
             "Active", "поне един активен служител"},
            {"firm without name", "firm", n,
             firmValues(QStringLiteral(""), QStringLiteral("М"), QStringLiteral("А"), false), "Name",
             "Въведете името на фирмата"},
            {"firm without person responsible", "firm", n,
             firmValues(QStringLiteral("Ф"), QStringLiteral(" "), QStringLiteral("А"), false), "MOL", "МОЛ"},
            {"firm without address", "firm", n,
             firmValues(QStringLiteral("Ф"), QStringLiteral("М"), QStringLiteral(""), false), "Adres",
             "Въведете адреса"},
            {"registry code of 5 digits", "firm", n,
             firmValues(QStringLiteral("Ф"), QStringLiteral("М"), QStringLiteral("А"), false, QStringLiteral("12345")),
             "BULSTAT", "9 или 13 цифри"},
            {"registry code with letters", "firm", n,
             firmValues(QStringLiteral("Ф"), QStringLiteral("М"), QStringLiteral("А"), false,
                        QStringLiteral("BG1234567")),
             "BULSTAT", "9 или 13 цифри"},
            {"tax number with letters", "firm", n,
             firmValues(QStringLiteral("Ф"), QStringLiteral("М"), QStringLiteral("А"), false, QString(),
                        QStringLiteral("12a")),
             "DNUM", "цифри"},
            {"active firm made inactive", "firm", "firm",
             firmValues(QStringLiteral("Вемка ООД"), QStringLiteral("Г. Петров"), QStringLiteral("София"), false,
                        QStringLiteral("131234567")),
             "Active", "Точно една фирма трябва да е активна"},
            {"delete a shop holding an appliance",
             "delete",
             "centre",
             {},
             "",
             "не може да бъде изтрит: с него е записан 1 уред"},
            {"delete a shop a clerk belongs to", "delete", "centre", {}, "", "1 служител е към него"},
            {"delete a shop the record of transfers names",
             "delete",
             "centre",
             {},
             "",
             "1 запис за прехвърляне на уред го посочва"},
            {"delete a shop a ledger row names",
             "delete",
             "varna",
             {},
             "",
             "1 ред в касата и счетоводните таблици го посочва"},
        };
        for (const char* engine : {"sqlite", "postgresql"})
            for (const Case& c : cases)
                QTest::newRow(
                    qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(engine), QString::fromUtf8(c.name))))
                    << QString::fromLatin1(engine) << c.what << c.target << c.edited << QString::fromLatin1(c.field)
                    << QString::fromUtf8(c.says);
    }
    void refusals() {
        QFETCH(QString, engine);
        QFETCH(QString, what);
        QFETCH(QString, target);
        QFETCH(QVariantMap, edited);
        QFETCH(QString, field);
        QFETCH(QString, says);
        if (!m_shared.count(engine)) {
            if (!newChain(engine))
                return;
            const Sample sample = fillSample();
            m_shared[engine] = {std::move(m_dir), std::move(m_chain), sample};
        }
        SharedChain& shared = m_shared[engine];
        Database& base = shared.chain->db();
        const Sample& s = shared.sample;
        const QHash<QString, qint64> targets{{QStringLiteral("new"), 0},           {QStringLiteral("spare"), s.spare},
                                             {QStringLiteral("centre"), s.centre}, {QStringLiteral("varna"), s.varna},
                                             {QStringLiteral("maria"), s.maria},   {QStringLiteral("admin"), 1},
                                             {QStringLiteral("firm"), s.firm}};
        const qint64 id = targets.value(target);
        const QStringList before = snapshot(base);
        const int itemsBefore = base.scalar(QStringLiteral("SELECT count(*) FROM resale")).toInt();
        if (what == QLatin1String("delete")) {
            const ShopRules::Removal r = ShopRules(base).remove(id);
            QCOMPARE(r.status, ShopRules::Removal::Status::InUse);
            QVERIFY2(r.message.contains(says), qPrintable(r.message));
        } else {
            SaveOutcome out;
            if (what == QLatin1String("shop"))
                out = ShopRules(base).save(id, id ? rowOf(ShopRules(base).list(), id) : QVariantMap(), edited);
            else if (what == QLatin1String("clerk"))
                out = ClerkRules(base).save(id, id ? rowOf(ClerkRules(base).list(), id) : QVariantMap(), edited);
            else
                out = FirmRules(base).save(id, id ? rowOf(FirmRules(base).list(), id) : QVariantMap(), edited);
            QCOMPARE(out.status, SaveOutcome::Status::Refused);
            QCOMPARE(out.field, field);
            QVERIFY2(out.message.contains(says), qPrintable(out.message));
        }
        QCOMPARE(snapshot(base), before);
        QCOMPARE(base.scalar(QStringLiteral("SELECT count(*) FROM resale")).toInt(), itemsBefore);
    }

    // What a save writes, read back the way the program reads it.
    void savesAsTheProgramReadsThem_data() { addEngineRows(); }
    void savesAsTheProgramReadsThem() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const Sample s = fillSample();
        ShopRules shops(db());
        ClerkRules clerks(db());

        // Shops: new ones active, offered by the program; an inactive or away one is not.
        QVariantMap away = shopValues(QStringLiteral("Склад"));
        away.insert(QStringLiteral("Away"), true);
        const qint64 store = shops.save(0, {}, away).id;
        shops.save(s.spare, rowOf(shops.list(), s.spare), shopValues(QStringLiteral("Резервен"), {}, false));
        QStringList offered;
        for (const ops::Shop& o : ops::offeredShops(db(), 0))
            offered << o.name;
        QCOMPARE(offered, (QStringList{QStringLiteral("Битова техника Варна Приморски"), QStringLiteral("Център")}));
        QVERIFY(store > 0);

        // A clerk's password is stored as typed and the login compares it so.
        const QString pw = QStringLiteral("Пар ола7");
        const SaveOutcome e =
            clerks.save(0, {}, clerkValues(QStringLiteral("елена"), QStringLiteral("Елена Стоянова"), 3, s.varna, pw));
        QVERIFY2(e.ok(), qPrintable(e.message));
        QCOMPARE(e.id, s.maria + 1); // numbered after the highest
        login::Result r = login::check(db(), QStringLiteral("елена"), pw);
        QCOMPARE(r.outcome, login::Outcome::Granted);
        QCOMPARE(r.clerkId, int(e.id));
        QCOMPARE(r.filterShopId, int(s.varna));
        QCOMPARE(login::check(db(), QStringLiteral("елена"), pw.toUpper()).outcome, login::Outcome::NoMatch);
        // The list never carries a password.
        for (const QVariantMap& row : clerks.list())
            QVERIFY(!row.contains(QStringLiteral("Password")));

        // An edit without a password keeps the stored one; a new one typed twice replaces it.
        QVariantMap row = rowOf(clerks.list(), e.id);
        QVERIFY(clerks.save(e.id, row, clerkValues(QStringLiteral("елена"), QStringLiteral("Елена С."), 3, 0)).ok());
        r = login::check(db(), QStringLiteral("елена"), pw);
        QCOMPARE(r.outcome, login::Outcome::Granted);
        QCOMPARE(r.name, QStringLiteral("Елена С."));
        QCOMPARE(r.filterShopId, 0);
        row = rowOf(clerks.list(), e.id);
        QVERIFY(
            clerks
                .save(e.id, row,
                      clerkValues(QStringLiteral("елена"), QStringLiteral("Елена С."), 3, 0, QStringLiteral("нова")))
                .ok());
        QCOMPARE(login::check(db(), QStringLiteral("елена"), pw).outcome, login::Outcome::NoMatch);
        QCOMPARE(login::check(db(), QStringLiteral("елена"), QStringLiteral("нова")).outcome, login::Outcome::Granted);

        // The default password is known to anyone; the set-up tells it is still there.
        QVERIFY(clerks.hasDefaultPassword(1));
        QVERIFY(!clerks.hasDefaultPassword(s.maria));
        QVERIFY(clerks
                    .save(1, rowOf(clerks.list(), 1),
                          clerkValues(QStringLiteral("Administrator"), QStringLiteral("Администратор"), 4, 0,
                                      QStringLiteral("s3cret")))
                    .ok());
        QVERIFY(!clerks.hasDefaultPassword(1));

        // With a second administrator the first may be lowered; not the last.
        const qint64 boss =
            clerks.save(0, {}, clerkValues(QStringLiteral("boss"), QStringLiteral("Шеф"), 4, 0, QStringLiteral("b")))
                .id;
        QVERIFY(clerks
                    .save(1, rowOf(clerks.list(), 1),
                          clerkValues(QStringLiteral("Administrator"), QStringLiteral("Администратор"), 3, 0))
                    .ok());
        QCOMPARE(clerks
                     .save(boss, rowOf(clerks.list(), boss),
                           clerkValues(QStringLiteral("boss"), QStringLiteral("Шеф"), 0, 0))
                     .status,
                 SaveOutcome::Status::Refused);

        // The firm: a new active one takes the mark from the old; exactly one stays active.
        FirmRules firms(db());
        const SaveOutcome f = firms.save(0, {},
                                         firmValues(QStringLiteral("Нова фирма ЕООД"), QStringLiteral("Н. Н."),
                                                    QStringLiteral("Варна"), true, QStringLiteral("1234567890123")));
        QVERIFY2(f.ok(), qPrintable(f.message));
        QCOMPARE(firms.activeCount(), 1);
        QCOMPARE(db().scalar(QStringLiteral("SELECT Name FROM MyInfo WHERE Active = ?"),
                             {engine == QLatin1String("sqlite") ? QVariant(1) : QVariant(true)})
                     .toString(),
                 QStringLiteral("Нова фирма ЕООД"));
        QVERIFY(firms
                    .save(s.oldFirm, rowOf(firms.list(), s.oldFirm),
                          firmValues(QStringLiteral("Стара фирма"), QStringLiteral("И. Иванов"),
                                     QStringLiteral("Пловдив"), true))
                    .ok());
        QCOMPARE(firms.activeCount(), 1);
        QVERIFY(rowOf(firms.list(), s.oldFirm).value(QStringLiteral("Active")).toBool());

        // A shop nothing names goes; one that is used is made inactive instead.
        QCOMPARE(shops.remove(store).status, ShopRules::Removal::Status::Removed);
        QCOMPARE(shops.remove(store).status, ShopRules::Removal::Status::Gone);
        QCOMPARE(shops.remove(s.centre).status, ShopRules::Removal::Status::InUse);
        QVERIFY(shops.deactivate(s.centre).ok());
        QVERIFY(!rowOf(shops.list(), s.centre).value(QStringLiteral("Active")).toBool());
        QCOMPARE(shops.deactivate(store).status, SaveOutcome::Status::Gone);
    }

    // The first clerk added to an empty clerks table comes after the
    // login's default clerk, as if the login had run first.
    void firstClerkAfterTheDefault_data() { addEngineRows(); }
    void firstClerkAfterTheDefault() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        db().exec(QStringLiteral("DELETE FROM CLERKS"));
        const SaveOutcome out = ClerkRules(db()).save(
            0, {}, clerkValues(QStringLiteral("maria"), QStringLiteral("Мария"), 1, 0, QStringLiteral("1")));
        QVERIFY2(out.ok(), qPrintable(out.message));
        QCOMPARE(out.id, 2);
        QCOMPARE(login::check(db(), QStringLiteral("Administrator"), QStringLiteral("vemka")).clerkId, 1);
        QCOMPARE(login::check(db(), QStringLiteral("maria"), QStringLiteral("1")).clerkId, 2);
    }

    // Texts are cut to their columns in characters, Cyrillic or not, and a
    // character of two UTF-16 units is never split.
    void textsCutToTheirColumns_data() { addEngineRows(); }
    void textsCutToTheirColumns() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const QString cyr40 = QString(40, QChar(0x0436)); // "ж" x 40
        QString emoji = QString(29, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("bb");
        const SaveOutcome s = ShopRules(db()).save(0, {},
                                                   shopValues(QStringLiteral("  ") + cyr40 + QStringLiteral("\n"),
                                                              QStringLiteral("ул.\tШипка\r\n3") + cyr40 + cyr40));
        QVERIFY2(s.ok(), qPrintable(s.message));
        const QVariantMap shop = rowOf(ShopRules(db()).list(), s.id);
        QCOMPARE(shop.value(QStringLiteral("Name")).toString(), cyr40.left(30));
        const QString address = shop.value(QStringLiteral("Address")).toString();
        QCOMPARE(address.size(), 60);
        QVERIFY(address.startsWith(QStringLiteral("ул. Шипка  3")));
        const SaveOutcome e = ShopRules(db()).save(0, {}, shopValues(emoji));
        QVERIFY2(e.ok(), qPrintable(e.message));
        // Thirty characters, the last one outside the Basic Multilingual Plane and whole.
        QCOMPARE(rowOf(ShopRules(db()).list(), e.id).value(QStringLiteral("Name")).toString(),
                 QString(29, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
        const SaveOutcome c =
            ClerkRules(db()).save(0, {}, clerkValues(QStringLiteral("x"), cyr40, 1, 0, QStringLiteral("1")));
        QVERIFY2(c.ok(), qPrintable(c.message));
        QCOMPARE(rowOf(ClerkRules(db()).list(), c.id).value(QStringLiteral("Name")).toString(), cyr40.left(30));
        QVariantMap firm = firmValues(cyr40, cyr40, cyr40 + cyr40, true);
        firm.insert(QStringLiteral("Info"), cyr40 + cyr40 + cyr40);
        const SaveOutcome f = FirmRules(db()).save(0, {}, firm);
        QVERIFY2(f.ok(), qPrintable(f.message));
        const QVariantMap stored = rowOf(FirmRules(db()).list(), f.id);
        QCOMPARE(stored.value(QStringLiteral("Name")).toString().size(), 30);
        QCOMPARE(stored.value(QStringLiteral("MOL")).toString().size(), 35);
        QCOMPARE(stored.value(QStringLiteral("Adres")).toString().size(), 60);
        QCOMPARE(stored.value(QStringLiteral("Info")).toString().size(), 80);
    }

    // Two administrators on one row: each keeps the other's changes, the
    // later change of one field wins, and each is told what happened.
    void twoAdministrators_data() { addEngineRows(); }
    void twoAdministrators() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const Sample s = fillSample();
        Database other;
        QString error;
        QVERIFY2(other.open(m_location, &error), qPrintable(error));
        ShopRules mine(db()), theirs(other);

        // Both read the shop; they change different fields.
        const QVariantMap seen = rowOf(mine.list(), s.centre);
        const QVariantMap seenThere = rowOf(theirs.list(), s.centre);
        QVariantMap t = seenThere;
        t.insert(QStringLiteral("Address"), QStringLiteral("София, бул. Витоша 1"));
        t.insert(QStringLiteral("ShopPhone"), QStringLiteral("02 111"));
        QVERIFY(theirs.save(s.centre, seenThere, t).ok());
        QVariantMap m = seen;
        m.insert(QStringLiteral("Name"), QStringLiteral("Център - Витоша"));
        m.insert(QStringLiteral("ShopPhone"), QStringLiteral("02 222"));
        const SaveOutcome out = mine.save(s.centre, seen, m);
        QVERIFY(out.ok());
        QCOMPARE(out.keptTheirs, QStringList{QStringLiteral("Адрес")});
        QCOMPARE(out.replacedTheirs, QStringList{QStringLiteral("Телефон")});
        QVERIFY(out.notice().contains(QStringLiteral("друго работно място")));
        const QVariantMap now = rowOf(mine.list(), s.centre);
        QCOMPARE(now.value(QStringLiteral("Name")).toString(), QStringLiteral("Център - Витоша"));
        QCOMPARE(now.value(QStringLiteral("Address")).toString(), QStringLiteral("София, бул. Витоша 1"));
        QCOMPARE(now.value(QStringLiteral("ShopPhone")).toString(), QStringLiteral("02 222"));

        // A save of what nobody changed tells nothing.
        const QVariantMap again = rowOf(mine.list(), s.centre);
        const SaveOutcome quiet = mine.save(s.centre, again, again);
        QVERIFY(quiet.ok());
        QVERIFY(!quiet.changedMeanwhile());

        // The row deleted meanwhile: nothing is written, and it says so.
        const QVariantMap spare = rowOf(mine.list(), s.spare);
        QCOMPARE(theirs.remove(s.spare).status, ShopRules::Removal::Status::Removed);
        const QStringList before = snapshot(db());
        QVariantMap edited = spare;
        edited.insert(QStringLiteral("Name"), QStringLiteral("Резерва"));
        const SaveOutcome gone = mine.save(s.spare, spare, edited);
        QCOMPARE(gone.status, SaveOutcome::Status::Gone);
        QVERIFY(gone.message.contains(QStringLiteral("изтрит от друго работно място")));
        QCOMPARE(snapshot(db()), before);

        // Clerks: one changes the level, the other the name; both stand.
        const QVariantMap clerk = rowOf(ClerkRules(db()).list(), s.maria);
        QVariantMap level = clerk;
        level.insert(QStringLiteral("Prefs"), 3);
        QVERIFY(ClerkRules(other).save(s.maria, clerk, level).ok());
        QVariantMap name = clerk;
        name.insert(QStringLiteral("Name"), QStringLiteral("Мария Петрова"));
        const SaveOutcome both = ClerkRules(db()).save(s.maria, clerk, name);
        QVERIFY(both.ok());
        QCOMPARE(both.keptTheirs, QStringList{QStringLiteral("Права")});
        const login::Result r = login::check(db(), QStringLiteral("maria"), QStringLiteral("1111"));
        QCOMPARE(r.prefs, 3);
        QCOMPARE(r.name, QStringLiteral("Мария Петрова"));

        // Two administrators, each lowering the other: the second is refused.
        const qint64 boss =
            ClerkRules(db())
                .save(0, {}, clerkValues(QStringLiteral("boss"), QStringLiteral("Шеф"), 4, 0, QStringLiteral("b")))
                .id;
        const QVariantMap admin = rowOf(ClerkRules(db()).list(), 1);
        const QVariantMap bossRow = rowOf(ClerkRules(other).list(), boss);
        QVariantMap lower = admin;
        lower.insert(QStringLiteral("Prefs"), 1);
        QVERIFY(ClerkRules(db()).save(1, admin, lower).ok());
        QVariantMap lowerBoss = bossRow;
        lowerBoss.insert(QStringLiteral("Prefs"), 1);
        QCOMPARE(ClerkRules(other).save(boss, bossRow, lowerBoss).status, SaveOutcome::Status::Refused);

        // Two administrators making different firms active: one stays active.
        FirmRules firmsHere(db()), firmsThere(other);
        const qint64 third =
            firmsHere.save(0, {}, firmValues(QStringLiteral("Трета"), QStringLiteral("Т"), QStringLiteral("Т"), false))
                .id;
        const QVariantMap oldSeen = rowOf(firmsHere.list(), s.oldFirm);
        const QVariantMap thirdSeen = rowOf(firmsThere.list(), third);
        QVariantMap a = thirdSeen;
        a.insert(QStringLiteral("Active"), true);
        QVERIFY(firmsThere.save(third, thirdSeen, a).ok());
        QVariantMap b = oldSeen;
        b.insert(QStringLiteral("Active"), true);
        QVERIFY(firmsHere.save(s.oldFirm, oldSeen, b).ok());
        QCOMPARE(firmsHere.activeCount(), 1);
        QVERIFY(rowOf(firmsHere.list(), s.oldFirm).value(QStringLiteral("Active")).toBool());
        other.close();
    }

    // A clerk taking in an appliance into a shop while an administrator
    // deletes that shop: the delete waits for the intake and then refuses.
    void clerkWorkingMeanwhile_data() { addEngineRows(); }
    void clerkWorkingMeanwhile() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const Sample s = fillSample();
        Database clerk;
        QString error;
        QVERIFY2(clerk.open(m_location, &error), qPrintable(error));
        auto tx = std::make_unique<Transaction>(clerk);
        clerk.insert(QStringLiteral("resale"), {{QStringLiteral("DlvNames"), QStringLiteral("Иван")},
                                                {QStringLiteral("Art"), QStringLiteral("Хладилник")},
                                                {QStringLiteral("DogNo"), 1},
                                                {QStringLiteral("Payed"), false},
                                                {QStringLiteral("Saled"), false},
                                                {QStringLiteral("IdShop"), s.spare}});
        ShopRules::Removal removal;
        Workstation admin(m_location, [&](Database& db) { removal = ShopRules(db).remove(s.spare); });
        admin.start();
        QVERIFY(!admin.wait(400)); // waits for the clerk's transaction
        tx->commit();
        tx.reset();
        QVERIFY(admin.wait(10000));
        QVERIFY2(admin.error.isEmpty(), qPrintable(admin.error));
        QCOMPARE(removal.status, ShopRules::Removal::Status::InUse);
        QCOMPARE(removal.usage.items, 1);
        QCOMPARE(db().scalar(QStringLiteral("SELECT count(*) FROM Shops WHERE ID = ?"), {s.spare}).toInt(), 1);
        clerk.close();
    }

    // An engine failure at any statement of a save leaves everything as it
    // was; the same save then goes through once.
    void everySaveIsOneTransaction_data() { addEngineRows(); }
    void everySaveIsOneTransaction() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const Sample s = fillSample();
        // Each step reads what it needs first, then saves while statements fail.
        using Save = std::function<bool()>;
        struct Step {
            const char* name;
            std::function<Save()> prepare;
        };
        const QList<Step> steps{
            {"new shop",
             [&]() -> Save {
                 return [&] { return ShopRules(db()).save(0, {}, shopValues(QStringLiteral("Нов"))).ok(); };
             }},
            {"edited shop",
             [&]() -> Save {
                 const QVariantMap r = rowOf(ShopRules(db()).list(), s.varna);
                 QVariantMap e = r;
                 e.insert(QStringLiteral("Address"), QStringLiteral("Варна"));
                 return [&, r, e] { return ShopRules(db()).save(s.varna, r, e).ok(); };
             }},
            {"deleted shop",
             [&]() -> Save {
                 return [&] { return ShopRules(db()).remove(s.spare).status == ShopRules::Removal::Status::Removed; };
             }},
            {"first clerk of an empty table",
             [&]() -> Save {
                 return [&] {
                     return ClerkRules(db())
                         .save(0, {},
                               clerkValues(QStringLiteral("ivan"), QStringLiteral("Иван"), 1, s.centre,
                                           QStringLiteral("1")))
                         .ok();
                 };
             }},
            {"edited clerk",
             [&]() -> Save {
                 const QVariantMap r = rowOf(ClerkRules(db()).list(), 1);
                 return [&, r] {
                     return ClerkRules(db())
                         .save(1, r,
                               clerkValues(QStringLiteral("Administrator"), QStringLiteral("Шеф"), 4, 0,
                                           QStringLiteral("pw")))
                         .ok();
                 };
             }},
            {"new active firm",
             [&]() -> Save {
                 return [&] {
                     return FirmRules(db())
                         .save(0, {}, firmValues(QStringLiteral("Ф"), QStringLiteral("М"), QStringLiteral("А"), true))
                         .ok();
                 };
             }},
        };
        db().exec(QStringLiteral("DELETE FROM CLERKS")); // the clerk step writes the default clerk too
        for (const Step& step : steps) {
            int failing = 1;
            for (;; ++failing) {
                const QStringList before = snapshot(db());
                const Save save = step.prepare();
                Database::failStatement(failing);
                const bool ok = save();
                const bool injected = Database::statementsRun() >= failing;
                Database::failStatement(0);
                if (!injected) {
                    QVERIFY2(ok, step.name);
                    break;
                }
                QVERIFY2(!ok, qPrintable(QStringLiteral("%1: failure at statement %2 reported as done")
                                             .arg(QString::fromUtf8(step.name))
                                             .arg(failing)));
                QVERIFY2(snapshot(db()) == before, qPrintable(QStringLiteral("%1: statement %2 left a change")
                                                                  .arg(QString::fromUtf8(step.name))
                                                                  .arg(failing)));
                QVERIFY(failing < 40);
            }
            QVERIFY2(failing > 1, step.name);
        }
        QCOMPARE(FirmRules(db()).activeCount(), 1);
        QCOMPARE(db().scalar(QStringLiteral("SELECT count(*) FROM CLERKS")).toInt(), 2);
    }

    // The lists: rights in words, usage of the kinds after real bookings.
    void listsAndKinds_data() { addEngineRows(); }
    void listsAndKinds() {
        QFETCH(QString, engine);
        if (!newChain(engine))
            return;
        const Sample s = fillSample();
        QCOMPARE(RightsLevels::words(4), QStringLiteral("Администратор"));
        QCOMPARE(RightsLevels::words(1), QStringLiteral("Продажби"));
        QCOMPARE(RightsLevels::words(3), QStringLiteral("Продажби и доставка"));
        QVERIFY(RightsLevels::words(0).contains(QStringLiteral("Без достъп")));
        QVERIFY(RightsLevels::words(2).contains(QStringLiteral("без достъп")));
        QVERIFY(RightsLevels::words(7).contains(QStringLiteral("7")));
        QVERIFY(
            RightsLevels::access(1, 3, QStringLiteral("Център")).contains(QStringLiteral("само в магазин „Център“")));
        QVERIFY(RightsLevels::access(4, 3, QStringLiteral("Център")).contains(QStringLiteral("всички активни")));
        QVERIFY(RightsLevels::access(2, 3, QStringLiteral("Център")).contains(QStringLiteral("Няма достъп")));

        RecordTableModel model(QStringLiteral("ID"),
                               {{QStringLiteral("Права"), [](const QVariantMap& r) {
                                     return RightsLevels::words(r.value(QStringLiteral("Prefs")).toInt());
                                 }}});
        model.setRows(ClerkRules(db()).list());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.text(model.rowOf(qint64(1)), 0), QStringLiteral("Администратор"));
        QCOMPARE(model.text(model.rowOf(s.maria), 0), QStringLiteral("Продажби"));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Права"));

        KindUsage kinds(db());
        QCOMPARE(kinds.income().size(), 0);
        const qint64 item = db().scalar(QStringLiteral("SELECT max(Id) FROM resale")).toLongLong();
        ops::SaleInput sale;
        sale.id = item;
        sale.price = 15000;
        sale.names = QStringLiteral("Купувач");
        sale.adres = QStringLiteral("София");
        QVERIFY(ops::sale(ops::Context{db(), 1}, sale).ok());
        QVERIFY(ops::payout(ops::Context{db(), 1}, item, 10000).ok());
        db().insert(QStringLiteral("Expenses"), {{QStringLiteral("TypeID"), 99}, {QStringLiteral("Sum"), 1.0}});
        const QList<KindUsage::Kind> income = kinds.income();
        QCOMPARE(income.size(), 1);
        QCOMPARE(income.first().name, ops::saleKind());
        QCOMPARE(income.first().entries, 1);
        QVERIFY(income.first().program);
        const QList<KindUsage::Kind> expense = kinds.expense();
        QCOMPARE(expense.size(), 2);
        QCOMPARE(expense.first().name, ops::payoutKind());
        QCOMPARE(expense.first().entries, 1);
        QCOMPARE(expense.last().id, 0); // the entry of a kind not in the list
        QCOMPARE(expense.last().entries, 1);
    }

    // The command line's database folder and settings are private too.
    void privateFilesOfTheCommandLine() {
        QFile::remove(SuiteSettings::location());
        // A settings store that exists open to all is closed before BasePath goes in.
        SuiteSettings::create();
        QFile::setPermissions(SuiteSettings::location(),
                              QFile::permissions(SuiteSettings::location()) | QFile::ReadOther);
        QVERIFY(!privatefiles::isPrivate(SuiteSettings::location()));
        suite::writeSettings(QStringLiteral("postgresql://u:secret@h/d"));
        QVERIFY(privatefiles::isPrivate(SuiteSettings::location()));
        // The login writes the user name later: the file stays private.
        SuiteSettings::setValue(QStringLiteral("User"), QStringLiteral("maria"));
        QVERIFY(privatefiles::isPrivate(SuiteSettings::location()));

        auto dir = testenv::tempDir();
        const QString shop = dir->filePath(QStringLiteral("a/shop"));
        Database db;
        QString error;
        QVERIFY2(suite::createDatabase(db, shop, &error), qPrintable(error));
        QVERIFY(privatefiles::isPrivate(shop));
        QVERIFY(privatefiles::isPrivate(QDir(shop).filePath(Database::fileName())));
        db.close();
        // An existing folder keeps its permissions; the new database file is private.
        const QString open = dir->filePath(QStringLiteral("open"));
        QDir().mkpath(open);
        QFile::setPermissions(open, QFile::permissions(open) | QFile::ReadOther | QFile::ExeOther);
        QVERIFY2(suite::createDatabase(db, open, &error), qPrintable(error));
        QVERIFY(!privatefiles::isPrivate(open));
        QVERIFY(privatefiles::isPrivate(QDir(open).filePath(Database::fileName())));
    }
};

QTEST_GUILESS_MAIN(TestChainSetupRules)
#include "TestChainSetupRules.moc"
