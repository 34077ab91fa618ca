#include "operations/ui/ShopChooser.h"

#include "db/DbError.h"
#include "widgets/DialogFlags.h"
#include "widgets/MessageService.h"
#include "widgets/AccessibleNames.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShopChooser::ShopChooser(Database& db, QWidget* parent) : QDialog(parent, kSmallDialogFlags), m_db(db) {
    setObjectName(QStringLiteral("IzbShop"));
    setWindowTitle(QStringLiteral("Избор на магазин"));
    setModal(true);

    m_shopCombo = new QComboBox(this);
    m_shopCombo->setObjectName(QStringLiteral("cmbShop"));
    m_shopCombo->setEditable(false);
    m_shopCombo->setMinimumWidth(240);
    auto* label = new QLabel(QStringLiteral("Магазин"), this);
    label->setBuddy(m_shopCombo);

    m_okButton = new QPushButton(QStringLiteral("Да"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Отказ"), this);
    m_cancelButton->setObjectName(QStringLiteral("BitBtn2"));
    m_cancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* v = new QVBoxLayout(this);
    v->addWidget(label);
    v->addWidget(m_shopCombo);
    v->addSpacing(6);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_shopCombo, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    accessible::nameFromBuddies(this);
}

QString ShopChooser::noShopMessage() {
    return QStringLiteral("Няма магазин, в който да приемете или прехвърлите уред.");
}

bool ShopChooser::fillShops() {
    m_shopCombo->clear();
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
        m_shopCombo->addItem(s.name);
    m_shopCombo->setCurrentIndex(0);
    m_shopCombo->setFocus();
    return true;
}

int ShopChooser::chosenShop() const {
    const QString chosen = m_shopCombo->currentText();
    for (const ops::Shop& s : m_shops) {
        if (s.name == chosen)
            return s.id;
    }
    return 0;
}

int ShopChooser::choose() {
    if (!fillShops())
        return 0;
    if (exec() != QDialog::Accepted)
        return 0;
    return chosenShop();
}
