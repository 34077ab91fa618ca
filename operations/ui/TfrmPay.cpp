#include "operations/ui/TfrmPay.h"
#include "operations/ui/DialogSupport.h"

#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/MoneyEdit.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmPay::TfrmPay(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmPay"));
    setWindowTitle(QStringLiteral("Изплащане на уред"));
    setModal(true);

    ePrice = new MoneyEdit(this);
    ePrice->setObjectName(QStringLiteral("ePrice"));
    ePrice->setMinimumWidth(120);
    auto* label = new QLabel(QStringLiteral("Изкупна цена"), this);
    label->setBuddy(ePrice);
    btnOk = new QPushButton(QStringLiteral("Запис"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отказ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(ePrice, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* v = new QVBoxLayout(this);
    v->addLayout(row);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(ePrice, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TfrmPay::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmPay::setItem(const Item& item) {
    m_item = item;
    // A range of 0 to 0 is off: a sold appliance without a sale price has no limit.
    if (item.saled)
        ePrice->setRange(0, item.salePrice);
    else
        ePrice->setRange(0, 0);
}

void TfrmPay::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmPay::FormShow() {
    m_stale = false;
    ePrice->setValue(m_item.dlvPrice);
    ePrice->setFocus(Qt::OtherFocusReason);
    ePrice->selectAll();
}

void TfrmPay::btnOkClick() {
    btnOk->setFocus(Qt::OtherFocusReason);
    ePrice->normalize();
    const money::Cents amount = ePrice->value();
    if (!validation::payoutAmountOk(amount)) {
        MessageService::error(this, QStringLiteral("Въведете положителна цена!"));
        FormShow();
        return;
    }
    const ops::Result r = underWaitCursor([&] { return ops::payout(ops::Context{m_db, m_clerk}, m_item.id, amount); });
    if (dialogs::booked(this, r, &m_stale))
        accept();
}
