#include "db/Backup.h"

#include "core/ProgramFiles.h"
#include "core/ProgramSettings.h"
#include "db/ConnectionMarker.h"
#include "db/Database.h"
#include "db/FileSystem.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>
#include <QUrlQuery>

#include <sqlite3.h>

#include <cerrno>
#include <optional>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace backup {

namespace {

const QString kManifest = QStringLiteral("resale_backup");

// --- small pieces over the SQLite C interface ---

QString quoted(const QString& identifier) {
    QString s = identifier;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString errorOf(sqlite3* h) {
    return h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("SQLite");
}

// A statement that is finalised when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* h, const QString& sql) : m_h(h) {
        const QByteArray text = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(h, text.constData(), int(text.size()), &m_st, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_rc == SQLITE_OK || m_rc == SQLITE_ROW || m_rc == SQLITE_DONE; }
    int rc() const { return m_rc; }
    void bind(int i, const QString& v) {
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(m_st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    bool next() {
        if (!m_st)
            return false;
        m_rc = sqlite3_step(m_st);
        return m_rc == SQLITE_ROW;
    }
    QString text(int c) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_st, c)),
                                 sqlite3_column_bytes(m_st, c));
    }
    qint64 integer(int c) const { return sqlite3_column_int64(m_st, c); }

private:
    sqlite3* m_h;
    sqlite3_stmt* m_st = nullptr;
    int m_rc = SQLITE_OK;
};

bool run(sqlite3* h, const QString& sql, QString* error) {
    char* message = nullptr;
    const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        if (error)
            *error = message ? QString::fromUtf8(message) : errorOf(h);
        sqlite3_free(message);
        return false;
    }
    return true;
}

// An own connection to a file; closed when it goes out of scope.
class Handle {
public:
    Handle() = default;
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool open(const QString& path, bool readOnly, QString* error) {
        close();
        // Read-only opens treat the file as unchanging: a backup file has no
        // writers, and no lock or side file is made beside it.
        const QByteArray name = readOnly
                                    ? (QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1"))
                                          .toUtf8()
                                    : QFile::encodeName(path);
        const int flags = readOnly ? (SQLITE_OPEN_READONLY | SQLITE_OPEN_URI) : SQLITE_OPEN_READWRITE;
        const int rc = sqlite3_open_v2(name.constData(), &m_h, flags, nullptr);
        if (rc != SQLITE_OK) {
            if (error)
                *error = errorOf(m_h);
            close();
            return false;
        }
        sqlite3_extended_result_codes(m_h, 1);
        sqlite3_busy_timeout(m_h, 5000);
        // The check walks every index against its table: a page cache of
        // 64 MB keeps a large database's index pages from being read again
        // and again.
        sqlite3_exec(m_h, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        return true;
    }
    void close() {
        if (m_h)
            sqlite3_close_v2(m_h);
        m_h = nullptr;
    }
    sqlite3* get() const { return m_h; }

private:
    sqlite3* m_h = nullptr;
};

sqlite3* handleOf(Database& db) {
    const QVariant h = db.sql().driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(h.constData());
}

bool isMoneyType(const QString& declared) {
    // SQLite's own rule for the REAL affinity: the money columns are REAL.
    const QString t = declared.toUpper();
    return t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB"));
}

std::optional<Figures> figuresOn(sqlite3* h, QString* error) {
    Figures f;
    QStringList tables;
    {
        Statement q(h, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                      "'sqlite\\_%' ESCAPE '\\' AND name <> ? COLLATE NOCASE ORDER BY name"));
        if (!q.ok()) {
            if (error)
                *error = errorOf(h);
            return std::nullopt;
        }
        q.bind(1, kManifest);
        while (q.next())
            tables << q.text(0);
        if (q.rc() != SQLITE_DONE) {
            if (error)
                *error = errorOf(h);
            return std::nullopt;
        }
    }
    for (const QString& table : tables) {
        QStringList money;
        {
            Statement c(h, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
            c.bind(1, table);
            while (c.next())
                if (isMoneyType(c.text(1)))
                    money << c.text(0);
            if (c.rc() != SQLITE_DONE) {
                if (error)
                    *error = errorOf(h);
                return std::nullopt;
            }
        }
        QStringList columns{QStringLiteral("count(*)")};
        for (const QString& m : money)
            columns << QStringLiteral("coalesce(sum(cast(round(%1 * 100) AS INTEGER)), 0)").arg(quoted(m));
        Statement q(h, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), quoted(table)));
        if (!q.ok() || !q.next()) {
            if (error)
                *error = errorOf(h);
            return std::nullopt;
        }
        f.rows.insert(table, q.integer(0));
        for (int i = 0; i < money.size(); ++i)
            f.cents.insert(table + QLatin1Char('.') + money.at(i), q.integer(i + 1));
    }
    return f;
}

