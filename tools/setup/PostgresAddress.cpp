#include "tools/setup/PostgresAddress.h"

#include <QUrl>

PostgresAddress PostgresAddress::fromUrl(const QString& text) {
    const QUrl u(text);
    PostgresAddress a;
    a.host = u.host();
    a.port = u.port(5432);
    a.database = u.path().mid(1);
    a.user = u.userName();
    a.password = u.password();
    return a;
}

QString PostgresAddress::url() const {
    QUrl u;
    u.setScheme(QStringLiteral("postgresql"));
    u.setHost(host.trimmed());
    u.setPort(port);
    u.setUserName(user, QUrl::DecodedMode);
    if (!password.isEmpty())
        u.setPassword(password, QUrl::DecodedMode);
    u.setPath(QLatin1Char('/') + database.trimmed(), QUrl::DecodedMode);
    return u.toString(QUrl::FullyEncoded);
}

QString PostgresAddress::shown() const {
    return QUrl(url()).toString(QUrl::RemovePassword | QUrl::FullyEncoded);
}

std::optional<Refusal> PostgresAddress::check() const {
    if (host.trimmed().isEmpty())
        return Refusal{QStringLiteral("host"), QStringLiteral("Въведете адреса на сървъра")};
    if (host.trimmed().contains(QLatin1Char('/')) || host.trimmed().contains(QLatin1Char(' ')))
        return Refusal{QStringLiteral("host"),
                       QStringLiteral("Адресът на сървъра е име или IP адрес, без интервали и „/“")};
    if (port < 1 || port > 65535)
        return Refusal{QStringLiteral("port"), QStringLiteral("Портът е число от 1 до 65535 (обикновено 5432)")};
    if (database.trimmed().isEmpty())
        return Refusal{QStringLiteral("database"), QStringLiteral("Въведете името на базата данни")};
    if (user.isEmpty())
        return Refusal{QStringLiteral("user"), QStringLiteral("Въведете потребителя на сървъра")};
    return std::nullopt;
}
