#include "core/SuiteSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
QSettings store() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvel"), QStringLiteral("Kalvina")); }
} // namespace

QString SuiteSettings::location() { return store().fileName(); }

bool SuiteSettings::exists() {
#ifdef Q_OS_WIN
    return !store().childKeys().isEmpty() || !store().childGroups().isEmpty();
#else
    return QFileInfo::exists(location());
#endif
}

void SuiteSettings::create() {
    QSettings s = store();
    s.setValue(QStringLiteral("Installed"), QStringLiteral("1"));
    s.sync();
}

bool SuiteSettings::hasValue(const QString& name) { return store().contains(name); }

QVariant SuiteSettings::value(const QString& name) { return store().value(name); }

void SuiteSettings::setValue(const QString& name, const QString& value) {
    QSettings s = store();
    s.setValue(name, value);
    s.sync();
}