// integrity_check, or quick_check (the same without matching every index
// entry to its row) for a file copied page by page from one just checked.
QString integrityOf(sqlite3* h, bool quick = false) {
    Statement q(h, quick ? QStringLiteral("PRAGMA quick_check(20)") : QStringLiteral("PRAGMA integrity_check(20)"));
    if (!q.ok())
        return errorOf(h);
    QStringList lines;
    while (q.next())
        lines << q.text(0);
    if (q.rc() != SQLITE_DONE)
        return errorOf(h);
    if (lines == QStringList{QStringLiteral("ok")})
        return {};
    return lines.join(QStringLiteral("; "));
}

bool writeManifest(sqlite3* h, const Figures& f, const QString& source, const QDateTime& when, QString* error) {
    if (!run(h, QStringLiteral("BEGIN IMMEDIATE"), error))
        return false;
    auto fail = [&] {
        if (error && error->isEmpty())
            *error = errorOf(h);
        run(h, QStringLiteral("ROLLBACK"), nullptr);
        return false;
    };
    if (!run(h, QStringLiteral("CREATE TABLE %1 (Key TEXT PRIMARY KEY, Value TEXT)").arg(kManifest), error))
        return fail();
    QList<std::pair<QString, QString>> rows{{QStringLiteral("made"), when.toString(Qt::ISODate)},
                                            {QStringLiteral("source"), source},
                                            {QStringLiteral("version"), programfiles::version()}};
    for (auto it = f.rows.cbegin(); it != f.rows.cend(); ++it)
        rows.append({QStringLiteral("rows:") + it.key(), QString::number(it.value())});
    for (auto it = f.cents.cbegin(); it != f.cents.cend(); ++it)
        rows.append({QStringLiteral("cents:") + it.key(), QString::number(it.value())});
    for (const auto& [key, value] : rows) {
        Statement q(h, QStringLiteral("INSERT INTO %1 (Key, Value) VALUES (?, ?)").arg(kManifest));
        q.bind(1, key);
        q.bind(2, value);
        if (!q.ok() || (q.next(), q.rc() != SQLITE_DONE))
            return fail();
    }
    if (!run(h, QStringLiteral("COMMIT"), error))
        return fail();
    return true;
}

struct Manifest {
    bool present = false;
    Figures figures;
    QDateTime made;
    QString source;
};

Manifest readManifest(sqlite3* h) {
    Manifest m;
    Statement q(h, QStringLiteral("SELECT Key, Value FROM %1").arg(kManifest));
    if (!q.ok())
        return m;
    while (q.next()) {
        const QString key = q.text(0), value = q.text(1);
        if (key.startsWith(QLatin1String("rows:")))
            m.figures.rows.insert(key.mid(5), value.toLongLong());
        else if (key.startsWith(QLatin1String("cents:")))
            m.figures.cents.insert(key.mid(6), value.toLongLong());
        else if (key == QLatin1String("made"))
            m.made = QDateTime::fromString(value, Qt::ISODate);
        else if (key == QLatin1String("source"))
            m.source = value;
    }
    m.present = q.rc() == SQLITE_DONE && m.made.isValid() && !m.figures.rows.isEmpty();
    return m;
}

