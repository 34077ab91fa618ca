#pragma once

#include "operations/Operations.h"

#include <QDialog>
#include <QList>

class Database;
class QComboBox;
class QPushButton;

// "Избор на магазин": the shop that receives a new appliance or a
// transferred one. Offers the shops of the clerk's shop filter (active, not
// away, and only the clerk's own when bound to one), ordered by name.
class ShopChooser : public QDialog {
    Q_OBJECT
public:
    explicit ShopChooser(Database& db, QWidget* parent = nullptr);

    // 0: every shop; otherwise the clerk's own shop alone.
    void setFilterShop(int shopId) { m_filterShop = shopId; }

    // The whole choice: fills the list, tells the clerk when there is no shop
    // to offer, shows the dialog modally. The chosen shop's id, or 0 when the
    // clerk cancelled or there was nothing to choose.
    int choose();

    // Fills the list; false (after telling the clerk) when no shop passes
    // the filter or the shops could not be read.
    bool fillShops();
    // The shop whose name is chosen: the first of that name in the order by
    // name; 0 when none matches.
    int chosenShop() const;

    static QString noShopMessage();

private:
    Database& m_db;
    int m_filterShop = 0;
    QList<ops::Shop> m_shops;

    QComboBox* m_shopCombo = nullptr;
    QPushButton* m_okButton = nullptr;     // "Да"
    QPushButton* m_cancelButton = nullptr; // "Отказ"
};
