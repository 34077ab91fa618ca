#pragma once

#include "operations/Item.h"

#include <QDialog>

class Database;
class MoneyEdit;
class QPushButton;

// "Изплащане на уред": pays the consignor. Offers the stored purchase price;
// for a sold appliance the amount cannot exceed its sale price.
class TfrmPay : public QDialog {
    Q_OBJECT
public:
    TfrmPay(Database& db, QWidget* parent = nullptr);

    void setClerk(int clerk) { m_clerk = clerk; }
    // The appliance to pay out, as read just before the dialog opens; sets
    // the amount's range (0 to the sale price for a sold appliance).
    void setItem(const Item& item);
    const Item& item() const { return m_item; }
    bool itemWasStale() const { return m_stale; }

    MoneyEdit* ePrice = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void FormShow();
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Database& m_db;
    int m_clerk = 0;
    Item m_item;
    bool m_stale = false;
};
