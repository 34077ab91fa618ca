#include "app/LoginDialog.h"

#include "app/Login.h"
#include "core/ProgramFiles.h"
#include "core/SuiteSettings.h"
#include "register/MainWindow.h"
#include "widgets/DesktopService.h"
#include "widgets/DialogFlags.h"
#include "widgets/MessageService.h"
#include "widgets/AccessibleNames.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

LoginDialog::LoginDialog(MainWindow* main, const QString& helpFile, QWidget* parent)
    : QDialog(parent, kSmallDialogFlags), m_main(main), m_helpFile(helpFile) {
    setObjectName(QStringLiteral("TfrmInput"));
    setWindowTitle(QStringLiteral("Въведете име и парола"));
    setModal(true);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(8, 8, 8, 4);
    m_userEdit = new QLineEdit(panel);
    m_userEdit->setObjectName(QStringLiteral("Edit1"));
    m_passwordEdit = new QLineEdit(panel);
    m_passwordEdit->setObjectName(QStringLiteral("Edit2"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    auto* l1 = new QLabel(QStringLiteral("Потребител"), panel);
    l1->setBuddy(m_userEdit);
    auto* l2 = new QLabel(QStringLiteral("Парола"), panel);
    l2->setBuddy(m_passwordEdit);
    g->addWidget(l1, 0, 0);
    g->addWidget(m_userEdit, 0, 1);
    g->addWidget(l2, 1, 0);
    g->addWidget(m_passwordEdit, 1, 1);

    m_loginButton = new QPushButton(QStringLiteral("Вход"), this);
    m_loginButton->setObjectName(QStringLiteral("btnOk"));
    m_loginButton->setDefault(true);
    m_loginButton->setAutoDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setAutoDefault(false);
    auto* help = new QLabel(QStringLiteral("F1 - помощ"), this);
    help->setObjectName(QStringLiteral("lbHelp"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 8);
    buttons->setSpacing(6); // the outer layout's spacing is none
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(m_loginButton);
    buttons->addWidget(m_cancelButton);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(panel);
    v->addLayout(buttons);
    setFixedWidth(300);

    connect(m_loginButton, &QPushButton::clicked, this, &LoginDialog::logIn);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // The last user name is remembered in the suite's settings.
    if (!SuiteSettings::hasValue(QStringLiteral("User")))
        SuiteSettings::setValue(QStringLiteral("User"), QStringLiteral("Administrator"));
    m_userEdit->setText(SuiteSettings::value(QStringLiteral("User")).toString());
    accessible::nameFromBuddies(this);
}

void LoginDialog::showEvent(QShowEvent* e) {
    setFixedHeight(122);
    m_passwordEdit->clear();
    m_userEdit->setEnabled(true);
    m_passwordEdit->setEnabled(true);
    if (m_userEdit->text().isEmpty())
        m_userEdit->setText(QStringLiteral("Administrator"));
    QDialog::showEvent(e);
    m_passwordEdit->setFocus();
}

void LoginDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (!QFileInfo(m_helpFile).isFile()) {
            MessageService::warning(this, programfiles::missingText(QFileInfo(m_helpFile).fileName(),
                                                                    QCoreApplication::applicationDirPath()));
            return;
        }
        QUrl topic = QUrl::fromLocalFile(m_helpFile);
        topic.setFragment(QStringLiteral("Password"));
        DesktopService::open(topic);
        return;
    }
    QDialog::keyPressEvent(e);
}

void LoginDialog::logIn() {
    if (m_userEdit->text().isEmpty() || m_passwordEdit->text().isEmpty()) {
        m_passwordEdit->clear();
        m_userEdit->setFocus();
        m_userEdit->selectAll();
        return;
    }
    login::Result r;
    try {
        r = login::check(m_main->db(), m_userEdit->text(), m_passwordEdit->text());
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
        return;
    }
    if (r.outcome == login::Outcome::NoMatch) {
        MessageService::error(this, QStringLiteral("Грешно име и/или парола!"));
        m_passwordEdit->clear();
        m_userEdit->setFocus();
        m_userEdit->selectAll();
        return;
    }
    SuiteSettings::setValue(QStringLiteral("User"), m_userEdit->text());
    if (r.outcome == login::Outcome::Refused) {
        MessageService::warning(this, QStringLiteral("Нямате право на достъп до този модул!"));
        reject();
        return;
    }
    m_main->setLoggedIn(r.clerkId, r.name, r.filterShopId, r.prefs);
    done(kLoggedIn);
}
