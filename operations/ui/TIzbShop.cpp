#include "operations/ui/TIzbShop.h"

#include "db/DbError.h"
#include "widgets/MessageService.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TIzbShop::TIzbShop(Database& db, QWidget* parent) : QDialog(parent), m_db(db) {
    setObjectName(QStringLiteral("IzbShop"));
    setWindowTitle(QStringLiteral("Избор на магазин"));
    setModal(true);

    cmbShop = new QComboBox(this);
    cmbShop->setObjectName(QStringLiteral("cmbShop"));
    cmbShop->setEditable(false);
    cmbShop->setMinimumWidth(240);
    auto* label = new QLabel(QStringLiteral("Магазин"), this);
    label->setBuddy(cmbShop);

    BitBtn1 = new QPushButton(QStringLiteral("Да"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отказ"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* v = new QVBoxLayout(this);
    v->addWidget(label);
    v->addWidget(cmbShop);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cmbShop, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TIzbShop::noShopMessage() {
    return QStringLiteral("Няма магазин, в който да приемете или прехвърлите уред.");
}

bool TIzbShop::FormActivate() {
    cmbShop->clear();
    try {
        m_shops = ops::offeredShops(m_db, m_filterShop);
    } catch (const DbError& e) {
        m_shops.clear();
        MessageService::error(parentWidget(), e.message());
        return false;
    }
    if (m_shops.isEmpty()) {
        MessageService::warning(parentWidget(), noShopMessage(), QStringLiteral("Съобщение"));
        return false;
    }
    for (const ops::Shop& s : m_shops)
        cmbShop->addItem(s.name);
    cmbShop->setCurrentIndex(0);
    cmbShop->setFocus();
    return true;
}

int TIzbShop::FormClose() const {
    const QString chosen = cmbShop->currentText();
    for (const ops::Shop& s : m_shops) {
        if (s.name == chosen)
            return s.id;
    }
    return 0;
}

int TIzbShop::choose() {
    if (!FormActivate())
        return 0;
    if (exec() != QDialog::Accepted)
        return 0;
    return FormClose();
}
