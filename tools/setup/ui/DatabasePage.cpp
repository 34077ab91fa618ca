#include "tools/setup/ui/DatabasePage.h"

#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "tools/setup/ChainDatabase.h"
#include "widgets/FileDialogService.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QLabel* messageLabel(const QString& name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    l->setVisible(false);
    return l;
}
} // namespace

DatabasePage::DatabasePage(ChainDatabase& chain, QWidget* parent)
    : SetupPage(QStringLiteral("База данни"), parent), m_chain(chain) {
    setObjectName(QStringLiteral("databasePage"));

    auto* intro = new QLabel(
        QStringLiteral("Всички магазини на веригата работят с една база данни. Изберете я тук: папка на този "
                       "компютър (или споделена папка), или сървър PostgreSQL, когато няколко компютъра работят "
                       "едновременно. Ако на мястото още няма база, тя ще бъде създадена."),
        this);
    intro->setWordWrap(true);
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("currentDatabase"));
    m_current->setWordWrap(true);
    m_current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("databaseState"));
    m_state->setWordWrap(true);

    // A folder: the embedded database.
    auto* folderBox = new QGroupBox(QStringLiteral("База в папка (SQLite)"), this);
    folderBox->setObjectName(QStringLiteral("folderBox"));
    m_folderEdit = new QLineEdit(folderBox);
    m_folderEdit->setObjectName(QStringLiteral("folder"));
    m_folderEdit->setPlaceholderText(QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("kalvina"))));
    auto* choose = new QPushButton(QStringLiteral("Избор..."), folderBox);
    choose->setObjectName(QStringLiteral("chooseFolder"));
    auto* useFolderButton = new QPushButton(QStringLiteral("Използване на папката"), folderBox);
    useFolderButton->setObjectName(QStringLiteral("useFolder"));
    m_folderMessage = messageLabel(QStringLiteral("folderMessage"), folderBox);
    auto* folderLabel = new QLabel(QStringLiteral("&Папка"), folderBox);
    folderLabel->setBuddy(m_folderEdit);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(choose);
    auto* folderButtons = new QHBoxLayout;
    folderButtons->addStretch(1);
    folderButtons->addWidget(useFolderButton);
    auto* folderLayout = new QVBoxLayout(folderBox);
    folderLayout->addLayout(folderRow);
    folderLayout->addWidget(m_folderMessage);
    folderLayout->addLayout(folderButtons);

    // A PostgreSQL server.
    auto* serverBox = new QGroupBox(QStringLiteral("База на сървър PostgreSQL (няколко компютъра)"), this);
    serverBox->setObjectName(QStringLiteral("serverBox"));
    m_hostEdit = new QLineEdit(serverBox);
    m_hostEdit->setObjectName(QStringLiteral("host"));
    m_portSpin = new QSpinBox(serverBox);
    m_portSpin->setObjectName(QStringLiteral("port"));
    m_portSpin->setRange(1, 65535);
    m_portSpin->setValue(5432);
    m_portSpin->setMaximumWidth(120);
    m_databaseEdit = new QLineEdit(serverBox);
    m_databaseEdit->setObjectName(QStringLiteral("database"));
    m_userEdit = new QLineEdit(serverBox);
    m_userEdit->setObjectName(QStringLiteral("user"));
    m_passwordEdit = new QLineEdit(serverBox);
    m_passwordEdit->setObjectName(QStringLiteral("password"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    auto* serverForm = new QFormLayout;
    auto row = [&](const QString& label, QWidget* w) {
        auto* l = new QLabel(label, serverBox);
        l->setBuddy(w);
        serverForm->addRow(l, w);
    };
    row(QStringLiteral("&Сървър"), m_hostEdit);
    row(QStringLiteral("П&орт"), m_portSpin);
    row(QStringLiteral("&База данни"), m_databaseEdit);
    row(QStringLiteral("По&требител"), m_userEdit);
    row(QStringLiteral("Паро&ла"), m_passwordEdit);
    auto* test = new QPushButton(QStringLiteral("Проверка на връзката"), serverBox);
    test->setObjectName(QStringLiteral("testServer"));
    auto* useServerButton = new QPushButton(QStringLiteral("Използване на сървъра"), serverBox);
    useServerButton->setObjectName(QStringLiteral("useServer"));
    m_serverMessage = messageLabel(QStringLiteral("serverMessage"), serverBox);
    auto* serverButtons = new QHBoxLayout;
    serverButtons->addStretch(1);
    serverButtons->addWidget(test);
    serverButtons->addWidget(useServerButton);
    auto* serverLayout = new QVBoxLayout(serverBox);
    serverLayout->addLayout(serverForm);
    serverLayout->addWidget(m_serverMessage);
    serverLayout->addLayout(serverButtons);

    auto* security = new QLabel(
        QStringLiteral("Паролите на служителите се пазят така, както ги пази основната програма на пакета: като "
                       "текст, който модулът сравнява при вход. Затова новата папка и файлът на базата са достъпни "
                       "само за вашия потребител, а файлът с настройките (където стои и паролата за сървъра) — също."),
        this);
    security->setObjectName(QStringLiteral("securityNote"));
    security->setWordWrap(true);
    security->setStyleSheet(QStringLiteral("QLabel { color: #505050; }"));

    auto* heading = new QLabel(title(), this);
    heading->setObjectName(QStringLiteral("heading"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.3);
    heading->setFont(hf);
    auto* page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(intro);
    page->addWidget(m_current);
    page->addWidget(m_state);
    page->addWidget(folderBox);
    page->addWidget(serverBox);
    page->addWidget(security);
    page->addStretch(1);

    connect(choose, &QPushButton::clicked, this, &DatabasePage::chooseFolder);
    connect(useFolderButton, &QPushButton::clicked, this, &DatabasePage::useFolder);
    connect(m_folderEdit, &QLineEdit::returnPressed, this, &DatabasePage::useFolder);
    connect(test, &QPushButton::clicked, this, &DatabasePage::testServer);
    connect(useServerButton, &QPushButton::clicked, this, &DatabasePage::useServer);
    reload();
}

void DatabasePage::setDatabase(ChainDatabase*) {
    showState();
}

void DatabasePage::reload() {
    const QString base = SuiteSettings::exists() && SuiteSettings::hasValue(QStringLiteral("BasePath"))
                             ? SuiteSettings::value(QStringLiteral("BasePath")).toString().trimmed()
                             : QString();
    m_stored = PostgresAddress();
    if (Database::isUrl(base)) {
        m_stored = PostgresAddress::fromUrl(base);
        m_hostEdit->setText(m_stored.host);
        m_portSpin->setValue(m_stored.port);
        m_databaseEdit->setText(m_stored.database);
        m_userEdit->setText(m_stored.user);
        m_passwordEdit->clear();
        m_passwordEdit->setPlaceholderText(m_stored.password.isEmpty() ? QString()
                                                                       : QStringLiteral("запазената парола"));
    } else if (!base.isEmpty()) {
        m_folderEdit->setText(QDir::toNativeSeparators(base));
    }
    showState();
}

void DatabasePage::showOpenProblem(const QString& text) {
    m_openProblem = text;
    showState();
}

void DatabasePage::showState() {
    const QString named = ChainDatabase::shownBasePath();
    if (m_chain.isOpen()) {
        m_current->setText(
            QStringLiteral("Работите с базата данни: <b>%1</b>").arg(m_chain.shownLocation().toHtmlEscaped()));
        m_state->setText(QStringLiteral("Настройките на пакета (%1) посочват тази база; с нея ще работи и "
                                        "програмата „Уреди втора употреба“.")
                             .arg(QDir::toNativeSeparators(SuiteSettings::location())));
        m_state->setStyleSheet(QString());
    } else if (!m_openProblem.isEmpty()) {
        m_current->setText(named.isEmpty()
                               ? QStringLiteral("Няма отворена база данни.")
                               : QStringLiteral("Настройките посочват: <b>%1</b>").arg(named.toHtmlEscaped()));
        m_state->setText(m_openProblem);
        m_state->setStyleSheet(QStringLiteral("QLabel { color: #b00020; }"));
    } else {
        m_current->setText(QStringLiteral("Няма отворена база данни."));
        m_state->setText(QStringLiteral("Настройките още не посочват база данни. Изберете папка или сървър."));
        m_state->setStyleSheet(QString());
    }
}

void DatabasePage::showMessage(QLabel* label, const QString& text, bool good) {
    label->setText(text);
    label->setStyleSheet(good ? QStringLiteral("QLabel { color: #1b6e20; }")
                              : QStringLiteral("QLabel { color: #b00020; }"));
    label->setVisible(!text.isEmpty());
}

void DatabasePage::chooseFolder() {
    const QString start = m_folderEdit->text().trimmed().isEmpty() ? QDir::homePath() : m_folderEdit->text().trimmed();
    const QString chosen = FileDialogService::chooseFolder(this, QStringLiteral("Папка за базата данни"), start);
    if (!chosen.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(chosen));
}

bool DatabasePage::confirmSwitch(const QString& shownNew) {
    if (m_leaveCheck && !m_leaveCheck())
        return false;
    const QString named = ChainDatabase::shownBasePath();
    if (named.isEmpty() || named == shownNew)
        return true;
    return MessageService::question(this,
                                    QStringLiteral("Сега настройките посочват базата данни\n%1\n\nДа посочват ли "
                                                   "вместо нея\n%2?\nПрограмата ще работи с новата база.")
                                        .arg(named, shownNew),
                                    QStringLiteral("Смяна на базата данни"), QMessageBox::No);
}

void DatabasePage::useFolder() {
    showMessage(m_folderMessage, QString(), true);
    const QString typed = m_folderEdit->text().trimmed();
    if (typed.isEmpty()) {
        showMessage(m_folderMessage, QStringLiteral("Въведете или изберете папка за базата данни"), false);
        m_folderEdit->setFocus();
        return;
    }
    const QString target = QDir::toNativeSeparators(QDir::cleanPath(QDir(typed).absolutePath()));
    if (!confirmSwitch(target))
        return;
    QString error;
    bool created = false;
    bool ok = false;
    {
        WaitCursor wait;
        ok = m_chain.useFolder(typed, &error, &created);
    }
    if (!ok) {
        showMessage(m_folderMessage, error, false);
        m_folderEdit->setFocus();
        return;
    }
    m_openProblem.clear();
    reload();
    m_folderEdit->setText(target);
    showMessage(m_folderMessage,
                created ? QStringLiteral("В папката е създадена нова база данни на веригата.")
                        : QStringLiteral("Папката съдържа база данни на веригата: тя е отворена."),
                true);
    emit databaseChanged();
}

PostgresAddress DatabasePage::typedAddress() const {
    PostgresAddress a;
    a.host = m_hostEdit->text().trimmed();
    a.port = m_portSpin->value();
    a.database = m_databaseEdit->text().trimmed();
    a.user = m_userEdit->text().trimmed();
    a.password = m_passwordEdit->text();
    // An empty password field keeps the stored password of the same server.
    if (a.password.isEmpty() && a.host == m_stored.host && a.port == m_stored.port && a.database == m_stored.database &&
        a.user == m_stored.user)
        a.password = m_stored.password;
    return a;
}

void DatabasePage::testServer() {
    const PostgresAddress a = typedAddress();
    ChainDatabase::ServerTest t;
    {
        WaitCursor wait;
        t = ChainDatabase::testServer(a);
    }
    const bool good = t.content == ChainDatabase::Content::Empty || t.content == ChainDatabase::Content::Suite;
    showMessage(m_serverMessage, t.message, good);
}

void DatabasePage::useServer() {
    const PostgresAddress a = typedAddress();
    if (auto r = a.check()) {
        showMessage(m_serverMessage, r->message, false);
        if (QWidget* w = findChild<QWidget*>(r->field))
            w->setFocus();
        return;
    }
    if (!confirmSwitch(a.shown()))
        return;
    QString error;
    bool created = false;
    bool ok = false;
    {
        WaitCursor wait;
        ok = m_chain.useServer(a, &error, &created);
    }
    if (!ok) {
        showMessage(m_serverMessage, error, false);
        return;
    }
    m_openProblem.clear();
    reload();
    showMessage(m_serverMessage,
                created ? QStringLiteral("На сървъра са създадени таблиците на веригата.")
                        : QStringLiteral("Базата на сървъра е база на веригата: тя е отворена."),
                true);
    emit databaseChanged();
}
