#include "operations/ui/PayoutDialog.h"

#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/DialogSupport.h"
#include "operations/ui/MoneyEdit.h"
#include "widgets/DialogFlags.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"
#include "widgets/AccessibleNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

PayoutDialog::PayoutDialog(Database& db, QWidget* parent) : QDialog(parent, kSmallDialogFlags), m_db(db) {
    setObjectName(QStringLiteral("frmPay"));
    setWindowTitle(QStringLiteral("Изплащане на уред"));
    setModal(true);

    m_amountEdit = new MoneyEdit(this);
    m_amountEdit->setObjectName(QStringLiteral("ePrice"));
    m_amountEdit->setMinimumWidth(120);
    auto* label = new QLabel(QStringLiteral("Изкупна цена"), this);
    label->setBuddy(m_amountEdit);
    m_okButton = new QPushButton(QStringLiteral("Запис"), this);
    m_okButton->setObjectName(QStringLiteral("btnOk"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setAutoDefault(false);

    m_itemLine = dialogs::itemLine(this);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_amountEdit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_itemLine);
    v->addLayout(row);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_amountEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &PayoutDialog::book);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    accessible::nameFromBuddies(this);
}

void PayoutDialog::setItem(const Item& item) {
    m_item = item;
    dialogs::showItem(m_itemLine, item);
    // A range of 0 to 0 is off: a sold appliance without a sale price has no limit.
    if (item.saled)
        m_amountEdit->setRange(0, item.salePrice);
    else
        m_amountEdit->setRange(0, 0);
}

void PayoutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        offerAgreedAmount();
}

void PayoutDialog::offerAgreedAmount() {
    m_stale = false;
    m_amountEdit->setValue(m_item.dlvPrice);
    m_amountEdit->setFocus(Qt::OtherFocusReason);
    m_amountEdit->selectAll();
}

void PayoutDialog::book() {
    m_okButton->setFocus(Qt::OtherFocusReason);
    m_amountEdit->normalize();
    const money::Cents amount = m_amountEdit->value();
    if (!validation::payoutAmountOk(amount)) {
        MessageService::error(this, QStringLiteral("Въведете положителна цена!"));
        offerAgreedAmount();
        return;
    }
    const ops::Result r = underWaitCursor([&] { return ops::payout(ops::Context{m_db, m_clerk}, m_item.id, amount); });
    if (dialogs::booked(this, r, &m_stale))
        accept();
}
