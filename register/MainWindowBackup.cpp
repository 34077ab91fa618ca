// "Архивиране" in "Система" and the daily backup at the first start of the
// day: the copy, its check and the keeping of the last N are the db layer's
// (db/Backup.h); the window picks the engine's way and says what came of it.
#include "register/MainWindow.h"

#include "core/ProgramSettings.h"
#include "db/Backup.h"
#include "operations/Clock.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QDir>
#include <QLoggingCategory>
#include <QStatusBar>

namespace {
Q_LOGGING_CATEGORY(lcBackup, "resale.backup")

const QString kCaption = QStringLiteral("Архивиране");

backup::Outcome backUp(Connection& conn, const backup::Plan& plan) {
    WaitCursor busy;
    if (conn.db().engine() == Engine::PostgreSQL)
        return backup::backupPostgres(conn.basePath(), plan.folder, plan.keep, Clock::now());
    return backup::backupSqlite(conn.db(), plan.folder, plan.keep, Clock::now());
}
} // namespace

void MainWindow::backUpDatabase() {
    if (!isReady() || m_rightsLevel != 4)
        return;
    const backup::Plan plan = backup::Plan::fromSettings(*m_settings);
    if (db().engine() == Engine::PostgreSQL && backup::findPgDump().isEmpty()) {
        MessageService::warning(this, backup::serverBackupAdvice(m_conn.basePath()), kCaption);
        return;
    }
    const backup::Outcome o = backUp(m_conn, plan);
    if (o.ok)
        MessageService::ask(this, o.message, kCaption, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Information);
    else
        MessageService::error(this, o.message, kCaption);
}

void MainWindow::backUpIfDue() {
    if (!isReady())
        return;
    const backup::Plan plan = backup::Plan::fromSettings(*m_settings);
    if (!plan.daily || backup::hasBackupOf(plan.folder, Clock::today()))
        return;
    if (db().engine() == Engine::PostgreSQL && backup::findPgDump().isEmpty()) {
        qCInfo(lcBackup).noquote() << QStringLiteral("Дневният архив не е направен: pg_dump не е инсталиран; "
                                                     "архивът на сървъра се прави на самия сървър.");
        return;
    }
    const backup::Outcome o = backUp(m_conn, plan);
    if (o.ok) {
        statusBar()->showMessage(
            QStringLiteral("Дневният архив е записан в %1").arg(QDir::toNativeSeparators(o.file)), 15000);
        qCInfo(lcBackup).noquote() << QStringLiteral("Дневният архив е записан в %1").arg(o.file);
    } else {
        MessageService::error(this, QStringLiteral("Дневният архив не е направен.\n\n") + o.message, kCaption);
    }
}