// Whether the engine's failure is the disk (or the file size limit) running out.
bool diskFull(int rc, sqlite3* h) {
    if ((rc & 0xff) == SQLITE_FULL)
        return true;
    const int e = h ? sqlite3_system_errno(h) : 0;
#ifdef EDQUOT
    if (e == EDQUOT)
        return true;
#endif
    return e == ENOSPC || e == EFBIG;
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

QString diskFullText(const QString& folder) {
    return QStringLiteral("Няма достатъчно място на диска с папката за архиви %1. Архивът не е направен; "
                          "освободете място или изберете друга папка.")
        .arg(native(folder));
}

QString notWritableText(const QString& folder, const QString& why) {
    return QStringLiteral("В папката за архиви %1 не може да се записва (%2). Архивът не е направен.")
        .arg(native(folder), why);
}

// Makes folder (open to its owner alone) when it is missing.
bool makeFolder(const QString& folder, QString* why) {
    const QFileInfo fi(folder);
    if (fi.exists()) {
        if (!fi.isDir()) {
            *why = QStringLiteral("това не е папка");
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(folder)) {
        *why = QStringLiteral("папката не може да бъде създадена");
        return false;
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

// Creates path empty and private; false when it exists or cannot be made.
bool createPrivateFile(const QString& path, QString* why) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *why = f.errorString();
        return false;
    }
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

// The rename is on disk before the copy is called done.
void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// A name that no file in folder has yet: the second's name, then -2, -3, ...
QString freeName(const QString& folder, const QDateTime& when, const QString& suffix) {
    const QString first = fileNameFor(when, suffix);
    if (!QFileInfo::exists(QDir(folder).filePath(first)))
        return first;
    const QString stem = first.left(first.size() - suffix.size() - 1);
    for (int n = 2;; ++n) {
        const QString name = QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo::exists(QDir(folder).filePath(name)))
            return name;
    }
}

const QRegularExpression& namePattern() {
    static const QRegularExpression re(
        QStringLiteral("^kalvina-(\\d{4}-\\d{2}-\\d{2})_(\\d{2}-\\d{2}-\\d{2})(?:-(\\d+))?\\.(db|dump)$"));
    return re;
}

QString bytesText(qint64 bytes) {
    if (bytes >= 10 * 1024 * 1024)
        return QStringLiteral("%1 MB").arg(bytes / (1024 * 1024));
    return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

QString prunedText(const QStringList& pruned, int keep) {
    if (pruned.isEmpty())
        return QStringLiteral("Пазят се последните %1 архива.").arg(keep);
    return QStringLiteral("Пазят се последните %1 архива; по-старите (%2) са изтрити.").arg(keep).arg(pruned.size());
}

// Removes a file made on the way, whatever happened.
class Scratch {
public:
    explicit Scratch(QString path) : m_path(std::move(path)) {}
    ~Scratch() {
        if (m_path.isEmpty())
            return;
        // With whatever the engine left beside it after a failed write.
        for (const QString& side : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(m_path + side);
    }
    void keep() { m_path.clear(); }

private:
    QString m_path;
};

} // namespace

// --- figures ---

qint64 Figures::totalRows() const {
    qint64 n = 0;
    for (qint64 r : rows)
        n += r;
    return n;
}

QStringList Figures::differences(const Figures& source) const {
    QStringList out;
    QStringList tables = rows.keys() + source.rows.keys();
    tables.removeDuplicates();
    tables.sort(Qt::CaseInsensitive);
    for (const QString& t : tables) {
        if (!rows.contains(t))
            out << QStringLiteral("таблица %1 липсва в архива").arg(t);
        else if (!source.rows.contains(t))
            out << QStringLiteral("таблица %1 е в архива, но не и в базата").arg(t);
        else if (rows.value(t) != source.rows.value(t))
            out << QStringLiteral("таблица %1: %2 реда в архива, %3 в базата")
                       .arg(t)
                       .arg(rows.value(t))
                       .arg(source.rows.value(t));
    }
    QStringList columns = cents.keys() + source.cents.keys();
    columns.removeDuplicates();
    columns.sort(Qt::CaseInsensitive);
    for (const QString& c : columns) {
        const qint64 a = cents.value(c), b = source.cents.value(c);
        if (a != b || cents.contains(c) != source.cents.contains(c))
            out << QStringLiteral("сумата на %1: %2 в архива, %3 в базата")
                       .arg(c, QString::number(a / 100.0, 'f', 2), QString::number(b / 100.0, 'f', 2));
    }
    return out;
}

Figures figuresOf(Database& db) {
    sqlite3* h = handleOf(db);
    QString error;
    auto f = h ? figuresOn(h, &error) : std::nullopt;
    return f ? *f : Figures{};
}

// --- plan ---

QString Plan::defaultFolder() {
    return QDir(QDir::homePath()).filePath(QStringLiteral("kalvina-backups"));
}

Plan Plan::fromSettings(const ProgramSettings& settings) {
    Plan p;
    const QString folder = settings.value(QStringLiteral("Backup/Folder")).toString().trimmed();
    p.folder = folder.isEmpty() ? defaultFolder() : folder;
    bool ok = false;
    const int keep = settings.value(QStringLiteral("Backup/Keep"), kDefaultKeep).toInt(&ok);
    p.keep = ok && keep > 0 ? keep : kDefaultKeep;
    const QVariant daily = settings.value(QStringLiteral("Backup/Daily"), false);
    p.daily = daily.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || daily.toInt() == 1;
    return p;
}

// --- names ---

QString fileNameFor(const QDateTime& when, const QString& suffix) {
    return QStringLiteral("kalvina-%1.%2").arg(when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")), suffix);
}

bool isBackupName(const QString& name) {
    return namePattern().match(name).hasMatch();
}

QStringList backupsIn(const QString& folder, const QString& suffix) {
    struct Entry {
        QString stamp;
        int n;
        QString name;
    };
    QList<Entry> found;
    const QStringList names = QDir(folder).entryList({QStringLiteral("kalvina-*.") + suffix}, QDir::Files);
    for (const QString& name : names) {
        const auto m = namePattern().match(name);
        if (m.hasMatch() && m.captured(4) == suffix)
            found.append({m.captured(1) + m.captured(2), m.captured(3).isEmpty() ? 1 : m.captured(3).toInt(), name});
    }
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return a.stamp != b.stamp ? a.stamp < b.stamp : a.n < b.n; });
    QStringList out;
    for (const Entry& e : found)
        out << e.name;
    return out;
}

QStringList prune(const QString& folder, int keep, const QString& suffix) {
    QStringList removed;
    if (keep < 1)
        return removed;
    const QStringList all = backupsIn(folder, suffix);
    for (int i = 0; i + keep < all.size(); ++i)
        if (QFile::remove(QDir(folder).filePath(all.at(i))))
            removed << all.at(i);
    return removed;
}

bool hasBackupOf(const QString& folder, const QDate& day) {
    const QString stamp = day.toString(QStringLiteral("yyyy-MM-dd"));
    for (const QString& suffix : {QStringLiteral("db"), QStringLiteral("dump")})
        for (const QString& name : backupsIn(folder, suffix))
            if (name.mid(8, 10) == stamp)
                return true;
    return false;
}

// --- the embedded engine's copy ---

Outcome backupSqlite(Database& db, const QString& folderIn, int keep, const QDateTime& when,
                     const std::function<void()>& inSnapshot) {
    Outcome out;
    const QString folder = QDir(folderIn).absolutePath();
    sqlite3* src = handleOf(db);
    if (!src || !db.isOpen()) {
        out.message = QStringLiteral("Базата данни не е отворена; архивът не е направен.");
        return out;
    }
    if (db.inTransaction()) {
        out.message = QStringLiteral("Архивът не може да се направи по време на операция; опитайте отново.");
        return out;
    }
    QString why;
    if (!makeFolder(folder, &why)) {
        out.message = notWritableText(folder, why);
        return out;
    }

    // The copy is as big as the pages in use; the check needs none beyond.
    qint64 size = 0;
    {
        Statement q(src, QStringLiteral("SELECT page_count * page_size FROM pragma_page_count, pragma_page_size"));
        if (q.next())
            size = q.integer(0);
    }
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < size + 1024 * 1024) {
        out.message = diskFullText(folder);
        return out;
    }

    const QString name = freeName(folder, when, QStringLiteral("db"));
    const QString finalPath = QDir(folder).filePath(name);
    const QString temp = QDir(folder).filePath(QLatin1Char('.') + name + QStringLiteral(".part"));
    if (!createPrivateFile(temp, &why)) {
        out.message = notWritableText(folder, why);
        return out;
    }
    Scratch scratch(temp);

    Figures source;
    {
        Handle dest;
        if (!dest.open(temp, false, &why)) {
            out.message = notWritableText(folder, why);
            return out;
        }
        // One read transaction of the source: its figures and its pages are
        // of the same moment, while other workstations go on writing.
        if (!run(src, QStringLiteral("BEGIN"), &why)) {
            out.message = QStringLiteral("Базата данни не може да бъде прочетена: %1").arg(why);
            return out;
        }
        struct EndRead {
            sqlite3* h;
            ~EndRead() { run(h, QStringLiteral("ROLLBACK"), nullptr); }
        } endRead{src};
        const auto figures = figuresOn(src, &why);
        if (!figures) {
            out.message = QStringLiteral("Базата данни не може да бъде прочетена: %1").arg(why);
            return out;
        }
        source = *figures;
        if (inSnapshot)
            inSnapshot();
        sqlite3_backup* b = sqlite3_backup_init(dest.get(), "main", src, "main");
        if (!b) {
            const int rc = sqlite3_errcode(dest.get());
            out.message = diskFull(rc, dest.get()) ? diskFullText(folder) : notWritableText(folder, errorOf(dest.get()));
            return out;
        }
        int rc = sqlite3_backup_step(b, -1);
        const int finish = sqlite3_backup_finish(b);
        if (rc == SQLITE_DONE)
            rc = finish;
        if (rc != SQLITE_OK && rc != SQLITE_DONE) {
            out.message = diskFull(rc, dest.get()) ? diskFullText(folder)
                                                   : QStringLiteral("Архивът не е направен: %1").arg(errorOf(dest.get()));
            return out;
        }
        // A self-contained file: no write-ahead log beside it.
        if (!run(dest.get(), QStringLiteral("PRAGMA journal_mode=DELETE"), &why) ||
            !run(dest.get(), QStringLiteral("PRAGMA synchronous=FULL"), &why) ||
            !writeManifest(dest.get(), source, db.location(), when, &why)) {
            out.message = diskFull(sqlite3_errcode(dest.get()), dest.get())
                              ? diskFullText(folder)
                              : QStringLiteral("Архивът не е направен: %1").arg(why);
            return out;
        }
    }

    // Checked from the file as it lies on the disk.
    const Check check = checkBackup(temp);
    if (!check.ok) {
        out.message = QStringLiteral("Копието не издържа проверката и е изтрито: %1").arg(check.message);
        return out;
    }
    if (check.figures != source) {
        out.message = QStringLiteral("Копието не съвпада с базата и е изтрито: %1")
                          .arg(check.figures.differences(source).join(QStringLiteral("; ")));
        return out;
    }
    if (!QFile::rename(temp, finalPath)) {
        out.message = notWritableText(folder, QStringLiteral("файлът %1 не може да бъде преименуван").arg(name));
        return out;
    }
    scratch.keep();
    syncFolder(folder);

    out.ok = true;
    out.file = finalPath;
    out.figures = source;
    out.bytes = QFileInfo(finalPath).size();
    out.pruned = prune(folder, keep, QStringLiteral("db"));
    out.message = QStringLiteral("Архивът на базата данни е записан в:\n%1\n\n"
                                 "Проверен: редовете (%2 в %3 таблици) и сумите на паричните колони съвпадат с базата "
                                 "към момента на копирането.\nРазмер: %4. %5")
                      .arg(native(finalPath))
                      .arg(source.totalRows())
                      .arg(source.rows.size())
                      .arg(bytesText(out.bytes), prunedText(out.pruned, keep));
    return out;
}

Check checkBackup(const QString& file) {
    Check c;
    const QFileInfo fi(file);
    if (!fi.exists() || !fi.isFile()) {
        c.message = QStringLiteral("Файлът %1 не съществува.").arg(native(file));
        return c;
    }
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            c.message = QStringLiteral("Файлът %1 не може да бъде прочетен: %2").arg(native(file), f.errorString());
            return c;
        }
        const QByteArray head = f.read(16);
        if (head.startsWith("PGDMP")) {
            c.message = QStringLiteral("Файлът %1 е архив на сървъра PostgreSQL (pg_dump): той се възстановява с "
                                       "pg_restore в нова, празна база (pg_restore -d <нова база> %1).")
                            .arg(native(file));
            return c;
        }
        if (head != QByteArray("SQLite format 3\0", 16)) {
            c.message = QStringLiteral("Файлът %1 не е архив на базата данни (не е база SQLite).").arg(native(file));
            return c;
        }
    }
    Handle h;
    QString why;
    if (!h.open(file, true, &why)) {
        c.message = QStringLiteral("Файлът %1 не може да бъде отворен: %2").arg(native(file), why);
        return c;
    }
    const QString integrity = integrityOf(h.get());
    if (!integrity.isEmpty()) {
        c.message = QStringLiteral("Архивът %1 е повреден (проверката на целостта: %2).").arg(native(file), integrity);
        return c;
    }
    const Manifest m = readManifest(h.get());
    if (!m.present) {
        c.message = QStringLiteral("Файлът %1 е база данни, но не е архив, направен от програмата: в него няма "
                                   "описание на архива.")
                        .arg(native(file));
        return c;
    }
    const auto figures = figuresOn(h.get(), &why);
    if (!figures) {
        c.message = QStringLiteral("Архивът %1 е повреден: %2").arg(native(file), why);
        return c;
    }
    if (*figures != m.figures) {
        c.message = QStringLiteral("Архивът %1 е повреден: не съвпада с описанието си (%2).")
                        .arg(native(file), figures->differences(m.figures).join(QStringLiteral("; ")));
        return c;
    }
    QStringList missing;
    QStringList wanted{schema::items().name};
    for (const schema::Table& t : schema::suiteTables())
        wanted << t.name;
    for (const QString& t : wanted) {
        bool found = false;
        for (auto it = figures->rows.cbegin(); it != figures->rows.cend() && !found; ++it)
            found = it.key().compare(t, Qt::CaseInsensitive) == 0;
        if (!found)
            missing << t;
    }
    if (!missing.isEmpty()) {
        c.message = QStringLiteral("Файлът %1 не е архив на базата на веригата: липсват таблиците %2.")
                        .arg(native(file), missing.join(QStringLiteral(", ")));
        return c;
    }
    c.ok = true;
    c.figures = *figures;
    c.made = m.made;
    c.source = m.source;
    return c;
}

