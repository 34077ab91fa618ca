#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class Database;
class ProgramSettings;

// Backups of the shop database that are known to restore.
//
// Embedded engine: a consistent copy taken with SQLite's online backup while
// other workstations keep booking. The copy is read from one read
// transaction of the source (a snapshot in write-ahead-log mode), and the
// source's row counts and money sums are read inside that same transaction,
// so that the copy is compared with the source as of the moment it was
// taken, whatever is booked meanwhile. The copy is written under a
// temporary name, checked (integrity, counts, sums) from the file itself,
// and only then given its final name; it carries its own figures in the
// program's table "resale_backup", by which a restore knows it as one of
// ours and checks it again.
//
// PostgreSQL: pg_dump in its custom format when it is installed here;
// otherwise the server's own backup, with the command to use.
namespace backup {

// What a copy must agree with its source on: the rows of every table and
// the sum, in stotinki, of every column of floats (the money columns).
struct Figures {
    QMap<QString, qint64> rows;  // table -> rows
    QMap<QString, qint64> cents; // "table.column" -> sum in stotinki
    bool operator==(const Figures& other) const { return rows == other.rows && cents == other.cents; }
    bool operator!=(const Figures& other) const { return !(*this == other); }
    qint64 totalRows() const;
    // Each difference in words ("таблица KASA: 120 реда в архива, 121 в базата").
    QStringList differences(const Figures& source) const;
};

// Where and how many, from the program's own settings (Resale.ini):
// Backup/Folder, Backup/Keep, Backup/Daily.
struct Plan {
    QString folder;
    int keep = 14;
    bool daily = false;

    static QString defaultFolder(); // ~/kalvina-backups
    static constexpr int kDefaultKeep = 14;
    static Plan fromSettings(const ProgramSettings& settings);
};

struct Outcome {
    bool ok = false;
    QString file;     // final path of the copy (empty when none was made)
    QString message;  // for the clerk, in Bulgarian: where it is, or why not
    Figures figures;  // of the copy, equal to the source's at the copy's moment
    QStringList pruned; // older copies removed to keep the last N
    qint64 bytes = 0;
};

// "kalvina-2026-12-11_16-30-05.db" (".dump" for PostgreSQL).
QString fileNameFor(const QDateTime& when, const QString& suffix = QStringLiteral("db"));
// Whether name is one of the names fileNameFor() gives (with either suffix).
bool isBackupName(const QString& name);
// The program's backups in folder with this suffix, oldest first.
QStringList backupsIn(const QString& folder, const QString& suffix = QStringLiteral("db"));
// Removes the oldest of them beyond the newest keep; returns the names removed.
// Files of other names are never touched.
QStringList prune(const QString& folder, int keep, const QString& suffix = QStringLiteral("db"));
// Whether folder holds a backup (either suffix) named with this day.
bool hasBackupOf(const QString& folder, const QDate& day);

// Writes a checked copy of the open embedded database db into folder (made
// when missing), then keeps the newest keep copies there. inSnapshot, when
// given, is called while the copy's snapshot is held, before the pages are
// copied: what it reads through db is what the copy will hold (tests book
// from another process meanwhile and compare).
Outcome backupSqlite(Database& db, const QString& folder, int keep, const QDateTime& when = QDateTime::currentDateTime(),
                     const std::function<void()>& inSnapshot = {});

// The row counts and money sums of an open embedded database, read now.
Figures figuresOf(Database& db);

// What is known of a backup file after checking it: an SQLite database that
// passes integrity_check, carries the program's figures, and agrees with them.
struct Check {
    bool ok = false;
    QString message; // why not, in Bulgarian
    Figures figures;
    QDateTime made;
    QString source;
};
Check checkBackup(const QString& file);

// --- restore ---
enum class RestoreStatus { Done, BadBackup, FolderRefused, Failed };
struct RestoreOutcome {
    RestoreStatus status = RestoreStatus::Failed;
    QString message;
    bool ok() const { return status == RestoreStatus::Done; }
};
// Markers in folder that a running copy holds (its workstations).
QStringList liveMarkers(const QString& folder);
// Restores the checked backup into folder as its database. Refused when the
// folder is the one in use here (folderInUse, e.g. the settings' BasePath),
// when a workstation is connected to it, or when it already holds a
// database: a restore never goes over a database.
RestoreOutcome restore(const QString& file, const QString& folder, const QString& folderInUse);

// --- PostgreSQL ---
struct DumpCommand {
    QString program;
    QStringList arguments;
    QMap<QString, QString> environment; // PGPASSWORD and the like: never on the command line
};
// pg_dump on PATH, or empty.
QString findPgDump();
// pg_dump in custom format of the database at url into file.
DumpCommand pgDumpCommand(const QString& url, const QString& file, const QString& program = QStringLiteral("pg_dump"));
// The message for a server without pg_dump here: the server's own backup,
// and the command to run where the client tools are (the password not in it).
QString serverBackupAdvice(const QString& url);
// Dumps the database at url into folder, lists the dump with pg_restore to
// check it, and keeps the newest keep dumps.
Outcome backupPostgres(const QString& url, const QString& folder, int keep,
                       const QDateTime& when = QDateTime::currentDateTime(), const QString& pgDump = findPgDump());

// Either engine, by the database's location (a folder or a postgresql:// URL):
// the command-line form opens the database itself.
Outcome backupLocation(const QString& location, const QString& folder, int keep);

} // namespace backup
