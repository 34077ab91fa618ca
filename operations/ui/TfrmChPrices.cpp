#include "operations/ui/TfrmChPrices.h"
#include "operations/ui/DialogSupport.h"

#include "operations/Operations.h"
#include "operations/Validation.h"
#include "operations/ui/MoneyEdit.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmChPrices::TfrmChPrices(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("frmChPrices"));
    setWindowTitle(QStringLiteral("Промяна на цени"));
    setModal(true);

    eSalePrice = new MoneyEdit(this);
    eSalePrice->setObjectName(QStringLiteral("eSalePrice"));
    eSalePrice->setMinimumWidth(120);
    eDlvPrice = new MoneyEdit(this);
    eDlvPrice->setObjectName(QStringLiteral("eDlvPrice"));
    eDlvPrice->setMinimumWidth(120);
    auto* saleLabel = new QLabel(QStringLiteral("Продажна цена"), this);
    saleLabel->setBuddy(eSalePrice);
    auto* dlvLabel = new QLabel(QStringLiteral("Изкупна цена"), this);
    dlvLabel->setBuddy(eDlvPrice);
    btnOk = new QPushButton(QStringLiteral("Запис"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отказ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto* g = new QGridLayout;
    g->addWidget(saleLabel, 0, 0);
    g->addWidget(eSalePrice, 0, 1);
    g->addWidget(dlvLabel, 1, 0);
    g->addWidget(eDlvPrice, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(eSalePrice, eDlvPrice);
    setTabOrder(eDlvPrice, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TfrmChPrices::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmChPrices::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        m_stale = false;
        FormShow();
    }
}

void TfrmChPrices::FormShow() {
    eDlvPrice->setValue(m_item.dlvPrice);
    eDlvPrice->setEnabled(!m_item.payed);
    eSalePrice->setValue(m_item.salePrice);
    eSalePrice->setFocus(Qt::OtherFocusReason);
    eSalePrice->selectAll();
}

void TfrmChPrices::btnOkClick() {
    btnOk->setFocus(Qt::OtherFocusReason);
    eDlvPrice->normalize();
    eSalePrice->normalize();
    // The purchase price of a paid appliance stays as it was paid.
    const money::Cents dlv = m_item.payed ? m_item.dlvPrice : eDlvPrice->value();
    const money::Cents sale = eSalePrice->value();

    switch (validation::checkPrices(dlv, sale, m_item.payed)) {
    case validation::PriceVerdict::NotPositive:
        MessageService::error(this, QStringLiteral("Въведете положителна цена!"));
        FormShow();
        return;
    case validation::PriceVerdict::SaleNotAbove:
        MessageService::error(this, QStringLiteral("Продажната цена трябва да е по-голяма от изкупната!"));
        FormShow();
        return;
    case validation::PriceVerdict::AskBelow:
        if (!MessageService::question(this,
                                      QStringLiteral("Продажната цена  е по-малка от изкупната!\n"
                                                     "Желаете ли да продължите?"),
                                      QStringLiteral("Съобщение"))) {
            FormShow();
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