// --- restore ---

QStringList liveMarkers(const QString& folder) {
    QStringList live;
    const QStringList names =
        QDir(folder).entryList({ConnectionMarker::prefix() + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        fs::LockedFile probe;
        if (!probe.lockExisting(QDir(folder).filePath(name)))
            live << name; // a running copy holds it
    }
    return live;
}

namespace {

QString comparable(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? fi.absoluteFilePath() : canonical);
}

QString folderRefusal(const QString& folder, const QString& folderInUse) {
    if (!folderInUse.isEmpty() && !Database::isUrl(folderInUse) && comparable(folder) == comparable(folderInUse))
        return QStringLiteral("Папката %1 е базата данни, с която работи програмата на този компютър (BasePath в "
                              "настройките). Архивът не се възстановява върху работеща база: изберете нова, празна "
                              "папка.")
            .arg(native(folder));
    const QStringList live = liveMarkers(folder);
    if (!live.isEmpty())
        return QStringLiteral("Папката %1 се използва в момента от работни места (%2). Архивът не се възстановява "
                              "върху работеща база: изберете нова, празна папка.")
            .arg(native(folder), live.join(QStringLiteral(", ")));
    for (const QString& f : {Database::fileName(), Database::fileName() + QStringLiteral("-wal"),
                             Database::fileName() + QStringLiteral("-journal")})
        if (QFileInfo::exists(QDir(folder).filePath(f)))
            return QStringLiteral("В папката %1 вече има база данни (%2). Възстановяването никога не записва върху "
                                  "база: изберете нова, празна папка или преместете тази база другаде.")
                .arg(native(folder), f);
    return {};
}

} // namespace

