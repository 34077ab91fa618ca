#pragma once

#include "operations/Item.h"

#include <QDialog>

class Database;
class MoneyEdit;
class QLineEdit;
class QPushButton;

// "Промяна на цени": new prices of an unsold appliance; the purchase price
// only while the consignor has not been paid.
class PriceChangeDialog : public QDialog {
    Q_OBJECT
public:
    PriceChangeDialog(Database& db, QWidget* parent = nullptr);

    void setClerk(int clerk) { m_clerk = clerk; }
    void setItem(const Item& item);
    const Item& item() const { return m_item; }
    bool itemWasStale() const { return m_stale; }

public slots:
    // "Запис": checks the prices and books the change.
    void book();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Loads the stored prices (also after a refused confirm).
    void showStoredPrices();

    Database& m_db;
    int m_clerk = 0;
    Item m_item;
    bool m_stale = false;

    QLineEdit* m_itemLine = nullptr;
    MoneyEdit* m_salePriceEdit = nullptr;
    MoneyEdit* m_purchasePriceEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
