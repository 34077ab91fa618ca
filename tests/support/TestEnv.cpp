#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

namespace testenv {

void isolateSettings() {
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    qputenv("HOME", dir.path().toUtf8());
    // Each test process has its own runtime folder (single-instance locks).
    const QString runtime = dir.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
}

std::unique_ptr<QTemporaryDir> tempDir() {
    auto d = std::make_unique<QTemporaryDir>();
    d->setAutoRemove(true);
    return d;
}

QString pgServerUrl() { return qEnvironmentVariable("RESALE_TEST_PG_URL"); }

bool pgRequired() { return !qEnvironmentVariable("CI").isEmpty() || !pgServerUrl().isEmpty(); }

QString freshPgDatabase(QString* why) {
    const QString server = pgServerUrl();
    if (server.isEmpty()) {
        if (why)
            *why = QStringLiteral("RESALE_TEST_PG_URL is not set: no PostgreSQL test server");
        return {};
    }
    const QUrl url(server);
    const QString name = QStringLiteral("t_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(16));
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("testenv-admin"));
        admin.setHostName(url.host());
        admin.setPort(url.port(5432));
        admin.setUserName(url.userName());
        admin.setPassword(url.password());
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open()) {
            if (why)
                *why = admin.lastError().text();
            admin = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("testenv-admin"));
            return {};
        }
        QSqlQuery q(admin);
        if (!q.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name))) {
            if (why)
                *why = q.lastError().text();
            return {};
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("testenv-admin"));
    QUrl out(url);
    out.setPath(QLatin1Char('/') + name);
    return out.toString();
}

QString sourceDir() {
    const QString env = qEnvironmentVariable("RESALE_SOURCE_DIR");
    return env.isEmpty() ? QDir::currentPath() : env;
}

} // namespace testenv
