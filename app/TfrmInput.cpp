#include "app/TfrmInput.h"

#include "app/Login.h"
#include "core/SuiteSettings.h"
#include "register/MainWindow.h"
#include "widgets/DesktopService.h"
#include "widgets/MessageService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

TfrmInput::TfrmInput(MainWindow* main, const QString& helpFile, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_main(main), m_helpFile(helpFile) {
    setObjectName(QStringLiteral("TfrmInput"));
    setWindowTitle(QStringLiteral("Въведете име и парола"));
    setModal(true);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(8, 8, 8, 4);
    Edit1 = new QLineEdit(panel);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(15);
    Edit2 = new QLineEdit(panel);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    Edit2->setMaxLength(10);
    auto* l1 = new QLabel(QStringLiteral("Потребител"), panel);
    l1->setBuddy(Edit1);
    auto* l2 = new QLabel(QStringLiteral("Парола"), panel);
    l2->setBuddy(Edit2);
    g->addWidget(l1, 0, 0);
    g->addWidget(Edit1, 0, 1);
    g->addWidget(l2, 1, 0);
    g->addWidget(Edit2, 1, 1);

    btnOk = new QPushButton(QStringLiteral("Вход"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnOk->setAutoDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отказ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    auto* help = new QLabel(QStringLiteral("F1 - помощ"), this);
    help->setObjectName(QStringLiteral("lbHelp"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 8);
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(panel);
    v->addLayout(buttons);
    setFixedWidth(300);

    connect(btnOk, &QPushButton::clicked, this, &TfrmInput::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The last user name is remembered in the suite's settings.
    if (!SuiteSettings::hasValue(QStringLiteral("User")))
        SuiteSettings::setValue(QStringLiteral("User"), QStringLiteral("Administrator"));
    Edit1->setText(SuiteSettings::value(QStringLiteral("User")).toString());
}

void TfrmInput::showEvent(QShowEvent* e) {
    setFixedHeight(122);
    Edit2->clear();
    Edit1->setEnabled(true);
    Edit2->setEnabled(true);
    if (Edit1->text().isEmpty())
        Edit1->setText(QStringLiteral("Administrator"));
    QDialog::showEvent(e);
    Edit2->setFocus();
}

void TfrmInput::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        QUrl topic = QUrl::fromLocalFile(m_helpFile);
        topic.setFragment(QStringLiteral("Password"));
        DesktopService::open(topic);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfrmInput::btnOkClick() {
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty()) {
        Edit2->clear();
        Edit1->setFocus();
        Edit1->selectAll();
        return;
    }
    login::Result r;
    try {
        r = login::check(m_main->db(), Edit1->text(), Edit2->text());
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
        return;
    }
    if (r.outcome == login::Outcome::NoMatch) {
        MessageService::error(this, QStringLiteral("Грешно име и/или парола!"));
        Edit2->clear();
        Edit1->setFocus();
        Edit1->selectAll();
        return;
    }
    SuiteSettings::setValue(QStringLiteral("User"), Edit1->text());
    if (r.outcome == login::Outcome::Refused) {
        MessageService::warning(this, QStringLiteral("Нямате право на достъп до този модул!"));
        reject();
        return;
    }
    m_main->setLoggedIn(r.clerkId, r.name, r.filterShopId);
    done(kLoggedIn);
}
