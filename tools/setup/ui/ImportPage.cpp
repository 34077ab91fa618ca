#include "tools/setup/ui/ImportPage.h"

#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "tools/setup/ChainDatabase.h"
#include "widgets/FileDialogService.h"
#include "widgets/MessageService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ImportPage::ImportPage(QWidget* parent) : SetupPage(QStringLiteral("Импорт от стара база"), parent) {
    setObjectName(QStringLiteral("importPage"));

    auto* intro = new QLabel(
        QStringLiteral("Пренася книгите на магазина от старата програма: папката с таблиците на Paradox (resale.db, "
                       "Shops.DB, KASA.DB, CLERKS.DB и останалите) се внася в базата данни от първата стъпка, докато "
                       "тя е още нова и празна. Внася се всичко или нищо; след това броят на редовете и сумите се "
                       "сверяват със старата база, а книгите се проверяват за несъответствия."),
        this);
    intro->setWordWrap(true);

    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("paradoxFolder"));
    auto* folderLabel = new QLabel(QStringLiteral("&Папка на старата база"), this);
    folderLabel->setBuddy(m_folderEdit);
    auto* choose = new QPushButton(QStringLiteral("Избор..."), this);
    choose->setObjectName(QStringLiteral("chooseParadoxFolder"));
    connect(choose, &QPushButton::clicked, this, &ImportPage::chooseFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(choose);

    m_startButton = new QPushButton(QStringLiteral("&Внасяне"), this);
    m_startButton->setObjectName(QStringLiteral("startImport"));
    connect(m_startButton, &QPushButton::clicked, this, &ImportPage::startImport);
    m_cancelButton = new QPushButton(QStringLiteral("Прекъсване"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelImport"));
    m_cancelButton->setEnabled(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &ImportPage::cancelImport);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_cancelButton);

    m_stage = new QLabel(this);
    m_stage->setObjectName(QStringLiteral("importStage"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("importProgress"));
    m_progress->setAccessibleName(QStringLiteral("Напредък на вноса"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);

    auto* reportLabel = new QLabel(QStringLiteral("&Отчет"), this);
    m_reportView = new QPlainTextEdit(this);
    m_reportView->setObjectName(QStringLiteral("importReport"));
    m_reportView->setReadOnly(true);
    m_reportView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    reportLabel->setBuddy(m_reportView);
    m_saveButton = new QPushButton(QStringLiteral("&Запазване на отчета..."), this);
    m_saveButton->setObjectName(QStringLiteral("saveReport"));
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QPushButton::clicked, this, &ImportPage::saveReport);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    saveRow->addWidget(m_saveButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(folderRow);
    layout->addLayout(buttons);
    layout->addWidget(m_stage);
    layout->addWidget(m_progress);
    layout->addWidget(reportLabel);
    layout->addWidget(m_reportView, 1);
    layout->addLayout(saveRow);
}

void ImportPage::setDatabase(ChainDatabase* db) {
    m_db = db;
    m_startButton->setEnabled(db && !m_running);
}

bool ImportPage::mayLeave() {
    if (!m_running)
        return true;
    MessageService::warning(this, QStringLiteral("Вносът още тече. Изчакайте го или го прекъснете."));
    return false;
}

void ImportPage::chooseFolder() {
    const QString start = m_folderEdit->text().trimmed().isEmpty() ? QDir::homePath() : m_folderEdit->text().trimmed();
    const QString dir = FileDialogService::chooseFolder(this, QStringLiteral("Папка на старата база"), start);
    if (!dir.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(dir));
}

QString ImportPage::targetLocation() const {
    // The window's database: its folder, or the server address the settings
    // hold (with the password the connection needs).
    if (m_db->db().engine() == Engine::SQLite)
        return QDir::fromNativeSeparators(m_db->db().location());
    return SuiteSettings::value(QStringLiteral("BasePath")).toString();
}

bool ImportPage::showProgress(const QString& table, qint64 done, qint64 total) {
    m_progress->setRange(0, int(qMax<qint64>(total, 1)));
    m_progress->setValue(int(done));
    m_stage->setText(QStringLiteral("Таблица %1: %2 от %3 реда").arg(table).arg(done).arg(total));
    QCoreApplication::processEvents();
    return !m_cancelled;
}

void ImportPage::startImport() {
    const QString folder = QDir::fromNativeSeparators(m_folderEdit->text().trimmed());
    if (folder.isEmpty()) {
        MessageService::error(this, QStringLiteral("Изберете папката със старата база."));
        m_folderEdit->setFocus();
        return;
    }
    if (!m_db || !m_db->isOpen())
        return;
    m_running = true;
    m_cancelled = false;
    m_startButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_saveButton->setEnabled(false);
    m_reportView->clear();
    paradoximport::Progress progress;
    progress.message = [this](const QString& line) {
        m_reportView->appendPlainText(line);
        m_stage->setText(line);
        QCoreApplication::processEvents();
    };
    progress.rows = [this](const QString& table, qint64 done, qint64 total) { return showProgress(table, done, total); };
    paradoximport::Options options;
    options.acceptDefaultClerk = true;
    m_report = paradoximport::importFolder(folder, targetLocation(), progress, options);
    m_running = false;
    m_cancelButton->setEnabled(false);
    m_startButton->setEnabled(true);
    m_saveButton->setEnabled(true);
    m_reportView->setPlainText(m_report.text());
    if (m_report.ok) {
        m_stage->setText(m_report.breaches.isEmpty()
                             ? QStringLiteral("Старата база е внесена; книгите са в ред.")
                             : QStringLiteral("Старата база е внесена; в старите книги има %1 (вижте отчета).")
                                   .arg(paradoximport::breachCount(int(m_report.breaches.size()))));
        m_progress->setValue(m_progress->maximum());
        emit dataChanged();
    } else {
        m_stage->setText(QStringLiteral("Нищо не е внесено."));
        m_progress->setValue(0);
        MessageService::error(this, m_report.error);
    }
}

void ImportPage::cancelImport() {
    m_cancelled = true;
}

void ImportPage::saveReport() {
    const QString path = FileDialogService::saveFile(this, QStringLiteral("Запазване на отчета"),
                                                     QDir::home().filePath(QStringLiteral("otchet-vnos.txt")),
                                                     QStringLiteral("Текст (*.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_report.save(path, &error))
        MessageService::error(this, QStringLiteral("Отчетът не може да се запише в %1: %2")
                                        .arg(QDir::toNativeSeparators(path), error));
}
