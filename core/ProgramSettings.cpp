#include "core/ProgramSettings.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcSettings, "resale.settings")

namespace {

bool g_failureLogged = false;

std::unique_ptr<QSettings> openStore() {
    // Named here rather than taken from the application object, so that the
    // file is the same whichever executable (program, tools, tests) opens it.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orvel"),
                                       QStringLiteral("Resale"));
}

} // namespace

ProgramSettings::ProgramSettings() : m_store(openStore()) {
    const QFileInfo file(m_store->fileName());
    if (m_store->status() != QSettings::NoError || (file.exists() && (!file.isFile() || !file.isReadable()))) {
        m_readable = false;
        report(QStringLiteral("не може да бъде прочетен; програмата започва с подредбата по подразбиране"));
    }
}

ProgramSettings::~ProgramSettings() = default;

QString ProgramSettings::location() {
    return openStore()->fileName();
}

bool ProgramSettings::failureLogged() {
    return g_failureLogged;
}

void ProgramSettings::resetFailureLog() {
    g_failureLogged = false;
}

QVariant ProgramSettings::value(const QString& key, const QVariant& fallback) const {
    if (!m_readable)
        return fallback;
    return m_store->value(key, fallback);
}

void ProgramSettings::setValue(const QString& key, const QVariant& value) {
    // The register writes its view at every refresh: an unchanged value
    // leaves the file alone.
    if (m_readable && m_store->contains(key) && m_store->value(key) == value)
        return;
    m_store->setValue(key, value);
}

void ProgramSettings::remove(const QString& key) {
    m_store->remove(key);
}

void ProgramSettings::sync() {
    m_store->sync();
    if (m_store->status() == QSettings::AccessError)
        report(QStringLiteral("не може да бъде записан; подредбата на прозорците и регистъра няма да се запази"));
}

void ProgramSettings::report(const QString& what) {
    if (g_failureLogged)
        return;
    g_failureLogged = true;
    qCWarning(lcSettings).noquote()
        << QStringLiteral("Файлът с настройките на програмата %1 %2.").arg(m_store->fileName(), what);
}
