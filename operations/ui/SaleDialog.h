#pragma once

#include "operations/Item.h"

#include <QDialog>
#include <functional>

class Database;
class MoneyEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Продажба": sells the appliance to a buyer. Holds the price and the
// buyer's data as typed until OK books the sale in one go; then, with
// "Печат на договор" ticked, prints the sale contract from the template.
class SaleDialog : public QDialog {
    Q_OBJECT
public:
    // The consignor's data as the register's detail panel shows it, by
    // column name ("DlvNames", "DlvAdres", "DlvEGN", "DlvLK").
    using DetailSource = std::function<QString(const QString& column)>;

    SaleDialog(Database& db, QWidget* parent = nullptr);

    void setClerk(int clerk) { m_clerk = clerk; }
    // The appliance to sell, as read just before the dialog opens.
    void setItem(const Item& item) { m_item = item; }
    const Item& item() const { return m_item; }
    // Folder of the sale contract's template (the program's folder).
    void setTemplateDir(const QString& dir) { m_templateDir = dir; }
    void setDetailSource(DetailSource source) { m_details = std::move(source); }

    // True when the last OK found the appliance gone or already sold by
    // another workstation: the dialog closed and the register is stale.
    bool itemWasStale() const { return m_stale; }

    static constexpr int kClientLength = 50;

public slots:
    // OK: checks the price and the buyer and books the sale.
    void book();
    void cancel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The appliance, its sale price and the buyer's data as stored.
    void showItem();
    void printContract();

    Database& m_db;
    int m_clerk = 0;
    Item m_item;
    QString m_templateDir;
    DetailSource m_details;
    bool m_stale = false;

    QLabel* m_applianceLabel = nullptr;
    QLabel* m_applianceNoteLabel = nullptr;
    QLabel* m_serialLabel = nullptr;
    MoneyEdit* m_priceEdit = nullptr;
    QLineEdit* m_namesEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_buyerInfoEdit = nullptr;
    QLineEdit* m_saleNoteEdit = nullptr;
    QCheckBox* m_printCheck = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