RestoreOutcome restore(const QString& file, const QString& folderIn, const QString& folderInUse) {
    RestoreOutcome out;
    const QString folder = QDir(folderIn).absolutePath();
    if (QString refusal = folderRefusal(folder, folderInUse); !refusal.isEmpty()) {
        out.status = RestoreStatus::FolderRefused;
        out.message = refusal;
        return out;
    }
    const Check check = checkBackup(file);
    if (!check.ok) {
        out.status = RestoreStatus::BadBackup;
        out.message = check.message + QStringLiteral(" Нищо не е възстановено.");
        return out;
    }
    QString why;
    if (!makeFolder(folder, &why)) {
        out.message = QStringLiteral("В папката %1 не може да се записва (%2). Нищо не е възстановено.")
                          .arg(native(folder), why);
        return out;
    }
    const QString temp = QDir(folder).filePath(QStringLiteral(".%1.restoring").arg(Database::fileName()));
    if (!createPrivateFile(temp, &why)) {
        out.message = QStringLiteral("В папката %1 не може да се записва (%2). Нищо не е възстановено.")
                          .arg(native(folder), why);
        return out;
    }
    Scratch scratch(temp);
    {
        Handle src, dest;
        if (!src.open(file, true, &why) || !dest.open(temp, false, &why)) {
            out.message = QStringLiteral("Архивът не може да бъде възстановен: %1").arg(why);
            return out;
        }
        sqlite3_backup* b = sqlite3_backup_init(dest.get(), "main", src.get(), "main");
        int rc = b ? sqlite3_backup_step(b, -1) : sqlite3_errcode(dest.get());
        if (b) {
            const int finish = sqlite3_backup_finish(b);
            if (rc == SQLITE_DONE)
                rc = finish;
        }
        if ((rc != SQLITE_OK && rc != SQLITE_DONE) ||
            !run(dest.get(), QStringLiteral("PRAGMA journal_mode=DELETE"), &why) ||
            !run(dest.get(), QStringLiteral("PRAGMA synchronous=FULL"), &why) ||
            !run(dest.get(), QStringLiteral("DROP TABLE %1").arg(kManifest), &why)) {
            const int code = sqlite3_errcode(dest.get());
            out.message = diskFull(code, dest.get())
                              ? QStringLiteral("Няма достатъчно място на диска с папката %1. Нищо не е възстановено.")
                                    .arg(native(folder))
                              : QStringLiteral("Архивът не може да бъде възстановен: %1")
                                    .arg(why.isEmpty() ? errorOf(dest.get()) : why);
            return out;
        }
    }
    // The restored file itself, read back, against the backup's figures.
    {
        Handle h;
        if (!h.open(temp, true, &why)) {
            out.message = QStringLiteral("Възстановената база не може да бъде прочетена: %1").arg(why);
            return out;
        }
        const QString integrity = integrityOf(h.get(), true);
        const auto figures = integrity.isEmpty() ? figuresOn(h.get(), &why) : std::nullopt;
        if (!figures || *figures != check.figures) {
            out.message = QStringLiteral("Възстановената база не съвпада с архива (%1). Нищо не е възстановено.")
                              .arg(!integrity.isEmpty() ? integrity
                                   : figures        ? figures->differences(check.figures).join(QStringLiteral("; "))
                                                    : why);
            return out;
        }
    }
    // A workstation may have come meanwhile: look again just before.
    if (QString refusal = folderRefusal(folder, folderInUse); !refusal.isEmpty()) {
        out.status = RestoreStatus::FolderRefused;
        out.message = refusal;
        return out;
    }
    if (!QFile::rename(temp, QDir(folder).filePath(Database::fileName()))) {
        out.message = QStringLiteral("Базата не може да бъде записана като %1 в папката %2. Нищо не е възстановено.")
                          .arg(Database::fileName(), native(folder));
        return out;
    }
    scratch.keep();
    syncFolder(folder);
    out.status = RestoreStatus::Done;
    out.message = QStringLiteral("Архивът от %1 е възстановен в папката %2: %3 таблици, %4 реда; редовете и сумите "
                                 "съвпадат с архива.\nРаботните места започват работа с нея, когато настройката "
                                 "BasePath назове тази папка.")
                      .arg(check.made.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), native(folder))
                      .arg(check.figures.rows.size())
                      .arg(check.figures.totalRows());
    return out;
}

