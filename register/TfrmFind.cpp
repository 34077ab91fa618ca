#include "register/TfrmFind.h"

#include "register/CaseFolding.h"
#include "register/FindStatement.h"
#include "register/RegisterParts.h"
#include "register/TfrmResale.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

TfrmFind::TfrmFind(TfrmResale* main)
    : QWidget(main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_main(main) {
    setObjectName(QStringLiteral("TfrmFind"));
    setWindowTitle(QStringLiteral("Търсене"));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    cmbField = new QComboBox(this);
    cmbField->setObjectName(QStringLiteral("cmbField"));
    cmbField->addItems(FindStatement::fieldTexts());
    cmbField->setAccessibleName(QStringLiteral("Поле за търсене"));
    cmbWay = new QComboBox(this);
    cmbWay->setObjectName(QStringLiteral("cmbWay"));
    cmbWay->addItems(FindStatement::wayTexts());
    cmbWay->setAccessibleName(QStringLiteral("Начин на търсене"));
    eString = new QLineEdit(this);
    eString->setObjectName(QStringLiteral("eString"));
    eString->setAccessibleName(QStringLiteral("Текст за търсене"));
    QFont big = eString->font();
    big.setPointSize(10);
    eString->setFont(big);
    btnFind = new QPushButton(QStringLiteral("Търсене"), this);
    btnFind->setObjectName(QStringLiteral("btnFind"));
    btnFind->setDefault(true);

    auto* g = new QGridLayout(this);
    g->setContentsMargins(5, 5, 5, 5);
    g->setSpacing(5);
    g->addWidget(cmbField, 0, 0);
    g->addWidget(cmbWay, 0, 1);
    g->addWidget(eString, 1, 0);
    g->addWidget(btnFind, 1, 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    resize(300, 65);

    connect(btnFind, &QPushButton::clicked, this, &TfrmFind::btnFindClick);
    connect(eString, &QLineEdit::returnPressed, this, &TfrmFind::btnFindClick);
}

void TfrmFind::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmFind::FormShow() {
    cmbField->setCurrentIndex(0);
    cmbWay->setCurrentIndex(FindStatement::BeginsWith);
    eString->clear();
    cmbField->setFocus();
}

void TfrmFind::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnFind->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmFind::btnFindClick() {
    const QString text = eString->text();
    if (text.isEmpty()) {
        eString->setFocus();
        return;
    }
    FindStatement::Dialect dialect;
    dialect.engine = m_main->db().engine();
    if (dialect.engine == Engine::SQLite) {
        dialect.foldFunction = CaseFolding::install(m_main->db().sql());
    } else {
        try {
            dialect.icu = m_main->db()
                              .scalar(QStringLiteral("select count(*) from pg_collation where collname = ?"),
                                      {QStringLiteral("und-x-icu")})
                              .toInt() > 0;
        } catch (const std::exception&) {
            dialect.icu = false;
        }
    }
    const RegisterStatement s = FindStatement::build(cmbField->currentIndex(), cmbWay->currentIndex(), text, dialect);
    m_main->qStr->setText(s.sql);
    m_main->reg->findParams = s.params;
    m_main->bExecClick();
}

void TfrmFind::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    FormClose();
}

void TfrmFind::FormClose() {
    m_main->mnFind->setChecked(false);
    m_main->cmbFilter->setEnabled(true);
    m_main->pFilter->setEnabled(true);
    m_main->mnGet->setEnabled(true);
    m_main->btnRefresh->setEnabled(true);
    m_main->cmbFilterChange();
    m_main->cmbFilter->setFocus();
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint, false); // the window is hidden now; this does not show it
}
