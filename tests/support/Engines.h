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

// A fresh location for the engine of the current data row; skips (or fails in
// CI) when PostgreSQL is not available.
#define ENGINE_LOCATION(engine, tmpdir, out)                                                                           \
    do {                                                                                                               \
        if ((engine) == QLatin1String("sqlite")) {                                                                     \
            out = (tmpdir)->path();                                                                                    \
        } else {                                                                                                       \
            QString why;                                                                                               \
            out = testenv::freshPgDatabase(&why);                                                                      \
            if (out.isEmpty()) {                                                                                       \
                if (testenv::pgRequired())                                                                             \
                    QFAIL(qPrintable(QStringLiteral("PostgreSQL test server required but unavailable: ") + why));     \
                QSKIP(qPrintable(QStringLiteral("no PostgreSQL server for this test: ") + why));                       \
            }                                                                                                          \
        }                                                                                                              \
    } while (0)
