#pragma once

#include "operations/Item.h"

#include <QDialog>

class Database;
class MoneyEdit;
class QPushButton;

// "Промяна на цени": new prices of an unsold appliance; the purchase price
// only while the consignor has not been paid.
class TfrmChPrices : public QDialog {
    Q_OBJECT
public:
    TfrmChPrices(Database& db, QWidget* parent = nullptr);

    void setClerk(int clerk) { m_clerk = clerk; }
    void setItem(const Item& item) { m_item = item; }
    const Item& item() const { return m_item; }
    bool itemWasStale() const { return m_stale; }

    MoneyEdit* eSalePrice = nullptr;
    MoneyEdit* eDlvPrice = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    // Loads the stored prices (also after a refused confirm).
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
