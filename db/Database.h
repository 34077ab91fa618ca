#pragma once

#include "db/DbError.h"
#include "db/Engine.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTime>
#include <QVariant>

namespace schema {
struct Table;
}

// One connection to the shop database: a directory holding the embedded
// SQLite database file, or a postgresql:// URL. Every statement goes through
// exec() with bound parameters; failures throw DbError with the engine's text.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Name of the database file inside a database directory.
    static QString fileName() { return QStringLiteral("kalvina.db"); }
    static bool isUrl(const QString& location);

    // Opens the database. A directory must exist and hold the database file
    // unless create is true (the suite stand-in creates new databases).
    bool open(const QString& location, QString* error, bool create = false);
    void close();
    bool isOpen() const;

    Engine engine() const { return m_engine; }
    QString location() const { return m_location; }
    // Engine, journal mode and place, for the about window.
    QString describe() const;
    QSqlDatabase sql() const;

    // One statement with bound parameters ("?" placeholders).
    QSqlQuery exec(const QString& statement, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant when no row.
    QVariant scalar(const QString& statement, const QVariantList& params = {});

    // Table-aware writes: columns by name in any letter case, text cut to the
    // column's length in characters, dates and times stored as such. insert()
    // returns the new autoincrement value (or -1 when the table has none).
    qint64 insert(const QString& table, const QVariantMap& values);
    int update(const QString& table, const QVariantMap& values, const QString& where, const QVariantList& whereParams);

    // Values for comparisons with date and time columns.
    QVariant dateParam(const QDate& d) const;
    QVariant timeParam(const QTime& t) const;
    static QDate toDate(const QVariant& v);
    static QTime toTime(const QVariant& v);

    // Whether the table (or index) exists, from the engine's catalogue, whatever
    // rights this connection's user has on it.
    bool hasTable(const QString& table);
    bool hasIndex(const QString& index);
    // Whether the table exists and this connection's user may add rows to it.
    bool mayInsertInto(const QString& table);
    QStringList columns(const QString& table);
    // Empty when every table of the suite and all declared columns exist;
    // otherwise a description of what is missing.
    QString checkSuiteSchema();
    // Creates the table with its indexes (the caller's transaction, if any).
    void createTable(const schema::Table& table);
    // Creates those of the table's indexes that the catalogue lacks; an
    // index that is there is left alone, so that a user who does not own
    // the table never asks for what only its owner may do.
    void ensureIndexes(const schema::Table& table);

    // Serialises writers on one key until the current transaction ends (the
    // embedded engine already serialises whole write transactions).
    void lockKey(const QString& key);

    // --- transactions (use Transaction) ---
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    // --- fault injection, for tests only: the n-th statement from now fails
    // (n = 1 is the next one); 0 switches it off.
    static void failStatement(int n);
    static int statementsRun();
    // How long the embedded engine waits for another workstation's write
    // before it gives up (for connections opened afterwards).
    static void setBusyTimeout(int ms);

private:
    QSqlQuery run(const QString& statement, const QVariantList& params);
    bool connectionAlive();
    void reconnect();
    QVariant bindable(const schema::Table& table, const QString& column, const QVariant& value) const;

    QString m_name;
    QString m_location;
    QString m_openLocation; // as given to open(), password included, for reconnects
    Engine m_engine = Engine::SQLite;
    QString m_journal;
    int m_depth = 0;
};

// Commits when commit() is called; rolls back when it goes out of scope
// without commit (an exception, an early return).
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};
