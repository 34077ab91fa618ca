#pragma once

#include "db/Database.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QTemporaryDir>

#include <memory>

// A new suite database with the demo shops, clerks and kinds, on the engine of
// the current data row (SQLite in dir), its location into where when given.
// False when the test was skipped or failed on the way.
inline bool newDemoSuite(const QString& engine, const std::unique_ptr<QTemporaryDir>& dir, Database& db,
                         QString* where = nullptr) {
    QString location;
    bool ready = false;
    [&] {
        ENGINE_LOCATION(engine, dir, location);
        ready = true;
    }();
    if (!ready)
        return false;
    QString error;
    if (!suite::createDatabase(db, location, &error)) {
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return false;
    }
    suite::fillDemoMasterData(db);
    if (where)
        *where = location;
    return true;
}
