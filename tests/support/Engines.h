#pragma once

#include "tests/support/TestEnv.h"

#include <QTest>

// Data rows for tests that run on both engines: "sqlite" with a fresh
// directory, "postgresql" with a fresh database on the test server.
inline void addEngineRows() {
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

// A fresh database on the PostgreSQL test server into out; skips (or fails in
// CI) when there is none.
#define FRESH_PG_DATABASE(out)                                                                                         \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        out = testenv::freshPgDatabase(&why_);                                                                         \
        if (out.isEmpty()) {                                                                                           \
            if (testenv::pgRequired())                                                                                 \
                QFAIL(qPrintable(QStringLiteral("PostgreSQL test server required but unavailable: ") + why_));        \
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + why_));                          \
        }                                                                                                              \
    } while (0)

// A fresh location for the engine of the current data row; skips (or fails in
// CI) when PostgreSQL is not available.
#define ENGINE_LOCATION(engine, tmpdir, out)                                                                           \
    do {                                                                                                               \
        if ((engine) == QLatin1String("sqlite"))                                                                       \
            out = (tmpdir)->path();                                                                                    \
        else                                                                                                           \
            FRESH_PG_DATABASE(out);                                                                                    \
    } while (0)
