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
#include <QEventLoop>
#include <QLoggingCategory>
#include <QProgressDialog>
#include <QStatusBar>
#include <QThread>
#include <memory>

namespace {
Q_LOGGING_CATEGORY(lcBackup, "resale.backup")

const QString kCaption = QStringLiteral("Архивиране");

// The copy runs on a worker thread with its own connection, so that the
// window still paints during the minute a large database may take; the
// clerk's input waits until it is done.
backup::Outcome backUp(Connection& conn, const backup::Plan& plan, QWidget* window) {
    WaitCursor busy;
    const bool server = conn.db().engine() == Engine::PostgreSQL;
    const QString location = server ? conn.basePath() : conn.db().location();
    const QDateTime when = Clock::now();
    backup::Outcome out;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        if (server) {
            out = backup::backupPostgres(location, plan.folder, plan.keep, when);
            return;
        }
        Database own;
        QString error;
        if (!own.open(location, &error)) {
            out.message = QStringLiteral("Базата данни не може да бъде отворена за архива: %1").arg(error);
            return;
        }
        out = backup::backupSqlite(own, plan.folder, plan.keep, when);
    }));
    QProgressDialog progress(QStringLiteral("Архивиране на базата данни..."), QString(), 0, 0, window);
    progress.setObjectName(QStringLiteral("frmBackupProgress"));
    progress.setWindowTitle(kCaption);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(500);
    progress.setWindowModality(Qt::WindowModal);
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    return out;
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
    const backup::Outcome o = backUp(m_conn, plan, this);
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
    const backup::Outcome o = backUp(m_conn, plan, this);
    if (o.ok) {
        statusBar()->showMessage(
            QStringLiteral("Дневният архив е записан в %1").arg(QDir::toNativeSeparators(o.file)), 15000);
        qCInfo(lcBackup).noquote() << QStringLiteral("Дневният архив е записан в %1").arg(o.file);
    } else {
        MessageService::error(this, QStringLiteral("Дневният архив не е направен.\n\n") + o.message, kCaption);
    }
}
