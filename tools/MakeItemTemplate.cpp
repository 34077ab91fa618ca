// Writes the empty item table that ships beside the program.
#include "db/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-item-template <file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QFile::remove(path);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("template"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(schema::createTableSql(schema::items(), Engine::SQLite));
            if (!ok)
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("template"));
    return ok ? 0 : 1;
}
