#pragma once

#include "operations/Item.h"

#include <QDialog>

class Database;
class MoneyEdit;
class QLineEdit;
class QPushButton;

// "Изплащане на уред": pays the consignor. Offers the stored purchase price;
// for a sold appliance the amount cannot exceed its sale price.
class PayoutDialog : public QDialog {
    Q_OBJECT
public:
    PayoutDialog(Database& db, QWidget* parent = nullptr);

    void setClerk(int clerk) { m_clerk = clerk; }
    // The appliance to pay out, as read just before the dialog opens; sets
    // the amount's range (0 to the sale price for a sold appliance).
    void setItem(const Item& item);
    const Item& item() const { return m_item; }
    bool itemWasStale() const { return m_stale; }

public slots:
    // "Запис": checks the amount and books the payout.
    void book();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The stored purchase price, selected to be typed over.
    void offerAgreedAmount();

    Database& m_db;
    int m_clerk = 0;
    Item m_item;
    bool m_stale = false;

    QLineEdit* m_itemLine = nullptr;
    MoneyEdit* m_amountEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
