#include "operations/ui/PriceChangeDialog.h"

#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/DialogSupport.h"
#include "operations/ui/MoneyEdit.h"
#include "widgets/DialogFlags.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"
#include "widgets/AccessibleNames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

PriceChangeDialog::PriceChangeDialog(Database& db, QWidget* parent) : QDialog(parent, kSmallDialogFlags), m_db(db) {
    setObjectName(QStringLiteral("frmChPrices"));
    setWindowTitle(QStringLiteral("Промяна на цени"));
    setModal(true);

    m_salePriceEdit = new MoneyEdit(this);
    m_salePriceEdit->setObjectName(QStringLiteral("eSalePrice"));
    m_salePriceEdit->setMinimumWidth(120);
    m_purchasePriceEdit = new MoneyEdit(this);
    m_purchasePriceEdit->setObjectName(QStringLiteral("eDlvPrice"));
    m_purchasePriceEdit->setMinimumWidth(120);
    auto* saleLabel = new QLabel(QStringLiteral("Продажна цена"), this);
    saleLabel->setBuddy(m_salePriceEdit);
    auto* dlvLabel = new QLabel(QStringLiteral("Изкупна цена"), this);
    dlvLabel->setBuddy(m_purchasePriceEdit);
    m_okButton = new QPushButton(QStringLiteral("Запис"), this);
    m_okButton->setObjectName(QStringLiteral("btnOk"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setAutoDefault(false);

    auto* g = new QGridLayout;
    g->addWidget(saleLabel, 0, 0);
    g->addWidget(m_salePriceEdit, 0, 1);
    g->addWidget(dlvLabel, 1, 0);
    g->addWidget(m_purchasePriceEdit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    m_itemLine = dialogs::itemLine(this);
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_itemLine);
    v->addLayout(g);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_salePriceEdit, m_purchasePriceEdit);
    setTabOrder(m_purchasePriceEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &PriceChangeDialog::book);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    accessible::nameFromBuddies(this);
}

void PriceChangeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_stale = false;
        showStoredPrices();
    }
}

void PriceChangeDialog::setItem(const Item& item) {
    m_item = item;
    dialogs::showItem(m_itemLine, item);
}

void PriceChangeDialog::showStoredPrices() {
    m_purchasePriceEdit->setValue(m_item.dlvPrice);
    m_purchasePriceEdit->setEnabled(!m_item.payed);
    m_salePriceEdit->setValue(m_item.salePrice);
    m_salePriceEdit->setFocus(Qt::OtherFocusReason);
    m_salePriceEdit->selectAll();
}

void PriceChangeDialog::book() {
    m_okButton->setFocus(Qt::OtherFocusReason);
    m_purchasePriceEdit->normalize();
    m_salePriceEdit->normalize();
    // The purchase price of a paid appliance stays as it was paid.
    const money::Cents dlv = m_item.payed ? m_item.dlvPrice : m_purchasePriceEdit->value();
    const money::Cents sale = m_salePriceEdit->value();

    switch (validation::checkPrices(dlv, sale, m_item.payed)) {
    case validation::PriceVerdict::NotPositive:
        MessageService::error(this, QStringLiteral("Въведете положителна цена!"));
        showStoredPrices();
        return;
    case validation::PriceVerdict::SaleNegative:
        MessageService::error(this, QStringLiteral("Не може да въвеждате отрицателна цена!"));
        showStoredPrices();
        return;
    case validation::PriceVerdict::SaleNotAbove:
        MessageService::error(this, QStringLiteral("Продажната цена трябва да е по-голяма от изкупната!"));
        showStoredPrices();
        return;
    case validation::PriceVerdict::AskBelow:
        if (!MessageService::question(this,
                                      QStringLiteral("Продажната цена  е по-малка от изкупната!\n"
                                                     "Желаете ли да продължите?"),
                                      QStringLiteral("Съобщение"))) {
            showStoredPrices();
            return;
        }
        break;
    case validation::PriceVerdict::Ok:
        break;
    }

    const ops::Result r = underWaitCursor([&] {
        return ops::changePrices(ops::Context{m_db, m_clerk}, m_item.id, dlv, sale);
    });
    if (dialogs::booked(this, r, &m_stale))
        accept();
}