// --- PostgreSQL ---

QString findPgDump() {
    return QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
}

namespace {

struct Server {
    QString host, user, password, database;
    int port = 5432;
    QMap<QString, QString> environment;
};

Server serverOf(const QString& url) {
    const QUrl u(url);
    Server s;
    s.host = u.host();
    s.port = u.port(5432);
    s.user = u.userName();
    s.password = u.password();
    s.database = u.path().mid(1);
    // The connection's own options travel as libpq's environment variables.
    static const QMap<QString, QString> known{{QStringLiteral("sslmode"), QStringLiteral("PGSSLMODE")},
                                              {QStringLiteral("sslrootcert"), QStringLiteral("PGSSLROOTCERT")},
                                              {QStringLiteral("sslcert"), QStringLiteral("PGSSLCERT")},
                                              {QStringLiteral("sslkey"), QStringLiteral("PGSSLKEY")},
                                              {QStringLiteral("connect_timeout"), QStringLiteral("PGCONNECT_TIMEOUT")}};
    for (const auto& item : QUrlQuery(u).queryItems(QUrl::FullyDecoded))
        if (known.contains(item.first))
            s.environment.insert(known.value(item.first), item.second);
    return s;
}

QString pgRestoreBeside(const QString& pgDump) {
    const QString beside = QFileInfo(pgDump).dir().filePath(QStringLiteral("pg_restore"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("pg_restore"));
}

} // namespace

DumpCommand pgDumpCommand(const QString& url, const QString& file, const QString& program) {
    const Server s = serverOf(url);
    DumpCommand c;
    c.program = program;
    c.arguments = {QStringLiteral("--format=custom"), QStringLiteral("--file=") + file,
                   QStringLiteral("--host=") + s.host, QStringLiteral("--port=") + QString::number(s.port)};
    if (!s.user.isEmpty())
        c.arguments << QStringLiteral("--username=") + s.user;
    c.arguments << QStringLiteral("--no-password") << QStringLiteral("--dbname=") + s.database;
    c.environment = s.environment;
    if (!s.password.isEmpty())
        c.environment.insert(QStringLiteral("PGPASSWORD"), s.password);
    return c;
}

QString serverBackupAdvice(const QString& url) {
    const Server s = serverOf(url);
    const QString dump = fileNameFor(QDateTime::currentDateTime(), QStringLiteral("dump"));
    return QStringLiteral(
               "Програмата pg_dump не е инсталирана на този компютър, затова архивът на базата на сървъра PostgreSQL "
               "се прави със средствата на самия сървър: на сървъра или на компютър с клиента на PostgreSQL (пакет "
               "postgresql-client), с паролата в променливата PGPASSWORD или във файла ~/.pgpass:\n\n"
               "pg_dump -Fc -h %1 -p %2 -U %3 -f %4 %5\n\n"
               "Възстановяване в нова, празна база:\n\npg_restore -h %1 -p %2 -U %3 -d <нова база> %4")
        .arg(s.host)
        .arg(s.port)
        .arg(s.user.isEmpty() ? QStringLiteral("<потребител>") : s.user, dump, s.database);
}

Outcome backupPostgres(const QString& url, const QString& folderIn, int keep, const QDateTime& when,
                       const QString& pgDump) {
    Outcome out;
    if (pgDump.isEmpty()) {
        out.message = serverBackupAdvice(url);
        return out;
    }
    const QString folder = QDir(folderIn).absolutePath();
    QString why;
    if (!makeFolder(folder, &why)) {
        out.message = notWritableText(folder, why);
        return out;
    }
    const QString name = freeName(folder, when, QStringLiteral("dump"));
    const QString finalPath = QDir(folder).filePath(name);
    const QString temp = QDir(folder).filePath(QLatin1Char('.') + name + QStringLiteral(".part"));
    if (!createPrivateFile(temp, &why)) {
        out.message = notWritableText(folder, why);
        return out;
    }
    Scratch scratch(temp);

    const DumpCommand c = pgDumpCommand(url, temp, pgDump);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = c.environment.cbegin(); it != c.environment.cend(); ++it)
        env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(c.program, c.arguments);
    if (!p.waitForStarted(10000)) {
        out.message = QStringLiteral("Програмата %1 не може да бъде стартирана: %2").arg(c.program, p.errorString());
        return out;
    }
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const QString errors = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        out.message = errors.contains(QLatin1String("No space left"), Qt::CaseInsensitive)
                          ? diskFullText(folder)
                          : QStringLiteral("pg_dump не направи архива (код %1):\n%2").arg(p.exitCode()).arg(errors);
        return out;
    }

    // The dump lists its tables' data, or it is no use.
    const QString pgRestore = pgRestoreBeside(pgDump);
    int tables = 0;
    if (!pgRestore.isEmpty()) {
        QProcess list;
        list.setProcessEnvironment(env);
        list.start(pgRestore, {QStringLiteral("--list"), temp});
        list.waitForFinished(-1);
        const QString listing = QString::fromUtf8(list.readAllStandardOutput());
        if (list.exitStatus() != QProcess::NormalExit || list.exitCode() != 0) {
            out.message = QStringLiteral("Архивът на pg_dump не издържа проверката с pg_restore --list и е изтрит:\n%1")
                              .arg(QString::fromLocal8Bit(list.readAllStandardError()).trimmed());
            return out;
        }
        QStringList missing;
        QList<schema::Table> wanted{schema::items()};
        wanted << schema::suiteTables();
        for (const schema::Table& t : wanted) {
            const QRegularExpression data(QStringLiteral("TABLE DATA \\S+ %1 ").arg(QRegularExpression::escape(t.name)),
                                          QRegularExpression::CaseInsensitiveOption);
            if (data.match(listing).hasMatch())
                ++tables;
            else
                missing << t.name;
        }
        if (!missing.isEmpty()) {
            out.message = QStringLiteral("Архивът на pg_dump не съдържа таблиците %1 и е изтрит.")
                              .arg(missing.join(QStringLiteral(", ")));
            return out;
        }
    }
    if (!QFile::rename(temp, finalPath)) {
        out.message = notWritableText(folder, QStringLiteral("файлът %1 не може да бъде преименуван").arg(name));
        return out;
    }
    scratch.keep();
    syncFolder(folder);
    out.ok = true;
    out.file = finalPath;
    out.bytes = QFileInfo(finalPath).size();
    out.pruned = prune(folder, keep, QStringLiteral("dump"));
    out.message = QStringLiteral("Архивът на базата данни (pg_dump, custom format) е записан в:\n%1\n\n%2\n"
                                 "Размер: %3. %4\nВъзстановява се с pg_restore в нова, празна база.")
                      .arg(native(finalPath),
                           tables > 0 ? QStringLiteral("Проверен с pg_restore --list: данните на всички %1 таблици на "
                                                       "веригата са в него.")
                                            .arg(tables)
                                      : QStringLiteral("Не е проверен: pg_restore не е намерен."),
                           bytesText(out.bytes), prunedText(out.pruned, keep));
    return out;
}

Outcome backupLocation(const QString& location, const QString& folder, int keep) {
    if (Database::isUrl(location))
        return backupPostgres(location, folder, keep);
    Database db;
    QString error;
    Outcome out;
    if (!db.open(location, &error)) {
        out.message = QStringLiteral("Базата данни %1 не може да бъде отворена: %2").arg(native(location), error);
        return out;
    }
    return backupSqlite(db, folder, keep);
}

} // namespace backup
