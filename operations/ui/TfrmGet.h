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
class TfrmGet : public QDialog {
    Q_OBJECT
public:
    TfrmGet(Database& db, QWidget* parent = nullptr);

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

    QLineEdit* eDogNo = nullptr;
    QLineEdit* eArt = nullptr;
    QLineEdit* eArtNote = nullptr;
    QLineEdit* eSN = nullptr;
    MoneyEdit* eDlvPrice = nullptr;
    QCheckBox* chkPayed = nullptr;
    MoneyEdit* eSalePrice = nullptr;
    QLineEdit* eNames = nullptr;
    QLineEdit* eAdres = nullptr;
    QLineEdit* eEGN = nullptr;
    QLineEdit* eLK = nullptr;
    QCheckBox* chkPrn = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void FormShow();
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showContract();

    Database& m_db;
    int m_clerk = 0;
    int m_shop = 0;
    qint64 m_newId = -1;
    ConsignmentContractWindow* m_contract = nullptr;
    DigitKeyFilter* m_digits = nullptr;
};
