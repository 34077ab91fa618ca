#pragma once

#include "core/Money.h"

#include <QDialog>

class Database;
class DigitKeyFilter;
class MoneyEdit;
class QCheckBox;
class QLineEdit;
class QPushButton;
class ConsignmentContractWindow;

// "Приемане на уред": a new appliance under a new consignment contract in
// the chosen shop, optionally paid out at once, with its contract printed.
// Holds what the clerk types until OK books it in one go.
class IntakeDialog : public QDialog {
    Q_OBJECT
public:
    IntakeDialog(Database& db, QWidget* parent = nullptr);

    // The clerk who books, and the shop that receives the appliance.
    void setClerk(int clerk) { m_clerk = clerk; }
    void setShop(int shopId) { m_shop = shopId; }
    int shop() const { return m_shop; }
    // The window that shows the contract after the intake ("Печат на договор").
    void setContractWindow(ConsignmentContractWindow* window) { m_contract = window; }

    // Id of the appliance the last OK booked; -1 before.
    qint64 newId() const { return m_newId; }

    // Column lengths of the item table.
    static constexpr int kArtLength = 50;
    static constexpr int kArtNoteLength = 50;
    static constexpr int kSerialLength = 25;
    static constexpr int kNamesLength = 35;
    static constexpr int kAdresLength = 50;
    static constexpr int kEgnLength = 10;
    static constexpr int kLkLength = 9;

public slots:
    // OK: checks what was typed and books the intake.
    void book();
    void cancel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Blank fields, zero prices and the proposed contract number.
    void startNewItem();
    void showContract();

    Database& m_db;
    int m_clerk = 0;
    int m_shop = 0;
    qint64 m_newId = -1;
    ConsignmentContractWindow* m_contract = nullptr;
    DigitKeyFilter* m_digits = nullptr;

    QLineEdit* m_contractNumberEdit = nullptr;
    QLineEdit* m_applianceEdit = nullptr;
    QLineEdit* m_applianceNoteEdit = nullptr;
    QLineEdit* m_serialEdit = nullptr;
    MoneyEdit* m_purchasePriceEdit = nullptr;
    QCheckBox* m_payNowCheck = nullptr;
    MoneyEdit* m_salePriceEdit = nullptr;
    QLineEdit* m_namesEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_personalNumberEdit = nullptr;
    QLineEdit* m_idCardEdit = nullptr;
    QCheckBox* m_printCheck = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
